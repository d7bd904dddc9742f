#include "gui/region.h"

#include "orvo/app/a_file.h"
#include "orvo/util/a_log.h"

namespace GUI {

namespace {

// Masks wider or taller than this are refused: no screen needs them, and the
// product of two header fields must not overflow the allocation.
constexpr uint32_t kMaxSide = 16384;
constexpr uint32_t kPaletteOffset = 54;

uint32_t readU32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t readU16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

} // namespace

bool Region::LoadFromBitmap(const std::string& path)
{
    aFileBuffer file(path.c_str());
    const uint8_t* data = file.bytes();
    const uint64_t size = file.size();

    // Every field read below lies inside the file, and so does every stored row.
    bool valid = data && size >= kPaletteOffset + 4 && data[0] == 'B' && data[1] == 'M' && readU16(data + 28) == 1;
    uint32_t width = 0, height = 0, pixels = 0;
    uint64_t rowBytes = 0;
    if (valid) {
        pixels = readU32(data + 10);
        width = readU32(data + 18);
        height = readU32(data + 22); // a negative (top-down) height reads as huge and is refused
        rowBytes = (uint64_t(width) + 31) / 32 * 4;
        valid = width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
                uint64_t(pixels) + rowBytes * height <= size;
    }
    if (!valid) {
        a_log("Region::LoadFromBitmap - invalid bitmap file '%s'", path.c_str());
        return false;
    }

    // The colour that is not black in palette entry 0 forms the region, whichever order the palette has.
    const bool setBitInside = readU32(data + kPaletteOffset) == 0;
    auto mask = std::make_unique<uint8_t[]>(size_t(width) * height);
    for (uint32_t r = 0; r < height; ++r) {
        const uint8_t* row = data + pixels + rowBytes * (height - 1 - r);
        for (uint32_t c = 0; c < width; ++c) {
            const bool bit = (row[c / 8] >> (7 - c % 8)) & 1;
            mask[size_t(r) * width + c] = bit == setBitInside ? 1 : 0;
        }
    }
    m_mask = std::move(mask);
    m_width = width;
    m_height = height;
    return true;
}

bool Region::Contains(int32_t x, int32_t y) const
{
    if (!m_mask || static_cast<uint32_t>(x) >= m_width || static_cast<uint32_t>(y) >= m_height)
        return false;
    return m_mask[size_t(y) * m_width + static_cast<uint32_t>(x)] != 0;
}

} // namespace GUI
