// Resident memory over a long game: the busy park of scene_bench's
// BusyParkWithHud (the river level in the play state, 60 animals of the six
// kinds, 20 particle systems, the HUD) played unthrottled for ten minutes of
// game time (KB_SOAK_MINUTES changes it), its resident memory read from
// /proc every 30 s of game time.
//  - BusyParkSoak counters: rss_first_mb (one game minute in), rss_last_mb,
//    growth_mb (last minus first), peak_rss_mb; each sample is printed.
//    Animals die, are poached and sold; the park is filled up to 60 at
//    every sample, so animals come and go all the time.
// Run with SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "busy_play.h"
#include "game/game.h"
#include "game/park/animal.h"
#include "game/park/goalswindow.h"
#include "game/park/level.h"
#include "game/park/playstate.h"
#include "orvo/gfx/a_particlesmanager.h"
#include "orvo/platform/a_inputdevice.h"
#include "orvo/platform/gpu/a_gpudevicegl.h"
#include "orvo/util/a_random.h"
#include "resident_memory.h"
#include "support/temp_dir.h"

namespace {

const auto& kKinds = kBusyKinds;

double residentMb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atof(line.c_str() + 6) / 1024.0;
    return 0.0;
}

void BusyParkSoak(benchmark::State& state)
{
    kbtest::TempDir home("bench-home");
    bench_useHome(home);
    const char* minutesText = std::getenv("KB_SOAK_MINUTES");
    const int minutes = minutesText && std::atoi(minutesText) > 1 ? std::atoi(minutesText) : 10;
    auto game = std::make_unique<BenchGame>();
    auto input = std::make_unique<aScriptedInputDevice>();
    aScriptedInputDevice* pointer = input.get();
    cPlayState* play = bench_startBusyPlay(*game, std::move(input), state);
    if (!play)
        return;
    cLevel* level = play->getLevel();
    int32_t result = 0;
    for (const char* kind : kKinds)
        if (!cAnimal::findKindByName(kind))
            cAnimal::loadKindFile(std::string("animals:") + kind + "/" + kind + ".ini", cAnimalKind::MASK_ALL);
    a_srand(5);
    // Animals die, are taken and sold: the park is filled up again every sample.
    int spawned = 0;
    const auto fillUp = [&] {
        for (int tries = 0; level->animals.size() < 60 && tries < 120; ++tries, ++spawned)
            if (level->spawnAnimals(kKinds[spawned % 6], true) && spawned % 2)
                level->animals.back()->makeGrown(false);
    };
    fillUp();
    aParticlesManager* particles = game->getParticles();
    for (int i = 0; i < 20; ++i) {
        const char* name = i < 6 ? "WATER_WAVE" : i % 2 ? "FIREFLY" : "ACTIVE_BTN";
        particles->Add(name, i < 6 ? 40.0f + (i % 3) * 60.0f : 300.0f + (i % 5) * 150.0f,
                       i < 6 ? 420.0f + (i / 3) * 150.0f : 200.0f + (i / 5) * 130.0f, i < 6 ? 2 : 0, false, true);
    }
    pointer->setCursor(500, 400);

    constexpr int kSampleFrames = 30 * 60;
    double first = 0.0, last = 0.0;
    for (auto _ : state) {
        for (int frame = 1; frame <= minutes * 60 * 60; ++frame) {
            // Money never runs out: the park stays in play however the animals fare.
            level->money = 100000;
            game->runFrame(result);
            if (frame % kSampleFrames == 0) {
                last = residentMb();
                if (frame == 2 * kSampleFrames)
                    first = last;
                std::printf("  game %4d s: %.1f MB resident, %zu animals\n", frame / 60, last, level->animals.size());
                std::fflush(stdout);
                fillUp();
            }
        }
    }
    state.counters["rss_first_mb"] = first;
    state.counters["rss_last_mb"] = last;
    state.counters["growth_mb"] = last - first;
    state.counters["peak_rss_mb"] = bench_peakResidentMb();
    game->shutdown();
    cGameState::setClass(STATE_PLAY, nullptr);
}
BENCHMARK(BusyParkSoak)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
