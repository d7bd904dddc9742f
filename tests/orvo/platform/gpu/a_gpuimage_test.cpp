#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "orvo/platform/gpu/a_gpudevicerecorder.h"
#include "orvo/platform/gpu/a_gpuimage.h"
#include "support/image_files.h"
#include "support/log_capture.h"

namespace {

// A picture with every kind of pixel the decoders must keep apart: colours,
// transparent and half-transparent alpha, an asymmetric layout.
std::vector<uint32_t> testPicture(uint32_t w, uint32_t h)
{
    std::vector<uint32_t> px(w * h);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x)
            px[y * w + x] = (((x * 255 / w) & 0xFF) << 16) | (((y * 255 / h) & 0xFF) << 8) | ((x + y) & 0xFF) |
                            ((x < w / 2 ? 0xFFu : (y < h / 2 ? 0x80u : 0x00u)) << 24);
    return px;
}

std::string bytes(const std::vector<uint8_t>& v)
{
    return std::string(v.begin(), v.end());
}

aGpuResult decode(const std::string& data, aGpuPicture& out)
{
    return gpu_decodeImage(data.data(), data.size(), out);
}

// A BMP with the 40-byte header; `body` is the pixel rows as stored.
std::string bmpFile(int32_t width, int32_t height, uint16_t bpp, uint32_t compression, const std::string& extra,
                    const std::string& body)
{
    const uint32_t offset = static_cast<uint32_t>(54 + extra.size()), size = static_cast<uint32_t>(body.size());
    std::string out = "BM";
    // Little-endian words; planes and bits per pixel share one.
    for (uint32_t v : {offset + size, 0u, offset, 40u, uint32_t(width), uint32_t(height), 1u | uint32_t(bpp) << 16,
                       compression, size, 0u, 0u, 0u, 0u})
        for (int shift = 0; shift < 32; shift += 8)
            out.push_back(static_cast<char>((v >> shift) & 0xFF));
    return out + extra + body;
}

} // namespace

TEST(GpuImage, PngAndBmpKeepColoursExactlyAndBmpRowsAreStoredBottomUp)
{
    auto picture = testPicture(13, 7);
    aGpuPicture out;
    ASSERT_EQ(decode(kbtest::encodePng(picture, 13, 7), out), aGpuResult::Ok);
    EXPECT_TRUE(out.width == 13 && out.height == 7 && out.pixels == picture);
    // Without an alpha channel every pixel is opaque; the BMP writer keeps no alpha either.
    ASSERT_EQ(decode(kbtest::encodePng(picture, 13, 7, false), out), aGpuResult::Ok);
    for (uint32_t& p : picture)
        p |= 0xFF000000u;
    EXPECT_EQ(out.pixels, picture);
    // 39 bytes a row: rows are padded to 40.
    EXPECT_TRUE(gpu_encodeBmp(picture.data(), 0, 7).empty());
    const std::string bmp = bytes(gpu_encodeBmp(picture.data(), 13, 7));
    ASSERT_EQ(bmp.size(), 54u + 40 * 7);
    EXPECT_TRUE(decode(bmp, out) == aGpuResult::Ok && out.pixels == picture);
    EXPECT_EQ(static_cast<uint8_t>(bmp[54]), picture[6 * 13] & 0xFF) << "the first stored row is the bottom one";
}

TEST(GpuImage, BmpPaletteBitFieldsAndTopDownForms)
{
    aGpuPicture out;
    // 4-bit palette of two colours, top-down (negative height), 3 x 2.
    const std::string palette = std::string("\x00\x00\xFF\x00", 4) + std::string("\xFF\x00\x00\x00", 4);
    std::string paletteFile = bmpFile(3, -2, 4, 0, palette, std::string("\x01\x00\x00\x00\x10\x10\x00\x00", 8));
    paletteFile[46] = 2; // two colours used
    ASSERT_EQ(decode(paletteFile, out), aGpuResult::Ok);
    EXPECT_EQ(out.pixels,
              (std::vector<uint32_t>{0xFFFF0000, 0xFF0000FF, 0xFFFF0000, 0xFF0000FF, 0xFFFF0000, 0xFF0000FF}));
    // Bit-field masks after the 40-byte header: 16-bit 5-6-5, one pixel of pure green and one of white.
    const std::string masks = std::string("\x00\xF8\x00\x00\xE0\x07\x00\x00\x1F\x00\x00\x00", 12);
    ASSERT_EQ(decode(bmpFile(2, 1, 16, 3, masks, std::string("\xE0\x07\xFF\xFF", 4)), out), aGpuResult::Ok);
    EXPECT_EQ(out.pixels, (std::vector<uint32_t>{0xFF00FF00, 0xFFFFFFFF}));
    // 32-bit with an alpha mask.
    const std::string alphaMasks = std::string("\x00\x00\xFF\x00\x00\xFF\x00\x00\xFF\x00\x00\x00\x00\x00\x00\xFF", 16);
    ASSERT_EQ(decode(bmpFile(1, 1, 32, 6, alphaMasks, std::string("\x11\x22\x33\x80", 4)), out), aGpuResult::Ok);
    EXPECT_EQ(out.pixels, (std::vector<uint32_t>{0x80332211}));
}

