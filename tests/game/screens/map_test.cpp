// The world map: statuses from a map file and a profile, the scripted player
// on the shipped map (selection, tooltip, hints, awards, routing) and its look.
#include <gtest/gtest.h>

#include <cstring>

#include "game/game.h"
#include "game/support/harness.h"
#include "game/support/test_screen.h"
#include "gui/checkbox.h"
#include "orvo/app/a_optionsfile.h"

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

class MapScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(h.start(), 0);
        ASSERT_TRUE(h.waitForState(STATE_MENU));
        profile = h.makePlayer();
    }
    void TearDown() override { tutorial_setRunning(false); }

    cMapState* enterMap()
    {
        h.game().requestState(STATE_MAP);
        EXPECT_TRUE(h.waitForState(STATE_MAP));
        return dynamic_cast<cMapState*>(h.game().getCurrentState());
    }
    const cMapLevel* level(cMapState* map, const std::string& name)
    {
        for (const auto& l : map->levels())
            if (l->name == name)
                return l.get();
        return nullptr;
    }
    void seconds(float s) { h.frames(static_cast<int>(s * 60.0f + 0.5f)); }
    std::wstring tooltipText(const std::string& name)
    {
        GUI::Widget* w = h.widget("Level_tooltip");
        GUI::Widget* c = w ? w->FindChild(name, true) : nullptr;
        return c ? c->GetText() : L"(none)";
    }

    GameHarness h;
    StateCalls menuCalls;
    ScopedStateClass menu{STATE_MENU, [this] { return new TestScreen(STATE_MENU, menuCalls, "", false); }};
    cPlayerProfile* profile = nullptr;
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
    EXPECT_EQ(tooltipText("Caption"), L"First steps");
    EXPECT_EQ(tooltipText("GoldTime"), L"5:00");
    EXPECT_EQ(tooltipText("SilverTime"), L"8:00");
    EXPECT_EQ(tooltipText("GoldReward"), L"500$");
    EXPECT_EQ(tooltipText("SilverReward"), L"350$");
    EXPECT_EQ(tooltipText("BaseReward"), L"200$");
    EXPECT_EQ(profile->tipsMask & 0x300u, 0x100u) << "the level hint, not the park hint";
    EXPECT_EQ(profile->getAwardProgress(11), 1) << "the tutorial counts";
    EXPECT_EQ(profile->getAwardProgress(12), 0);
    seconds(1.0f);
    h.expectScreen("map_new_player");
}
