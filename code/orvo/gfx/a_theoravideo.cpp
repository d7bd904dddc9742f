#include "orvo/gfx/a_theoravideo.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "orvo/app/a_file.h"
#include "orvo/app/a_fileserver.h"
#include "orvo/util/a_log.h"

aTheoraVideo::~aTheoraVideo()
{
    close();
}

bool aTheoraVideo::open(const std::string& path, bool loop)
{
    close();
    std::string diskPath;
    if (file_existsOnDisk(path.c_str())) {
        diskPath = file_getDiskPath(path.c_str());
    } else {
        // The decoder reads a real file, so a video inside an archive is
        // copied out first.
        aFileServer* files = aFileServer::getSingletonPtr();
        if (!files) {
            a_log("aTheoraVideo. No file server to copy '%s' out of its archive", path.c_str());
            return false;
        }
        diskPath = files->extractToTemp(path);
        if (diskPath.empty())
            return false;
    }
    if (!m_stream.open(diskPath))
        return false;

    m_image.create(static_cast<uint32_t>(m_stream.getWidth()), static_cast<uint32_t>(m_stream.getHeight()));
    m_loop = loop;
    m_frameDuration = static_cast<float>(static_cast<double>(m_stream.getFpsDenominator()) /
                                         static_cast<double>(m_stream.getFpsNumerator()));
    m_time = m_frameDuration;
    return true;
}

void aTheoraVideo::close()
{
    m_stream.close();
}

void aTheoraVideo::update(float dt)
{
    if (!m_stream.isOpen())
        return;
    m_time += dt;
    if (!(m_time >= m_frameDuration))
        return;
    // One frame per turn at most: when a turn takes longer than a frame the
    // surplus is dropped and the video runs slower than real time.
    m_time = std::fmod(m_time, m_frameDuration);
    if (m_stream.decodeFrame(m_loop))
        copyPicture();
}

void aTheoraVideo::copyPicture()
{
    const uint32_t* pixels = m_stream.getPixels();
    if (!pixels)
        return;
    const int32_t width = std::min<int32_t>(m_stream.getPixelsWidth(), m_image.getWidth());
    const int32_t height = std::min<int32_t>(m_stream.getPixelsHeight(), m_image.getHeight());
    if (width <= 0 || height <= 0)
        return;
    aImage::LockInfo locked;
    const aRect whole(0, 0, static_cast<uint16_t>(width), static_cast<uint16_t>(height));
    if (!m_image.lock(locked, &whole))
        return;
    for (int32_t row = 0; row < height; ++row)
        std::memcpy(locked.data + static_cast<size_t>(row) * locked.pitch,
                    pixels + static_cast<size_t>(row) * static_cast<size_t>(m_stream.getPixelsWidth()),
                    static_cast<size_t>(width) * sizeof(uint32_t));
    m_image.unlock();
}

void aTheoraVideo::draw(float x, float y, aColor colour, const aRect* sourceRect, const float* scale, float rotation,
                        const float* rotationCentre)
{
    if (sourceRect) {
        const float position[2] = {x, y};
        m_image.draw(position, *sourceRect, colour, scale, rotation, rotationCentre);
    } else {
        m_image.drawAtF(x, y, colour, scale, rotation, rotationCentre);
    }
}
