// The initial load of the game on the full data set, headless (offscreen
// OpenGL through Mesa, dummy audio), without the click wait: the time from
// the end of cGame::init to the moment the loading screen reports 100, with
// the time of each stretch between progress values, and the process's peak
// resident memory after it. Then each group of the load's resources is read
// again into fresh managers on its own, to show what dominates.
#include <benchmark/benchmark.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

#include "game/game.h"
#include "game/app/loadingscreen.h"
#include "orvo/gfx/a_imagemanager.h"
#include "orvo/gfx/a_particlesmanager.h"
#include "orvo/platform/a_inputdevice.h"
#include "orvo/platform/gpu/a_gpudevicegl.h"
#include "orvo/sound/a_soundmanager.h"
#include "resident_memory.h"
#include "support/temp_dir.h"

namespace {

using Clock = std::chrono::steady_clock;

class BenchGame : public cGame {
public:
    using aApplication::runFrame;
};

// When each progress value was first reported.
std::array<std::atomic<int64_t>, 101> g_reached;

int64_t now()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch()).count();
}

void onProgress(uint16_t percent)
{
    int64_t none = 0;
    g_reached[percent].compare_exchange_strong(none, now());
}

double seconds(int64_t from, int64_t to)
{
    return static_cast<double>(to - from) / 1e6;
}

template <typename Load> double timed(Load load)
{
    const int64_t start = now();
    load();
    return seconds(start, now());
}

void BM_InitialLoad(benchmark::State& state)
{
    kbtest::TempDir home("bench-home");
    for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"})
        setenv(name, home.path().c_str(), 1);

    for (auto _ : state) {
        for (auto& t : g_reached)
            t = 0;
        cLoadingScreen::setProgressObserver(&onProgress);
        auto game = std::make_unique<BenchGame>();
        game->useDevices(std::make_unique<aGpuDeviceGL>(), std::make_unique<aScriptedInputDevice>());
        game->setFixedFrameTime(1.0f / 30.0f);
        game->setFramePacing(false);
        state.counters["peak_rss_before_init_mb"] = bench_peakResidentMb();
        const int64_t started = now();
        if (game->init("Kesterby", nullptr, "", "Brindlewick") != 0) {
            state.SkipWithError("cGame::init failed");
            return;
        }
        const int64_t loading = now();
        const double initPeak = bench_peakResidentMb();
        int32_t result = 0;
        while (g_reached[100] == 0)
            game->runFrame(result);
        const int64_t done = g_reached[100];

        state.SetIterationTime(seconds(loading, done));
        state.counters["init_s"] = seconds(started, loading);
        state.counters["load_s"] = seconds(loading, done);
        state.counters["to30_lists_s"] = seconds(loading, g_reached[30]);
        state.counters["to35_particles_states_s"] = seconds(g_reached[30], g_reached[35]);
        state.counters["to60_kinds_s"] = seconds(g_reached[35], g_reached[60]);
        state.counters["to100_screens_s"] = seconds(g_reached[60], done);
        state.counters["peak_rss_mb"] = bench_peakResidentMb();
        state.counters["peak_rss_after_init_mb"] = initPeak;

        // The groups again, each into a fresh manager, on this thread.
        const std::string language = game->settings().languageFolder;
        state.counters["sounds_load_screen_s"] = timed([] {
            aSoundManager sounds;
            sounds.loadList("sounds:load_screen.list");
        });
        state.counters["sounds_common_s"] = timed([] {
            aSoundManager sounds;
            sounds.loadList("sounds:common.list");
        });
        state.counters["sounds_ambient_s"] = timed([] {
            aSoundManager sounds;
            sounds.loadList("sounds:Ambient/sounds.list");
        });
        state.counters["images_gui_s"] = timed([] {
            aImageManager images;
            images.loadList("gui:gui.list");
        });
        state.counters["images_hud_particles_s"] = timed([&] {
            aImageManager images;
            images.loadList(language + "GUI/hud.list");
            images.loadList("particles:particle.list");
        });
        state.counters["sprites_common_s"] = timed([] {
            cSpriteRegistry registry;
            registry.loadSpriteIni("sprites:common.ini");
        });
        state.counters["particles_s"] = timed([&] {
            aParticlesManager particles("particles:config.ini", "particles:", game->getImageManager(), "");
        });
        state.counters["loading_screen_s"] = timed([] {
            cLoadingScreen screen("gui:progress.jng", "gui:progress_back.jng", 335, true);
            screen.startScenario();
        });

        // Ends the click wait: the quit releases the routine.
        game->shutdown();
        cLoadingScreen::setProgressObserver(nullptr);
    }
}
BENCHMARK(BM_InitialLoad)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
