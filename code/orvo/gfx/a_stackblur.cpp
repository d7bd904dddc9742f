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

// One line of n words into `out`. The line is first spread into channel
// bytes with the edge pixels repeated `radius + 1` times on each side, so
// the window never needs a bounds check. The window sum then moves one pixel
// at a time: the left half (up to the centre) loses one weight, the right
// half gains one. The four channels go side by side (independent sums the
// processor can run at once). Sum is wide enough for 255 x (radius + 1)^2.
template <typename Sum>
void blurLine(const uint32_t* line, uint32_t n, uint32_t radius, const Divider& divide, uint32_t* out,
              std::vector<uint8_t>& spread)
{
    const size_t pad = radius + 1;
    const size_t length = n + 2 * pad;
    spread.resize(length * 4);
    for (size_t i = 0; i < length; ++i) {
        const size_t from = i < pad ? 0 : i - pad >= n ? n - 1 : i - pad;
        const uint32_t p = line[from];
        for (int c = 0; c < 4; ++c)
            spread[i * 4 + c] = static_cast<uint8_t>(p >> (c * 8));
    }
    const uint8_t* v = &spread[pad * 4]; // v[4x + c]: channel c of pixel x, from x = -pad to n - 1 + pad
    const int64_t r = radius;
    Sum sum[4] = {}, left[4] = {}, right[4] = {};
    for (int64_t i = -r; i <= r; ++i) {
        const Sum weight = static_cast<Sum>(r + 1 - (i < 0 ? -i : i));
        for (int c = 0; c < 4; ++c) {
            sum[c] += static_cast<Sum>(v[i * 4 + c]) * weight;
            (i <= 0 ? left : right)[c] += v[i * 4 + c];
        }
    }
    for (int64_t x = 0; x < static_cast<int64_t>(n); ++x) {
        out[x] = divide(sum[0]) | (divide(sum[1]) << 8) | (divide(sum[2]) << 16) | (divide(sum[3]) << 24);
        const uint8_t* leaving = v + (x - r) * 4;
        const uint8_t* entering = v + (x + r + 1) * 4;
        const uint8_t* centre = v + (x + 1) * 4;
        for (int c = 0; c < 4; ++c) {
            sum[c] -= left[c];
            right[c] += entering[c];
            sum[c] += right[c];
            right[c] -= centre[c];
            left[c] += static_cast<Sum>(centre[c]) - leaving[c];
        }
    }
}

// The vertical pass: the same window moved down all columns at once, a row
// at a time, so every read and write runs along rows.
template <typename Sum>
void blurColumns(const uint32_t* rows, uint32_t width, uint32_t height, uint32_t radius, const Divider& divide,
                 uint32_t* argb, uint32_t pitch)
{
    const int64_t r = radius, last = static_cast<int64_t>(height) - 1;
    auto row = [&](int64_t y) { return rows + static_cast<size_t>(y < 0 ? 0 : y > last ? last : y) * width; };
    const size_t cells = static_cast<size_t>(width) * 4;
    std::vector<Sum> sum(cells), left(cells), right(cells);
    for (int64_t i = -r; i <= r; ++i) {
        const uint32_t* p = row(i);
        const Sum weight = static_cast<Sum>(r + 1 - (i < 0 ? -i : i));
        std::vector<Sum>& half = i <= 0 ? left : right;
        for (size_t x = 0; x < width; ++x)
            for (int c = 0; c < 4; ++c) {
                const Sum value = (p[x] >> (c * 8)) & 0xFF;
                sum[x * 4 + c] += value * weight;
                half[x * 4 + c] += value;
            }
    }
    for (int64_t y = 0; y <= last; ++y) {
        uint32_t* out = argb + static_cast<size_t>(y) * pitch;
        const uint32_t *leaving = row(y - r), *entering = row(y + r + 1), *centre = row(y + 1);
        for (size_t x = 0; x < width; ++x) {
            Sum* s = &sum[x * 4];
            Sum* l = &left[x * 4];
            Sum* rt = &right[x * 4];
            out[x] = divide(s[0]) | (divide(s[1]) << 8) | (divide(s[2]) << 16) | (divide(s[3]) << 24);
            for (int c = 0; c < 4; ++c) {
                const int shift = c * 8;
                const Sum in = (entering[x] >> shift) & 0xFF, mid = (centre[x] >> shift) & 0xFF;
                s[c] -= l[c];
                rt[c] += in;
                s[c] += rt[c];
                rt[c] -= mid;
                l[c] += mid - ((leaving[x] >> shift) & 0xFF);
            }
        }
    }
}

template <typename Sum>
void blurPicture(uint32_t* argb, uint32_t width, uint32_t height, uint32_t pitch, uint32_t radius,
                 const Divider& divide)
{
    std::vector<uint8_t> spread;
    // The horizontal pass lands in a packed copy (four channel bytes a word).
    std::vector<uint32_t> across(static_cast<size_t>(width) * height);
    for (uint32_t y = 0; y < height; ++y)
        blurLine<Sum>(argb + static_cast<size_t>(y) * pitch, width, radius, divide,
                      &across[static_cast<size_t>(y) * width], spread);
    blurColumns<Sum>(across.data(), width, height, radius, divide, argb, pitch);
}

} // namespace

void image_stackBlur(uint32_t* argb, uint32_t width, uint32_t height, uint32_t pitch, uint32_t radius)
{
    if (!argb || radius < 1 || width == 0 || height == 0)
        return;
    const uint64_t weights = static_cast<uint64_t>(radius) + 1;
    const uint64_t divisor = weights * weights;
    const Divider divide(divisor);
    // 32-bit sums while they cannot overflow (radius below 4096).
    if (divisor * 256 <= UINT32_MAX)
        blurPicture<uint32_t>(argb, width, height, pitch, radius, divide);
    else
        blurPicture<uint64_t>(argb, width, height, pitch, radius, divide);
}
