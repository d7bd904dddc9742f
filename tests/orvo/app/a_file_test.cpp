#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "orvo/app/a_diskpath.h"
#include "orvo/app/a_file.h"
#include "orvo/app/a_fileserver.h"
#include "orvo/app/a_openfile.h"
#include "support/file_size_limit.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"
#include "support/zip_writer.h"

using kbtest::makeZip;
using kbtest::readFile;
using kbtest::writeFile;

namespace {

// A data folder reached through the "data" assign.
class FileTest : public testing::Test {
protected:
    void SetUp() override { server.setAssign("data", dir.path() + "/data/"); }
    void TearDown() override { file_closeArchives(); }
    std::string disk(const std::string& name) const { return dir.path() + "/data/" + name; }
    // The whole file as a string; "<null>" when the read gave no bytes.
    static std::string read(const std::string& path, uint32_t* sizeOut = nullptr)
    {
        uint32_t size = 12345;
        void* bytes = file_readFullAndMalloc(path.c_str(), sizeOut ? sizeOut : &size);
        std::string text = bytes ? std::string(static_cast<const char*>(bytes), sizeOut ? *sizeOut : size) : "<null>";
        std::free(bytes);
        return text;
    }
    static std::string pattern(size_t size, unsigned seed)
    {
        std::string text(size, '\0');
        uint32_t x = seed * 2654435761u + 1;
        for (char& c : text) {
            x = x * 1103515245u + 12345u;
            c = static_cast<char>(x >> 24);
        }
        return text;
    }
    kbtest::TempDir dir{"file"};
    aFileServer server;
};

} // namespace

TEST_F(FileTest, ReadsDiskFilesWholeAndReportsMissingOnesWithTheCallersPath)
{
    kbtest::LogCapture log;
    const std::string bytes = pattern(70000, 1);
    writeFile(disk("gfx/a.bin"), bytes);
    uint32_t size = 0;
    EXPECT_EQ(read("data:gfx/a.bin"), bytes);
    // Missing files and folders (with or without their trailing slash) are logged, by each reader; empty
    // files are not.
    writeFile(disk("empty.txt"), "");
    writeFile(disk("pack.pak"), makeZip({{"none.txt", ""}}));
    for (const char* path : {"data:gfx/missing.png", "data:gfx", "data:gfx/", "data:empty.txt", "data:pack/none.txt"}) {
        EXPECT_EQ(read(path, &size), "<null>") << path;
        EXPECT_EQ(size, 0u);
        aFileBuffer buffer(path);
        EXPECT_TRUE(buffer.empty() && !buffer.owns() && buffer.size() == 0) << path;
    }
    const std::string error = "file_readFullAndMalloc. Error open file: data:gfx";
    EXPECT_EQ(log.messages(), (std::vector<std::string>{error + "/missing.png", error + "/missing.png", error, error,
                                                        error + "/", error + "/"}));
    // A failed read leaves its reason in errno, that of the file on disk before an archive's; an empty file 0.
    for (const auto& [path, reason] : {std::pair{"data:gfx/missing.png", ENOENT}, std::pair{"data:gfx", EISDIR},
                                       std::pair{"data:empty.txt", 0}, std::pair{"data:pack/none.txt", 0}}) {
        errno = -1;
        EXPECT_EQ(read(path), "<null>");
        EXPECT_EQ(errno, reason) << path;
    }
}

TEST_F(FileTest, BackslashesCaseExistenceAndMembersOfAPakWithNoFolderOnDisk)
{
    writeFile(disk("Gfx/Menu/Title.PNG"), "title");
    EXPECT_EQ(read("data:gfx\\menu\\title.png"), "title");
    // The exact name wins over a name that only matches ignoring case.
    writeFile(disk("Gfx/Menu/title.png"), "exact");
    EXPECT_EQ(read("data:Gfx/Menu/title.png"), "exact");
    EXPECT_EQ(read("data:Gfx/Menu/Title.PNG"), "title");
    EXPECT_FALSE(file_exists("data:gfx")) << "a folder is not a file";
    EXPECT_TRUE(file_dirExists("data:gfx\\MENU\\"));
    EXPECT_FALSE(file_existsFileOrDir("data:gfx/menu/title.png/"));
    EXPECT_TRUE(file_existsFileOrDir("data:gfx") && file_existsFileOrDir("data:gfx/menu/title.png"))
        << "a folder and a file both answer true";
    EXPECT_EQ(file_getExt("a.b/c"), "");
    EXPECT_EQ(file_getExt("a.b\\c.tar.gz"), "gz");
    // A member of a deflated pak with no folder on disk.
    const std::string member = pattern(50000, 2);
    writeFile(disk("Folder.PAK"), makeZip({{"member.ext", member}, {"sub/", ""}, {"sub/Other.txt", "other"}}));
    EXPECT_EQ(read("data:folder/Member.EXT"), member);
    EXPECT_EQ(read("data:FOLDER\\SUB\\other.txt"), "other");
    EXPECT_TRUE(file_existsFileOrDir("data:folder/sub/") && !file_existsFileOrDir(""));
    // Later members come from the cached archive, even once its file is gone.
    std::filesystem::remove(disk("Folder.PAK"));
    EXPECT_EQ(read("data:folder/sub/other.txt"), "other");
    file_closeArchives();
    EXPECT_FALSE(file_exists("data:folder/sub/other.txt"));
}

