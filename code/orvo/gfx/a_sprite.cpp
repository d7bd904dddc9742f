#include "orvo/gfx/a_sprite.h"

#include <algorithm>

#include "orvo/gfx/a_image.h"
#include "orvo/util/a_log.h"

aSprite::Frame::Frame() = default;
aSprite::Frame::Frame(Frame&&) noexcept = default;
aSprite::Frame& aSprite::Frame::operator=(Frame&&) noexcept = default;
aSprite::Frame::~Frame() = default;

aSprite::Frame::Frame(const Frame& other)
    : hold(other.hold), rect(other.rect), hidden(other.hidden),
      image(other.image ? std::make_unique<aImage>(*other.image) : nullptr)
{
}

aSprite::Frame& aSprite::Frame::operator=(const Frame& other)
{
    if (this != &other) {
        hold = other.hold;
        rect = other.rect;
        hidden = other.hidden;
        image = other.image ? std::make_unique<aImage>(*other.image) : nullptr;
    }
    return *this;
}

aSprite::aSprite() : m_frames(new FrameSet)
{
}

aSprite::aSprite(const aSprite& other)
    : aRoot(other), m_frames(other.m_frames), m_frame(other.m_frame), m_counter(other.m_counter)
{
    ++m_frames->references;
}

aSprite& aSprite::operator=(const aSprite& other)
{
    shareFrames(other);
    return *this;
}

aSprite::~aSprite()
{
    dropSet();
}

void aSprite::dropSet()
{
    if (--m_frames->references == 0)
        delete m_frames;
    m_frames = nullptr;
}

void aSprite::shareFrames(const aSprite& other)
{
    if (this == &other)
        return;
    // Take the reference first: the other may already share our set.
    ++other.m_frames->references;
    dropSet();
    m_frames = other.m_frames;
    m_frame = other.m_frame;
    m_counter = other.m_counter;
}

void aSprite::clearFrames()
{
    if (m_frames->references == 1) {
        m_frames->frames.clear();
        return;
    }
    --m_frames->references;
    m_frames = new FrameSet;
}

void aSprite::append(uint16_t hold, const aImage* image, const aRect& rect)
{
    if (m_frames->frames.size() >= kMaxFrames) {
        a_log("aSprite. Too many frames, frame ignored");
        return;
    }
    Frame& frame = m_frames->frames.emplace_back();
    frame.hold = hold;
    frame.rect = rect;
    if (image)
        frame.image = std::make_unique<aImage>(*image);
}

void aSprite::addFrame(uint16_t hold, const aImage* image, const aRect& rect)
{
    append(hold, image, rect);
    firstFrame();
}

void aSprite::addGridFrames(uint16_t hold, const aImage* image, uint32_t count, uint32_t columns, uint32_t rows)
{
    if (columns == 0 || rows == 0) {
        a_log("aSprite::addGridFrames. A grid of %u x %u cells has no frames", columns, rows);
        return;
    }
    const aImage::Surface* shown = image ? image->getSurface() : nullptr;
    // A cell holds at least one pixel (a grid without a picture keeps to kMaxBlindCells a side):
    // a finer grid, from a damaged description, would make billions of empty frames.
    constexpr uint32_t kMaxBlindCells = 256;
    const uint32_t most[2] = {shown ? std::max<uint32_t>(shown->imageWidth, 1) : kMaxBlindCells,
                              shown ? std::max<uint32_t>(shown->imageHeight, 1) : kMaxBlindCells};
    if (columns > most[0] || rows > most[1]) {
        a_log("aSprite::addGridFrames. A grid of %u x %u cells is finer than its %u x %u picture", columns, rows,
              most[0], most[1]);
        columns = std::min(columns, most[0]);
        rows = std::min(rows, most[1]);
    }
    const uint32_t width = shown ? shown->imageWidth / columns : 0;
    const uint32_t height = shown ? shown->imageHeight / rows : 0;
    uint32_t added = 0;
    for (uint32_t r = 0; r < rows && added < count; ++r)
        for (uint32_t c = 0; c < columns && added < count; ++c, ++added)
            addFrame(hold, image,
                     aRect(static_cast<int16_t>(c * width), static_cast<int16_t>(r * height),
                           static_cast<uint16_t>(width), static_cast<uint16_t>(height)));
}

