// Scaled and turned sprites with linear filtering draw without seams: no colour of a neighbouring frame of
// a packed strip, nor of the texture's opposite edge, bleeds in. Golden: tests/data/golden/strip_frames.png.
#include <gtest/gtest.h>

#include "orvo/platform/gpu/gl_fixture.h"
#include "support/golden.h"

using namespace kbtest;

TEST_F(GpuGL, FramesOfAPackedStripAndWholeTexturesKeepTheirEdgesWhenScaledOrTurned)
{
    // Three 16 x 16 frames side by side without a gap: red, green, blue.
    const uint32_t colours[3] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
    auto strip = texture(device(), 48, 16, aGpuFormat::A8R8G8B8, [&](uint32_t x, uint32_t) { return colours[x / 16]; });
    // Red on the left half, blue on the right: wrapping would bring each to the other's edge.
    auto halves = texture(device(), 16, 16, aGpuFormat::A8R8G8B8,
                          [](uint32_t x, uint32_t) { return x < 8 ? 0xFFFF0000u : 0xFF0000FFu; });
    beginFrame();
    for (aGpuStageState s : {aGpuStageState::MinFilter, aGpuStageState::MagFilter})
        device().setTextureStageState(0, s, static_cast<uint32_t>(aGpuFilter::Linear));
    const aGpuRect green{16, 0, 32, 16};
    const aGpuVec2 big{2.5f, 2.5f}, wide{3.0f, 1.5f}, four{4.0f, 4.0f}, small{0.75f, 0.75f};
    const aGpuVec2 centre{20, 20}, at1{8, 8}, at2{56, 6}, at3{8, 60}, at4{120, 90};
    ASSERT_EQ(sprite->begin(), aGpuResult::Ok);
    sprite->draw(strip.get(), &green, &big, &centre, 0.4f, &at1, 0xFFFFFFFF);
    sprite->draw(strip.get(), &green, &wide, nullptr, 0.0f, &at2, 0xFFFFFFFF);
    sprite->draw(strip.get(), &green, &small, nullptr, 0.0f, &at4, 0xFFFFFFFF);
    sprite->draw(halves.get(), nullptr, &four, nullptr, 0.0f, &at3, 0xFFFFFFFF);
    ASSERT_EQ(sprite->end(), aGpuResult::Ok);
    const std::vector<uint32_t> frame = endFrame();
    expectGolden(frame, kWidth, kHeight, "strip_frames");

    int bled = 0;
    for (uint32_t y = 0; y < kHeight; ++y)
        for (uint32_t x = 0; x < kWidth; ++x) {
            const uint32_t p = at(frame, x, y), red = (p >> 16) & 0xFF, blue = p & 0xFF;
            const bool inHalves = x >= 8 && x < 72 && y >= 60 && y < 124;
            if (!inHalves)
                bled += red != 0 || blue != 0; // only green and black outside the halves
            else if (x < 8 + 24)
                bled += blue != 0; // the red half, away from the blend in the middle
            else if (x >= 8 + 40)
                bled += red != 0;
        }
    EXPECT_EQ(bled, 0) << "pixels with a neighbour's colour (the golden shows the frames are drawn)";
}
