#include "orvo/platform/gpu/a_gpusprite.h"

#include <cmath>

#include "orvo/platform/gpu/a_gpudevice.h"
#include "orvo/platform/gpu/a_gpurecord.h"

namespace {

bool whole(float v)
{
    return std::fabs(v) < 16777216.0f && static_cast<float>(static_cast<int32_t>(v)) == v;
}

} // namespace

aGpuSprite::aGpuSprite(aGpuDevice& device) : m_device(device)
{
    m_vertices.reserve(4096);
}

aGpuSprite::~aGpuSprite()
{
    if (m_device.pendingBatch() == this)
        m_device.setPendingBatch(nullptr);
}

aGpuResult aGpuSprite::begin()
{
    aGpuResult result = m_device.registry()->takeFailure(aGpuCall::SpriteBegin);
    if (result == aGpuResult::Ok && (m_open || !m_device.onMainThread()))
        result = aGpuResult::InvalidCall;
    if (result == aGpuResult::Ok)
        m_open = true;
    if (m_device.tracing()) {
        aGpuRecord record;
        record.call = aGpuCall::SpriteBegin;
        record.result = result;
        record.object = this;
        m_device.trace(record);
    }
    return result;
}

aGpuResult aGpuSprite::end()
{
    aGpuResult result = m_device.registry()->takeFailure(aGpuCall::SpriteEnd);
    if (result == aGpuResult::Ok && (!m_open || !m_device.onMainThread()))
        result = aGpuResult::InvalidCall;
    if (result == aGpuResult::Ok) {
        flush();
        m_open = false;
    }
    if (m_device.tracing()) {
        aGpuRecord record;
        record.call = aGpuCall::SpriteEnd;
        record.result = result;
        record.object = this;
        m_device.trace(record);
    }
    return result;
}

bool aGpuSprite::transform(const aGpuTexture& texture, const aGpuRect& source, aGpuVec2 scale, aGpuVec2 centre,
                           float rotation, aGpuVec2 translation, uint32_t argb, aGpuVertex out[4])
{
    const float w = static_cast<float>(source.right - source.left);
    const float h = static_cast<float>(source.bottom - source.top);
    const float tw = static_cast<float>(texture.width()), th = static_cast<float>(texture.height());
    const float u0 = static_cast<float>(source.left) / tw, u1 = static_cast<float>(source.right) / tw;
    const float v0 = static_cast<float>(source.top) / th, v1 = static_cast<float>(source.bottom) / th;
    const float corners[4][2] = {{0.0f, 0.0f}, {w, 0.0f}, {0.0f, h}, {w, h}};
    const float uv[4][2] = {{u0, v0}, {u1, v0}, {u0, v1}, {u1, v1}};
    const bool turned = rotation != 0.0f;
    const float c = turned ? std::cos(rotation) : 1.0f, s = turned ? std::sin(rotation) : 0.0f;
    for (int i = 0; i < 4; ++i) {
        const float px = corners[i][0] * scale.x - centre.x;
        const float py = corners[i][1] * scale.y - centre.y;
        float rx = px, ry = py;
        if (turned) {
            rx = px * c + py * s;
            ry = py * c - px * s;
        }
        out[i].x = rx + centre.x + translation.x;
        out[i].y = ry + centre.y + translation.y;
        out[i].z = 0.0f;
        out[i].rhw = 1.0f;
        out[i].color = argb;
        out[i].u = uv[i][0];
        out[i].v = uv[i][1];
    }
    // Texel for pixel: the texture coordinates are the source's edges and,
    // unturned and unscaled, the corners sit on whole pixels exactly w and h
    // apart (the others are computed as these two are).
    return !turned && scale.x == 1.0f && scale.y == 1.0f && w > 0.0f && h > 0.0f && whole(out[0].x) &&
           whole(out[0].y) && out[3].x == out[0].x + w && out[3].y == out[0].y + h;
}

aGpuResult aGpuSprite::draw(aGpuTexture* texture, const aGpuRect* source, const aGpuVec2* scale, const aGpuVec2* centre,
                            float rotation, const aGpuVec2* translation, uint32_t argb)
{
    aGpuResult result = m_device.registry()->takeFailure(aGpuCall::SpriteDraw);
    const aGpuRect src =
        source
            ? *source
            : (texture ? aGpuRect{0, 0, static_cast<int32_t>(texture->width()), static_cast<int32_t>(texture->height())}
                       : aGpuRect{});
    const aGpuVec2 s = scale ? *scale : aGpuVec2{1.0f, 1.0f};
    const aGpuVec2 c = centre ? *centre : aGpuVec2{};
    const aGpuVec2 t = translation ? *translation : aGpuVec2{};
    if (result == aGpuResult::Ok && (!texture || !m_device.onMainThread() || !m_device.inScene()))
        result = aGpuResult::InvalidCall;
    if (m_device.tracing()) {
        aGpuRecord record;
        record.call = aGpuCall::SpriteDraw;
        record.result = result;
        record.object = texture;
        record.u[0] = static_cast<uint32_t>(src.left);
        record.u[1] = static_cast<uint32_t>(src.top);
        record.u[2] = static_cast<uint32_t>(src.right);
        record.u[3] = static_cast<uint32_t>(src.bottom);
        record.u[4] = argb;
        record.f[0] = s.x;
        record.f[1] = s.y;
        record.f[2] = c.x;
        record.f[3] = c.y;
        record.f[4] = rotation;
        record.f[5] = t.x;
        record.f[6] = t.y;
        m_device.trace(record);
    }
    if (result != aGpuResult::Ok)
        return result;

    // Anything else gathered by another batch goes first, then ours when the
    // texture changes: drawing order is kept.
    if (m_device.pendingBatch() != this)
        m_device.flushPendingBatch();
    if (texture != m_texture)
        flush();
    m_texture = texture;
    const size_t at = m_vertices.size();
    m_vertices.resize(at + 4);
    const bool exact = transform(*texture, src, s, c, rotation, t, argb, &m_vertices[at]);
    m_texelForPixel = m_texelForPixel && exact;
    m_device.setPendingBatch(this);
    if (!m_open)
        flush();
    return aGpuResult::Ok;
}

void aGpuSprite::flush()
{
    if (m_device.pendingBatch() == this)
        m_device.setPendingBatch(nullptr);
    if (m_vertices.empty())
        return;
    m_device.drawQuads(m_texture, m_vertices.data(), static_cast<uint32_t>(m_vertices.size() / 4), m_texelForPixel);
    m_vertices.clear();
    m_texelForPixel = true;
}
