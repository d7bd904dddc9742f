// The world map's chain of levels played by the automatic player: each normal
// level is won on three seeds within its medal times and is not won by a park
// nobody keeps; one player walks the whole chain, buying the park stages each
// level needs from what the levels paid; every entry of the map loads without
// a missing file, with each buy button clear of the HUD's tools. Each run prints one
// line (time against GoldTime/SilverTime).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "game/app/playerprofile.h"
#include "game/park/animal.h"
#include "game/park/playstate.h"
#include "game/screens/catchanimalstate.h"
#include "game/screens/findpairstate.h"
#include "game/screens/matchthreestate.h"
#include "game/screens/minigame.h"
#include "game/screens/parkconfig.h"
#include "game/support/autoplayer.h"
#include "game/support/loading_game.h"
#include "game/support/map_park_game.h"
#include "game/support/test_screen.h"
#include "gui/checkbox.h"

using namespace kbtest;

namespace {

constexpr uint32_t kSeeds[] = {11, 22, 33};

// The level at which each kind first comes into the parks.
const std::map<std::string, int> kKindIntroduced = {{"warthog", 1}, {"zebra", 2},    {"rhino", 7},
                                                    {"hippo", 9},   {"cheetah", 14}, {"lion", 17}};

int levelNumber(const std::string& name)
{
    return std::atoi(name.c_str() + 5);
}

bool overlap(const aRect& a, const aRect& b)
{
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

// The buy button of each kind the level in play offers stands clear of the HUD's tools (a level that
// offers too many kinds would hide the heal, hit or sell button under them).
void expectBuyButtonsClear(GameHarness& h, const std::string& name)
{
    const cLevel* level = cPlayState::find()->getLevel();
    ASSERT_NE(level, nullptr) << name;
    for (const std::string& kind : level->availableAnimals) {
        const GUI::Widget* button = h.widget(kind);
        ASSERT_NE(button, nullptr) << name << ": no buy button for " << kind;
        const aRect r = button->GetAbsoluteRect();
        EXPECT_LE(r.x + r.width, 1024) << name << ": " << kind << " runs off the screen";
        for (const char* tool : {"Grass", "Meat", "Heal", "Hit", "Sell"}) {
            const GUI::Widget* w = h.widget(tool);
            ASSERT_NE(w, nullptr) << tool;
            EXPECT_FALSE(overlap(r, w->GetAbsoluteRect())) << name << ": " << kind << " covers " << tool;
        }
    }
}

void report(const std::string& name, uint32_t seed, const AutoPlayResult& r)
{
    std::printf("%-8s seed %2u: %-4s after %4.0f s (gold %4d, silver %4d), money %5d; %d bought, %d sold, %d fed, "
                "%d healed, %d hits\n",
                name.c_str(), seed,
                r.state == 1  ? "won"
                : r.state < 0 ? "lost"
                              : "open",
                r.seconds, r.rewards.goldTime, r.rewards.silverTime, r.money, r.bought, r.sold, r.meals, r.heals,
                r.hits);
}

class LevelPlay : public AutoPlayGame, public ::testing::WithParamInterface<std::string> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(levelFileExists(GetParam())) << GetParam() << " has no level file";
        AutoPlayGame::SetUp();
        giveMapUpgrades(GetParam());
    }
    void TearDown() override
    {
        if (game)
            AutoPlayGame::TearDown();
    }
};

TEST_P(LevelPlay, KeeperWinsWithinTheMedalTimes)
{
    float best = 1e9f;
    int32_t goldTime = 0;
    for (uint32_t seed : kSeeds) {
        const AutoPlayResult r = play(GetParam(), seed, true);
        report(GetParam(), seed, r);
        EXPECT_EQ(r.state, 1) << "seed " << seed;
        EXPECT_LE(r.seconds, static_cast<float>(r.rewards.silverTime)) << "seed " << seed;
        best = std::min(best, r.seconds);
        goldTime = r.rewards.goldTime;
    }
    EXPECT_LE(best, static_cast<float>(goldTime)) << "no seed reached gold";
}

TEST_P(LevelPlay, NobodyPlayingDoesNotWinIt)
{
    const AutoPlayResult r = play(GetParam(), kSeeds[0], false);
    report(GetParam() + " idle", kSeeds[0], r);
    EXPECT_NE(r.state, 1);
}

