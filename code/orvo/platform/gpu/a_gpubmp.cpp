// Our own BMP reader: uncompressed 1, 4, 8, 16, 24 and 32-bit pictures with
// the core, info and later headers, palettes and bit-field masks, bottom-up
// or top-down. Every offset is checked against the data before it is read.
#include <cstdint>
#include <cstring>
#include <string>

#include "orvo/platform/gpu/a_gpucodecs.h"
#include "orvo/util/a_log.h"

namespace {

uint32_t u16(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8);
}
uint32_t u32(const unsigned char* p)
{
    return u16(p) | (u16(p + 2) << 16);
}

aGpuResult reject(const char* why)
{
    a_log("gpu. BMP data rejected: %s", why);
    return aGpuResult::InvalidData;
}

// One channel under `mask` scaled to 0..255.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;

    explicit Channel(uint32_t m = 0) : mask(m)
    {
        if (!m)
            return;
        while (!((m >> shift) & 1))
            ++shift;
        max = m >> shift;
    }
    uint32_t get(uint32_t pixel, uint32_t fallback) const
    {
        if (!mask)
            return fallback;
        return static_cast<uint32_t>((static_cast<uint64_t>((pixel & mask) >> shift) * 255 + max / 2) / max);
    }
};

} // namespace

aGpuResult gpu_decodeBmp(const unsigned char* data, size_t size, aGpuPicture& out)
{
    if (size < 14 + 12)
        return reject("data ends early");
    const uint32_t pixelOffset = u32(data + 10);
    const uint32_t headerSize = u32(data + 14);
    if (headerSize != 12 && headerSize < 40)
        return reject("unknown header");
    if (14 + static_cast<uint64_t>(headerSize) > size)
        return reject("data ends early");
    const unsigned char* h = data + 14;
    int64_t width = 0, height = 0;
    uint32_t planes = 0, bpp = 0, compression = 0, colorsUsed = 0;
    if (headerSize == 12) {
        width = u16(h + 4);
        height = static_cast<int16_t>(u16(h + 6));
        planes = u16(h + 8);
        bpp = u16(h + 10);
    } else {
        width = static_cast<int32_t>(u32(h + 4));
        height = static_cast<int32_t>(u32(h + 8));
        planes = u16(h + 12);
        bpp = u16(h + 14);
        compression = u32(h + 16);
        colorsUsed = u32(h + 32);
    }
    const bool topDown = height < 0;
    if (topDown)
        height = -height;
    if (planes != 1)
        return reject("bad plane count");
    if (width <= 0 || height <= 0 || width > gpuMaxImageSide || height > gpuMaxImageSide ||
        static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > gpuMaxImagePixels)
        return reject("size out of range");
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return reject("unsupported bit depth");
    // 0 plain, 3 bit fields, 6 bit fields with alpha; run-length forms are not read.
    if (compression != 0 && compression != 3 && compression != 6)
        return reject("unsupported compression");
    if (compression != 0 && bpp != 16 && bpp != 32)
        return reject("bit fields need 16 or 32 bits");

    // Masks: in the header from 52 bytes on, else right after a 40-byte one.
    uint32_t masks[4] = {0, 0, 0, 0};
    uint64_t afterHeader = 14 + static_cast<uint64_t>(headerSize);
    if (compression != 0) {
        const int count = compression == 6 ? 4 : 3;
        if (headerSize >= 52) {
            for (int i = 0; i < count && 40 + 4 * (i + 1) <= static_cast<int>(headerSize); ++i)
                masks[i] = u32(h + 40 + 4 * i);
        } else {
            if (afterHeader + 4 * count > size)
                return reject("data ends early");
            for (int i = 0; i < count; ++i)
                masks[i] = u32(data + afterHeader + 4 * i);
            afterHeader += 4 * count;
        }
        if (headerSize >= 56 && compression == 3)
            masks[3] = u32(h + 52);
    } else if (bpp == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    } else if (bpp == 32) {
        masks[0] = 0x00FF0000;
        masks[1] = 0x0000FF00;
        masks[2] = 0x000000FF;
    }

    uint32_t palette[256];
    uint32_t paletteSize = 0;
    if (bpp <= 8) {
        const uint32_t entrySize = headerSize == 12 ? 3 : 4;
        paletteSize = colorsUsed ? colorsUsed : (1u << bpp);
        if (paletteSize > (1u << bpp))
            return reject("palette too large");
        if (afterHeader + static_cast<uint64_t>(paletteSize) * entrySize > size)
            return reject("data ends early");
        for (uint32_t i = 0; i < paletteSize; ++i) {
            const unsigned char* e = data + afterHeader + i * entrySize;
            palette[i] = 0xFF000000u | (static_cast<uint32_t>(e[2]) << 16) | (static_cast<uint32_t>(e[1]) << 8) | e[0];
        }
    }

    const uint64_t stride = ((static_cast<uint64_t>(width) * bpp + 31) / 32) * 4;
    if (pixelOffset < 14 + static_cast<uint64_t>(headerSize) || pixelOffset + stride * height > size)
        return reject("data ends early");

    const Channel red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);
    out.width = static_cast<uint32_t>(width);
    out.height = static_cast<uint32_t>(height);
    out.pixels.assign(static_cast<size_t>(width) * height, 0);
    for (int64_t row = 0; row < height; ++row) {
        const unsigned char* in = data + pixelOffset + stride * static_cast<uint64_t>(row);
        const int64_t y = topDown ? row : height - 1 - row;
        uint32_t* dst = out.pixels.data() + static_cast<size_t>(y) * out.width;
        for (int64_t x = 0; x < width; ++x) {
            uint32_t pixel = 0;
            if (bpp <= 8) {
                const uint64_t bit = static_cast<uint64_t>(x) * bpp;
                const uint32_t index = (in[bit / 8] >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
                pixel = index < paletteSize ? palette[index] : 0xFF000000u;
            } else if (bpp == 24) {
                const unsigned char* p = in + x * 3;
                pixel = 0xFF000000u | (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[1]) << 8) | p[0];
            } else {
                const uint32_t raw = bpp == 16 ? u16(in + x * 2) : u32(in + x * 4);
                pixel = (alpha.get(raw, 0xFF) << 24) | (red.get(raw, 0) << 16) | (green.get(raw, 0) << 8) |
                        blue.get(raw, 0);
            }
            dst[x] = pixel;
        }
    }
    return aGpuResult::Ok;
}
