// The world map: statuses from a map file and a profile, the scripted player
// on the shipped map (selection, tooltip, hints, awards, routing) and its look.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>

#include "game/game.h"
#include "game/screens/parkconfig.h"
#include "game/support/map_park_game.h"
#include "gui/checkbox.h"
#include "gui/staticanim.h"
#include "orvo/app/a_file.h"
#include "orvo/app/a_optionsfile.h"
#include "orvo/gfx/a_imagemanager.h"
#include "orvo/platform/gpu/a_gpuimage.h"
#include "orvo/util/a_math.h"
#include "support/image_files.h"
#include "support/temp_dir.h"

using namespace kbtest;

namespace {

aOptionsFile mapFile(const std::string& text)
{
    aOptionsFile file;
    file.parse(text.data(), text.size(), "test map");
    return file;
}

std::vector<std::pair<std::string, int32_t>> statuses(const std::vector<std::unique_ptr<cMapLevel>>& levels)
{
    std::vector<std::pair<std::string, int32_t>> out;
    for (const auto& l : levels)
        out.emplace_back(l->name, l->status);
    return out;
}

} // namespace

TEST(MapLevels, StatusesFromTheMapFileAndTheProfile)
{
    cPlayerProfile p(L"Tester");
    p.setLevelReward("tutorial", 0);
    p.setLevelReward("Level01", 2);
    p.setLevelReward("Level02", 1);
    p.setLevelReward("Level03", 0);
    p.setUpgradeStage(0, 2);
    p.setUpgradeStage(1, 1);
    aOptionsFile map = mapFile("[tutorial]\nPositionX=10\nPositionY=20\n"
                               "[Level01]\nPositionX=100\nPositionY=200\n"
                               "[Level02]\nNeedLevelComplete=Level01\nPositionX=100\nPositionY=200\n"
                               "[Level03]\nPositionX=1\n"
                               "[Level04]\nNeedUpgradeStages=2, 1\n"
                               "[Level05]\nNeedUpgradeStages=2, 2\n"
                               "[Level06]\nNeedLevelComplete=Level09\nPositionX=1\n"
                               "[Bonus1]\nMiniGame=1\nNeedUpgradeStages=9\n"
                               "[Bonus2]\nMiniGame=5\n"
                               "[Plain]\nMiniGame=-7\n"
                               "[Long]\nNeedUpgradeStages=0, 0, 0, 0, 0, 0, 1\n"
                               "[Zeros]\nNeedUpgradeStages=0, 0, 0, 0, 0, 0, 0\n"
                               "[Tutorial]\nPositionX=1\n"
                               "[Empty]\n");
    const auto levels = cMapState::readLevels(map, &p, true);
    const std::vector<std::pair<std::string, int32_t>> expected = {
        {"tutorial", 5}, {"Level01", 4}, {"Level02", 3}, {"Level03", 2}, {"Level04", 1}, {"Level05", 0},
        {"Bonus1", 7},   {"Bonus2", 8},  {"Plain", 1},   {"Long", 0},    {"Zeros", 1},   {"Tutorial", 1}};
    EXPECT_EQ(statuses(levels), expected) << "Level06 waits for Level09; the empty section is skipped";

    EXPECT_EQ(levels[0]->x, 10) << "the tutorial keeps its place even when completed";
    EXPECT_EQ(levels[1]->x, 103) << "completed buttons are wider";
    EXPECT_EQ(levels[1]->y, 200);
    EXPECT_EQ(levels[2]->neededLevel, "Level01");

    int32_t completed = 0;
    int32_t gold = 0;
    cMapState::countAwards(levels, completed, gold);
    EXPECT_EQ(completed, 4) << "completed levels and the tutorial";
    EXPECT_EQ(gold, 1);

    // Without hiding, a section waiting for another level is shown as it stands.
    EXPECT_EQ(cMapState::readLevels(map, &p, false).size(), 13u);
    // No profile: nothing is completed and no stage is built.
    const auto fresh = cMapState::readLevels(map, nullptr, true);
    EXPECT_EQ(statuses(fresh)[1], (std::pair<std::string, int32_t>{"Level01", 1}));
    EXPECT_EQ(statuses(fresh)[2], (std::pair<std::string, int32_t>{"Level03", 1})) << "Level02 waits for Level01";
    EXPECT_EQ(statuses(fresh)[3].second, 0) << "Level04 needs stages";
}

