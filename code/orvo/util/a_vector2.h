// A 2D point or vector in screen pixels: x to the right, y downwards.
// A plain value; any thread.
#pragma once

#include <cmath>

struct aVector2 {
    float x = 0.0f;
    float y = 0.0f;

    aVector2() = default;
    aVector2(float x_, float y_) : x(x_), y(y_) {}

    // Direction in degrees clockwise from straight up the screen (0 up, 90
    // right, -90 left); a vector with y exactly 0 points right (90) unless x
    // is negative, the zero vector included.
    float angleDeg() const;

    bool operator==(const aVector2&) const = default;

    aVector2 operator+(const aVector2& o) const { return {x + o.x, y + o.y}; }
    aVector2 operator-(const aVector2& o) const { return {x - o.x, y - o.y}; }
    aVector2 operator*(float s) const { return {x * s, y * s}; }
    float dot(const aVector2& o) const { return x * o.x + y * o.y; }
    float lengthSq() const { return x * x + y * y; }
    float length() const { return std::sqrt(lengthSq()); }
    // The unit vector; the zero vector stays zero.
    aVector2 normalised() const
    {
        const float len = length();
        return len > 0.0f ? aVector2(x / len, y / len) : aVector2();
    }
};
