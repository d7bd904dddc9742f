// The three mini-games played by a scripted player: each is won once (the
// reward paid exactly once, the way on to the park), one is lost on the
// clock and one skipped (nothing paid, back to the map); plus the frame's
// numbers (timer text, goal row, find-pair field).
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "game/app/tip.h"
#include "game/screens/catchanimalstate.h"
#include "game/screens/findpairstate.h"
#include "game/screens/matchthreestate.h"
#include "game/support/minigame_game.h"
#include "orvo/platform/a_keycodes.h"

using namespace kbtest;

namespace {

aPoint middleOf(cDrawElement* e)
{
    const aRect& r = e->getScreenRect();
    return aPoint(r.x + r.width / 2, r.y + r.height / 2);
}

} // namespace

TEST(MiniGameFrame, TimerGoalRowAndFindPairField)
{
    std::string clock, hundredths;
    miniGameTimerText(75.5f, clock, hundredths);
    EXPECT_EQ(clock, "01:15.");
    EXPECT_EQ(hundredths, "50");
    miniGameTimerText(0.0f, clock, hundredths);
    EXPECT_EQ(clock + hundredths, "00:00.00");

    const struct {
        uint32_t n;
        std::vector<int16_t> x;
    } rows[] = {{1, {512}}, {3, {422, 512, 602}}, {4, {377, 467, 557, 647}}};
    for (const auto& row : rows)
        for (uint32_t i = 0; i < row.n; ++i)
            EXPECT_EQ(miniGameGoalX(i, row.n), row.x[i]) << i << " of " << row.n;

    // GridSize -> cells per side and the origin of cell (0, 0); large sizes
    // are clamped (the origin never wraps), odd ones rounded up.
    const struct {
        int32_t value;
        uint16_t size;
        int32_t x, y;
    } grids[] = {{6, 6, 255, 185}, {4, 4, 360, 290}, {5, 6, 255, 185}, {0, 0, 570, 500},
                 {-3, 0, 570, 500}, {40, 6, 255, 185}, {65538, 6, 255, 185}};
    for (const auto& g : grids) {
        uint16_t size = 99;
        int32_t x = 0, y = 0;
        cFindPairState::gridFor(g.value, size, x, y);
        EXPECT_EQ(size, g.size) << g.value;
        EXPECT_EQ(x, g.x) << g.value;
        EXPECT_EQ(y, g.y) << g.value;
    }

    // A spawner without kinds or open goals still returns.
    cCatchAnimalState state;
    state.spawnRunner(0.1f); // no kinds: nothing to draw from
    EXPECT_TRUE(state.runners().empty());
}

class MatchThreeGame : public MiniGameGame {};

TEST_F(MatchThreeGame, ScriptedPlayerWinsAndIsPaidOnce)
{
    start(true);
    auto* game = enter<cMatchThreeState>(STATE_MATCH_THREE, "MatchThree01", false);
    ASSERT_EQ(game->kinds().size(), 5u);
    ASSERT_EQ(game->goals().size(), 3u);
    EXPECT_EQ(game->getReward(), 300);

    // The one-time tip opens over the board and holds the clock.
    frames(30);
    ASSERT_NE(cTip::get(), nullptr);
    const float held = game->getTimeLeft();
    frames(10);
    EXPECT_EQ(game->getTimeLeft(), held);
    clickOn(*h, "Tip");
    frames(20);
    EXPECT_EQ(cTip::get(), nullptr);
    EXPECT_TRUE(player->tipsMask & 0x40);

    // The animals run in and the board comes to rest without a line.
    for (int i = 0; i < 400 && !game->isStill(); ++i)
        frame();
    ASSERT_TRUE(game->isStill());
    frames(2);
    EXPECT_FALSE(game->board().hasLine());
    EXPECT_NE(game->hintA(), nullptr);

    // A swap without a line is undone.
    {
        cMatchBoard copy = game->board();
        int c = 0, r = 0;
        for (const int d = 2; !copy.swap(c, r, d) || copy.hasLine(); copy = game->board(), ++r)
            ASSERT_LT(r, 5);
        cAnimal* moved = game->piece(c, r);
        const aPoint from = middleOf(moved), to = middleOf(game->piece(c, r + 1));
        press(from.x, from.y);
        frame();
        h->input().setCursor(to.x, to.y + 30);
        frame();
        release(to.x, to.y + 30);
        EXPECT_EQ(game->piece(c, r + 1), moved);
        for (int i = 0; i < 200 && game->piece(c, r) != moved; ++i)
            frame();
        EXPECT_EQ(game->piece(c, r), moved);
    }

    // The player follows the hint until the goals (narrowed to one catch of
    // the first line's kind) are full.
    const int32_t stars = player->stars;
    for (int move = 0; move < 20 && !game->isWon(); ++move) {
        for (int i = 0; i < 300 && !game->isWon() && !(game->isStill() && game->hintA()); ++i)
            frame();
        if (game->isWon())
            break;
        ASSERT_TRUE(game->hintA() && game->hintB());
        if (move == 0) {
            cMatchBoard copy = game->board();
            int c = 0, r = 0, d = 0;
            ASSERT_TRUE(copy.findMove(c, r, d));
            copy.swap(c, r, d);
            const int kind = copy.at(copy.findMatches().front() / 6, copy.findMatches().front() % 6);
            game->goals() = {{0, 1, game->kinds()[static_cast<size_t>(kind)]}};
        }
        const aPoint a = middleOf(game->hintA()), b = middleOf(game->hintB());
        press(a.x, a.y);
        h->input().setCursor(b.x, b.y);
        frame();
        release(b.x, b.y);
        frames(5);
        for (int i = 0; i < 400 && !game->isWon() && !game->isStill(); ++i)
            frame();
        frames(2);
    }
    ASSERT_TRUE(game->isWon());
    expectPaidOnceAndOnToThePark(stars, 300);
}