TEST_F(FileTest, ArchiveSearchOrderPrecedenceAndLimits)
{
    // An archive further up the path; ".zip" before ".pak"; the disk file wins.
    writeFile(disk("gfx.zip"), makeZip({{"a.png", "zip"}, {"both.txt", "zip member"}}));
    writeFile(disk("gfx.pak"), makeZip({{"a.png", "pak"}}));
    writeFile(disk("gfx/both.txt"), "disk");
    writeFile(dir.file("data.zip"), makeZip({{"deep/x/y.txt", "deep", false}}));
    std::filesystem::remove_all(disk("deep"));
    EXPECT_EQ(read("data:gfx/a.png"), "zip");
    EXPECT_EQ(read("data:gfx/both.txt"), "disk");
    EXPECT_EQ(read("data:deep/x/y.txt"), "deep");
    // A cached base path must be followed by "/": data2 is not data.
    writeFile(dir.file("data2.zip"), makeZip({{"deep/x/y.txt", "other archive"}}));
    EXPECT_EQ(read(dir.path() + "/data2/deep/x/y.txt"), "other archive");
    EXPECT_EQ(read(dir.path() + "/DATA/deep/x/y.txt"), "deep");
}

TEST_F(FileTest, InAListingScopeEachFolderIsListedOnceAndExactNamesAddedMeanwhileAreFound)
{
    writeFile(disk("gfx/Sheet.PNG"), "sheet");
    {
        aFolderListingScope listings;
        EXPECT_TRUE(file_exists("data:gfx/sheet.png"));
        EXPECT_FALSE(file_exists("data:gfx/sheet.jng"));
        writeFile(disk("gfx/Other.PNG"), "other");
        EXPECT_EQ(read("data:gfx/Other.PNG"), "other") << "the exact name needs no listing";
        EXPECT_FALSE(file_exists("data:gfx/other.png")) << "the folder's listing is the one taken before";
        {
            aFolderListingScope inner;
        }
        EXPECT_FALSE(file_exists("data:gfx/other.png")) << "an inner scope leaves the listings to the outer one";
        std::thread([] { EXPECT_TRUE(file_exists("data:gfx/other.png")) << "another thread lists anew"; }).join();
    }
    EXPECT_EQ(read("data:gfx/other.png"), "other");
}

TEST_F(FileTest, DamagedArchivesFailWithALogLineAndAreNotCached)
{
    const std::string big = pattern(40000, 3);
    kbtest::ZipLayout layout;
    const std::string good = makeZip({{"stored.bin", big, false}, {"packed.bin", big, true}}, &layout);
    std::string flipped = good;
    flipped[layout.dataOffsets[0] + 1000] ^= 0x40;
    flipped[layout.dataOffsets[1] + 500] ^= 0x40;
    const std::pair<std::string, const char*> cases[] = {{pattern(300, 4), "Error open file"},
                                                         {flipped, "Error read file"}};
    for (size_t i = 0; i < std::size(cases); ++i) {
        kbtest::LogCapture log;
        writeFile(disk("bad" + std::to_string(i) + ".zip"), cases[i].first);
        for (const char* member : {"/stored.bin", "/packed.bin"})
            EXPECT_EQ(read("data:bad" + std::to_string(i) + member), "<null>") << "case " << i << member;
        const auto lines = log.messages();
        ASSERT_EQ(lines.size(), 2u) << "case " << i;
        EXPECT_NE(lines[0].find(cases[i].second), std::string::npos) << "case " << i << ": " << lines[0];
    }
    writeFile(disk("bad0.zip"), good); // not cached: once mended, it reads
    EXPECT_EQ(read("data:bad0/packed.bin"), big);
}

