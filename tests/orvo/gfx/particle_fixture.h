// Helpers of the particle tests: definition files written to a temporary
// folder, and an application with a graph server on the recording device
// (the screen that "killoffscr" tests against, and the shared buffers).
#pragma once

#include <memory>
#include <string>

#include "orvo/gfx/a_particlesystem.h"
#include "support/app_fixture.h"
#include "support/temp_dir.h"

namespace kbtest {

class ParticleFiles {
public:
    // Writes `text` as a definition file; returns its path.
    std::string write(const std::string& name, const std::string& text) const
    {
        const std::string path = m_dir.file(name);
        writeFile(path, text);
        return path;
    }
    std::unique_ptr<aParticleSystem> load(const std::string& text, const std::string& name = "effect.psi") const
    {
        return std::make_unique<aParticleSystem>(write(name, text), nullptr, "");
    }
    const std::string& folder() const { return m_dir.path(); }

private:
    TempDir m_dir{"particles"};
};

// An application and a 640 x 480 graph server on the recording device.
struct ParticleScreen {
    explicit ParticleScreen(uint16_t width = 640, uint16_t height = 480)
    {
        auto d = recorder();
        device = d.get();
        graph = std::make_unique<aGraphServer>(width, height, false, false, true, "t", 0, true, true, std::move(d));
    }
    TestApp app;
    aGpuDeviceRecorder* device = nullptr;
    std::unique_ptr<aGraphServer> graph;
};

// Steps a system `n` times by exactly one step of its rate.
inline void steps(aParticleSystem& system, int n)
{
    const float step = 1.0f / static_cast<float>(system.getParams().fps);
    for (int i = 0; i < n; ++i)
        system.update(step);
}

} // namespace kbtest
