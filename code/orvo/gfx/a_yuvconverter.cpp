#include "orvo/gfx/a_yuvconverter.h"

#include <array>
#include <cstddef>

namespace {

using Table = std::array<int32_t, 256>;

// entry i = (start + i * step) >> 16, the shift arithmetic: each start holds
// -128 steps plus one half, so an entry is (i - 128) * step / 65536 rounded.
constexpr Table makeTable(int32_t start, int32_t step)
{
    Table table{};
    for (int32_t i = 0; i < 256; ++i)
        table[static_cast<std::size_t>(i)] = (start + i * step) >> 16;
    return table;
}

constexpr Table kBlueFromU = makeTable(-14496256, 113508);
constexpr Table kRedFromV = makeTable(-14487936, 113443);
constexpr Table kGreenFromU = makeTable(-2785792, 22020);
constexpr Table kGreenFromV = makeTable(-5822464, 45744);

inline uint32_t clampByte(int32_t value)
{
    return static_cast<uint32_t>(value < 0 ? 0 : value > 255 ? 255 : value);
}

inline uint32_t pixel(int32_t y, uint8_t u, uint8_t v)
{
    const int32_t b = y + kBlueFromU[u];
    const int32_t r = y + kRedFromV[v];
    const int32_t g = y - kGreenFromU[u] - kGreenFromV[v];
    return 0xFF000000u | clampByte(r) << 16 | clampByte(g) << 8 | clampByte(b);
}

} // namespace

uint32_t aYuvConverter::toBgra(int y, int u, int v)
{
    return pixel(static_cast<int32_t>(clampByte(y)), static_cast<uint8_t>(clampByte(u)),
                 static_cast<uint8_t>(clampByte(v)));
}

void aYuvConverter::convert(const aYuvPicture& p, uint32_t* out, int32_t pitch)
{
    for (int32_t row = 0; row < p.height; ++row) {
        const int32_t lumaRow = p.top + row;
        const int32_t chromaRow = lumaRow >> p.chromaShiftY;
        const uint8_t* ys = p.y.data + static_cast<intptr_t>(lumaRow) * p.y.stride + p.left;
        const uint8_t* us = p.u.data + static_cast<intptr_t>(chromaRow) * p.u.stride;
        const uint8_t* vs = p.v.data + static_cast<intptr_t>(chromaRow) * p.v.stride;
        uint32_t* line = out + static_cast<intptr_t>(row) * pitch;
        for (int32_t col = 0; col < p.width; ++col) {
            const int32_t chromaCol = (p.left + col) >> p.chromaShiftX;
            line[col] = pixel(ys[col], us[chromaCol], vs[chromaCol]);
        }
    }
}
