// One named block of an advanced animation: a sequence of frames cut from
// images of the image manager, and the running state of the play step that
// is playing it (rate, passes, direction). Blocks are values in their
// animation's block map; the images belong to the image manager and must
// stay loaded while the animation lives. Main thread (built on the loading
// thread too).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "orvo/util/a_geometry.h"

class aAdvAnim;
class aImage;

namespace advAnim {

// One line of "_Play_".
struct PlayStep {
    std::string block;
    uint32_t fps = 30;
    uint32_t nloops = 1; // 0: endless
    bool reverse = false;
    bool pingpong = false;
};

struct BlockFrame {
    aImage* image = nullptr; // the image manager's
    aRect rect;
    int32_t dispX = 0;
    int32_t dispY = 0;
};

class aAdvAnimBlock {
public:
    // getStepFrames of an endless step.
    static constexpr uint32_t NO_COUNT = 0xFFFFFFFF;
    // Most frames one animation holds in all its blocks, as for sprites.
    static constexpr uint32_t MAX_FRAMES = 65536;

    aAdvAnimBlock() = default;
    virtual ~aAdvAnimBlock() = default;
    aAdvAnimBlock(const aAdvAnimBlock&) = default;
    aAdvAnimBlock& operator=(const aAdvAnimBlock&) = default;

    // Takes the step's parameters and, with frames, starts its first pass.
    void start(const PlayStep& step, float speed, bool animationReversed);
    // Plays on by `seconds`; returns the seconds not used (the frame or the
    // pass ended before they ran out), 0 when all were used.
    float advance(float seconds);
    // Position in the step counted in frames from its start: frame count x
    // pass plus the frames played in this pass.
    uint32_t getPlayFrame() const;
    // Frames the step shows, NO_COUNT when it is endless.
    uint32_t getStepFrames(const PlayStep& step) const;
    // Puts the started block where it is after `frame` frame changes of its
    // step (counted from the step's end when the animation runs reversed);
    // false past the step or for an endless step.
    bool seek(uint32_t frame);
    // The current frame at (x, y) plus its displacement, both scaled.
    void draw(float x, float y, aColor color, const float* scale) const;

    void addFrame(const BlockFrame& frame) { m_frames.push_back(frame); }
    // Cuts up to n frames of width x height from the texture, row by row
    // (one pixel apart with pixelIndent); false when the cut ran out of
    // picture or could not start.
    bool autoFrames(int32_t n, aImage* texture, uint32_t width, uint32_t height, bool pixelIndent);
    // Replaces the frames by the listed ones; indices outside are skipped.
    void applySequence(const std::vector<int32_t>& sequence);
    // Drops the frames past the first n.
    void keepFrames(uint32_t n)
    {
        if (n < m_frames.size())
            m_frames.resize(n);
    }

    const std::vector<BlockFrame>& getFrames() const { return m_frames; }
    // Null when the index is outside the frames.
    const BlockFrame* getCurrentFrame() const { return m_index < m_frames.size() ? &m_frames[m_index] : nullptr; }
    bool isPlaying() const { return m_playing; }
    bool isBackward() const { return m_backward; }
    uint32_t getIndex() const { return m_index; }
    uint32_t getPass() const { return m_pass; }
    float getTimer() const { return m_timer; }
    // Seconds into the current frame (left of it, backward), kept within the frame.
    void setTimer(float seconds);

    aAdvAnim* owner = nullptr;

private:
    uint32_t count() const { return static_cast<uint32_t>(m_frames.size()); }
    float passEnd(float leftover);

    std::vector<BlockFrame> m_frames;
    uint32_t m_fps = 30;
    uint32_t m_nloops = 1;
    bool m_reverse = false;
    bool m_pingpong = false;
    float m_speed = 1.0f;
    bool m_animationReversed = false;
    bool m_playing = false;
    bool m_backward = false;
    uint32_t m_index = 0;
    float m_timer = 0.0f;
    float m_frameDuration = 1.0f / 30.0f;
    uint32_t m_pass = 0;
};

} // namespace advAnim
