#include "orvo/gfx/a_anim.h"

#include <cmath>

#include "orvo/app/a_cursoranim.h"
#include "orvo/util/a_assert.h"

namespace {

// The application frame reaches the cursor animation through these.
const aCursorAnimOps kCursorOps = {
    [](const aAnim& from) -> aAnim* { return new aAnim(from); },
    [](aAnim& to, const aAnim& from) { to = from; },
    [](aAnim& anim) { anim.play(); },
    [](aAnim& anim, float seconds) { anim.update(seconds); },
    [](aAnim& anim, int16_t x, int16_t y) { anim.drawAt(x, y, 0xFFFFFFFF, nullptr, 0.0f, nullptr); },
    [](aAnim* anim) { delete anim; },
};

void installCursorOps()
{
    // Only into an empty table: a test may have put its own there.
    if (!cursoranim_ops().copy)
        cursoranim_setOps(kCursorOps);
}

} // namespace

aAnim::aAnim()
{
    installCursorOps();
}

aAnim::aAnim(const aAnim& other)
    : aSprite(other), m_stopped(other.m_stopped), m_frameTime(other.m_frameTime), m_accumulated(other.m_accumulated),
      m_playFlags(other.m_playFlags), m_workingFlags(other.m_workingFlags)
{
    setFrame(other.m_frame, other.getFrameValue());
}

aAnim& aAnim::operator=(const aAnim& other)
{
    if (this == &other)
        return *this;
    shareFrames(other);
    m_frameTime = other.m_frameTime;
    m_accumulated = other.m_accumulated;
    m_playFlags = other.m_playFlags;
    m_workingFlags = other.m_workingFlags;
    m_stopped = other.m_stopped;
    setFrame(other.m_frame, other.getFrameValue());
    return *this;
}

aAnim::~aAnim() = default;

void aAnim::setFrameTime(float t)
{
    // clang-format off
    if (A_ASSERT(t>0))
        m_frameTime = t;
    // clang-format on
}

void aAnim::play()
{
    m_accumulated = 0.0f;
    m_workingFlags = m_playFlags;
    m_stopped = false;
}

bool aAnim::step()
{
    const bool backward = (m_workingFlags & PLAY_BACKWARD) != 0;
    // The step would leave the end frame. A hold of 0 leaves its counter at 0, so such an end frame
    // never ends a pass: the step wraps, even without loop.
    const bool atEnd = (backward ? isFirstFrame() : isLastFrame()) && m_counter == 1;
    if (!atEnd) {
        backward ? prevFrame() : nextFrame();
        return true;
    }
    if (m_workingFlags & PLAY_PINGPONG) {
        m_workingFlags ^= PLAY_BACKWARD;
        if (!(m_workingFlags & PLAY_LOOP))
            m_workingFlags &= ~PLAY_PINGPONG;
        return true;
    }
    if (!(m_workingFlags & PLAY_LOOP)) {
        m_stopped = true;
        return false;
    }
    backward ? prevFrame() : nextFrame();
    return true;
}

void aAnim::update(float seconds)
{
    if (m_stopped || std::isnan(seconds))
        return;
    m_accumulated += seconds;
    while (m_accumulated >= m_frameTime) {
        const float before = m_accumulated;
        m_accumulated -= m_frameTime;
        // A time so large that a step no longer changes it would loop for ever.
        if (m_accumulated == before)
            m_accumulated = 0.0f;
        if (!step())
            return;
    }
}