namespace {

class MapScreen : public MapParkGame {
protected:
    void TearDown() override { tutorial_setRunning(false); }

    cMapState* enterMap() { return enter<cMapState>(STATE_MAP); }
    void seconds(float s) { h.frames(static_cast<int>(s * 60.0f + 0.5f)); }
    std::wstring tooltipText(const std::string& name)
    {
        GUI::Widget* w = h.widget("Level_tooltip");
        GUI::Widget* c = w ? w->FindChild(name, true) : nullptr;
        return c ? c->GetText() : L"(none)";
    }
    void expectPanel(const std::vector<std::pair<std::string, std::wstring>>& texts)
    {
        for (const auto& [name, text] : texts)
            EXPECT_EQ(tooltipText(name), text) << name;
    }
    // A click on the level's button, as the player picks it.
    const cMapLevel* pick(const cMapState* map, const std::string& name)
    {
        const cMapLevel* level = findLevel(map, name);
        h.click(level->button->GetAbsoluteX() + 10, level->button->GetAbsoluteY() + 20);
        h.frames(2);
        return level;
    }
    // A levels folder of the test's own that holds only the first level's file.
    void firstLevelFile(const std::string& text)
    {
        const std::string folder = h.home().path() + "/Levels/";
        ASSERT_TRUE(h.game().getFileServer().makeDir(folder));
        std::ofstream(folder + "Level01.ini") << text;
        h.game().getFileServer().setAssign("levels", folder);
    }
};

} // namespace

TEST_F(MapScreen, ANewPlayerSeesTheTutorialAndTheFirstLevel)
{
    cMapState* map = enterMap();
    ASSERT_NE(map, nullptr);
    ASSERT_EQ(map->levels().size(), 2u);
    EXPECT_EQ(map->levels()[0]->status, MAP_TUTORIAL);
    EXPECT_EQ(map->levels()[1]->status, MAP_OPEN);
    EXPECT_EQ(map->getSelected(), map->levels()[1].get()) << "the last shown level is picked";
    EXPECT_TRUE(map->levels()[1]->button->IsChecked());
    EXPECT_FALSE(h.widget("Park")->IsEnabled());
    EXPECT_FALSE(h.widget("Awards")->IsEnabled());
    EXPECT_TRUE(h.widget("Play")->IsEnabled());
    EXPECT_FALSE(map->getParkFlag());
    ASSERT_NE(cLevelTooltip::get(), nullptr);
    expectPanel({{"Caption", L"First steps"},
                 {"GoldTime", L"4:00"},
                 {"SilverTime", L"6:00"},
                 {"GoldReward", L"300$"},
                 {"SilverReward", L"220$"},
                 {"BaseReward", L"150$"}});
    EXPECT_EQ(profile->tipsMask & 0x300u, 0x100u) << "the level hint, not the park hint";
    EXPECT_EQ(profile->getAwardProgress(11), 1) << "the tutorial counts";
    EXPECT_EQ(profile->getAwardProgress(12), 0);
    seconds(1.0f);
    h.expectScreen("map_new_player");
}

TEST_F(MapScreen, AnOpenLevelShowsItsMedalTimesAndRewardsWithTheMoneySign)
{
    // A level file of our own: 90 and 125 seconds.
    firstLevelFile("[DATA]\nGoldTime=90\nSilverTime=125\nGoldReward=700\nSilverReward=450\nBaseReward=5\n");
    cMapState* map = enterMap();
    ASSERT_NE(map, nullptr);
    expectPanel({{"GoldTime", L"1:30"},
                 {"SilverTime", L"2:05"},
                 {"GoldReward", L"700$"},
                 {"SilverReward", L"450$"},
                 {"BaseReward", L"5$"},
                 {"Text", L"Finish fast for a bigger reward:"}});
    EXPECT_TRUE(h.widget("TimeRewards")->IsVisible());

    // The tutorial has no file here: its panel needs none.
    pick(map, "Tutorial");
    expectPanel({{"Caption", L"Ranger school"}, {"Text", L"Learn how to run a savanna park."}});
    EXPECT_FALSE(h.widget("TimeRewards")->IsVisible());

    for (const auto& [seconds, text] : std::vector<std::pair<int32_t, std::wstring>>{
             {90, L"1:30"}, {125, L"2:05"}, {5, L"0:05"}, {0, L"0:00"}, {-3, L"0:00"}, {3600, L"60:00"}})
        EXPECT_EQ(cLevelTooltip::formatTime(seconds), text);

    // A second entry without leaving is refused.
    map->init();
    EXPECT_TRUE(h.logged("cMapState is already initiated"));
}

