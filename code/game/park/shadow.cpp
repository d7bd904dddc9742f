#include "game/park/shadow.h"

#include <algorithm>

#include "orvo/gfx/a_image.h"

cShadowPlacement shadow_place(const aImage& shadow, const aVector2& anchor, float scale, float spriteWidth,
                              float childFactor, float lift, int32_t direction, bool mirrored, uint8_t alpha)
{
    cShadowPlacement p;
    const float w = shadow.getWidth();
    const float h = shadow.getHeight();
    if (h <= 0.0f)
        return p;
    p.scale = scale * spriteWidth / h * childFactor;
    p.x = anchor.x - w * p.scale * 0.5f;
    p.y = anchor.y - h * p.scale * lift;
    const int32_t d = mirrored ? 8 - direction : direction;
    p.rotation = static_cast<float>(d * -45) * 0.0174532924f;
    p.color = (static_cast<uint32_t>(alpha) << 24) | 0x00FFFFFF;
    return p;
}

uint8_t shadow_animalAlpha(float fade)
{
    const float a = 0.5f * fade;
    return static_cast<uint8_t>(std::clamp(static_cast<int32_t>(a * a * 255.0f), 0, 255));
}

uint8_t shadow_poacherAlpha(float fade)
{
    // NOTE: a fade above 0.5 would wrap the byte round to a faint shadow.
    return static_cast<uint8_t>(std::clamp(static_cast<int32_t>(2.0f * fade * 255.0f), 0, 255));
}

void shadow_draw(aImage& shadow, const cShadowPlacement& place)
{
    if (place.scale <= 0.0f)
        return;
    const float scale[2] = {place.scale, place.scale};
    shadow.drawAtF(place.x, place.y, place.color, scale, place.rotation);
}

void shadow_drawAnimal(aImage& shadow, const aVector2& anchor, float scale, float spriteWidth, bool child,
                       int32_t direction, bool mirrored, float fade)
{
    shadow_draw(shadow, shadow_place(shadow, anchor, scale, spriteWidth, child ? 0.8f : 1.0f, 0.65f, direction,
                                     mirrored, shadow_animalAlpha(fade)));
}

void shadow_drawPoacher(aImage& shadow, const aVector2& anchor, float scale, float spriteWidth, int32_t direction,
                        bool mirrored, float fade)
{
    shadow_draw(shadow, shadow_place(shadow, anchor, scale, spriteWidth, 1.0f, 0.75f, direction, mirrored,
                                     shadow_poacherAlpha(fade)));
}
