// Level files read with their bounds, failed loads with their log lines, and
// the shipped levels in the running game.
#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "game/park/animal.h"
#include "game/park/level.h"
#include "game/park/poacher.h"
#include "game/support/harness.h"
#include "orvo/gfx/a_image.h"
#include "support/image_files.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

namespace {

// A 256 x 192 mask (a wall on top, herbivores left, predators right), a
// background and a level file of replaceable sections.
class LevelFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::vector<uint32_t> pixels;
        for (uint32_t y = 0; y < 192; ++y)
            for (uint32_t x = 0; x < 256; ++x)
                pixels.push_back(y < 40 ? 0xFF000000 : x < 128 ? 0xFFFFFFFF : 0xFF808080);
        kbtest::writeFile(dir.file("walk.png"), kbtest::encodePng(pixels, 256, 192));
        kbtest::writeFile(dir.file("back.png"), kbtest::encodePng(std::vector<uint32_t>(16, 0xFF336633), 4, 4));
        kbtest::writeFile(dir.file("bad.png"), "not a picture");
        sections = {{"DATA", "WalkableMask=" + dir.file("walk.png") + "\nMoney=120\nGoldTime=90\nBaseReward=15\n"},
                    {"BACKGROUND", "Background=" + dir.file("back.png") + "\n"}};
    }
    // "Test.ini" made of the sections (an empty one is left out) and `extra`.
    std::unique_ptr<cLevel> load(const std::string& extra = "")
    {
        std::string text;
        for (const auto& [name, body] : sections)
            if (!body.empty())
                text += "[" + name + "]\n" + body + "\n";
        kbtest::writeFile(dir.file("Test.ini"), text + extra);
        return std::make_unique<cLevel>(dir.file("Test.ini"), true);
    }
    kbtest::TempDir dir{"level"};
    std::map<std::string, std::string> sections;
};

// Values out of range are clamped, counts and waves out of order put in order.
TEST_F(LevelFile, DataRewardsGoalsWavesAndKindsNotLoaded)
{
    sections["DATA"] += "AnimalsSickPossibility=150\nAdultAnimalsPercent=-5\nAvailableAnimals=warthog, zebra\n";
    sections["GOALS"] = "Animals=zebra, lion\nAnimalsCount=3\nMoney=500\n";
    sections["CONDITIONS"] = "Animals=zebra, warthog\nAnimalsCount=4, 2\n";
    sections["POACHERS"] =
        "Types=hunter\nMinCount=3\nMaxCount=1\nMinWaves=4\nMaxWaves=1\nMinSpawnTime=10\nMaxSpawnTime=20\n";
    kbtest::LogCapture log;
    kbtest::writeFile(dir.file("warthog.ini"), "[DATA]\nName=warthog\n");
    cAnimal::loadKindFile(dir.file("warthog.ini"), 0);
    auto level = load("[GOAL]\nType=sell\nAnimals=warthog\nAnimalsCount=2\n\n[GOAL]\nValue=9\n\n"
                      "[GOAL]\nType=money\nValue=700\n\n[GOAL]\nType=heal\nValue=1\n");
    ASSERT_TRUE(level->loaded);
    EXPECT_EQ(std::pair(level->animalsSickPossibility, level->adultAnimalsPercent), std::pair(100, 0));
    EXPECT_EQ(std::tuple(level->waveMinCount, level->waveMaxCount, level->wavesLeft), std::tuple(3, 3, 4));
    EXPECT_TRUE(level->waveTimer >= 10.0f && level->waveTimer <= 20.0f) << level->waveTimer;
    // Kinds that are not loaded are told once and left out; the warthog has no pictures, so none is made.
    ASSERT_EQ(level->buyableKinds.size(), 1u);
    EXPECT_TRUE(log.contains("cLevel. Level \"Test\" offers \"zebra\", which is no loaded animal kind"));
    EXPECT_TRUE(log.contains("cLevel. Level \"Test\" starts with \"zebra\", which is no loaded animal kind"));
    EXPECT_TRUE(level->animals.empty());
    // Sorted by type; a sell goal counts only loaded kinds; sections without a type or of another make none.
    std::vector<std::string> goals;
    for (const cGoal& g : level->goals)
        goals.push_back(std::to_string(g.type) + " " + g.kindName + " " + std::to_string(g.target));
    EXPECT_EQ(goals, (std::vector<std::string>{"0  500", "0  700", "2 zebra 3", "2 warthog 2"}));
    // A released level goes without touching the next level's background.
    ASSERT_NE(g_levelBackground, nullptr);
    level->release();
    EXPECT_EQ(g_levelBackground, nullptr);
    auto next = load();
    level.reset();
    EXPECT_NE(g_levelBackground, nullptr);
    next.reset();
    cAnimal::releaseKinds();
    // The loads filled the poacher pool; the game frees it at shutdown.
    cPoacher::releaseKinds();
}

