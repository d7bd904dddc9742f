// The decoders behind gpu_decodeImage. Each checks its own data, logs why it
// refuses and answers InvalidData. Internal to the platform layer.
#pragma once

#include <cstddef>

#include "orvo/platform/gpu/a_gpuimage.h"

aGpuResult gpu_decodePng(const unsigned char* data, size_t size, aGpuPicture& out);
aGpuResult gpu_decodeJpeg(const unsigned char* data, size_t size, aGpuPicture& out);
aGpuResult gpu_decodeBmp(const unsigned char* data, size_t size, aGpuPicture& out);
