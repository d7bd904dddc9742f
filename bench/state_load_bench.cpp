// Level loads and screen reloads as the game runs them: the real game on the
// offscreen GL device (dummy audio), its frames unthrottled except for the
// loading screen's 30 a second, the loading thread's minimum time on screen
// skipped. For every shipped level, in the order of their names (the chain),
// the map enters it (LevelLoad/<level>) and the level goes back to the map
// (MapAfter/<level>); then every level is entered again as the first one
// after a start, with no decoded picture kept (LevelLoadCold/<level>). Each
// is timed from the request to the end of the new state's first frame.
// Counters (seconds; "cpu" is the CPU time of the thread doing the work,
// which a busy machine disturbs far less than the wall time):
//   total_s            wall time from the request to the end of the first frame
//   release_cpu_s      the frame that leaves the old state and starts the thread
//   work_cpu_s         the loading thread, up to its last progress value; of it,
//                      for a level kinds_cpu_s (animal kinds) and init_cpu_s (the
//                      play state: layout, level, poacher kinds); for the map
//                      states_cpu_s (the screens' pictures and lists) and
//                      init_cpu_s (the screens' queued sheets, the map's init)
//   work_s             wall time from the request to that last progress value
//   handover_s         wall time from there to the first frame of the new state
//   first_frame_cpu_s  that frame: the new state's first update and draw (uploads)
//   kept_mb            the packed pictures kept for later loads, afterwards
//   rss_mb, peak_rss_mb  the process's resident memory afterwards, and its peak so far
// A benchmark finds the game where it needs it (at the map, or in its
// level) and gets it there untimed when a filter skipped the one before.
#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "busy_play.h"
#include "game/park/playstate.h"
#include "game/screens/screenclasses.h"
#include "orvo/gfx/a_picturecache.h"
#include "orvo/platform/a_system.h"
#include "resident_memory.h"

