#include "orvo/platform/gpu/a_gpusprite.h"

#include <algorithm>
#include <cmath>

#include "orvo/platform/gpu/a_gpudevice.h"
#include "orvo/platform/gpu/a_gpurecord.h"

namespace {

bool whole(float v)
{
    return std::fabs(v) < 16777216.0f && static_cast<float>(static_cast<int32_t>(v)) == v;
}

// Groups gathered at most before all are drawn, and quads compared one by
// one for a sprite before a group whose bounds it meets counts as met: they
// bound a sprite's work.
constexpr size_t kMaxGroups = 64;
constexpr size_t kMaxCompared = 256;

// True when the box may meet a quad of the group; `budget` is what is left
// of the quads a sprite may compare.
bool meetsAny(const std::vector<aGpuPixelBox>& boxes, const aGpuPixelBox& bounds, const aGpuPixelBox& box,
              size_t& budget)
{
    if (!bounds.meets(box))
        return false;
    if (boxes.size() > budget)
        return true;
    budget -= boxes.size();
    for (const aGpuPixelBox& other : boxes)
        if (other.meets(box))
            return true;
    return false;
}

} // namespace

aGpuSprite::aGpuSprite(aGpuDevice& device) : m_device(device)
{
}

aGpuSprite::~aGpuSprite()
{
    m_device.forgetPendingBatch(this);
}

uint32_t aGpuSprite::gatheredQuads() const
{
    size_t quads = 0;
    for (size_t i = 0; i < m_used; ++i)
        quads += m_groups[i].boxes.size();
    return static_cast<uint32_t>(quads);
}

aGpuPixelBox aGpuSprite::gatheredBounds() const
{
    aGpuPixelBox bounds;
    for (size_t i = 0; i < m_used; ++i)
        bounds.add(m_groups[i].bounds);
    return bounds;
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

namespace {

// How far in from each end of a source span of `texels` sampling has to stay
// so that no pixel centre inside the quad reaches past the edge texels'
// centres. Magnified by `scale`, the edge pixel's centre lies 0.5 / scale
// texels inside: the rest up to half a texel is taken off both ends.
// Turned, a pixel centre may lie right on the edge: half a texel.
float edgeInset(float texels, float scale, bool turned)
{
    const float s = std::fabs(scale);
    float inset = 0.0f;
    if (turned)
        inset = 0.5f;
    else if (s > 1.0f + 1e-6f && s * texels > 1.0f)
        inset = 0.5f * (s - 1.0f) * texels / (s * texels - 1.0f);
    return std::min({inset, 0.5f, texels * 0.5f});
}

} // namespace

bool aGpuSprite::transform(const aGpuTexture& texture, const aGpuRect& source, aGpuVec2 scale, aGpuVec2 centre,
                           float rotation, aGpuVec2 translation, uint32_t argb, aGpuVertex out[4], bool filtered)
{
    const float w = static_cast<float>(source.right - source.left);
    const float h = static_cast<float>(source.bottom - source.top);
    const float tw = static_cast<float>(texture.width()), th = static_cast<float>(texture.height());
    const bool turned = rotation != 0.0f;
    // Filtered and magnified or turned, the edge pixels would blend in the
    // texels just outside the source: the neighbouring frame of a strip or,
    // through wrapping, the texture's opposite edge. Sampling stops at the
    // centres of the edge texels instead.
    float left = static_cast<float>(source.left), right = static_cast<float>(source.right);
    float top = static_cast<float>(source.top), bottom = static_cast<float>(source.bottom);
    if (filtered) {
        const float ix = edgeInset(w, scale.x, turned), iy = edgeInset(h, scale.y, turned);
        left += ix;
        right -= ix;
        top += iy;
        bottom -= iy;
    }
    const float u0 = left / tw, u1 = right / tw;
    const float v0 = top / th, v1 = bottom / th;
    const float corners[4][2] = {{0.0f, 0.0f}, {w, 0.0f}, {0.0f, h}, {w, h}};
    const float uv[4][2] = {{u0, v0}, {u1, v0}, {u0, v1}, {u1, v1}};
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
    // Texel for pixel: the texture coordinates are the source's edges (no
    // inset is taken unturned and unscaled) and the corners sit on whole pixels exactly w and h
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

    const bool filtered =
        m_device.getTextureStageState(0, aGpuStageState::MinFilter) == static_cast<uint32_t>(aGpuFilter::Linear) ||
        m_device.getTextureStageState(0, aGpuStageState::MagFilter) == static_cast<uint32_t>(aGpuFilter::Linear);
    aGpuVertex quad[4];
    const bool exact = transform(*texture, src, s, c, rotation, t, argb, quad, filtered);
    gather(texture, quad, exact);
    if (!m_open)
        flush();
    return aGpuResult::Ok;
}

void aGpuSprite::gather(aGpuTexture* texture, const aGpuVertex quad[4], bool texelForPixel)
{
    const aGpuPixelBox box = aGpuPixelBox::of(quad, 4);
    if (m_used >= kMaxGroups)
        flush();
    // Another batch's quads, or ours gathered under other states, are drawn first.
    m_device.prepareBatchQuad(*this, box);
    Group& group = groupFor(texture, box);
    group.vertices.insert(group.vertices.end(), quad, quad + 4);
    group.boxes.push_back(box);
    group.bounds.add(box);
    group.texelForPixel = group.texelForPixel && texelForPixel;
}

aGpuSprite::Group& aGpuSprite::groupFor(aGpuTexture* texture, const aGpuPixelBox& box)
{
    // The quad must be drawn after the last group it may share a pixel with;
    // before every group after that one it can go without changing the
    // picture. So it joins its texture's last group from there on, or starts
    // a group of its own right there (where later quads over it may still
    // join the groups after it).
    size_t join = m_used;
    size_t after = 0; // index of the first group it may go before
    size_t budget = kMaxCompared;
    for (size_t i = m_used; i-- > 0;) {
        const Group& group = m_groups[i];
        if (group.texture == texture && join == m_used)
            join = i;
        if (meetsAny(group.boxes, group.bounds, box, budget)) {
            after = i + 1;
            break;
        }
    }
    if (join != m_used)
        return m_groups[join];
    if (m_groups.size() <= m_used)
        m_groups.emplace_back();
    Group& made = m_groups[m_used];
    made.texture = texture;
    made.bounds = {};
    made.texelForPixel = true;
    std::rotate(m_groups.begin() + static_cast<ptrdiff_t>(after), m_groups.begin() + static_cast<ptrdiff_t>(m_used),
                m_groups.begin() + static_cast<ptrdiff_t>(m_used) + 1);
    ++m_used;
    return m_groups[after];
}

void aGpuSprite::flush()
{
    if (m_device.pendingBatch() == this)
        m_device.flushPendingBatch();
}

void aGpuSprite::drawGathered()
{
    for (size_t i = 0; i < m_used; ++i) {
        Group& group = m_groups[i];
        if (!group.boxes.empty())
            m_device.drawQuads(group.texture, group.vertices.data(), static_cast<uint32_t>(group.boxes.size()),
                               group.texelForPixel);
        group.vertices.clear();
        group.boxes.clear();
        group.texture = nullptr;
    }
    m_used = 0;
}
