// A list of frames, each a rectangle of an image shown for a number of
// steps, with a current frame. Copies share one reference-counted frame set,
// so handing a sprite to many objects copies no frames and no image handles;
// adding frames to a shared set adds them for every sharer. aAnim adds
// playback by time. The game's sprite registry, the mouse cursor and the
// GUI's animation widgets own them. Built on the loading or the main thread,
// drawn on the main thread; the shared counts take no lock.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "orvo/util/a_geometry.h"
#include "orvo/util/a_root.h"

class aImage;

class aSprite : public aRoot {
public:
    struct Frame {
        uint16_t hold = 0; // steps shown; 0 and 1 both mean one
        aRect rect;        // in the image
        bool hidden = false;
        std::unique_ptr<aImage> image; // a handle copy of its own, or null

        Frame();
        Frame(const Frame& other);
        Frame& operator=(const Frame& other);
        Frame(Frame&&) noexcept;
        Frame& operator=(Frame&&) noexcept;
        ~Frame();
    };

    struct FrameSet {
        std::vector<Frame> frames;
        uint32_t references = 1;
    };

    // The current index is 16-bit, so a set holds at most this many frames.
    static constexpr uint32_t kMaxFrames = 65536;

    aSprite();
    aSprite(const aSprite& other);
    aSprite& operator=(const aSprite& other);
    ~aSprite() override;

    // Drops the own set and shares the other's, with its current frame and counter.
    void shareFrames(const aSprite& other);
    // Empties the set, or, when it is shared, leaves it to the others and
    // starts a new empty one. The current index and counter stay.
    void clearFrames();
    // Appends a frame (image may be null), then selects frame 0.
    void addFrame(uint16_t hold, const aImage* image, const aRect& rect);
    // Cuts the shown image into columns x rows cells and appends up to
    // `count` of them, row by row. Zero columns or rows add nothing (logged).
    void addGridFrames(uint16_t hold, const aImage* image, uint32_t count, uint32_t columns, uint32_t rows);
    // Replaces the frames by `count` cells of frameWidth x frameHeight laid
    // out in rows across the base rectangle (null: the image's width from
    // (0, 0)). Without an image the sprite is left empty; a frame width of 0
    // or wider than the base adds nothing (logged).
    void setStripFrames(const aImage* image, const aRect* base, uint16_t frameWidth, uint16_t frameHeight,
                        uint32_t count);

    uint32_t getFrameCount() const { return static_cast<uint32_t>(m_frames->frames.size()); }
    uint16_t getFrame() const { return m_frame; }
    uint16_t getFrameCounter() const { return m_counter; }
    // The current frame's hold, 0 without frames.
    uint16_t getFrameValue() const;
    uint16_t getFrameWidth() const;
    uint16_t getFrameHeight() const;
    // Null past the last frame.
    const Frame* getFrameData(uint32_t index) const;
    bool sharesFramesWith(const aSprite& other) const { return m_frames == other.m_frames; }

    void firstFrame();
    void lastFrame();
    // Ignored past the last frame; counter 0 takes the frame's hold.
    void setFrame(uint16_t index, uint16_t counter);
    bool isFirstFrame() const { return m_frame == 0; }
    bool isLastFrame() const;
    // One frame step; true when the frame changed.
    bool nextFrame();
    bool prevFrame();

    // The current frame's rectangle of its image, unless hidden. scale and
    // centre point at two floats or are null.
    void drawFrame(float x, float y, aColor color = 0xFFFFFFFF, const float* scale = nullptr, float rotation = 0.0f,
                   const float* centre = nullptr);
    void drawAt(int16_t x, int16_t y, aColor color = 0xFFFFFFFF, const float* scale = nullptr, float rotation = 0.0f,
                const float* centre = nullptr);

protected:
    const Frame* current() const;
    void select(uint16_t index);

    FrameSet* m_frames = nullptr;
    uint16_t m_frame = 0;
    uint16_t m_counter = 0;

private:
    void append(uint16_t hold, const aImage* image, const aRect& rect);
    void dropSet();
};