// Only kinds met by then, and the tutorials where the chain teaches them.
TEST_P(LevelPlay, OffersOnlyKindsMetSoFar)
{
    const AutoPlayResult r = play(GetParam(), kSeeds[0], false, 0.1f);
    const int n = levelNumber(GetParam());
    std::vector<std::string> kinds = level->availableAnimals;
    for (const cAnimal* a : level->animals)
        kinds.push_back(a->kind->name);
    for (const cGoal& g : level->goals)
        if (!g.kindName.empty())
            kinds.push_back(g.kindName);
    for (const std::string& kind : kinds) {
        ASSERT_TRUE(kKindIntroduced.count(kind)) << kind;
        EXPECT_LE(kKindIntroduced.at(kind), n) << kind << " comes in at level " << kKindIntroduced.at(kind);
    }
    EXPECT_EQ(level->tutorialType, n <= 3 ? n : -1);
    EXPECT_EQ(level->miniGameType, -1) << "mini-games are reached from the map";
    EXPECT_GT(r.rewards.goldTime, 0);
    EXPECT_LT(r.rewards.goldTime, r.rewards.silverTime);
    EXPECT_GT(r.rewards.goldReward, r.rewards.silverReward);
    EXPECT_GT(r.rewards.silverReward, r.rewards.baseReward);
}

INSTANTIATE_TEST_SUITE_P(Chain, LevelPlay, ::testing::ValuesIn(normalLevelNames()),
                         [](const auto& info) { return info.param; });

class LevelChain : public AutoPlayGame {};

// Mini-game rewards are left out: the chain must pay for itself.
TEST_F(LevelChain, OnePlayerBuysEveryStageALevelNeedsFromTheRewards)
{
    const std::vector<cUpgradeSection> upgrades = parkConfig::readUpgrades();
    player->stars = 0;
    int previous = 0;
    for (const MapEntry& entry : readMapEntries()) {
        if (entry.miniGame >= 0 || entry.name == "Tutorial")
            continue;
        ASSERT_TRUE(levelFileExists(entry.name)) << entry.name << " has no level file";
        EXPECT_EQ(levelNumber(entry.name), previous + 1) << entry.name;
        previous = levelNumber(entry.name);

        std::vector<const cUpgradeSection*> needed;
        for (size_t type = 0; type < entry.stages.size(); ++type)
            for (int32_t s = parkConfig::builtStage(player, static_cast<int32_t>(type)) + 1; s <= entry.stages[type];
                 ++s) {
                const cUpgradeSection* u = parkConfig::find(upgrades, static_cast<int32_t>(type), s);
                ASSERT_TRUE(u) << entry.name << " needs stage " << s << " of upgrade " << type
                               << ", which is not built";
                needed.push_back(u);
            }
        std::stable_sort(needed.begin(), needed.end(), [](auto* a, auto* b) { return a->cost < b->cost; });
        for (const cUpgradeSection* u : needed)
            ASSERT_TRUE(parkConfig::buy(*u, player))
                << "dead end before " << entry.name << ": stage " << u->stage << " of upgrade " << u->type << " costs "
                << u->cost << " after " << u->neededLevel << ", the player has " << player->stars << " and built "
                << player->doneUpgrades << " since the last level";

        const AutoPlayResult r = play(entry.name, kSeeds[0], true);
        ASSERT_EQ(r.state, 1) << entry.name << " lost on the way";
        const cLevelRewards& w = r.rewards;
        const int medal = r.seconds <= w.goldTime ? 2 : r.seconds <= w.silverTime ? 1 : 0;
        const int32_t reward = std::max(medal == 2   ? w.goldReward
                                        : medal == 1 ? w.silverReward
                                                     : w.baseReward,
                                        r.money);
        player->stars += reward;
        player->levelResults[entry.name] = medal;
        player->doneUpgrades = 0;
        std::string park;
        for (size_t t = 0; t < parkConfig::UPGRADE_TYPES; ++t)
            park += std::to_string(parkConfig::builtStage(player, static_cast<int32_t>(t)));
        std::printf("chain %-8s %4.0f s, reward %4d, stars %5d, park %s\n", entry.name.c_str(), r.seconds, reward,
                    player->stars, park.c_str());
    }
}

// The map's entries entered as the map enters them, through the real play
// state and mini-game screens.
class MapEntries : public ::testing::Test {
protected:
    void SetUp() override
    {
        game.start();
        game.h.makePlayer()->tipsMask = ~0u;
    }

    ScopedStateClass playClass{STATE_PLAY, [] { return new cPlayState(); }};
    ScopedStateClass catchAnimal{STATE_CATCH_ANIMAL, [] { return new cCatchAnimalState(); }};
    ScopedStateClass matchThree{STATE_MATCH_THREE, [] { return new cMatchThreeState(); }};
    ScopedStateClass findPair{STATE_FIND_PAIR, [] { return new cFindPairState(); }};
    LoadedGame game;
    GameHarness& h = game.h;
};

