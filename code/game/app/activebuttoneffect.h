// cActiveButtonEffect: two sparkle emitters ("ACTIVE_BTN") chasing each other
// round a button the player should press next, on a circle or along the
// edges of a rectangle. The owner makes it with an init, updates it every
// frame and destroys it when the highlight is no longer wanted. The emitters
// live in the game's particles manager; main thread.
#pragma once

#include <cstdint>

#include "orvo/util/a_vector2.h"

class aParticleSystem;

class cActiveButtonEffect {
public:
    enum Mode : int32_t {
        MODE_RECT = 0,
        MODE_CIRCLE = 1,
    };

    cActiveButtonEffect() = default;
    ~cActiveButtonEffect() { destroy(); }
    cActiveButtonEffect(const cActiveButtonEffect&) = delete;
    cActiveButtonEffect& operator=(const cActiveButtonEffect&) = delete;

    // Speed in degrees a second; both emitters start at the centre.
    void initCircle(float centreX, float centreY, float radius, float speed);
    // Speed in pixels a second; the emitters start at opposite corners and
    // run down the left edge, along the bottom, up the right and along the top.
    void initRect(float x, float y, float w, float h, float speed);
    void update(float dt);
    // Pausing stops new sparkles; the emitters stay.
    void setPaused(bool paused);
    // Removes the emitters from the particles manager; harmless twice.
    void destroy();

    Mode getMode() const { return m_mode; }
    // Null when the template is missing or after destroy.
    aParticleSystem* getEmitter(int i) const { return m_emitters[i & 1]; }
    const aVector2& getCorner(int i) const { return m_corners[i & 3]; }
    uint16_t getTargetCorner(int i) const { return m_target[i & 1]; }

private:
    void createEmitters(const aVector2& first, const aVector2& second);
    void stepCircle(float dt);
    void stepRect(int i, float dt);

    Mode m_mode = MODE_RECT;
    float m_speed = 0.0f;
    bool m_paused = false;
    float m_angle = 0.0f;
    float m_radius = 0.0f;
    // For a circle the first point is the centre.
    aVector2 m_corners[4];
    uint16_t m_target[2] = {1, 3};
    aParticleSystem* m_emitters[2] = {nullptr, nullptr};
};
