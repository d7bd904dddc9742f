// Sprites that land texel for pixel (unscaled, unturned, at whole pixels)
// are sampled without filtering; the picture must be exactly the texels, as
// linear filtering gives them. Drawn on a game-size target, where coordinates
// are large enough for rounding in the interpolation to show. Which batches
// count as texel for pixel is checked on the recorder.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "orvo/platform/gpu/gl_fixture.h"

namespace {

constexpr uint32_t kW = 1024, kH = 768;

uint32_t hashed(uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7feb352du;
    x ^= x >> 15;
    x *= 0x846ca68bu;
    return x ^ (x >> 16);
}

struct Placed {
    uint32_t texture;
    aGpuRect source;
    aGpuVec2 at;
};

class GpuSampling : public testing::Test {
protected:
    void SetUp() override
    {
        aGpuPresentParams params;
        params.backBufferWidth = kW;
        params.backBufferHeight = kH;
        ASSERT_EQ(m_device.create(params), aGpuResult::Ok) << "no OpenGL 3.3 context (SDL_VIDEODRIVER=offscreen?)";
        ASSERT_EQ(m_device.createSprite(m_sprite), aGpuResult::Ok);
        const uint32_t sizes[][2] = {{32, 32}, {37, 23}, {613, 9}, {2000, 3}};
        uint32_t seed = 1;
        for (const auto& size : sizes)
            m_textures.push_back(kbtest::texture(m_device, size[0], size[1], aGpuFormat::A8R8G8B8,
                                                 [&](uint32_t, uint32_t) { return hashed(seed++) | 0xFF000000u; }));
        for (aGpuStageState s : {aGpuStageState::MinFilter, aGpuStageState::MagFilter})
            m_device.setTextureStageState(0, s, static_cast<uint32_t>(aGpuFilter::Linear));
    }
    void TearDown() override { m_sprite.reset(); }

    std::vector<uint32_t> frame(const std::vector<Placed>& sprites)
    {
        m_device.beginScene();
        m_device.clear(0xFF203040);
        for (const Placed& p : sprites) {
            m_sprite->begin();
            m_sprite->draw(m_textures[p.texture].get(), &p.source, nullptr, nullptr, 0, &p.at, 0xFFFFFFFF);
            m_sprite->end();
        }
        m_device.endScene();
        std::vector<uint32_t> pixels;
        uint32_t w = 0, h = 0;
        m_device.readBackBuffer(pixels, w, h);
        return pixels;
    }

    // Sprites all over the target: whole textures and parts of them.
    std::vector<Placed> scatter() const
    {
        std::vector<Placed> out;
        for (uint32_t i = 0; i < 48; ++i) {
            const uint32_t t = i % m_textures.size();
            const int32_t tw = int32_t(m_textures[t]->width()), th = int32_t(m_textures[t]->height());
            const int32_t left = i % 3 == 0 ? 0 : int32_t(hashed(i) % (tw / 2 + 1));
            const int32_t top = i % 3 == 0 ? 0 : int32_t(hashed(i + 99) % (th / 2 + 1));
            const aGpuRect source{left, top, std::min(tw, left + 1 + int32_t(hashed(i + 7) % 300)), th};
            const float x = static_cast<float>(hashed(i + 13) % (kW - 300));
            const float y = static_cast<float>(hashed(i + 17) % (kH - 40));
            out.push_back({t, source, {x, y}});
        }
        return out;
    }

    aGpuDeviceGL m_device;
    std::unique_ptr<aGpuSprite> m_sprite;
    std::vector<std::unique_ptr<aGpuTexture>> m_textures;
};

} // namespace

// The last sprite drawn over a pixel shows its texel there.
TEST_F(GpuSampling, TexelForPixelBatchesGiveExactlyTheTexels)
{
    const std::vector<Placed> sprites = scatter();
    std::vector<uint32_t> expected(size_t(kW) * kH, 0xFF203040);
    for (const Placed& p : sprites) {
        const uint32_t width = m_textures[p.texture]->width();
        const std::vector<uint8_t> texels = m_textures[p.texture]->pixels();
        for (int32_t y = p.source.top; y < p.source.bottom; ++y)
            for (int32_t x = p.source.left; x < p.source.right; ++x)
                expected[size_t(p.at.y + y - p.source.top) * kW + size_t(p.at.x + x - p.source.left)] =
                    gpu_readPixel(aGpuFormat::A8R8G8B8, &texels[(y * width + x) * 4]);
    }
    EXPECT_EQ(kbtest::differing(frame(sprites), expected), 0u);
}
