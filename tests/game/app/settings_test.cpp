// "config.ini" and "data:game.ini": the defaults' exact bytes, values read leniently, unusable ones put
// back to the defaults, every key shipped, sections read on their own, and the built-in values without the file.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "game/game.h"
#include "support/file_modes_held.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

using namespace kbtest;

TEST(Settings, ConfigDefaultsLenientValuesFallbacksAndGameConfigSections)
{
    LogCapture log;
    TempDir dir{"settings"};
    cGame game;
    auto roundTrip = [&](const std::string& text) {
        writeFile(dir.file("in.ini"), text);
        game.loadSettings(dir.file("in.ini"));
        EXPECT_TRUE(game.saveSettings(dir.file("out.ini")));
        return readFile(dir.file("out.ini"));
    };
    const std::string defaults = "[VIDEO]\r\nScreenWidth=1024\r\nScreenHeight=768\r\nVSync=0\r\nHighColor=1\r\n"
                                 "ShowFPS=0\r\nBrightness=0.000000\r\nContrast=0.000000\r\n\r\n"
                                 "[COMMON]\r\nLoadingScene=0\r\nSplashScreen=1\r\n\r\n";
    game.loadSettings(dir.file("none.ini"));
    ASSERT_TRUE(game.saveSettings(dir.file("config.ini")));
    EXPECT_EQ(readFile(dir.file("config.ini")), defaults);
    EXPECT_TRUE(log.messages().empty()) << log.raw();
    // A file that is there but may not be read (mode 000, which then holds for root too) gives the defaults as
    // well, and the log says why; the exit writes it anew.
    writeFile(dir.file("locked.ini"), "[VIDEO]\nScreenWidth=800\nScreenHeight=600\n");
    std::filesystem::permissions(dir.file("locked.ini"), std::filesystem::perms::none);
    {
        const FileModesHeld held;
        ASSERT_TRUE(held.active());
        game.loadSettings(dir.file("locked.ini"));
    }
    EXPECT_EQ(game.settings().screenWidth, 1024);
    EXPECT_TRUE(log.contains("cGame. Cannot read \"" + dir.file("locked.ini") + "\" (" + std::strerror(EACCES) +
                             "); the default settings are used"))
        << log.raw();

    EXPECT_EQ(roundTrip("[VIDEO]\nScreenWidth=800\nScreenHeight=600\nVSync=2\nHighColor=0\nShowFPS=1\n"
                        "Brightness=0.25xyz\nContrast=-0.125\n[COMMON]\nLoadingScene=1\nSplashScreen=-3\n"),
              "[VIDEO]\r\nScreenWidth=800\r\nScreenHeight=600\r\nVSync=1\r\nHighColor=0\r\n"
              "ShowFPS=1\r\nBrightness=0.250000\r\nContrast=-0.125000\r\n\r\n"
              "[COMMON]\r\nLoadingScene=1\r\nSplashScreen=0\r\n\r\n");
    // Unusable screen and gamma values; the case's keys come first, and the first of a repeated key counts.
    for (const char* video :
         {"ScreenWidth=0\nScreenHeight=0\n", "ScreenWidth=-1024\n", "ScreenHeight=99999\n", "ScreenWidth=70000\n",
          "Brightness=7\n", "Brightness=-1e30\n", "Contrast=-3\n", "Brightness=nan\nContrast=inf\n"})
        EXPECT_EQ(roundTrip(std::string("[VIDEO]\n") + video +
                            "ScreenWidth=1024\nScreenHeight=768\nVSync=0\nHighColor=1\nShowFPS=0\nBrightness=0\n"
                            "Contrast=0\n[COMMON]\nLoadingScene=0\nSplashScreen=1\n"),
                  defaults)
            << video;
    EXPECT_FALSE(log.messages().empty()) << "each fallback is logged";
    // A gamma value out of its range goes back to its default alone; the other one stays.
    for (const auto& [video, kept] : {std::pair{"Brightness=0.75\nContrast=0.5\n", "Contrast=0.500000"},
                                      std::pair{"Brightness=-0.25\nContrast=1.5\n", "Brightness=-0.250000"}})
        EXPECT_NE(roundTrip(std::string("[VIDEO]\n") + video).find(kept), std::string::npos) << video;
    EXPECT_TRUE(
        log.contains("cGame. Brightness 0.750000 in \"" + dir.file("in.ini") + "\" is not usable; 0.000000 is used"));
    // A save killed midway left its temporary file: the next start removes it.
    const pid_t gone = fork();
    if (gone == 0)
        _exit(0);
    waitpid(gone, nullptr, 0);
    const std::string stale = dir.file("in.ini." + std::to_string(gone) + "-1.tmp");
    writeFile(stale, "[VIDEO]\n");
    game.loadSettings(dir.file("in.ini"));
    EXPECT_FALSE(std::filesystem::exists(stale));
    // The shipped game config names every key; in another, each section is read on its own.
    const size_t logged = log.messages().size();
    const cSettings& s = game.settings();
    game.loadGameConfig(std::string(KB_TEST_DATA_DIR) + "/../../data/game.ini");
    EXPECT_EQ(log.messages().size(), logged) << log.raw();

    writeFile(dir.file("game.ini"), "[GAMEPLAY]\nAnimalRiseInPrice=10\nSellAdditionValue=1\nBuyAdditionValue=2\n"
                                    "AnimalSellCoeff=3\nOldAnimalProducingCoeff=4\nEasterEggClickCount=5\n"
                                    "MaxDoneUpgradesAtOnce=6\nMaxProducingCount=7\n[COMMON]\nLanguage=\n"
                                    "[RENDER]\nPerspectiveCorrectionStartDist=abc\n"
                                    "PerspectiveCorrectionStartScale=0.5\nPerspectiveCorrectionEndDist=400.5\n");
    game.loadGameConfig(dir.file("game.ini"));
    EXPECT_EQ(s.animalRiseInPrice, 10);
    EXPECT_EQ(s.maxProducingCount, 7);
    EXPECT_EQ(s.maxProducingCountCopy, 7);
    EXPECT_EQ(s.languageFolder, "data:Localization//");
    EXPECT_FLOAT_EQ(s.perspectiveStartDist, 0.0f);
    EXPECT_FLOAT_EQ(s.perspectiveEndDist, 400.5f);
    EXPECT_EQ(s.hungryAnimalsCount, 0) << "no EVENTS section";

    // Without the file every section falls back to the built-in values, whatever was read before.
    game.loadGameConfig(dir.file("none.ini"));
    EXPECT_EQ(std::vector<int32_t>({s.animalRiseInPrice, s.sellAdditionValue, s.buyAdditionValue, s.animalSellCoeff,
                                    s.oldAnimalProducingCoeff, s.easterEggClickCount, s.maxDoneUpgradesAtOnce,
                                    s.maxProducingCount, s.maxProducingCountCopy}),
              std::vector<int32_t>({50, 15, 0, 100, 70, 6, 1, 3, 3}));
    EXPECT_EQ(s.languageFolder, "data:Localization/English/");
    EXPECT_EQ(std::vector<float>({s.perspectiveStartDist, s.perspectiveStartScale, s.perspectiveEndDist}),
              std::vector<float>({180.0f, 0.7f, 500.0f}));
}
