// The level's frame step.
//  - LevelFrame: the fenced park with 100 warthogs and zebras and three
//    hunters (hunting, shooting, leaving; the waves on) for 1,000 frames of
//    1/30 s: every list updated and swept, the draw list filled and sorted.
//    Counter: microseconds per frame. Without the game object: no sounds,
//    no particles and no food pictures.
#include <benchmark/benchmark.h>

#include <chrono>

#include "game/park/animal.h"
#include "game/park/bonus.h"
#include "game/park/food.h"
#include "game/park/level.h"
#include "game/park/poacher.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/util/a_random.h"
#include "shipped_park.h"
#include "support/app_fixture.h"

namespace {

void LevelFrame(benchmark::State& state)
{
    kbtest::TestApp app;
    aGraphServer graph(1024, 768, false, false, true, "bench", 0, false, true, kbtest::recorder());
    bench_useShippedPark(
        app, {"levels:Levels/", "animals:Animals/", "foods:Foods/", "sprites:Sprites/", "gui:GUI/", "poachers:Poachers/"});
    cPoacher::loadKinds("poachers:hunter/hunter.ini");
    constexpr int kAnimals = 100, kFrames = 1000;
    constexpr float kDt = 1.0f / 30.0f;
    double microseconds = 0.0;
    int64_t drawn = 0, shots = 0;
    for (auto _ : state) {
        state.PauseTiming();
        a_srand(5);
        cLevel level("levels:Level01.ini", true);
        if (!level.loaded)
            state.SkipWithError("Level01 did not load");
        while (level.animals.size() < kAnimals)
            level.spawnAnimals(level.animals.size() % 2 ? "zebra" : "warthog", true);
        for (int i = 0; i < 3; ++i)
            level.spawnPoacherWave("hunter");
        const size_t before = level.animals.size();
        state.ResumeTiming();
        const auto began = std::chrono::steady_clock::now();
        for (int frame = 0; frame < kFrames; ++frame) {
            level.frameStep(kDt);
            drawn += static_cast<int64_t>(g_drawList.size());
        }
        microseconds += std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - began).count();
        state.PauseTiming();
        shots += static_cast<int64_t>(before) - static_cast<int64_t>(level.animals.size());
        level.release();
        g_drawList.clear();
        state.ResumeTiming();
    }
    const double frames = kFrames * static_cast<double>(state.iterations());
    state.counters["us_per_frame"] = microseconds / frames;
    state.counters["drawn_per_frame"] = static_cast<double>(drawn) / frames;
    state.counters["animals_gone"] = static_cast<double>(shots) / static_cast<double>(state.iterations());
    cPoacher::releaseKinds();
    cAnimal::releaseKinds();
    cFood::releaseKinds();
    cBonus::releaseKinds();
}
BENCHMARK(LevelFrame)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
