// Plays an Ogg Theora video into an image that its owner draws: open a file,
// call update with the frame time every turn and draw in the drawing. At
// most one frame is decoded per update; at the end of the file the video
// starts again or closes itself, keeping its last frame. No sound track.
// Owned by a screen (main menu, splash screens); main thread only: the lock
// it inherits is never taken.
#pragma once

#include <cstdint>
#include <string>

#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_theorastream.h"
#include "orvo/util/a_criticalsection.h"
#include "orvo/util/a_geometry.h"

class aTheoraVideo : public aCriticalSection {
public:
    aTheoraVideo() = default;
    ~aTheoraVideo() override;

    // Closes what is open, then opens the file: from disk, or from a disk
    // copy when it lies inside an archive. True when its headers were read;
    // the image then has the picture's size and the next update shows the
    // first frame.
    [[nodiscard]] bool open(const std::string& path, bool loop);
    void close();

    // Seconds since the last update.
    void update(float dt);

    // The image at (x, y): the source rectangle of it when given, else all of
    // it; the other arguments as aImage::draw takes them.
    void draw(float x, float y, aColor colour = 0xFFFFFFFF, const aRect* sourceRect = nullptr,
              const float* scale = nullptr, float rotation = 0.0f, const float* rotationCentre = nullptr);

    // The picture size of the open stream; 0 once closed.
    int32_t getWidth() const { return m_stream.getWidth(); }
    int32_t getHeight() const { return m_stream.getHeight(); }

    // The image the frames are written into (empty until a file is opened).
    const aImage& getImage() const { return m_image; }

private:
    void copyPicture();

    aTheoraStream m_stream; // the decoder, the file and the colour buffer
    bool m_loop = false;
    aImage m_image;
    float m_frameDuration = 0.0f; // seconds
    float m_time = 0.0f;          // seconds gathered towards the next frame
};
