#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

#include "audiogen.h"
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

TEST_F(ApplicationInit, MakesTheFoldersAppendsToALogOfAtMost50000BytesAndASecondInstanceAnswers1)
{
    const std::string log = userFolder() + "orvo.log";
    const std::string old(50000, 'x');
    kbtest::writeFile(log, old);
    ASSERT_EQ(init(app), 0);
    for (const std::string& dir : {app.getUserDir(), app.getSavesDir(), app.getSharedDir()})
        EXPECT_TRUE(std::filesystem::is_directory(app.getFileServer().manglePath(dir))) << dir;
    app.shutdown();
    const std::string text = kbtest::readFile(log);
    ASSERT_EQ(text.substr(0, 50005), old + "\n\n\n\n\n");
    // One byte more and the log starts afresh.
    kbtest::writeFile(log, old + "x");
    ASSERT_EQ(init(app), 0);
    app.shutdown();
    EXPECT_EQ(kbtest::readFile(log).find("xxxxxxxx"), std::string::npos);
    // A missing maker folder gives no leading slash.
    ASSERT_EQ(app.init("Kesterby", nullptr, "", nullptr), 0);
    EXPECT_EQ(app.getUserDir(), "userappdata:Kesterby/");
    ASSERT_EQ(app.shutdown(), 0);
    // A log that cannot open shows the reinstall box and start-up goes on.
    std::filesystem::remove(log);
    std::filesystem::create_directories(log);
    EXPECT_EQ(init(app), 0);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Game error. Please reinstall.");
    EXPECT_FALSE(a_logIsOpen());
    // A second instance answers 1, twice: its shutdown must leave the first one's guard alone.
    for (int twice = 0; twice < 2; ++twice) {
        kbtest::TestApp second;
        second.setLockFolder(lockDir.path());
        EXPECT_EQ(init(second), 1);
        EXPECT_EQ(second.run(), 1);
        EXPECT_EQ(second.shutdown(), 0);
    }
}

TEST(ApplicationReport, ClampedLinesDriveKindsErrorBoxTextsAndARefusedPriority)
{
    kbtest::LogCapture log;
    aSystemFacts f;
    f.virtualAvailable = uint64_t(1) << 50; // larger than the line's 32-bit field
    f.virtualTotal = uint64_t(1) << 51;
    for (auto type : {aDriveFact::Type::Fixed, aDriveFact::Type::Removable, aDriveFact::Type::Remote,
                      aDriveFact::Type::CdRom, aDriveFact::Type::RamDisk, aDriveFact::Type::Unknown}) {
        aDriveFact& d = f.drives.emplace_back();
        d.mountPoint = f.drives.size() == 1 ? "/" : "/m";
        d.type = type;
    }
    f.drives[0].fileSystem = "ext4";
    f.drives[0].label = "root";
    f.drives[0].freeBytes = 1048576ull * 1500 + 1048575;
    f.drives[0].totalBytes = 1048576ull * 20000;
    aApplication::logSystemReport(f, "/opt/game/");
    // Sizes too large for the line's field are clamped, not wrapped.
    EXPECT_TRUE(log.contains(" Free Virtual Memory: 2147483647 of 2147483647 KB"));
    // One line a drive, by kind; a fixed one with its file system, label and whole megabytes.
    const auto lines = log.messages();
    const std::vector<std::string> drives(lines.end() - 7, lines.end() - 1);
    EXPECT_EQ(drives, (std::vector<std::string>{"             Drive /: fixed <ext4>, root, 1500 of 20000 MB free",
                                                "             Drive /m: removable", "             Drive /m: remote",
                                                "             Drive /m: cdrom", "             Drive /m: ramdisk",
                                                "             Drive /m: unknown"}));
    // The start-up error box's text by code: no graphics device, no driver, missing media, an unknown code.
    const std::string d3d = "Could not initialize Direct3D.\nTo solve this problem you may want to check that the\n"
                            "latest version of DirectX and latest version of drivers\nfor your video card are "
                            "correctly installed.";
    const std::pair<uint32_t, std::string> texts[] = {
        {0x8a760001, d3d},
        {0x8a760003, d3d},
        {0x8a760002, "Game error. Please reinstall."},
        {0x8a76000b, "Could not load required media."},
        {0x80070002, "Could not load required media."},
        {0x88760827, "A serious problem occurred with the display driver.\nPlease install latest drivers."},
        {1234, "Unknown error. Please reinstall or contact user support."}};
    for (const auto& [code, text] : texts)
        EXPECT_EQ(aApplication::errorText(code, ""), text) << std::hex << code;
    // An unknown error code still gets a system-modal error box.
    kbtest::BoxSink sink;
    kbtest::TestApp app;
    app.showError(77);
    ASSERT_EQ(sink.boxes.size(), 1u);
    EXPECT_EQ(sink.boxes[0].caption, "Error!");
    EXPECT_EQ(sink.boxes[0].flags, 0x1010u);
    EXPECT_EQ(sink.boxes[0].text, "Unknown error. Please reinstall or contact user support.");
    // A priority the system does not know is refused and logged.
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
    EXPECT_TRUE(app.isPaused() && audio_getPaused(channel));
    app.wndProc(nullptr, 0x1C, 0, 0); // no change: nothing happens
    app.wndProc(nullptr, 0x1C, 1, 0);
    EXPECT_FALSE(app.isPaused() || audio_getPaused(channel));
    sample.reset();
    sound_libraryRelease();
    // Without a live sound object the library is left alone.
    app.setPaused(true);
    EXPECT_FALSE(audio_isInitialised());
}
