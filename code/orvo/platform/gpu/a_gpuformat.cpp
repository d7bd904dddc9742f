#include "orvo/platform/gpu/a_gpuformat.h"

#include <cstring>

uint32_t gpu_formatBytes(aGpuFormat format)
{
    switch (format) {
    case aGpuFormat::A8R8G8B8:
    case aGpuFormat::X8R8G8B8:
        return 4;
    case aGpuFormat::R5G6B5:
    case aGpuFormat::A1R5G5B5:
    case aGpuFormat::A4R4G4B4:
        return 2;
    default:
        return 0;
    }
}

bool gpu_isTextureFormat(aGpuFormat format)
{
    return format == aGpuFormat::A8R8G8B8 || format == aGpuFormat::R5G6B5 || format == aGpuFormat::A1R5G5B5 ||
           format == aGpuFormat::A4R4G4B4;
}

uint32_t gpu_formatDepth(aGpuFormat format)
{
    return gpu_formatBytes(format) * 8;
}

uint32_t gpu_packPixel(aGpuFormat format, uint32_t argb)
{
    const uint32_t a = argb >> 24, r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    switch (format) {
    case aGpuFormat::A8R8G8B8:
    case aGpuFormat::X8R8G8B8:
        return argb;
    case aGpuFormat::R5G6B5:
        return ((r & 0xF8) << 8) | ((g & 0xFC) << 3) | (b >> 3);
    case aGpuFormat::A1R5G5B5:
        return (a >= 128 ? 0x8000u : 0u) | ((r & 0xF8) << 7) | ((g & 0xF8) << 2) | (b >> 3);
    case aGpuFormat::A4R4G4B4:
        return ((a & 0xF0) << 8) | ((r & 0xF0) << 4) | (g & 0xF0) | (b >> 4);
    default:
        return 0;
    }
}

namespace {

uint32_t argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b)
{
    return (a << 24) | (r << 16) | (g << 8) | b;
}

// The channel's bits at the top of a byte, optionally repeated into the low bits.
uint32_t widen(uint32_t value, int bits, bool repeat)
{
    uint32_t out = value << (8 - bits);
    if (repeat)
        for (int filled = bits; filled < 8; filled += bits)
            out |= value << (8 - bits) >> filled;
    return out & 0xFF;
}

uint32_t unpack(aGpuFormat format, uint32_t p, bool repeat)
{
    switch (format) {
    case aGpuFormat::A8R8G8B8:
        return p;
    case aGpuFormat::X8R8G8B8:
        return p | 0xFF000000u;
    case aGpuFormat::R5G6B5:
        return argb(0xFF, widen((p >> 11) & 0x1F, 5, repeat), widen((p >> 5) & 0x3F, 6, repeat),
                    widen(p & 0x1F, 5, repeat));
    case aGpuFormat::A1R5G5B5:
        return argb((p & 0x8000) ? 0xFF : 0, widen((p >> 10) & 0x1F, 5, repeat), widen((p >> 5) & 0x1F, 5, repeat),
                    widen(p & 0x1F, 5, repeat));
    case aGpuFormat::A4R4G4B4:
        return argb(widen((p >> 12) & 0xF, 4, repeat), widen((p >> 8) & 0xF, 4, repeat),
                    widen((p >> 4) & 0xF, 4, repeat), widen(p & 0xF, 4, repeat));
    default:
        return 0;
    }
}

} // namespace

uint32_t gpu_unpackPixel(aGpuFormat format, uint32_t packed)
{
    return unpack(format, packed, false);
}
uint32_t gpu_expandPixel(aGpuFormat format, uint32_t packed)
{
    return unpack(format, packed, true);
}

void gpu_writePixel(aGpuFormat format, void* at, uint32_t argbColor)
{
    const uint32_t packed = gpu_packPixel(format, argbColor);
    if (gpu_formatBytes(format) == 4) {
        std::memcpy(at, &packed, 4);
    } else if (gpu_formatBytes(format) == 2) {
        const uint16_t half = static_cast<uint16_t>(packed);
        std::memcpy(at, &half, 2);
    }
}

uint32_t gpu_readPixel(aGpuFormat format, const void* at)
{
    if (gpu_formatBytes(format) == 4) {
        uint32_t word = 0;
        std::memcpy(&word, at, 4);
        return gpu_unpackPixel(format, word);
    }
    if (gpu_formatBytes(format) == 2) {
        uint16_t half = 0;
        std::memcpy(&half, at, 2);
        return gpu_unpackPixel(format, half);
    }
    return 0;
}