TEST_F(MapScreen, AHalfPlayedMapShowsMedalsLocksAndWhatALockedLevelNeeds)
{
    for (const char* name : {"Level01", "Level02", "Level03", "Level04"})
        profile->setLevelReward(name, 2);
    profile->setLevelReward("Level02", 1);
    profile->setLevelReward("Level03", 0);
    profile->upgradeStages = {1, 1, 1};
    profile->stars = 320;
    profile->tipsMask = 0x100; // the level hint was seen
    cMapState* map = enterMap();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(findLevel(map, "Level01")->status, MAP_GOLD);
    EXPECT_EQ(findLevel(map, "Level02")->status, MAP_SILVER);
    EXPECT_EQ(findLevel(map, "Level03")->status, MAP_COMPLETED);
    EXPECT_EQ(findLevel(map, "CatchAnimal01")->status, MAP_MINI_GAME);
    EXPECT_EQ(findLevel(map, "Level05")->status, MAP_LOCKED) << "needs the ranger post's first stage";
    EXPECT_EQ(findLevel(map, "Level06"), nullptr) << "Level05 is not completed";
    EXPECT_EQ(map->getSelected(), findLevel(map, "Level05"));
    EXPECT_FALSE(h.widget("Play")->IsEnabled()) << "a locked level cannot be played";
    EXPECT_TRUE(h.widget("Park")->IsEnabled());
    EXPECT_TRUE(map->getParkFlag()) << "320$ buys the helipad's first stage";
    EXPECT_EQ(profile->tipsMask & 0x200u, 0x200u) << "the park hint was shown";
    EXPECT_EQ(profile->getAwardProgress(11), 5);
    EXPECT_EQ(profile->getAwardProgress(12), 2);

    // The locked level's panel: the one missing stage, which costs more than the player has.
    const cLevelTooltip* tip = cLevelTooltip::get();
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->getStatus(), MAP_LOCKED);
    EXPECT_TRUE(tip->needsMoney()) << "the ranger post's first stage costs 350$";
    EXPECT_EQ(tooltipText("Text"), L"Earn more money to build what this level needs:");
    ASSERT_EQ(tip->thumbnails().size(), 1u);
    EXPECT_FLOAT_EQ(tip->thumbnails()[0].scale, 64.0f / 50.0f) << "the tent's picture, 50 wide, is drawn 64 wide";
    EXPECT_EQ(tip->getRowHeight(), 51);
    EXPECT_EQ(tip->getRowWidth(0), 68);
    const auto at = tip->thumbnailPositions();
    ASSERT_EQ(at.size(), 1u);
    EXPECT_EQ(at[0].x, 243 + (260 - 68) / 2);
    EXPECT_EQ(at[0].y, 427 + 175) << "one row stands 175 below the panel's top";

    seconds(1.0f);
    h.expectScreen("map_half_played");

    // Picking the gold level shows its medal and opens Play again.
    const cMapLevel* first = pick(map, "Level01");
    EXPECT_EQ(map->getSelected(), first);
    EXPECT_TRUE(first->button->IsChecked());
    EXPECT_FALSE(findLevel(map, "Level05")->button->IsChecked()) << "one level checked at a time";
    EXPECT_TRUE(h.widget("Play")->IsEnabled());
    EXPECT_TRUE(h.widget("GoldMedal")->IsVisible());
    EXPECT_FALSE(h.widget("TimeRewards")->IsVisible());
    EXPECT_EQ(tooltipText("Text"), L"Completed. Play it again to do better!");

    // The mini-game's panel.
    pick(map, "CatchAnimal01");
    expectPanel({{"Caption", L"Runaways"}, {"Text", L"Bonus game: catch the runaway animals!"}});
    EXPECT_TRUE(h.widget("MiniGame")->IsVisible());
}

