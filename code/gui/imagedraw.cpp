#include "gui/imagedraw.h"

#include <algorithm>
#include <cstdio>

#include "gui/property.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_sprite.h"

namespace GUI {

void ReadRotCenter(const Property& property, float centre[2], const float*& pointer)
{
    float x = 0.0f, y = 0.0f;
    if (std::sscanf(property.value.c_str(), "%f %f", &x, &y) == 2) {
        centre[0] = x;
        centre[1] = y;
        pointer = centre;
    } else {
        pointer = nullptr;
    }
}

void SetImage(const aImage* image, const aRect* rect, std::unique_ptr<aImage>* slot, aRect* rectSlot)
{
    if (!slot || !rectSlot)
        return;
    const aImage::TextureRecord* held = *slot ? (*slot)->getRecord() : nullptr;
    const aImage::TextureRecord* given = image ? image->getRecord() : nullptr;
    if (!*slot || held != given || !image) {
        if (*slot)
            (*slot)->release();
        slot->reset();
        if (image)
            *slot = std::make_unique<aImage>(*image);
    }
    if (rect)
        *rectSlot = *rect;
    else if (image)
        *rectSlot = aRect(0, 0, image->getWidth(), image->getHeight());
    else
        rectSlot->x = rectSlot->y = 0;
}

void DrawImageStretched(aImage* image, const aRect& source, const aRect& destination, aColor color, float rotation,
                        const float* centre)
{
    // An empty source has no scale that could stretch it.
    if (!image || (color >> 24) == 0 || source.width == 0 || source.height == 0)
        return;
    const float scale[2] = {static_cast<float>(destination.width) / static_cast<float>(source.width),
                            static_cast<float>(destination.height) / static_cast<float>(source.height)};
    image->drawRegionAt(destination.x, destination.y, source, color, scale, rotation, centre);
}

void DrawAnimFrame(aSprite* animation, const aRect& destination, aColor color, float rotation, const float* centre)
{
    if (!animation || (color >> 24) == 0 || animation->getFrameCount() == 0)
        return;
    const uint16_t w = animation->getFrameWidth();
    const uint16_t h = animation->getFrameHeight();
    if (w == 0 || h == 0)
        return;
    const float scale[2] = {static_cast<float>(destination.width) / static_cast<float>(w),
                            static_cast<float>(destination.height) / static_cast<float>(h)};
    animation->drawFrame(destination.x, destination.y, color, scale, rotation, centre);
}

void DrawImageTiled(aImage* image, const aRect& source, const aRect& destination, aColor color)
{
    // With an empty source or destination the walk would never advance.
    if (!image || (color >> 24) == 0 || source.width == 0 || source.height == 0 || destination.width == 0 ||
        destination.height == 0)
        return;
    const int32_t right = destination.x + destination.width;
    const int32_t bottom = destination.y + destination.height;
    int32_t th = std::min(source.height, destination.height);
    for (int32_t y = destination.y; y < bottom;) {
        int32_t tw = std::min(source.width, destination.width);
        for (int32_t x = destination.x; x < right;) {
            const float at[2] = {static_cast<float>(x), static_cast<float>(y)};
            image->draw(at, aRect(source.x, source.y, static_cast<uint16_t>(tw), static_cast<uint16_t>(th)), color);
            x += tw;
            if (x + tw > right)
                tw = right - x;
        }
        y += th;
        if (y + th > bottom)
            th = bottom - y;
    }
}

bool IsImageTransparentAt(aImage* image, const aRect& rect, uint16_t width, uint16_t height, int32_t x, int32_t y,
                          uint8_t threshold, float alpha)
{
    if (threshold == 0 || !image || width == 0 || height == 0)
        return false;
    // The texel under the point, inside the rectangle that is shown.
    const int32_t u = rect.x + static_cast<int32_t>(int64_t(rect.width) * x / width);
    const int32_t v = rect.y + static_cast<int32_t>(int64_t(rect.height) * y / height);
    const uint32_t texelAlpha = image->getPixel(u, v) >> 24;
    return static_cast<int32_t>(static_cast<float>(texelAlpha) * alpha) < static_cast<int32_t>(threshold);
}

} // namespace GUI
