// What the image tests share: an application with a graph server on the
// recording device (32-bit display unless told), a folder for image files
// and small pictures to write into it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "jngwrite.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/gfx/a_image.h"
#include "orvo/platform/gpu/a_gpurecord.h"
#include "support/app_fixture.h"
#include "support/image_files.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

namespace kbtest {

struct ImageRig {
    explicit ImageRig(bool highColor = true)
    {
        auto d = recorder();
        device = d.get();
        graph = std::make_unique<aGraphServer>(1024, 768, false, false, highColor, "t", 0, false, true, std::move(d));
    }
    ~ImageRig() { graph.reset(); }

    std::string write(const std::string& name, const std::string& bytes) const
    {
        const std::string path = dir.file(name);
        writeFile(path, bytes);
        return path;
    }

    TestApp app;
    aGpuDeviceRecorder* device = nullptr;
    std::unique_ptr<aGraphServer> graph;
    TempDir dir{"image"};
};

// width x height of one colour.
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

// The source rectangle of a recorded sprite draw as "left top right bottom".
inline std::string sourceOf(const aGpuRecord& r)
{
    return std::to_string(r.u[0]) + " " + std::to_string(r.u[1]) + " " + std::to_string(r.u[2]) + " " +
           std::to_string(r.u[3]);
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

} // namespace kbtest
