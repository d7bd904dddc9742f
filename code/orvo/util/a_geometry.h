// The shared geometric types and their text forms.
#pragma once

#include <cstdint>

struct aRect {
    int16_t x = 0;
    int16_t y = 0;
    uint16_t width = 0;
    uint16_t height = 0;

    aRect() = default;
    aRect(int16_t x_, int16_t y_, uint16_t w, uint16_t h)
        : x(x_), y(y_), width(w), height(h)
    {
    }

    // Grows the rectangle to contain the point.
    void extendTo(int16_t px, int16_t py);
    // The smallest rectangle holding both.
    aRect unite(const aRect& other) const;
    // x <= px < x + width and y <= py < y + height.
    bool contains(int32_t px, int32_t py) const
    {
        return x <= px && px < x + static_cast<int32_t>(width) && y <= py && py < y + static_cast<int32_t>(height);
    }

    bool operator==(const aRect&) const = default;
};

struct aPoint {
    int32_t x = 0;
    int32_t y = 0;

    bool operator==(const aPoint&) const = default;
};

// A colour as one ARGB word, alpha in the top byte.
using aColor = uint32_t;

// The overlap of two rectangles; all zero when they do not meet.
aRect rect_intersect(const aRect& a, const aRect& b);

// Scans "x y width height"; fields the text does not supply keep their values.
aRect& string_toRect(aRect& rect, const char* text);
// Scans "x y"; coordinates the text does not supply are 0.
aPoint string_toPoint(const char* text);
