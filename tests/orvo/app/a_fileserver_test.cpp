#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sys/stat.h>

#include "orvo/app/a_file.h"
#include "orvo/app/a_fileserver.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"
#include "support/zip_writer.h"

using kbtest::makeZip;
using kbtest::readFile;
using kbtest::writeFile;

namespace {

// Sets environment variables (nullptr: unsets them) for the life of a test.
struct Environment {
    ~Environment()
    {
        for (auto it = saved.rbegin(); it != saved.rend(); ++it)
            it->second ? setenv(it->first.c_str(), it->second->c_str(), 1) : unsetenv(it->first.c_str());
    }
    void set(const std::string& name, const std::optional<std::string>& value)
    {
        const char* old = std::getenv(name.c_str());
        saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
};

} // namespace

TEST(FileServer, DefaultAssignsFollowTheSystemFolders)
{
    kbtest::TempDir root("folders");
    Environment env;
    env.set("TMPDIR", "/");
    {
        aFileServer atRoot; // a temp folder at the root falls back to home
        EXPECT_EQ(atRoot.manglePath("temp:x"), aFileServer::getModulePath() + "x");
    }
    env.set("HOME", root.path());
    env.set("TMPDIR", root.path() + "/tmp");
    env.set("XDG_DATA_HOME", root.path() + "/data");
    env.set("XDG_CONFIG_HOME", root.path() + "/config");
    env.set("XDG_DATA_DIRS", "relative/ignored:" + root.path() + "/shared/:/usr/share");
    // A user folder from the environment, one from user-dirs.dirs below home, one absolute there, one by default.
    env.set("XDG_MUSIC_DIR", root.path() + "/Tunes");
    for (const char* name : {"XDG_DOCUMENTS_DIR", "XDG_VIDEOS_DIR", "XDG_DESKTOP_DIR"})
        env.set(name, std::nullopt);
    std::filesystem::create_directories(root.path() + "/tmp");
    writeFile(root.path() + "/config/user-dirs.dirs",
              "# written by a tool\nXDG_DOCUMENTS_DIR=\"$HOME/Papers\"\nXDG_VIDEOS_DIR=\"/films\"\n");
    kbtest::LogCapture log;
    aFileServer server;
    const std::string r = root.path();
    // Folders the system does not have fall back to the temp folder; relative data folders are ignored.
    const std::pair<const char*, std::string> assigns[] = {
        {"temp:x", r + "/tmp//x"},         {"userdocs:x", r + "/Papers/x"},     {"usermusic:x", r + "/Tunes/x"},
        {"uservideo:x", "/films/x"},       {"userdesktop:x", r + "/Desktop/x"}, {"userappdata:x", r + "/data/x"},
        {"allappdata:x", r + "/shared/x"}, {"alldocs:x", r + "/tmp//x"}};
    for (const auto& [path, disk] : assigns)
        EXPECT_EQ(server.manglePath(path), disk) << path;
    EXPECT_TRUE(log.messages().empty());
}

TEST(FileServer, AssignsAreReplacedOnceAndDefinedOnceMangledAtDefinition)
{
    kbtest::LogCapture log;
    aFileServer server;
    server.setAssign("data", "/game/Data/");
    EXPECT_EQ(server.manglePath("DATA:gfx/a.png"), "/game/Data/gfx/a.png");
    EXPECT_EQ(server.manglePath("data:a:b"), "/game/Data/a:b") << "only the first assign is replaced";
    for (const char* path : {"C:\\Games\\a.png", ":a", ""}) // no assign
        EXPECT_EQ(server.manglePath(path), path);
    EXPECT_EQ(server.manglePath("levels:one.ini"), "levels:one.ini");
    const std::string home = server.manglePath("home:");
    server.setAssign("x", "/x/");
    server.setAssign("HOME", "/elsewhere/");
    EXPECT_EQ(log.messages(), (std::vector<std::string>{"aFileServer::manglePath(levels:one.ini) not valid!",
                                                        "aFileServer::setAssign(x) less than 2 chars, ignored",
                                                        "aFileServer::setAssign(HOME) override failed!"}));
    // Values are mangled when they are defined, so later changes do not reach them.
    server.setAssign("data", "home:Data/");
    server.setAssign("levels", "data:Levels/");
    server.setAssign("data", "/other/");
    EXPECT_EQ(server.manglePath("levels:1.ini"), home + "Data/Levels/1.ini");
}

TEST(FileServer, MakeDirCreatesEveryLevelAndDeleteFileReportsFailures)
{
    kbtest::TempDir dir("mkdir");
    kbtest::LogCapture log;
    aFileServer server;
    server.setAssign("base", dir.path() + "/");
    EXPECT_TRUE(server.makeDir("base:one/two/three"));
    EXPECT_TRUE(server.makeDir("base:ONE\\Two\\five\\")) << "existing folders are found ignoring case";
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("one/two/five")));
    // A file in the way: the level under it cannot be made.
    writeFile(dir.file("one/file"), "x");
    EXPECT_FALSE(server.makeDir("base:one/file/sub"));
    // A file where the folder should be: every level exists, but the last is no folder.
    EXPECT_FALSE(server.makeDir("base:one/file"));
    writeFile(dir.file("Old.sav"), "x");
    EXPECT_TRUE(server.deleteFile("base:old.sav"));
    EXPECT_FALSE(server.deleteFile("base:old.sav"));
    EXPECT_FALSE(server.deleteFile("base:"));
    EXPECT_EQ(log.messages(),
              (std::vector<std::string>{"aFileServer::makeDir(" + dir.path() + "/one/file/sub...) failed!",
                                        "aFileServer::makeDir(" + dir.path() + "/one/file...) failed!",
                                        "aFileServer::deleteFile(base:old.sav) failed!",
                                        "aFileServer::deleteFile(base:) failed!"}));
}

