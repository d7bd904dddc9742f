#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "orvo/platform/gpu/gl_fixture.h"

using namespace kbtest;

TEST_F(GpuGL, TexturesMadeOnAnotherThreadDrawOnTheMainThread)
{
    const uint32_t colours[3] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
    std::vector<std::unique_ptr<aGpuTexture>> made(3);
    std::thread([&] {
        for (int i = 0; i < 3; ++i)
            made[i] = solidTexture(6, 6, aGpuFormat::A8R8G8B8, colours[i]);
    }).join();
    for (int frame = 0; frame < 2; ++frame) {
        beginFrame();
        sprite->begin();
        for (int i = 0; i < 3; ++i)
            put(*sprite, made[i].get(), float(i * 10), 0, 0xFFFFFFFF);
        sprite->end();
        device().endScene();
        device().present();
        // Frame 2 uploads only the refilled and the new texture.
        EXPECT_EQ(device().lastFrameStats().textureUploads, frame == 0 ? 3u : 2u);

        // Refilled and destroyed on the other thread between frames.
        std::thread([&] {
            aGpuLockedRect locked;
            ASSERT_EQ(made[0]->lock(locked), aGpuResult::Ok);
            static_cast<uint32_t*>(locked.bits)[0] = 0xFFFFFFFF;
            made[0]->unlock();
            made[2].reset();
        }).join();
        made[2] = solidTexture(6, 6, aGpuFormat::A8R8G8B8, 0xFF0000FF);
    }
    const auto px = readBack(); // the refilled pixel reached the GPU
    EXPECT_EQ(std::vector<uint32_t>({at(px, 0, 0), at(px, 1, 0), at(px, 12, 3), at(px, 22, 3)}),
              std::vector<uint32_t>({0xFFFFFFFF, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF}));
}

TEST_F(GpuGL, ALostDeviceNeedsAResetThatResizesTheBackBufferAndKeepsTexturesAndStates)
{
    auto texture = solidTexture(4, 4, aGpuFormat::A1R5G5B5, 0xFF00FF00);
    aGpuPresentParams params = device().presentParams();
    params.backBufferWidth = 64;
    params.backBufferHeight = 48;
    device().loseDevice(2);
    EXPECT_EQ(device().testCooperativeLevel(), aGpuResult::DeviceLost);
    EXPECT_EQ(device().reset(params), aGpuResult::DeviceLost) << "no reset while lost";
    for (aGpuResult level : {aGpuResult::DeviceLost, aGpuResult::DeviceNotReset, aGpuResult::DeviceNotReset})
        EXPECT_EQ(device().testCooperativeLevel(), level);
    // States survive the reset; the viewport comes back to the whole back buffer.
    device().setRenderState(aGpuRenderState::AlphaRef, 77);
    device().setViewport({10, 10, 20, 20});
    ASSERT_EQ(device().reset(params), aGpuResult::Ok);
    EXPECT_TRUE(device().testCooperativeLevel() == aGpuResult::Ok &&
                device().getRenderState(aGpuRenderState::AlphaRef) == 77);
    EXPECT_EQ(device().getViewport(), (aGpuViewport{0, 0, 64, 48}));
    device().setRenderState(aGpuRenderState::AlphaRef, 0);

    beginFrame();
    put(*sprite, texture.get(), 60, 44, 0xFFFFFFFF);
    device().endScene();
    std::vector<uint32_t> pixels;
    uint32_t w = 0, h = 0;
    ASSERT_TRUE(device().readBackBuffer(pixels, w, h) == aGpuResult::Ok && w == 64 && h == 48);
    EXPECT_EQ(pixels[47 * 64 + 63], 0xFF00FF00u) << "drawn at the new size, clipped at its edge";
}

