// The busy river park for the benchmarks that measure the game's whole
// frame: a home of their own, the offscreen GL device, unthrottled frames,
// the start-up clicked through, the six kinds and the running effects; in
// the play state (BusyPlay) with the level entered and its intro closed.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "game/game.h"
#include "game/park/animal.h"
#include "game/park/goalswindow.h"
#include "game/park/level.h"
#include "game/park/playstate.h"
#include "orvo/gfx/a_particlesmanager.h"
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

// The game started headless with a scripted pointer, unthrottled, its
// start-up clicked through until the loading is done. False, with the
// benchmark skipped and the reason given, when it does not start.
inline bool bench_startGame(BenchGame& game, std::unique_ptr<aScriptedInputDevice> input, benchmark::State& state)
{
    aScriptedInputDevice& pointer = *input;
    game.useDevices(std::make_unique<aGpuDeviceGL>(), std::move(input));
    game.setFixedFrameTime(1.0f / 60.0f);
    game.setFramePacing(false); // unthrottled frames: the benchmarks measure them
    game.setFixedLoaderSeed(5);
    if (game.init("Kesterby", nullptr, "", "Brindlewick") != 0) {
        state.SkipWithError("cGame::init failed (SDL_VIDEODRIVER=offscreen?)");
        return false;
    }
    bench_clickThrough(game, pointer, [&] { return !game.loadingThreadRuns() && game.getParticles(); });
    return true;
}

// The six kinds of the busy park, those the level did not load already.
inline void bench_loadBusyKinds()
{
    for (const char* kind : kBusyKinds)
        if (!cAnimal::findKindByName(kind))
            cAnimal::loadKindFile(std::string("animals:") + kind + "/" + kind + ".ini", cAnimalKind::MASK_ALL);
}

// Effects that run on: waves on the water (layer 2), sparkles and fireflies
// over the park. False when a particle template is missing.
inline bool bench_addBusyEffects(aParticlesManager& particles)
{
    bool all = true;
    for (int i = 0; i < 20; ++i) {
        const char* name = i < 6 ? "WATER_WAVE" : i % 2 ? "FIREFLY" : "ACTIVE_BTN";
        const float x = i < 6 ? 40.0f + (i % 3) * 60.0f : 300.0f + (i % 5) * 150.0f;
        const float y = i < 6 ? 420.0f + (i / 3) * 150.0f : 200.0f + (i / 5) * 130.0f;
        all = particles.Add(name, x, y, i < 6 ? 2 : 0, false, true) && all;
    }
    return all;
}

// A benchmark's game in play on the river level, its goals window closed;
// `play` is null (and the benchmark skipped) when it did not start.
struct BusyPlay {
    explicit BusyPlay(benchmark::State& state)
    {
        bench_useHome(home);
        cGameState::setClass(STATE_PLAY, [] { return new cPlayState(); });
        auto input = std::make_unique<aScriptedInputDevice>();
        pointer = input.get();
        if (!(started = bench_startGame(*game, std::move(input), state)))
            return;
        auto* state_ = dynamic_cast<cPlayState*>(cGameState::getOrCreate(STATE_PLAY));
        state_->setLevel("levels:River.ini");
        game->requestState(STATE_PLAY);
        bench_clickThrough(*game, *pointer, [&] {
            return game->getCurrentState() == state_ && state_->isInitiated() && !game->loadingThreadRuns();
        });
        if (!state_->getLevel()) {
            state.SkipWithError("River.ini did not load in the play state");
            return;
        }
        // Past the intro: the goals window opens and is closed.
        int32_t result = 0;
        for (int i = 0; i < 40; ++i)
            game->runFrame(result);
        if (state_->getGoalsWindow())
            state_->getGoalsWindow()->close();
        play = state_;
    }
    ~BusyPlay()
    {
        if (started)
            game->shutdown();
        cGameState::setClass(STATE_PLAY, nullptr);
    }
    BusyPlay(const BusyPlay&) = delete;
    BusyPlay& operator=(const BusyPlay&) = delete;

    kbtest::TempDir home{"bench-home"};
    std::unique_ptr<BenchGame> game = std::make_unique<BenchGame>();
    aScriptedInputDevice* pointer = nullptr;
    cPlayState* play = nullptr;
    bool started = false;
};
