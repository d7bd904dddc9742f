// aImage: handle life, records, loading.
#include "orvo/gfx/a_image.h"

#include <cstring>

#include "orvo/app/a_application.h"
#include "orvo/app/a_file.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/gfx/a_imagemng.h"
#include "orvo/gfx/a_imageshared.h"
#include "orvo/gfx/a_picturecache.h"
#include "orvo/platform/gpu/a_gpudevice.h"
#include "orvo/platform/gpu/a_gpuimage.h"
#include "orvo/util/a_log.h"

namespace {

const std::string kNoFile;

// A texture made from a kept packed copy, as decoding the file made it.
aGpuResult createFromRuns(aGpuDevice& device, aGpuFormat format, aPictureCache::Picture picture,
                          std::unique_ptr<aGpuTexture>& out)
{
    aGpuResult result = device.createTexture(picture.width, picture.height, format, aGpuUsage::None, out);
    if (gpu_succeeded(result) && !out->setPackedRuns(std::move(picture.runs))) {
        out.reset();
        result = aGpuResult::InvalidData;
    }
    return result;
}

} // namespace

aGraphServer* image_graphServer()
{
    aApplication* app = aApplication::get();
    return app ? app->getGraphServer() : nullptr;
}

aGpuDevice* image_device()
{
    aGraphServer* graph = image_graphServer();
    return graph ? graph->getDevice() : nullptr;
}

aGpuFormat image_textureFormat(const aImage::TextureRecord& record)
{
    const aGpuFormat format = record.displayFormat();
    // A format a list did not name lets the loader choose: the file's own 32 bits.
    return gpu_isTextureFormat(format) ? format : aGpuFormat::A8R8G8B8;
}

void image_setTexture(aImage::Surface& surface, std::unique_ptr<aGpuTexture> texture, uint32_t imageWidth,
                      uint32_t imageHeight)
{
    surface.texture = std::move(texture);
    surface.imageWidth = static_cast<uint16_t>(imageWidth);
    surface.imageHeight = static_cast<uint16_t>(imageHeight);
    surface.textureWidth = static_cast<uint16_t>(surface.texture ? surface.texture->width() : 0);
    surface.textureHeight = static_cast<uint16_t>(surface.texture ? surface.texture->height() : 0);
}

aGpuFormat aImage::TextureRecord::displayFormat() const
{
    const aGraphServer* graph = image_graphServer();
    return graph && graph->isHighColor() ? format32 : format16;
}

aImage::aImage() : m_record(new TextureRecord)
{
}

aImage::aImage(const std::string& file, aGpuFormat format16, aGpuFormat format32) : m_record(new TextureRecord)
{
    m_record->fileName = file;
    m_record->format16 = format16;
    m_record->format32 = format32;
    loadTexture();
    showPlain();
}

aImage::aImage(const aImage& other) : m_record(other.m_record)
{
    if (m_record)
        m_record->references.fetch_add(1, std::memory_order_relaxed);
    showPlain();
}

aImage& aImage::operator=(const aImage& other)
{
    if (this == &other)
        return *this;
    // The new reference first: the old record may be the same one.
    if (other.m_record)
        other.m_record->references.fetch_add(1, std::memory_order_relaxed);
    release();
    m_record = other.m_record;
    showPlain();
    return *this;
}

aImage::~aImage()
{
    release();
}

void aImage::release()
{
    TextureRecord* record = m_record;
    m_record = nullptr;
    m_surface = nullptr;
    m_effect = EFFECT_NONE;
    if (record && record->references.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        freeTextures(record);
        delete record;
    }
}

void aImage::freeTextures(TextureRecord* record)
{
    for (Surface& surface : record->surfaces)
        surface = Surface{};
    record->bloom.reset();
    record->grayScale.reset();
}

const std::string& aImage::getFileName() const
{
    return m_record ? m_record->fileName : kNoFile;
}

void aImage::showPlain()
{
    if (m_record && m_record->hasTexture()) {
        m_surface = &m_record->surfaces[SURFACE_PLAIN];
        m_effect = EFFECT_NONE;
    }
}

void aImage::detach()
{
    if (m_record && !m_record->hasTexture())
        return;
    release();
    m_record = new TextureRecord;
}

aImage::Surface* aImage::load(const std::string& file, aGpuFormat format16, aGpuFormat format32)
{
    detach();
    m_record->fileName = file;
    m_record->format16 = format16;
    m_record->format32 = format32;
    loadTexture();
    showPlain();
    return &m_record->surfaces[SURFACE_PLAIN];
}

void aImage::create(uint32_t width, uint32_t height)
{
    detach();
    m_record->fileName.clear();
    m_record->format16 = aGpuFormat::A8R8G8B8;
    m_record->format32 = aGpuFormat::A8R8G8B8;
    m_record->width = width;
    m_record->height = height;
    m_record->created = false;
    loadTexture();
    showPlain();
}