namespace {

// Microseconds of the wall clock and of the calling thread's CPU.
struct Mark {
    int64_t wall = 0;
    int64_t cpu = 0;
};

int64_t micros(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<int64_t>(t.tv_sec) * 1000000 + t.tv_nsec / 1000;
}

Mark mark()
{
    return {micros(CLOCK_MONOTONIC), micros(CLOCK_THREAD_CPUTIME_ID)};
}

double seconds(int64_t from, int64_t to)
{
    return static_cast<double>(to - from) / 1e6;
}

std::thread::id g_mainThread;
// When each progress value was reported last, on the loading thread (whose
// CPU clock starts with it).
std::array<std::atomic<int64_t>, 101> g_wall, g_cpu;
std::atomic<int> g_lastProgress{-1};

void onProgress(uint16_t percent)
{
    const Mark now = mark();
    g_wall[percent] = now.wall;
    g_cpu[percent] = now.cpu;
    g_lastProgress = percent;
}

// The main thread sleeps as in the game (the loading screen's frame rate);
// the loading thread's wait for the minimum time does not.
void sleepOnTheMainThreadOnly(uint32_t ms)
{
    if (std::this_thread::get_id() == g_mainThread)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// The shipped level files, by name.
std::vector<std::string> shippedLevels()
{
    std::vector<std::string> names;
    const std::filesystem::path folder = std::filesystem::path(KB_TEST_DATA_DIR) / "../../data/Levels";
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".ini")
            names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

struct Trip {
    double total = 0, releaseCpu = 0, workCpu = 0, firstPartCpu = 0, work = 0, handover = 0, firstFrameCpu = 0;
    bool arrived = false;
};

class Game {
public:
    bool start(benchmark::State& state)
    {
        if (m_started)
            return true;
        bench_useHome(m_home);
        screens_registerClasses();
        park_registerPlayState();
        if (!bench_startGame(m_game, std::make_unique<aScriptedInputDevice>(), state))
            return false;
        cProfiles& profiles = m_game.getProfiles();
        profiles.select(profiles.createProfile(L"Bench", true), false);
        g_mainThread = std::this_thread::get_id();
        system_setSleepFunction(&sleepOnTheMainThreadOnly);
        cLoadingScreen::setProgressObserver(&onProgress);
        m_started = true;
        return true;
    }
    void stop()
    {
        if (!m_started)
            return;
        cLoadingScreen::setProgressObserver(nullptr);
        system_setSleepFunction(nullptr);
        m_game.shutdown();
        m_started = false;
    }

    bool in(int32_t id, const std::string& level = "") const
    {
        const cGameState* current = m_game.getCurrentState();
        if (!current || current->getId() != id || !current->isInitiated() || m_game.loadingThreadRuns())
            return false;
        return level.empty() || cPlayState::find()->levelPath == level;
    }

    // The state requested and frames run until its first frame has ended.
    Trip go(int32_t id, const std::string& level = "")
    {
        if (!level.empty())
            cGameState::getOrCreate(STATE_PLAY)->setLevel(level);
        for (size_t p = 0; p < g_wall.size(); ++p)
            g_wall[p] = g_cpu[p] = 0;
        g_lastProgress = -1;
        Trip trip;
        const int64_t requested = mark().wall;
        m_game.requestState(id);
        bool switched = false;
        int32_t result = 0;
        for (int frame = 0; frame < 100000; ++frame) {
            const bool loading = m_game.loadingThreadRuns();
            const Mark began = mark();
            m_game.runFrame(result);
            const Mark ended = mark();
            if (!switched && m_game.loadingThreadRuns()) {
                switched = true;
                trip.releaseCpu = seconds(began.cpu, ended.cpu);
            } else if (!switched && in(id, level)) {
                // A screen after a screen: no loading thread, the switch and its first frame are one.
                trip.releaseCpu = trip.firstFrameCpu = seconds(began.cpu, ended.cpu);
                trip.total = seconds(requested, ended.wall);
                trip.arrived = true;
                return trip;
            }
            if (switched && loading && !m_game.loadingThreadRuns()) {
                const int last = g_lastProgress;
                if (last >= 0) {
                    const int split = splitPoint(id);
                    trip.workCpu = seconds(0, g_cpu[last]);
                    trip.firstPartCpu = split >= 0 ? seconds(0, g_cpu[split]) : 0.0;
                    trip.work = seconds(requested, g_wall[last]);
                    trip.handover = seconds(g_wall[last], began.wall);
                }
                trip.firstFrameCpu = seconds(began.cpu, ended.cpu);
                trip.total = seconds(requested, ended.wall);
                trip.arrived = in(id, level);
                return trip;
            }
        }
        return trip;
    }

private:
    // The progress value where the loading's first part ends: the level's
    // kinds at 95; the screens' own pictures and lists at the last value
    // before 99. -1 when none was reported.
    static int splitPoint(int32_t id)
    {
        if (id == STATE_PLAY)
            return g_wall[95] ? 95 : -1;
        int last = -1;
        for (int p = 0; p < 99; ++p)
            if (g_wall[p] && (last < 0 || g_wall[p] > g_wall[last]))
                last = p;
        return last;
    }

    kbtest::TempDir m_home{"bench-home"};
    BenchGame m_game;
    bool m_started = false;
};

Game& game()
{
    static Game g;
    return g;
}

void report(benchmark::State& state, const Trip& trip, const char* firstPart)
{
    if (!trip.arrived) {
        state.SkipWithError("the state did not come up");
        return;
    }
    state.SetIterationTime(trip.total);
    state.counters["total_s"] = trip.total;
    state.counters["release_cpu_s"] = trip.releaseCpu;
    state.counters["work_cpu_s"] = trip.workCpu;
    state.counters[firstPart] = trip.firstPartCpu;
    state.counters["init_cpu_s"] = trip.workCpu - trip.firstPartCpu;
    state.counters["work_s"] = trip.work;
    state.counters["handover_s"] = trip.handover;
    state.counters["first_frame_cpu_s"] = trip.firstFrameCpu;
    state.counters["kept_mb"] = static_cast<double>(aPictureCache::instance().bytes()) / (1 << 20);
    state.counters["rss_mb"] = bench_residentMb();
    state.counters["peak_rss_mb"] = bench_peakResidentMb();
}

void LevelLoad(benchmark::State& state, const std::string& level, bool cold)
{
    if (!game().start(state))
        return;
    if (!game().in(STATE_MAP))
        game().go(STATE_MAP);
    if (cold)
        aPictureCache::instance().clear();
    for (auto _ : state)
        report(state, game().go(STATE_PLAY, level), "kinds_cpu_s");
}

void MapAfter(benchmark::State& state, const std::string& level)
{
    if (!game().start(state))
        return;
    if (!game().in(STATE_PLAY, level)) {
        if (!game().in(STATE_MAP))
            game().go(STATE_MAP);
        game().go(STATE_PLAY, level);
    }
    for (auto _ : state)
        report(state, game().go(STATE_MAP), "states_cpu_s");
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    const auto add = [](const std::string& title, auto run, auto... arguments) {
        benchmark::RegisterBenchmark(title.c_str(), run, arguments...)
            ->UseManualTime()
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
    };
    const std::vector<std::string> levels = shippedLevels();
    for (const std::string& name : levels) {
        add("LevelLoad/" + name, &LevelLoad, "levels:" + name + ".ini", false);
        add("MapAfter/" + name, &MapAfter, "levels:" + name + ".ini");
    }
    for (const std::string& name : levels)
        add("LevelLoadCold/" + name, &LevelLoad, "levels:" + name + ".ini", true);
    benchmark::RunSpecifiedBenchmarks();
    game().stop();
    benchmark::Shutdown();
    return 0;
}
