#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "audiogen.h"
#include "orvo/platform/a_systemfacts.h"
#include "orvo/platform/audio/a_audio.h"
#include "orvo/sound/a_soundlibrary.h"
#include "support/app_fixture.h"
#include "support/log_capture.h"
#include "support/pulled_audio.h"
#include "support/temp_dir.h"
#include "support/text_lines.h"

using Strings = std::vector<std::string>;

namespace {

// The folder init gives the per-user data of "Brindlewick/Kesterby".
std::string userFolder()
{
    return std::string(std::getenv("XDG_DATA_HOME")) + "/Brindlewick/Kesterby/";
}

class ApplicationInit : public testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::remove_all(userFolder());
        app.setLockFolder(lockDir.path());
    }
    void TearDown() override { app.shutdown(); }
    int32_t init(kbtest::TestApp& a) { return a.init("Kesterby", nullptr, "", "Brindlewick"); }

    kbtest::TempDir lockDir{"lock"};
    kbtest::BoxSink boxes;
    kbtest::TestApp app;
};

} // namespace

TEST_F(ApplicationInit, MakesTheFoldersAndAppendsTheBannerToALogOfAtMost50000Bytes)
{
    const std::string log = userFolder() + "orvo.log";
    const std::string old(50000, 'x');
    kbtest::writeFile(log, old);
    ASSERT_EQ(init(app), 0);
    EXPECT_EQ(app.getUserDir(), "userappdata:Brindlewick/Kesterby/");
    EXPECT_EQ(app.getSavesDir(), "userprof:Saved Games/Brindlewick/Kesterby/");
    for (const std::string& dir : {app.getUserDir(), app.getSavesDir(), app.getSharedDir()})
        EXPECT_TRUE(std::filesystem::is_directory(app.getFileServer().manglePath(dir))) << dir;
    // The screenshot folder waits for the first screenshot.
    EXPECT_FALSE(std::filesystem::exists(userFolder() + "ScreenShots"));

    app.shutdown();
    const std::string text = kbtest::readFile(log);
    ASSERT_EQ(text.substr(0, 50005), old + "\n\n\n\n\n");
    const auto lines = kbtest::splitLines(text.substr(50005), true);
    ASSERT_GE(lines.size(), 20u);
    const std::string dashes(65, '-');
    EXPECT_EQ(Strings(lines.begin(), lines.begin() + 3),
              (Strings{"orvo Engine v1.7 started", dashes, "Application: Kesterby"}));
    EXPECT_TRUE(std::regex_match(lines[3], std::regex(R"(Launched on: \d\d\.\d\d\.\d{4}, \d\d:\d\d:\d\d)")))
        << lines[3];
    // The report's line forms are checked with given facts below; here its place.
    EXPECT_EQ(lines[5], "----------------- System configuration --------------------------");
    EXPECT_EQ(lines[15], "    Application Path: " + app.getApplicationPath());
    EXPECT_EQ(Strings(lines.end() - 4, lines.end()), (Strings{dashes, dashes, "orvo Engine stopped", ""}));

    // One byte more and the log starts afresh.
    kbtest::writeFile(log, old + "x");
    ASSERT_EQ(init(app), 0);
    app.shutdown();
    EXPECT_EQ(kbtest::readFile(log).find("xxxxxxxx"), std::string::npos);

    // An empty or missing maker folder gives no leading slash.
    for (const char* maker : {"", static_cast<const char*>(nullptr)}) {
        ASSERT_EQ(app.init("Kesterby", nullptr, "", maker), 0);
        EXPECT_EQ(app.getUserDir(), "userappdata:Kesterby/");
        ASSERT_EQ(app.shutdown(), 0);
    }

    // A log that cannot open shows the reinstall box and start-up goes on.
    std::filesystem::remove(log);
    std::filesystem::create_directories(log);
    EXPECT_EQ(init(app), 0);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Game error. Please reinstall.");
    EXPECT_FALSE(a_logIsOpen());
}

TEST_F(ApplicationInit, ASecondInstanceAnswers1AndSetsNothingUp)
{
    ASSERT_EQ(init(app), 0);
    {
        kbtest::TestApp second;
        second.setLockFolder(lockDir.path());
        EXPECT_EQ(init(second), 1);
        EXPECT_EQ(second.getUserDir(), "");
        EXPECT_EQ(second.run(), 1);
        EXPECT_EQ(second.shutdown(), 0);
    }
    // The second instance's shutdown left the first one's guard alone.
    kbtest::TestApp third;
    third.setLockFolder(lockDir.path());
    EXPECT_EQ(init(third), 1);
}

TEST(ApplicationReport, LineFormsForGivenFactsErrorBoxesAndFailedCallsLogged)
{
    kbtest::LogCapture log;
    aSystemFacts f;
    f.physicalAvailable = 2048 * 1024;
    f.physicalTotal = 4096 * 1024;
    f.virtualAvailable = uint64_t(1) << 50; // larger than the line's 32-bit field
    f.virtualTotal = uint64_t(1) << 51;
    f.pagefileAvailable = 1023;
    using Type = aDriveFact::Type;
    f.drives.push_back({"/", "", Type::Fixed, "ext4", "root", 1048576ull * 1500 + 1048575, 1048576ull * 20000});
    for (Type type : {Type::Removable, Type::Unknown})
        f.drives.push_back({"/m", "", type, "", "", 0, 0});
    aApplication::logSystemReport(f, "/opt/game/");
    // Sizes too large for the line's field are clamped; free space is in whole megabytes.
    for (const char* line :
         {"Free Physical Memory: 2048 of 4096 KB", " Free Virtual Memory: 2147483647 of 2147483647 KB",
          "       Pagefile Used: 0 of 0 KB", "             Drive /: fixed <ext4>, root, 1500 of 20000 MB free",
          "             Drive /m: removable", "             Drive /m: unknown"})
        EXPECT_TRUE(log.contains(line)) << line;

    // Error texts by code; an unknown one in a system-modal box.
    const std::string media = "Could not load required media.";
    EXPECT_EQ(aApplication::errorText(0x8a760001, ""), aApplication::errorText(0x8a760003, ""));
    EXPECT_EQ(aApplication::errorText(0x8a76000b, ""), media);
    EXPECT_EQ(aApplication::errorText(0x80070002, ""), media);
    EXPECT_EQ(aApplication::errorText(8431, "/home/p/.local/share/K/"),
              "Critical error. File \"crash.dmp\" has been saved to \n\"/home/p/.local/share/K/\"\n");
    kbtest::BoxSink sink;
    kbtest::TestApp app;
    app.showError(77);
    ASSERT_EQ(sink.boxes.size(), 1u);
    EXPECT_EQ(sink.boxes[0].caption, "Error!");
    EXPECT_EQ(sink.boxes[0].flags, 0x1010u);
    EXPECT_EQ(sink.boxes[0].text, "Unknown error. Please reinstall or contact user support.");
    EXPECT_FALSE(app.setPriority(0x1234, 0));
    EXPECT_TRUE(log.contains("error in SetClassPriority()"));
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