TEST(GpuGLLife, TexturesMayOutliveTheirDevice)
{
    std::unique_ptr<aGpuTexture> survivor;
    {
        aGpuDeviceGL device;
        aGpuPresentParams params;
        params.backBufferWidth = params.backBufferHeight = 16;
        ASSERT_EQ(device.create(params), aGpuResult::Ok);
        ASSERT_EQ(device.createTexture(4, 4, aGpuFormat::A8R8G8B8, aGpuUsage::None, survivor), aGpuResult::Ok);
        std::unique_ptr<aGpuSprite> sprite;
        ASSERT_EQ(device.createSprite(sprite), aGpuResult::Ok);
        ASSERT_EQ(device.beginScene(), aGpuResult::Ok);
        sprite->draw(survivor.get(), nullptr, nullptr, nullptr, 0, nullptr, 0xFFFFFFFF);
        device.endScene();
        EXPECT_NE(survivor->backendName(), 0u);
    }
    EXPECT_EQ(survivor->backendName(), 0u) << "the GL object went with the device";
    aGpuLockedRect locked;
    EXPECT_TRUE(survivor->lock(locked) == aGpuResult::Ok && survivor->unlock() == aGpuResult::Ok) << "the CPU copy";
}

TEST_F(GpuGL, DrawsThatFillTheStreamBuffersSeveralTimesInOneFrameDrawTheirOwnVertices)
{
    EXPECT_EQ(device().presentWait(), aGpuPresentWait::NoDisplay) << "the offscreen driver has no display";
    const auto colourAt = [](uint32_t x, uint32_t y) { return 0xFF000000u | (x << 16) | (y << 8) | ((x + y) & 1); };
    // One draw a pixel, each with its own vertices and twice its two triangles
    // (the index stream fills too): earlier draws are still in flight when the
    // streams start again.
    beginFrame();
    device().setTexture(0, nullptr);
    device().setVertexFormat(aGpuVertexFormat::Tex1);
    const uint16_t indices[12] = {0, 1, 2, 2, 1, 3, 0, 1, 2, 2, 1, 3};
    for (uint32_t y = 0; y < kHeight; ++y)
        for (uint32_t x = 0; x < kWidth; ++x) {
            const float l = float(x), t = float(y), c = 0;
            const uint32_t argb = colourAt(x, y);
            const aGpuVertex quad[4] = {{l, t, c, 1, argb, 0, 0},
                                        {l + 1, t, c, 1, argb, 0, 0},
                                        {l, t + 1, c, 1, argb, 0, 0},
                                        {l + 1, t + 1, c, 1, argb, 0, 0}};
            ASSERT_EQ(device().drawIndexedPrimitiveUP(aGpuPrimitive::TriangleList, 0, 4, 4, indices, quad,
                                                      sizeof(aGpuVertex)),
                      aGpuResult::Ok);
        }
    auto pixels = endFrame();
    size_t wrong = 0;
    for (uint32_t y = 0; y < kHeight; ++y)
        for (uint32_t x = 0; x < kWidth; ++x)
            wrong += at(pixels, x, y) != colourAt(x, y);
    EXPECT_EQ(wrong, 0u);

    // One draw larger than the whole stream buffer.
    std::vector<aGpuVertex> triangles;
    for (uint32_t y = 0; y < kHeight; ++y)
        for (uint32_t x = 0; x < kWidth; ++x) {
            const float l = float(x), t = float(y);
            const uint32_t argb = colourAt(kWidth - 1 - x, y);
            for (const auto& [dx, dy] : {std::pair{0, 0}, {1, 0}, {0, 1}, {0, 1}, {1, 0}, {1, 1}})
                triangles.push_back({l + dx, t + dy, 0, 1, argb, 0, 0});
        }
    ASSERT_GT(triangles.size() * sizeof(aGpuVertex), size_t(1) << 20);
    beginFrame();
    device().setTexture(0, nullptr);
    device().setVertexFormat(aGpuVertexFormat::Tex1);
    ASSERT_EQ(device().drawPrimitiveUP(aGpuPrimitive::TriangleList, uint32_t(triangles.size() / 3), triangles.data(),
                                       sizeof(aGpuVertex)),
              aGpuResult::Ok);
    pixels = endFrame();
    wrong = 0;
    for (uint32_t y = 0; y < kHeight; ++y)
        for (uint32_t x = 0; x < kWidth; ++x)
            wrong += at(pixels, x, y) != colourAt(kWidth - 1 - x, y);
    EXPECT_EQ(wrong, 0u);
}

