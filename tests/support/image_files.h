// Writers of small PNG and JPEG files for the image tests (the engine only
// reads them). Pictures are ARGB words, top row first.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <zlib.h>

namespace kbtest {

inline void pngChunk(std::string& out, const char* type, const std::string& body)
{
    auto be32 = [&out](uint32_t v) {
        for (int s = 24; s >= 0; s -= 8)
            out.push_back(static_cast<char>((v >> s) & 0xFF));
    };
    be32(static_cast<uint32_t>(body.size()));
    const std::string typed = std::string(type, 4) + body;
    out += typed;
    be32(
        static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size()))));
}

// RGBA, 8 bits a channel, no interlace; alpha dropped (RGB) when `withAlpha` is false.
inline std::string encodePng(const std::vector<uint32_t>& argb, uint32_t width, uint32_t height, bool withAlpha = true)
{
    std::string raw;
    for (uint32_t y = 0; y < height; ++y) {
        raw.push_back(0); // no filter
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t p = argb[y * width + x];
            raw.push_back(static_cast<char>((p >> 16) & 0xFF));
            raw.push_back(static_cast<char>((p >> 8) & 0xFF));
            raw.push_back(static_cast<char>(p & 0xFF));
            if (withAlpha)
                raw.push_back(static_cast<char>(p >> 24));
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packedSize, '\0');
    compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
              static_cast<uLong>(raw.size()), 9);
    packed.resize(packedSize);

    std::string out = "\x89PNG\r\n\x1a\n";
    std::string header;
    for (uint32_t v : {width, height})
        for (int s = 24; s >= 0; s -= 8)
            header.push_back(static_cast<char>((v >> s) & 0xFF));
    header += std::string("\x08", 1) + std::string(1, withAlpha ? 6 : 2) + std::string(3, '\0');
    pngChunk(out, "IHDR", header);
    pngChunk(out, "IDAT", packed);
    pngChunk(out, "IEND", "");
    return out;
}

inline std::string encodeJpeg(const std::vector<uint32_t>& argb, uint32_t width, uint32_t height, int quality = 95)
{
    jpeg_compress_struct info = {};
    jpeg_error_mgr errors = {};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(width * 3);
    while (info.next_scanline < height) {
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t p = argb[info.next_scanline * width + x];
            row[x * 3] = static_cast<unsigned char>(p >> 16);
            row[x * 3 + 1] = static_cast<unsigned char>(p >> 8);
            row[x * 3 + 2] = static_cast<unsigned char>(p);
        }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&info, &r, 1);
    }
    jpeg_finish_compress(&info);
    std::string out(reinterpret_cast<char*>(buffer), size);
    jpeg_destroy_compress(&info);
    free(buffer);
    return out;
}

} // namespace kbtest
