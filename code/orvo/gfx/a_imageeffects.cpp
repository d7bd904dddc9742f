// aImage: the effects (blur, bloom, grayscale) and their surfaces.
#include <vector>

#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_imageshared.h"
#include "orvo/gfx/a_stackblur.h"
#include "orvo/platform/gpu/a_gpudevice.h"
#include "orvo/util/a_log.h"

namespace {

// Fill of the blurred surface around the picture: mid gray, transparent.
constexpr uint32_t kBlurFill32 = 0x808080;
constexpr uint16_t kBlurFill16 = 0x0888;

uint8_t* rowOf(const aGpuLockedRect& locked, uint32_t y)
{
    return static_cast<uint8_t*>(locked.bits) + static_cast<size_t>(y) * locked.pitch;
}

} // namespace

bool aImage::setEffect(int32_t type, const EffectParamInterface* params)
{
    if (!m_record)
        return false;
    TextureRecord& record = *m_record;
    switch (type) {
    case EFFECT_NONE:
        if (!record.hasTexture())
            return false;
        showPlain();
        return true;

    case EFFECT_BLUR:
    case EFFECT_BLOOM: {
        const auto* bloom = dynamic_cast<const BloomParam*>(params);
        int32_t radius = bloom ? bloom->radius : 0;
        // A bloom asked for by its strength alone keeps the blur made
        // before, or gets a halo of the default width.
        if (type == EFFECT_BLOOM && radius == 0)
            radius = record.bloom && record.bloom->radius > 0 ? record.bloom->radius : DEFAULT_BLOOM_RADIUS;
        const bool blurWanted = bloom || type == EFFECT_BLOOM;
        if (blurWanted && radius < 1) {
            a_log("aImage. Blur radius %d refused: it must be at least 1", radius);
            return false;
        }
        if (!record.bloom) {
            record.bloom = std::make_unique<BloomParam>();
            record.appliedEffects.push_back(type);
        }
        if (bloom && type == EFFECT_BLOOM)
            record.bloom->strength = bloom->strength;
        if (!record.hasTexture()) {
            // Nothing to blur yet: the loader applies it once there is a picture.
            if (blurWanted)
                record.bloom->radius = radius;
            return false;
        }
        if (blurWanted && !applyBlur(radius))
            return false;
        m_surface = &record.surfaces[type == EFFECT_BLUR ? SURFACE_BLURRED : SURFACE_PLAIN];
        m_effect = type;
        return true;
    }

    case EFFECT_GRAYSCALE: {
        const auto* gray = dynamic_cast<const GrayScaleParam*>(params);
        if (!record.grayScale) {
            record.grayScale = std::make_unique<GrayScaleParam>();
            record.appliedEffects.push_back(EFFECT_GRAYSCALE);
        }
        const bool inPlace = gray && gray->inPlace;
        if (!record.hasTexture()) {
            record.grayScale->inPlace = inPlace;
            return false;
        }
        if (!applyGrayScale(inPlace))
            return false;
        m_surface = &record.surfaces[inPlace ? SURFACE_PLAIN : SURFACE_GRAYSCALE];
        m_effect = EFFECT_GRAYSCALE;
        return true;
    }

    default:
        a_log("aImage. Unknown effect %d refused", type);
        return false;
    }
}