TEST_F(GpuGL, APackedPictureDrawsAndLocksAsItsPixelsWere)
{
    // A clear surround with a coloured middle, as a sprite sheet has.
    const auto argbAt = [](uint32_t x, uint32_t y) {
        return x >= 8 && x < 24 && y >= 4 && y < 12 ? 0xFF000000u | (x << 18) | (y << 10) : 0x00000000u;
    };
    auto packed = kbtest::texture(device(), 32, 16, aGpuFormat::A8R8G8B8, argbAt);
    auto plain = kbtest::texture(device(), 32, 16, aGpuFormat::A8R8G8B8, argbAt);
    const std::vector<uint8_t> original = plain->pixels();
    packed->pack();
    ASSERT_TRUE(packed->isPacked());
    EXPECT_EQ(packed->pixels(), original);
    EXPECT_TRUE(packed->isPacked()) << "looking leaves it packed";

    beginFrame();
    sprite->begin();
    put(*sprite, packed.get(), 0, 0, 0xFFFFFFFF);
    put(*sprite, plain.get(), 0, 40, 0xFFFFFFFF);
    sprite->end();
    auto pixels = endFrame();
    size_t wrong = 0;
    for (uint32_t y = 0; y < 16; ++y)
        for (uint32_t x = 0; x < 32; ++x)
            wrong += at(pixels, x, y) != at(pixels, x, y + 40) || at(pixels, x, y) != (argbAt(x, y) | 0xFF000000u);
    EXPECT_EQ(wrong, 0u);

    // A lock unpacks it for good, with every pixel as it was.
    aGpuLockedRect locked;
    ASSERT_EQ(packed->lock(locked, nullptr, gpuLockReadOnly), aGpuResult::Ok);
    EXPECT_EQ(
        std::vector<uint8_t>(static_cast<uint8_t*>(locked.bits), static_cast<uint8_t*>(locked.bits) + 32 * 16 * 4),
        original);
    packed->unlock();
    EXPECT_FALSE(packed->isPacked());

    // Nothing to gain or nothing allowed: 16-bit pictures, noise, an open lock.
    auto halves = solidTexture(32, 16, aGpuFormat::R5G6B5, 0);
    halves->pack();
    auto noise =
        kbtest::texture(device(), 32, 16, aGpuFormat::A8R8G8B8, [](uint32_t x, uint32_t y) { return x * 977 + y; });
    noise->pack();
    auto open = solidTexture(32, 16, aGpuFormat::A8R8G8B8, 0);
    ASSERT_EQ(open->lock(locked), aGpuResult::Ok);
    open->pack();
    EXPECT_FALSE(halves->isPacked() || noise->isPacked() || open->isPacked());
    open->unlock();
}

TEST_F(GpuGL, ATextureGivenAnotherTexturesRunsDrawsItsPictureAndRunsOfAnotherSizeAreRefused)
{
    const auto argbAt = [](uint32_t x, uint32_t y) { return x >= 6 && x < 10 && y >= 2 ? 0xFF102030u + x : 0u; };
    auto source = kbtest::texture(device(), 16, 8, aGpuFormat::A8R8G8B8, argbAt);
    source->pack();
    const std::vector<uint32_t> runs = source->packedRuns();
    ASSERT_FALSE(runs.empty());
    auto copy = solidTexture(16, 8, aGpuFormat::A8R8G8B8, 0xFFFFFFFF);
    beginFrame();
    sprite->begin();
    put(*sprite, copy.get(), 0, 0, 0xFFFFFFFF); // uploaded white first: the runs must upload again
    sprite->end();
    endFrame();
    ASSERT_TRUE(copy->setPackedRuns(runs));
    EXPECT_TRUE(copy->isPacked());
    EXPECT_EQ(copy->pixels(), source->pixels());
    beginFrame();
    sprite->begin();
    put(*sprite, copy.get(), 0, 0, 0xFFFFFFFF);
    sprite->end();
    const auto pixels = endFrame();
    size_t wrong = 0;
    for (uint32_t y = 0; y < 8; ++y)
        for (uint32_t x = 0; x < 16; ++x)
            wrong += at(pixels, x, y) != (argbAt(x, y) | 0xFF000000u);
    EXPECT_EQ(wrong, 0u);

    // Runs of another size, an open lock, a 16-bit texture: nothing changes.
    auto small = solidTexture(8, 8, aGpuFormat::A8R8G8B8, 0xFF00FF00);
    auto halves = solidTexture(16, 8, aGpuFormat::R5G6B5, 0xFF00FF00);
    aGpuLockedRect locked;
    auto open = solidTexture(16, 8, aGpuFormat::A8R8G8B8, 0xFF00FF00);
    ASSERT_EQ(open->lock(locked), aGpuResult::Ok);
    EXPECT_FALSE(small->setPackedRuns(runs) || halves->setPackedRuns(runs) || open->setPackedRuns(runs));
    open->unlock();
    EXPECT_FALSE(small->isPacked() || halves->isPacked() || open->isPacked());
    EXPECT_EQ(small->pixels(), solidTexture(8, 8, aGpuFormat::A8R8G8B8, 0xFF00FF00)->pixels());
}

