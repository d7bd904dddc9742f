// Drawing of particle systems: the vertex and index buffers that every
// system shares, and the screen rectangle of a particle.
#include <cmath>
#include <cstring>

#include "orvo/app/a_application.h"
#include "orvo/gfx/a_graphserver.h"
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

// FIXME: particle pictures come from the image manager, which is not in the tree yet.
void aParticleSystem::lookUpTexture(aImageManager*, const std::string&)
{
}
void aParticleSystem::copyImageFrom(const aParticleSystem&)
{
}
aGpuTexture* aParticleSystem::texture() const
{
    return nullptr;
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
