// aImage: pixel access by locking.
#include "orvo/gfx/a_image.h"

#include "orvo/app/a_file.h"
#include "orvo/gfx/a_imagemng.h"
#include "orvo/gfx/a_imageshared.h"
#include "orvo/platform/gpu/a_gpuimage.h"
#include "orvo/util/a_assert.h"
#include "orvo/util/a_log.h"

void aImage::writeLockedPixel(aGpuFormat format, void* at, uint32_t argb)
{
    gpu_writePixel(format, at, argb);
}

uint32_t aImage::readLockedPixel(aGpuFormat format, const void* at)
{
    return gpu_readPixel(format, at);
}

uint32_t aImage::LockInfo::GetColorAt(uint32_t x, uint32_t y) const
{
    A_VERIFY(data && x < rect.width && y < rect.height);
    return data[static_cast<size_t>(pitch) * y + x];
}

bool aImage::lock(LockInfo& out, const aRect* rect, bool readOnly)
{
    out = LockInfo{};
    if (!m_record || m_record->displayFormat() != aGpuFormat::A8R8G8B8) {
        a_log("Image format != A8R8G8B8, lock failed!");
        return false;
    }
    Surface& plain = m_record->surfaces[SURFACE_PLAIN];
    const aRect area = rect ? *rect : aRect(0, 0, plain.imageWidth, plain.imageHeight);
    // Only rectangles inside the picture: the pointer handed out must stay in it.
    const bool inside = area.x >= 0 && area.y >= 0 && area.width > 0 && area.height > 0 &&
                        area.x + area.width <= plain.imageWidth && area.y + area.height <= plain.imageHeight;
    aGpuLockedRect locked;
    const aGpuRect r{area.x, area.y, area.x + area.width, area.y + area.height};
    if (!plain.texture || plain.texture->format() != aGpuFormat::A8R8G8B8 || !inside ||
        gpu_failed(plain.texture->lock(locked, &r, readOnly ? gpuLockReadOnly : 0))) {
        a_log("Image lock failed!");
        return false;
    }
    out.data = static_cast<uint32_t*>(locked.bits);
    out.pitch = locked.pitch / 4;
    out.rect = area;
    return true;
}

void aImage::unlock()
{
    if (m_record && m_record->hasTexture())
        m_record->surfaces[SURFACE_PLAIN].texture->unlock();
}

uint32_t aImage::getPixel(int32_t x, int32_t y)
{
    if (!m_record || m_record->displayFormat() == aGpuFormat::Unknown || !m_record->hasTexture())
        return 0;
    Surface& plain = m_record->surfaces[SURFACE_PLAIN];
    if (x < 0 || y < 0 || x >= plain.imageWidth || y >= plain.imageHeight)
        return 0;
    aGpuLockedRect locked;
    const aGpuRect r{x, y, x + 1, y + 1};
    if (gpu_failed(plain.texture->lock(locked, &r, gpuLockReadOnly)))
        return 0;
    const uint32_t argb = readLockedPixel(plain.texture->format(), locked.bits);
    plain.texture->unlock();
    return argb;
}

bool aImage::decodeFile(const std::string& file, aGpuPicture& out)
{
    out = aGpuPicture{};
    aFileBuffer bytes(file.c_str());
    bool decoded = false;
    if (!bytes.empty()) {
        if (image_isJng(bytes.bytes(), bytes.size()))
            decoded = image_decodeMng(bytes.bytes(), bytes.size(), out);
        else
            decoded = gpu_succeeded(gpu_decodeImage(bytes.bytes(), bytes.size(), out));
    }
    if (!decoded || out.pixels.size() != static_cast<size_t>(out.width) * out.height) {
        a_log("aImage. Cannot decode \"%s\"", file.c_str());
        out = aGpuPicture{};
        return false;
    }
    return true;
}
