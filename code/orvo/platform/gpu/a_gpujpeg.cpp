// JPEG through libjpeg. Errors leave by longjmp, so everything that lives
// across it sits in a heap context made before the jump point. Data that
// ends early or that libjpeg calls corrupt (it would only warn) is refused.
#include <cstdio>
#include <jpeglib.h>

#include <csetjmp>
#include <memory>

#include "orvo/platform/gpu/a_gpucodecs.h"
#include "orvo/util/a_log.h"

namespace {

struct JpegContext {
    jpeg_decompress_struct info = {};
    jpeg_error_mgr errors = {};
    jpeg_source_mgr source = {};
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX] = "unknown error";
    bool created = false;
    bool truncated = false;
    int warnings = 0;
    ~JpegContext()
    {
        if (created)
            jpeg_destroy_decompress(&info);
    }
};

JpegContext* contextOf(j_common_ptr info)
{
    return static_cast<JpegContext*>(info->client_data);
}

void jpegErrorExit(j_common_ptr info)
{
    JpegContext* context = contextOf(info);
    info->err->format_message(info, context->message);
    std::longjmp(context->jump, 1);
}

void jpegMessage(j_common_ptr info, int level)
{
    JpegContext* context = contextOf(info);
    if (level < 0 && context->warnings++ == 0)
        info->err->format_message(info, context->message);
}

void sourceInit(j_decompress_ptr)
{
}
void sourceTerm(j_decompress_ptr)
{
}

boolean sourceFill(j_decompress_ptr info)
{
    // Past the end: hand libjpeg an end marker so it stops, and remember.
    static const JOCTET endMarker[2] = {0xFF, JPEG_EOI};
    contextOf(reinterpret_cast<j_common_ptr>(info))->truncated = true;
    info->src->next_input_byte = endMarker;
    info->src->bytes_in_buffer = 2;
    return TRUE;
}

void sourceSkip(j_decompress_ptr info, long count)
{
    if (count <= 0)
        return;
    jpeg_source_mgr* src = info->src;
    while (count > static_cast<long>(src->bytes_in_buffer)) {
        count -= static_cast<long>(src->bytes_in_buffer);
        sourceFill(info);
    }
    src->next_input_byte += count;
    src->bytes_in_buffer -= static_cast<size_t>(count);
}

} // namespace

aGpuResult gpu_decodeJpeg(const unsigned char* data, size_t size, aGpuPicture& out)
{
    auto context = std::make_unique<JpegContext>();
    JpegContext* c = context.get();
    c->info.err = jpeg_std_error(&c->errors);
    c->errors.error_exit = jpegErrorExit;
    c->errors.emit_message = jpegMessage;
    c->info.client_data = c;
    if (setjmp(c->jump)) {
        a_log("gpu. JPEG data rejected: %s", c->message);
        out = {};
        return aGpuResult::InvalidData;
    }
    jpeg_create_decompress(&c->info);
    c->created = true;
    c->source.init_source = sourceInit;
    c->source.fill_input_buffer = sourceFill;
    c->source.skip_input_data = sourceSkip;
    c->source.resync_to_restart = jpeg_resync_to_restart;
    c->source.term_source = sourceTerm;
    c->source.next_input_byte = data;
    c->source.bytes_in_buffer = size;
    c->info.src = &c->source;

    jpeg_read_header(&c->info, TRUE);
    if (c->info.image_width == 0 || c->info.image_height == 0 || c->info.image_width > gpuMaxImageSide ||
        c->info.image_height > gpuMaxImageSide ||
        static_cast<uint64_t>(c->info.image_width) * c->info.image_height > gpuMaxImagePixels) {
        std::snprintf(c->message, sizeof(c->message), "size %ux%u out of range", c->info.image_width,
                      c->info.image_height);
        std::longjmp(c->jump, 1);
    }
    c->info.out_color_space = JCS_EXT_BGRA;
    jpeg_start_decompress(&c->info);
    if (c->info.output_components != 4) {
        std::snprintf(c->message, sizeof(c->message), "unexpected output layout");
        std::longjmp(c->jump, 1);
    }
    out.width = c->info.output_width;
    out.height = c->info.output_height;
    out.pixels.assign(static_cast<size_t>(out.width) * out.height, 0);
    while (c->info.output_scanline < c->info.output_height) {
        JSAMPROW row =
            reinterpret_cast<JSAMPROW>(out.pixels.data() + static_cast<size_t>(c->info.output_scanline) * out.width);
        jpeg_read_scanlines(&c->info, &row, 1);
        if (c->truncated)
            break;
    }
    if (!c->truncated)
        jpeg_finish_decompress(&c->info);
    if (c->truncated || c->warnings > 0) {
        if (c->truncated)
            std::snprintf(c->message, sizeof(c->message), "data ends early");
        a_log("gpu. JPEG data rejected: %s", c->message);
        out = {};
        return aGpuResult::InvalidData;
    }
    for (uint32_t& pixel : out.pixels)
        pixel |= 0xFF000000u;
    return aGpuResult::Ok;
}