void aSprite::setStripFrames(const aImage* image, const aRect* base, uint16_t frameWidth, uint16_t frameHeight,
                             uint32_t count)
{
    clearFrames();
    if (!image)
        return;
    const aRect area = base ? *base : aRect(0, 0, image->getWidth(), 0);
    if (frameWidth == 0 || frameWidth > area.width) {
        a_log("aSprite::setStripFrames. Frame width %u does not fit in %u pixels", frameWidth, area.width);
        return;
    }
    const uint32_t perRow = area.width / frameWidth;
    for (uint32_t i = 0; i < count && i < kMaxFrames; ++i)
        append(1, image,
               aRect(static_cast<int16_t>(area.x + (i % perRow) * frameWidth),
                     static_cast<int16_t>(area.y + (i / perRow) * frameHeight), frameWidth, frameHeight));
    firstFrame();
}

const aSprite::Frame* aSprite::current() const
{
    return m_frame < m_frames->frames.size() ? &m_frames->frames[m_frame] : nullptr;
}

const aSprite::Frame* aSprite::getFrameData(uint32_t index) const
{
    return index < m_frames->frames.size() ? &m_frames->frames[index] : nullptr;
}

uint16_t aSprite::getFrameValue() const
{
    const Frame* f = current();
    return f ? f->hold : 0;
}

uint16_t aSprite::getFrameWidth() const
{
    const Frame* f = current();
    return f ? f->rect.width : 0;
}

uint16_t aSprite::getFrameHeight() const
{
    const Frame* f = current();
    return f ? f->rect.height : 0;
}

void aSprite::select(uint16_t index)
{
    m_frame = index;
    m_counter = m_frames->frames[index].hold;
}

void aSprite::firstFrame()
{
    if (!m_frames->frames.empty())
        select(0);
}

void aSprite::lastFrame()
{
    if (!m_frames->frames.empty())
        select(static_cast<uint16_t>(m_frames->frames.size() - 1));
}

void aSprite::setFrame(uint16_t index, uint16_t counter)
{
    if (index >= m_frames->frames.size())
        return;
    select(index);
    if (counter != 0)
        m_counter = counter;
}

bool aSprite::isLastFrame() const
{
    return !m_frames->frames.empty() && m_frame == m_frames->frames.size() - 1;
}

bool aSprite::nextFrame()
{
    const size_t count = m_frames->frames.size();
    if (count == 0)
        return false;
    if (m_counter > 0 && --m_counter > 0)
        return false;
    // A shared set may have shrunk under us: wrap from anywhere past the end.
    select(m_frame + 1u >= count ? 0 : static_cast<uint16_t>(m_frame + 1));
    return true;
}

bool aSprite::prevFrame()
{
    const size_t count = m_frames->frames.size();
    if (count == 0)
        return false;
    if (m_counter > 0 && --m_counter > 0)
        return false;
    select(m_frame == 0 || m_frame > count ? static_cast<uint16_t>(count - 1) : static_cast<uint16_t>(m_frame - 1));
    return true;
}

void aSprite::drawFrame(float x, float y, aColor color, const float* scale, float rotation, const float* centre)
{
    const Frame* f = current();
    if (!f || f->hidden || !f->image)
        return;
    const float position[2] = {x, y};
    f->image->draw(position, f->rect, color, scale, rotation, centre, true);
}

void aSprite::drawAt(int16_t x, int16_t y, aColor color, const float* scale, float rotation, const float* centre)
{
    drawFrame(static_cast<float>(x), static_cast<float>(y), color, scale, rotation, centre);
}