// Each load fills the poacher pool up to its largest wave: loading again, as a
// restart does, never grows it.
TEST_F(LevelFile, ReloadsKeepThePoacherPoolToTheLargestWave)
{
    const auto waves = [this](int minCount, int maxCount) {
        sections["POACHERS"] = "Types=hunter\nMinCount=" + std::to_string(minCount) +
                               "\nMaxCount=" + std::to_string(maxCount) + "\nMinWaves=1\nMaxWaves=1\n";
        auto level = load();
        EXPECT_TRUE(level->loaded);
        level->release();
        return cPoacher::pooledCount();
    };
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(waves(1, 2), 3u) << "load " << i
                                   << ": MaxCount 2 is kept as 3, the bound a wave's size is drawn below";
    EXPECT_EQ(waves(5, 5), 5u);
    EXPECT_EQ(waves(1, 1), 5u) << "what is pooled stays for the next level";
    cPoacher::releaseKinds();
    EXPECT_EQ(cPoacher::pooledCount(), 0u);
}

TEST_F(LevelFile, MissingFilesAndSectionsFailTheLoad)
{
    const std::string missing = dir.file("none.png");
    const struct {
        const char* section;
        std::string body;
        std::string logLine; // "" when nothing is told
        bool loads = false;
    } cases[] = {
        {"DATA", "WalkableMask=" + missing + "\n", "Missing level walkable mask file"},
        {"DATA", "Money=5\n", "Missing level walkable mask file"},
        {"DATA", "WalkableMask=" + dir.file("bad.png") + "\n", "aImage. Cannot decode \"" + dir.file("bad.png") + "\""},
        {"BACKGROUND", "Background=" + missing + "\n", "Missing level background file"},
        {"WATER", "AreaRect=0, 300, 240, 468\nMask=" + missing + "\n", "Missing water mask file"},
        {"DATA", "", ""},
        {"BACKGROUND", "", ""},
        {"WATER", "AreaRect=0, 300, 240, 468\nMask=" + dir.file("back.png") + "\nFrameTime=0.2\n", "", true},
        {"POACHERS", "MinCount=1\nMaxCount=1\nMinWaves=2\nMaxWaves=2\n",
         "cLevel. Level \"Test\" has poacher waves but no poacher types", true},
    };
    for (const auto& c : cases) {
        SetUp();
        kbtest::LogCapture log;
        sections[c.section] = c.body;
        auto level = load();
        EXPECT_EQ(level->loaded, c.loads) << c.section << ": " << c.body;
        EXPECT_EQ(level->wavesLeft, 0) << c.section << ": " << c.body;
        for (const std::string& line : log.messages())
            EXPECT_TRUE(c.loads || line == c.logLine || line.find("Missing") == std::string::npos) << line;
        EXPECT_TRUE(c.logLine.empty() || log.contains(c.logLine)) << c.logLine;
    }
}

// The shipped levels on a 32-bit and a 16-bit display: same ground, nothing missing.
TEST(ShippedLevels, LoadWithTheirGroundOnBothDisplays)
{
    for (int highColor : {1, 0}) {
        kbtest::GameHarness harness(kbtest::GameHarness::Options{.recording = true});
        kbtest::writeFile(harness.home().userDir() + "config.ini", "[VIDEO]\nHighColor=" + std::to_string(highColor));
        ASSERT_EQ(harness.start(), 0);
        ASSERT_TRUE(harness.waitForLoad());
        const size_t startLines = harness.log().size();
        for (const auto& [hash, path] : harness.game().animalKindFiles())
            cAnimal::loadKindFile(path, cAnimalKind::MASK_ALL);
        cLevel tutorial("levels:Level00.ini", true);
        ASSERT_TRUE(tutorial.loaded);
        ASSERT_NE(g_levelBackground, nullptr);
        EXPECT_EQ(g_levelBackground->getRecord()->displayFormat(),
                  highColor ? aGpuFormat::A8R8G8B8 : aGpuFormat::A4R4G4B4);
        tutorial.release();
        cLevel fenced(std::string(KB_TEST_DATA_DIR) + "/levels/Level01.ini", true);
        ASSERT_FALSE(fenced.animals.empty());
        for (cAnimal* animal : fenced.animals)
            EXPECT_EQ(fenced.walkableAt(int32_t(animal->anchor.x), int32_t(animal->anchor.y)), cLevel::HERBIVORE);
        fenced.release();
        const std::vector<std::string> log = harness.log();
        for (size_t i = startLines; i < log.size(); ++i)
            for (const char* bad : {"Missing", "Cannot", "not exist", "not found"})
                EXPECT_EQ(log[i].find(bad), std::string::npos) << log[i];
    }
}

} // namespace
