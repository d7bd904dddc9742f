// The loading routines seen from the frame loop, on fake time: level loads with their minimum time,
// and many hand-overs while frames are drawn.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "game/app/loadingscreen.h"
#include "game/park/playstate.h"
#include "game/screens/mapstate.h"
#include "game/support/loading_game.h"
#include "orvo/gfx/a_picturecache.h"
#include "orvo/platform/gpu/a_gpudevicerecorder.h"
#include "orvo/util/a_crc32.h"

using namespace kbtest;

using Progress = std::vector<uint16_t>;

namespace {

// A load that ends after so many frames: more than a wait's bound on the frames it counts.
constexpr int kLongLoadFrames = 2000;
std::atomic<int> g_loadFrames{0};

uint32_t loadForManyFrames(void* parameter)
{
    auto* game = static_cast<cGame*>(parameter);
    cLoaderEvent* frameEnded = game->getLoaderEvent();
    for (g_loadFrames = 0; g_loadFrames < kLongLoadFrames && frameEnded->wait(); ++g_loadFrames)
        frameEnded->reset();
    game->setFlags(cGame::FLAG_DRAW);
    return 0;
}

} // namespace

TEST(GameLoading, LevelLoadsTakeFourAndAHalfSecondsAndHandOverSafely)
{
    LoadedGame g;
    StateCalls playCalls, catchCalls;
    double firstUpdate = -1.0;
    ScopedStateClass play = gameplay(STATE_PLAY, playCalls, &firstUpdate);
    ScopedStateClass catchAnimal = gameplay(STATE_CATCH_ANIMAL, catchCalls);
    g.start();
    cGame& game = g.h.game();
    using Reads = std::vector<std::pair<std::string, uint32_t>>;
    Reads read;
    game.kindLoaders().animalKindFile = [&](const std::string& path, uint32_t mask) { read.emplace_back(path, mask); };
    game.animalKindFiles().clear();
    for (const char* kind : {"zebra", "lion", "hippo", "rhino"})
        game.animalKindFiles()[crc32_string(kind)] = std::string("animals:") + kind + ".ini";
    // Each kind once, with its first mask; one without a kind file is skipped.
    for (const auto& [kind, mask] : {std::pair{"zebra", 0xFFFF}, {"lion", 163}, {"zebra", 163}, {"unknown", 0xFFFF}})
        game.registerAnimalKind(kind, mask);
    const double began = LoadingClock::seconds();
    // The start's load is not counted: its click wait polls for as long as real time takes to bring the click.
    const int64_t sleepsBefore = LoadingClock::loaderSleeps(), sleptBefore = LoadingClock::loaderSleptMs();
    g.enter(STATE_PLAY);
    g.h.frame();
    EXPECT_EQ(read, (Reads{{"animals:zebra.ini", 0xFFFF}, {"animals:lion.ini", 163}}));
    EXPECT_GE(firstUpdate - began, 4.5);
    // The wait is sleeps, not a busy loop (thousands).
    EXPECT_GT(LoadingClock::loaderSleptMs() - sleptBefore, 3000);
    EXPECT_LE(LoadingClock::loaderSleeps() - sleepsBefore, 200);
    // Nothing registered: every known kind is read whole.
    read.clear();
    g.enter(STATE_CATCH_ANIMAL);
    EXPECT_EQ(read.size(), 4u);
    // No kinds at all: no step to divide by.
    game.animalKindFiles().clear();
    (void)LoadingClock::takeProgress();
    g.enter(STATE_PLAY);
    EXPECT_EQ(LoadingClock::takeProgress(), (Progress{95, 99}));
    // Every hand-over waits for the frame that may be drawing the loading screen; each load replaces
    // the scene under the screen's lock while frames draw it (ThreadSanitizer sees the whole of it).
    int scenes = 0;
    game.kindLoaders().animalKindFile = [&](const std::string&, uint32_t) {
        cLoadingScreen::getSingletonPtr()->startScenario();
        ++scenes;
    };
    game.animalKindFiles().clear();
    game.animalKindFiles()[crc32_string("zebra")] = "animals:zebra.ini";
    for (int i = 0; i < 200; ++i) {
        g.enter(i % 2 ? STATE_PLAY : STATE_CATCH_ANIMAL); // the other state: the same one restarts
        ASSERT_EQ(game.getLoaderEvent(), nullptr) << i;
        ASSERT_EQ(cLoadingScreen::getSingletonPtr(), nullptr) << i;
    }
    EXPECT_EQ(scenes, 200);
}

// The busy park must stay small: a level holds no kept picture (and its loads make none to offer), so it and
// the screens after it decode anew.
TEST(GameLoading, PicturesAreKeptForTheScreensAndNoneWhileALevelRuns)
{
    LoadedGame g;
    ScopedStateClass play{STATE_PLAY, [] { return new cPlayState(); }};
    ScopedStateClass map{STATE_MAP, [] { return new cMapState(); }};
    g.start();
    g.h.makePlayer();
    g.enter(STATE_MAP);
    aPictureCache& kept = aPictureCache::instance();
    EXPECT_GT(kept.bytes(), 0u) << "the screens' pictures are kept from the start";
    // Decoded pictures are written into their textures; kept ones are not.
    const auto decodedWhileEntering = [&](int32_t id) {
        const size_t before = g.h.recorder()->count(aGpuCall::TextureLock);
        g.enter(id);
        return g.h.recorder()->count(aGpuCall::TextureLock) - before;
    };
    cGameState::find(STATE_PLAY)->setLevel("levels:Level02.ini");
    const size_t refusedBefore = kept.refusals();
    const size_t first = decodedWhileEntering(STATE_PLAY);
    EXPECT_EQ(kept.bytes(), 0u) << "none while the level runs";
    EXPECT_EQ(kept.refusals(), refusedBefore) << "the level's loads offer no copy to be refused";
    const size_t mapAgain = decodedWhileEntering(STATE_MAP);
    EXPECT_GT(kept.bytes(), 0u);
    const size_t second = decodedWhileEntering(STATE_PLAY);
    EXPECT_GT(first, 100u) << "two kinds of animals, five directions of every state";
    EXPECT_EQ(second, first);
    EXPECT_GT(mapAgain, 3u) << "the screens decode their pictures again";
}

// A load takes real time, which a fast machine fills with more frames than a
// slow one: a test waits it out however many frames it spans.
TEST(GameLoading, ATestWaitsOutALoadHoweverManyFramesItSpans)
{
    LoadedGame g;
    g.start();
    for (const bool forTheState : {true, false}) {
        g.h.game().startLoader(&loadForManyFrames);
        EXPECT_TRUE(forTheState ? g.h.waitForState(STATE_MENU) : g.h.waitForLoad());
        EXPECT_EQ(g_loadFrames, kLongLoadFrames);
    }
}
