// One creature of a loading scene: a walk animation (and a second one, idle
// or shooting), an optional shadow lying under it, a speed factor and a
// facing. Its position is the point under its feet. Built on the loading
// thread, moved and drawn on the main thread under the loading screen's lock.
#pragma once

#include <cstdint>
#include <memory>

#include "orvo/util/a_vector2.h"

class aAdvAnim;
class aImage;

class cRunningAnimal {
public:
    cRunningAnimal();
    ~cRunningAnimal();
    cRunningAnimal(const cRunningAnimal&) = delete;
    cRunningAnimal& operator=(const cRunningAnimal&) = delete;

    // The shadow, then the shown animation (the second one while showSecond).
    void draw() const;
    // The shown animation (null when it has none).
    aAdvAnim* shown() const;

    // Unscaled frame size (the walk animation's).
    float drawnWidth() const { return width * scale; }
    float drawnHeight() const { return height * scale; }

    std::unique_ptr<aAdvAnim> walk;
    std::unique_ptr<aAdvAnim> second; // idle or shoot; may be null
    aImage* shadow = nullptr;         // not owned; may be null
    aVector2 position;
    float scale = 1.0f;
    uint16_t width = 0;
    uint16_t height = 0;
    bool active = true;
    float speedFactor = 1.0f;
    bool mirrored = false;
    bool showSecond = false;
};
