// The shipped levels as a person plays them: the human-paced player wins each
// level on a few seeds (the first ones within the silver time), a player who
// only feeds does not win from Level02 on, the player keeps a person's limits
// and sees only what the interface leaves in view. KB_HUMAN_TABLE=1 also runs
// the table of ten seeds a level (wins and median time) the balance is tuned by.
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
#include "game/park/goalswindow.h"
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

class HumanPlayTable : public HumanPlayGame {};

// KB_HUMAN_TABLE names the levels ("all", or names separated by blanks).
TEST_F(HumanPlayTable, TenSeedsALevel)
{
    const char* wanted = std::getenv("KB_HUMAN_TABLE");
    if (!wanted)
        GTEST_SKIP() << "KB_HUMAN_TABLE=all runs the table";
    std::istringstream names(wanted);
    std::vector<std::string> levels{std::istream_iterator<std::string>(names), {}};
    if (levels == std::vector<std::string>{"all"})
        levels = playedLevels();
    for (const std::string& level : levels) {
        std::vector<float> wonTimes;
        int32_t silver = 0, gold = 0;
        for (uint32_t seed = 1; seed <= 10; ++seed) {
            const HumanPlayResult r = play(level, seed * 7919, HumanPlayer::Style::Full);
            silver = r.rewards.silverTime, gold = r.rewards.goldTime;
            std::printf("human %s seed %u: %s after %.0f s\n", level.c_str(), seed,
                        r.state == 1  ? "won"
                        : r.state < 0 ? "lost"
                                      : "unfinished",
                        r.seconds);
            if (r.state == 1)
                wonTimes.push_back(r.seconds);
        }
        std::sort(wonTimes.begin(), wonTimes.end());
        const size_t n = wonTimes.size();
        const float median = n == 0 ? 0.0f : (wonTimes[(n - 1) / 2] + wonTimes[n / 2]) / 2.0f;
        std::printf("TABLE %s wins %zu/10 median %.0f s (gold %d, silver %d)\n", level.c_str(), n, median, gold,
                    silver);
    }
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
