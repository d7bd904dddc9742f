// The loading routines seen from the frame loop: the initial load's progress
// and click wait, level loads with their minimum time, the screen reload
// after gameplay, and many hand-overs while frames are drawn.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "game/app/loadingscreen.h"
#include "game/support/harness.h"
#include "game/support/loading_clock.h"
#include "game/support/test_screen.h"
#include "orvo/util/a_crc32.h"

using namespace kbtest;

namespace {

using Progress = std::vector<uint16_t>;

// Frames on fake time are cheap; a load takes what it takes in real time.
constexpr int kPatience = 100000;

GameHarness::Options recording(float frameTime = 1.0f / 30.0f)
{
    GameHarness::Options options;
    options.recording = true;
    options.frameTime = frameTime;
    return options;
}

// Frames until the loading screen has reached 100 and waits (at most maxFrames).
bool untilWaiting(GameHarness& h, int maxFrames = kPatience)
{
    for (int i = 0; i < maxFrames; ++i) {
        h.frame();
        Progress seen = LoadingClock::takeProgress();
        if (!seen.empty() && seen.back() == 100)
            return true;
    }
    return false;
}

// A gameplay state of that id whose startLoading starts the level load; its
// first update's time goes to firstUpdate.
ScopedStateClass gameplay(int32_t id, StateCalls& calls, double* firstUpdate = nullptr)
{
    return ScopedStateClass(id, [&calls, id, firstUpdate] {
        auto* state = new TestScreen(id, calls, "", false);
        state->loadsItself = [](TestScreen&) {
            cGame::get()->startLevelLoading();
            return true;
        };
        state->onUpdate = [firstUpdate](float) {
            if (firstUpdate && *firstUpdate < 0)
                *firstUpdate = LoadingClock::seconds();
        };
        return state;
    });
}

// A game on fake time whose menu is a stand-in screen; start() ends the
// initial load (register the other states first: the load makes them).
struct LoadedGame {
    void start()
    {
        ASSERT_EQ(h.start(), 0);
        ASSERT_TRUE(h.waitForState(STATE_MENU, kPatience));
        (void)LoadingClock::takeProgress();
    }

    LoadingClock clock;
    GameHarness h{recording()};
    StateCalls menuCalls;
    ScopedStateClass menu{STATE_MENU, [this] { return new TestScreen(STATE_MENU, menuCalls, "", false); }};
};

} // namespace

TEST(GameLoading, InitialLoadReportsItsStepsThenWaitsForAClickInsideTheWindow)
{
    LoadingClock clock;
    // Frames come much faster than on a screen: the scene barely moves, so it
    // does not end the wait by finishing.
    GameHarness h(recording(1e-4f));
    StateCalls calls;
    ScopedStateClass menu(STATE_MENU, [&] { return new TestScreen(STATE_MENU, calls, "", false); });
    ASSERT_EQ(h.start(), 0);
    Progress seen;
    for (int i = 0; i < kPatience && (seen.empty() || seen.back() != 100); ++i) {
        h.frame();
        for (uint16_t p : LoadingClock::takeProgress())
            seen.push_back(p);
    }
    EXPECT_EQ(seen, (Progress{30, 35, 40, 60, 60, 64, 68, 72, 76, 80, 84, 88, 100}));

    // Waiting: no state, whatever the player does short of a click inside.
    h.frames(60);
    h.press(500, 400);
    h.moveTo(1023, 767);
    h.release(1030, 400); // the pointer left the window while held
    h.press(-5, 300);
    h.release(500, 300); // pressed outside
    h.frames(10);
    EXPECT_TRUE(h.game().loadingThreadRuns());
    EXPECT_EQ(h.game().getCurrentState(), nullptr);
    EXPECT_EQ(calls.inits, 0);

    h.press(600, 500);
    h.release(600, 500);
    ASSERT_TRUE(h.waitForLoad(kPatience));
    h.frame();
    ASSERT_NE(h.game().getCurrentState(), nullptr);
    EXPECT_EQ(h.game().getCurrentState()->getId(), STATE_MENU);
    EXPECT_EQ(calls.inits, 1);
    EXPECT_EQ(h.game().getLoaderEvent(), nullptr) << "the event is closed after the hand-over";
    EXPECT_EQ(cLoadingScreen::getSingletonPtr(), nullptr);
    EXPECT_NE(h.game().spriteRegistry().findSprite("AnimalGUI"), nullptr);
    EXPECT_NE(h.game().getParticles(), nullptr);
}

TEST(GameLoading, WithoutAMenuStateTheRequestIsStillMadeAndLogged)
{
    LoadingClock clock;
    GameHarness h(recording());
    ASSERT_EQ(h.start(), 0);
    ASSERT_TRUE(untilWaiting(h));
    h.click(512, 384);
    ASSERT_TRUE(h.waitForLoad(kPatience));
    EXPECT_TRUE(h.logged("cGame. The menu is requested but no state 1 is registered"));
    h.frame();
    EXPECT_EQ(h.game().getCurrentState(), nullptr);
    EXPECT_EQ(h.game().getPreviousState(), 0);
}

