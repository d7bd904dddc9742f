// A sprite played by time: one frame step every frame time (0.025 s unless
// set), forwards or backwards, looping or ping-ponging between the ends, or
// stopping on the end frame. The animated mouse cursor is one of these; the
// first animation made installs the cursor operations of the application
// frame. Main thread.
#pragma once

#include <cstdint>

#include "orvo/gfx/a_sprite.h"

class aAnim : public aSprite {
public:
    enum PlayFlags : uint32_t { PLAY_LOOP = 1, PLAY_BACKWARD = 2, PLAY_PINGPONG = 4 };

    aAnim();
    aAnim(const aAnim& other);
    aAnim& operator=(const aAnim& other);
    ~aAnim() override;

    // Seconds per step; a time that is not above 0 fails an assertion and
    // the old time stays.
    void setFrameTime(float t);
    float getFrameTime() const { return m_frameTime; }
    // The flags the next play() starts with.
    void setPlayFlags(uint32_t flags) { m_playFlags = flags; }
    uint32_t getPlayFlags() const { return m_playFlags; }
    // The flags as playback has turned them.
    uint32_t getWorkingFlags() const { return m_workingFlags; }
    float getAccumulatedTime() const { return m_accumulated; }
    bool isStopped() const { return m_stopped; }

    // Plays on from the current frame; call firstFrame() first to start over.
    void play();
    void stop() { m_stopped = true; }
    void update(float seconds);

private:
    // One step in the working direction; false when playback stopped.
    bool step();

    bool m_stopped = true;
    float m_frameTime = 0.025f;
    float m_accumulated = 0.0f;
    uint32_t m_playFlags = PLAY_LOOP;
    uint32_t m_workingFlags = 0;
};
