#include "game/app/runninganimal.h"

#include <numbers>

#include "orvo/gfx/a_advanim.h"
#include "orvo/gfx/a_image.h"

cRunningAnimal::cRunningAnimal() = default;
cRunningAnimal::~cRunningAnimal() = default;

aAdvAnim* cRunningAnimal::shown() const
{
    return showSecond && second ? second.get() : walk.get();
}

void cRunningAnimal::draw() const
{
    if (shadow && shadow->getHeight() > 0) {
        // The shadow lies along its height; turned a quarter it lies along the walk.
        const float s = drawnWidth() / shadow->getHeight();
        const float size[2] = {s, s};
        const float turn = (mirrored ? 90.0f : 270.0f) * std::numbers::pi_v<float> / 180.0f;
        shadow->drawAtF(position.x - shadow->getWidth() * s * 0.5f, position.y - shadow->getHeight() * s * 0.8f,
                        0xFFFFFFFF, size, turn);
    }
    aAdvAnim* anim = shown();
    if (!anim)
        return;
    // The drawn rectangle stands on the feet point, centred on it.
    const int32_t w = static_cast<int16_t>(drawnWidth());
    const float left = static_cast<float>(static_cast<int32_t>(position.x) - w / 2);
    const float top = static_cast<float>(static_cast<int32_t>(position.y) - static_cast<int32_t>(drawnHeight()));
    if (mirrored) {
        const float size[2] = {-scale, scale};
        anim->draw(left + width * scale, top, 0xFFFFFFFF, size);
    } else {
        const float size[2] = {scale, scale};
        anim->draw(left, top, 0xFFFFFFFF, size);
    }
}
