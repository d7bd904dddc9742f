// Particle systems under load: 20 systems of 2,000 live particles each (the
// most one system may hold), stepped at 60 steps a second, one step a frame,
// drawn additively with a 16 x 16 picture on the OpenGL device (offscreen
// with SDL_VIDEODRIVER=offscreen) through a 1024 x 768 graph server.
// Particles spin, fall and loop, so every one of them is moved, turned and
// given new corners every frame and the count never drops.
//  - Update: a frame's simulation of all 20 systems.
//  - Draw: a frame that only draws them (vertices written, 20 draw calls
//    handed to GL, the frame closed and presented).
//  - UpdateAndDraw: the whole per-frame cost, both together.
// CPU time is the calling thread's; the GL driver may rasterise on threads
// of its own. Counters: particles per frame.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "orvo/gfx/a_graphserver.h"
#include "orvo/gfx/a_imagemanager.h"
#include "orvo/gfx/a_particlesystem.h"
#include "orvo/platform/gpu/a_gpudevicegl.h"
#include "orvo/util/a_random.h"
#include "support/app_fixture.h"
#include "support/image_files.h"
#include "support/temp_dir.h"

namespace {

constexpr int kSystems = 20;
constexpr const char* kEffect = "max_particles 2000\nfps 60\nemitter_life 0 0\nemitter_rtime -1 -1\n"
                                "emit_per_sec 2000 2000\nparticle_life 1 2\nloop_ps 1\nvelocity 20 60\n"
                                "gravity 10 30\nwind -5 5\nspin -3 3 0.5\nsize_min 8 8\nsize_mid 16 16\n"
                                "size_max 4 4\nsize_var 0.2\ncolor FFFFA040 C0FF4020 00FF0000 0.2 0.1\n"
                                "texture spark\nblend_mode 1\n";

// The systems, restarted at points spread over the screen, with their
// picture from an image manager when there is a device.
struct Effects {
    kbtest::TempDir dir{"particles-bench"};
    kbtest::TestApp app;
    aGpuDeviceGL* gl = nullptr;
    std::unique_ptr<aGraphServer> graph;
    std::unique_ptr<aImageManager> images;
    std::vector<std::unique_ptr<aParticleSystem>> systems;

    explicit Effects(bool withDevice)
    {
        kbtest::writeFile(dir.file("spark.psi"), kEffect);
        if (withDevice) {
            auto device = std::make_unique<aGpuDeviceGL>();
            gl = device.get();
            graph = std::make_unique<aGraphServer>(1024, 768, false, false, true, "bench", 0, false, true,
                                                   std::move(device));
            std::vector<uint32_t> spark(16 * 16, 0x80FFFFFF);
            kbtest::writeFile(dir.file("spark.png"), kbtest::encodePng(spark, 16, 16));
            kbtest::writeFile(dir.file("images.lst"), "spark.png 8888 8888\n");
            images = std::make_unique<aImageManager>();
            images->loadList(dir.file("images.lst"));
        }
        a_srand(7);
        for (int i = 0; i < kSystems; ++i) {
            systems.push_back(std::make_unique<aParticleSystem>(dir.file("spark.psi"), images.get(), ""));
            systems.back()->restartAt(static_cast<float>(64 + (i % 5) * 220), static_cast<float>(96 + (i / 5) * 180));
        }
    }
    ~Effects()
    {
        systems.clear();
        images.reset();
        graph.reset();
    }
    bool ready() const { return gl && gl->isCreated() && systems.front()->getImage(); }
    void update()
    {
        for (auto& system : systems)
            system->update(1.0f / 60.0f);
    }
    void draw()
    {
        if (!graph->beginScene())
            return;
        for (auto& system : systems)
            system->render();
        graph->endScene();
    }
    size_t liveParticles() const
    {
        size_t n = 0;
        for (const auto& s : systems)
            n += s->getLiveCount();
        return n;
    }
};

void BM_ParticlesUpdate(benchmark::State& state)
{
    Effects effects(false);
    for (auto _ : state)
        effects.update();
    state.counters["particles"] = static_cast<double>(effects.liveParticles());
}
BENCHMARK(BM_ParticlesUpdate)->Unit(benchmark::kMillisecond);

void BM_ParticlesDraw(benchmark::State& state)
{
    Effects effects(true);
    if (!effects.ready()) {
        state.SkipWithError("no OpenGL device");
        return;
    }
    effects.update();
    for (auto _ : state)
        effects.draw();
    state.counters["particles"] = static_cast<double>(effects.liveParticles());
}
BENCHMARK(BM_ParticlesDraw)->Unit(benchmark::kMillisecond);

void BM_ParticlesUpdateAndDraw(benchmark::State& state)
{
    Effects effects(true);
    if (!effects.ready()) {
        state.SkipWithError("no OpenGL device");
        return;
    }
    for (auto _ : state) {
        effects.update();
        effects.draw();
    }
    state.counters["particles"] = static_cast<double>(effects.liveParticles());
}
BENCHMARK(BM_ParticlesUpdateAndDraw)->Unit(benchmark::kMillisecond);

} // namespace