bool aImage::applyBlur(int32_t radius)
{
    TextureRecord& record = *m_record;
    Surface& plain = record.surfaces[SURFACE_PLAIN];
    Surface& blurred = record.surfaces[SURFACE_BLURRED];
    if (!plain.texture)
        return false;
    if (!record.bloom)
        record.bloom = std::make_unique<BloomParam>();
    const int32_t stored = blurred.texture ? record.bloom->radius : 0;
    if (radius == stored)
        return true;
    if (radius < 1) {
        a_log("aImage. Blur radius %d refused: it must be at least 1", radius);
        return false;
    }
    record.bloom->radius = radius;
    image_setTexture(blurred, nullptr, 0, 0);

    // Sizes in 32 bits: a large radius must not wrap round to a small surface.
    const uint64_t width = plain.imageWidth + 2ull * static_cast<uint32_t>(radius);
    const uint64_t height = plain.imageHeight + 2ull * static_cast<uint32_t>(radius);
    const aGpuFormat format = image_textureFormat(record);
    aGpuDevice* device = image_device();
    std::unique_ptr<aGpuTexture> texture;
    if (width > 0xFFFF || height > 0xFFFF || !device ||
        gpu_failed(device->createTexture(static_cast<uint32_t>(width), static_cast<uint32_t>(height), format,
                                         aGpuUsage::None, texture))) {
        a_log("aImage: Failed create empty texture for blur");
        return false;
    }
    const uint32_t w = static_cast<uint32_t>(width), h = static_cast<uint32_t>(height);
    const uint32_t r = static_cast<uint32_t>(radius);

    aGpuLockedRect target, source;
    if (gpu_failed(texture->lock(target))) {
        a_log("aImage: Failed create empty texture for blur");
        return false;
    }
    if (gpu_failed(plain.texture->lock(source, nullptr, gpuLockReadOnly))) {
        texture->unlock();
        a_log("aImage: Failed create empty texture for blur");
        return false;
    }
    // Work in ARGB words: the picture framed by the fill, read through the pixel rule.
    const aGpuFormat plainFormat = plain.texture->format();
    const uint32_t fill = gpu_formatBytes(format) == 4 ? kBlurFill32 : gpu_unpackPixel(format, kBlurFill16);
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * h, fill);
    const uint32_t plainBytes = gpu_formatBytes(plainFormat);
    for (uint32_t y = 0; y < plain.imageHeight; ++y) {
        const uint8_t* in = rowOf(source, y);
        uint32_t* out = &pixels[static_cast<size_t>(y + r) * w + r];
        for (uint32_t x = 0; x < plain.imageWidth; ++x)
            out[x] = readLockedPixel(plainFormat, in + x * plainBytes);
    }
    plain.texture->unlock();

    image_stackBlur(pixels.data(), w, h, w, r);

    const uint32_t bytes = gpu_formatBytes(format);
    for (uint32_t y = 0; y < h; ++y) {
        uint8_t* out = rowOf(target, y);
        const uint32_t* in = &pixels[static_cast<size_t>(y) * w];
        for (uint32_t x = 0; x < w; ++x)
            writeLockedPixel(format, out + x * bytes, in[x]);
    }
    texture->unlock();
    image_setTexture(blurred, std::move(texture), w, h);
    return true;
}

bool aImage::applyGrayScale(bool inPlace)
{
    TextureRecord& record = *m_record;
    Surface& plain = record.surfaces[SURFACE_PLAIN];
    Surface& gray = record.surfaces[SURFACE_GRAYSCALE];
    if (!plain.texture)
        return false;
    if (!record.grayScale)
        record.grayScale = std::make_unique<GrayScaleParam>();
    if (!inPlace && gray.texture)
        return true;
    record.grayScale->inPlace = inPlace;

    aGpuLockedRect source, target;
    if (gpu_failed(plain.texture->lock(source, nullptr, inPlace ? 0 : gpuLockReadOnly)))
        return false;
    aGpuTexture* into = plain.texture.get();
    std::unique_ptr<aGpuTexture> texture;
    if (inPlace) {
        target = source;
    } else {
        aGpuDevice* device = image_device();
        if (!device ||
            gpu_failed(device->createTexture(plain.imageWidth, plain.imageHeight, image_textureFormat(record),
                                             aGpuUsage::None, texture)) ||
            gpu_failed(texture->lock(target))) {
            a_log("aImage: Failed create empty texture for grayscale");
            plain.texture->unlock();
            return false;
        }
        into = texture.get();
    }
    const aGpuFormat inFormat = plain.texture->format(), outFormat = into->format();
    const uint32_t inBytes = gpu_formatBytes(inFormat), outBytes = gpu_formatBytes(outFormat);
    for (uint32_t y = 0; y < plain.imageHeight; ++y) {
        const uint8_t* in = rowOf(source, y);
        uint8_t* out = rowOf(target, y);
        for (uint32_t x = 0; x < plain.imageWidth; ++x) {
            const uint32_t p = readLockedPixel(inFormat, in + x * inBytes);
            const uint32_t level = (((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF)) / 3;
            writeLockedPixel(outFormat, out + x * outBytes, (p & 0xFF000000u) | level * 0x010101u);
        }
    }
    plain.texture->unlock();
    if (texture) {
        texture->unlock();
        image_setTexture(gray, std::move(texture), plain.imageWidth, plain.imageHeight);
    }
    return true;
}
