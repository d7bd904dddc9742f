#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include <sys/wait.h>
#include <unistd.h>

#include "audiogen.h"
#include "orvo/platform/a_instancelock.h"
#include "orvo/platform/a_systemfacts.h"
#include "orvo/platform/audio/a_audio.h"
#include "orvo/sound/a_soundlibrary.h"
#include "support/app_fixture.h"
#include "support/log_capture.h"
#include "support/pulled_audio.h"
#include "support/temp_dir.h"

namespace {

// The folder init gives the per-user data of "Brindlewick/Kesterby".
std::string userFolder()
{
    return std::string(std::getenv("XDG_DATA_HOME")) + "/Brindlewick/Kesterby/";
}

std::vector<std::string> messagesOf(const std::string& text)
{
    std::vector<std::string> out;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(pos, end - pos);
        const size_t tab = line.find('\t');
        out.push_back(tab == std::string::npos ? line : line.substr(tab + 1));
        pos = end + 1;
    }
    return out;
}

class ApplicationInit : public testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::remove_all(userFolder());
        app.setLockFolder(lockDir.path());
    }
    void TearDown() override { app.shutdown(); }

    kbtest::TempDir lockDir{"lock"};
    kbtest::BoxSink boxes;
    kbtest::TestApp app;
};

} // namespace

TEST_F(ApplicationInit, MakesTheFoldersAndWritesTheBannerAndReport)
{
    ASSERT_EQ(app.init("Kesterby", nullptr, "-x", "Brindlewick"), 0);
    EXPECT_EQ(app.getName(), "Kesterby");
    EXPECT_EQ(app.getUserDir(), "userappdata:Brindlewick/Kesterby/");
    EXPECT_EQ(app.getSharedDir(), "allappdata:Brindlewick/Kesterby/");
    EXPECT_EQ(app.getSavesDir(), "userprof:Saved Games/Brindlewick/Kesterby/");
    EXPECT_EQ(app.getScreenshotDir(), "userappdata:Brindlewick/Kesterby/ScreenShots/");
    EXPECT_TRUE(std::filesystem::is_directory(userFolder()));
    EXPECT_TRUE(std::filesystem::is_directory(app.getFileServer().manglePath(app.getSavesDir())));
    EXPECT_TRUE(std::filesystem::is_directory(app.getFileServer().manglePath(app.getSharedDir())));
    // The screenshot folder waits for the first screenshot.
    EXPECT_FALSE(std::filesystem::exists(userFolder() + "ScreenShots"));

    app.shutdown();
    const std::string text = kbtest::readFile(userFolder() + "orvo.log");
    ASSERT_EQ(text.rfind("\n\n\n\n\n", 0), 0u);
    const auto lines = messagesOf(text.substr(5));
    ASSERT_GE(lines.size(), 20u);
    const std::string dashes(65, '-');
    EXPECT_EQ(lines[0], "orvo Engine v1.7 started");
    EXPECT_EQ(lines[1], dashes);
    EXPECT_EQ(lines[2], "Application: Kesterby");
    EXPECT_TRUE(std::regex_match(lines[3], std::regex(R"(Launched on: \d\d\.\d\d\.\d{4}, \d\d:\d\d:\d\d)")))
        << lines[3];
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[5], "----------------- System configuration --------------------------");
    EXPECT_EQ(lines[6].rfind("    Operating System: ", 0), 0u);
    EXPECT_EQ(lines[7].rfind("       Computer Name: ", 0), 0u);
    EXPECT_EQ(lines[8].rfind("           User Name: ", 0), 0u);
    EXPECT_EQ(lines[9], "");
    EXPECT_TRUE(std::regex_match(lines[10], std::regex(R"(         Memory Load: \d+%)"))) << lines[10];
    EXPECT_TRUE(std::regex_match(lines[11], std::regex(R"(Free Physical Memory: \d+ of \d+ KB)"))) << lines[11];
    EXPECT_TRUE(std::regex_match(lines[12], std::regex(R"( Free Virtual Memory: \d+ of \d+ KB)"))) << lines[12];
    EXPECT_TRUE(std::regex_match(lines[13], std::regex(R"(       Pagefile Used: \d+ of \d+ KB)"))) << lines[13];
    EXPECT_EQ(lines[14], "");
    EXPECT_EQ(lines[15], "    Application Path: " + app.getApplicationPath());
    EXPECT_TRUE(std::regex_match(lines[16], std::regex(R"(             Drive /: fixed <.*>, .*, \d+ of \d+ MB free)")))
        << lines[16];
    // The report ends with the dash line; shutdown adds its own three lines.
    const size_t n = lines.size();
    EXPECT_EQ(lines[n - 1], "");
    EXPECT_EQ(lines[n - 2], "orvo Engine stopped");
    EXPECT_EQ(lines[n - 3], dashes);
    EXPECT_EQ(lines[n - 4], dashes);
}