TEST(GpuImage, UnsupportedOrBrokenBmpHeadersAreLoggedFailures)
{
    kbtest::LogCapture log;
    aGpuPicture out;
    EXPECT_EQ(decode(bmpFile(2, 2, 8, 1, std::string(1024, '\0'), std::string(8, '\0')), out), aGpuResult::InvalidData);
    EXPECT_TRUE(log.contains("gpu. BMP data rejected: unsupported compression"));
    EXPECT_EQ(decode(bmpFile(0, 2, 24, 0, "", std::string(8, '\0')), out), aGpuResult::InvalidData);
    EXPECT_TRUE(log.contains("gpu. BMP data rejected: size out of range"));
    EXPECT_EQ(decode(bmpFile(100000, 100000, 24, 0, "", std::string(8, '\0')), out), aGpuResult::InvalidData);
    EXPECT_EQ(decode(bmpFile(4, 4, 24, 0, "", std::string(47, '\0')), out), aGpuResult::InvalidData);
    EXPECT_TRUE(log.contains("gpu. BMP data rejected: data ends early"));
    // The file ends inside the three masks that follow a 40-byte header (the one row would fit).
    EXPECT_EQ(decode(bmpFile(1, 1, 16, 3, "", std::string(8, '\0')), out), aGpuResult::InvalidData);
    EXPECT_EQ(log.messages().back(), "gpu. BMP data rejected: data ends early");
    EXPECT_EQ(decode("BM", out), aGpuResult::InvalidData);
    EXPECT_EQ(decode("GIF89a....", out), aGpuResult::InvalidData);
    EXPECT_TRUE(log.contains("gpu. Image data of unknown format (10 bytes)"));
    EXPECT_TRUE(out.pixels.empty() && out.width == 0);
}

namespace {

// Decodes every cut and many mutations of `file`: each must either succeed
// with a consistent picture or fail with a log line; none may crash.
void fuzz(const std::string& file, const char* logPrefix)
{
    kbtest::LogCapture log;
    aGpuPicture out;
    // A failure leaves no pixels; a success a picture of the size it claims.
    auto decodes = [&out](const std::string& data) {
        const bool ok = decode(data, out) == aGpuResult::Ok;
        EXPECT_EQ(out.pixels.size(), ok ? size_t(out.width) * out.height : 0u);
        EXPECT_LE(out.width, gpuMaxImageSide);
        return ok;
    };
    size_t failures = 0;
    for (size_t cut = 0; cut < file.size(); ++cut)
        failures += !decodes(file.substr(0, cut));
    EXPECT_GT(failures, file.size() / 2) << "cut files must mostly fail";

    uint32_t seed = 12345;
    auto next = [&seed]() {
        seed = seed * 214013u + 2531011u;
        return (seed >> 16) & 0x7FFF;
    };
    // KB_FUZZ_ROUNDS raises the count for a longer run (for example under a sanitizer).
    const char* rounds = std::getenv("KB_FUZZ_ROUNDS");
    const int total = rounds ? std::max(1, std::atoi(rounds)) : 600;
    for (int round = 0; round < total; ++round) {
        std::string mutated = file;
        for (int e = 0, edits = 1 + int(next() % 4); e < edits; ++e) {
            // A random byte, one flipped bit or 0xFF.
            char& c = mutated[next() % mutated.size()];
            const uint32_t kind = next() % 3, value = next();
            c = kind == 0 ? char(value) : kind == 1 ? char(c ^ (1 << (value % 8))) : char(0xFF);
        }
        decodes(mutated);
    }
    EXPECT_NE(log.raw().find(std::string("\t") + logPrefix), std::string::npos)
        << "no line starting with " << logPrefix;
}

} // namespace

