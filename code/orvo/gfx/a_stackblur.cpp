#include "orvo/gfx/a_stackblur.h"

#include <cstddef>
#include <vector>

namespace {

// value / divisor for every sum a window can reach (at most 255 x divisor),
// through a table while it stays small.
class Divider {
public:
    explicit Divider(uint64_t divisor) : m_divisor(divisor)
    {
        constexpr uint64_t kMaxTable = 1u << 20;
        if (divisor * 256 <= kMaxTable) {
            m_table.resize(divisor * 256);
            for (size_t i = 0; i < m_table.size(); ++i)
                m_table[i] = static_cast<uint8_t>(i / divisor);
        }
    }
    uint32_t operator()(uint64_t sum) const
    {
        return m_table.empty() ? static_cast<uint32_t>(sum / m_divisor) : m_table[sum];
    }

private:
    uint64_t m_divisor;
    std::vector<uint8_t> m_table;
};

uint32_t channel(uint32_t argb, int c)
{
    return (argb >> (c * 8)) & 0xFF;
}

// One line of n words into `out`. The window sum moves one pixel at a time:
// the left half (up to the centre) loses one weight, the right half gains one.
void blurLine(const uint32_t* line, uint32_t n, uint32_t radius, const Divider& divide, uint32_t* out)
{
    const int64_t last = static_cast<int64_t>(n) - 1;
    auto at = [&](int64_t i) { return line[i < 0 ? 0 : i > last ? last : i]; };
    const int64_t r = radius;
    uint64_t sum[4] = {}, left[4] = {}, right[4] = {};
    for (int64_t i = -r; i <= r; ++i) {
        const uint32_t p = at(i);
        const uint64_t weight = static_cast<uint64_t>(r + 1 - (i < 0 ? -i : i));
        for (int c = 0; c < 4; ++c) {
            sum[c] += channel(p, c) * weight;
            (i <= 0 ? left : right)[c] += channel(p, c);
        }
    }
    for (int64_t x = 0; x <= last; ++x) {
        out[x] = divide(sum[0]) | (divide(sum[1]) << 8) | (divide(sum[2]) << 16) | (divide(sum[3]) << 24);
        const uint32_t leaving = at(x - r), entering = at(x + r + 1), centre = at(x + 1);
        for (int c = 0; c < 4; ++c) {
            sum[c] -= left[c];
            left[c] -= channel(leaving, c);
            right[c] += channel(entering, c);
            sum[c] += right[c];
            left[c] += channel(centre, c);
            right[c] -= channel(centre, c);
        }
    }
}

} // namespace

void image_stackBlur(uint32_t* argb, uint32_t width, uint32_t height, uint32_t pitch, uint32_t radius)
{
    if (!argb || radius < 1 || width == 0 || height == 0)
        return;
    const uint64_t weights = static_cast<uint64_t>(radius) + 1;
    const Divider divide(weights * weights);
    // The horizontal pass lands in a packed copy (four channel bytes a word).
    std::vector<uint32_t> across(static_cast<size_t>(width) * height);
    for (uint32_t y = 0; y < height; ++y)
        blurLine(argb + static_cast<size_t>(y) * pitch, width, radius, divide, &across[static_cast<size_t>(y) * width]);
    std::vector<uint32_t> column(height), blurred(height);
    for (uint32_t x = 0; x < width; ++x) {
        for (uint32_t y = 0; y < height; ++y)
            column[y] = across[static_cast<size_t>(y) * width + x];
        blurLine(column.data(), height, radius, divide, blurred.data());
        for (uint32_t y = 0; y < height; ++y)
            argb[static_cast<size_t>(y) * pitch + x] = blurred[y];
    }
}
