#include "jngwrite.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>
#include <zlib.h>

namespace jngwrite {

namespace {

const char kJngSignature[8] = {'\x8B', 'J', 'N', 'G', '\r', '\n', '\x1A', '\n'};
const char kMngSignature[8] = {'\x8A', 'M', 'N', 'G', '\r', '\n', '\x1A', '\n'};

// JHDR colour types.
constexpr uint8_t kGray = 8, kColor = 10, kGrayAlpha = 12, kColorAlpha = 14;

void put32(std::string& out, uint32_t v)
{
    for (int s = 24; s >= 0; s -= 8)
        out.push_back(static_cast<char>((v >> s) & 0xFF));
}

void put8(std::string& out, uint32_t v)
{
    out.push_back(static_cast<char>(v & 0xFF));
}

uint32_t get32(const std::string& bytes, size_t at)
{
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i)
        v = (v << 8) | static_cast<uint8_t>(bytes[at + i]);
    return v;
}

uint32_t crcOf(const char* bytes, size_t size)
{
    return static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(bytes), static_cast<uInt>(size)));
}

// libjpeg reports fatal errors through a callback that must not return; a
// writer fed with valid sizes never meets one, so it ends the program loudly.
[[noreturn]] void jpegFatal(j_common_ptr info)
{
    char message[JMSG_LENGTH_MAX];
    info->err->format_message(info, message);
    std::fprintf(stderr, "jngwrite: libjpeg: %s\n", message);
    std::abort();
}

std::string jpegStream(const std::vector<uint32_t>& argb, uint32_t width, uint32_t height, const Options& options)
{
    jpeg_compress_struct info = {};
    jpeg_error_mgr errors = {};
    info.err = jpeg_std_error(&errors);
    errors.error_exit = jpegFatal;
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    const int components = options.grayscale ? 1 : 3;
    info.image_width = width;
    info.image_height = height;
    info.input_components = components;
    info.in_color_space = options.grayscale ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, options.quality < 1 ? 1 : options.quality > 100 ? 100 : options.quality, TRUE);
    // From quality 90 on the colour keeps its full resolution (no chroma
    // subsampling): sharp coloured edges of game art stay clean.
    if (options.quality >= 90)
        for (int c = 0; c < info.num_components; ++c)
            info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(static_cast<size_t>(width) * components);
    while (info.next_scanline < height) {
        const uint32_t* in = argb.data() + static_cast<size_t>(info.next_scanline) * width;
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t r = (in[x] >> 16) & 0xFF, g = (in[x] >> 8) & 0xFF, b = in[x] & 0xFF;
            if (options.grayscale) {
                row[x] = static_cast<unsigned char>((r * 299 + g * 587 + b * 114 + 500) / 1000);
            } else {
                row[x * 3] = static_cast<unsigned char>(r);
                row[x * 3 + 1] = static_cast<unsigned char>(g);
                row[x * 3 + 2] = static_cast<unsigned char>(b);
            }
        }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&info, &r, 1);
    }
    jpeg_finish_compress(&info);
    std::string out(reinterpret_cast<char*>(buffer), size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

// 8-bit alpha samples as PNG rows (each led by filter type 1, "Sub": the
// difference to the sample on the left), deflated by zlib.
std::string alphaStream(const std::vector<uint32_t>& argb, uint32_t width, uint32_t height)
{
    std::string raw;
    raw.reserve(static_cast<size_t>(width + 1) * height);
    for (uint32_t y = 0; y < height; ++y) {
        raw.push_back(1);
        uint32_t left = 0;
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t a = argb[static_cast<size_t>(y) * width + x] >> 24;
            raw.push_back(static_cast<char>((a - left) & 0xFF));
            left = a;
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packedSize, '\0');
    compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
              static_cast<uLong>(raw.size()), 9);
    packed.resize(packedSize);
    return packed;
}

} // namespace

std::string chunk(const char type[4], const std::string& body)
{
    std::string out;
    put32(out, static_cast<uint32_t>(body.size()));
    const std::string typed = std::string(type, 4) + body;
    out += typed;
    put32(out, crcOf(typed.data(), typed.size()));
    return out;
}

std::string encode(const std::vector<uint32_t>& argb, uint32_t width, uint32_t height, const Options& options)
{
    if (width == 0 || height == 0 || argb.size() != static_cast<size_t>(width) * height)
        return {};
    bool withAlpha = options.alpha == Alpha::Always;
    if (options.alpha == Alpha::Auto)
        for (uint32_t p : argb)
            if ((p >> 24) != 0xFF) {
                withAlpha = true;
                break;
            }

    std::string header;
    put32(header, width);
    put32(header, height);
    put8(header, options.grayscale ? (withAlpha ? kGrayAlpha : kGray) : (withAlpha ? kColorAlpha : kColor));
    put8(header, 8);                 // image sample depth
    put8(header, 8);                 // image compression: baseline JPEG
    put8(header, 0);                 // image interlace: sequential
    put8(header, withAlpha ? 8 : 0); // alpha sample depth
    put8(header, 0);                 // alpha compression: PNG deflate
    put8(header, 0);                 // alpha filter
    put8(header, 0);                 // alpha interlace

    std::string out(kJngSignature, 8);
    out += chunk("JHDR", header);
    out += chunk("JDAT", jpegStream(argb, width, height, options));
    if (withAlpha)
        out += chunk("IDAT", alphaStream(argb, width, height));
    out += chunk("IEND", "");
    return out;
}

std::string jngChunks(const std::string& jngFile)
{
    return jngFile.size() > 8 ? jngFile.substr(8) : std::string();
}

std::string mng(const std::vector<std::string>& jngFrames, uint32_t width, uint32_t height, uint32_t delayMs,
                bool loopForever)
{
    std::string header;
    put32(header, width);
    put32(header, height);
    put32(header, 1000); // ticks per second: delays are in milliseconds
    put32(header, 0);    // layer count, frame count, play time: unspecified
    put32(header, 0);
    put32(header, 0);
    put32(header, 0); // simplicity profile: no claims

    std::string out(kMngSignature, 8);
    out += chunk("MHDR", header);
    if (loopForever) {
        std::string term;
        put8(term, 3); // repeat the animation
        put8(term, 0); // then show the last frame
        put32(term, 0);
        put32(term, 0x7FFFFFFF); // "forever"
        out += chunk("TERM", term);
    }
    std::string frame;
    put8(frame, 1); // each image a frame of its own
    put8(frame, 0); // no name
    put8(frame, 2); // the delay holds for every frame that follows
    put8(frame, 0);
    put8(frame, 0);
    put8(frame, 0);
    put32(frame, delayMs);
    out += chunk("FRAM", frame);
    for (const std::string& jng : jngFrames)
        out += jngChunks(jng);
    out += chunk("MEND", "");
    return out;
}

std::string fixChunkCrcs(std::string bytes)
{
    size_t at = 8;
    while (at + 12 <= bytes.size()) {
        const uint32_t length = get32(bytes, at);
        if (length > bytes.size() - at - 12)
            break;
        const uint32_t crc = crcOf(bytes.data() + at + 4, length + 4);
        for (int i = 0; i < 4; ++i)
            bytes[at + 8 + length + i] = static_cast<char>((crc >> (24 - 8 * i)) & 0xFF);
        at += 12 + length;
    }
    return bytes;
}

} // namespace jngwrite