TEST_F(FileTest, MemberSizesTheArchiveCannotHoldAreRefusedBeforeTheyAreAllocated)
{
    // A member is allocated whole before it is read: a claimed size its compressed bytes cannot give is
    // refused at open.
    const std::string zeros(1 << 20, '\0');
    kbtest::ZipLayout layout;
    const std::vector<kbtest::ZipEntry> entries = {
        {"stored.bin", "stored", false}, {"packed.bin", pattern(300, 7)}, {"zeros.bin", zeros}};
    const std::string good = makeZip(entries, &layout);
    auto put32 = [](std::string& s, size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            s[at + i] = static_cast<char>(v >> (8 * i));
    };
    // Offsets of a member's sizes in its local header and its directory entry.
    auto claim = [&](size_t member, uint32_t compressed, uint32_t uncompressed) {
        std::string bytes = good;
        size_t local = layout.dataOffsets[member] - 30 - entries[member].name.size();
        size_t central = layout.centralDirectory;
        for (size_t i = 0; i < member; ++i)
            central += 46 + entries[i].name.size();
        for (const auto& [at, skip] : {std::pair{local, 18}, std::pair{central, 20}}) {
            if (compressed)
                put32(bytes, at + skip, compressed);
            put32(bytes, at + skip + 4, uncompressed);
        }
        return bytes;
    };
    const std::pair<std::string, const char*> cases[] = {
        {claim(0, 0, 0xFD000064), "stored.bin"},          // stored: its size is its compressed size
        {claim(1, 0, 0xFD000064), "packed.bin"},          // beyond any deflate ratio
        {claim(1, 0xFFFFFF00, 0xFD000064), "packed.bin"}, // compressed bytes past the archive's end
        {claim(2, 0, 0xFD000064), "zeros.bin"}};
    for (size_t i = 0; i < std::size(cases); ++i) {
        writeFile(disk("claims" + std::to_string(i) + ".zip"), cases[i].first);
        const std::string path = "data:claims" + std::to_string(i) + "/" + cases[i].second;
        const aOpenFile file = file_open(file_getDiskPath(path.c_str()));
        EXPECT_FALSE(file.isOpen()) << path << " claims " << file.size() << " bytes";
        kbtest::LogCapture log;
        EXPECT_EQ(read(path), "<null>") << path;
        EXPECT_EQ(log.messages(), std::vector<std::string>{"file_readFullAndMalloc. Error open file: " + path});
    }
    // The members around them, a highly compressed one among them, still read.
    writeFile(disk("claims.zip"), claim(1, 0, 0xFD000064));
    EXPECT_EQ(read("data:claims/stored.bin"), "stored");
    EXPECT_EQ(read("data:claims/zeros.bin"), zeros);
    // A path longer than the system takes is refused like a missing file, not looked up in archives.
    EXPECT_EQ(read("data:" + std::string(5000, 'x') + "/stored.bin"), "<null>");
}

TEST_F(FileTest, NoSingleByteDamageOrTruncationCrashesOrGivesWrongBytes)
{
    const std::string a = pattern(300, 5);
    const std::string b = std::string(200, 'b') + pattern(100, 6);
    kbtest::ZipLayout layout;
    const std::string good = makeZip({{"a.bin", a, false}, {"dir/b.bin", b, true}}, &layout);
    int count = 0;
    auto check = [&](const std::string& bytes, const std::string& what) {
        const std::string name = "fuzz" + std::to_string(count++);
        writeFile(disk(name + ".zip"), bytes);
        const std::string gotA = read("data:" + name + "/a.bin");
        const std::string gotB = read("data:" + name + "/dir/b.bin");
        EXPECT_TRUE(gotA == "<null>" || gotA == a) << what;
        EXPECT_TRUE(gotB == "<null>" || gotB == b) << what;
        file_closeArchives();
        std::filesystem::remove(disk(name + ".zip"));
    };
    for (size_t length = 0; length < good.size(); length += 7)
        check(good.substr(0, length), "cut at " + std::to_string(length));
    for (size_t at = 0; at < good.size(); ++at) {
        // Every byte of the headers; the stored member's bytes only in samples.
        if (at > layout.dataOffsets[0] && at < layout.dataOffsets[0] + a.size() && at % 37 != 0)
            continue;
        for (const unsigned char value : {0x00, 0xff, 0x80}) {
            std::string bytes = good;
            if (static_cast<unsigned char>(bytes[at]) == value)
                continue;
            bytes[at] = static_cast<char>(value);
            check(bytes, "byte " + std::to_string(at) + " = " + std::to_string(value));
        }
    }
}