// One chain: each level opens after the one before it and asks for at most
// one park stage more (a won level allows one purchase); each mini-game opens
// after a level. The scripted players of the mini-game tests win exactly
// these sections.
TEST_F(MapEntries, FormOneChain)
{
    std::string previous;
    int32_t stagesBefore = 0;
    std::vector<std::string> miniGames;
    for (const MapEntry& entry : readMapEntries()) {
        if (entry.name == "Tutorial") {
            EXPECT_TRUE(entry.needLevel.empty());
            continue;
        }
        if (entry.miniGame >= 0) {
            EXPECT_EQ(entry.needLevel, previous) << entry.name << " opens after the level before it";
            miniGames.push_back(entry.name);
            continue;
        }
        EXPECT_EQ(entry.needLevel, previous) << entry.name;
        int32_t stages = 0;
        for (int32_t s : entry.stages)
            stages += s;
        EXPECT_LE(stages, stagesBefore + parkConfig::maxDoneUpgrades()) << entry.name;
        EXPECT_GE(stages, stagesBefore) << entry.name;
        stagesBefore = stages;
        previous = entry.name;
    }
    EXPECT_EQ(previous, "Level18");
    EXPECT_EQ(miniGames, (std::vector<std::string>{"CatchAnimal01", "MatchThree01", "FindPair01"}));
}

TEST_F(MapEntries, EachLoadsWithoutAMissingFileAndLeavesTheToolsClear)
{
    std::vector<std::string> skipped;
    for (const MapEntry& entry : readMapEntries()) {
        const size_t logged = h.log().size();
        int32_t id = STATE_PLAY;
        if (entry.miniGame >= 0) {
            id = STATE_CATCH_ANIMAL + entry.miniGame;
            cGameState::getOrCreate(id)->setLevel(entry.name);
        } else if (levelFileExists(entry.name)) {
            dynamic_cast<cPlayState*>(cGameState::getOrCreate(STATE_PLAY))->levelPath = "levels:" + entry.name + ".ini";
        } else {
            skipped.push_back(entry.name);
            continue;
        }
        h.game().requestState(id);
        ASSERT_TRUE(h.waitForState(id, kPatience)) << entry.name;
        h.frames(5);
        if (entry.miniGame >= 0)
            EXPECT_GT(static_cast<cMiniGameState*>(h.game().getCurrentState())->getTimeLeft(), 0.0f)
                << entry.name << " has no section in its mini-game's file";
        else
            expectBuyButtonsClear(h, entry.name);
        const std::vector<std::string> log = h.log();
        for (size_t i = logged; i < log.size(); ++i)
            for (const char* missing : {"not found", "Cannot find", "not exist"})
                EXPECT_EQ(log[i].find(missing), std::string::npos) << entry.name << ": " << log[i];
        h.game().requestState(STATE_MENU);
        ASSERT_TRUE(h.waitForState(STATE_MENU, kPatience));
    }
    if (!skipped.empty())
        std::printf("no level file yet: %zu entries from %s\n", skipped.size(), skipped.front().c_str());
}

// Every button of the chain on the map picture, clear of the others, of the
// level panel and of the screen's own buttons (the picture is kept for
// review: KB_UPDATE_GOLDEN=1 writes it).
class ChainOnTheMap : public MapParkGame {};

TEST_F(ChainOnTheMap, EveryButtonStandsClear)
{
    for (const MapEntry& e : readMapEntries())
        if (e.miniGame < 0)
            profile->setLevelReward(e.name, 2);
    profile->tipsMask = ~0u;
    cMapState* map = enter<cMapState>(STATE_MAP);
    ASSERT_NE(map, nullptr);
    ASSERT_EQ(map->levels().size(), readMapEntries().size());
    const aRect panel{243, 427, 260, 262}, screenButtons{852, 20, 160, 216};
    for (const auto& level : map->levels()) {
        const aRect r = level->button->GetAbsoluteRect();
        EXPECT_TRUE(r.x >= 0 && r.y >= 0 && r.x + r.width <= 1024 && r.y + r.height <= 768) << level->name;
        EXPECT_FALSE(overlap(r, panel)) << level->name << " hides under the level panel";
        EXPECT_FALSE(overlap(r, screenButtons)) << level->name;
        for (const auto& other : map->levels())
            EXPECT_TRUE(other == level || !overlap(r, other->button->GetAbsoluteRect()))
                << level->name << " and " << other->name;
    }
    h.frames(30);
    if (std::getenv("KB_UPDATE_GOLDEN"))
        h.expectScreen("map_whole_chain");
}

} // namespace
