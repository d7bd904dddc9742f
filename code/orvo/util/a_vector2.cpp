#include "orvo/util/a_vector2.h"

#include <cmath>

namespace {
// The degrees-per-radian factor as the game's stored angles were made with.
constexpr float kDegreesPerRadian = 57.2957763671875f;
} // namespace

float aVector2::angleDeg() const
{
    if (y == 0.0f)
        return x < 0.0f ? -90.0f : 90.0f;
    return std::atan2(x, -y) * kDegreesPerRadian;
}
