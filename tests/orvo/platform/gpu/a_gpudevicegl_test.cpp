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
        const aGpuVertex v[4] = {{x, y, 0, 1, color, 0, 0}, {x + w, y, 0, 1, color, 0, 0},
                                 {x, y + h, 0, 1, color, 0, 0}, {x + w, y + h, 0, 1, color, 0, 0}};
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
