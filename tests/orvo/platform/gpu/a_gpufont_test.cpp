#include <gtest/gtest.h>

#include "orvo/platform/gpu/a_gpudevicerecorder.h"
#include "orvo/platform/gpu/a_gpufont.h"
#include "orvo/platform/gpu/gl_fixture.h"
#include "support/log_capture.h"

using kbtest::GpuGL;

namespace {

const aGpuFontDesc kSystemFont{-15, 700, "Arial"};

} // namespace

// The golden scene shows the glyphs; here the text keeps to its rectangle and the caller's states.
TEST_F(GpuGL, SystemFontWritesInsideItsRectangleAndKeepsStates)
{
    std::unique_ptr<aGpuFont> font;
    ASSERT_EQ(device().createFont(kSystemFont, font), aGpuResult::Ok);
    beginFrame();
    device().setRenderState(aGpuRenderState::DestBlend, static_cast<uint32_t>(aGpuBlend::One));
    int height = 0;
    ASSERT_EQ(font->drawText("fps: 60.0", -1, {10, 10, 130, 30}, 0, 0xFFFFFFFF, &height), aGpuResult::Ok);
    EXPECT_EQ(height, font->lineHeight());
    EXPECT_EQ(device().getRenderState(aGpuRenderState::DestBlend), static_cast<uint32_t>(aGpuBlend::One));
    const auto px = endFrame();
    int lit = 0, outside = 0;
    for (uint32_t y = 0; y < kHeight; ++y)
        for (uint32_t x = 0; x < kWidth; ++x)
            if (at(px, x, y) != 0xFF000000u)
                ++(x >= 10 && x < 130 && y >= 10 && y < 30 ? lit : outside);
    EXPECT_GT(lit, 60);
    EXPECT_EQ(outside, 0);
}

TEST(GpuFont, MissingFaceFileIsLoggedAndRefused)
{
    kbtest::LogCapture log;
    aGpuDeviceRecorder device;
    aGpuPresentParams params;
    params.backBufferWidth = params.backBufferHeight = 64;
    ASSERT_EQ(device.create(params), aGpuResult::Ok);
    const std::string saved = aGpuFont::fontFolder();
    aGpuFont::setFontFolder("/nonexistent-fonts");
    std::unique_ptr<aGpuFont> font;
    EXPECT_EQ(device.createFont(kSystemFont, font), aGpuResult::NotFound);
    aGpuFont::setFontFolder(saved);
    EXPECT_EQ(font, nullptr);
    EXPECT_TRUE(log.contains("gpu. Font face 'Arial' not found (/nonexistent-fonts/LiberationSans-Bold.ttf)"));
    EXPECT_EQ(device.createFont({0, 700, "Arial"}, font), aGpuResult::InvalidCall);
}
