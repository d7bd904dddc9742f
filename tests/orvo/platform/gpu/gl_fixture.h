// A GL device on an offscreen back buffer, with helpers to fill textures, set blends, draw rectangles, compare pixels.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <numeric>
#include <vector>

#include "orvo/platform/gpu/a_gpudevicegl.h"
#include "orvo/platform/gpu/a_gpusprite.h"

namespace kbtest {

inline void setBlend(aGpuDevice& d, aGpuBlend src, aGpuBlend dst)
{
    d.setRenderState(aGpuRenderState::AlphaBlendEnable, 1);
    d.setRenderState(aGpuRenderState::SrcBlend, static_cast<uint32_t>(src));
    d.setRenderState(aGpuRenderState::DestBlend, static_cast<uint32_t>(dst));
}

// Untextured: a filled quad, or an outline through the corners x..x+w-1, y..y+h-1.
inline void rect(aGpuDevice& d, float x, float y, float w, float h, uint32_t c, bool filled)
{
    d.setTexture(0, nullptr);
    d.setVertexFormat(aGpuVertexFormat::Tex1);
    const float r = x + w - (filled ? 0 : 1), b = y + h - (filled ? 0 : 1);
    const aGpuVertex fill[4] = {
        {x, y, 0, 1, c, 0, 0}, {r, y, 0, 1, c, 0, 0}, {x, b, 0, 1, c, 0, 0}, {r, b, 0, 1, c, 0, 0}};
    const aGpuVertex line[5] = {fill[0], fill[1], fill[3], fill[2], fill[0]};
    EXPECT_EQ(filled ? d.drawPrimitiveUP(aGpuPrimitive::TriangleStrip, 2, fill, sizeof(aGpuVertex))
                     : d.drawPrimitiveUP(aGpuPrimitive::LineStrip, 4, line, sizeof(aGpuVertex)),
              aGpuResult::Ok);
}

// Filled through a lock in the texture's own layout; may be called from any thread.
inline std::unique_ptr<aGpuTexture> texture(aGpuDevice& d, uint32_t w, uint32_t h, aGpuFormat format,
                                            const std::function<uint32_t(uint32_t x, uint32_t y)>& argbAt)
{
    std::unique_ptr<aGpuTexture> t;
    EXPECT_EQ(d.createTexture(w, h, format, aGpuUsage::None, t), aGpuResult::Ok);
    aGpuLockedRect locked;
    EXPECT_EQ(t->lock(locked), aGpuResult::Ok);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x)
            gpu_writePixel(format, static_cast<uint8_t*>(locked.bits) + y * locked.pitch + x * gpu_formatBytes(format),
                           argbAt(x, y));
    EXPECT_EQ(t->unlock(), aGpuResult::Ok);
    return t;
}

// How many pixels two frames have different (all when their sizes differ).
inline size_t differing(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b)
{
    if (a.size() != b.size())
        return std::max(a.size(), b.size());
    return size_t(std::inner_product(a.begin(), a.end(), b.begin(), 0, std::plus<>(), std::not_equal_to<>()));
}

// The largest difference of one channel.
inline int channelDistance(uint32_t a, uint32_t b)
{
    int worst = 0;
    for (int s = 0; s < 32; s += 8)
        worst = std::max(worst, std::abs(int((a >> s) & 0xFF) - int((b >> s) & 0xFF)));
    return worst;
}

inline void put(aGpuSprite& s, aGpuTexture* t, float x, float y, uint32_t color, const aGpuVec2* scale = nullptr,
                const aGpuRect* source = nullptr)
{
    const aGpuVec2 at{x, y};
    s.draw(t, source, scale, nullptr, 0, &at, color);
}

class GpuGL : public testing::Test {
protected:
    void SetUp() override
    {
        aGpuPresentParams params;
        params.backBufferWidth = kWidth;
        params.backBufferHeight = kHeight;
        ASSERT_EQ(m_device.create(params), aGpuResult::Ok) << "no OpenGL 3.3 context (SDL_VIDEODRIVER=offscreen?)";
        ASSERT_EQ(m_device.createSprite(sprite), aGpuResult::Ok);
    }
    void TearDown() override { sprite.reset(); }

    aGpuDeviceGL& device() { return m_device; }
    std::unique_ptr<aGpuTexture> solidTexture(uint32_t w, uint32_t h, aGpuFormat format, uint32_t argb)
    {
        return kbtest::texture(m_device, w, h, format, [argb](uint32_t, uint32_t) { return argb; });
    }

    // A scene on a black back buffer, and its end with the pixels read back.
    void beginFrame()
    {
        ASSERT_EQ(m_device.beginScene(), aGpuResult::Ok);
        m_device.clear(0xFF000000);
    }
    std::vector<uint32_t> endFrame()
    {
        m_device.endScene();
        return readBack();
    }
    std::vector<uint32_t> readBack()
    {
        std::vector<uint32_t> pixels;
        uint32_t w = 0, h = 0;
        EXPECT_EQ(m_device.readBackBuffer(pixels, w, h), aGpuResult::Ok);
        EXPECT_TRUE(w == kWidth && h == kHeight);
        return pixels;
    }
    static uint32_t at(const std::vector<uint32_t>& pixels, uint32_t x, uint32_t y) { return pixels[y * kWidth + x]; }

    static constexpr uint32_t kWidth = 160, kHeight = 120;
    aGpuDeviceGL m_device;
    std::unique_ptr<aGpuSprite> sprite;
};

} // namespace kbtest
