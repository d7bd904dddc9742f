#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

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
    aExceptionRecord record;
    aFaultContext context;
    aExceptionPointers pointers{&record, &context};

    Fault()
    {
        record.code = A_EXCEPTION_ACCESS_VIOLATION;
        record.flags = A_EXCEPTION_NONCONTINUABLE;
        record.address = reinterpret_cast<uint64_t>(&dumpedFunction);
        record.parameterCount = 2;
        record.parameters[0] = 1;
        record.parameters[1] = 0xABCDEF0123456789ull;
        record.signal = 11;
        record.signalCode = 2;
        context.ip = record.address;
        context.fp = 0x1111;
        context.threadId = 77;
        context.registerCount = 3;
        context.registers[0] = 5;
        context.registers[1] = 6;
        context.registers[2] = 7;
    }
};

// Two pages, the second unreadable.
struct HalfReadable {
    HalfReadable()
    {
        base = static_cast<char*>(mmap(nullptr, 8192, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        std::memset(base, 0x5A, 4096);
        mprotect(base + 4096, 4096, PROT_NONE);
    }
    ~HalfReadable() { munmap(base, 8192); }
    char* base = nullptr;
};

} // namespace

TEST(DumpFile, HoldsTheRecordContextFramesModulesAndStack)
{
    kbtest::TempDir dir("dump");
    Fault f;
    volatile char stackMark[64];
    std::memset(const_cast<char*>(stackMark), 0x3C, sizeof stackMark);
    f.context.sp = reinterpret_cast<uint64_t>(stackMark) + 128;
    ASSERT_TRUE(dumpfile_write(dir.file("a.dmp").c_str(), &f.pointers));

    const kbtest::Dump d = kbtest::parseDump(kbtest::readFile(dir.file("a.dmp")));
    ASSERT_TRUE(d.valid && d.complete);
    EXPECT_EQ(d.version, A_DUMP_VERSION);
    EXPECT_EQ(d.processId, static_cast<uint32_t>(getpid()));

    EXPECT_EQ(d.sections.at("EXCP").size(), 48u);
    EXPECT_EQ(d.read<uint32_t>("EXCP", 0), A_EXCEPTION_ACCESS_VIOLATION);
    EXPECT_EQ(d.read<uint32_t>("EXCP", 4), A_EXCEPTION_NONCONTINUABLE);
    EXPECT_EQ(d.read<uint64_t>("EXCP", 8), f.record.address);
    EXPECT_EQ(d.read<uint32_t>("EXCP", 16), 2u);
    EXPECT_EQ(d.read<uint64_t>("EXCP", 24), 1u);
    EXPECT_EQ(d.read<uint64_t>("EXCP", 32), 0xABCDEF0123456789ull);
    EXPECT_EQ(d.read<int32_t>("EXCP", 40), 11);
    EXPECT_EQ(d.read<int32_t>("EXCP", 44), 2);

    EXPECT_EQ(d.sections.at("CTXT").size(), 32u + 3 * 8);
    EXPECT_EQ(d.read<uint32_t>("CTXT", 0), 77u);
    EXPECT_EQ(d.read<uint32_t>("CTXT", 4), 3u);
    EXPECT_EQ(d.read<uint64_t>("CTXT", 8), f.context.ip);
    EXPECT_EQ(d.read<uint64_t>("CTXT", 16), f.context.sp);
    EXPECT_EQ(d.read<uint64_t>("CTXT", 24), 0x1111u);
    EXPECT_EQ(d.read<uint64_t>("CTXT", 48), 7u);

    // The faulting instruction is not on this stack: it is the whole walk.
    EXPECT_EQ(d.read<uint64_t>("STAK", 0), 1u);
    EXPECT_EQ(d.read<uint64_t>("STAK", 8), f.context.ip);

    // The executable comes first, under its real path.
    const std::string& mods = d.sections.at("MODS");
    ASSERT_GT(d.read<uint64_t>("MODS", 0), 1u);
    const uint32_t nameLength = d.read<uint32_t>("MODS", 32);
    EXPECT_EQ(mods.substr(40, nameLength), std::filesystem::read_symlink("/proc/self/exe").string());
    EXPECT_LE(d.read<uint64_t>("MODS", 16), f.record.address);
    EXPECT_GT(d.read<uint64_t>("MODS", 24), f.record.address);

    // The stack from 128 bytes below its pointer: our marked bytes first.
    const uint64_t start = d.read<uint64_t>("MEMS", 0);
    EXPECT_EQ(start, reinterpret_cast<uint64_t>(stackMark) & ~uint64_t(15));
    const std::string& mems = d.sections.at("MEMS");
    ASSERT_GT(mems.size(), 8u + 128);
    EXPECT_LE(mems.size(), 8u + A_DUMP_STACK_BYTES);
    const size_t markAt = 8 + (reinterpret_cast<uint64_t>(stackMark) - start);
    EXPECT_EQ(mems.substr(markAt, 64), std::string(64, '\x3C'));
}

TEST(DumpFile, UnreadableStackAndNoPointersStillGiveACompleteDump)
{
    kbtest::TempDir dir("dump");
    Fault f;
    f.context.sp = 0x10000 + 128; // below any mapping
    ASSERT_TRUE(dumpfile_write(dir.file("a.dmp").c_str(), &f.pointers));
    kbtest::Dump d = kbtest::parseDump(kbtest::readFile(dir.file("a.dmp")));
    EXPECT_TRUE(d.valid && d.complete);
    EXPECT_EQ(d.sections.at("MEMS").size(), 8u);

    HalfReadable memory;
    f.context.sp = reinterpret_cast<uint64_t>(memory.base) + 128;
    ASSERT_TRUE(dumpfile_write(dir.file("b.dmp").c_str(), &f.pointers));
    d = kbtest::parseDump(kbtest::readFile(dir.file("b.dmp")));
    EXPECT_TRUE(d.complete);
    EXPECT_EQ(d.read<uint64_t>("MEMS", 0), reinterpret_cast<uint64_t>(memory.base));
    EXPECT_EQ(d.sections.at("MEMS").substr(8), std::string(4096, '\x5A'));

    ASSERT_TRUE(dumpfile_write(dir.file("c.dmp").c_str(), nullptr));
    d = kbtest::parseDump(kbtest::readFile(dir.file("c.dmp")));
    EXPECT_TRUE(d.valid && d.complete);
    EXPECT_EQ(d.read<uint64_t>("STAK", 0), 0u);
}

TEST(DumpFile, FailuresToWriteAreReported)
{
    kbtest::TempDir dir("dump");
    Fault f;
    EXPECT_FALSE(dumpfile_write(dir.file("missing/a.dmp").c_str(), &f.pointers));
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing")));
    EXPECT_FALSE(dumpfile_write("", &f.pointers));
    EXPECT_FALSE(dumpfile_write(nullptr, &f.pointers));
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_FALSE(dumpfile_write("/dev/full", &f.pointers));
    }
}

