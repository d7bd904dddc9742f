// What the graphics tests share: a graph server on the recording device with a folder for files,
// readers of what the device received, small pictures, particle files, the golden tests' OpenGL frame.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "jngwrite.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_particlesystem.h"
#include "orvo/platform/gpu/a_gpudevicegl.h"
#include "orvo/platform/gpu/a_gpurecord.h"
#include "support/app_fixture.h"
#include "support/image_files.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

namespace kbtest {

// An application and a graph server on the recording device (1024 x 768 and a 32-bit display unless told).
struct GraphRig {
    explicit GraphRig(bool highColor = true, uint16_t width = 1024, uint16_t height = 768)
    {
        auto d = recorder();
        device = d.get();
        graph =
            std::make_unique<aGraphServer>(width, height, false, false, highColor, "t", 0, false, true, std::move(d));
    }
    std::string write(const std::string& name, const std::string& bytes) const
    {
        writeFile(dir.file(name), bytes);
        return dir.file(name);
    }

    TestApp app;
    aGpuDeviceRecorder* device = nullptr;
    std::unique_ptr<aGraphServer> graph;
    TempDir dir{"gfx"};
};

// The rig inside a frame, records cleared.
class GfxTest : public testing::Test, public GraphRig {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(graph->beginScene());
        device->clearRecords();
    }
    void TearDown() override
    {
        if (graph->isInScene())
            graph->endScene();
    }
    std::vector<aGpuRecord> sprites() const { return device->records(aGpuCall::SpriteDraw); }
    static aImage picture(uint32_t width, uint32_t height)
    {
        aImage image;
        image.create(width, height);
        return image;
    }
};

// The vertices a draw sent.
inline std::vector<aGpuVertex> verticesOf(const aGpuRecord& draw)
{
    std::vector<aGpuVertex> out(draw.vertices.size() / sizeof(aGpuVertex));
    std::memcpy(out.data(), draw.vertices.data(), out.size() * sizeof(aGpuVertex));
    return out;
}

inline std::vector<uint32_t> solidPixels(uint32_t width, uint32_t height, uint32_t argb)
{
    return std::vector<uint32_t>(static_cast<size_t>(width) * height, argb);
}

// A picture whose every pixel differs: x in red, y in green, a mix in blue, an alpha ramp.
inline std::vector<uint32_t> patternPixels(uint32_t width, uint32_t height)
{
    std::vector<uint32_t> p(static_cast<size_t>(width) * height);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            p[y * width + x] =
                (((x * 7 + y * 3) & 0xFF) << 24) | ((x * 9 & 0xFF) << 16) | ((y * 11 & 0xFF) << 8) | ((x * y) & 0xFF);
    return p;
}

// The pixels of a texture read back through the pixel rule, as ARGB words.
inline std::vector<uint32_t> texturePixels(const aGpuTexture& texture)
{
    const std::vector<uint8_t> bytes = texture.pixels();
    const uint32_t size = gpu_formatBytes(texture.format());
    std::vector<uint32_t> out(static_cast<size_t>(texture.width()) * texture.height());
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = gpu_readPixel(texture.format(), bytes.data() + i * size);
    return out;
}

// Every pixel within `tolerance` of `argb` in each channel (lossy codecs).
inline testing::AssertionResult allNear(const uint32_t* pixels, size_t count, uint32_t argb, int tolerance = 2)
{
    if (!pixels || count == 0)
        return testing::AssertionFailure() << "no picture";
    for (size_t i = 0; i < count; ++i)
        for (int shift = 0; shift < 32; shift += 8)
            if (std::abs(int((pixels[i] >> shift) & 0xFF) - int((argb >> shift) & 0xFF)) > tolerance)
                return testing::AssertionFailure() << std::hex << "pixel " << std::dec << i << " is 0x" << std::hex
                                                   << pixels[i] << ", not near 0x" << argb;
    return testing::AssertionSuccess();
}

// Particle definition files in a temporary folder.
class ParticleFiles {
public:
    std::string write(const std::string& name, const std::string& text) const
    {
        writeFile(m_dir.file(name), text);
        return m_dir.file(name);
    }
    std::unique_ptr<aParticleSystem> load(const std::string& text, const std::string& name = "effect.psi") const
    {
        return std::make_unique<aParticleSystem>(write(name, text), nullptr, "");
    }
    const std::string& folder() const { return m_dir.path(); }

private:
    TempDir m_dir{"particles"};
};

// Steps a system `n` times by exactly one step of its rate.
inline void steps(aParticleSystem& system, int n)
{
    const float step = 1.0f / static_cast<float>(system.getParams().fps);
    for (int i = 0; i < n; ++i)
        system.update(step);
}

// A graph server on the OpenGL device (offscreen) for golden images.
struct GlFrame {
    GlFrame(uint32_t width, uint32_t height, uint32_t clear)
    {
        auto d = std::make_unique<aGpuDeviceGL>();
        gl = d.get();
        graph =
            std::make_unique<aGraphServer>(width, height, false, false, true, "golden", 0, false, true, std::move(d));
        graph->setClearColor(clear);
    }
    bool ok() const { return gl->isCreated(); }
    // The frame `draw` makes, read back; empty without OpenGL.
    std::vector<uint32_t> shoot(const std::function<void()>& draw)
    {
        std::vector<uint32_t> pixels;
        if (!ok() || !graph->beginScene())
            return pixels;
        draw();
        graph->endScene();
        uint32_t w = 0, h = 0;
        gl->readBackBuffer(pixels, w, h);
        return pixels;
    }

    TestApp app;
    aGpuDeviceGL* gl = nullptr;
    std::unique_ptr<aGraphServer> graph;
};

} // namespace kbtest
