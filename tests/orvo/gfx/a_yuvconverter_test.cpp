#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "orvo/gfx/a_yuvconverter.h"

// The tables round (i - 128) times their factor; a float model of that must
// agree everywhere, which catches a wrong start, step or shift in any table.
TEST(YuvConverter, MatchesRoundedModelForEveryChromaValue)
{
    auto model = [](int y, int u, int v) {
        auto rounded = [](int i, int step) {
            // floor((i - 128) * step / 65536 + 1/2), exactly as an arithmetic shift does it
            const int64_t n = static_cast<int64_t>(i - 128) * step + 32768;
            return static_cast<int>(n >= 0 ? n / 65536 : -((-n + 65535) / 65536));
        };
        auto clamp = [](int c) { return c < 0 ? 0 : c > 255 ? 255 : c; };
        const int b = clamp(y + rounded(u, 113508));
        const int r = clamp(y + rounded(v, 113443));
        const int g = clamp(y - rounded(u, 22020) - rounded(v, 45744));
        return 0xFF000000u | static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 | static_cast<uint32_t>(b);
    };
    for (int y : {0, 16, 128, 235, 255})
        for (int u = 0; u < 256; ++u)
            for (int v = 0; v < 256; v += 17)
                ASSERT_EQ(aYuvConverter::toBgra(y, u, v), model(y, u, v)) << "y " << y << " u " << u << " v " << v;
}

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
                aYuvPicture p;
                p.y = plane(y, w, h, 10, 1);
                p.u = plane(u, cw, ch, 60, 5);
                p.v = plane(v, cw, ch, 200, -4);
                p.left = 2;
                p.top = 1;
                p.width = 4;
                p.height = 4;
                p.chromaShiftX = shiftX;
                p.chromaShiftY = shiftY;
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
