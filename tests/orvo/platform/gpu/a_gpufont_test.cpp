#include <gtest/gtest.h>

#include "orvo/platform/gpu/a_gpudevicerecorder.h"
#include "orvo/platform/gpu/a_gpufont.h"
#include "orvo/platform/gpu/a_gpusprite.h"
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

// Lines written one after another go in one call, drawn alpha-blended with
// point sampling whatever the caller's states were, and before the caller's
// next sprite or draw.
TEST(GpuFont, LinesInARowShareOneCallDrawnWithTheTextsOwnStates)
{
    aGpuDeviceRecorder device;
    aGpuPresentParams params;
    params.backBufferWidth = params.backBufferHeight = 200;
    ASSERT_EQ(device.create(params), aGpuResult::Ok);
    std::unique_ptr<aGpuFont> font;
    ASSERT_EQ(device.createFont({-15, 700, "Arial"}, font), aGpuResult::Ok);
    std::unique_ptr<aGpuTexture> picture;
    ASSERT_EQ(device.createTexture(8, 8, aGpuFormat::A8R8G8B8, aGpuUsage::None, picture), aGpuResult::Ok);
    std::unique_ptr<aGpuSprite> sprite;
    ASSERT_EQ(device.createSprite(sprite), aGpuResult::Ok);
    // The first frame makes the glyphs: quads already gathered are drawn before each is written.
    for (int frame = 0; frame < 2; ++frame) {
        ASSERT_EQ(device.beginScene(), aGpuResult::Ok);
        device.setRenderState(aGpuRenderState::AlphaBlendEnable, 0);
        device.setTextureStageState(0, aGpuStageState::MagFilter, static_cast<uint32_t>(aGpuFilter::Linear));
        device.clearRecords();
        EXPECT_EQ(font->drawText("fps: 60.0", -1, {10, 10, 190, 30}, 0, 0xFFFFFFFF), aGpuResult::Ok);
        EXPECT_EQ(font->drawText("draws: 133", -1, {10, 30, 190, 50}, 0, 0xFFFFFF00), aGpuResult::Ok);
        if (frame == 0)
            device.endScene();
    }
    EXPECT_TRUE(device.drawn().empty());
    const aGpuVec2 at{150, 150};
    sprite->begin();
    sprite->draw(picture.get(), nullptr, nullptr, nullptr, 0.0f, &at, 0xFFFFFFFF);
    auto drawn = device.drawn();
    ASSERT_EQ(drawn.size(), 1u) << "both lines, before the sprite";
    EXPECT_EQ(drawn[0].primitives, 2u * 17u) << "a quad for every glyph but the spaces";
    EXPECT_EQ(drawn[0].state(aGpuRenderState::AlphaBlendEnable), 1u);
    EXPECT_EQ(drawn[0].stage0[static_cast<size_t>(aGpuStageState::MagFilter)],
              static_cast<uint32_t>(aGpuFilter::Point));
    sprite->end();
    device.endScene();
    drawn = device.drawn();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[1].state(aGpuRenderState::AlphaBlendEnable), 0u) << "the sprite with the caller's states";
    sprite.reset();
}
