#include <gtest/gtest.h>

#include <thread>

#include "orvo/platform/gpu/a_gpusprite.h"
#include "orvo/platform/gpu/gl_fixture.h"

using kbtest::GpuGL;

namespace {

void rect(aGpuDevice& device, float x, float y, float w, float h, uint32_t color, bool filled)
{
    device.setTexture(0, nullptr);
    device.setVertexFormat(aGpuVertexFormat::Tex1);
    if (filled) {
        const aGpuVertex v[4] = {{x, y, 0, 1, color, 0, 0},
                                 {x + w, y, 0, 1, color, 0, 0},
                                 {x, y + h, 0, 1, color, 0, 0},
                                 {x + w, y + h, 0, 1, color, 0, 0}};
        EXPECT_EQ(device.drawPrimitiveUP(aGpuPrimitive::TriangleStrip, 2, v, sizeof(aGpuVertex)), aGpuResult::Ok);
    } else {
        const aGpuVertex v[5] = {{x, y, 0, 1, color, 0, 0},
                                 {x + w - 1, y, 0, 1, color, 0, 0},
                                 {x + w - 1, y + h - 1, 0, 1, color, 0, 0},
                                 {x, y + h - 1, 0, 1, color, 0, 0},
                                 {x, y, 0, 1, color, 0, 0}};
        EXPECT_EQ(device.drawPrimitiveUP(aGpuPrimitive::LineStrip, 4, v, sizeof(aGpuVertex)), aGpuResult::Ok);
    }
}

} // namespace

TEST_F(GpuGL, FilledAndOutlinedRectanglesCoverExactPixels)
{
    ASSERT_EQ(device().beginScene(), aGpuResult::Ok);
    device().clear(0xFF000000);
    rect(device(), 10, 10, 20, 10, 0xFFFF0000, true);
    rect(device(), 40, 10, 20, 10, 0xFF00FF00, false);
    device().endScene();
    const auto px = readBack();
    EXPECT_EQ(at(px, 10, 10), 0xFFFF0000u);
    EXPECT_EQ(at(px, 29, 19), 0xFFFF0000u);
    EXPECT_EQ(at(px, 30, 10), 0xFF000000u);
    EXPECT_EQ(at(px, 10, 20), 0xFF000000u);
    EXPECT_EQ(at(px, 9, 10), 0xFF000000u);
    for (uint32_t x = 40; x < 60; ++x) {
        EXPECT_EQ(at(px, x, 10), 0xFF00FF00u) << "top x=" << x;
        EXPECT_EQ(at(px, x, 19), 0xFF00FF00u) << "bottom x=" << x;
    }
    for (uint32_t y = 10; y < 20; ++y) {
        EXPECT_EQ(at(px, 40, y), 0xFF00FF00u) << "left y=" << y;
        EXPECT_EQ(at(px, 59, y), 0xFF00FF00u) << "right y=" << y;
    }
    EXPECT_EQ(at(px, 60, 10), 0xFF000000u);
    EXPECT_EQ(at(px, 39, 10), 0xFF000000u);
    EXPECT_EQ(at(px, 50, 15), 0xFF000000u);
    EXPECT_EQ(at(px, 50, 9), 0xFF000000u);
    EXPECT_EQ(at(px, 50, 20), 0xFF000000u);
}

TEST_F(GpuGL, OutlinesLightExactlyTheirBorderPixels)
{
    struct Box {
        int x, y, w, h;
    };
    const Box boxes[] = {{10, 5, 2, 2}, {20, 5, 3, 7}, {30, 5, 17, 4}, {60, 5, 40, 30}, {5, 50, 9, 1}};
    ASSERT_EQ(device().beginScene(), aGpuResult::Ok);
    device().clear(0xFF000000);
    for (const Box& b : boxes)
        rect(device(), static_cast<float>(b.x), static_cast<float>(b.y), static_cast<float>(b.w),
             static_cast<float>(b.h), 0xFFFFFFFF, false);
    device().endScene();
    const auto px = readBack();
    for (uint32_t y = 0; y < kHeight; ++y) {
        for (uint32_t x = 0; x < kWidth; ++x) {
            bool border = false;
            for (const Box& b : boxes) {
                const int ix = static_cast<int>(x), iy = static_cast<int>(y);
                const bool inside = ix >= b.x && ix < b.x + b.w && iy >= b.y && iy < b.y + b.h;
                border |= inside && (ix == b.x || ix == b.x + b.w - 1 || iy == b.y || iy == b.y + b.h - 1);
            }
            EXPECT_EQ(at(px, x, y), border ? 0xFFFFFFFFu : 0xFF000000u) << "pixel " << x << "," << y;
        }
    }
}

