#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "orvo/gfx/a_yuvconverter.h"

// A 4x4 picture at (2, 1) inside 8x6 planes: every pixel must take its own
// luma and the chroma sample of its own 2x2 (or 2x1, 1x1) block, also when
// the planes are stored bottom-up.
TEST(YuvConverter, PictureOffsetSubsamplingAndNegativeStride)
{
    const int w = 8, h = 6;
    for (int shiftX : {0, 1})
        for (int shiftY : {0, 1})
            for (bool bottomUp : {false, true}) {
                // Planes whose every sample differs; bottom-up planes hold the same rows mirrored in memory.
                const int cw = w >> shiftX, ch = h >> shiftY;
                auto plane = [bottomUp](std::vector<uint8_t>& bytes, int width, int rows, int first, int step) {
                    for (int i = 0; i < width * rows; ++i)
                        bytes[bottomUp ? (rows - 1 - i / width) * width + i % width : i] = uint8_t(first + step * i);
                    return bottomUp ? aYuvPlane{bytes.data() + (rows - 1) * width, -width}
                                    : aYuvPlane{bytes.data(), width};
                };
                std::vector<uint8_t> y(w * h), u(cw * ch), v(cw * ch);
                const aYuvPicture p{plane(y, w, h, 10, 1),
                                    plane(u, cw, ch, 60, 5),
                                    plane(v, cw, ch, 200, -4),
                                    2,
                                    1,
                                    4,
                                    4,
                                    shiftX,
                                    shiftY};
                std::vector<uint32_t> out(5 * 4, 0xDEADBEEF);
                aYuvConverter::convert(p, out.data(), 5);
                for (int r = 0; r < 4; ++r) {
                    for (int c = 0; c < 4; ++c) {
                        const int lr = r + 1, lc = c + 2, ci = (lr >> shiftY) * cw + (lc >> shiftX);
                        ASSERT_EQ(out[r * 5 + c], aYuvConverter::toBgra(10 + lr * w + lc, 60 + 5 * ci, 200 - 4 * ci))
                            << "row " << r << " col " << c << " shifts " << shiftX << shiftY << " bottomUp "
                            << bottomUp;
                    }
                    EXPECT_EQ(out[r * 5 + 4], 0xDEADBEEFu) << "wrote past the picture row";
                }
            }
}
