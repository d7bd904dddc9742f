#include "gui/property.h"

#include <cstdio>

namespace GUI {

int Property::AsInt() const
{
    int v = 0;
    if (std::sscanf(value.c_str(), "%i", &v) != 1)
        return 0;
    return v;
}

float Property::AsFloat() const
{
    float v = 0.0f;
    if (std::sscanf(value.c_str(), "%f", &v) != 1)
        return 0.0f;
    return v;
}

bool Property::AsBool() const
{
    return AsInt() != 0;
}

aRect Property::AsRect() const
{
    short v[4] = {0, 0, 0, 0};
    std::sscanf(value.c_str(), "%hi %hi %hi %hi", &v[0], &v[1], &v[2], &v[3]);
    return aRect(v[0], v[1], static_cast<uint16_t>(v[2]), static_cast<uint16_t>(v[3]));
}

void Property::AsPoint(float& x, float& y) const
{
    std::sscanf(value.c_str(), "%f %f", &x, &y);
}

aColor Property::AsColor() const
{
    unsigned v = 0;
    if (std::sscanf(value.c_str(), "%x", &v) != 1)
        return 0;
    return v;
}

void Property::AsColors(aColor colors[4]) const
{
    unsigned v[4] = {0, 0, 0, 0};
    std::sscanf(value.c_str(), "%x %x %x %x", &v[0], &v[1], &v[2], &v[3]);
    for (int i = 0; i < 4; ++i)
        colors[i] = v[i];
}

} // namespace GUI
