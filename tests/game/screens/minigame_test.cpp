// The three mini-games played by a scripted player on the OpenGL renderer:
// each is won once (the reward paid exactly once, the way on to the park),
// one is lost on the clock and one skipped (nothing paid, back to the map).
// Each walk keeps a picture of its board in play for review.
#include <gtest/gtest.h>

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

TEST(MiniGameFrame, TimerTextFindPairFieldAndSpawnerOfOutOfRangeValues)
{
    std::string clock, hundredths;
    miniGameTimerText(-2.0f, clock, hundredths);
    EXPECT_EQ(clock + hundredths, "00:00.00");

    // GridSize -> cells per side and the origin of cell (0, 0): odd sizes rounded up, large ones clamped
    // (the origin never wraps), negative ones empty.
    const auto grid = [](int32_t value) {
        uint16_t size = 99;
        int32_t x = 0, y = 0;
        cFindPairState::gridFor(value, size, x, y);
        return std::to_string(size) + " " + std::to_string(x) + " " + std::to_string(y);
    };
    for (const int32_t value : {6, 5, 65538})
        EXPECT_EQ(grid(value), "6 255 185") << value;
    EXPECT_EQ(grid(-3), "0 570 500");

    cCatchAnimalState state;
    state.spawnRunner(0.1f); // no kinds to draw from: returns, spawns nothing
    EXPECT_TRUE(state.runners().empty());
}

class MiniGames : public MiniGameGame {
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
    void drag(const aPoint& from, const aPoint& to, int hold = 0)
    {
        press(from.x, from.y);
        frames(hold);
        h->input().setCursor(to.x, to.y);
        frame();
        release(to.x, to.y);
    }
};

TEST_F(MiniGames, MatchThreeAWrongSwapIsUndoneAndTheHintsWin)
{
    start(false);
    auto* game = enter<cMatchThreeState>(STATE_MATCH_THREE, "MatchThree01");
    ASSERT_EQ(game->kinds().size(), 5u);
    // The animals run in and the board comes to rest without a line.
    for (int i = 0; i < 400 && !game->isStill(); ++i)
        frame();
    ASSERT_TRUE(game->isStill());
    frames(20);
    keepScreen("mini_game_match_three");
    EXPECT_FALSE(game->board().hasLine());
    EXPECT_NE(game->hintA(), nullptr);

    // A swap downwards without a line is undone.
    cMatchBoard copy = game->board();
    int c = 0, r = 0;
    for (; !copy.swap(c, r, 2) || copy.hasLine(); copy = game->board(), ++r)
        ASSERT_LT(r, 5);
    cAnimal* moved = game->piece(c, r);
    const aPoint to = middleOf(game->piece(c, r + 1));
    drag(middleOf(moved), aPoint(to.x, to.y + 30), 1);
    EXPECT_EQ(game->piece(c, r + 1), moved);
    for (int i = 0; i < 200 && game->piece(c, r) != moved; ++i)
        frame();
    EXPECT_EQ(game->piece(c, r), moved);

    // The player follows the hint until the goals (narrowed to one catch of the first line's kind) are full.
    const int32_t stars = player->stars;
    for (int move = 0; move < 20 && !game->isWon(); ++move) {
        for (int i = 0; i < 300 && !game->isWon() && !(game->isStill() && game->hintA()); ++i)
            frame();
        if (game->isWon())
            break;
        ASSERT_TRUE(game->hintA() && game->hintB());
        if (move == 0) {
            copy = game->board();
            int d = 0;
            ASSERT_TRUE(copy.findMove(c, r, d));
            copy.swap(c, r, d);
            const int kind = copy.at(copy.findMatches().front() / 6, copy.findMatches().front() % 6);
            game->goals() = {{0, 1, game->kinds()[static_cast<size_t>(kind)]}};
        }
        drag(middleOf(game->hintA()), middleOf(game->hintB()));
        frames(5);
        for (int i = 0; i < 400 && !game->isWon() && !game->isStill(); ++i)
            frame();
        frames(2);
    }
    ASSERT_TRUE(game->isWon());
    expectPaidOnceAndOnToThePark(stars, 300);
}