TEST(RawFile, WritesAreCheckedToTheEnd)
{
    kbtest::TempDir dir("raw");
    aRawFile file;
    ASSERT_TRUE(file.create(dir.file("a.bin").c_str()));
    file.text("ab").u32(0x01020304).bytes(nullptr, 3).text(nullptr);
    std::string big(10000, 'x');
    file.bytes(big.data(), big.size());
    EXPECT_EQ(file.offset(), 2u + 4 + 10000);
    file.patchU64(0, 0x4847464544434241ull);
    EXPECT_TRUE(file.close());
    EXPECT_FALSE(file.close());
    EXPECT_EQ(kbtest::readFile(dir.file("a.bin")), "ABCDEFGH" + big.substr(2));

    // An existing file is started afresh.
    ASSERT_TRUE(file.create(dir.file("a.bin").c_str()));
    file.text("new");
    EXPECT_TRUE(file.close());
    EXPECT_EQ(kbtest::readFile(dir.file("a.bin")), "new");

    if (std::filesystem::exists("/dev/full")) {
        ASSERT_TRUE(file.create("/dev/full"));
        file.bytes(big.data(), big.size());
        EXPECT_FALSE(file.isGood());
        EXPECT_FALSE(file.close());
    }
}

TEST(RawFile, MemoryStopsWhereItCannotBeRead)
{
    kbtest::TempDir dir("raw");
    HalfReadable memory;
    aRawFile file;
    ASSERT_TRUE(file.create(dir.file("m.bin").c_str()));
    EXPECT_EQ(file.memory(reinterpret_cast<uint64_t>(memory.base) + 96, 8192), 4096u - 96);
    EXPECT_EQ(file.memory(0, 4096), 0u);
    EXPECT_TRUE(file.close());
    EXPECT_EQ(kbtest::readFile(dir.file("m.bin")), std::string(4096 - 96, '\x5A'));
}

TEST(RawFile, MakeFoldersCreatesEveryMissingLevel)
{
    kbtest::TempDir dir("raw");
    EXPECT_TRUE(rawfile_makeFolders((dir.path() + "/a/b/c/file.txt").c_str()));
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("a/b/c")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("a/b/c/file.txt")));
    EXPECT_TRUE(rawfile_makeFolders((dir.path() + "/a/b/c/").c_str()));
    kbtest::writeFile(dir.file("plain"), "x");
    EXPECT_FALSE(rawfile_makeFolders((dir.path() + "/plain/sub/").c_str()));
    EXPECT_TRUE(rawfile_makeFolders("relative-name-only"));
    EXPECT_FALSE(rawfile_makeFolders(nullptr));
    EXPECT_FALSE(rawfile_makeFolders(std::string(5000, 'a').c_str()));
}