TEST_F(ApplicationInit, AnEmptyMakerFolderGivesNoLeadingSlash)
{
    ASSERT_EQ(app.init("Kesterby", nullptr, "", ""), 0);
    EXPECT_EQ(app.getUserDir(), "userappdata:Kesterby/");
    ASSERT_EQ(app.shutdown(), 0);
    ASSERT_EQ(app.init("Kesterby", nullptr, "", nullptr), 0);
    EXPECT_EQ(app.getUserDir(), "userappdata:Kesterby/");
}

TEST_F(ApplicationInit, ALogOf50000BytesIsAppendedToAndOneByteMoreStartsAfresh)
{
    std::filesystem::create_directories(userFolder());
    const std::string log = userFolder() + "orvo.log";
    kbtest::writeFile(log, std::string(50000, 'x'));
    ASSERT_EQ(app.init("Kesterby", nullptr, "", "Brindlewick"), 0);
    app.shutdown();
    std::string text = kbtest::readFile(log);
    EXPECT_EQ(text.substr(0, 50000), std::string(50000, 'x'));
    EXPECT_EQ(text.substr(50000, 5), "\n\n\n\n\n");

    kbtest::writeFile(log, std::string(50001, 'x'));
    ASSERT_EQ(app.init("Kesterby", nullptr, "", "Brindlewick"), 0);
    app.shutdown();
    text = kbtest::readFile(log);
    EXPECT_EQ(text.rfind("\n\n\n\n\n", 0), 0u);
    EXPECT_EQ(text.find("xxxxxxxx"), std::string::npos);
}

TEST_F(ApplicationInit, ALogThatCannotOpenShowsTheReinstallBoxAndStartUpGoesOn)
{
    std::filesystem::create_directories(userFolder() + "orvo.log"); // a folder where the file should be
    EXPECT_EQ(app.init("Kesterby", nullptr, "", "Brindlewick"), 0);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Game error. Please reinstall.");
    EXPECT_FALSE(a_logIsOpen());
}

TEST_F(ApplicationInit, ASecondInstanceAnswers1AndSetsNothingUp)
{
    ASSERT_EQ(app.init("Kesterby", nullptr, "", "Brindlewick"), 0);
    {
        kbtest::TestApp second;
        second.setLockFolder(lockDir.path());
        EXPECT_EQ(second.init("Kesterby", nullptr, "", "Brindlewick"), 1);
        EXPECT_EQ(second.getUserDir(), "");
        EXPECT_EQ(second.run(), 1);
        EXPECT_EQ(second.shutdown(), 0);
    }
    // The second instance's shutdown left the first one's guard alone.
    kbtest::TestApp third;
    third.setLockFolder(lockDir.path());
    EXPECT_EQ(third.init("Kesterby", nullptr, "", "Brindlewick"), 1);
}

