// The ambient butterflies of a level: each flies legs of 50 to 150 pixels
// at 80 pixels a second, zig-zagging up and down, and starts again from a
// side of the screen once a leg begins off screen. Main thread.
#pragma once

#include <memory>
#include <vector>

#include "orvo/gfx/a_anim.h"
#include "orvo/util/a_vector2.h"

struct cButterfly {
    std::unique_ptr<aAnim> anim;
    aVector2 start;
    aVector2 direction;
    float travelled = 0.0f;
    float legLength = 0.0f;

    // Far off screen, so the first update puts it at a screen edge.
    explicit cButterfly(std::unique_ptr<aAnim> animation);
    void update(float dt);
    void draw() const;
    aVector2 where() const { return start + direction * travelled; }
};

using cButterflyList = std::vector<cButterfly>;
