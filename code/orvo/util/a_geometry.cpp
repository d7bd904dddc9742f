#include "orvo/util/a_geometry.h"

#include <cstdio>

void aRect::extendTo(int16_t px, int16_t py)
{
    if (px < x) {
        width = static_cast<uint16_t>(width + (x - px));
        x = px;
    }
    if (x + static_cast<int>(width) < px)
        width = static_cast<uint16_t>(px - x);
    if (py < y) {
        height = static_cast<uint16_t>(height + (y - py));
        y = py;
    }
    if (y + static_cast<int>(height) < py)
        height = static_cast<uint16_t>(py - y);
}

aRect& string_toRect(aRect& rect, const char* text)
{
    if (text)
        std::sscanf(text, "%hi %hi %hu %hu", &rect.x, &rect.y, &rect.width, &rect.height);
    return rect;
}

aPoint string_toPoint(const char* text)
{
    aPoint point;
    if (text) {
        int x = 0;
        int y = 0;
        const int n = std::sscanf(text, "%d %d", &x, &y);
        if (n >= 1)
            point.x = x;
        if (n >= 2)
            point.y = y;
    }
    return point;
}
