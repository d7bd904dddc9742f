// Hostile data files, measured (on the recording device, no window):
//  - NestedLayoutLoad: a layout script of 100,000 widgets each inside the
//    last is read and initialised (the server keeps the first 64 levels).
//  - NestedLayoutFrame: one frame of that screen: the input step with its
//    hit test, the tree's update and the draw walk.
//  - ParticleUpdateAtHugeRate: one 1/60 s update of a system whose file says
//    "fps 2000000000", with 2,000 looping particles alive.
//  - ArchiveMemberClaiming4GiB: reading a member of a 300-byte archive whose
//    directory claims 0xFD000064 bytes for it. The engine's allocations go
//    through a counting wrapper (linked with --wrap=malloc); the counter is
//    the largest single request seen while reading (and, for comparison,
//    while reading the member of the undamaged archive).
//  - ProfilesOf100kSections: the start-up read of a profiles file of 100,000
//    players with one key each (about 8 MB), with the lines it logs.
//  - ProfilesWithoutSections: the read of a 10 MB profiles file of short
//    lines and no player at all, with the lines it logs.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <memory>
#include <string>

#include "game/app/profiles.h"
#include "game/app/profilesfile.h"
#include "gui/gui.h"
#include "orvo/app/a_file.h"
#include "orvo/gfx/a_particlesystem.h"
#include "orvo/util/a_log.h"
#include "support/app_fixture.h"
#include "support/temp_dir.h"
#include "support/zip_writer.h"

namespace {

std::atomic<size_t> g_largestMalloc{0};

} // namespace

extern "C" void* __real_malloc(size_t size);
extern "C" void* __wrap_malloc(size_t size)
{
    size_t seen = g_largestMalloc.load(std::memory_order_relaxed);
    while (size > seen && !g_largestMalloc.compare_exchange_weak(seen, size, std::memory_order_relaxed)) {
    }
    return __real_malloc(size);
}