TEST(GpuImage, CutAndMutatedFilesNeverCrash)
{
    const auto picture = testPicture(24, 17);
    fuzz(kbtest::encodePng(picture, 24, 17), "gpu. PNG data rejected: ");
    fuzz(kbtest::encodeJpeg(picture, 24, 17, 80), "gpu. JPEG data rejected: ");
    fuzz(bytes(gpu_encodeBmp(testPicture(9, 6).data(), 9, 6)), "gpu. BMP data rejected: ");
}

TEST(GpuImage, TexturesFromMemoryTakeTheAskedFormatAndExactSize)
{
    aGpuDeviceRecorder device;
    const auto picture = testPicture(7, 5);
    const std::string png = kbtest::encodePng(picture, 7, 5);
    std::unique_ptr<aGpuTexture> texture;
    aGpuImageInfo info;
    ASSERT_EQ(gpu_createTextureFromMemory(device, png.data(), png.size(), aGpuFormat::A4R4G4B4, texture, &info),
              aGpuResult::Ok);
    EXPECT_TRUE(info.width == 7 && info.height == 5 && info.fileFormat == aGpuImageFileFormat::Png);
    EXPECT_TRUE(texture->width() == 7 && texture->height() == 5 && texture->format() == aGpuFormat::A4R4G4B4);
    aGpuLockedRect locked;
    ASSERT_EQ(texture->lock(locked, nullptr, gpuLockReadOnly), aGpuResult::Ok);
    for (uint32_t y = 0; y < 5; ++y)
        for (uint32_t x = 0; x < 7; ++x) {
            uint16_t stored = 0;
            std::memcpy(&stored, static_cast<uint8_t*>(locked.bits) + y * locked.pitch + x * 2, 2);
            ASSERT_EQ(stored, gpu_packPixel(aGpuFormat::A4R4G4B4, picture[y * 7 + x])) << x << "," << y;
        }
    texture->unlock();
    // Cut data is refused; so is a format no texture takes.
    kbtest::LogCapture log;
    EXPECT_EQ(gpu_createTextureFromMemory(device, png.data(), 40, aGpuFormat::A8R8G8B8, texture),
              aGpuResult::InvalidData);
    EXPECT_EQ(texture, nullptr);
    EXPECT_EQ(gpu_createTextureFromMemory(device, png.data(), png.size(), aGpuFormat::X8R8G8B8, texture),
              aGpuResult::InvalidCall);
}

TEST(GpuImage, HugeDeclaredSizesAreRefusedBeforeDecoding)
{
    kbtest::LogCapture log;
    // A valid PNG header claiming 16000 x 16000 (256 M pixels), then nothing.
    std::string png = "\x89PNG\r\n\x1a\n";
    std::string header;
    for (uint32_t v : {16000u, 16000u})
        for (int s = 24; s >= 0; s -= 8)
            header.push_back(static_cast<char>((v >> s) & 0xFF));
    header += std::string("\x08\x06\x00\x00\x00", 5);
    kbtest::pngChunk(png, "IHDR", header);
    kbtest::pngChunk(png, "IDAT", "");
    kbtest::pngChunk(png, "IEND", "");
    aGpuPicture out;
    EXPECT_EQ(decode(png, out), aGpuResult::InvalidData);
    EXPECT_TRUE(log.contains("gpu. PNG data rejected: image too large")) << log.raw();

    // The same for a JPEG whose frame header is rewritten to 16000 x 16000.
    std::string jpeg = kbtest::encodeJpeg(testPicture(8, 8), 8, 8);
    const size_t sof = jpeg.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    jpeg[sof + 5] = jpeg[sof + 7] = static_cast<char>(16000 >> 8);
    jpeg[sof + 6] = jpeg[sof + 8] = static_cast<char>(16000 & 0xFF);
    EXPECT_EQ(decode(jpeg, out), aGpuResult::InvalidData);
    EXPECT_TRUE(log.contains("gpu. JPEG data rejected: size 16000x16000 out of range")) << log.raw();
}
