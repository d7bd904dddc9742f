// The three mini-games played: each won once (paid once, on to the park), one
// lost and one skipped (nothing paid, back to the map), a board picture each;
// the find-pair bushes and paths, and the shadows each frame draws.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <tuple>

#include "game/app/messagebox.h"
#include "game/app/tip.h"
#include "game/park/entity.h"
#include "game/park/flyawaytext.h"
#include "game/support/minigame_game.h"
#include "gui/server.h"
#include "orvo/gfx/a_distortiongrid.h"
#include "orvo/platform/a_keycodes.h"
#include "orvo/platform/gpu/a_gpudevicerecorder.h"
#include "orvo/sound/a_sound.h"
#include "orvo/sound/a_soundmanager.h"

using namespace kbtest;

static aPoint middleOf(cDrawElement* e)
{
    const aRect& r = e->getScreenRect();
    return aPoint(r.x + r.width / 2, r.y + r.height / 2);
}

// A path of staircase steps: every waypoint but the target is the middle of
// a 50-pixel cell, at most one cell across and one down from the one before.
static bool walksInSteps(const cAnimal* a)
{
    const std::vector<aVector2>& p = a->path;
    if (p.size() < 3)
        return false;
    for (size_t k = 0; k + 1 < p.size(); ++k) {
        if (std::fmod(p[k].x - 25.0f, 50.0f) != 0.0f || std::fmod(p[k].y - 25.0f, 50.0f) != 0.0f)
            return false;
        if (k > 0 && (std::fabs(p[k].x - p[k - 1].x) > 50.0f || std::fabs(p[k].y - p[k - 1].y) > 50.0f))
            return false;
    }
    return true;
}