namespace {

void setStage0(aGpuDevice& d, aGpuTextureOp colorOp, aGpuTextureArg a1, aGpuTextureArg a2)
{
    d.setTextureStageState(0, aGpuStageState::ColorOp, static_cast<uint32_t>(colorOp));
    d.setTextureStageState(0, aGpuStageState::ColorArg1, static_cast<uint32_t>(a1));
    d.setTextureStageState(0, aGpuStageState::ColorArg2, static_cast<uint32_t>(a2));
}

void setBlend(aGpuDevice& d, aGpuBlend src, aGpuBlend dst)
{
    d.setRenderState(aGpuRenderState::AlphaBlendEnable, 1);
    d.setRenderState(aGpuRenderState::SrcBlend, static_cast<uint32_t>(src));
    d.setRenderState(aGpuRenderState::DestBlend, static_cast<uint32_t>(dst));
}

bool near(uint32_t actual, uint32_t expected, int tolerance = 1)
{
    for (int s = 0; s < 32; s += 8)
        if (std::abs(static_cast<int>((actual >> s) & 0xFF) - static_cast<int>((expected >> s) & 0xFF)) > tolerance)
            return false;
    return true;
}

} // namespace

TEST_F(GpuGL, TextureOperationsAndBlendsGiveExactColours)
{
    auto white = solidTexture(8, 8, aGpuFormat::A8R8G8B8, 0xFFFFFFFF);
    auto grey = solidTexture(8, 8, aGpuFormat::A8R8G8B8, 0xFF808080);
    std::unique_ptr<aGpuSprite> sprite;
    ASSERT_EQ(device().createSprite(sprite), aGpuResult::Ok);
    ASSERT_EQ(device().beginScene(), aGpuResult::Ok);
    device().clear(0xFF000000);
    setBlend(device(), aGpuBlend::SrcAlpha, aGpuBlend::InvSrcAlpha);
    sprite->begin();
    const aGpuVec2 p0{0, 0}, p1{10, 0}, p2{20, 0}, p3{30, 0}, p4{40, 0};
    sprite->draw(white.get(), nullptr, nullptr, nullptr, 0, &p0, 0xFF804020); // texture x diffuse
    sprite->draw(white.get(), nullptr, nullptr, nullptr, 0, &p1, 0x80FFFFFF); // half over black
    setStage0(device(), aGpuTextureOp::Add, aGpuTextureArg::Texture, aGpuTextureArg::Current);
    sprite->draw(grey.get(), nullptr, nullptr, nullptr, 0, &p2, 0xFF102030); // texture + diffuse
    setStage0(device(), aGpuTextureOp::Subtract, aGpuTextureArg::Texture, aGpuTextureArg::Current);
    sprite->draw(grey.get(), nullptr, nullptr, nullptr, 0, &p3, 0xFF102030); // texture - diffuse
    setStage0(device(), aGpuTextureOp::Subtract, aGpuTextureArg::Current, aGpuTextureArg::Texture);
    sprite->draw(grey.get(), nullptr, nullptr, nullptr, 0, &p4, 0xFFF0A090); // diffuse - texture
    setStage0(device(), aGpuTextureOp::Modulate, aGpuTextureArg::Texture, aGpuTextureArg::Current);
    sprite->end();

    // Additive and multiplying blends over a known background.
    sprite->begin();
    const aGpuVec2 q0{0, 20}, q1{10, 20};
    sprite->draw(white.get(), nullptr, nullptr, nullptr, 0, &q0, 0xFF102030);
    sprite->draw(white.get(), nullptr, nullptr, nullptr, 0, &q1, 0xFFFF8040);
    setBlend(device(), aGpuBlend::SrcAlpha, aGpuBlend::One);
    sprite->draw(white.get(), nullptr, nullptr, nullptr, 0, &q0, 0xFF203040);
    setBlend(device(), aGpuBlend::Zero, aGpuBlend::SrcColor);
    sprite->draw(grey.get(), nullptr, nullptr, nullptr, 0, &q1, 0xFFFFFFFF);
    sprite->end();
    setBlend(device(), aGpuBlend::SrcAlpha, aGpuBlend::InvSrcAlpha);
    device().endScene();

    const auto px = readBack();
    EXPECT_EQ(at(px, 3, 3), 0xFF804020u);
    EXPECT_TRUE(near(at(px, 13, 3), 0xFF808080)) << std::hex << at(px, 13, 3);
    EXPECT_EQ(at(px, 23, 3), 0xFF90A0B0u);
    EXPECT_EQ(at(px, 33, 3), 0xFF706050u);
    EXPECT_EQ(at(px, 43, 3), 0xFF702010u);
    EXPECT_EQ(at(px, 3, 23), 0xFF305070u);
    EXPECT_TRUE(near(at(px, 13, 23), 0xFF804020)) << std::hex << at(px, 13, 23);
    EXPECT_EQ(at(px, 8, 3), 0xFF000000u) << "an 8-pixel sprite covers exactly 8 pixels";
}

