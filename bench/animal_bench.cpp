// The park's animals.
//  - StepAnimals: 100 animals (warthogs and zebras, children and adults) on
//    the fenced park level live 1,000 frames of 1/30 s each: walking with
//    path search, idling, hunger with its food search, producing coins.
//    Counter: microseconds per animal-frame. Without the game object: no
//    sounds, no particles and no food pictures (so no food is laid out).
#include <benchmark/benchmark.h>

#include <chrono>

#include "game/park/animal.h"
#include "game/park/bonus.h"
#include "game/park/food.h"
#include "game/park/level.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/util/a_random.h"
#include "shipped_park.h"
#include "support/app_fixture.h"

namespace {

void StepAnimals(benchmark::State& state)
{
    kbtest::TestApp app;
    aGraphServer graph(1024, 768, false, false, true, "bench", 0, false, true, kbtest::recorder());
    bench_useShippedPark(app, {"levels:Levels/", "animals:Animals/", "foods:Foods/", "sprites:Sprites/", "gui:GUI/"});
    constexpr int kAnimals = 100, kFrames = 1000;
    constexpr float kDt = 1.0f / 30.0f;
    double microseconds = 0.0;
    int64_t animalFrames = 0, walking = 0, coins = 0;
    for (auto _ : state) {
        state.PauseTiming();
        a_srand(5);
        cLevel level("levels:Level01.ini", true);
        if (!level.loaded)
            state.SkipWithError("Level01 did not load");
        while (level.animals.size() < kAnimals)
            level.spawnAnimals(level.animals.size() % 2 ? "zebra" : "warthog", true);
        for (size_t i = 0; i < level.animals.size(); i += 2)
            if (level.animals[i]->child)
                level.animals[i]->makeGrown(false);
        state.ResumeTiming();
        const auto began = std::chrono::steady_clock::now();
        for (int frame = 0; frame < kFrames; ++frame) {
            level_updateList(level.foods, kDt);
            level_updateList(level.animals, kDt);
            level_updateList(level.bonuses, kDt);
            animalFrames += static_cast<int64_t>(level.animals.size());
            for (const cAnimal* animal : level.animals)
                walking += animal->path.empty() ? 0 : 1;
            coins += static_cast<int64_t>(level.bonuses.size());
        }
        microseconds += std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - began).count();
        state.PauseTiming();
        level.release();
        state.ResumeTiming();
    }
    const double frames = static_cast<double>(animalFrames);
    state.counters["us_per_animal_frame"] = animalFrames ? microseconds / frames : 0.0;
    state.counters["walking_share"] = animalFrames ? static_cast<double>(walking) / frames : 0.0;
    state.counters["coins_lying"] = static_cast<double>(coins) / (kFrames * static_cast<double>(state.iterations()));
    cAnimal::releaseKinds();
    cFood::releaseKinds();
    cBonus::releaseKinds();
}
BENCHMARK(StepAnimals)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
