// The entry of the video fuzz program, shared with the replay of its corpus
// in orvo_tests: any bytes as a video file, opened and played (looping) for
// a few frames. False when an invariant of the reader breaks; crashes and
// bad memory accesses are found by the sanitizers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "fuzz/text_format_entries.h"
#include "orvo/gfx/a_theorastream.h"

namespace kbfuzz {

inline bool video(const uint8_t* data, size_t size)
{
    const std::string path = writeScratch("v.ogv", data, size);
    aTheoraStream stream;
    if (!stream.open(path))
        return !stream.isOpen() && stream.getWidth() == 0 && stream.getPixels() == nullptr;
    const int32_t width = stream.getWidth();
    const int32_t height = stream.getHeight();
    if (width <= 0 || height <= 0 || stream.getFpsNumerator() == 0 || stream.getFpsDenominator() == 0)
        return false;
    for (int i = 0; i < 8 && stream.isOpen(); ++i) {
        if (!stream.decodeFrame(true))
            continue;
        // Every pixel of a picture of the stream's size is written, and opaque.
        if (stream.getPixelsWidth() != width || stream.getPixelsHeight() != height)
            return false;
        const uint32_t* pixels = stream.getPixels();
        for (int32_t p = 0; p < width * height; ++p)
            if (!pixels || pixels[p] >> 24 != 0xFF)
                return false;
    }
    return true;
}

} // namespace kbfuzz
