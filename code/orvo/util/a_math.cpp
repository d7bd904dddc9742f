#include "orvo/util/a_math.h"

#include <cmath>

namespace aMath {

int round(float f)
{
    const float down = std::floor(f);
    return static_cast<int>(f - down < 0.5f ? down : std::ceil(f));
}

float sin(float radians)
{
    return std::sin(radians);
}

float clampUnit(float v)
{
    return v >= 0.0f ? (v <= 1.0f ? v : 1.0f) : 0.0f;
}

} // namespace aMath
