// PNG through libpng. libpng reports errors by longjmp: every piece of state
// that lives across the jump is kept in a heap context created before it, so
// the jump skips no C++ destructor.
#include <png.h>

#include <csetjmp>
#include <cstring>
#include <memory>
#include <vector>

#include "orvo/platform/gpu/a_gpucodecs.h"
#include "orvo/util/a_log.h"

namespace {

struct PngContext {
    const unsigned char* data = nullptr;
    size_t size = 0;
    size_t pos = 0;
    char message[200] = "unknown error";
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::vector<png_bytep> rows;
    ~PngContext()
    {
        if (png)
            png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    }
};

void pngError(png_structp png, png_const_charp message)
{
    auto* context = static_cast<PngContext*>(png_get_error_ptr(png));
    std::snprintf(context->message, sizeof(context->message), "%s", message ? message : "error");
    png_longjmp(png, 1);
}

void pngWarning(png_structp, png_const_charp)
{
}

void pngRead(png_structp png, png_bytep out, size_t count)
{
    auto* context = static_cast<PngContext*>(png_get_io_ptr(png));
    if (count > context->size - context->pos)
        png_error(png, "data ends early");
    std::memcpy(out, context->data + context->pos, count);
    context->pos += count;
}

} // namespace

aGpuResult gpu_decodePng(const unsigned char* data, size_t size, aGpuPicture& out)
{
    auto context = std::make_unique<PngContext>();
    PngContext* c = context.get();
    c->data = data;
    c->size = size;
    c->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, c, pngError, pngWarning);
    if (!c->png || !(c->info = png_create_info_struct(c->png))) {
        a_log("gpu. PNG data rejected: out of memory");
        return aGpuResult::OutOfMemory;
    }
    png_set_read_fn(c->png, c, pngRead);
    // Refuse absurd sizes before libpng allocates anything for them.
    png_set_user_limits(c->png, gpuMaxImageSide, gpuMaxImageSide);
    if (setjmp(png_jmpbuf(c->png))) {
        a_log("gpu. PNG data rejected: %s", c->message);
        out = {};
        return aGpuResult::InvalidData;
    }
    png_read_info(c->png, c->info);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colorType = 0, interlace = 0;
    png_get_IHDR(c->png, c->info, &width, &height, &depth, &colorType, &interlace, nullptr, nullptr);
    if (static_cast<uint64_t>(width) * height > gpuMaxImagePixels)
        png_error(c->png, "image too large");
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(c->png);
    if (colorType == PNG_COLOR_TYPE_GRAY && depth < 8)
        png_set_expand_gray_1_2_4_to_8(c->png);
    if (png_get_valid(c->png, c->info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(c->png);
    if (depth == 16)
        png_set_strip_16(c->png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(c->png);
    png_set_bgr(c->png);
    png_set_filler(c->png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(c->png);
    png_read_update_info(c->png, c->info);
    if (png_get_rowbytes(c->png, c->info) != static_cast<size_t>(width) * 4)
        png_error(c->png, "unexpected row layout");

    out.width = width;
    out.height = height;
    out.pixels.assign(static_cast<size_t>(width) * height, 0);
    c->rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        c->rows[y] = reinterpret_cast<png_bytep>(out.pixels.data() + static_cast<size_t>(y) * width);
    png_read_image(c->png, c->rows.data());
    png_read_end(c->png, nullptr);
    return aGpuResult::Ok;
}