class FindPairGame : public MiniGameGame {};

TEST_F(FindPairGame, ScriptedPlayerFindsEveryPairAndIsPaidOnce)
{
    start(true);
    auto* game = enter<cFindPairState>(STATE_FIND_PAIR, "FindPair01");
    ASSERT_EQ(game->getGridSize(), 6);
    ASSERT_EQ(game->cells().size(), 36u);
    std::map<const cAnimalKind*, int> perKind;
    for (const auto& cell : game->cells())
        ++perKind[cell.animal->kind];
    for (const auto& [kind, count] : perKind)
        EXPECT_EQ(count % 2, 0) << kind->name;
    frames(10);

    auto open = [&](size_t i) {
        const auto& cell = game->cells()[i];
        for (int tries = 0; tries < 20 && cell.animal->tag == cFindPairState::CLOSED; ++tries) {
            const aRect r = game->bushRect(i);
            const aPoint p(r.x + r.width / 2, r.y + r.height / 2);
            h->input().setCursor(p.x, p.y);
            frame();
            click(p.x, p.y);
        }
        return cell.animal->tag != cFindPairState::CLOSED;
    };

    // A wrong try closes both bushes again.
    size_t a = 0, b = 1;
    while (game->cells()[b].animal->kind == game->cells()[a].animal->kind)
        ++b;
    ASSERT_TRUE(open(a));
    ASSERT_TRUE(open(b));
    frames(60);
    EXPECT_EQ(game->cells()[a].animal->tag, cFindPairState::CLOSED);
    EXPECT_EQ(game->cells()[b].animal->tag, cFindPairState::CLOSED);

    const int32_t stars = player->stars;
    for (size_t i = 0; i < game->cells().size() && !game->isWon(); ++i) {
        if (game->cells()[i].animal->tag != cFindPairState::CLOSED)
            continue;
        size_t j = i + 1;
        while (game->cells()[j].animal->tag != cFindPairState::CLOSED ||
               game->cells()[j].animal->kind != game->cells()[i].animal->kind)
            ++j;
        ASSERT_TRUE(open(i));
        ASSERT_TRUE(open(j));
        frames(60);
        EXPECT_EQ(game->cells()[i].animal->tag, cFindPairState::FOUND) << i << " " << j << " " << game->cells()[j].animal->tag;
    }
    ASSERT_TRUE(game->isWon());
    expectPaidOnceAndOnToThePark(stars, 250);
    EXPECT_GT(credited, 0); // pairs in a row drop coins, picked up by the win
}

TEST_F(FindPairGame, EscapeAsksAndYesLeavesForTheMapWithNothingPaid)
{
    start(true);
    auto* game = enter<cFindPairState>(STATE_FIND_PAIR, "FindPair01");
    const int32_t stars = player->stars;
    h->key(A_KEY_ESCAPE);
    frames(10);
    ASSERT_TRUE(shown(*h, "YesBtn"));
    EXPECT_EQ(game->getModalCount(), 1);
    const float held = game->getTimeLeft();
    h->key(A_KEY_ESCAPE); // the question is open: nothing more
    frames(10);
    EXPECT_EQ(game->getTimeLeft(), held);
    clickOn(*h, "YesBtn");
    ASSERT_TRUE(h->waitForState(STATE_MAP));
    EXPECT_EQ(player->stars, stars);
    EXPECT_EQ(player->doneUpgrades, 3u);
}