namespace {

// Mesa gives a freed GL name to the next new object only when asked to, as
// other drivers do by default; set before the device's context is made.
struct ReusedGLNames {
    ReusedGLNames() { setenv("force_gl_names_reuse", "true", 1); }
    ~ReusedGLNames() { unsetenv("force_gl_names_reuse"); }
};
class GpuGLReusedNames : private ReusedGLNames, public GpuGL {};

} // namespace

TEST_F(GpuGLReusedNames, DrawsSampleTheirOwnTexturesWhateverUploadsAndFreedNamesLeftBound)
{
    const auto quad = [&](float x, aGpuTexture* stage0, aGpuTexture* stage1) {
        device().setTexture(0, stage0);
        device().setTexture(1, stage1);
        device().setVertexFormat(aGpuVertexFormat::Tex1);
        const aGpuVertex v[4] = {{x, 0, 0, 1, 0xFFFFFFFF, 0, 0},
                                 {x + 4, 0, 0, 1, 0xFFFFFFFF, 1, 0},
                                 {x, 4, 0, 1, 0xFFFFFFFF, 0, 1},
                                 {x + 4, 4, 0, 1, 0xFFFFFFFF, 1, 1}};
        EXPECT_EQ(device().drawPrimitiveUP(aGpuPrimitive::TriangleStrip, 2, v, sizeof(aGpuVertex)), aGpuResult::Ok);
    };
    // Names come in the order of first draws; a freed name comes back for the next new texture.
    auto red = solidTexture(4, 4, aGpuFormat::A8R8G8B8, 0xFFFF0000);
    auto green = solidTexture(4, 4, aGpuFormat::A8R8G8B8, 0xFF00FF00);
    auto blue = solidTexture(4, 4, aGpuFormat::A8R8G8B8, 0xFF0000FF);
    beginFrame();
    quad(0, red.get(), nullptr);
    quad(10, green.get(), nullptr);
    quad(20, red.get(), nullptr);
    quad(30, red.get(), blue.get()); // blue's upload binds it on the unit the red draw left active
    quad(40, blue.get(), nullptr);
    quad(50, red.get(), green.get());
    auto px = endFrame();
    EXPECT_EQ(std::vector<uint32_t>(
                  {at(px, 2, 2), at(px, 12, 2), at(px, 22, 2), at(px, 32, 2), at(px, 42, 2), at(px, 52, 2)}),
              std::vector<uint32_t>({0xFFFF0000, 0xFF00FF00, 0xFFFF0000, 0xFFFF0000, 0xFF0000FF, 0xFFFF0000}));
    device().present();

    // Freed at the present, and unbound by GL: red's name, still on unit 0, comes back for white.
    red.reset();
    green.reset();
    blue.reset();
    device().present();
    auto white = solidTexture(4, 4, aGpuFormat::A8R8G8B8, 0xFFFFFFFF);
    beginFrame();
    quad(0, white.get(), nullptr);
    px = endFrame();
    EXPECT_EQ(at(px, 2, 2), 0xFFFFFFFFu);
}