TEST_F(GpuGL, DiffuseOnlySilhouetteAlphaTestAndScissor)
{
    // Left half alpha 100, right half alpha 200.
    std::unique_ptr<aGpuTexture> shape;
    ASSERT_EQ(device().createTexture(8, 4, aGpuFormat::A8R8G8B8, aGpuUsage::None, shape), aGpuResult::Ok);
    aGpuLockedRect locked;
    ASSERT_EQ(shape->lock(locked), aGpuResult::Ok);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            static_cast<uint32_t*>(locked.bits)[y * 8 + x] = x < 4 ? 0x64123456u : 0xC8123456u;
    shape->unlock();
    auto white = solidTexture(4, 4, aGpuFormat::A8R8G8B8, 0xFFFFFFFF);

    std::unique_ptr<aGpuSprite> sprite;
    ASSERT_EQ(device().createSprite(sprite), aGpuResult::Ok);
    ASSERT_EQ(device().beginScene(), aGpuResult::Ok);
    device().clear(0xFF000000);
    sprite->begin();
    // Opaque copy with the alpha test: only alpha above 150 passes.
    setBlend(device(), aGpuBlend::One, aGpuBlend::Zero);
    device().setRenderState(aGpuRenderState::AlphaTestEnable, 1);
    device().setRenderState(aGpuRenderState::AlphaFunc, static_cast<uint32_t>(aGpuCompare::Greater));
    device().setRenderState(aGpuRenderState::AlphaRef, 150);
    const aGpuVec2 a{0, 0};
    sprite->draw(shape.get(), nullptr, nullptr, nullptr, 0, &a, 0xFFFFFFFF);
    device().setRenderState(aGpuRenderState::AlphaTestEnable, 0);
    // Diffuse only: the shape filled with the draw colour, its alpha kept.
    setBlend(device(), aGpuBlend::SrcAlpha, aGpuBlend::InvSrcAlpha);
    setStage0(device(), aGpuTextureOp::SelectArg1, aGpuTextureArg::Diffuse, aGpuTextureArg::Texture);
    const aGpuVec2 b{0, 10};
    sprite->draw(shape.get(), nullptr, nullptr, nullptr, 0, &b, 0xFFFF0000);
    setStage0(device(), aGpuTextureOp::Modulate, aGpuTextureArg::Texture, aGpuTextureArg::Current);
    // Scissor: a 4 x 4 sprite scaled to 40 x 40 inside a 10 x 5 viewport.
    device().setViewport({50, 50, 10, 5});
    const aGpuVec2 c{40, 40}, big{10, 10};
    sprite->draw(white.get(), nullptr, &big, nullptr, 0, &c, 0xFF00FF00);
    sprite->end();
    device().setViewport({0, 0, kWidth, kHeight});
    device().endScene();

    const auto px = readBack();
    EXPECT_EQ(at(px, 1, 1), 0xFF000000u) << "alpha 100 is not greater than 150";
    EXPECT_EQ(at(px, 6, 1), 0xFF123456u);
    EXPECT_TRUE(near(at(px, 1, 11), 0xFF640000u)) << "red at alpha 100 over black: " << std::hex << at(px, 1, 11);
    EXPECT_TRUE(near(at(px, 6, 11), 0xFFC80000u)) << std::hex << at(px, 6, 11);
    EXPECT_EQ(at(px, 50, 50), 0xFF00FF00u);
    EXPECT_EQ(at(px, 59, 54), 0xFF00FF00u);
    EXPECT_EQ(at(px, 60, 54), 0xFF000000u);
    EXPECT_EQ(at(px, 59, 55), 0xFF000000u);
    EXPECT_EQ(at(px, 49, 50), 0xFF000000u);
    EXPECT_EQ(at(px, 45, 45), 0xFF000000u);
}

