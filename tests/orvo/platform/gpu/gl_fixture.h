// A GL device on an offscreen back buffer for the tests, with helpers to
// fill textures and read pixels back.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "orvo/platform/gpu/a_gpudevicegl.h"

namespace kbtest {

class GpuGL : public testing::Test {
protected:
    void SetUp() override
    {
        m_device = std::make_unique<aGpuDeviceGL>();
        aGpuPresentParams params;
        params.backBufferWidth = kWidth;
        params.backBufferHeight = kHeight;
        ASSERT_EQ(m_device->create(params), aGpuResult::Ok) << "no OpenGL 3.3 context (SDL_VIDEODRIVER=offscreen?)";
    }

    aGpuDeviceGL& device() { return *m_device; }

    std::unique_ptr<aGpuTexture> solidTexture(uint32_t w, uint32_t h, aGpuFormat format, uint32_t argb)
    {
        std::unique_ptr<aGpuTexture> texture;
        EXPECT_EQ(m_device->createTexture(w, h, format, aGpuUsage::None, texture), aGpuResult::Ok);
        aGpuLockedRect locked;
        EXPECT_EQ(texture->lock(locked), aGpuResult::Ok);
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x)
                gpu_writePixel(
                    format, static_cast<uint8_t*>(locked.bits) + y * locked.pitch + x * gpu_formatBytes(format), argb);
        EXPECT_EQ(texture->unlock(), aGpuResult::Ok);
        return texture;
    }

    std::vector<uint32_t> readBack()
    {
        std::vector<uint32_t> pixels;
        uint32_t w = 0, h = 0;
        EXPECT_EQ(m_device->readBackBuffer(pixels, w, h), aGpuResult::Ok);
        EXPECT_EQ(w, kWidth);
        EXPECT_EQ(h, kHeight);
        return pixels;
    }

    static uint32_t at(const std::vector<uint32_t>& pixels, uint32_t x, uint32_t y) { return pixels[y * kWidth + x]; }

    static constexpr uint32_t kWidth = 160;
    static constexpr uint32_t kHeight = 120;

private:
    std::unique_ptr<aGpuDeviceGL> m_device;
};

} // namespace kbtest
