// The shipped levels as a person plays them: the human-paced player wins each
// level on a few seeds (the first ones within the silver time), a player who
// only feeds does not win from Level02 on, the player keeps a person's limits
// and sees only what the interface leaves in view. KB_HUMAN_TABLE=all also runs
// the table of ten seeds a level (wins, median time, money by source) the
// balance is tuned by; KB_NEWCOMER_TABLE=all the same for the newcomer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <sstream>

#include "game/app/tutorialtooltip.h"
#include "game/park/animal.h"
#include "game/park/bonus.h"
#include "game/park/food.h"
#include "game/park/goalswindow.h"
#include "game/park/poacher.h"
#include "game/screens/newawardwindow.h"
#include "game/support/humanplayer.h"
#include "game/support/player_steps.h"
#include "gui/widget.h"
#include "orvo/app/a_inputserver.h"

using namespace kbtest;

namespace {

constexpr uint32_t kSeeds[] = {101, 202};

std::vector<std::string> playedLevels()
{
    std::vector<std::string> names{"Tutorial"};
    for (const std::string& name : normalLevelNames())
        names.push_back(name);
    return names;
}

// The tutorial and the first three levels are won within the silver time.
bool firstLevel(const std::string& name)
{
    return name == "Tutorial" || name == "Level01" || name == "Level02" || name == "Level03";
}

class HumanPlay : public HumanPlayGame, public ::testing::WithParamInterface<std::string> {};

TEST_P(HumanPlay, APersonWins)
{
    for (uint32_t seed : kSeeds) {
        const HumanPlayResult r = play(GetParam(), seed, HumanPlayer::Style::Full);
        EXPECT_EQ(r.state, 1) << "seed " << seed << " after " << r.seconds << " s";
        if (firstLevel(GetParam())) {
            EXPECT_LE(r.seconds, static_cast<float>(r.rewards.silverTime)) << "seed " << seed;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, HumanPlay, ::testing::ValuesIn(playedLevels()),
                         [](const auto& info) { return info.param; });

class HumanPlayTable : public HumanPlayGame {
protected:
    // Ten seeds of each level named in the variable ("all", or names separated
    // by blanks): each play, then a line a level with the wins, the median
    // time of the wins and the money by source (a mean a play), and a line a
    // kind with its coins against what its food cost.
    void printTable(const char* variable, const char* who, const Habits& habits)
    {
        const char* wanted = std::getenv(variable);
        if (!wanted)
            GTEST_SKIP() << variable << "=all runs the table";
        std::istringstream names(wanted);
        std::vector<std::string> levels{std::istream_iterator<std::string>(names), {}};
        if (levels == std::vector<std::string>{"all"})
            levels = playedLevels();
        for (const std::string& level : levels) {
            std::vector<float> wonTimes;
            int32_t silver = 0, gold = 0;
            MoneyBook sum;
            for (uint32_t seed = 1; seed <= 10; ++seed) {
                const HumanPlayResult r = play(level, seed * 7919, HumanPlayer::Style::Full, habits);
                silver = r.rewards.silverTime, gold = r.rewards.goldTime;
                const MoneyBook& b = r.book;
                std::printf("%s %s seed %u: %s after %.0f s, coins %d, sales %d, poachers %d, food %d\n", who,
                            level.c_str(), seed,
                            r.state == 1  ? "won"
                            : r.state < 0 ? "lost"
                                          : "unfinished",
                            r.seconds, b.animalCoins, b.sales, b.poacherCoins, b.foodBill);
                if (r.state == 1)
                    wonTimes.push_back(r.seconds);
                sum.animalCoins += b.animalCoins, sum.sales += b.sales, sum.poacherCoins += b.poacherCoins;
                sum.foodBill += b.foodBill;
                for (const auto& [kind, k] : b.kinds)
                    sum.kinds[kind].coins += k.coins, sum.kinds[kind].foodEaten += k.foodEaten;
            }
            std::sort(wonTimes.begin(), wonTimes.end());
            const size_t n = wonTimes.size();
            const float median = n == 0 ? 0.0f : (wonTimes[(n - 1) / 2] + wonTimes[n / 2]) / 2.0f;
            std::printf("TABLE %s wins %zu/10 median %.0f s (gold %d, silver %d) coins %d sales %d poachers %d "
                        "food %d coins/food %.1f\n",
                        level.c_str(), n, median, gold, silver, sum.animalCoins / 10, sum.sales / 10,
                        sum.poacherCoins / 10, sum.foodBill / 10,
                        sum.foodBill > 0 ? float(sum.animalCoins) / float(sum.foodBill) : 0.0f);
            for (const auto& [kind, k] : sum.kinds)
                std::printf("KIND %s %s coins %d food eaten %.0f coins/food %.1f\n", level.c_str(), kind.c_str(),
                            k.coins / 10, k.foodEaten / 10.0f,
                            k.foodEaten > 0.0f ? float(k.coins) / k.foodEaten : 0.0f);
        }
    }
};

TEST_F(HumanPlayTable, TenSeedsALevel)
{
    printTable("KB_HUMAN_TABLE", "human", kPerson);
}

// The newcomer: slower, no food upgrades, sells only what is asked for.
TEST_F(HumanPlayTable, NewcomerTenSeedsALevel)
{
    printTable("KB_NEWCOMER_TABLE", "newcomer", kNewcomer);
}

class FeedOnly : public HumanPlayGame, public ::testing::WithParamInterface<std::string> {};

TEST_P(FeedOnly, APlayerWhoOnlyFeedsDoesNotWin)
{
    const HumanPlayResult r = play(GetParam(), kSeeds[0], HumanPlayer::Style::FeedOnly);
    EXPECT_GT(r.clicks, 0) << "it never fed";
    EXPECT_NE(r.state, 1) << "won after " << r.seconds << " s";
}

std::vector<std::string> fromLevel02()
{
    std::vector<std::string> names = normalLevelNames();
    names.erase(names.begin(), std::find(names.begin(), names.end(), "Level02"));
    return names;
}

INSTANTIATE_TEST_SUITE_P(Levels, FeedOnly, ::testing::ValuesIn(fromLevel02()),
                         [](const auto& info) { return info.param; });

class HumanLimits : public HumanPlayGame {};

// Watched from the game's side: the pointer never outruns its speed and
// presses come at least the gap apart.
TEST_F(HumanLimits, TheHandKeepsAPersonsPace)
{
    aInputServer* input = game.h.game().getInputServer();
    aPoint last{-1, -1};
    float maxStep = 0.0f, minGap = 1e9f, lastPress = -1e9f;
    watch = [&](const HumanPlayer& person) {
        aPoint at;
        input->getMousePos(at.x, at.y);
        if (last.x >= 0)
            maxStep = std::max(maxStep, std::hypot(float(at.x - last.x), float(at.y - last.y)));
        last = at;
        if (input->buttonStates[0] == A_STATE_PRESSED) {
            minGap = std::min(minGap, person.clock() - lastPress);
            lastPress = person.clock();
        }
    };
    const HumanPlayResult r = play("Level01", kSeeds[0], HumanPlayer::Style::Full);
    EXPECT_EQ(r.state, 1);
    EXPECT_GT(r.clicks, 100);
    EXPECT_LE(maxStep, HumanPlayer::kPointerSpeed * kDt + 1.5f);
    EXPECT_GE(minGap, HumanPlayer::kClickGap - 0.01f);
}

// A coin dropped beside the idle hand is picked up, but not before it has
// lain there for the reaction time; an award window is clicked away.
TEST_F(HumanLimits, ACoinIsPickedUpOnceItHasShownForTheReactionTime)
{
    cPlayState* state = enter("Level04", kSeeds[0]);
    ASSERT_NE(state, nullptr);
    HumanPlayer person(game.h, *state, HumanPlayer::Style::Full, kDt);
    for (int i = 0; i < 90; ++i) // the goals window read and closed
        person.frame();
    ASSERT_FALSE(state->getGoalsWindow()->isVisible());
    cLevel* level = state->getLevel();
    ASSERT_TRUE(level->addBonus(0, aVector2(540.0f, 400.0f), aVector2(560.0f, 420.0f), 5));
    const cBonus* coin = level->bonuses.back();
    float landed = -1.0f;
    for (int i = 0; i < 90 && !coin->collected; ++i) {
        person.frame();
        if (landed < 0.0f && coin->landed)
            landed = person.clock();
    }
    ASSERT_TRUE(coin->collected);
    EXPECT_GE(person.clock() - landed, HumanPlayer::kReaction);
    EXPECT_LE(person.clock() - landed, HumanPlayer::kReaction + 0.5f);
    // An award window stops the level until it is clicked away, which it allows after a while.
    cNewAwardWindow::show("awards:award_00.png", "award.warthogs", 10);
    ASSERT_TRUE(shown(game.h, "NewAward"));
    for (int i = 0; i < 150 && shown(game.h, "NewAward"); ++i)
        person.frame();
    EXPECT_FALSE(shown(game.h, "NewAward"));
    EXPECT_EQ(state->getModalCount(), 0);
    leave();
}

// The newcomer presses at most once a second and leaves a grown animal
// unsold until a hint or a sell goal asks for it.
TEST_F(HumanLimits, TheNewcomerSellsOnlyWhatTheGoalsAskFor)
{
    cPlayState* state = enter("Level04", kSeeds[0]);
    ASSERT_NE(state, nullptr);
    HumanPlayer newcomer(game.h, *state, HumanPlayer::Style::Full, kDt, kNewcomer);
    aInputServer* input = game.h.game().getInputServer();
    float minGap = 1e9f, lastPress = -1e9f;
    const auto seconds = [&](float s) {
        for (int i = 0; i < static_cast<int>(s / kDt); ++i) {
            newcomer.frame();
            if (input->buttonStates[0] == A_STATE_PRESSED) {
                minGap = std::min(minGap, newcomer.clock() - lastPress);
                lastPress = newcomer.clock();
            }
        }
    };
    seconds(5.0f); // the goals window read and closed
    cLevel* level = state->getLevel();
    const auto grownOf = [level](const char* kind) {
        for (cAnimal* a : level->animals)
            if (a->kind->name == kind && a->isLiving()) {
                a->makeGrown(false);
                a->ageOrProduced = static_cast<float>(a->kind->numOfProducing);
                return a;
            }
        return static_cast<cAnimal*>(nullptr);
    };
    cAnimal* zebra = grownOf("zebra"); // no goal sells zebras
    ASSERT_NE(zebra, nullptr);
    level->addForSale(zebra);
    seconds(8.0f);
    EXPECT_FALSE(state->getHelicopter()->underWay()) << "sold unasked";
    cAnimal* warthog = grownOf("warthog"); // the goals ask for three
    ASSERT_NE(warthog, nullptr);
    level->addForSale(warthog);
    for (int i = 0; i < 8 * 30 && !state->getHelicopter()->underWay(); ++i)
        seconds(kDt);
    EXPECT_TRUE(state->getHelicopter()->underWay()) << "the goals' sale is made";
    EXPECT_GE(minGap, kNewcomer.clickGap - 0.01f);
    EXPECT_GT(newcomer.clicks(), 0);
    leave();
}

// The table's book: a coin counted once, when it is picked up, by who
// dropped it; a portion bought and one handed back; a sale by its credit.
TEST_F(HumanLimits, TheMoneyBookCountsEachSourceOnce)
{
    cPlayState* state = enter("Level04", kSeeds[0]);
    ASSERT_NE(state, nullptr);
    cLevel* level = state->getLevel();
    MoneyBook book;
    const auto frame = [&] {
        book.before(*state);
        game.h.frame();
        book.after(*state);
    };
    const auto click = [&](const aRect& r) {
        game.h.input().setCursor(r.x + r.width / 2, r.y + r.height / 2);
        frame();
        game.h.input().setButton(0, true);
        frame();
        game.h.input().setButton(0, false);
        frame();
    };
    for (int i = 0; i < 45; ++i)
        frame();
    click(state->getGoalsWindow()->getWindow()->FindChild("Close", true)->GetAbsoluteRect());
    for (int i = 0; i < 30; ++i)
        frame();
    ASSERT_EQ(state->getModalCount(), 0);
    // Coins: seen as they are thrown, counted when picked up (and only then).
    cAnimal* zebra = *std::find_if(level->animals.begin(), level->animals.end(),
                                   [](const cAnimal* a) { return a->kind->name == "zebra"; });
    cPoacher* poacher = level->spawnPoacherWave("hunter");
    ASSERT_NE(poacher, nullptr);
    poacher->health = 0.0f;
    book.before(*state);
    cBonus* fromZebra = cBonus::dropNear(level, zebra->anchor, 0.0f, 0, 7);
    cBonus* fromPoacher = cBonus::dropNear(level, poacher->anchor, 0.0f, 0, 5);
    book.after(*state);
    ASSERT_TRUE(fromZebra && fromPoacher);
    frame();
    EXPECT_EQ(book.animalCoins + book.poacherCoins, 0);
    fromZebra->collect(aVector2(100.0f, 40.0f));
    fromPoacher->collect(aVector2(100.0f, 40.0f));
    for (int i = 0; i < 3; ++i)
        frame();
    EXPECT_EQ(book.animalCoins, 7);
    EXPECT_EQ(book.kinds["zebra"].coins, 7);
    EXPECT_EQ(book.poacherCoins, 5);
    // A portion bought, then handed back when the tool is left.
    const int32_t grass = state->foodKind(cFood::GRASS)->cost;
    click(game.h.widget("Grass")->GetAbsoluteRect());
    ASSERT_EQ(state->getPortions(), 1);
    EXPECT_EQ(book.foodBill, grass);
    book.before(*state);
    state->leaveCursorMode();
    book.after(*state);
    EXPECT_EQ(book.foodBill, 0);
    // A sale: the credit, once the helicopter is back.
    zebra->ageOrProduced = static_cast<float>(zebra->kind->numOfProducing);
    level->addForSale(zebra);
    const int32_t before = level->money;
    state->sendHelicopter();
    ASSERT_TRUE(state->getHelicopter()->underWay());
    for (int i = 0; i < 120 * 30 && state->getHelicopter()->underWay(); ++i)
        frame();
    ASSERT_FALSE(state->getHelicopter()->underWay());
    EXPECT_GT(book.sales, 0);
    EXPECT_EQ(book.sales, level->money - before);
    leave();
}

TEST_F(HumanLimits, TheViewHidesWhatTheInterfaceCovers)
{
    cPlayState* state = enter("Level01", kSeeds[0]);
    ASSERT_NE(state, nullptr);
    game.h.frames(30);
    ASSERT_TRUE(state->getGoalsWindow()->isVisible());
    const aRect goals = state->getGoalsWindow()->getWindow()->GetAbsoluteRect();
    EXPECT_FALSE(ScreenView(*state).open(goals.x + goals.width / 2, goals.y + goals.height / 2)) << "goals window";
    clickRectOf(game.h, state->getGoalsWindow()->getWindow()->FindChild("Close", true)->GetAbsoluteRect());
    game.h.frames(30);
    const ScreenView view(*state);
    EXPECT_TRUE(view.open(goals.x + goals.width / 2, goals.y + goals.height / 2));
    for (const GUI::Widget* w : {game.h.widget("Grass"), game.h.widget("HUD"), state->getAnimalButtons().front()}) {
        const aRect r = w->GetAbsoluteRect();
        EXPECT_FALSE(view.visiblePoint(r)) << w->GetName();
    }
    EXPECT_FALSE(view.open(512, ScreenView::kTopStrip - 1)) << "the goals strip";
    // An animal under the HUD shows nothing to click; the same animal in the park does.
    cAnimal* a = state->getLevel()->animals.front();
    a->setPosition(aVector2(500.0f, 760.0f));
    // Lowered until the top of its frame is behind the board too.
    const int32_t hudTop = game.h.widget("HUD")->GetAbsoluteRect().y;
    a->setPosition(aVector2(500.0f, 762.0f + static_cast<float>(std::max(0, hudTop - a->getScreenRect().y))));
    EXPECT_FALSE(ScreenView(*state).visiblePoint(a->getScreenRect()));
    a->setPosition(aVector2(500.0f, 400.0f));
    EXPECT_TRUE(ScreenView(*state).visiblePoint(a->getScreenRect()));
    // A hint bubble hides the park under it.
    const cTutorialTooltip* hint = cTutorialTooltip::add(500, 400, "tutorial.msg07", true, 0.0f);
    ASSERT_NE(hint, nullptr);
    game.h.frame();
    const aRect bubble = ScreenView::bubbleRect(hint);
    EXPECT_FALSE(ScreenView(*state).open(bubble.x + bubble.width / 2, bubble.y + bubble.height / 2));
    leave();
}

} // namespace
