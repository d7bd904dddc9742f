// Runs of equal 32-bit pixels: a picture's copy in a fraction of its size
// when most of it is one colour (the clear surround of a sprite sheet).
// Exact: unpacking gives back every pixel as it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Packs `count` words into `out` (replacing its contents).
void gpu_packRuns(const uint32_t* words, size_t count, std::vector<uint32_t>& out);
// Unpacks into `out`, which holds `count` words; false (out undefined) when
// the packed words do not make exactly that many.
bool gpu_unpackRuns(const std::vector<uint32_t>& packed, uint32_t* out, size_t count);
// How many words the packed words make, or SIZE_MAX when they are not whole.
size_t gpu_runsLength(const std::vector<uint32_t>& packed);
