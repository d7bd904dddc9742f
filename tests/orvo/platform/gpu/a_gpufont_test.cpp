#include <gtest/gtest.h>

#include "orvo/platform/gpu/a_gpudevicerecorder.h"
#include "orvo/platform/gpu/a_gpufont.h"
#include "support/log_capture.h"

// The golden scene shows the glyphs.
TEST(GpuFont, MissingFaceFileIsLoggedAndRefusedAndDrawingKeepsTheCallersStates)
{
    kbtest::LogCapture log;
    aGpuDeviceRecorder device;
    aGpuPresentParams params;
    params.backBufferWidth = params.backBufferHeight = 64;
    ASSERT_EQ(device.create(params), aGpuResult::Ok);
    const std::string saved = aGpuFont::fontFolder();
    aGpuFont::setFontFolder("/nonexistent-fonts");
    std::unique_ptr<aGpuFont> font;
    EXPECT_TRUE(device.createFont({-15, 700, "Arial"}, font) == aGpuResult::NotFound && !font);
    aGpuFont::setFontFolder(saved);
    EXPECT_TRUE(log.contains("gpu. Font face 'Arial' not found (/nonexistent-fonts/LiberationSans-Bold.ttf)"));
    EXPECT_EQ(device.createFont({0, 700, "Arial"}, font), aGpuResult::InvalidCall);

    ASSERT_EQ(device.createFont({-15, 700, "Arial"}, font), aGpuResult::Ok);
    ASSERT_EQ(device.beginScene(), aGpuResult::Ok);
    device.setRenderState(aGpuRenderState::DestBlend, static_cast<uint32_t>(aGpuBlend::One));
    int height = 0;
    EXPECT_EQ(font->drawText("fps: 12.5", -1, {10, 10, 130, 30}, 0, 0xFFFFFFFF, &height), aGpuResult::Ok);
    EXPECT_EQ(height, font->lineHeight());
    EXPECT_EQ(device.getRenderState(aGpuRenderState::DestBlend), static_cast<uint32_t>(aGpuBlend::One));
    device.endScene();
}