// A walk long enough and more than two degrees off the eight directions is
// one the park's animals take in steps.
static bool obliqueWalk(const aVector2& from, const aVector2& to)
{
    const float dx = to.x - from.x, dy = to.y - from.y;
    const int degrees = static_cast<int>(std::atan2(dx, -dy) * 57.29578f);
    const int m = std::abs(degrees) % 45;
    return m >= 3 && m <= 42 && dx * dx + dy * dy >= 2500.0f;
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

TEST_F(MiniGames, MatchThreeTheTipHoldsTheClockAFailedSwapGoesBackAndTheHintsWin)
{
    auto* game = enter<cMatchThreeState>(STATE_MATCH_THREE, "MatchThree01", false);
    // The one-time tip opens over the board and holds the clock.
    frames(30);
    ASSERT_NE(cTip::get(), nullptr);
    const float held = game->getTimeLeft();
    frames(10);
    EXPECT_EQ(game->getTimeLeft(), held);
    clickOn(*h, "Tip");
    frames(20);
    EXPECT_TRUE(cTip::get() == nullptr && (player->tipsMask & 0x40));
    EXPECT_LT(game->getTimeLeft(), held) << "the clock runs again";

    for (int i = 0; i < 400 && !game->isStill(); ++i) // the animals run in and come to rest
        frame();
    frames(20);
    keepScreen("mini_game_match_three");

    // A swap that makes no line: both animals run back and "action_failed" plays.
    {
        int c = 0, r = 0;
        const auto noLine = [&] {
            cMatchBoard copy = game->board();
            return copy.swap(c, r, 2) && !copy.hasLine();
        };
        for (; !noLine(); r = (r + 1) % 5, c += r == 0)
            ASSERT_LT(c, 6) << "some swap down makes no line";
        aSound* failed = h->game().getSoundManager()->getSound("action_failed");
        ASSERT_NE(failed, nullptr);
        const int32_t channel = failed->getChannel();
        cAnimal* moved = game->piece(c, r);
        const aPoint from = middleOf(moved), to = middleOf(game->piece(c, r + 1));
        press(from.x, from.y);
        h->input().setCursor(to.x, to.y + 30);
        frame();
        release(to.x, to.y + 30);
        EXPECT_EQ(game->piece(c, r + 1), moved) << "swapped at once";
        for (int i = 0; i < 200 && game->piece(c, r) != moved; ++i)
            frame();
        EXPECT_EQ(game->piece(c, r), moved) << "and swapped back";
        EXPECT_NE(failed->getChannel(), channel) << "\"action_failed\" played";
    }

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

TEST_F(MiniGames, FindPairBushesBendOpenAndShutFoundPairsLeaveInStepsAndEscapeSkipsWithNothingPaid)
{
    auto* game = enter<cFindPairState>(STATE_FIND_PAIR, "FindPair01");
    ASSERT_EQ(game->cells().size(), 36u);
    frames(10);
    const auto cell = [&](size_t i) -> const cFindPairState::Cell& { return game->cells()[i]; };
    const auto tag = [&](size_t i) { return cell(i).animal->tag; };
    const auto closed = [&](size_t i) { return tag(i) == cFindPairState::CLOSED; };
    const auto kind = [&](size_t i) { return cell(i).animal->kind; };
    // Opened by a click; the bushes turn from the frame after the press.
    const auto open = [&](size_t i) {
        const aRect r = game->bushRect(i);
        for (int tries = 0; tries < 20 && closed(i); ++tries) {
            release(r.x + r.width / 2, r.y + r.height / 2);
            click(r.x + r.width / 2, r.y + r.height / 2);
        }
        return !closed(i);
    };
    // Both bushes of a cell bent alike: the top of the picture swung round its foot by 40 pixels.
    const auto bent = [&](size_t i, float degrees) {
        for (const cEntity* bush : {cell(i).back, cell(i).front}) {
            const aDistortionGrid::Vertex* top = bush->grid->getVertex(1, 0);
            const float a = degrees * 0.0174532924f;
            if (std::fabs(bush->swayAngle - degrees) > 1e-3f ||
                std::fabs(top->y - 40.0f * (1.0f - std::cos(a))) > 1e-3f ||
                std::fabs(top->x - bush->grid->getCellWidth() - 40.0f * std::sin(a)) > 1e-3f)
                return false;
        }
        return true;
    };

    // 170 degrees at 500 a second: open after 0.34 s, in the eleventh frame of 1/30 s.
    ASSERT_TRUE(open(0));
    int turns = 1;
    for (; tag(0) == cFindPairState::OPENING && turns < 30; ++turns) {
        EXPECT_TRUE(bent(0, turns * 500.0f / 30.0f)) << turns;
        frame();
    }
    EXPECT_EQ(turns, 11);
    EXPECT_TRUE(tag(0) == cFindPairState::OPEN && bent(0, 170.0f));

    size_t b = 1;
    while (kind(b) == kind(0))
        ++b;
    ASSERT_TRUE(open(b));
    frames(4);
    EXPECT_TRUE(bent(b, 5 * 500.0f / 30.0f)) << "half open";
    keepScreen("mini_game_find_pair");
    // A wrong pair: both cells close again, back to 0 degrees in another 0.34 s.
    for (int i = 0; i < 20 && tag(0) != cFindPairState::CLOSING; ++i)
        frame();
    ASSERT_TRUE(tag(0) == cFindPairState::CLOSING && tag(b) == cFindPairState::CLOSING);
    for (turns = 0; tag(0) == cFindPairState::CLOSING && turns < 30; ++turns)
        frame();
    EXPECT_EQ(turns, 11);
    EXPECT_TRUE(closed(0) && closed(b) && bent(0, 0.0f) && bent(b, 0.0f)) << "a wrong pair closes again";

    // Every pair found; each found animal walks off, the long oblique ways in staircase steps.
    int32_t stars = player->stars;
    int oblique = 0;
    for (size_t i = 0; i < 36 && !game->isWon(); ++i) {
        size_t j = i + 1;
        while (j < 36 && !(closed(j) && kind(j) == kind(i)))
            ++j;
        if (!closed(i))
            continue;
        ASSERT_LT(j, 36u) << "every kind comes in pairs";
        ASSERT_TRUE(open(i) && open(j));
        for (int k = 0; k < 30 && tag(i) != cFindPairState::FOUND; ++k)
            frame();
        ASSERT_EQ(tag(j), cFindPairState::FOUND);
        for (const cAnimal* a : {cell(i).animal, cell(j).animal})
            if (obliqueWalk(a->anchor, a->path.back())) {
                ++oblique;
                EXPECT_TRUE(walksInSteps(a)) << "from " << a->anchor.x << ", " << a->anchor.y;
            }
        frames(30);
    }
    EXPECT_GT(oblique, 0);
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

    // Only zebras are wanted; a click on anything else costs a second, which a
    // text over the field tells in the frame's face.
    game->goals() = {{0, 50, zebra}};
    bool missed = false;
    for (int i = 0; i < 600 && !missed; ++i) {
        game->setTimeLeft(20.0f);
        frame();
        for (cAnimal* a : game->runners())
            if (!game->isWanted(a->kind) && (missed = clickRunner(a)))
                break;
    }
    ASSERT_TRUE(missed);
    EXPECT_NEAR(game->getTimeLeft(), 19.0f, 0.2f);
    ASSERT_FALSE(cFlyAwayText::live().empty());
    EXPECT_EQ(cFlyAwayText::live().back()->font, GUI::Server::getSingletonPtr()->GetFont("arial14"));
    frames(6);
    keepScreen("mini_game_penalty_text");
    // With half a second left such a click loses at once.
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

// The flash of sparks at the end of a counted reward leaves the reward
// readable: against the frame after the flash, the caption's pixels stay as
// they were while it runs. The sparks alone mark the end: no goal sound.
TEST_F(MiniGames, TheRewardsFlashLeavesTheCountedRewardReadable)
{
    h->holdSounds(true); // a sound started stays playing
    enter<cFindPairState>(STATE_FIND_PAIR, "FindPair01");
    h->moveTo(20, 400);
    ASSERT_TRUE(cMessageBox::show(L"", h->game().getText("find_pair_win"), 449, nullptr, nullptr));
    cMessageBox::get()->countTarget = 200;
    for (int i = 0; i < 90 && cMessageBox::get()->countValue < 200.0f; ++i)
        frame();
    ASSERT_EQ(cMessageBox::get()->countValue, 200.0f);
    aSound* goalDone = h->game().getSoundManager()->getSound("goal_done");
    ASSERT_NE(goalDone, nullptr);
    EXPECT_FALSE(goalDone->isPlaying());
    std::vector<std::vector<uint32_t>> flash;
    for (int i = 0; i < 24; ++i) {
        flash.push_back(h->screenshot());
        if (i == 4 && std::getenv("KB_UPDATE_GOLDEN"))
            h->expectScreen("mini_game_reward_flash"); // for review: the board's animals move
        frame();
    }
    frames(45);
    const std::vector<uint32_t> after = h->screenshot();
    // The caption's ink: its dark pixels on the box's paper.
    const aRect r = h->widget("Caption")->GetAbsoluteRect();
    std::vector<size_t> caption;
    for (int32_t y = r.y; y < r.y + 34; ++y)
        for (int32_t x = r.x; x < r.x + r.width; ++x) {
            const uint32_t c = after[size_t(y) * 1024 + size_t(x)];
            if (std::max({c >> 16 & 0xFF, c >> 8 & 0xFF, c & 0xFF}) < 170)
                caption.push_back(size_t(y) * 1024 + size_t(x));
        }
    ASSERT_GE(caption.size(), 40u);
    size_t worst = 0;
    for (const std::vector<uint32_t>& frameSeen : flash) {
        size_t covered = 0;
        for (size_t at : caption) {
            int most = 0;
            for (int shift : {16, 8, 0})
                most = std::max(most, std::abs(int(after[at] >> shift & 0xFF) - int(frameSeen[at] >> shift & 0xFF)));
            covered += most > 40;
        }
        worst = std::max(worst, covered);
    }
    EXPECT_LE(worst * 50, caption.size()) << worst << " of the caption's " << caption.size() << " pixels covered";
}

TEST_F(MiniGames, FindPairGivesThePairsOfAKindThatCannotBeMadeToOthersAndRefusesABoardOfNone)
{
    static cAnimalKind broken; // no pictures, so no animal of it can be made; outlives the pooled one
    broken.name = "broken";
    auto* game = enter<cFindPairState>(STATE_FIND_PAIR, "FindPair01");
    cAnimalKind* zebra = cAnimal::findKindByName("zebra");
    ASSERT_NE(zebra, nullptr);
    game->kinds() = {&broken, zebra};
    ASSERT_TRUE(game->layoutGrid());
    ASSERT_EQ(game->cells().size(), 36u) << "no cell left without its partner";
    for (const cFindPairState::Cell& cell : game->cells())
        EXPECT_EQ(cell.animal->kind, zebra);
    EXPECT_TRUE(h->logged("cFindPairState. No \"broken\" can be made: its pairs go to the other kinds"));

    const int32_t stars = player->stars;
    game->kinds() = {&broken};
    EXPECT_FALSE(game->layoutGrid());
    EXPECT_TRUE(game->cells().empty());
    EXPECT_TRUE(h->logged(
        "cFindPairState. The board of \"FindPair01\" is not laid out (no animal can be made): back to the map"));
    ASSERT_TRUE(h->waitForState(STATE_MAP));
    EXPECT_EQ(player->stars, stars) << "nothing paid";
}

// The recording device counts the shadow pictures each frame draws.
class MiniGameShadows : public MiniGames {
protected:
    MiniGameShadows() { recording = true; }

    // The shadows of one frame: sprites drawn with a kind's shadow picture.
    size_t shadowsInAFrame()
    {
        std::set<const void*> shadows;
        for (const cAnimalKind* kind : cAnimal::kinds()) {
            EXPECT_NE(kind->shadow, nullptr) << kind->name << " has a shadow picture";
            if (kind->shadow && kind->shadow->getRecord())
                shadows.insert(kind->shadow->getRecord()->surfaces[aImage::SURFACE_PLAIN].texture.get());
        }
        h->recorder()->clearRecords();
        frame();
        size_t drawn = 0;
        for (const aGpuRecord& r : h->recorder()->records(aGpuCall::SpriteDraw))
            drawn += shadows.count(r.object);
        return drawn;
    }
};

TEST_F(MiniGameShadows, EveryAnimalOnTheBoardHasItsShadowEachFrame)
{
    auto* three = enter<cMatchThreeState>(STATE_MATCH_THREE, "MatchThree01");
    for (int i = 0; i < 400 && !three->isStill(); ++i)
        frame();
    ASSERT_TRUE(three->isStill());
    EXPECT_EQ(shadowsInAFrame(), 36u);

    // Find pair: only the animals of opened cells stand in the open.
    auto* pairs = enter<cFindPairState>(STATE_FIND_PAIR, "FindPair01");
    frames(5);
    EXPECT_EQ(shadowsInAFrame(), 0u);
    for (size_t i : {0u, 7u}) {
        const aRect r = pairs->bushRect(i);
        for (int tries = 0; tries < 20 && pairs->cells()[i].animal->tag == cFindPairState::CLOSED; ++tries) {
            release(r.x + r.width / 2, r.y + r.height / 2);
            click(r.x + r.width / 2, r.y + r.height / 2);
        }
    }
    EXPECT_EQ(shadowsInAFrame(), 2u);

    auto* runners = enter<cCatchAnimalState>(STATE_CATCH_ANIMAL, "CatchAnimal01");
    for (int i = 0; i < 400 && runners->runners().size() < 4; ++i)
        frame();
    ASSERT_GE(runners->runners().size(), 4u);
    EXPECT_EQ(shadowsInAFrame(), runners->runners().size());
}
