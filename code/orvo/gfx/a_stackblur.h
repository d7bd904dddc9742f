// The Stack Blur of the image effects, on 32-bit ARGB words, all four
// channels: a window of 2R + 1 pixels weighted R + 1 - |i| (a triangle),
// divided by (R + 1)^2 and truncated; a horizontal pass over every row, then
// a vertical pass over its result. Pixels beyond an edge repeat the edge
// pixel. Pure function; any thread.
#pragma once

#include <cstdint>

// Blurs the width x height words in place; rows are `pitch` words apart.
// Nothing happens for a radius below 1 or an empty picture.
void image_stackBlur(uint32_t* argb, uint32_t width, uint32_t height, uint32_t pitch, uint32_t radius);
