// Pixel formats of the device and the one pixel rule the whole engine shares
// (decoding, locked-pixel access, effects): how a colour is packed into each
// format and read back out of it. Pure functions; any thread.
#pragma once

#include <cstdint>

// The numbers are fixed: data files and callers store them.
enum class aGpuFormat : uint32_t {
    Unknown = 0,
    A8R8G8B8 = 21, // 32-bit word, alpha in the top byte (bytes B, G, R, A in memory)
    X8R8G8B8 = 22, // display modes only: the top byte is unused
    R5G6B5 = 23,
    A1R5G5B5 = 25,
    A4R4G4B4 = 26,
};

// Bytes per pixel: 4, 2, or 0 for an unknown format.
uint32_t gpu_formatBytes(aGpuFormat format);
// True for the formats a texture may have (21, 23, 25, 26).
bool gpu_isTextureFormat(aGpuFormat format);
// Colour depth of a display format in bits (32, 16), 0 when unknown.
uint32_t gpu_formatDepth(aGpuFormat format);

// Packs a 32-bit ARGB colour into `format`: the top bits of each channel are
// kept; the 1-bit alpha is set when alpha >= 128. Unknown formats give 0.
uint32_t gpu_packPixel(aGpuFormat format, uint32_t argb);
// Reads a packed pixel back to ARGB: each channel's bits go to the top of its
// byte with the low bits 0; formats without alpha read alpha 0xFF.
uint32_t gpu_unpackPixel(aGpuFormat format, uint32_t packed);
// Reads a packed pixel for display: like gpu_unpackPixel, but the low bits
// repeat the top bits, so full white stays 0xFF in every channel.
uint32_t gpu_expandPixel(aGpuFormat format, uint32_t packed);

// Writes or reads one pixel at `at` in the format's own layout (2 or 4 bytes).
void gpu_writePixel(aGpuFormat format, void* at, uint32_t argb);
uint32_t gpu_readPixel(aGpuFormat format, const void* at);
