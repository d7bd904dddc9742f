#include "orvo/util/a_geometry.h"

#include <algorithm>
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

aRect aRect::unite(const aRect& o) const
{
    const int32_t left = std::min<int32_t>(x, o.x);
    const int32_t top = std::min<int32_t>(y, o.y);
    const int32_t right = std::max<int32_t>(x + width, o.x + o.width);
    const int32_t bottom = std::max<int32_t>(y + height, o.y + o.height);
    return aRect(static_cast<int16_t>(left), static_cast<int16_t>(top), static_cast<uint16_t>(right - left),
                 static_cast<uint16_t>(bottom - top));
}

aRect rect_intersect(const aRect& a, const aRect& b)
{
    const int32_t left = std::max<int32_t>(a.x, b.x);
    const int32_t top = std::max<int32_t>(a.y, b.y);
    const int32_t right = std::min<int32_t>(a.x + a.width, b.x + b.width);
    const int32_t bottom = std::min<int32_t>(a.y + a.height, b.y + b.height);
    if (right <= left || bottom <= top)
        return aRect();
    return aRect(static_cast<int16_t>(left), static_cast<int16_t>(top), static_cast<uint16_t>(right - left),
                 static_cast<uint16_t>(bottom - top));
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
