// cStatusIndicator: the thought bubble over a creature. It grows in four
// puffs of 0.2 s each when shown and shrinks the same way when hidden; the
// full bubble shows an icon, animated when it has several frames. Animals
// and poachers own one each. Main thread.
#pragma once

#include <cstdint>

#include "orvo/util/a_geometry.h"

class aImage;

struct cStatusIndicator {
    static constexpr int kMaxFrames = 4;
    static constexpr uint16_t kSteps = 4;

    // Shows these icon frames of `image` (null: the "AnimalGUI" sprite).
    void show(const aRect* frames, int count, float frameTime = 0.2f, aImage* image = nullptr);
    void hide() { shown = false; }
    void update(float dt);
    // Puffs, bubble and icon take `colour`.
    void draw() const;

    int16_t x = 0;
    int16_t y = 0;
    aRect frames[kMaxFrames];
    aRect frame;
    int frameCount = 0;
    float frameTime = 0.2f;
    float clock = 0.0f;
    bool shown = false;
    uint16_t step = 0;
    float alpha = 0.0f;
    aImage* iconImage = nullptr;
    uint32_t colour = 0xFFFFFFFF; // ARGB; the animals' bubbles are white
};

// The "AnimalGUI" sheet of the sprite registry; null (logged once) without it.
aImage* animalGuiImage();