class CatchAnimalGame : public MiniGameGame {
protected:
    // Clicks a runner well inside the screen once it shows the hover.
    bool clickRunner(cAnimal* a)
    {
        const aPoint p = middleOf(a);
        if (p.x < 80 || p.x > 944)
            return false;
        h->input().setCursor(p.x, p.y);
        frame();
        if (!a->hovered)
            return false;
        click(p.x, p.y);
        return true;
    }
    // Clicks the first wanted runner; false when none runs.
    bool catchOne(cCatchAnimalState* game)
    {
        for (cAnimal* a : game->runners())
            if (a->tag != 1 && game->isWanted(a->kind) && clickRunner(a))
                return true;
        frame();
        return false;
    }
};

TEST_F(CatchAnimalGame, ScriptedPlayerCatchesEveryWantedAnimal)
{
    start(true);
    auto* game = enter<cCatchAnimalState>(STATE_CATCH_ANIMAL, "CatchAnimal01");
    ASSERT_EQ(game->goals().size(), 3u);
    EXPECT_FLOAT_EQ(game->getWantedInterval(), 75.0f / 12.0f * 0.5f);
    const int32_t stars = player->stars;
    for (int i = 0; i < 3000 && !game->isWon(); ++i)
        catchOne(game);
    ASSERT_TRUE(game->isWon());
    for (const cMiniGoal& goal : game->goals())
        EXPECT_EQ(goal.collected, goal.needed);
    expectPaidOnceAndOnToThePark(stars, 200);
}

TEST_F(CatchAnimalGame, AWrongClickWithHalfASecondLeftLosesAtOnce)
{
    start(true);
    auto* game = enter<cCatchAnimalState>(STATE_CATCH_ANIMAL, "CatchAnimal01");
    // With every goal full the spawner keeps what it drew (no endless search for an open goal).
    game->goals() = {{3, 3, game->goals().front().kind}};
    const size_t before = game->runners().size();
    for (int i = 0; i < 20; ++i)
        game->spawnRunner(1.0f);
    EXPECT_EQ(game->runners().size(), before + 20);

    // Only zebras are wanted; the player clicks anything else.
    game->goals() = {{0, 50, game->goals().front().kind}};
    const int32_t stars = player->stars;
    bool clicked = false;
    for (int i = 0; i < 600 && !clicked; ++i) {
        game->setTimeLeft(0.5f);
        frame();
        for (cAnimal* a : game->runners())
            if (!game->isWanted(a->kind) && (clicked = clickRunner(a)))
                break;
    }
    ASSERT_TRUE(clicked);
    EXPECT_EQ(game->getTimeLeft(), 0.0f);
    frames(10);
    EXPECT_TRUE(shown(*h, "OkBtn"));
    EXPECT_FALSE(game->isWon());
    frames(30);
    EXPECT_EQ(game->getTimeLeft(), 0.0f);
    clickOn(*h, "OkBtn");
    ASSERT_TRUE(h->waitForState(STATE_MAP));
    EXPECT_EQ(player->stars, stars + credited);
    EXPECT_EQ(player->doneUpgrades, 3u);
}

// The three screens in play on the OpenGL renderer, kept for review.
class MiniGameLook : public MiniGameGame {};

TEST_F(MiniGameLook, EachMiniGameInPlay)
{
    start(false);
    auto* match = enter<cMatchThreeState>(STATE_MATCH_THREE, "MatchThree01");
    for (int i = 0; i < 400 && !match->isStill(); ++i)
        frame();
    frames(20);
    keepScreen("mini_game_match_three");

    auto* pairs = enter<cFindPairState>(STATE_FIND_PAIR, "FindPair01");
    frames(5);
    for (size_t i : {size_t(8), size_t(21)}) {
        const aRect r = pairs->bushRect(i);
        click(r.x + r.width / 2, r.y + r.height / 2);
    }
    frames(8);
    keepScreen("mini_game_find_pair");

    auto* runners = enter<cCatchAnimalState>(STATE_CATCH_ANIMAL, "CatchAnimal01");
    for (int i = 0; i < 400 && runners->runners().size() < 6; ++i)
        frame();
    frames(30);
    keepScreen("mini_game_catch_animal");
}
