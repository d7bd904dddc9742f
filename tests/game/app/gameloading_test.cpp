// The loading routines seen from the frame loop, on fake time: an initial
// load without a menu, level loads and the screen reload with their minimum
// time, and many hand-overs while frames are drawn. (Every game test passes
// the initial load's click wait.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/app/loadingscreen.h"
#include "game/support/loading_game.h"
#include "orvo/util/a_crc32.h"

using namespace kbtest;

using Progress = std::vector<uint16_t>;

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

    // No kinds at all: no step to divide by.
    game.animalKindFiles().clear();
    (void)LoadingClock::takeProgress();
    g.enter(STATE_PLAY);
    EXPECT_EQ(LoadingClock::takeProgress(), (Progress{95, 99}));

    // A screen after gameplay gets the screens' images back.
    g.enter(STATE_MAP);
    EXPECT_NE(game.getScreenImageManager(), nullptr);

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