TEST(FileServer, ExtractToTempMakesPrivateCopiesThatGoWithTheServer)
{
    kbtest::TempDir dir("extract");
    kbtest::LogCapture log;
    writeFile(dir.file("one.zip"), makeZip({{"intro.ogv", "first video"}}));
    writeFile(dir.file("two.pak"), makeZip({{"intro.ogv", "second video"}}));
    std::string first, second, folder;
    {
        aFileServer server;
        server.setApplicationName("Kesterby");
        server.setAssign("data", dir.path() + "/");
        first = server.extractToTemp("data:one/intro.ogv");
        second = server.extractToTemp("data:two/intro.ogv");
        EXPECT_EQ(readFile(first) + readFile(second), "first videosecond video") << "one name in two archives";
        EXPECT_EQ(server.extractToTemp("data:one/intro.ogv"), first);
        folder = file_getPath(first.c_str());
        EXPECT_EQ(folder.rfind(aFileServer::getTempPath() + "Kesterby-", 0), 0u) << folder;
        struct stat st;
        ASSERT_EQ(stat(folder.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u);
        EXPECT_EQ(server.extractToTemp("data:one/missing.ogv"), "");
        // The copy cannot be written: the path is not remembered as copied.
        std::filesystem::remove_all(folder);
        writeFile(folder.substr(0, folder.size() - 1), "in the way");
        writeFile(dir.file("three.zip"), makeZip({{"clip.ogv", "third"}}));
        EXPECT_EQ(server.extractToTemp("data:three/clip.ogv"), "");
        std::filesystem::remove(folder.substr(0, folder.size() - 1));
        std::filesystem::create_directory(folder);
        writeFile(first, "first video");
        writeFile(second, "second video");
    }
    EXPECT_FALSE(std::filesystem::exists(folder));
    EXPECT_EQ(log.messages(), (std::vector<std::string>{"file_readFullAndMalloc. Error open file: data:one/missing.ogv",
                                                        "aFileServer::extractToTemp(data:three/clip.ogv) failed!"}));
    file_closeArchives();
}
