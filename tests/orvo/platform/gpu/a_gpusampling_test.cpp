// Sprites that land texel for pixel (unscaled, unturned, at whole pixels) are
// sampled without filtering: the picture must be exactly the texels, also on a
// game-size target where rounding in the interpolation would show. Which
// batches count as texel for pixel is checked on the recorder.
#include <gtest/gtest.h>

#include "orvo/platform/gpu/gl_fixture.h"

namespace {

uint32_t hashed(uint32_t x)
{
    x = (x ^ (x >> 16)) * 0x7feb352du;
    x = (x ^ (x >> 15)) * 0x846ca68bu;
    return x ^ (x >> 16);
}

} // namespace

// The last sprite drawn over a pixel shows its texel there.
TEST(GpuSampling, TexelForPixelBatchesGiveExactlyTheTexels)
{
    constexpr uint32_t kW = 1024, kH = 768;
    aGpuDeviceGL device;
    aGpuPresentParams params;
    params.backBufferWidth = kW;
    params.backBufferHeight = kH;
    ASSERT_EQ(device.create(params), aGpuResult::Ok) << "no OpenGL 3.3 context (SDL_VIDEODRIVER=offscreen?)";
    std::unique_ptr<aGpuSprite> sprite;
    ASSERT_EQ(device.createSprite(sprite), aGpuResult::Ok);
    std::vector<std::unique_ptr<aGpuTexture>> textures;
    uint32_t seed = 1;
    for (const auto& [w, h] : {std::pair{32u, 32u}, {37u, 23u}, {613u, 9u}, {2000u, 3u}})
        textures.push_back(kbtest::texture(device, w, h, aGpuFormat::A8R8G8B8,
                                           [&](uint32_t, uint32_t) { return hashed(seed++) | 0xFF000000u; }));
    for (aGpuStageState s : {aGpuStageState::MinFilter, aGpuStageState::MagFilter})
        device.setTextureStageState(0, s, static_cast<uint32_t>(aGpuFilter::Linear));

    // Whole textures and parts of them all over the target.
    std::vector<uint32_t> expected(size_t(kW) * kH, 0xFF203040);
    device.beginScene();
    device.clear(0xFF203040);
    for (uint32_t i = 0; i < 48; ++i) {
        aGpuTexture& t = *textures[i % textures.size()];
        const int32_t tw = int32_t(t.width()), th = int32_t(t.height());
        const int32_t left = i % 3 == 0 ? 0 : int32_t(hashed(i) % (tw / 2 + 1));
        const int32_t top = i % 3 == 0 ? 0 : int32_t(hashed(i + 99) % (th / 2 + 1));
        const aGpuRect source{left, top, std::min(tw, left + 1 + int32_t(hashed(i + 7) % 300)), th};
        const aGpuVec2 at{float(hashed(i + 13) % (kW - 300)), float(hashed(i + 17) % (kH - 40))};
        sprite->begin();
        sprite->draw(&t, &source, nullptr, nullptr, 0, &at, 0xFFFFFFFF);
        sprite->end();
        const std::vector<uint8_t> texels = t.pixels();
        for (int32_t y = source.top; y < source.bottom; ++y)
            for (int32_t x = source.left; x < source.right; ++x)
                expected[size_t(at.y + y - top) * kW + size_t(at.x + x - left)] =
                    gpu_readPixel(aGpuFormat::A8R8G8B8, &texels[(y * tw + x) * 4]);
    }
    device.endScene();
    std::vector<uint32_t> pixels;
    uint32_t w = 0, h = 0;
    device.readBackBuffer(pixels, w, h);
    EXPECT_EQ(kbtest::differing(pixels, expected), 0u);
}
