#include "orvo/gfx/a_advanimblock.h"

#include <algorithm>
#include <cmath>

#include "orvo/gfx/a_image.h"

namespace advAnim {

void aAdvAnimBlock::start(const PlayStep& step, float speed, bool animationReversed)
{
    m_fps = step.fps;
    m_nloops = step.nloops;
    m_reverse = step.reverse;
    m_pingpong = step.pingpong;
    m_speed = speed;
    m_animationReversed = animationReversed;
    if (m_frames.empty())
        return;
    m_playing = true;
    m_backward = animationReversed || step.reverse;
    // Fps 0 gives an endless frame: the block stands still, nothing divides by 0 later.
    m_frameDuration = 1.0f / static_cast<float>(m_fps);
    m_index = m_backward ? count() - 1 : 0;
    m_pass = 0;
    m_timer = m_backward ? m_frameDuration : 0.0f;
}

float aAdvAnimBlock::advance(float seconds)
{
    if (!m_playing)
        return seconds;
    float leftover = 0.0f;
    if (!m_backward) {
        m_timer += seconds * m_speed;
        if (m_timer < m_frameDuration)
            return 0.0f;
        leftover = (m_timer - m_frameDuration) / m_speed;
        if (m_index + 1 < count()) {
            ++m_index;
            m_timer = 0.0f;
            return leftover;
        }
    } else {
        m_timer -= seconds * m_speed;
        if (m_timer > 0.0f)
            return 0.0f;
        leftover = std::fabs(m_timer) / m_speed;
        if (m_index > 0) {
            --m_index;
            m_timer = m_frameDuration;
            return leftover;
        }
    }
    return passEnd(leftover);
}

void aAdvAnimBlock::setTimer(float seconds)
{
    m_timer = std::isnan(seconds) ? 0.0f : std::clamp(seconds, 0.0f, m_frameDuration);
}

float aAdvAnimBlock::passEnd(float leftover)
{
    if (m_nloops != 0 && m_pass + 1 >= m_nloops) {
        m_playing = false;
        return leftover;
    }
    ++m_pass;
    if (m_pingpong)
        m_backward = !m_backward;
    m_index = m_backward ? count() - 1 : 0;
    m_timer = m_backward ? m_frameDuration : 0.0f;
    return leftover;
}

uint32_t aAdvAnimBlock::getPlayFrame() const
{
    return count() * m_pass + (m_backward ? count() - m_index - 1 : m_index);
}

uint32_t aAdvAnimBlock::getStepFrames(const PlayStep& step) const
{
    if (step.nloops == 0)
        return NO_COUNT;
    const uint64_t frames = static_cast<uint64_t>(count()) * step.nloops;
    return frames < NO_COUNT ? static_cast<uint32_t>(frames) : NO_COUNT - 1;
}

bool aAdvAnimBlock::seek(uint32_t frame)
{
    if (!m_playing || m_nloops == 0 || count() == 0)
        return false;
    const uint64_t total = static_cast<uint64_t>(count()) * m_nloops;
    if (frame >= total)
        return false;
    // Replay the step's own direction rules: the first pass runs as start()
    // set it, ping-pong turns at every pass. A reversed animation enters the
    // step from its end, so the frame is counted back from there.
    const uint64_t played = m_animationReversed ? total - 1 - frame : frame;
    m_pass = static_cast<uint32_t>(played / count());
    const uint32_t inPass = static_cast<uint32_t>(played % count());
    m_backward = m_animationReversed || m_reverse;
    if (m_pingpong && (m_pass & 1))
        m_backward = !m_backward;
    m_index = m_backward ? count() - 1 - inPass : inPass;
    m_timer = m_backward ? m_frameDuration : 0.0f;
    return true;
}

void aAdvAnimBlock::draw(float x, float y, aColor color, const float* scale) const
{
    const BlockFrame* frame = getCurrentFrame();
    if (!frame || !frame->image)
        return;
    static constexpr float kOne[2] = {1.0f, 1.0f};
    const float* s = scale ? scale : kOne;
    const float position[2] = {x + static_cast<float>(frame->dispX) * s[0],
                               y + static_cast<float>(frame->dispY) * s[1]};
    frame->image->draw(position, frame->rect, color, s, 0.0f, nullptr, true);
}

bool aAdvAnimBlock::autoFrames(int32_t n, aImage* texture, uint32_t width, uint32_t height, bool pixelIndent)
{
    if (n <= 0 || !texture || width == 0 || height == 0)
        return false;
    const uint32_t imageWidth = texture->getWidth();
    const uint32_t imageHeight = texture->getHeight();
    if (width > imageWidth || height > imageHeight)
        return false;
    const uint32_t gap = pixelIndent ? 1 : 0;
    uint32_t x = 0, y = 0;
    for (int32_t added = 0;;) {
        m_frames.push_back({texture,
                            aRect(static_cast<int16_t>(x), static_cast<int16_t>(y), static_cast<uint16_t>(width),
                                  static_cast<uint16_t>(height)),
                            0, 0});
        if (++added >= n)
            return true;
        if (x + gap + width >= imageWidth) {
            x = 0;
            y += gap + height;
            if (y >= imageHeight)
                return false;
        } else {
            x += gap + width;
        }
    }
}

void aAdvAnimBlock::applySequence(const std::vector<int32_t>& sequence)
{
    std::vector<BlockFrame> listed;
    listed.reserve(sequence.size());
    for (int32_t i : sequence)
        if (i >= 0 && static_cast<uint32_t>(i) < count())
            listed.push_back(m_frames[static_cast<uint32_t>(i)]);
    m_frames = std::move(listed);
}

} // namespace advAnim