TEST_F(MapScreen, FourMissingStagesFillTwoRows)
{
    for (const char* name : {"Level01", "Level02", "Level03", "Level04", "Level05", "Level06", "Level07", "Level08",
                             "Level09", "Level10", "Level11"})
        profile->setLevelReward(name, 2);
    profile->upgradeStages = {2, 1, 1, 1, 2};
    profile->stars = 5000;
    profile->tipsMask = 0x300;
    cMapState* map = enterMap();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->getSelected(), findLevel(map, "Level12"));
    const cLevelTooltip* tip = cLevelTooltip::get();
    ASSERT_NE(tip, nullptr);
    // Level12 needs 3, 2, 2, 2, 2: four stages are missing.
    ASSERT_EQ(tip->thumbnails().size(), 4u);
    EXPECT_FALSE(tip->needsMoney());
    EXPECT_EQ(tooltipText("Text"), L"Build up your park to open this level:");
    EXPECT_EQ(tip->getRowWidth(0), 3 * 68);
    EXPECT_EQ(tip->getRowWidth(1), 68);
    EXPECT_EQ(tip->getRowHeight(), 48) << "the food store's picture, 82 x 62, is the tallest";
    const auto at = tip->thumbnailPositions();
    ASSERT_EQ(at.size(), 4u);
    // Pictures of different heights stand on their row's bottom line.
    const auto bottom = [&](size_t i) {
        const cLevelTooltip::Thumbnail& t = tip->thumbnails()[i];
        return at[i].y + aMath::round(static_cast<float>(t.source.height) * t.scale);
    };
    EXPECT_EQ(bottom(0), 427 + 125 + 48) << "two rows start 125 below the panel's top";
    EXPECT_EQ(bottom(2), 427 + 125 + 48);
    EXPECT_EQ(bottom(3), 427 + 125 + 2 * 48);
    EXPECT_LE(bottom(3), tip->getWindow()->GetAbsoluteY() + tip->getWindow()->GetHeight())
        << "the lower row stays inside the panel";
    EXPECT_EQ(at[3].x, 243 + (260 - 68) / 2) << "the lower row is centred";

    // Without the thumbnails the panel shows its text and no pictures.
    h.game().spriteRegistry().unloadSpriteIni("sprites:park_thumbs.ini");
    cLevelTooltip::showFor(*findLevel(map, "Level12"), MAP_LOCKED);
    EXPECT_TRUE(cLevelTooltip::get()->thumbnails().empty());
    EXPECT_TRUE(h.logged("cLevelTooltip. No thumbnail \"2_2\" for level \"Level12\""));
    EXPECT_EQ(tooltipText("Text"), L"Build up your park to open this level:");
    h.frames(2);
}

TEST_F(MapScreen, EveryParkStagePictureIsCroppedToWhatItShows)
{
    // A locked level's panel draws these pictures 64 pixels wide: empty borders would shrink the stage to a
    // speck, and a picture taller than wide would push the lower row out of the panel.
    const std::vector<cUpgradeSection> upgrades = parkConfig::readUpgrades();
    ASSERT_EQ(upgrades.size(), 20u);
    for (const cUpgradeSection& u : upgrades) {
        ASSERT_EQ(u.sprites.size(), 1u);
        const std::string path = file_getDiskPath(("park:" + u.sprites[0] + ".png").c_str());
        const std::string bytes = readFile(path);
        aGpuPicture picture;
        ASSERT_EQ(gpu_decodeImage(bytes.data(), bytes.size(), picture), aGpuResult::Ok) << path;
        uint32_t left = picture.width, right = 0, top = picture.height, bottom = 0;
        for (uint32_t y = 0; y < picture.height; ++y)
            for (uint32_t x = 0; x < picture.width; ++x)
                if (picture.pixels[size_t(y) * picture.width + x] >> 24) {
                    left = std::min(left, x);
                    right = std::max(right, x + 1);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y + 1);
                }
        ASSERT_LT(left, right) << path << " shows nothing";
        EXPECT_LE(left, 4u) << path;
        EXPECT_LE(top, 4u) << path;
        EXPECT_GE(right + 4, picture.width) << path;
        EXPECT_GE(bottom + 4, picture.height) << path;
        EXPECT_LE(picture.height, picture.width) << path;
    }
}

