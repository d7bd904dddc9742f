// Where a level's background paints open water, read from its colours: the
// grounds paint their river blue-green and darker than the sky. Counts over
// rectangles answer whether a creature's footprint reaches the water.
#pragma once

#include <cstdint>
#include <vector>

#include "orvo/platform/gpu/a_gpuimage.h"

namespace kbtest {

class PaintedWater {
public:
    // A lone water-coloured pixel (a speck where hills meet the sky) is not water.
    explicit PaintedWater(const aGpuPicture& background);

    // Painted water pixels in x0 <= x < x1, y0 <= y < y1, clipped to the picture.
    int64_t count(int32_t x0, int32_t y0, int32_t x1, int32_t y1) const;
    bool at(int32_t x, int32_t y) const { return count(x, y, x + 1, y + 1) > 0; }
    int64_t total() const { return count(0, 0, m_width, m_height); }

private:
    int32_t m_width = 0;
    int32_t m_height = 0;
    std::vector<int64_t> m_sums; // summed-area table, (width + 1) x (height + 1)
};

} // namespace kbtest
