#include "game/park/statusindicator.h"

#include <algorithm>

#include "game/app/game.h"
#include "game/app/spriteregistry.h"
#include "orvo/gfx/a_image.h"
#include "orvo/util/a_log.h"

aImage* animalGuiImage()
{
    cGame* game = cGame::get();
    const cSpriteEntry* entry = game ? game->spriteRegistry().findSprite("AnimalGUI") : nullptr;
    if (!entry || !entry->image) {
        static bool logged = false;
        if (!logged)
            a_log("Park. No \"AnimalGUI\" sprite; status indicators are not drawn");
        logged = true;
        return nullptr;
    }
    return entry->image.get();
}

void cStatusIndicator::show(const aRect* icons, int count, float seconds, aImage* image)
{
    count = std::clamp(count, 0, kMaxFrames);
    const bool same = shown && frameCount == count && iconImage == image &&
                      std::equal(icons, icons + count, frames, [](const aRect& a, const aRect& b) { return a == b; });
    shown = true;
    if (same)
        return;
    std::copy(icons, icons + count, frames);
    frameCount = count;
    frameTime = seconds > 0.0f ? seconds : 0.2f;
    clock = 0.0f;
    iconImage = image;
    frame = count > 0 ? frames[0] : aRect();
}

void cStatusIndicator::update(float dt)
{
    if (shown) {
        alpha += 5.0f * dt;
        if (alpha >= 1.0f) {
            if (step < kSteps) {
                ++step;
                alpha = step == kSteps ? 1.0f : 0.0f;
            } else {
                alpha = 1.0f;
            }
        }
    } else {
        alpha -= 5.0f * dt;
        if (alpha <= 0.0f) {
            if (step > 0) {
                --step;
                alpha = step == 0 ? 0.0f : 1.0f;
            } else {
                alpha = 0.0f;
            }
        }
    }
    if (step == kSteps && alpha >= 1.0f && frameCount > 1) {
        clock += dt;
        frame = frames[static_cast<int>(clock / frameTime) % frameCount];
    }
}

void cStatusIndicator::draw() const
{
    if (step == 0 && alpha <= 0.0f)
        return;
    aImage* gui = animalGuiImage();
    if (!gui)
        return;
    static const float kDx[kSteps] = {-12.0f, -20.0f, -28.0f, -32.0f};
    static const float kDy[kSteps] = {-8.0f, -17.0f, -30.0f, -70.0f};
    static const float kScale[kSteps] = {0.5f, 0.7f, 1.0f, 1.0f};
    static const aRect kPuff(65, 0, 15, 15), kBubble(0, 0, 64, 53);
    for (uint16_t i = 0; i < kSteps; ++i) {
        float s = kScale[i];
        if (i == step && step < kSteps && alpha > 0.0f)
            s *= alpha;
        else if (i >= step)
            continue;
        const float pos[2] = {x + kDx[i], y + kDy[i]};
        const float scale[2] = {s, s};
        gui->draw(pos, i < 3 ? kPuff : kBubble, colour, scale);
    }
    if (step == kSteps && alpha >= 1.0f && frameCount > 0) {
        aImage* image = iconImage ? iconImage : gui;
        const float pos[2] = {x - 32.0f + (64 - frame.width) / 2, y - 70.0f + (53 - frame.height) / 2};
        image->draw(pos, frame, colour);
    }
}
