// One scene that uses every drawing feature of the device, rendered offscreen by the OpenGL backend and compared
// with tests/data/golden/gpu_scene.png (KB_UPDATE_GOLDEN=1 refreshes it; look at it before committing).
#include <gtest/gtest.h>

#include "orvo/platform/gpu/a_gpufont.h"
#include "orvo/platform/gpu/a_gpuimage.h"
#include "orvo/platform/gpu/gl_fixture.h"
#include "support/golden.h"

using namespace kbtest;

namespace {

constexpr uint32_t kW = 256, kH = 192;

// A 32 x 32 picture that shows any turn or mirror: an orange "F" with a
// blue corner mark on a transparent ground and a soft alpha ramp at the foot.
std::unique_ptr<aGpuTexture> letterTexture(aGpuDevice& d, aGpuFormat format)
{
    std::vector<uint32_t> px(32 * 32, 0);
    for (uint32_t y = 0; y < 32; ++y)
        for (uint32_t x = 0; x < 32; ++x) {
            const bool stem = x >= 4 && x < 10 && y >= 2 && y < 30, top = y >= 2 && y < 8 && x >= 4 && x < 28;
            const bool mid = y >= 13 && y < 18 && x >= 4 && x < 22;
            uint32_t& c = px[y * 32 + x];
            c = y >= 30              ? ((x * 8) << 24) | 0x00FFFFFF
                : x >= 24 && y >= 24 ? 0xFF2040FF
                : stem || top || mid ? 0xFFFF8020
                                     : 0;
        }
    std::unique_ptr<aGpuTexture> t;
    EXPECT_EQ(gpu_createTextureFromPicture(d, {32, 32, std::move(px)}, format, t), aGpuResult::Ok);
    return t;
}

std::vector<uint32_t> renderScene()
{
    aGpuDeviceGL device;
    aGpuPresentParams params;
    params.backBufferWidth = kW;
    params.backBufferHeight = kH;
    if (device.create(params) != aGpuResult::Ok)
        return {};
    auto letter = letterTexture(device, aGpuFormat::A8R8G8B8), letter16 = letterTexture(device, aGpuFormat::A4R4G4B4);
    auto white = kbtest::texture(device, 8, 8, aGpuFormat::A8R8G8B8, [](uint32_t, uint32_t) { return 0xFFFFFFFFu; });
    std::unique_ptr<aGpuTexture> target;
    std::unique_ptr<aGpuSprite> sprite;
    std::unique_ptr<aGpuFont> font;
    device.createTexture(32, 16, aGpuFormat::X8R8G8B8, aGpuUsage::RenderTarget, target);
    device.createSprite(sprite);
    device.createFont({-15, 700, "Arial"}, font);

    auto filter = [&device](aGpuFilter f) {
        for (aGpuStageState s : {aGpuStageState::MinFilter, aGpuStageState::MagFilter})
            device.setTextureStageState(0, s, static_cast<uint32_t>(f));
    };
    device.beginScene();
    device.clear(0xFF203040);
    setBlend(device, aGpuBlend::SrcAlpha, aGpuBlend::InvSrcAlpha);
    filter(aGpuFilter::Linear);

    // Primitives: filled and outlined rectangles.
    rect(device, 8, 8, 40, 24, 0xFFE03030, true);
    rect(device, 56, 8, 40, 24, 0xFFF0E040, false);
    rect(device, 104, 8, 40, 24, 0x8000FF00, true);

    // Sprites: plain, tinted, scaled, turned about the centre, mirrored, a part squeezed.
    const aGpuVec2 big{1.5f, 1.5f}, centre{24, 24}, mirror{-1, 1}, half{1, 0.5f}, huge{3, 3}, twice{2, 2};
    const aGpuRect part{0, 0, 16, 16};
    sprite->begin();
    put(*sprite, letter.get(), 8, 40, 0xFFFFFFFF);
    put(*sprite, letter.get(), 48, 40, 0xFF80FF80);
    put(*sprite, letter.get(), 88, 40, 0xFFFFFFFF, &big);
    const aGpuVec2 turned{144, 40};
    sprite->draw(letter.get(), nullptr, &big, &centre, 0.5f, &turned, 0xFFFFFFFF);
    put(*sprite, letter.get(), 232, 40, 0xFFFFFFFF, &mirror);
    put(*sprite, letter.get(), 240, 40, 0xFFFFFFFF, &half, &part);
    sprite->end();

    // Blends over a grey band: normal at half alpha, additive, multiply.
    rect(device, 0, 96, kW, 36, 0xFF808080, true);
    sprite->begin();
    put(*sprite, letter.get(), 8, 98, 0x80FFFFFF);
    setBlend(device, aGpuBlend::SrcAlpha, aGpuBlend::One);
    put(*sprite, letter.get(), 48, 98, 0xFFFFFFFF);
    setBlend(device, aGpuBlend::Zero, aGpuBlend::SrcColor);
    put(*sprite, letter.get(), 88, 98, 0xFFFFFFFF);
    setBlend(device, aGpuBlend::SrcAlpha, aGpuBlend::InvSrcAlpha);
    // The silhouette: diffuse only.
    device.setTextureStageState(0, aGpuStageState::ColorOp, static_cast<uint32_t>(aGpuTextureOp::SelectArg1));
    device.setTextureStageState(0, aGpuStageState::ColorArg1, static_cast<uint32_t>(aGpuTextureArg::Diffuse));
    put(*sprite, letter.get(), 128, 98, 0xFF101010);
    device.setTextureStageState(0, aGpuStageState::ColorOp, static_cast<uint32_t>(aGpuTextureOp::Modulate));
    device.setTextureStageState(0, aGpuStageState::ColorArg1, static_cast<uint32_t>(aGpuTextureArg::Texture));
    // Alpha test: the soft foot row disappears where alpha <= 128.
    setBlend(device, aGpuBlend::One, aGpuBlend::Zero);
    device.setRenderState(aGpuRenderState::AlphaTestEnable, 1);
    device.setRenderState(aGpuRenderState::AlphaFunc, static_cast<uint32_t>(aGpuCompare::Greater));
    device.setRenderState(aGpuRenderState::AlphaRef, 128);
    put(*sprite, letter.get(), 168, 98, 0xFFFFFFFF);
    device.setRenderState(aGpuRenderState::AlphaTestEnable, 0);
    device.setRenderState(aGpuRenderState::AlphaRef, 0);
    setBlend(device, aGpuBlend::SrcAlpha, aGpuBlend::InvSrcAlpha);
    // A 16-bit (4444) copy of the letter.
    put(*sprite, letter16.get(), 208, 98, 0xFFFFFFFF);
    sprite->end();

    // Scissor: a large sprite clipped to a small viewport.
    device.setViewport({8, 140, 40, 20});
    sprite->begin();
    put(*sprite, letter.get(), 0, 120, 0xFFFFFFFF, &huge);
    sprite->end();
    device.setViewport({0, 0, kW, kH});

    // A render target drawn into, then composited at twice its size with point filtering.
    device.setRenderTarget(target.get());
    device.clear(0xFF000060);
    sprite->begin();
    put(*sprite, letter.get(), 0, 0, 0xFFFFFFFF, nullptr, &part);
    put(*sprite, white.get(), 20, 4, 0xFF00C0C0);
    sprite->end();
    device.setRenderTarget(nullptr);
    filter(aGpuFilter::Point);
    sprite->begin();
    put(*sprite, target.get(), 56, 140, 0xFFFFFFFF, &twice);
    sprite->end();
    filter(aGpuFilter::Linear);

    if (font)
        font->drawText("fps: 60.0", -1, {136, 150, 256, 170}, 0, 0xFFFFFFFF);
    device.endScene();
    device.present();

    std::vector<uint32_t> pixels;
    uint32_t w = 0, h = 0;
    device.readBackBuffer(pixels, w, h);
    return pixels;
}

} // namespace

TEST(GpuGolden, SceneMatchesTheReferencePicture)
{
    kbtest::expectGolden(renderScene(), kW, kH, "gpu_scene");
}
