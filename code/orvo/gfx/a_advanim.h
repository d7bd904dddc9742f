// An animation assembled from named blocks of frames (cut from images of an
// image manager) and played by an ordered list of play steps, each naming a
// block with its own rate, passes, direction and ping-pong; the whole list
// may loop, run reversed or ping-pong too. Described by an animation
// description file in INI form. Owners derive from it to hear of frame
// changes, step starts and the end of the list.
// Loaded on the loading or the main thread (one load at a time while
// ms_frameTrim is in use); played and drawn on the main thread.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "orvo/gfx/a_advanimblock.h"
#include "orvo/util/a_geometry.h"

class aImage;
class aImageManager;
class aOptionsFile;

class aAdvAnim {
public:
    // While set, "Frame" rectangles lose their top row and right column and
    // move their displacement down by one (for files cut that way).
    static inline bool ms_frameTrim = false;
    // Most frame changes one update makes; the time left after them is
    // dropped (a huge rate, speed or time would otherwise hang the update).
    static constexpr size_t MAX_FRAME_CHANGES_PER_UPDATE = 1024;

    aAdvAnim() = default;
    virtual ~aAdvAnim() = default;
    aAdvAnim(const aAdvAnim&) = delete;
    aAdvAnim& operator=(const aAdvAnim&) = delete;

    // Reads the description file, replacing what an earlier load gave;
    // textures come from `images` (may be null: frames without images)
    // under `listName`. False (logged) when the file does not exist.
    [[nodiscard]] bool Load(const std::string& file, aImageManager* images, const std::string& listName = "");

    // From the start of the step list (its end when "Reverse").
    void play();
    void update(float seconds);
    // Only while playing, or stopped with "ShowStoped". scale null: (1, 1).
    void draw(float x, float y, aColor color = 0xFFFFFFFF, const float* scale = nullptr);
    // Jumps to an overall frame of a pass through the steps.
    bool setFrame(uint32_t frame);
    bool isPlaying() const { return m_playing && !paused; }
    // Set when the last pass through the steps ended; cleared by play.
    bool isFinished() const { return m_finished; }
    // Endless passes through the steps, or one pass (whatever the file said).
    void setLooping(bool looping) { m_nloops = looping ? 0 : 1; }
    bool isLooping() const { return m_nloops == 0; }
    // Seconds into the current frame of the current step (0 without one);
    // setting keeps the time within the frame.
    float getFrameTime() const;
    void setFrameTime(float seconds);
    // The current frame's index in its block (0 without one).
    uint32_t getCurrentFrameIndex() const;
    // The current frame's image (null without one) and source rectangle.
    aImage* getCurrentFrame(aRect& rect) const;
    // (displacement x, displacement y, frame width, frame height); false without a frame.
    bool getCurrentFrameRect(aRect& rect) const;

    const std::string& getName() const { return m_name; }
    float getSpeed() const { return m_speed; }
    uint32_t getNLoops() const { return m_nloops; }
    bool isReverse() const { return m_reverse; }
    bool isPingPong() const { return m_pingpong; }
    bool isPixelIndent() const { return m_pixelIndent; }
    uint32_t getWidth() const { return m_width; }
    uint32_t getHeight() const { return m_height; }
    bool isShowStopped() const { return m_showStopped; }
    uint32_t getTotalFrames() const { return m_totalFrames; }
    uint32_t getFrameCounter() const { return m_frameCounter; }
    uint32_t getStepIndex() const { return m_stepIndex; }
    uint32_t getPass() const { return m_pass; }
    bool isReversed() const { return m_reversed; }
    const std::vector<advAnim::PlayStep>& getSteps() const { return m_steps; }
    const std::map<std::string, advAnim::aAdvAnimBlock>& getBlocks() const { return m_blocks; }
    // The block of the current step, null past the steps or for a missing block.
    const advAnim::aAdvAnimBlock* getCurrentBlock() const;

    // While set, update does nothing.
    bool paused = false;

protected:
    virtual void onFrameChange() {}
    virtual void onStepStart() {}
    virtual void onSequenceEnd() {}

private:
    void reset();
    void readGeneral(const aOptionsFile& file);
    void readPlay(aOptionsFile& file);
    void readBlock(aOptionsFile& file, aImageManager* images, const std::string& listName, aImage*& texture);
    advAnim::aAdvAnimBlock* currentBlock();
    void startStep(advAnim::aAdvAnimBlock& block);
    void stall();

    std::string m_name;
    float m_speed = 1.0f;
    uint32_t m_nloops = 1;
    bool m_reverse = false;
    bool m_pingpong = false;
    bool m_pixelIndent = false;
    uint32_t m_width = 0;
    uint32_t m_height = 0;
    bool m_playing = false;
    bool m_finished = false;
    bool m_showStopped = false;
    uint32_t m_totalFrames = 0;
    uint32_t m_frameCounter = 0;
    uint32_t m_stepIndex = 0;
    uint32_t m_pass = 0;
    bool m_reversed = false;
    // The next update starts the current step's block first.
    bool m_startPending = false;
    std::map<std::string, advAnim::aAdvAnimBlock> m_blocks;
    uint32_t m_loadedFrames = 0; // in all blocks, at most aAdvAnimBlock::MAX_FRAMES
    bool m_frameCapLogged = false;
    std::vector<advAnim::PlayStep> m_steps;
};
