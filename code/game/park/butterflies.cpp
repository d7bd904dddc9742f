#include "game/park/butterflies.h"

#include <limits>

#include "game/park/level.h"
#include "orvo/util/a_random.h"

namespace {

constexpr float kSpeed = 80.0f;

} // namespace

cButterfly::cButterfly(std::unique_ptr<aAnim> animation)
    : anim(std::move(animation)), start(std::numeric_limits<float>::max(), 0.0f), direction(1.0f, 0.0f)
{
}

void cButterfly::update(float dt)
{
    if (anim)
        anim->update(dt);
    travelled += kSpeed * dt;
    if (travelled > legLength) {
        const float width = anim ? anim->getFrameWidth() : 0.0f;
        if (start.x < -width || start.x > cLevel::kScreenWidth) {
            start.y = 134.0f + a_randFloat(0.0f, 500.0f);
            direction.x = (a_rand() & 1) ? 1.0f : -1.0f;
            direction.y = a_randFloat(0.0f, 2.0f) - 1.0f;
            start.x = direction.x < 0.0f ? cLevel::kScreenWidth : -width;
        } else {
            start = start + direction * legLength;
            direction.y = direction.y >= 0.0f ? a_randFloat(0.0f, 0.6f) - 1.0f : a_randFloat(0.0f, 0.6f) + 0.4f;
        }
        direction = direction.normalised();
        travelled = 0.0f;
        legLength = 50.0f + a_randFloat(0.0f, 100.0f);
    }
    if (start.y < 0.0f || start.y > cLevel::kScreenHeight) {
        start.y = start.y < 0.0f ? 0.0f : cLevel::kScreenHeight;
        direction.y = -direction.y;
    }
}

void cButterfly::draw() const
{
    if (!anim)
        return;
    aVector2 at = where();
    // Not placed yet: the first update has not run.
    if (at.x > 2.0f * cLevel::kScreenWidth)
        return;
    float scale[2] = {1.0f, 1.0f};
    if (direction.x < 0.0f) {
        scale[0] = -1.0f;
        at.x += anim->getFrameWidth();
    }
    if (direction.y > 0.0f) {
        scale[1] = -1.0f;
        at.y += anim->getFrameHeight();
    }
    anim->drawFrame(at.x, at.y, 0xFFFFFFFF, scale);
}
