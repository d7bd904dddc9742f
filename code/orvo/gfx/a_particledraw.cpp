// Drawing of particle systems: the vertex and index buffers that every
// system shares, the particle picture with its texture coordinates, the
// screen rectangle of a particle and the draw itself.
#include <cmath>
#include <cstring>

#include "orvo/app/a_application.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_imagemanager.h"
#include "orvo/gfx/a_particlesystem.h"
#include "orvo/platform/gpu/a_gpudevice.h"
#include "orvo/util/a_log.h"

std::unique_ptr<aGpuVertexBuffer> aParticleSystem::ms_vertexBuffer;
std::unique_ptr<aGpuIndexBuffer> aParticleSystem::ms_indexBuffer;
int32_t aParticleSystem::ms_bufferUsers = 0;

namespace {

constexpr uint32_t kVertexBytes = sizeof(aGpuVertex);
constexpr uint32_t kVertexCount = aParticleSystem::MAX_PARTICLES * 4;
constexpr uint32_t kIndexCount = aParticleSystem::MAX_PARTICLES * 6;

aGraphServer* graphServer()
{
    const aApplication* app = aApplication::get();
    return app ? app->getGraphServer() : nullptr;
}

// A corner coordinate as a whole pixel: + 0.5, truncated toward zero, kept
// within the rectangle's 16-bit range (NaN gives 0).
int16_t toPixel(float v)
{
    const float rounded = v + 0.5f;
    if (!(rounded > -32768.0f))
        return std::isnan(rounded) ? 0 : -32768;
    if (rounded >= 32767.0f)
        return 32767;
    return static_cast<int16_t>(rounded);
}

} // namespace

void aParticleSystem::createSharedBuffers()
{
    ++ms_bufferUsers;
    // NOTE: buffers are made whenever they are missing, not only by the
    // first user, so a system made after a failure (or before the device)
    // still gets them.
    if (ms_vertexBuffer && ms_indexBuffer)
        return;
    aGraphServer* graph = graphServer();
    aGpuDevice* device = graph ? graph->getDevice() : nullptr;
    if (!device)
        return;

    if (!ms_vertexBuffer) {
        std::unique_ptr<aGpuVertexBuffer> buffer;
        aGpuResult r = device->createVertexBuffer(kVertexCount * kVertexBytes, buffer);
        if (gpu_failed(r)) {
            a_log("aParticleSystem. Vertex buffer creation failed (%s)", gpu_errorName(r));
            return;
        }
        void* bytes = nullptr;
        r = buffer->lock(0, 0, &bytes);
        if (gpu_failed(r)) {
            a_log("aParticleSystem. Vertex buffer lock failed (%s)", gpu_errorName(r));
            return;
        }
        const aGpuVertex blank; // z 0, rhw 1
        for (uint32_t i = 0; i < kVertexCount; ++i)
            std::memcpy(static_cast<uint8_t*>(bytes) + i * kVertexBytes, &blank, kVertexBytes);
        r = buffer->unlock();
        if (gpu_failed(r)) {
            a_log("aParticleSystem. Vertex buffer unlock failed (%s)", gpu_errorName(r));
            return;
        }
        ms_vertexBuffer = std::move(buffer);
    }

    std::unique_ptr<aGpuIndexBuffer> buffer;
    aGpuResult r = device->createIndexBuffer(kIndexCount * 2, buffer);
    if (gpu_failed(r)) {
        a_log("aParticleSystem. Index buffer creation failed (%s)", gpu_errorName(r));
        return;
    }
    void* bytes = nullptr;
    r = buffer->lock(0, 0, &bytes);
    if (gpu_failed(r)) {
        a_log("aParticleSystem. Index buffer lock failed (%s)", gpu_errorName(r));
        return;
    }
    // Quad k: top-left, bottom-left, top-right and top-right, bottom-left, bottom-right.
    uint16_t* index = static_cast<uint16_t*>(bytes);
    for (uint32_t k = 0; k < MAX_PARTICLES; ++k) {
        const uint16_t v = static_cast<uint16_t>(k * 4);
        const uint16_t quad[6] = {v,
                                  static_cast<uint16_t>(v + 2),
                                  static_cast<uint16_t>(v + 1),
                                  static_cast<uint16_t>(v + 1),
                                  static_cast<uint16_t>(v + 2),
                                  static_cast<uint16_t>(v + 3)};
        std::memcpy(index + k * 6, quad, sizeof(quad));
    }
    r = buffer->unlock();
    if (gpu_failed(r)) {
        a_log("aParticleSystem. Index buffer unlock failed (%s)", gpu_errorName(r));
        return;
    }
    ms_indexBuffer = std::move(buffer);
}

void aParticleSystem::releaseSharedBuffers()
{
    if (--ms_bufferUsers > 0)
        return;
    ms_bufferUsers = 0;
    ms_indexBuffer.reset();
    ms_vertexBuffer.reset();
}

void aParticleSystem::getParticleRect(const aParticle& particle, aRect& out)
{
    const aParticle::Corner* c = particle.corners;
    out = aRect(toPixel(c[0].x), toPixel(c[0].y), 1, 1);
    for (int i = 1; i < 4; ++i)
        out.extendTo(toPixel(c[i].x), toPixel(c[i].y));
}