TEST_F(MiniGames, FindPairAWrongTryClosesEveryPairWinsAndEscapeSkipsWithNothingPaid)
{
    start(false);
    auto* game = enter<cFindPairState>(STATE_FIND_PAIR, "FindPair01");
    ASSERT_EQ(game->cells().size(), 36u);
    frames(10);
    const auto tag = [&](size_t i) { return game->cells()[i].animal->tag; };
    const auto open = [&](size_t i) {
        for (int tries = 0; tries < 20 && tag(i) == cFindPairState::CLOSED; ++tries) {
            const aRect r = game->bushRect(i);
            h->input().setCursor(r.x + r.width / 2, r.y + r.height / 2);
            frame();
            click(r.x + r.width / 2, r.y + r.height / 2);
        }
        return tag(i) != cFindPairState::CLOSED;
    };
    size_t b = 1;
    while (game->cells()[b].animal->kind == game->cells()[0].animal->kind)
        ++b;
    ASSERT_TRUE(open(0) && open(b));
    frames(8);
    keepScreen("mini_game_find_pair");
    frames(52);
    EXPECT_EQ(tag(0), cFindPairState::CLOSED);
    EXPECT_EQ(tag(b), cFindPairState::CLOSED);

    int32_t stars = player->stars;
    for (size_t i = 0; i < game->cells().size() && !game->isWon(); ++i) {
        if (tag(i) != cFindPairState::CLOSED)
            continue;
        size_t j = i + 1;
        while (j < 36 &&
               (tag(j) != cFindPairState::CLOSED || game->cells()[j].animal->kind != game->cells()[i].animal->kind))
            ++j;
        ASSERT_LT(j, 36u) << "every kind comes in pairs";
        ASSERT_TRUE(open(i) && open(j));
        frames(60);
        EXPECT_EQ(tag(i), cFindPairState::FOUND) << i << " " << j;
    }
    ASSERT_TRUE(game->isWon());
    expectPaidOnceAndOnToThePark(stars, 250);
    EXPECT_GT(credited, 0) << "pairs in a row drop coins, picked up by the win";

    // Again, skipped: Escape asks (and holds the clock), a second Escape does nothing, Yes leads to the map.
    player->doneUpgrades = 3;
    game = enter<cFindPairState>(STATE_FIND_PAIR, "FindPair01");
    stars = player->stars;
    h->key(A_KEY_ESCAPE);
    frames(10);
    ASSERT_TRUE(shown(*h, "YesBtn"));
    EXPECT_EQ(game->getModalCount(), 1);
    const float held = game->getTimeLeft();
    h->key(A_KEY_ESCAPE);
    frames(10);
    EXPECT_EQ(game->getTimeLeft(), held);
    clickOn(*h, "YesBtn");
    ASSERT_TRUE(h->waitForState(STATE_MAP));
    EXPECT_EQ(player->stars, stars);
    EXPECT_EQ(player->doneUpgrades, 3u);
}

TEST_F(MiniGames, CatchAnimalLostOnAWrongClickThenWonByCatchingEveryWantedAnimal)
{
    start(false);
    auto* game = enter<cCatchAnimalState>(STATE_CATCH_ANIMAL, "CatchAnimal01");
    const std::vector<cMiniGoal> goals = game->goals();
    ASSERT_EQ(goals.size(), 3u);
    // With every goal full the spawner keeps what it drew (no endless search for an open goal).
    game->goals() = {{3, 3, goals.front().kind}};
    const size_t before = game->runners().size();
    for (int i = 0; i < 20; ++i)
        game->spawnRunner(1.0f);
    EXPECT_EQ(game->runners().size(), before + 20);

    // Only zebras are wanted; a click on anything else with half a second left loses at once.
    game->goals() = {{0, 50, goals.front().kind}};
    int32_t stars = player->stars;
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
    frames(40);
    EXPECT_TRUE(shown(*h, "OkBtn"));
    EXPECT_FALSE(game->isWon());
    EXPECT_EQ(game->getTimeLeft(), 0.0f);
    clickOn(*h, "OkBtn");
    ASSERT_TRUE(h->waitForState(STATE_MAP));
    EXPECT_EQ(player->stars, stars + credited);
    EXPECT_EQ(player->doneUpgrades, 3u);

    game = enter<cCatchAnimalState>(STATE_CATCH_ANIMAL, "CatchAnimal01");
    EXPECT_FLOAT_EQ(game->getWantedInterval(), 75.0f / 12.0f * 0.5f);
    for (int i = 0; i < 400 && game->runners().size() < 6; ++i)
        frame();
    frames(30);
    keepScreen("mini_game_catch_animal");
    stars = player->stars;
    credited = 0;
    for (int i = 0; i < 3000 && !game->isWon(); ++i) {
        bool caught = false;
        for (cAnimal* a : game->runners())
            if (a->tag != 1 && game->isWanted(a->kind) && (caught = clickRunner(a)))
                break;
        if (!caught)
            frame();
    }
    ASSERT_TRUE(game->isWon());
    for (const cMiniGoal& goal : game->goals())
        EXPECT_EQ(goal.collected, goal.needed);
    expectPaidOnceAndOnToThePark(stars, 200);
}