TEST(GameLoading, LevelLoadReadsTheRegisteredKindsAndStaysAtLeastFourAndAHalfSeconds)
{
    LoadedGame g;
    std::vector<std::pair<std::string, uint32_t>> read;
    StateCalls calls, catchCalls;
    double firstUpdate = -1.0;
    ScopedStateClass play = gameplay(STATE_PLAY, calls, &firstUpdate);
    ScopedStateClass catchAnimal = gameplay(STATE_CATCH_ANIMAL, catchCalls);
    g.start();
    cGame& game = g.h.game();
    game.kindLoaders().animalKindFile = [&](const std::string& path, uint32_t mask) { read.emplace_back(path, mask); };
    for (const char* kind : {"zebra", "lion", "hippo", "rhino"})
        game.animalKindFiles()[crc32_string(kind)] = std::string("animals:") + kind + ".ini";

    game.registerAnimalKind("zebra", 0xFFFF);
    game.registerAnimalKind("lion", 0xFFFF);
    game.registerAnimalKind("unknown", 0xFFFF); // no kind file: skipped
    game.requestState(STATE_PLAY);
    const double began = LoadingClock::seconds();
    ASSERT_TRUE(g.h.waitForState(STATE_PLAY, kPatience));
    g.h.frame();

    EXPECT_EQ(LoadingClock::takeProgress(), (Progress{33, 66, 99, 95, 99}));
    EXPECT_EQ(read, (std::vector<std::pair<std::string, uint32_t>>{{"animals:zebra.ini", 0xFFFF},
                                                                   {"animals:lion.ini", 0xFFFF}}));
    EXPECT_TRUE(game.getAnimalKindsToLoad().empty());
    EXPECT_FALSE(calls.initOnMainThread);
    ASSERT_GE(firstUpdate, 0.0);
    EXPECT_GE(firstUpdate - began, 4.5);
    // The wait is a few sleeps, not a busy loop.
    EXPECT_GT(LoadingClock::loaderSleptMs(), 3000);
    EXPECT_LE(LoadingClock::loaderSleeps(), 50);

    // Nothing registered: every known kind is read whole.
    read.clear();
    game.requestState(STATE_CATCH_ANIMAL);
    ASSERT_TRUE(g.h.waitForState(STATE_CATCH_ANIMAL, kPatience));
    EXPECT_EQ(read.size(), 4u);
    for (const auto& [path, mask] : read)
        EXPECT_EQ(mask, 0xFFFFu) << path;
    EXPECT_EQ(LoadingClock::takeProgress(), (Progress{50, 75, 100, 100, 95, 99}));

    // No kinds at all: no step to divide by.
    game.animalKindFiles().clear();
    game.requestState(STATE_PLAY);
    ASSERT_TRUE(g.h.waitForState(STATE_PLAY, kPatience));
    EXPECT_EQ(LoadingClock::takeProgress(), (Progress{95, 99}));
}

TEST(GameLoading, ScreensAfterGameplayReloadBehindTheLoadingScreen)
{
    LoadedGame g;
    StateCalls playCalls, mapCalls;
    ScopedStateClass play = gameplay(STATE_PLAY, playCalls);
    ScopedStateClass map(STATE_MAP, [&] { return new TestScreen(STATE_MAP, mapCalls, "", false); });
    g.start();
    g.h.game().requestState(STATE_PLAY);
    ASSERT_TRUE(g.h.waitForState(STATE_PLAY, kPatience));
    (void)LoadingClock::takeProgress();

    g.h.game().requestState(STATE_MAP);
    const double began = LoadingClock::seconds();
    ASSERT_TRUE(g.h.waitForState(STATE_MAP, kPatience));
    EXPECT_GE(LoadingClock::seconds() - began, 4.5);
    EXPECT_FALSE(mapCalls.initOnMainThread);
    EXPECT_NE(g.h.game().getScreenImageManager(), nullptr);
    EXPECT_EQ(LoadingClock::takeProgress(), (Progress{0, 11, 22, 33, 44, 55, 66, 77, 99}));
}

// Every hand-over waits for the frame that may be drawing the loading
// screen; frames run all the time, and the level's init replaces the scene
// under the screen's lock while they draw it. Run under ThreadSanitizer to
// see the whole of it.
TEST(GameLoading, TwoHundredHandOversWhileFramesDraw)
{
    LoadedGame g;
    StateCalls calls;
    std::atomic<int> scenesMade{0};
    ScopedStateClass play = gameplay(STATE_PLAY, calls);
    ScopedStateClass catchAnimal = gameplay(STATE_CATCH_ANIMAL, calls);
    g.start();
    cGame& game = g.h.game();
    game.kindLoaders().animalKindFile = [&](const std::string&, uint32_t) {
        if (cLoadingScreen* screen = cLoadingScreen::getSingletonPtr()) {
            screen->startScenario();
            ++scenesMade;
        }
    };
    game.animalKindFiles()[crc32_string("zebra")] = "animals:zebra.ini";

    for (int i = 0; i < 200; ++i) {
        game.requestState(i % 2 ? STATE_CATCH_ANIMAL : STATE_PLAY);
        ASSERT_TRUE(g.h.waitForState(i % 2 ? STATE_CATCH_ANIMAL : STATE_PLAY, kPatience)) << "load " << i;
        ASSERT_EQ(game.getLoaderEvent(), nullptr);
        ASSERT_EQ(cLoadingScreen::getSingletonPtr(), nullptr);
    }
    EXPECT_EQ(scenesMade.load(), 200);
    EXPECT_EQ(calls.inits, 200);
}
