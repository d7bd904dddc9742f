// The batch's regrouping never changes the picture: a crowded, half
// transparent frame of sprites of several pictures (scaled, turned, at
// fractions of pixels, under changing viewports, blends and filters) is
// byte for byte the frame of the same sprites drawn one call each.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "orvo/platform/gpu/gl_fixture.h"
#include "orvo/util/a_random.h"

using namespace kbtest;

TEST_F(GpuGL, RegroupedSpritesDrawTheFrameOfSpritesDrawnOneByOne)
{
    // Four pictures with soft, uneven alpha, so any change of order shows.
    std::unique_ptr<aGpuTexture> pictures[4];
    for (uint32_t k = 0; k < 4; ++k)
        pictures[k] = texture(device(), 12 + 5 * k, 9 + 3 * k, aGpuFormat::A8R8G8B8, [k](uint32_t x, uint32_t y) {
            const uint32_t alpha = 90 + (x * 37 + y * 23 + k * 51) % 166;
            return (alpha << 24) | ((x * 40 + k * 60) & 0xFF) << 16 | ((y * 50 + k * 20) & 0xFF) << 8 | (k * 70 + 30);
        });
    auto drawAll = [&](bool oneByOne) {
        a_srand(47);
        auto next = [](int n) { return a_rand() % n; };
        beginFrame();
        setBlend(device(), aGpuBlend::SrcAlpha, aGpuBlend::InvSrcAlpha);
        EXPECT_EQ(sprite->begin(), aGpuResult::Ok);
        for (int i = 0; i < 400; ++i) {
            switch (next(40)) {
            case 0:
                device().setViewport({next(40), next(30), 60u + next(100), 50u + next(90)});
                break;
            case 1:
                device().setViewport({0, 0, kWidth, kHeight});
                break;
            case 2:
                setBlend(device(), aGpuBlend::SrcAlpha, next(2) ? aGpuBlend::One : aGpuBlend::InvSrcAlpha);
                break;
            case 3:
                device().setTextureStageState(0, aGpuStageState::MagFilter,
                                              static_cast<uint32_t>(next(2) ? aGpuFilter::Linear : aGpuFilter::Point));
                break;
            default:
                break;
            }
            aGpuTexture* t = pictures[next(4)].get();
            // Mostly whole pixels, unscaled, as a screen's pictures and glyphs are; some not. The
            // rasteriser takes another path for a lone quad than for quads in a row, and the two
            // may settle a tie (an edge through pixel centres, a sample on a texel's edge) either
            // way: fractions and scales here make no ties.
            const int kind = next(6);
            const float eighth = static_cast<float>(2 * next(4) + 1) / 8.0f;
            const aGpuVec2 at{static_cast<float>(next(170) - 10) + (kind == 1 ? eighth : 0.0f),
                              static_cast<float>(next(130) - 10) + (kind == 1 ? eighth : 0.0f)};
            const aGpuVec2 scale = kind == 2 ? aGpuVec2{0.8f, 0.8f} : kind == 3 ? aGpuVec2{2.0f, 2.0f} : aGpuVec2{1, 1};
            const float turn = kind == 4 ? 0.1f * static_cast<float>(next(60)) : 0.0f;
            const uint32_t colour = 0xFFFFFFFF - (static_cast<uint32_t>(next(4)) << 28);
            EXPECT_EQ(sprite->draw(t, nullptr, &scale, nullptr, turn, &at, colour), aGpuResult::Ok);
            if (oneByOne)
                sprite->flush();
        }
        EXPECT_EQ(sprite->end(), aGpuResult::Ok);
        device().setViewport({0, 0, kWidth, kHeight});
        setBlend(device(), aGpuBlend::SrcAlpha, aGpuBlend::InvSrcAlpha);
        device().setTextureStageState(0, aGpuStageState::MagFilter, static_cast<uint32_t>(aGpuFilter::Point));
        const uint32_t calls = device().currentStats().drawCalls;
        auto frame = endFrame();
        return std::make_pair(frame, calls);
    };
    const auto [alone, aloneCalls] = drawAll(true);
    const auto [grouped, groupedCalls] = drawAll(false);
    EXPECT_EQ(aloneCalls, 400u);
    EXPECT_LT(groupedCalls, aloneCalls / 2) << "the frame is regrouped";
    EXPECT_EQ(differing(alone, grouped), 0u);
}
