// cEntity: a decoration of the park (tree, bush, rock, tall grass) made from
// a sprite of the sprite registry. It plays the sprite's frames, or, for
// swaying plants, bends the picture through a 2 x 2 distortion grid whose
// top swings like a pendulum. A fading entity turns translucent while a
// creature or a coin of its level overlaps it. The player's park builds
// these too, without a level.
#pragma once

#include <cstdint>
#include <memory>

#include "game/park/drawelement.h"
#include "orvo/util/a_vector2.h"

class aAnim;
class aDistortionGrid;
class cLevel;
struct cSpriteEntry;

class cEntity : public cDrawElement {
public:
    static constexpr float kFadedAlpha = 0.4f;
    static constexpr float kFadeSpeed = 2.0f; // alpha a second

    // `level` may be null (no overlap tests).
    cEntity(cLevel* level, const cSpriteEntry& sprite, bool swaying);
    ~cEntity() override;

    // Degrees a second (the sign is the direction), pixels, and the range
    // between a and b in degrees; the angle starts at a random point of it.
    void setSway(float speed, float length, float a, float b);
    // Bends a swaying entity to `degrees` as its sway would: the top of the
    // picture swings round the bottom by the sway length. The find-pair
    // bushes open this way.
    void applyRotation(float degrees);
    void draw() override;
    void update(float dt) override;

    bool animated = false;
    bool fades = false;
    bool mirrored = false;
    uint32_t colour = 0xFFFFFFFF;
    float alpha = 1.0f;
    float alphaTarget = 1.0f;
    cLevel* level = nullptr;
    std::unique_ptr<aAnim> animation; // null for a swaying entity
    float swayAngle = 0.0f;
    float swaySpeed = 0.0f;
    float swayLength = 0.0f;
    float swayMin = 0.0f;
    float swayMax = 0.0f;
    std::unique_ptr<aDistortionGrid> grid; // swaying entities only

private:
    bool overlapsCreature();
};

// (x cos a - y sin a, x sin a + y cos a).
aVector2 rotateVector(const aVector2& v, float radians);