TEST_F(GpuGL, SixteenBitTexturesAndRenderTargetsComposite)
{
    auto t16 = solidTexture(4, 4, aGpuFormat::A4R4G4B4, 0xFF88CC44);
    auto t565 = solidTexture(4, 4, aGpuFormat::R5G6B5, 0xFFFFFFFF);
    std::unique_ptr<aGpuTexture> target;
    ASSERT_EQ(device().createTexture(8, 4, aGpuFormat::X8R8G8B8, aGpuUsage::RenderTarget, target), aGpuResult::Ok);
    std::unique_ptr<aGpuSprite> sprite;
    ASSERT_EQ(device().createSprite(sprite), aGpuResult::Ok);

    ASSERT_EQ(device().beginScene(), aGpuResult::Ok);
    device().clear(0xFF000000);
    ASSERT_EQ(device().setRenderTarget(target.get()), aGpuResult::Ok);
    device().clear(0xFF0000FF);
    sprite->begin();
    setBlend(device(), aGpuBlend::SrcAlpha, aGpuBlend::InvSrcAlpha);
    const aGpuVec2 right{4, 0};
    sprite->draw(t16.get(), nullptr, nullptr, nullptr, 0, &right, 0xFFFFFFFF);
    sprite->end();
    ASSERT_EQ(device().setRenderTarget(nullptr), aGpuResult::Ok);
    sprite->begin();
    const aGpuVec2 at0{10, 10}, twice{2, 2}, at1{40, 10};
    sprite->draw(target.get(), nullptr, &twice, nullptr, 0, &at0, 0xFFFFFFFF);
    sprite->draw(t565.get(), nullptr, nullptr, nullptr, 0, &at1, 0xFFFFFFFF);
    sprite->end();
    device().endScene();

    const auto px = readBack();
    // Each target pixel is a 2 x 2 block under point filtering.
    for (uint32_t y = 10; y < 18; ++y)
        for (uint32_t x = 10; x < 26; ++x)
            ASSERT_EQ(at(px, x, y), x < 18 ? 0xFF0000FFu : 0xFF88CC44u) << x << "," << y;
    EXPECT_EQ(at(px, 26, 10), 0xFF000000u);
    EXPECT_EQ(at(px, 41, 11), 0xFFFFFFFFu) << "16-bit white shows as full white";
}

