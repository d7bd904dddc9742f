// The game on the offscreen OpenGL renderer, headless (no window shown):
//  - StartToFirstFrame: from making the game object through cGame::init
//    (log, settings, locale, window and device, cursor and shadow images,
//    music) and the initial load (clicked through at once) to the end of the
//    first frame drawn; shutdown is not timed.
//  - IdleFrame: one turn of the frame loop with no state: input, update and
//    an empty frame presented (the floor every screen's frame stands on).
// Run with SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy (scripts/bench does).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "game/game.h"
#include "orvo/platform/a_eventpump.h"
#include "orvo/platform/a_inputdevice.h"
#include "support/temp_dir.h"

namespace {

class BenchGame : public cGame {
public:
    using aApplication::runFrame;
};

// The game's per-user folders in a temporary home for the whole program.
const std::string& benchHome()
{
    static kbtest::TempDir home("game-bench");
    static bool set = false;
    if (!set) {
        const std::string h = home.path();
        setenv("HOME", h.c_str(), 1);
        setenv("XDG_DATA_HOME", (h + "/.local/share").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (h + "/run").c_str(), 1);
        std::filesystem::create_directories(h + "/run");
        // The start is measured without the branding's splash, which lasts its own seconds.
        const std::string user = h + "/.local/share/Brindlewick/Kesterby/";
        std::filesystem::create_directories(user);
        std::ofstream(user + "config.ini", std::ios::binary) << "[COMMON]\r\nLoadingScene=0\r\nSplashScreen=0\r\n";
        set = true;
    }
    return home.path();
}

// The input of the game started last.
aScriptedInputDevice* g_input = nullptr;

std::unique_ptr<BenchGame> startGame()
{
    benchHome();
    auto game = std::make_unique<BenchGame>();
    game->setEventPump(std::make_unique<aScriptedEventPump>());
    auto input = std::make_unique<aScriptedInputDevice>();
    g_input = input.get();
    game->useDevices(nullptr, std::move(input));
    game->setFramePacing(false);
    if (game->init("Kesterby", nullptr, "", "Brindlewick") != 0)
        return nullptr;
    return game;
}

// Frames until one was drawn after the initial load; the player clicks
// through the loading screen's wait at once.
void runToFirstFrame(BenchGame& game)
{
    int32_t result = 0;
    g_input->setCursor(512, 384);
    for (bool down = true; !(game.getFlags() & cGame::FLAG_DRAW) || game.loadingThreadRuns(); down = !down) {
        g_input->setButton(0, down);
        game.runFrame(result);
    }
    g_input->setButton(0, false);
    game.runFrame(result);
}

void StartToFirstFrame(benchmark::State& state)
{
    for (auto _ : state) {
        std::unique_ptr<BenchGame> game = startGame();
        if (!game) {
            state.SkipWithError("the game did not start");
            return;
        }
        runToFirstFrame(*game);
        state.PauseTiming();
        game->shutdown();
        game.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(StartToFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(10);

void IdleFrame(benchmark::State& state)
{
    std::unique_ptr<BenchGame> game = startGame();
    if (!game) {
        state.SkipWithError("the game did not start");
        return;
    }
    runToFirstFrame(*game);
    int32_t result = 0;
    for (auto _ : state)
        game->runFrame(result);
    game->shutdown();
}
BENCHMARK(IdleFrame)->Unit(benchmark::kMicrosecond);

} // namespace
