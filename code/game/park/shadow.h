// The soft shadows under the park's creatures: an ellipse image lying along
// its height (a creature facing up), scaled to the creature's sprite, turned
// to its heading and faded with it. Animals and poachers use the same
// drawing with their own factors; the level and the mini-game screens draw
// them in list order (cAnimal::drawShadows, cPoacher::drawShadows). Main thread.
#pragma once

#include <cstdint>

#include "orvo/util/a_vector2.h"

class aImage;

struct cShadowPlacement {
    float x = 0.0f;
    float y = 0.0f;
    float scale = 0.0f;
    float rotation = 0.0f; // radians
    uint32_t color = 0;
};

// s = scale x sprite width / shadow height (x 0.8 for a child); the image
// lies centred on the anchor sideways and `lift` of its height above it;
// direction index d (8 - d when mirrored) turns it by d x -45 degrees.
cShadowPlacement shadow_place(const aImage& shadow, const aVector2& anchor, float scale, float spriteWidth,
                              float childFactor, float lift, int32_t direction, bool mirrored, uint8_t alpha);
// Alpha of an animal's shadow: (0.5 x fade)^2 x 255, truncated (fade 2.0 gives 255).
uint8_t shadow_animalAlpha(float fade);
// Alpha of a poacher's shadow: 2 x fade x 255, truncated and held in 0..255.
uint8_t shadow_poacherAlpha(float fade);
// Nothing for a placement of scale 0 (a shadow image without height).
void shadow_draw(aImage& shadow, const cShadowPlacement& place);

// An animal's shadow (lift 0.65, a child's 0.8 as large).
void shadow_drawAnimal(aImage& shadow, const aVector2& anchor, float scale, float spriteWidth, bool child,
                       int32_t direction, bool mirrored, float fade);
// A poacher's shadow (lift 0.75).
void shadow_drawPoacher(aImage& shadow, const aVector2& anchor, float scale, float spriteWidth, int32_t direction,
                        bool mirrored, float fade);
