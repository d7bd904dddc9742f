#include "game/support/painted_water.h"

#include <algorithm>

namespace kbtest {

namespace {

bool waterColoured(uint32_t argb)
{
    const int32_t r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    return r < 110 && g > r + 25 && b > r + 25;
}

} // namespace

PaintedWater::PaintedWater(const aGpuPicture& background)
    : m_width(static_cast<int32_t>(background.width)), m_height(static_cast<int32_t>(background.height))
{
    if (background.pixels.size() != static_cast<size_t>(m_width) * m_height)
        m_width = m_height = 0;
    std::vector<uint8_t> coloured(background.pixels.size());
    for (size_t i = 0; i < coloured.size(); ++i)
        coloured[i] = waterColoured(background.pixels[i]);
    m_sums.assign(static_cast<size_t>(m_width + 1) * (m_height + 1), 0);
    const size_t stride = static_cast<size_t>(m_width) + 1;
    for (int32_t y = 0; y < m_height; ++y)
        for (int32_t x = 0; x < m_width; ++x) {
            // Most of its 3 x 3 neighbourhood in the picture (itself counted) is water-coloured.
            int32_t inside = 0, around = 0;
            for (int32_t ny = std::max(y - 1, 0); ny <= std::min(y + 1, m_height - 1); ++ny)
                for (int32_t nx = std::max(x - 1, 0); nx <= std::min(x + 1, m_width - 1); ++nx) {
                    ++inside;
                    around += coloured[static_cast<size_t>(ny) * m_width + nx];
                }
            const int64_t wet = coloured[static_cast<size_t>(y) * m_width + x] && 2 * around > inside;
            m_sums[(y + 1) * stride + x + 1] =
                wet + m_sums[y * stride + x + 1] + m_sums[(y + 1) * stride + x] - m_sums[y * stride + x];
        }
}

int64_t PaintedWater::count(int32_t x0, int32_t y0, int32_t x1, int32_t y1) const
{
    x0 = std::clamp(x0, 0, m_width), x1 = std::clamp(x1, 0, m_width);
    y0 = std::clamp(y0, 0, m_height), y1 = std::clamp(y1, 0, m_height);
    if (x0 >= x1 || y0 >= y1)
        return 0;
    const size_t stride = static_cast<size_t>(m_width) + 1;
    return m_sums[y1 * stride + x1] - m_sums[y0 * stride + x1] - m_sums[y1 * stride + x0] + m_sums[y0 * stride + x0];
}

} // namespace kbtest
