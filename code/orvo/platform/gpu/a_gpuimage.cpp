#include "orvo/platform/gpu/a_gpuimage.h"

#include <cstring>

#include "orvo/platform/gpu/a_gpucodecs.h"
#include "orvo/platform/gpu/a_gpudevice.h"
#include "orvo/util/a_log.h"

aGpuImageFileFormat gpu_imageFileFormat(const void* data, size_t size)
{
    const auto* b = static_cast<const unsigned char*>(data);
    if (!b)
        return aGpuImageFileFormat::Unknown;
    static const unsigned char png[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (size >= 8 && std::memcmp(b, png, 8) == 0)
        return aGpuImageFileFormat::Png;
    if (size >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF)
        return aGpuImageFileFormat::Jpeg;
    if (size >= 2 && b[0] == 'B' && b[1] == 'M')
        return aGpuImageFileFormat::Bmp;
    return aGpuImageFileFormat::Unknown;
}

aGpuResult gpu_decodeImage(const void* data, size_t size, aGpuPicture& out, aGpuImageFileFormat* fileFormat)
{
    out = {};
    const aGpuImageFileFormat kind = gpu_imageFileFormat(data, size);
    if (fileFormat)
        *fileFormat = kind;
    const auto* bytes = static_cast<const unsigned char*>(data);
    aGpuResult result = aGpuResult::InvalidData;
    switch (kind) {
    case aGpuImageFileFormat::Png:
        result = gpu_decodePng(bytes, size, out);
        break;
    case aGpuImageFileFormat::Jpeg:
        result = gpu_decodeJpeg(bytes, size, out);
        break;
    case aGpuImageFileFormat::Bmp:
        result = gpu_decodeBmp(bytes, size, out);
        break;
    case aGpuImageFileFormat::Unknown:
        a_log("gpu. Image data of unknown format (%zu bytes)", size);
        break;
    }
    if (result != aGpuResult::Ok)
        out = {};
    return result;
}

aGpuResult gpu_createTextureFromPicture(aGpuDevice& device, const aGpuPicture& picture, aGpuFormat format,
                                        std::unique_ptr<aGpuTexture>& out)
{
    out.reset();
    if (picture.pixels.size() != static_cast<size_t>(picture.width) * picture.height)
        return aGpuResult::InvalidCall;
    aGpuResult result = device.createTexture(picture.width, picture.height, format, aGpuUsage::None, out);
    if (result != aGpuResult::Ok)
        return result;
    aGpuLockedRect locked;
    result = out->lock(locked);
    if (result != aGpuResult::Ok) {
        out.reset();
        return result;
    }
    const uint32_t bpp = gpu_formatBytes(format);
    for (uint32_t y = 0; y < picture.height; ++y) {
        uint8_t* row = static_cast<uint8_t*>(locked.bits) + static_cast<size_t>(y) * locked.pitch;
        const uint32_t* in = picture.pixels.data() + static_cast<size_t>(y) * picture.width;
        if (format == aGpuFormat::A8R8G8B8) {
            std::memcpy(row, in, static_cast<size_t>(picture.width) * 4);
        } else {
            for (uint32_t x = 0; x < picture.width; ++x)
                gpu_writePixel(format, row + x * bpp, in[x]);
        }
    }
    out->unlock();
    return aGpuResult::Ok;
}

aGpuResult gpu_createTextureFromMemory(aGpuDevice& device, const void* data, size_t size, aGpuFormat format,
                                       std::unique_ptr<aGpuTexture>& out, aGpuImageInfo* info)
{
    out.reset();
    if (info)
        *info = {};
    if (!gpu_isTextureFormat(format))
        return aGpuResult::InvalidCall;
    aGpuPicture picture;
    aGpuImageFileFormat kind = aGpuImageFileFormat::Unknown;
    aGpuResult result = gpu_decodeImage(data, size, picture, &kind);
    if (result != aGpuResult::Ok)
        return result;
    result = gpu_createTextureFromPicture(device, picture, format, out);
    if (result == aGpuResult::Ok && info)
        *info = {picture.width, picture.height, kind};
    return result;
}

aGpuResult gpu_createTexture(aGpuDevice& device, uint32_t width, uint32_t height, aGpuFormat format, aGpuUsage usage,
                             std::unique_ptr<aGpuTexture>& out)
{
    return device.createTexture(width, height, format, usage, out);
}

namespace {

void put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

} // namespace

std::vector<uint8_t> gpu_encodeBmp(const uint32_t* argb, uint32_t width, uint32_t height)
{
    std::vector<uint8_t> out;
    if (!argb || width == 0 || height == 0 || width > gpuMaxImageSide || height > gpuMaxImageSide)
        return out;
    const uint32_t stride = (width * 3 + 3) & ~3u;
    const uint32_t imageBytes = stride * height;
    out.reserve(54 + imageBytes);
    out.push_back('B');
    out.push_back('M');
    put32(out, 54 + imageBytes);
    put32(out, 0);
    put32(out, 54);
    put32(out, 40);
    put32(out, width);
    put32(out, height); // positive: bottom row first
    put16(out, 1);
    put16(out, 24);
    put32(out, 0);
    put32(out, imageBytes);
    put32(out, 2835); // 72 dpi
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    for (uint32_t row = height; row-- > 0;) {
        const uint32_t* in = argb + static_cast<size_t>(row) * width;
        for (uint32_t x = 0; x < width; ++x) {
            out.push_back(static_cast<uint8_t>(in[x]));
            out.push_back(static_cast<uint8_t>(in[x] >> 8));
            out.push_back(static_cast<uint8_t>(in[x] >> 16));
        }
        for (uint32_t pad = width * 3; pad < stride; ++pad)
            out.push_back(0);
    }
    return out;
}