uint32_t aParticleSystem::packChannel(float value)
{
    if (!(value > 0.0f))
        return 0;
    if (value >= 1.0f)
        return 255;
    return static_cast<uint32_t>(value * 255.0f + 0.5f);
}

uint32_t aParticleSystem::packColor(const float rgba[4])
{
    return packChannel(rgba[3]) << 24 | packChannel(rgba[0]) << 16 | packChannel(rgba[1]) << 8 | packChannel(rgba[2]);
}

void aParticleSystem::lookUpTexture(aImageManager* images, const std::string& listName)
{
    // An unknown name (logged by the manager) leaves the system without a picture.
    if (images)
        setImage(images->getImage(m_textureName, listName), nullptr);
}

void aParticleSystem::copyImageFrom(const aParticleSystem& templateSystem)
{
    setImage(templateSystem.m_image.get(), templateSystem.m_image ? &templateSystem.m_source : nullptr);
}

void aParticleSystem::setImage(const aImage* image, const aRect* source)
{
    // Copied before the old handle goes: `image` may be this system's own.
    std::unique_ptr<aImage> handle = image ? std::make_unique<aImage>(*image) : nullptr;
    const aRect rect = source ? *source : handle ? aRect(0, 0, handle->getWidth(), handle->getHeight()) : aRect();
    if (m_image)
        m_image->release();
    m_image = std::move(handle);
    if (!m_image)
        return;
    m_source = rect;

    // A handle without a texture has no size to divide by; it draws nothing anyway.
    const aImage::TextureRecord* record = m_image->getRecord();
    const aImage::Surface* plain = record ? &record->surfaces[aImage::SURFACE_PLAIN] : nullptr;
    const float texW = plain && plain->textureWidth ? static_cast<float>(plain->textureWidth) : 1.0f;
    const float texH = plain && plain->textureHeight ? static_cast<float>(plain->textureHeight) : 1.0f;
    const float uLeft = static_cast<float>(m_source.x) / texW;
    const float vTop = static_cast<float>(m_source.y) / texH;
    const float uRight = static_cast<float>(m_source.x + m_source.width) / texW;
    const float vBottom = static_cast<float>(m_source.y + m_source.height) / texH;
    const float plainUV[4][2] = {{uLeft, vTop}, {uRight, vTop}, {uLeft, vBottom}, {uRight, vBottom}};
    const float mirroredUV[4][2] = {{uRight, vTop}, {uLeft, vTop}, {uRight, vBottom}, {uLeft, vBottom}};
    std::memcpy(m_plainUV, plainUV, sizeof(plainUV));
    std::memcpy(m_mirroredUV, mirroredUV, sizeof(mirroredUV));
}

aGpuTexture* aParticleSystem::texture() const
{
    return m_image && m_image->hasTexture() ? m_image->getRecord()->surfaces[aImage::SURFACE_PLAIN].texture.get()
                                            : nullptr;
}

void aParticleSystem::render()
{
    aGpuTexture* tex = texture();
    if (!tex || m_liveCount == 0)
        return;
    aGraphServer* graph = graphServer();
    aGpuDevice* device = graph ? graph->getDevice() : nullptr;
    if (!device || !ms_vertexBuffer || !ms_indexBuffer)
        return;
    const uint32_t quads = m_liveCount < MAX_PARTICLES ? m_liveCount : MAX_PARTICLES;

    void* bytes = nullptr;
    aGpuResult r = ms_vertexBuffer->lock(0, quads * 4 * kVertexBytes, &bytes, 0);
    if (gpu_failed(r)) {
        a_log("aParticleSystem. Vertex buffer lock failed on render (%s)", gpu_errorName(r));
        return;
    }
    // Only positions, colours and texture coordinates: z and rhw were written once.
    aGpuVertex* v = static_cast<aGpuVertex*>(bytes);
    uint32_t written = 0;
    for (const aParticle* p = m_live; p && written < quads; p = p->next, ++written) {
        const float(*uv)[2] = p->mirrored ? m_mirroredUV : m_plainUV;
        const uint32_t color = packColor(p->color);
        for (int i = 0; i < 4; ++i, ++v) {
            v->x = p->corners[i].x;
            v->y = p->corners[i].y;
            v->color = color;
            v->u = uv[i][0];
            v->v = uv[i][1];
        }
    }
    ms_vertexBuffer->unlock();

    const uint32_t previousBlend = graph->getBlendMode();
    graph->setBlendMode(static_cast<uint32_t>(m_params.blendMode));
    device->setVertexFormat(aGpuVertexFormat::Tex1);
    device->setStreamSource(ms_vertexBuffer.get(), kVertexBytes);
    device->setIndices(ms_indexBuffer.get(), 0);
    device->setTexture(0, tex);
    r = device->drawIndexedPrimitive(aGpuPrimitive::TriangleList, 0, written * 4, 0, written * 2);
    if (gpu_failed(r))
        a_log("aParticleSystem. Render error (%s)", gpu_errorName(r));
    graph->setBlendMode(previousBlend);
}
