// Widget colours: four floats r, g, b, a in 0..1, made from ARGB words and
// packed back into them for drawing. Plain values, any thread.
#pragma once

#include <cstdint>

#include "orvo/util/a_geometry.h"

namespace GUI {

// 1 or more gives 255, 0 or less gives 0, otherwise c x 255 + 0.5 truncated.
inline uint32_t ColorByte(float c)
{
    if (c >= 1.0f)
        return 255;
    if (c <= 0.0f)
        return 0;
    return static_cast<uint32_t>(c * 255.0f + 0.5f);
}

// White with the alpha byte of a float alpha.
inline aColor AlphaWhite(float alpha)
{
    return ColorByte(alpha) << 24 | 0x00FFFFFFu;
}

struct ColorF {
    float r = 1.0f;
    float g = 1.0f;
    float b = 1.0f;
    float a = 1.0f;

    // Bytes 16-23, 8-15, 0-7 and 24-31 of the word, each x 1/255.
    static ColorF FromARGB(aColor argb)
    {
        constexpr float k = 1.0f / 255.0f;
        return ColorF{static_cast<float>(argb >> 16 & 0xFF) * k, static_cast<float>(argb >> 8 & 0xFF) * k,
                      static_cast<float>(argb & 0xFF) * k, static_cast<float>(argb >> 24 & 0xFF) * k};
    }
    aColor ToARGB() const { return ColorByte(a) << 24 | ColorByte(r) << 16 | ColorByte(g) << 8 | ColorByte(b); }
};

} // namespace GUI