TEST_F(GpuGL, SecondStageMasksWithTheSecondCoordinateSet)
{
    auto picture = solidTexture(4, 4, aGpuFormat::A8R8G8B8, 0xFF40C080);
    std::unique_ptr<aGpuTexture> mask;
    ASSERT_EQ(device().createTexture(2, 1, aGpuFormat::A8R8G8B8, aGpuUsage::None, mask), aGpuResult::Ok);
    aGpuLockedRect locked;
    ASSERT_EQ(mask->lock(locked), aGpuResult::Ok);
    static_cast<uint32_t*>(locked.bits)[0] = 0x00000000; // shallow
    static_cast<uint32_t*>(locked.bits)[1] = 0xFF000000; // deep: hidden
    mask->unlock();

    ASSERT_EQ(device().beginScene(), aGpuResult::Ok);
    device().clear(0xFF000000);
    setBlend(device(), aGpuBlend::SrcAlpha, aGpuBlend::InvSrcAlpha);
    device().setTexture(0, picture.get());
    device().setTexture(1, mask.get());
    device().setTextureStageState(1, aGpuStageState::ColorOp, static_cast<uint32_t>(aGpuTextureOp::SelectArg2));
    device().setTextureStageState(1, aGpuStageState::AlphaOp, static_cast<uint32_t>(aGpuTextureOp::Modulate));
    device().setTextureStageState(1, aGpuStageState::AlphaArg1,
                                  static_cast<uint32_t>(aGpuTextureArg::Texture) | gpuArgComplement);
    device().setVertexFormat(aGpuVertexFormat::Tex2);
    const aGpuVertex2 quad[4] = {{10, 10, 0, 1, 0xFFFFFFFF, 0, 0, 0, 0},
                                 {30, 10, 0, 1, 0xFFFFFFFF, 1, 0, 1, 0},
                                 {10, 20, 0, 1, 0xFFFFFFFF, 0, 1, 0, 1},
                                 {30, 20, 0, 1, 0xFFFFFFFF, 1, 1, 1, 1}};
    ASSERT_EQ(device().drawPrimitiveUP(aGpuPrimitive::TriangleStrip, 2, quad, sizeof(aGpuVertex2)), aGpuResult::Ok);
    // The same stage-1 states have no effect on 28-byte vertices.
    device().setVertexFormat(aGpuVertexFormat::Tex1);
    const aGpuVertex plain[4] = {{10, 30, 0, 1, 0xFFFFFFFF, 0, 0},
                                 {30, 30, 0, 1, 0xFFFFFFFF, 1, 0},
                                 {10, 40, 0, 1, 0xFFFFFFFF, 0, 1},
                                 {30, 40, 0, 1, 0xFFFFFFFF, 1, 1}};
    ASSERT_EQ(device().drawPrimitiveUP(aGpuPrimitive::TriangleStrip, 2, plain, sizeof(aGpuVertex)), aGpuResult::Ok);
    device().setTexture(1, nullptr);
    device().endScene();

    const auto px = readBack();
    EXPECT_EQ(at(px, 12, 12), 0xFF40C080u);
    EXPECT_EQ(at(px, 28, 12), 0xFF000000u);
    EXPECT_EQ(at(px, 28, 32), 0xFF40C080u);
}

TEST_F(GpuGL, TexturesMadeOnAnotherThreadDrawOnTheMainThread)
{
    std::vector<std::unique_ptr<aGpuTexture>> made(3);
    std::thread loader([&] {
        const uint32_t colours[3] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
        for (int i = 0; i < 3; ++i) {
            ASSERT_EQ(device().createTexture(6, 6, aGpuFormat::A8R8G8B8, aGpuUsage::None, made[i]), aGpuResult::Ok);
            aGpuLockedRect locked;
            ASSERT_EQ(made[i]->lock(locked), aGpuResult::Ok);
            for (int p = 0; p < 36; ++p)
                static_cast<uint32_t*>(locked.bits)[p] = colours[i];
            made[i]->unlock();
        }
    });
    loader.join();
    std::unique_ptr<aGpuSprite> sprite;
    ASSERT_EQ(device().createSprite(sprite), aGpuResult::Ok);
    for (int frame = 0; frame < 2; ++frame) {
        ASSERT_EQ(device().beginScene(), aGpuResult::Ok);
        device().clear(0xFF000000);
        sprite->begin();
        for (int i = 0; i < 3; ++i) {
            const aGpuVec2 p{static_cast<float>(i * 10), 0};
            sprite->draw(made[i].get(), nullptr, nullptr, nullptr, 0, &p, 0xFFFFFFFF);
        }
        sprite->end();
        device().endScene();
        device().present();
        // Frame 2 uploads only the refilled and the new texture.
        EXPECT_EQ(device().lastFrameStats().textureUploads, frame == 0 ? 3u : 2u);
        EXPECT_EQ(device().lastFrameStats().drawCalls, 3u);

        // Refilled and destroyed on the other thread between frames.
        std::thread worker([&] {
            aGpuLockedRect locked;
            ASSERT_EQ(made[0]->lock(locked), aGpuResult::Ok);
            static_cast<uint32_t*>(locked.bits)[0] = 0xFFFFFFFF;
            made[0]->unlock();
            made[2].reset();
        });
        worker.join();
        made[2] = solidTexture(6, 6, aGpuFormat::A8R8G8B8, 0xFF0000FF);
    }
    const auto px = readBack();
    EXPECT_EQ(at(px, 0, 0), 0xFFFFFFFFu) << "the refilled pixel reached the GPU";
    EXPECT_EQ(at(px, 1, 0), 0xFFFF0000u);
    EXPECT_EQ(at(px, 12, 3), 0xFF00FF00u);
    EXPECT_EQ(at(px, 22, 3), 0xFF0000FFu);
}

