// JNG and MNG pictures decoded through libmng into a 32-bit canvas (ARGB
// words, top row first). Every call keeps its own decoder state and its own
// allocations, so any number of threads may decode at once and nothing
// libmng leaves behind on damaged data outlives the call. An animation is
// not played: the decoder stops after its first frame, and loops are never
// run. Damaged data fails and never reads or writes out of bounds; pictures
// larger than the device layer's limits (gpuMaxImageSide, gpuMaxImagePixels)
// are refused before the canvas is taken.
#pragma once

#include <cstddef>
#include <cstdint>

#include "orvo/platform/gpu/a_gpuimage.h"

// True when the data starts with the 4 bytes of the JNG signature (8B 4A 4E 47).
bool image_isJng(const void* data, size_t size);

// Decodes the picture; false when libmng cannot read or display it or when
// it is too large (the caller logs the failure).
[[nodiscard]] bool image_decodeMng(const void* data, size_t size, aGpuPicture& out);
