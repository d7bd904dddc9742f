#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "orvo/platform/a_dumpfile.h"
#include "orvo/platform/a_rawfile.h"
#include "support/dump_reader.h"
#include "support/temp_dir.h"

namespace {

__attribute__((noinline, noipa)) void dumpedFunction()
{
    asm volatile("");
}

struct Fault {
    aExceptionRecord record{A_EXCEPTION_ACCESS_VIOLATION,
                            A_EXCEPTION_NONCONTINUABLE,
                            reinterpret_cast<uint64_t>(&dumpedFunction),
                            2,
                            {1, 0xABCDEF0123456789ull},
                            11,
                            2};
    aFaultContext context{record.address, 0, 0x1111, 77, 3, {5, 6, 7}};
    aExceptionPointers pointers{&record, &context};
};

kbtest::Dump writeAndRead(const kbtest::TempDir& dir, aExceptionPointers* pointers)
{
    const std::string path = dir.file("a.dmp");
    EXPECT_TRUE(dumpfile_write(path.c_str(), pointers));
    const kbtest::Dump d = kbtest::parseDump(kbtest::readFile(path));
    EXPECT_TRUE(d.valid && d.complete);
    return d;
}

} // namespace

TEST(DumpFile, HoldsTheRecordContextFramesModulesAndWhatCanBeReadOfTheStack)
{
    kbtest::TempDir dir("dump");
    Fault f;
    volatile char stackMark[64];
    std::memset(const_cast<char*>(stackMark), 0x3C, sizeof stackMark);
    f.context.sp = reinterpret_cast<uint64_t>(stackMark) + 128;
    const kbtest::Dump d = writeAndRead(dir, &f.pointers);
    ASSERT_TRUE(d.complete);
    EXPECT_TRUE(d.version == A_DUMP_VERSION && d.processId == static_cast<uint32_t>(getpid()));

    EXPECT_TRUE(d.sections.at("EXCP").size() == 48 && d.sections.at("CTXT").size() == 32 + 3 * 8);
    using Values = std::vector<uint64_t>;
    auto u32 = [&d](const char* section, size_t at) { return uint64_t(d.read<uint32_t>(section, at)); };
    auto u64 = [&d](const char* section, size_t at) { return d.read<uint64_t>(section, at); };
    EXPECT_EQ(Values({u32("EXCP", 0), u32("EXCP", 4), u64("EXCP", 8), u32("EXCP", 16), u64("EXCP", 24), u64("EXCP", 32),
                      u32("EXCP", 40), u32("EXCP", 44)}),
              Values({A_EXCEPTION_ACCESS_VIOLATION, A_EXCEPTION_NONCONTINUABLE, f.record.address, 2, 1,
                      0xABCDEF0123456789ull, 11, 2}));
    EXPECT_EQ(
        Values({u32("CTXT", 0), u32("CTXT", 4), u64("CTXT", 8), u64("CTXT", 16), u64("CTXT", 24), u64("CTXT", 48)}),
        Values({77, 3, f.context.ip, f.context.sp, 0x1111, 7}));
    // The faulting instruction is not on this stack: it is the whole walk.
    EXPECT_EQ(Values({u64("STAK", 0), u64("STAK", 8)}), Values({1, f.context.ip}));

    // The executable comes first, under its real path.
    const std::string& mods = d.sections.at("MODS");
    ASSERT_GT(d.read<uint64_t>("MODS", 0), 1u);
    const uint32_t nameLength = d.read<uint32_t>("MODS", 32);
    EXPECT_EQ(mods.substr(40, nameLength), std::filesystem::read_symlink("/proc/self/exe").string());
    EXPECT_TRUE(d.read<uint64_t>("MODS", 16) <= f.record.address && d.read<uint64_t>("MODS", 24) > f.record.address);

    // The stack from 128 bytes below its pointer: our marked bytes first.
    const uint64_t start = d.read<uint64_t>("MEMS", 0);
    EXPECT_EQ(start, reinterpret_cast<uint64_t>(stackMark) & ~uint64_t(15));
    const std::string& mems = d.sections.at("MEMS");
    ASSERT_TRUE(mems.size() > 8u + 128 && mems.size() <= 8u + A_DUMP_STACK_BYTES) << mems.size();
    const size_t markAt = 8 + (reinterpret_cast<uint64_t>(stackMark) - start);
    EXPECT_EQ(mems.substr(markAt, 64), std::string(64, '\x3C'));

    // An unreadable stack and no pointers still give a complete dump.
    f.context.sp = 0x10000 + 128; // below any mapping
    EXPECT_EQ(writeAndRead(dir, &f.pointers).sections.at("MEMS").size(), 8u);

    // Two pages, the second unreadable.
    char* pages = static_cast<char*>(mmap(nullptr, 8192, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    std::memset(pages, 0x5A, 4096);
    mprotect(pages + 4096, 4096, PROT_NONE);
    f.context.sp = reinterpret_cast<uint64_t>(pages) + 128;
    const kbtest::Dump half = writeAndRead(dir, &f.pointers);
    EXPECT_EQ(half.read<uint64_t>("MEMS", 0), reinterpret_cast<uint64_t>(pages));
    EXPECT_EQ(half.sections.at("MEMS").substr(8), std::string(4096, '\x5A'));
    munmap(pages, 8192);

    EXPECT_EQ(writeAndRead(dir, nullptr).read<uint64_t>("STAK", 0), 0u);

    // Failures to write are reported.
    EXPECT_FALSE(dumpfile_write(dir.file("missing/a.dmp").c_str(), &f.pointers) ||
                 dumpfile_write(nullptr, &f.pointers) || std::filesystem::exists(dir.file("missing")));
    if (std::filesystem::exists("/dev/full"))
        EXPECT_FALSE(dumpfile_write("/dev/full", &f.pointers));
}

// Memory that cannot be read is checked in the dump's stack above.
TEST(RawFile, WritesAreCheckedToTheEndAndFoldersMadeAtEveryLevel)
{
    kbtest::TempDir dir("raw");
    aRawFile file;
    ASSERT_TRUE(file.create(dir.file("a.bin").c_str()));
    file.text("ab").u32(0x01020304).bytes(nullptr, 3).text(nullptr);
    std::string big(10000, 'x');
    file.bytes(big.data(), big.size());
    EXPECT_EQ(file.offset(), 2u + 4 + 10000);
    file.patchU64(0, 0x4847464544434241ull);
    EXPECT_TRUE(file.close() && !file.close()) << "closed twice";
    EXPECT_EQ(kbtest::readFile(dir.file("a.bin")), "ABCDEFGH" + big.substr(2));

    // An existing file is started afresh.
    ASSERT_TRUE(file.create(dir.file("a.bin").c_str()) && file.text("new").close());
    EXPECT_EQ(kbtest::readFile(dir.file("a.bin")), "new");

    if (std::filesystem::exists("/dev/full")) {
        ASSERT_TRUE(file.create("/dev/full"));
        file.bytes(big.data(), big.size());
        EXPECT_FALSE(file.isGood() || file.close());
    }

    EXPECT_TRUE(rawfile_makeFolders((dir.path() + "/a/b/c/file.txt").c_str()));
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("a/b/c")) &&
                !std::filesystem::exists(dir.file("a/b/c/file.txt")));
    kbtest::writeFile(dir.file("plain"), "x");
    EXPECT_FALSE(rawfile_makeFolders((dir.path() + "/plain/sub/").c_str()));
    EXPECT_TRUE(rawfile_makeFolders("relative-name-only"));
    EXPECT_FALSE(rawfile_makeFolders(nullptr) || rawfile_makeFolders(std::string(5000, 'a').c_str()));
}