TEST_F(FileTest, TwoThreadsReadMembersOfOneArchiveAtOnce)
{
    std::vector<kbtest::ZipEntry> entries;
    std::vector<std::string> contents;
    for (unsigned i = 0; i < 16; ++i) {
        contents.push_back(pattern(300000 + i * 1000, 10 + i));
        entries.push_back({std::string("m").append(std::to_string(i)).append(".bin"), contents.back(), i % 2 == 0});
    }
    writeFile(disk("shared.zip"), makeZip(entries));
    std::atomic<int> wrong{0};
    auto reader = [&](unsigned first) {
        for (unsigned round = 0; round < 6; ++round) {
            for (unsigned k = 0; k < contents.size(); ++k) {
                const unsigned i = (first + k) % contents.size();
                aFileBuffer buffer(("data:shared/m" + std::to_string(i) + ".bin").c_str());
                if (buffer.size() != contents[i].size() ||
                    std::string(reinterpret_cast<const char*>(buffer.bytes()), buffer.size()) != contents[i])
                    ++wrong;
            }
        }
    };
    std::thread loader(reader, 8u);
    reader(0u);
    loader.join();
    EXPECT_EQ(wrong.load(), 0);
}

TEST_F(FileTest, WriteFullReplacesThroughATemporaryFile)
{
    std::filesystem::create_directories(disk(""));
    EXPECT_TRUE(file_writeFull("data:out.bin", "old", 3));
    chmod(disk("out.bin").c_str(), 0600);
    EXPECT_TRUE(file_writeFull("data:OUT.BIN", "new", 3)) << "writes over the file that differs in case";
    EXPECT_EQ(readFile(disk("out.bin")), "new");
    struct stat st;
    ASSERT_EQ(stat(disk("out.bin").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << "the replaced file keeps its permissions";
    // A failed write leaves the reason of the call that failed in errno, for the caller's log line.
    errno = 0;
    EXPECT_FALSE(file_writeFull("data:no/such/folder.bin", "x", 1));
    EXPECT_EQ(errno, ENOENT);
    errno = 0;
    EXPECT_FALSE(file_writeFull("data:", "x", 1)) << "a folder is not a file";
    EXPECT_EQ(errno, EISDIR);
    std::filesystem::create_directory(disk("taken"));
    errno = 0;
    EXPECT_FALSE(file_writeFull("data:taken", "x", 1)) << "nor is a folder's name";
    EXPECT_EQ(errno, EISDIR);
    std::filesystem::remove(disk("taken"));
    {
        // A full disk: the bytes stop at the cap, and the old file stays whole.
        const kbtest::FileSizeLimit full(2);
        ASSERT_TRUE(full.active());
        errno = 0;
        EXPECT_FALSE(file_writeFull("data:out.bin", "longer", 6));
        EXPECT_EQ(errno, EFBIG);
    }
    EXPECT_EQ(readFile(disk("out.bin")), "new");
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(disk("")))
        files += entry.is_regular_file();
    EXPECT_EQ(files, 1u) << "no temporary file is left behind";
}

TEST_F(FileTest, TemporaryFilesOfKilledWritersAreRemovedThoseOfLivingOnesStay)
{
    // A process that has ended: its id is free until the system hands it out again.
    const pid_t gone = fork();
    if (gone == 0)
        _exit(0);
    ASSERT_GT(gone, 0);
    waitpid(gone, nullptr, 0);
    const std::string dead = std::to_string(gone), alive = std::to_string(getpid());
    const char* const names[] = {"out.bin",
                                 "out.bin.x-1.tmp",
                                 "out.bin.1-.tmp",
                                 "other.bin.DEAD-1.tmp",
                                 "out.bin.ALIVE-2.tmp",
                                 "out.bin.DEAD-1.tmp",
                                 "out.bin.DEAD-12.tmp"};
    for (std::string name : names) {
        for (const auto& [mark, id] : {std::pair{"DEAD", dead}, std::pair{"ALIVE", alive}})
            if (const size_t at = name.find(mark); at != std::string::npos)
                name.replace(at, std::string(mark).size(), id);
        writeFile(disk(name), "x");
    }
    kbtest::LogCapture log;
    EXPECT_EQ(file_removeStaleTemps("data:out.bin"), 2u);
    std::set<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(disk("")))
        left.insert(entry.path().filename().string());
    EXPECT_EQ(left, (std::set<std::string>{"out.bin", "out.bin.x-1.tmp", "out.bin.1-.tmp",
                                           "other.bin." + dead + "-1.tmp", "out.bin." + alive + "-2.tmp"}));
    EXPECT_TRUE(log.contains("file_removeStaleTemps. 2 unfinished writes of " + disk("out.bin") + " removed"));
    EXPECT_EQ(file_removeStaleTemps("data:out.bin"), 0u);
}

TEST(FileWithoutServer, PathsAreUsedUnchanged)
{
    kbtest::LogCapture log;
    kbtest::TempDir dir("raw");
    writeFile(dir.file("data/x.txt"), "x");
    EXPECT_TRUE(file_exists((dir.path() + "/data/x.txt").c_str()));
    EXPECT_FALSE(file_exists("data:x.txt"));
    EXPECT_TRUE(log.messages().empty()) << "no assign is looked up without the file server";
}
