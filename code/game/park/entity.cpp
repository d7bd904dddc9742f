#include "game/park/entity.h"

#include <cmath>

#include "game/app/spriteregistry.h"
#include "game/park/animal.h"
#include "game/park/bonus.h"
#include "game/park/food.h"
#include "game/park/level.h"
#include "game/park/poacher.h"
#include "orvo/gfx/a_anim.h"
#include "orvo/gfx/a_distortiongrid.h"
#include "orvo/gfx/a_image.h"
#include "orvo/util/a_math.h"
#include "orvo/util/a_random.h"

namespace {

constexpr float kDegToRad = 0.0174532924f;

bool overlaps(const aRect& a, const aRect& b)
{
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

} // namespace

aVector2 rotateVector(const aVector2& v, float radians)
{
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    return aVector2(v.x * c - v.y * s, v.x * s + v.y * c);
}

cEntity::cEntity(cLevel* owner, const cSpriteEntry& sprite, bool swaying) : level(owner)
{
    if (!swaying) {
        animation = initAnimFromSprite(&sprite);
        animated = animation->getFrameCount() > 1;
        if (animated) {
            animation->setPlayFlags(aAnim::PLAY_LOOP);
            animation->play();
        }
        setSize(animation->getFrameWidth(), animation->getFrameHeight());
        return;
    }
    grid = std::make_unique<aDistortionGrid>(2, 2);
    grid->setImage(sprite.image.get(), nullptr);
    setSize(sprite.image ? sprite.image->getWidth() : 0, sprite.image ? sprite.image->getHeight() : 0);
}

cEntity::~cEntity() = default;

void cEntity::setSway(float speed, float length, float a, float b)
{
    swaySpeed = speed;
    swayLength = length;
    swayMin = std::min(a, b);
    swayMax = std::max(a, b);
    swayAngle = swayMin + static_cast<float>(a_rand()) * (swayMax - swayMin) / 32767.0f;
}

void cEntity::applyRotation(float degrees)
{
    swayAngle = degrees;
    if (!grid)
        return;
    const float a = degrees * kDegToRad;
    for (uint32_t column = 0; column < 2; ++column)
        grid->setVertexOffset(column, 0, swayLength * std::sin(a), swayLength * (1.0f - std::cos(a)),
                              aDistortionGrid::FROM_REST);
}

void cEntity::update(float dt)
{
    if (animated) {
        animation->update(dt);
    } else if (grid && swaySpeed != 0.0f) {
        swayAngle += swaySpeed * dt;
        if ((swaySpeed > 0.0f && swayAngle > swayMax) || (swaySpeed < 0.0f && swayAngle < swayMin))
            swaySpeed = -swaySpeed;
        applyRotation(swayAngle);
    }
    if (fades && level) {
        alphaTarget = overlapsCreature() ? kFadedAlpha : 1.0f;
        if (alpha < alphaTarget)
            alpha = std::min(alpha + kFadeSpeed * dt, alphaTarget);
        else if (alpha > alphaTarget)
            alpha = std::max(alpha - kFadeSpeed * dt, alphaTarget);
    }
}

bool cEntity::overlapsCreature()
{
    const aRect mine = getScreenRect();
    auto any = [&mine](const auto& list) {
        for (cDrawElement* other : list)
            if (overlaps(mine, other->getScreenRect()))
                return true;
        return false;
    };
    return any(level->animals) || any(level->bonuses) || any(level->poachers);
}

void cEntity::draw()
{
    colour = (colour & 0x00FFFFFF) | (static_cast<uint32_t>(aMath::round(alpha * 255.0f)) << 24);
    const float s = scale;
    if (animation) {
        const float scales[2] = {mirrored ? -s : s, s};
        const float x = mirrored ? left + static_cast<float>(static_cast<int32_t>(width * s)) : left;
        animation->drawFrame(x, top, colour, scales);
    } else if (grid) {
        for (uint32_t row = 0; row < 2; ++row)
            for (uint32_t column = 0; column < 2; ++column)
                grid->setVertexColor(column, row, colour);
        if (mirrored)
            grid->render(left + width * s, top, -s, s);
        else
            grid->render(left, top, s, s);
    }
}
