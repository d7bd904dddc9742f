// The golden frame: one scene that uses every drawing feature of the device,
// rendered offscreen by the OpenGL backend and compared with
// tests/data/golden/gpu_scene.png. After an intended change of the picture,
// refresh the reference with
//     KB_UPDATE_GOLDEN=1 SDL_VIDEODRIVER=offscreen build/test/tests/orvo_tests --gtest_filter=GpuGolden.*
// and look at the new PNG before committing it. On a mismatch the frame is
// written to gpu_scene.actual.png in the working folder.
#include <gtest/gtest.h>

#include <cmath>

#include "orvo/platform/gpu/a_gpudevicegl.h"
#include "orvo/platform/gpu/a_gpufont.h"
#include "orvo/platform/gpu/a_gpuimage.h"
#include "orvo/platform/gpu/a_gpusprite.h"
#include "support/golden.h"

namespace {

constexpr uint32_t kW = 256, kH = 192;

// A 32 x 32 picture that shows any turn or mirror: an orange "F" with a
// blue corner mark on a transparent ground and a soft alpha ramp at the foot.
std::unique_ptr<aGpuTexture> letterTexture(aGpuDevice& d, aGpuFormat format)
{
    aGpuPicture p;
    p.width = p.height = 32;
    p.pixels.assign(32 * 32, 0);
    for (uint32_t y = 0; y < 32; ++y)
        for (uint32_t x = 0; x < 32; ++x) {
            uint32_t c = 0;
            const bool stem = x >= 4 && x < 10 && y >= 2 && y < 30;
            const bool top = y >= 2 && y < 8 && x >= 4 && x < 28;
            const bool mid = y >= 13 && y < 18 && x >= 4 && x < 22;
            if (stem || top || mid)
                c = 0xFFFF8020;
            if (x >= 24 && y >= 24)
                c = 0xFF2040FF;
            if (y >= 30)
                c = ((x * 8) << 24) | 0x00FFFFFF;
            p.pixels[y * 32 + x] = c;
        }
    std::unique_ptr<aGpuTexture> t;
    EXPECT_EQ(gpu_createTextureFromPicture(d, p, format, t), aGpuResult::Ok);
    return t;
}

std::unique_ptr<aGpuTexture> solid(aGpuDevice& d, uint32_t w, uint32_t h, uint32_t argb)
{
    aGpuPicture p;
    p.width = w;
    p.height = h;
    p.pixels.assign(w * h, argb);
    std::unique_ptr<aGpuTexture> t;
    EXPECT_EQ(gpu_createTextureFromPicture(d, p, aGpuFormat::A8R8G8B8, t), aGpuResult::Ok);
    return t;
}

void untexturedRect(aGpuDevice& d, float x, float y, float w, float h, uint32_t c, bool filled)
{
    d.setTexture(0, nullptr);
    d.setVertexFormat(aGpuVertexFormat::Tex1);
    if (filled) {
        const aGpuVertex v[4] = {
            {x, y, 0, 1, c, 0, 0}, {x + w, y, 0, 1, c, 0, 0}, {x, y + h, 0, 1, c, 0, 0}, {x + w, y + h, 0, 1, c, 0, 0}};
        d.drawPrimitiveUP(aGpuPrimitive::TriangleStrip, 2, v, sizeof(aGpuVertex));
    } else {
        const aGpuVertex v[5] = {{x, y, 0, 1, c, 0, 0},
                                 {x + w - 1, y, 0, 1, c, 0, 0},
                                 {x + w - 1, y + h - 1, 0, 1, c, 0, 0},
                                 {x, y + h - 1, 0, 1, c, 0, 0},
                                 {x, y, 0, 1, c, 0, 0}};
        d.drawPrimitiveUP(aGpuPrimitive::LineStrip, 4, v, sizeof(aGpuVertex));
    }
}

void state(aGpuDevice& d, aGpuRenderState s, uint32_t v)
{
    d.setRenderState(s, v);
}
void blend(aGpuDevice& d, aGpuBlend src, aGpuBlend dst)
{
    state(d, aGpuRenderState::SrcBlend, static_cast<uint32_t>(src));
    state(d, aGpuRenderState::DestBlend, static_cast<uint32_t>(dst));
}
void colorOp(aGpuDevice& d, aGpuTextureOp op, aGpuTextureArg a1, aGpuTextureArg a2)
{
    d.setTextureStageState(0, aGpuStageState::ColorOp, static_cast<uint32_t>(op));
    d.setTextureStageState(0, aGpuStageState::ColorArg1, static_cast<uint32_t>(a1));
    d.setTextureStageState(0, aGpuStageState::ColorArg2, static_cast<uint32_t>(a2));
}
void filter(aGpuDevice& d, aGpuFilter f)
{
    d.setTextureStageState(0, aGpuStageState::MinFilter, static_cast<uint32_t>(f));
    d.setTextureStageState(0, aGpuStageState::MagFilter, static_cast<uint32_t>(f));
}

std::vector<uint32_t> renderScene()
{
    aGpuDeviceGL device;
    aGpuPresentParams params;
    params.backBufferWidth = kW;
    params.backBufferHeight = kH;
    if (device.create(params) != aGpuResult::Ok)
        return {};
    auto letter = letterTexture(device, aGpuFormat::A8R8G8B8);
    auto letter16 = letterTexture(device, aGpuFormat::A4R4G4B4);
    auto white = solid(device, 8, 8, 0xFFFFFFFF);
    std::unique_ptr<aGpuTexture> target;
    device.createTexture(32, 16, aGpuFormat::X8R8G8B8, aGpuUsage::RenderTarget, target);
    std::unique_ptr<aGpuSprite> sprite;
    device.createSprite(sprite);
    std::unique_ptr<aGpuFont> font;
    device.createFont({-15, 700, "Arial"}, font);

    device.beginScene();
    device.clear(0xFF203040);
    state(device, aGpuRenderState::AlphaBlendEnable, 1);
    blend(device, aGpuBlend::SrcAlpha, aGpuBlend::InvSrcAlpha);
    filter(device, aGpuFilter::Linear);

    // Primitives: filled and outlined rectangles.
    untexturedRect(device, 8, 8, 40, 24, 0xFFE03030, true);
    untexturedRect(device, 56, 8, 40, 24, 0xFFF0E040, false);
    untexturedRect(device, 104, 8, 40, 24, 0x8000FF00, true);

    // Sprites: plain, tinted, scaled, turned about the centre, mirrored.
    sprite->begin();
    auto at = [](float x, float y) { return aGpuVec2{x, y}; };
    aGpuVec2 p = at(8, 40);
    sprite->draw(letter.get(), nullptr, nullptr, nullptr, 0, &p, 0xFFFFFFFF);
    p = at(48, 40);
    sprite->draw(letter.get(), nullptr, nullptr, nullptr, 0, &p, 0xFF80FF80);
    p = at(88, 40);
    const aGpuVec2 big{1.5f, 1.5f}, centre{24, 24}, mirror{-1, 1}, half{1, 0.5f};
    sprite->draw(letter.get(), nullptr, &big, nullptr, 0, &p, 0xFFFFFFFF);
    p = at(144, 40);
    sprite->draw(letter.get(), nullptr, &big, &centre, 0.5f, &p, 0xFFFFFFFF);
    p = at(232, 40);
    sprite->draw(letter.get(), nullptr, &mirror, nullptr, 0, &p, 0xFFFFFFFF);
    const aGpuRect part{0, 0, 16, 16};
    p = at(240, 40);
    sprite->draw(letter.get(), &part, &half, nullptr, 0, &p, 0xFFFFFFFF);
    sprite->end();

    // Blends over a grey band: normal at half alpha, additive, multiply.
    untexturedRect(device, 0, 96, kW, 36, 0xFF808080, true);
    sprite->begin();
    p = at(8, 98);
    sprite->draw(letter.get(), nullptr, nullptr, nullptr, 0, &p, 0x80FFFFFF);
    blend(device, aGpuBlend::SrcAlpha, aGpuBlend::One);
    p = at(48, 98);
    sprite->draw(letter.get(), nullptr, nullptr, nullptr, 0, &p, 0xFFFFFFFF);
    blend(device, aGpuBlend::Zero, aGpuBlend::SrcColor);
    p = at(88, 98);
    sprite->draw(letter.get(), nullptr, nullptr, nullptr, 0, &p, 0xFFFFFFFF);
    blend(device, aGpuBlend::SrcAlpha, aGpuBlend::InvSrcAlpha);
    // The silhouette: diffuse only.
    colorOp(device, aGpuTextureOp::SelectArg1, aGpuTextureArg::Diffuse, aGpuTextureArg::Texture);
    p = at(128, 98);
    sprite->draw(letter.get(), nullptr, nullptr, nullptr, 0, &p, 0xFF101010);
    colorOp(device, aGpuTextureOp::Modulate, aGpuTextureArg::Texture, aGpuTextureArg::Current);
    // Alpha test: the soft foot row disappears where alpha <= 128.
    blend(device, aGpuBlend::One, aGpuBlend::Zero);
    state(device, aGpuRenderState::AlphaTestEnable, 1);
    state(device, aGpuRenderState::AlphaFunc, static_cast<uint32_t>(aGpuCompare::Greater));
    state(device, aGpuRenderState::AlphaRef, 128);
    p = at(168, 98);
    sprite->draw(letter.get(), nullptr, nullptr, nullptr, 0, &p, 0xFFFFFFFF);
    state(device, aGpuRenderState::AlphaTestEnable, 0);
    state(device, aGpuRenderState::AlphaRef, 0);
    blend(device, aGpuBlend::SrcAlpha, aGpuBlend::InvSrcAlpha);
    // A 16-bit (4444) copy of the letter.
    p = at(208, 98);
    sprite->draw(letter16.get(), nullptr, nullptr, nullptr, 0, &p, 0xFFFFFFFF);
    sprite->end();

    // Scissor: a large sprite clipped to a small viewport.
    device.setViewport({8, 140, 40, 20});
    sprite->begin();
    const aGpuVec2 huge{3, 3};
    p = at(0, 120);
    sprite->draw(letter.get(), nullptr, &huge, nullptr, 0, &p, 0xFFFFFFFF);
    sprite->end();
    device.setViewport({0, 0, kW, kH});

    // A render target drawn into, then composited at twice its size with point filtering.
    device.setRenderTarget(target.get());
    device.clear(0xFF000060);
    sprite->begin();
    p = at(0, 0);
    const aGpuRect corner{0, 0, 16, 16};
    sprite->draw(letter.get(), &corner, nullptr, nullptr, 0, &p, 0xFFFFFFFF);
    p = at(20, 4);
    sprite->draw(white.get(), nullptr, nullptr, nullptr, 0, &p, 0xFF00C0C0);
    sprite->end();
    device.setRenderTarget(nullptr);
    filter(device, aGpuFilter::Point);
    sprite->begin();
    const aGpuVec2 twice{2, 2};
    p = at(56, 140);
    sprite->draw(target.get(), nullptr, &twice, nullptr, 0, &p, 0xFFFFFFFF);
    sprite->end();
    filter(device, aGpuFilter::Linear);

    if (font)
        font->drawText("fps: 60.0", -1, {136, 150, 256, 170}, 0, 0xFFFFFFFF);
    device.endScene();
    device.present();

    std::vector<uint32_t> pixels;
    uint32_t w = 0, h = 0;
    device.readBackBuffer(pixels, w, h);
    sprite.reset();
    font.reset();
    return pixels;
}

} // namespace

TEST(GpuGolden, SceneMatchesTheReferencePicture)
{
    kbtest::expectGolden(renderScene(), kW, kH, "gpu_scene");
}