TEST_F(GpuGL, ClearFillsOnlyTheViewport)
{
    ASSERT_EQ(device().beginScene(), aGpuResult::Ok);
    device().clear(0xFF000000);
    device().setViewport({20, 10, 5, 3});
    device().clear(0xFFFFFFFF);
    device().setViewport({0, 0, kWidth, kHeight});
    device().endScene();
    EXPECT_EQ(device().present(), aGpuResult::Ok);
    const auto px = readBack();
    EXPECT_EQ(at(px, 20, 10), 0xFFFFFFFFu);
    EXPECT_EQ(at(px, 24, 12), 0xFFFFFFFFu);
    EXPECT_EQ(at(px, 25, 12), 0xFF000000u);
    EXPECT_EQ(at(px, 24, 13), 0xFF000000u);
    EXPECT_EQ(at(px, 19, 10), 0xFF000000u);
}

TEST_F(GpuGL, ResetResizesTheBackBufferAndKeepsTextures)
{
    auto texture = solidTexture(4, 4, aGpuFormat::A1R5G5B5, 0xFF00FF00);
    std::unique_ptr<aGpuSprite> sprite;
    ASSERT_EQ(device().createSprite(sprite), aGpuResult::Ok);
    device().loseDevice(1);
    EXPECT_EQ(device().testCooperativeLevel(), aGpuResult::DeviceLost);
    EXPECT_EQ(device().testCooperativeLevel(), aGpuResult::DeviceNotReset);
    aGpuPresentParams params = device().presentParams();
    params.backBufferWidth = 64;
    params.backBufferHeight = 48;
    ASSERT_EQ(device().reset(params), aGpuResult::Ok);
    ASSERT_EQ(device().beginScene(), aGpuResult::Ok);
    device().clear(0xFF000000);
    const aGpuVec2 p{60, 44};
    sprite->draw(texture.get(), nullptr, nullptr, nullptr, 0, &p, 0xFFFFFFFF);
    device().endScene();
    std::vector<uint32_t> pixels;
    uint32_t w = 0, h = 0;
    ASSERT_EQ(device().readBackBuffer(pixels, w, h), aGpuResult::Ok);
    ASSERT_EQ(w, 64u);
    ASSERT_EQ(h, 48u);
    EXPECT_EQ(pixels[47 * 64 + 63], 0xFF00FF00u) << "drawn at the new size, clipped at its edge";
}

TEST(GpuGLLife, TexturesMayOutliveTheirDevice)
{
    std::unique_ptr<aGpuTexture> survivor;
    {
        aGpuDeviceGL device;
        aGpuPresentParams params;
        params.backBufferWidth = 16;
        params.backBufferHeight = 16;
        ASSERT_EQ(device.create(params), aGpuResult::Ok);
        ASSERT_EQ(device.createTexture(4, 4, aGpuFormat::A8R8G8B8, aGpuUsage::None, survivor), aGpuResult::Ok);
        std::unique_ptr<aGpuSprite> sprite;
        ASSERT_EQ(device.createSprite(sprite), aGpuResult::Ok);
        ASSERT_EQ(device.beginScene(), aGpuResult::Ok);
        sprite->draw(survivor.get(), nullptr, nullptr, nullptr, 0, nullptr, 0xFFFFFFFF);
        device.endScene();
        EXPECT_NE(survivor->backendName(), 0u);
        EXPECT_EQ(device.liveTextureCount(), 1u);
    }
    EXPECT_EQ(survivor->backendName(), 0u) << "the GL object went with the device";
    aGpuLockedRect locked;
    EXPECT_EQ(survivor->lock(locked), aGpuResult::Ok) << "the CPU copy stays usable";
    EXPECT_EQ(survivor->unlock(), aGpuResult::Ok);
    survivor.reset();
}
