// The loading routines seen from the frame loop, on fake time: the initial
// load's progress and click wait, level loads and the screen reload with
// their minimum time, and many hand-overs while frames are drawn.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/app/loadingscreen.h"
#include "game/support/loading_game.h"
#include "orvo/util/a_crc32.h"

using namespace kbtest;

using Progress = std::vector<uint16_t>;

TEST(GameLoading, InitialLoadReportsItsStepsThenWaitsForAClick)
{
    LoadingClock clock;
    // Frames far faster than a screen's: the scene barely moves and does not end the wait.
    GameHarness h(gameOptions(true, 1e-4f));
    StateCalls calls;
    ScopedStateClass menu(STATE_MENU, [&] { return new TestScreen(STATE_MENU, calls, "", false); });
    ASSERT_EQ(h.start(), 0);
    Progress seen;
    for (int i = 0; i < kPatience && (seen.empty() || seen.back() != 100); ++i) {
        h.frame();
        const Progress more = LoadingClock::takeProgress();
        seen.insert(seen.end(), more.begin(), more.end());
    }
    // The six shipped kinds' sound lists take 40 to 60.
    EXPECT_EQ(seen, (Progress{30, 35, 40, 43, 46, 50, 53, 56, 60, 60, 60, 64, 68, 72, 76, 80, 84, 88, 100}));

    h.frames(70);
    EXPECT_TRUE(h.game().loadingThreadRuns()) << "waiting for a click";
    EXPECT_EQ(calls.inits, 0);

    h.press(600, 500);
    h.release(600, 500);
    ASSERT_TRUE(h.waitForLoad(kPatience)) << "the one click ends the wait";
    h.frame();
    ASSERT_NE(h.game().getCurrentState(), nullptr);
    EXPECT_EQ(h.game().getCurrentState()->getId(), STATE_MENU);
    EXPECT_EQ(h.game().getLoaderEvent(), nullptr) << "closed after the hand-over";
    EXPECT_EQ(cLoadingScreen::getSingletonPtr(), nullptr);
    EXPECT_NE(h.game().spriteRegistry().findSprite("AnimalGUI"), nullptr);
}

TEST(GameLoading, WithoutAMenuStateTheRequestIsStillMadeAndLogged)
{
    LoadingClock clock;
    GameHarness h(gameOptions());
    ASSERT_EQ(h.start(), 0);
    ASSERT_FALSE(h.waitForState(STATE_MENU, kPatience / 10)); // clicks through the load
    EXPECT_FALSE(h.game().loadingThreadRuns());
    EXPECT_TRUE(h.logged("cGame. The menu is requested but no state 1 is registered"));
    EXPECT_EQ(h.game().getCurrentState(), nullptr);
}

TEST(GameLoading, LevelLoadsAndTheScreenReloadTakeFourAndAHalfSecondsAndHandOverSafely)
{
    LoadedGame g;
    StateCalls playCalls, catchCalls, mapCalls;
    double firstUpdate = -1.0;
    ScopedStateClass play = gameplay(STATE_PLAY, playCalls, &firstUpdate);
    ScopedStateClass catchAnimal = gameplay(STATE_CATCH_ANIMAL, catchCalls);
    ScopedStateClass map(STATE_MAP, [&] { return new TestScreen(STATE_MAP, mapCalls, "", false); });
    g.start();
    cGame& game = g.h.game();
    using Reads = std::vector<std::pair<std::string, uint32_t>>;
    Reads read;
    game.kindLoaders().animalKindFile = [&](const std::string& path, uint32_t mask) { read.emplace_back(path, mask); };
    game.animalKindFiles().clear();
    for (const char* kind : {"zebra", "lion", "hippo", "rhino"})
        game.animalKindFiles()[crc32_string(kind)] = std::string("animals:") + kind + ".ini";

    game.registerAnimalKind("zebra", 0xFFFF);
    game.registerAnimalKind("lion", 163);
    game.registerAnimalKind("zebra", 163);      // once, with the first mask
    game.registerAnimalKind("unknown", 0xFFFF); // no kind file: skipped
    const double began = LoadingClock::seconds();
    g.enter(STATE_PLAY);
    g.h.frame();
    EXPECT_EQ(LoadingClock::takeProgress(), (Progress{33, 66, 99, 95, 99}));
    EXPECT_EQ(read, (Reads{{"animals:zebra.ini", 0xFFFF}, {"animals:lion.ini", 163}}));
    EXPECT_TRUE(game.getAnimalKindsToLoad().empty());
    EXPECT_FALSE(playCalls.initOnMainThread);
    EXPECT_GE(firstUpdate - began, 4.5);
    // The wait is sleeps, not a busy loop (which would make thousands); a busy
    // machine may add a few dozen more for the main thread's slower frames.
    EXPECT_GT(LoadingClock::loaderSleptMs(), 3000);
    EXPECT_LE(LoadingClock::loaderSleeps(), 200);

    // Nothing registered: every known kind is read whole.
    read.clear();
    EXPECT_GE(g.enter(STATE_CATCH_ANIMAL), 4.5);
    EXPECT_EQ(read.size(), 4u);
    EXPECT_EQ(read[0].second, 0xFFFFu);
    EXPECT_EQ(LoadingClock::takeProgress(), (Progress{50, 75, 100, 100, 95, 99}));

    // No kinds at all: no step to divide by.
    game.animalKindFiles().clear();
    g.enter(STATE_PLAY);
    EXPECT_EQ(LoadingClock::takeProgress(), (Progress{95, 99}));

    // A screen after gameplay: the screens' images and its init on the loading thread.
    EXPECT_GE(g.enter(STATE_MAP), 4.5);
    EXPECT_FALSE(mapCalls.initOnMainThread);
    EXPECT_NE(game.getScreenImageManager(), nullptr);
    EXPECT_EQ(LoadingClock::takeProgress(), (Progress{0, 11, 22, 33, 44, 55, 66, 77, 99}));

    // Every hand-over waits for the frame that may be drawing the loading
    // screen; frames run all the time, and each load replaces the scene under
    // the screen's lock while they draw it. Run under ThreadSanitizer to see
    // the whole of it.
    int scenes = 0;
    game.kindLoaders().animalKindFile = [&](const std::string&, uint32_t) {
        cLoadingScreen::getSingletonPtr()->startScenario();
        ++scenes;
    };
    game.animalKindFiles().clear();
    game.animalKindFiles()[crc32_string("zebra")] = "animals:zebra.ini";
    for (int i = 0; i < 200; ++i) {
        g.enter(i % 2 ? STATE_CATCH_ANIMAL : STATE_PLAY);
        ASSERT_EQ(game.getLoaderEvent(), nullptr) << i;
        ASSERT_EQ(cLoadingScreen::getSingletonPtr(), nullptr) << i;
    }
    EXPECT_EQ(scenes, 200);
}
