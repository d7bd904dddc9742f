// Pictures in memory: decoding PNG (libpng), JPEG (libjpeg) and BMP (our
// own reader) from a file's bytes into ARGB words, making textures of them
// in any texture format (each pixel packed by gpu_packPixel), empty
// textures, and the BMP writer used for screenshots.
//
// Damaged data never crashes and never reads out of bounds: decoding fails
// with InvalidData and one log line that says why ("gpu. PNG data rejected:
// ..."). Pictures larger than gpuMaxImageSide on a side, or of more than
// gpuMaxImagePixels pixels (128 MB decoded), are refused before any memory
// is taken for them.
// Any thread (decoders keep no shared state).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "orvo/platform/gpu/a_gpuformat.h"
#include "orvo/platform/gpu/a_gpuresult.h"
#include "orvo/platform/gpu/a_gputypes.h"

class aGpuDevice;
class aGpuTexture;

inline constexpr uint32_t gpuMaxImageSide = 16384;
inline constexpr uint64_t gpuMaxImagePixels = 1ull << 25;

enum class aGpuImageFileFormat : uint32_t { Unknown = 0, Png, Jpeg, Bmp };

// A decoded picture: width x height ARGB words, top row first.
struct aGpuPicture {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint32_t> pixels;
};

struct aGpuImageInfo {
    uint32_t width = 0;
    uint32_t height = 0;
    aGpuImageFileFormat fileFormat = aGpuImageFileFormat::Unknown;
};

// The file format by its first bytes; Unknown for anything else.
aGpuImageFileFormat gpu_imageFileFormat(const void* data, size_t size);

[[nodiscard]] aGpuResult gpu_decodeImage(const void* data, size_t size, aGpuPicture& out,
                                         aGpuImageFileFormat* fileFormat = nullptr);

// Decodes and makes a texture of the picture's exact size in `format`.
[[nodiscard]] aGpuResult gpu_createTextureFromMemory(aGpuDevice& device, const void* data, size_t size,
                                                     aGpuFormat format, std::unique_ptr<aGpuTexture>& out,
                                                     aGpuImageInfo* info = nullptr);
[[nodiscard]] aGpuResult gpu_createTextureFromPicture(aGpuDevice& device, const aGpuPicture& picture, aGpuFormat format,
                                                      std::unique_ptr<aGpuTexture>& out);
// An empty (all 0) texture; render targets too.
[[nodiscard]] aGpuResult gpu_createTexture(aGpuDevice& device, uint32_t width, uint32_t height, aGpuFormat format,
                                           aGpuUsage usage, std::unique_ptr<aGpuTexture>& out);

// A 24-bit BMP of the ARGB picture (alpha dropped), rows bottom-up; empty
// for an empty picture. The caller writes the bytes where it wants them.
std::vector<uint8_t> gpu_encodeBmp(const uint32_t* argb, uint32_t width, uint32_t height);