void aImage::loadTexture()
{
    if (!aApplication::get()) {
        a_log("aImage. Error, aApplication object not created!");
        return;
    }
    aGpuDevice* device = image_device();
    if (!device) {
        a_log("aImage. Error, aGraphServer object not created!");
        return;
    }
    TextureRecord& record = *m_record;
    Surface& plain = record.surfaces[SURFACE_PLAIN];
    std::unique_ptr<aGpuTexture> texture;
    uint32_t width = 0, height = 0;
    aGpuResult result = aGpuResult::Ok;
    if (record.fileName.empty()) {
        if (record.created)
            return;
        result = device->createTexture(record.width, record.height, aGpuFormat::A8R8G8B8, aGpuUsage::None, texture);
        if (gpu_succeeded(result)) {
            record.created = true;
            width = record.width;
            height = record.height;
        }
    } else {
        result = loadFile(*device, texture, width, height);
    }
    if (gpu_failed(result)) {
        a_log("Texture \"%s\" load failed (%s)", record.fileName.c_str(), gpu_errorName(result));
        texture.reset();
        width = height = 0;
    }
    // A picture from a file is drawn and rarely read: its copy is kept packed until used.
    if (texture)
        texture->pack();
    image_setTexture(plain, std::move(texture), width, height);
    if (plain.texture)
        applyEffectsAgain();
}

aGpuResult aImage::loadFile(aGpuDevice& device, std::unique_ptr<aGpuTexture>& texture, uint32_t& width,
                            uint32_t& height)
{
    const TextureRecord& record = *m_record;
    aFileBuffer file(record.fileName.c_str());
    if (file.empty())
        return aGpuResult::NotFound;
    const aGpuFormat format = image_textureFormat(record);
    aPictureCache& cache = aPictureCache::instance();
    aPictureCache::Picture kept;
    if (cache.find(record.fileName, format, file.bytes(), file.size(), kept)) {
        width = kept.width;
        height = kept.height;
        return createFromRuns(device, format, std::move(kept), texture);
    }
    aGpuResult result = aGpuResult::Ok;
    if (image_isJng(file.bytes(), file.size())) {
        aGpuPicture picture;
        result = createFromMNG(device, file.bytes(), file.size(), picture, texture);
        width = picture.width;
        height = picture.height;
    } else {
        aGpuImageInfo info;
        result = gpu_createTextureFromMemory(device, file.bytes(), file.size(), format, texture, &info);
        width = info.width;
        height = info.height;
    }
    if (gpu_succeeded(result) && texture) {
        texture->pack();
        // With no budget (a level, a mini-game) the copy would only be refused.
        if (texture->isPacked() && cache.budget() > 0)
            cache.store(record.fileName, format, file.bytes(), file.size(), {width, height, texture->packedRuns()});
    }
    return result;
}

aGpuResult aImage::createFromMNG(aGpuDevice& device, const uint8_t* data, uint32_t size, aGpuPicture& picture,
                                 std::unique_ptr<aGpuTexture>& out)
{
    if (!image_decodeMng(data, size, picture)) {
        a_log("aImage::createFromMNG - mnglib init/read error!");
        return aGpuResult::InvalidData;
    }
    const aGpuFormat format = image_textureFormat(*m_record);
    aGpuResult result = device.createTexture(picture.width, picture.height, format, aGpuUsage::None, out);
    if (gpu_failed(result)) {
        a_log("aImage::createFromMNG - D3DXCreateTexture error (%s)", gpu_errorName(result));
        return result;
    }
    aGpuLockedRect locked;
    result = out->lock(locked);
    if (gpu_failed(result)) {
        a_log("aImage::createFromMNG - LockRect error (%s)", gpu_errorName(result));
        out.reset();
        return result;
    }
    const uint32_t bytes = gpu_formatBytes(format);
    for (uint32_t y = 0; y < picture.height; ++y) {
        uint8_t* row = static_cast<uint8_t*>(locked.bits) + static_cast<size_t>(y) * locked.pitch;
        const uint32_t* canvas = picture.pixels.data() + static_cast<size_t>(y) * picture.width;
        if (format == aGpuFormat::A8R8G8B8) {
            std::memcpy(row, canvas, static_cast<size_t>(picture.width) * 4);
        } else {
            for (uint32_t x = 0; x < picture.width; ++x)
                writeLockedPixel(format, row + x * bytes, canvas[x]);
        }
    }
    out->unlock();
    return aGpuResult::Ok;
}

void aImage::applyEffectsAgain()
{
    const std::vector<int32_t> effects = m_record->appliedEffects;
    for (int32_t effect : effects) {
        if ((effect == EFFECT_BLUR || effect == EFFECT_BLOOM) && m_record->bloom && m_record->bloom->radius >= 1)
            applyBlur(m_record->bloom->radius);
        else if (effect == EFFECT_GRAYSCALE && m_record->grayScale)
            applyGrayScale(m_record->grayScale->inPlace);
    }
}