namespace {

constexpr int kLevels = 100000;

std::string nestedScript()
{
    std::string text = "template Box\n{\n  AreaRect 0 0 200 200\n}\n";
    for (int i = 0; i < kLevels; ++i)
        text += "widget <Box>\n{\n";
    for (int i = 0; i < kLevels; ++i)
        text += "}\n";
    return text;
}

int depthOf(const GUI::Widget* w)
{
    int depth = 0;
    for (; !w->GetChildren().empty(); w = w->GetChildren().front())
        ++depth;
    return depth;
}

void NestedLayoutLoad(benchmark::State& state)
{
    kbtest::LoopRig rig;
    kbtest::TempDir dir{"hostile-bench"};
    const std::string path = dir.file("nested.agui");
    kbtest::writeFile(path, nestedScript());
    int depth = 0;
    for (auto _ : state) {
        GUI::Server server(nullptr, nullptr);
        server.load(path);
        server.InitializeWidgets();
        depth = depthOf(server.GetRoot());
    }
    state.counters["levels_kept"] = depth;
}
BENCHMARK(NestedLayoutLoad)->Unit(benchmark::kMillisecond);

void NestedLayoutFrame(benchmark::State& state)
{
    kbtest::LoopRig rig;
    kbtest::TempDir dir{"hostile-bench"};
    const std::string path = dir.file("nested.agui");
    kbtest::writeFile(path, nestedScript());
    GUI::Server server(nullptr, nullptr);
    server.load(path);
    server.InitializeWidgets();
    rig.keys->setCursor(5, 5);
    for (auto _ : state) {
        rig.inputServer->update();
        server.Update(1.0f / 60.0f);
        rig.graph->beginScene();
        server.Render();
        rig.graph->endScene();
        rig.device_->clearRecords();
    }
    state.counters["levels_kept"] = depthOf(server.GetRoot());
}
BENCHMARK(NestedLayoutFrame)->Unit(benchmark::kMicrosecond);

void ParticleUpdateAtHugeRate(benchmark::State& state)
{
    kbtest::TempDir dir{"hostile-bench"};
    const std::string path = dir.file("fast.psi");
    kbtest::writeFile(path, "fps 2000000000\nmax_particles 2000\nemitter_life -1 -1\nemit_per_sec 2000 2000\n"
                            "particle_life 1 2\nloop_ps 1\nvelocity 20 60\nspin -3 3 0.5\n");
    aParticleSystem system(path, nullptr, "");
    system.restartAt(100, 100);
    for (int i = 0; i < 120; ++i)
        system.update(1.0f / 60.0f);
    float steps = 0;
    for (auto _ : state) {
        const float before = system.getClock();
        system.update(1.0f / 60.0f);
        steps = (system.getClock() - before) * static_cast<float>(system.getParams().fps);
    }
    state.counters["fps_read"] = system.getParams().fps;
    state.counters["steps_per_update"] = steps;
    state.counters["live"] = system.getLiveCount();
}
BENCHMARK(ParticleUpdateAtHugeRate)->Unit(benchmark::kMicrosecond);

void ArchiveMemberClaiming4GiB(benchmark::State& state)
{
    kbtest::TempDir dir{"hostile-bench"};
    kbtest::ZipLayout layout;
    std::string zip = kbtest::makeZip({{"big.bin", std::string(200, 'x'), false}}, &layout);
    // The same archive as it was, to show the wrapper sees the member's buffer.
    kbtest::writeFile(dir.file("honest.zip"), zip);
    g_largestMalloc = 0;
    std::free(file_readFullAndMalloc(dir.file("honest/big.bin").c_str()));
    file_closeArchives();
    state.counters["honest_largest_malloc_bytes"] = static_cast<double>(g_largestMalloc.load());
    // The uncompressed size of the member, in its local header and its directory entry.
    for (const size_t at : {size_t(22), layout.centralDirectory + 24})
        for (int i = 0; i < 4; ++i)
            zip[at + i] = static_cast<char>(0xFD000064u >> (8 * i));
    kbtest::writeFile(dir.file("claims.zip"), zip);
    const std::string member = dir.file("claims/big.bin");
    size_t largest = 0;
    for (auto _ : state) {
        g_largestMalloc = 0;
        uint32_t size = 0;
        void* bytes = file_readFullAndMalloc(member.c_str(), &size);
        largest = std::max(largest, g_largestMalloc.load());
        std::free(bytes);
        file_closeArchives();
    }
    state.counters["archive_bytes"] = static_cast<double>(zip.size());
    state.counters["largest_malloc_bytes"] = static_cast<double>(largest);
}
BENCHMARK(ArchiveMemberClaiming4GiB)->Unit(benchmark::kMicrosecond);

// Loads the profiles file once per iteration with the log open on a file of
// its own; the counters tell how many players came and what the log took.
void loadProfilesFile(benchmark::State& state, const std::string& text)
{
    kbtest::TempDir dir{"hostile-bench"};
    const std::string path = dir.file("profiles.dat");
    const std::string bytes = profilesfile_widen(text);
    const std::string logPath = dir.file("orvo.log");
    size_t players = 0;
    for (auto _ : state) {
        state.PauseTiming();
        kbtest::writeFile(path, bytes);
        (void)a_logOpen(logPath.c_str(), true);
        state.ResumeTiming();
        cProfiles profiles;
        profiles.load(path);
        players = profiles.count();
    }
    a_logClose();
    const std::string log = kbtest::readFile(logPath);
    state.counters["file_bytes"] = static_cast<double>(bytes.size());
    state.counters["players"] = static_cast<double>(players);
    state.counters["log_lines"] = static_cast<double>(std::count(log.begin(), log.end(), '\n'));
    state.counters["log_bytes"] = static_cast<double>(log.size());
}

void ProfilesOf100kSections(benchmark::State& state)
{
    std::string text;
    for (int i = 0; i < 100000; ++i)
        text += "[Player" + std::to_string(i) + "]\r\nStars=" + std::to_string(i % 50) + "\r\n\r\n";
    loadProfilesFile(state, text);
}
BENCHMARK(ProfilesOf100kSections)->Unit(benchmark::kMillisecond)->Iterations(1);

void ProfilesWithoutSections(benchmark::State& state)
{
    std::string text;
    while (text.size() < 10 * 1024 * 1024 / 4)
        text += "a\r\n";
    loadProfilesFile(state, text);
}
BENCHMARK(ProfilesWithoutSections)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