TEST_F(ApplicationInit, AnotherProcessIsRefusedToo)
{
    ASSERT_EQ(app.init("Kesterby", nullptr, "", "Brindlewick"), 0);
    const pid_t child = fork();
    if (child == 0) {
        aInstanceLock lock;
        _exit(lock.acquire("Kesterby", lockDir.path()) == aInstanceLock::Result::HeldElsewhere ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(ApplicationReport, LineFormsForGivenFactsAndNoDrives)
{
    kbtest::LogCapture log;
    aSystemFacts f;
    f.operatingSystem = "Debian GNU/Linux 12 (bookworm), Linux 6.1.0 x86_64";
    f.computerName = "host";
    f.userName = "player";
    f.memoryLoad = 42;
    f.physicalAvailable = 2048 * 1024;
    f.physicalTotal = 4096 * 1024;
    f.virtualAvailable = uint64_t(1) << 50; // larger than the line's 32-bit field
    f.virtualTotal = uint64_t(1) << 51;
    f.pagefileAvailable = 1023;
    f.pagefileTotal = 0;
    aApplication::logSystemReport(f, "/opt/game/");
    const std::vector<std::string> expected = {
        "----------------- System configuration --------------------------",
        "    Operating System: Debian GNU/Linux 12 (bookworm), Linux 6.1.0 x86_64",
        "       Computer Name: host",
        "           User Name: player",
        "",
        "         Memory Load: 42%",
        "Free Physical Memory: 2048 of 4096 KB",
        " Free Virtual Memory: 2147483647 of 2147483647 KB",
        "       Pagefile Used: 0 of 0 KB",
        "",
        "    Application Path: /opt/game/",
        std::string(65, '-')};
    EXPECT_EQ(log.messages(), expected);
}

TEST(ApplicationReport, DriveLinesByType)
{
    kbtest::LogCapture log;
    aSystemFacts f;
    aDriveFact fixed;
    fixed.mountPoint = "/";
    fixed.type = aDriveFact::Type::Fixed;
    fixed.fileSystem = "ext4";
    fixed.label = "root";
    fixed.freeBytes = 1048576ull * 1500 + 1048575;
    fixed.totalBytes = 1048576ull * 20000;
    f.drives.push_back(fixed);
    for (auto type : {aDriveFact::Type::Removable, aDriveFact::Type::Remote, aDriveFact::Type::CdRom,
                      aDriveFact::Type::RamDisk, aDriveFact::Type::Unknown}) {
        aDriveFact d;
        d.mountPoint = "/m";
        d.type = type;
        f.drives.push_back(d);
    }
    aApplication::logSystemReport(f, "");
    const auto m = log.messages();
    ASSERT_GE(m.size(), 18u);
    EXPECT_EQ(m[11], "             Drive /: fixed <ext4>, root, 1500 of 20000 MB free");
    EXPECT_EQ(m[12], "             Drive /m: removable");
    EXPECT_EQ(m[13], "             Drive /m: remote");
    EXPECT_EQ(m[14], "             Drive /m: cdrom");
    EXPECT_EQ(m[15], "             Drive /m: ramdisk");
    EXPECT_EQ(m[16], "             Drive /m: unknown");
    EXPECT_EQ(m[17], std::string(65, '-'));
}

TEST(ApplicationErrors, TextsByCode)
{
    const std::string d3d = "Could not initialize Direct3D.\nTo solve this problem you may want to check that the\n"
                            "latest version of DirectX and latest version of drivers\nfor your video card are "
                            "correctly installed.";
    EXPECT_EQ(aApplication::errorText(0x8a760001, ""), d3d);
    EXPECT_EQ(aApplication::errorText(0x8a760003, ""), d3d);
    EXPECT_EQ(aApplication::errorText(0x8a760002, ""), "Game error. Please reinstall.");
    EXPECT_EQ(aApplication::errorText(0x8a76000b, ""), "Could not load required media.");
    EXPECT_EQ(aApplication::errorText(0x80070002, ""), "Could not load required media.");
    EXPECT_EQ(aApplication::errorText(0x88760827, ""),
              "A serious problem occurred with the display driver.\nPlease install latest drivers.");
    EXPECT_EQ(aApplication::errorText(1234, ""), "Unknown error. Please reinstall or contact user support.");
    EXPECT_EQ(aApplication::errorText(8431, "/home/p/.local/share/K/"),
              "Critical error. File \"crash.dmp\" has been saved to \n\"/home/p/.local/share/K/\"\n");
}

TEST(ApplicationErrors, TheBoxIsASystemModalErrorBox)
{
    kbtest::BoxSink sink;
    kbtest::TestApp app;
    app.showError(77);
    ASSERT_EQ(sink.boxes.size(), 1u);
    EXPECT_EQ(sink.boxes[0].caption, "Error!");
    EXPECT_EQ(sink.boxes[0].flags, 0x1010u);
    EXPECT_EQ(sink.boxes[0].text, "Unknown error. Please reinstall or contact user support.");
}

TEST(ApplicationPause, DeactivationPausesEverySoundChannelAndActivationResumes)
{
    kbtest::PulledAudio audio;
    kbtest::TestApp app;
    sound_libraryAcquire(false);
    const std::string wav = audiogen::wav(audiogen::level(4410, 1, 1000), 1, 44100);
    aAudioSamplePtr sample = audio_sampleLoad(reinterpret_cast<const uint8_t*>(wav.data()), wav.size());
    const int32_t channel = audio_playSound(sample, false);
    ASSERT_GE(channel, 0);

    app.wndProc(nullptr, 0x1C, 0, 0);
    EXPECT_TRUE(app.isPaused());
    EXPECT_FALSE(app.isActive());
    EXPECT_TRUE(audio_getPaused(channel));
    app.wndProc(nullptr, 0x1C, 0, 0); // no change: nothing happens
    app.wndProc(nullptr, 0x1C, 1, 0);
    EXPECT_FALSE(app.isPaused());
    EXPECT_FALSE(audio_getPaused(channel));
    sample.reset();
    sound_libraryRelease();
    // Without a live sound object the library is left alone.
    app.setPaused(true);
    EXPECT_FALSE(audio_isInitialised());
}

TEST(ApplicationPriority, FailuresAreLoggedAndAnswerFalse)
{
    kbtest::LogCapture log;
    kbtest::TestApp app;
    EXPECT_FALSE(app.setPriority(0x1234, 0));
    EXPECT_TRUE(log.contains("error in SetClassPriority()"));
}
