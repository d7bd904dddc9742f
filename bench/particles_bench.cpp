// Particle systems under load: 20 systems of 2,000 live particles each (the
// most one system may hold), stepped at 60 steps a second, one step a frame.
// Particles spin, fall and loop, so every one of them is moved, turned and
// given new corners every frame and the count never drops.
//  - Update: CPU time of a frame's simulation of all 20 systems.
// Counters: particles per frame.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "orvo/gfx/a_particlesystem.h"
#include "orvo/util/a_random.h"
#include "support/temp_dir.h"

namespace {

constexpr int kSystems = 20;
constexpr const char* kEffect = "max_particles 2000\nfps 60\nemitter_life 0 0\nemitter_rtime -1 -1\n"
                                "emit_per_sec 2000 2000\nparticle_life 1 2\nloop_ps 1\nvelocity 20 60\n"
                                "gravity 10 30\nwind -5 5\nspin -3 3 0.5\nsize_min 8 8\nsize_mid 16 16\n"
                                "size_max 4 4\nsize_var 0.2\ncolor FFFFA040 C0FF4020 00FF0000 0.2 0.1\n"
                                "texture spark\nblend_mode 1\n";

// The systems, restarted at points spread over a 1024 x 768 screen.
struct Effects {
    kbtest::TempDir dir{"particles-bench"};
    std::vector<std::unique_ptr<aParticleSystem>> systems;

    Effects()
    {
        kbtest::writeFile(dir.file("spark.psi"), kEffect);
        a_srand(7);
        for (int i = 0; i < kSystems; ++i) {
            systems.push_back(std::make_unique<aParticleSystem>(dir.file("spark.psi"), nullptr, ""));
            systems.back()->restartAt(static_cast<float>(64 + (i % 5) * 220), static_cast<float>(96 + (i / 5) * 180));
        }
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
    Effects effects;
    for (auto _ : state)
        for (auto& system : effects.systems)
            system->update(1.0f / 60.0f);
    state.counters["particles"] = static_cast<double>(effects.liveParticles());
}
BENCHMARK(BM_ParticlesUpdate)->Unit(benchmark::kMillisecond);

} // namespace
