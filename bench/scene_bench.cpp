// A busy park on the offscreen OpenGL renderer (Mesa llvmpipe, 1024 x 768),
// the whole game's frame budget: the river level (water with its surface and
// foam, two cloud layers, its decorations and butterflies), 60 animals of
// the six kinds (children and adults, living their lives: walking, idling,
// turning, each with its kind's shadow) and 20 particle systems.
//  - BusyPark: frames per second of the whole frame (update, draw, present).
//    Counters: update_submit_ms (CPU time of the simulation step and of
//    issuing every draw, before the present; llvmpipe bins on this thread),
//    update_ms (the level's frame step and the particles' step), draw_calls and primitives of a
//    frame, scene_draw_calls (the level's layers alone).
//  - BusyParkWithHud: the same park played in the play state: the game's
//    whole frame (the level's step, the HUD's input, the scene, the play
//    layout, the goals panel, timers, pips, buy buttons and their cooldown
//    sweeps, fly-away texts, present). Counters: fps, frame_ms, draw_calls,
//    hud_draw_calls (what the frame draws beyond the scene), peak_rss_mb (the
//    process with a busy level in play).
// Run with SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy; LP_NUM_THREADS
// sets llvmpipe's render threads.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "busy_play.h"
#include "game/game.h"
#include "game/park/animal.h"
#include "game/park/level.h"
#include "game/park/playstate.h"
#include "orvo/app/a_optionsfile.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_particlesmanager.h"
#include "orvo/platform/a_inputdevice.h"
#include "orvo/platform/gpu/a_gpudevice.h"
#include "orvo/platform/gpu/a_gpudevicegl.h"
#include "orvo/util/a_random.h"
#include "resident_memory.h"

namespace {

using Clock = std::chrono::steady_clock;

void BusyPark(benchmark::State& state)
{
    kbtest::TempDir home("bench-home");
    bench_useHome(home);
    auto game = std::make_unique<BenchGame>();
    if (!bench_startGame(*game, std::make_unique<aScriptedInputDevice>(), state))
        return;
    aGraphServer* graph = game->getGraphServer();
    aGpuDevice* device = graph->getDevice();

    bench_loadBusyKinds();
    a_srand(5);
    cLevel level("levels:River.ini", true);
    if (!level.loaded) {
        state.SkipWithError("River.ini did not load");
        return;
    }
    for (int i = 0; i < 60; ++i) {
        if (!level.spawnAnimals(kBusyKinds[i % 6], true)) {
            state.SkipWithError("an animal could not be placed");
            return;
        }
        if (i % 2)
            level.animals.back()->makeGrown(false);
    }
    level.createButterflies(3);
    aParticlesManager* particles = game->getParticles();
    if (!bench_addBusyEffects(*particles)) {
        state.SkipWithError("a particle template is missing");
        return;
    }

    const float dt = 1.0f / 60.0f;
    double cpuSeconds = 0.0, updateSeconds = 0.0, wallSeconds = 0.0;
    uint64_t frames = 0;
    uint32_t drawCalls = 0, primitives = 0, sceneCalls = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        level.frameStep(dt);
        particles->updateLayers(dt, 0, 2);
        const auto updated = Clock::now();
        if (!graph->beginScene())
            continue;
        const uint32_t before = device->currentStats().drawCalls;
        level.draw();
        device->flushPendingBatch();
        sceneCalls = device->currentStats().drawCalls - before;
        particles->renderLayers(0, 1);
        device->flushPendingBatch();
        const auto submitted = Clock::now();
        graph->endScene();
        const auto end = Clock::now();
        cpuSeconds += std::chrono::duration<double>(submitted - start).count();
        updateSeconds += std::chrono::duration<double>(updated - start).count();
        wallSeconds += std::chrono::duration<double>(end - start).count();
        drawCalls = device->lastFrameStats().drawCalls;
        primitives = device->lastFrameStats().primitives;
        ++frames;
    }
    if (frames > 0) {
        state.counters["fps"] = static_cast<double>(frames) / wallSeconds;
        state.counters["update_submit_ms"] = cpuSeconds * 1000.0 / static_cast<double>(frames);
        state.counters["update_ms"] = updateSeconds * 1000.0 / static_cast<double>(frames);
        state.counters["draw_calls"] = drawCalls;
        state.counters["scene_draw_calls"] = sceneCalls;
        state.counters["primitives"] = primitives;
    }
    const char* threads = std::getenv("LP_NUM_THREADS");
    state.SetLabel(std::string("LP_NUM_THREADS=") + (threads ? threads : "default"));
    level.release();
    cAnimal::releaseKinds();
    game->shutdown();
}
BENCHMARK(BusyPark)->Iterations(600)->Unit(benchmark::kMillisecond);

void BusyParkWithHud(benchmark::State& state)
{
    BusyPlay busy(state);
    if (!busy.play)
        return;
    BenchGame* game = busy.game.get();
    cLevel* level = busy.play->getLevel();
    int32_t result = 0;
    for (int i = 0; i < 60; ++i)
        game->runFrame(result);
    bench_loadBusyKinds();
    a_srand(5);
    level->money = 100000;
    for (int i = 0; i < 60; ++i) {
        if (!level->spawnAnimals(kBusyKinds[i % 6], true)) {
            state.SkipWithError("an animal could not be placed");
            return;
        }
        if (i % 2)
            level->animals.back()->makeGrown(false);
    }
    bench_addBusyEffects(*game->getParticles());
    // The pointer rests over the park, so the tools' picking runs every frame.
    busy.pointer->setCursor(500, 400);
    aGpuDevice* device = game->getGraphServer()->getDevice();
    double wallSeconds = 0.0;
    uint64_t frames = 0;
    uint32_t drawCalls = 0, sceneCalls = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        game->runFrame(result);
        wallSeconds += std::chrono::duration<double>(Clock::now() - start).count();
        drawCalls = device->lastFrameStats().drawCalls;
        ++frames;
    }
    // The scene's own share, drawn once more on its own (the step refills the draw list).
    level->frameStep(0.0f);
    if (game->getGraphServer()->beginScene()) {
        const uint32_t before = device->currentStats().drawCalls;
        level->draw();
        device->flushPendingBatch();
        sceneCalls = device->currentStats().drawCalls - before;
        game->getGraphServer()->endScene();
    }
    if (frames > 0) {
        state.counters["fps"] = static_cast<double>(frames) / wallSeconds;
        state.counters["frame_ms"] = wallSeconds * 1000.0 / static_cast<double>(frames);
        state.counters["draw_calls"] = drawCalls;
        state.counters["hud_draw_calls"] = drawCalls > sceneCalls ? drawCalls - sceneCalls : 0;
    }
    // The whole game with a busy level in play: its peak resident memory.
    state.counters["peak_rss_mb"] = bench_peakResidentMb();
    const char* threads = std::getenv("LP_NUM_THREADS");
    state.SetLabel(std::string("LP_NUM_THREADS=") + (threads ? threads : "default"));
}
BENCHMARK(BusyParkWithHud)->Iterations(600)->Unit(benchmark::kMillisecond);

} // namespace
