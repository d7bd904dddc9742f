// libFuzzer program for the JNG / MNG decoder (libmng with our callbacks):
// any input must decode or fail without a bad memory access, and a decoded
// picture must have as many pixels as its size says.
#include <cstddef>
#include <cstdint>

#include "orvo/gfx/a_imagemng.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    aGpuPicture picture;
    if (image_decodeMng(data, size, picture) &&
        picture.pixels.size() != static_cast<size_t>(picture.width) * picture.height)
        __builtin_trap();
    return 0;
}
