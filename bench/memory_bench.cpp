// Resident memory over a long game: the busy park of scene_bench's
// BusyParkWithHud (the river level in the play state, 60 animals of the six
// kinds, 20 particle systems, the HUD) played unthrottled for ten minutes of
// game time (KB_SOAK_MINUTES changes it), its resident memory read from
// /proc every 30 s of game time.
//  - BusyParkSoak counters: rss_first_mb (one game minute in), rss_last_mb,
//    growth_mb (last minus first), peak_rss_mb; each sample is printed, with
//    the bytes of the decoded pictures kept for later loads.
//    Animals die, are poached and sold; the park is filled up to 60 at
//    every sample, so animals come and go all the time.
// Run with SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "busy_play.h"
#include "game/game.h"
#include "game/park/animal.h"
#include "game/park/level.h"
#include "game/park/playstate.h"
#include "orvo/gfx/a_picturecache.h"
#include "orvo/util/a_random.h"
#include "resident_memory.h"

namespace {

void BusyParkSoak(benchmark::State& state)
{
    const char* minutesText = std::getenv("KB_SOAK_MINUTES");
    const int minutes = minutesText && std::atoi(minutesText) > 1 ? std::atoi(minutesText) : 10;
    BusyPlay busy(state);
    if (!busy.play)
        return;
    BenchGame* game = busy.game.get();
    cLevel* level = busy.play->getLevel();
    int32_t result = 0;
    bench_loadBusyKinds();
    a_srand(5);
    // Animals die, are taken and sold: the park is filled up again every sample.
    int spawned = 0;
    const auto fillUp = [&] {
        for (int tries = 0; level->animals.size() < 60 && tries < 120; ++tries, ++spawned)
            if (level->spawnAnimals(kBusyKinds[spawned % 6], true) && spawned % 2)
                level->animals.back()->makeGrown(false);
    };
    fillUp();
    bench_addBusyEffects(*game->getParticles());
    busy.pointer->setCursor(500, 400);

    constexpr int kSampleFrames = 30 * 60;
    double first = 0.0, last = 0.0;
    for (auto _ : state) {
        for (int frame = 1; frame <= minutes * 60 * 60; ++frame) {
            // Money never runs out: the park stays in play however the animals fare.
            level->money = 100000;
            game->runFrame(result);
            if (frame % kSampleFrames == 0) {
                last = bench_residentMb();
                if (frame == 2 * kSampleFrames)
                    first = last;
                std::printf("  game %4d s: %.1f MB resident, %.1f MB of kept pictures, %zu animals\n", frame / 60, last,
                            static_cast<double>(aPictureCache::instance().bytes()) / (1 << 20), level->animals.size());
                std::fflush(stdout);
                fillUp();
            }
        }
    }
    state.counters["rss_first_mb"] = first;
    state.counters["rss_last_mb"] = last;
    state.counters["growth_mb"] = last - first;
    state.counters["peak_rss_mb"] = bench_peakResidentMb();
}
BENCHMARK(BusyParkSoak)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
