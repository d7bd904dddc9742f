// The busy river park played through the real play state, for the
// benchmarks that measure the game's whole frame: a home of its own, the
// offscreen GL device, unthrottled frames, the start-up clicked through, the
// level entered and its intro's goals window closed.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include "game/game.h"
#include "game/park/goalswindow.h"
#include "game/park/level.h"
#include "game/park/playstate.h"
#include "orvo/platform/a_inputdevice.h"
#include "orvo/platform/gpu/a_gpudevicegl.h"
#include "support/temp_dir.h"

class BenchGame : public cGame {
public:
    using aApplication::runFrame;
};

inline const char* const kBusyKinds[] = {"warthog", "zebra", "rhino", "hippo", "cheetah", "lion"};

// Points the per-user folders at `home`, so no benchmark touches the user's files.
inline void bench_useHome(const kbtest::TempDir& home)
{
    for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"})
        setenv(name, home.path().c_str(), 1);
}

// Frames with a click in the middle of the screen (through the splash, the
// loading screen and the name window) until `done` holds.
template <typename Done> void bench_clickThrough(BenchGame& game, aScriptedInputDevice& pointer, Done done)
{
    int32_t result = 0;
    for (int i = 0; i < 4000 && !done(); ++i) {
        pointer.setCursor(512, 384);
        pointer.setButton(0, true);
        game.runFrame(result);
        pointer.setButton(0, false);
        game.runFrame(result);
    }
}

// The game started with `input` and the river level in play, its goals
// window closed. Null, with the benchmark skipped and the reason given,
// when the game or the level does not start.
inline cPlayState* bench_startBusyPlay(BenchGame& game, std::unique_ptr<aScriptedInputDevice> input,
                                       benchmark::State& state)
{
    cGameState::setClass(STATE_PLAY, [] { return new cPlayState(); });
    aScriptedInputDevice& pointer = *input;
    game.useDevices(std::make_unique<aGpuDeviceGL>(), std::move(input));
    game.setFixedFrameTime(1.0f / 60.0f);
    game.setFramePacing(false); // unthrottled frames: the benchmarks measure them
    game.setFixedLoaderSeed(5);
    if (game.init("Kesterby", nullptr, "", "Brindlewick") != 0) {
        state.SkipWithError("cGame::init failed (SDL_VIDEODRIVER=offscreen?)");
        return nullptr;
    }
    bench_clickThrough(game, pointer, [&] { return !game.loadingThreadRuns() && game.getParticles(); });
    auto* play = dynamic_cast<cPlayState*>(cGameState::getOrCreate(STATE_PLAY));
    play->setLevel("levels:River.ini");
    game.requestState(STATE_PLAY);
    bench_clickThrough(game, pointer, [&] {
        return game.getCurrentState() == play && play->isInitiated() && !game.loadingThreadRuns();
    });
    if (!play->getLevel()) {
        state.SkipWithError("River.ini did not load in the play state");
        return nullptr;
    }
    // Past the intro: the goals window opens and is closed.
    int32_t result = 0;
    for (int i = 0; i < 40; ++i)
        game.runFrame(result);
    if (play->getGoalsWindow())
        play->getGoalsWindow()->close();
    return play;
}
