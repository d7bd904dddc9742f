// "config.ini" and "data:game.ini": defaults, the exact bytes written, values
// read leniently and unusable ones put back to the defaults.
#include <gtest/gtest.h>

#include "game/game.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

using namespace kbtest;

namespace {

const std::string kDefaultConfig = "[VIDEO]\r\nScreenWidth=1024\r\nScreenHeight=768\r\nVSync=0\r\nHighColor=1\r\n"
                                   "ShowFPS=0\r\nBrightness=0.000000\r\nContrast=0.000000\r\n\r\n"
                                   "[COMMON]\r\nLoadingScene=0\r\nSplashScreen=1\r\n\r\n";

class Settings : public ::testing::Test {
protected:
    // Loads `text` as "config.ini" and gives what saving writes back.
    std::string roundTrip(const std::string& text)
    {
        const std::string in = dir.file("in.ini"), out = dir.file("out.ini");
        writeFile(in, text);
        game.loadSettings(in);
        EXPECT_TRUE(game.saveSettings(out));
        return readFile(out);
    }

    LogCapture log;
    TempDir dir{"settings"};
    cGame game;
};

} // namespace

TEST_F(Settings, MissingFileGivesTheDefaultsAndTheirBytes)
{
    game.loadSettings(dir.file("none.ini"));
    ASSERT_TRUE(game.saveSettings(dir.file("config.ini")));
    EXPECT_EQ(readFile(dir.file("config.ini")), kDefaultConfig);
    EXPECT_TRUE(log.messages().empty()) << log.raw();
}

TEST_F(Settings, ValuesAreReadLenientlyAndWrittenNormalised)
{
    const std::string text = "[VIDEO]\nScreenWidth=800\nScreenHeight=600\nVSync=2\nHighColor=0\nShowFPS=1\n"
                             "Brightness=0.25xyz\nContrast=-0.125\n[COMMON]\nLoadingScene=1\nSplashScreen=-3\n";
    EXPECT_EQ(roundTrip(text), "[VIDEO]\r\nScreenWidth=800\r\nScreenHeight=600\r\nVSync=1\r\nHighColor=0\r\n"
                               "ShowFPS=1\r\nBrightness=0.250000\r\nContrast=-0.125000\r\n\r\n"
                               "[COMMON]\r\nLoadingScene=1\r\nSplashScreen=0\r\n\r\n");
    EXPECT_FALSE(game.settings().splashScreen);
}

TEST_F(Settings, UnusableScreenAndGammaValuesFallBackToTheDefaults)
{
    const struct {
        const char* video;
        const char* why;
    } cases[] = {
        {"ScreenWidth=0\nScreenHeight=0\n", "zero size"},
        {"ScreenWidth=-1024\nScreenHeight=768\n", "negative width"},
        {"ScreenWidth=1024\nScreenHeight=99999\n", "absurd height"},
        {"ScreenWidth=70000\nScreenHeight=768\n", "width past 16 bits"},
        {"Brightness=7\n", "brightness that whitens everything"},
        {"Brightness=-1e30\nContrast=0\n", "brightness far below"},
        {"Contrast=-3\n", "inverted contrast"},
        {"Brightness=nan\nContrast=inf\n", "not numbers at all"},
    };
    for (const auto& c : cases) {
        std::string video = "ScreenWidth=1024\nScreenHeight=768\nVSync=0\nHighColor=1\nShowFPS=0\n";
        video += "Brightness=0\nContrast=0\n";
        // The case's keys come first: the first of a repeated key counts.
        const std::string text =
            std::string("[VIDEO]\n") + c.video + video + "[COMMON]\nLoadingScene=0\nSplashScreen=1\n";
        EXPECT_EQ(roundTrip(text), kDefaultConfig) << c.why;
    }
    EXPECT_FALSE(log.messages().empty()) << "each fallback is logged";
}

TEST_F(Settings, GameConfigDefaultsTheShippedFileAndSectionsReadOnTheirOwn)
{
    game.loadGameConfig(dir.file("none.ini"));
    const cSettings& s = game.settings();
    EXPECT_EQ(s.animalRiseInPrice, 50);
    EXPECT_EQ(s.sellAdditionValue, 15);
    EXPECT_EQ(s.animalSellCoeff, 100);
    EXPECT_EQ(s.oldAnimalProducingCoeff, 70);
    EXPECT_EQ(s.easterEggClickCount, 6);
    EXPECT_EQ(s.maxDoneUpgradesAtOnce, 1);
    EXPECT_EQ(s.maxProducingCount, 3);
    EXPECT_EQ(s.maxProducingCountCopy, 3);
    EXPECT_EQ(s.languageFolder, "data:Localization/English/");
    EXPECT_FLOAT_EQ(s.perspectiveStartDist, 180.0f);
    EXPECT_FLOAT_EQ(s.perspectiveStartScale, 0.7f);
    EXPECT_FLOAT_EQ(s.perspectiveEndDist, 500.0f);
    EXPECT_EQ(s.poachersCount, 0);

    // The shipped file names every key, and events can happen in a level.
    game.loadGameConfig(std::string(KB_TEST_DATA_DIR) + "/../../data/game.ini");
    EXPECT_GT(s.poachersCount, 0);
    EXPECT_GT(s.producingAnimalsCount, 0);
    EXPECT_GT(s.hungryAnimalsCount, 0);
    EXPECT_EQ(s.language, "English");
    EXPECT_TRUE(s.openUrlOnQuit.empty());
    EXPECT_TRUE(log.messages().empty()) << log.raw();

    // Each section is read on its own.
    writeFile(dir.file("game.ini"), "[GAMEPLAY]\nAnimalRiseInPrice=10\nSellAdditionValue=1\nBuyAdditionValue=2\n"
                                    "AnimalSellCoeff=3\nOldAnimalProducingCoeff=4\nEasterEggClickCount=5\n"
                                    "MaxDoneUpgradesAtOnce=6\nMaxProducingCount=7\n"
                                    "[COMMON]\nLanguage=\nOpenURLOnQuit=https://example.org/\n"
                                    "[RENDER]\nPerspectiveCorrectionStartDist=abc\n"
                                    "PerspectiveCorrectionStartScale=0.5\nPerspectiveCorrectionEndDist=400.5\n");
    game.loadGameConfig(dir.file("game.ini"));
    EXPECT_EQ(s.animalRiseInPrice, 10);
    EXPECT_EQ(s.maxProducingCount, 7);
    EXPECT_EQ(s.maxProducingCountCopy, 7);
    EXPECT_EQ(s.languageFolder, "data:Localization//");
    EXPECT_EQ(s.openUrlOnQuit, "https://example.org/");
    EXPECT_FLOAT_EQ(s.perspectiveStartDist, 0.0f);
    EXPECT_FLOAT_EQ(s.perspectiveEndDist, 400.5f);
    EXPECT_EQ(s.hungryAnimalsCount, 0) << "no EVENTS section";
}
