// The three mini-games played: each won once (paid once, on to the park), one
// lost and one skipped (nothing paid, back to the map), a board picture each.
#include <tuple>

#include "game/support/minigame_game.h"
#include "orvo/platform/a_keycodes.h"

using namespace kbtest;

static aPoint middleOf(cDrawElement* e)
{
    const aRect& r = e->getScreenRect();
    return aPoint(r.x + r.width / 2, r.y + r.height / 2);
}

TEST(MiniGameFrame, TimerTextFindPairFieldAndSpawnerOfOutOfRangeValues)
{
    std::string clock, hundredths;
    miniGameTimerText(-2.0f, clock, hundredths);
    EXPECT_EQ(clock + hundredths, "00:00.00");
    // Cells per side and the origin of cell (0, 0): large sizes clamped (the origin never wraps), negative empty.
    uint16_t size = 99;
    int32_t x = 0, y = 0;
    cFindPairState::gridFor(65538, size, x, y);
    EXPECT_EQ(std::make_tuple(size, x, y), std::make_tuple(uint16_t(6), 255, 185));
    cFindPairState::gridFor(-3, size, x, y);
    EXPECT_EQ(size, 0);
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
        release(p.x, p.y);
        if (!a->hovered)
            return false;
        click(p.x, p.y);
        return true;
    }
};

TEST_F(MiniGames, MatchThreeTheHintsWin)
{
    auto* game = enter<cMatchThreeState>(STATE_MATCH_THREE, "MatchThree01");
    for (int i = 0; i < 400 && !game->isStill(); ++i) // the animals run in and come to rest
        frame();
    frames(20);
    keepScreen("mini_game_match_three");

    // The player follows the hint until the goals (narrowed to one catch of the first line's kind) are full.
    const int32_t stars = player->stars;
    for (int move = 0; move < 20 && !game->isWon(); ++move) {
        for (int i = 0; i < 700 && !game->isWon() && !(game->isStill() && game->hintA()); ++i)
            frame();
        if (game->isWon())
            break;
        ASSERT_TRUE(game->hintA() && game->hintB());
        cMatchBoard copy = game->board();
        int c = 0, r = 0, d = 0;
        if (move == 0 && copy.findMove(c, r, d) && copy.swap(c, r, d)) {
            const int cell = copy.findMatches().front();
            game->goals() = {{0, 1, game->kinds()[static_cast<size_t>(copy.at(cell / 6, cell % 6))]}};
        }
        const aPoint from = middleOf(game->hintA()), to = middleOf(game->hintB());
        press(from.x, from.y); // dragged to the hint's partner
        h->input().setCursor(to.x, to.y);
        frame();
        release(to.x, to.y);
        frames(5);
    }
    ASSERT_TRUE(game->isWon());
    expectPaidOnceAndOnToThePark(stars, 300);
}

TEST_F(MiniGames, FindPairAWrongTryClosesEveryPairWinsAndEscapeSkipsWithNothingPaid)
{
    auto* game = enter<cFindPairState>(STATE_FIND_PAIR, "FindPair01");
    ASSERT_EQ(game->cells().size(), 36u);
    frames(10);
    const auto closed = [&](size_t i) { return game->cells()[i].animal->tag == cFindPairState::CLOSED; };
    const auto kind = [&](size_t i) { return game->cells()[i].animal->kind; };
    const auto open = [&](size_t i) {
        const aRect r = game->bushRect(i);
        for (int tries = 0; tries < 20 && closed(i); ++tries) {
            release(r.x + r.width / 2, r.y + r.height / 2);
            click(r.x + r.width / 2, r.y + r.height / 2);
        }
        return !closed(i);
    };
    size_t b = 1;
    while (kind(b) == kind(0))
        ++b;
    ASSERT_TRUE(open(0) && open(b));
    frames(8);
    keepScreen("mini_game_find_pair");
    frames(52);
    EXPECT_TRUE(closed(0) && closed(b)) << "a wrong pair closes again";

    int32_t stars = player->stars;
    for (size_t i = 0; i < 36 && !game->isWon(); ++i) {
        size_t j = i + 1;
        while (j < 36 && !(closed(j) && kind(j) == kind(i)))
            ++j;
        if (!closed(i))
            continue;
        ASSERT_LT(j, 36u) << "every kind comes in pairs";
        ASSERT_TRUE(open(i) && open(j));
        frames(60);
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
    const float held = game->getTimeLeft();
    h->key(A_KEY_ESCAPE);
    frames(10);
    EXPECT_TRUE(game->getModalCount() == 1 && game->getTimeLeft() == held);
    clickOn(*h, "YesBtn");
    ASSERT_TRUE(h->waitForState(STATE_MAP));
    EXPECT_TRUE(player->stars == stars && player->doneUpgrades == 3u) << "nothing paid, the visit kept";
}

TEST_F(MiniGames, CatchAnimalLostOnAWrongClickThenWonByCatchingEveryWantedAnimal)
{
    auto* game = enter<cCatchAnimalState>(STATE_CATCH_ANIMAL, "CatchAnimal01");
    cAnimalKind* zebra = game->goals().at(0).kind;
    // With every goal full the spawner keeps what it drew (no endless search for an open goal).
    game->goals() = {{3, 3, zebra}};
    const size_t before = game->runners().size();
    for (int i = 0; i < 20; ++i)
        game->spawnRunner(1.0f);
    EXPECT_EQ(game->runners().size(), before + 20);

    // Only zebras are wanted; a click on anything else with half a second left loses at once.
    game->goals() = {{0, 50, zebra}};
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
    frames(40);
    clickOn(*h, "OkBtn");
    ASSERT_TRUE(h->waitForState(STATE_MAP));
    EXPECT_TRUE(player->stars == stars + credited && player->doneUpgrades == 3u) << "no reward, the visit kept";

    game = enter<cCatchAnimalState>(STATE_CATCH_ANIMAL, "CatchAnimal01");
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
    expectPaidOnceAndOnToThePark(stars, 200);
}