TEST_F(MapScreen, AnArrowPictureNarrowerThanAFrameMakesOneFrameAndMissingPicturesAreSkipped)
{
    // A 10-pixel arrow picture, and no button sheet at all.
    aImageManager* images = h.game().getImageManager();
    ASSERT_TRUE(images->unloadItem("map_arrow.png", ""));
    ASSERT_TRUE(images->unloadItem("goals.png", ""));
    std::ofstream(h.home().path() + "/map_arrow.png", std::ios::binary)
        << encodePng(std::vector<uint32_t>(10 * 26, 0xFFFF0000u), 10, 26);
    images->loadItem(h.home().path() + "/", "map_arrow.png 4444 8888", "");
    ASSERT_TRUE(images->hasImage("map_arrow"));
    cMapState* map = enterMap();
    ASSERT_NE(map, nullptr);
    ASSERT_EQ(map->levels().size(), 2u);
    auto* arrow = dynamic_cast<GUI::StaticAnim*>(h.widget("Level01_auto_check"));
    ASSERT_NE(arrow, nullptr);
    EXPECT_EQ(arrow->GetNormalAnim().getFrameCount(), 1u);
    EXPECT_FLOAT_EQ(arrow->GetNormalAnim().getFrameTime(), 0.7f);
    EXPECT_EQ(arrow->GetWidth(), 10);
    EXPECT_TRUE(arrow->IsVisible()) << "the selected level's arrow";
    EXPECT_EQ(map->levels()[1]->button->GetWidth(), 32) << "placed by its rectangle even without pictures";
    h.frames(30);
}

TEST_F(MapScreen, PlayRoutesToTheLevelTheMiniGameOrStaysWhenNothingCanTakeIt)
{
    for (const char* name : {"Level01", "Level02", "Level03"})
        profile->setLevelReward(name, 2);
    profile->upgradeStages = {1, 1, 1};
    profile->tipsMask = 0x300;
    struct Recorder : TestScreen {
        using TestScreen::TestScreen;
        void setLevel(const std::string& l) override { got = l; }
        std::string got;
    };
    StateCalls playCalls;
    firstLevelFile("[DATA]\nGoldTime=90\nSilverTime=125\n");
    cMapState* map = enterMap();
    ASSERT_NE(map, nullptr);

    // Nothing takes state 8 yet: the map stays, says so, and the music still changes.
    const cMapLevel* first = findLevel(map, "Level01");
    const aPoint at{first->button->GetAbsoluteX() + 10, first->button->GetAbsoluteY() + 20};
    h.click(at.x, at.y);
    h.click(at.x, at.y);
    h.frames(3);
    EXPECT_TRUE(h.logged("cMapState. State 8 is not there yet, staying on the map"));
    EXPECT_EQ(h.game().getCurrentState()->getId(), STATE_MAP);
    EXPECT_EQ(h.game().getCurrentTrack(), 2) << "level 1 of the list plays track 1 % 3 + 1";

    // A missing level file is refused the same way.
    pick(map, "Level04");
    ScopedStateClass play{STATE_PLAY, [&] { return new Recorder(STATE_PLAY, playCalls, "", false); }};
    cGameState::createAll();
    auto* recorder = dynamic_cast<Recorder*>(cGameState::find(STATE_PLAY));
    ASSERT_NE(recorder, nullptr);
    h.click(h.centreOf("Play").x, h.centreOf("Play").y);
    h.frames(2);
    EXPECT_TRUE(h.logged("cMapState. Level file \"levels:Level04.ini\" not found, staying on the map"));
    EXPECT_EQ(recorder->got, "");

    // Double-clicking a playable level hands its file to the play state.
    h.click(at.x, at.y);
    h.click(at.x, at.y);
    EXPECT_EQ(recorder->got, "levels:Level01.ini");
    EXPECT_TRUE(h.waitForState(STATE_PLAY));

    // Escape on the map goes to the menu.
    h.game().requestState(STATE_MAP);
    ASSERT_TRUE(h.waitForState(STATE_MAP));
    h.key(0x01);
    EXPECT_TRUE(h.waitForState(STATE_MENU));
    EXPECT_TRUE(cTutorialTooltip::all().empty()) << "the map's hints go with it";
}
