#include "orvo/platform/gpu/a_gputexture.h"

#include "orvo/platform/gpu/a_gpurecord.h"
#include "orvo/platform/gpu/a_gpuregistry.h"
#include "orvo/platform/gpu/a_gpuruns.h"

aGpuTexture::aGpuTexture(std::shared_ptr<aGpuRegistry> registry, uint32_t width, uint32_t height, aGpuFormat format,
                         aGpuUsage usage)
    : m_registry(std::move(registry)), m_width(width), m_height(height), m_format(format), m_usage(usage)
{
    if (m_usage != aGpuUsage::RenderTarget)
        m_pixels.assign(static_cast<size_t>(width) * height * gpu_formatBytes(format), 0);
    if (m_registry)
        m_registry->addTexture(this);
}

aGpuTexture::~aGpuTexture()
{
    if (m_registry) {
        m_registry->beforeTextureChange();
        m_registry->removeTexture(this, m_backendName, m_backendFramebuffer);
    }
}

aGpuResult aGpuTexture::lock(aGpuLockedRect& out, const aGpuRect* rect, uint32_t flags)
{
    out = {};
    aGpuResult result = m_registry ? m_registry->takeFailure(aGpuCall::TextureLock) : aGpuResult::Ok;
    // Quads gathered from the old pixels are drawn before they change.
    if (result == aGpuResult::Ok && m_registry && !(flags & gpuLockReadOnly))
        m_registry->beforeTextureChange();
    if (result == aGpuResult::Ok) {
        std::lock_guard<std::mutex> guard(m_mutex);
        aGpuRect r = rect ? *rect : aGpuRect{0, 0, static_cast<int32_t>(m_width), static_cast<int32_t>(m_height)};
        if (m_usage == aGpuUsage::RenderTarget)
            result = aGpuResult::InvalidCall;
        else if (m_locked)
            result = aGpuResult::AlreadyLocked;
        else if (r.left < 0 || r.top < 0 || r.right <= r.left || r.bottom <= r.top ||
                 r.right > static_cast<int32_t>(m_width) || r.bottom > static_cast<int32_t>(m_height))
            result = aGpuResult::InvalidCall;
        else {
            unpackLocked();
            m_locked = true;
            m_lockReadOnly = (flags & gpuLockReadOnly) != 0;
            out.pitch = pitch();
            out.bits = m_pixels.data() + static_cast<size_t>(r.top) * out.pitch +
                       static_cast<size_t>(r.left) * gpu_formatBytes(m_format);
        }
    }
    if (m_registry && m_registry->tracing()) {
        aGpuRecord record;
        record.call = aGpuCall::TextureLock;
        record.result = result;
        record.object = this;
        if (rect) {
            record.u[0] = static_cast<uint32_t>(rect->left);
            record.u[1] = static_cast<uint32_t>(rect->top);
            record.u[2] = static_cast<uint32_t>(rect->right);
            record.u[3] = static_cast<uint32_t>(rect->bottom);
        }
        record.u[4] = flags;
        m_registry->trace(record);
    }
    return result;
}

aGpuResult aGpuTexture::unlock()
{
    aGpuResult result = aGpuResult::Ok;
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        if (!m_locked) {
            result = aGpuResult::NotLocked;
        } else {
            m_locked = false;
            if (!m_lockReadOnly)
                m_dirty = true;
        }
    }
    if (m_registry && m_registry->tracing()) {
        aGpuRecord record;
        record.call = aGpuCall::TextureUnlock;
        record.result = result;
        record.object = this;
        m_registry->trace(record);
    }
    return result;
}

bool aGpuTexture::isLocked() const
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_locked;
}

bool aGpuTexture::uploadIfDirty(const std::function<void(const uint8_t* pixels)>& upload)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    if (!m_dirty || m_locked || m_usage == aGpuUsage::RenderTarget)
        return false;
    if (m_isPacked) {
        // Kept from upload to upload: a fresh picture-sized block each time
        // would move the allocator's large-block threshold and scatter the heap.
        thread_local std::vector<uint32_t> unpacked;
        unpacked.resize(static_cast<size_t>(m_width) * m_height);
        gpu_unpackRuns(m_packed, unpacked.data(), unpacked.size());
        upload(reinterpret_cast<const uint8_t*>(unpacked.data()));
    } else {
        upload(m_pixels.data());
    }
    m_dirty = false;
    return true;
}

void aGpuTexture::markDirty()
{
    std::lock_guard<std::mutex> guard(m_mutex);
    m_dirty = true;
}

std::vector<uint8_t> aGpuTexture::pixels() const
{
    std::lock_guard<std::mutex> guard(m_mutex);
    if (!m_isPacked)
        return m_pixels;
    std::vector<uint8_t> pixels(static_cast<size_t>(m_width) * m_height * 4);
    gpu_unpackRuns(m_packed, reinterpret_cast<uint32_t*>(pixels.data()), pixels.size() / 4);
    return pixels;
}

void aGpuTexture::pack()
{
    std::lock_guard<std::mutex> guard(m_mutex);
    if (m_isPacked || m_locked || gpu_formatBytes(m_format) != 4 || m_pixels.empty())
        return;
    std::vector<uint32_t> packed;
    gpu_packRuns(reinterpret_cast<const uint32_t*>(m_pixels.data()), m_pixels.size() / 4, packed);
    if (packed.size() * 2 > m_pixels.size() / 4)
        return;
    m_packed = std::move(packed);
    std::vector<uint8_t>().swap(m_pixels);
    m_isPacked = true;
}

bool aGpuTexture::isPacked() const
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_isPacked;
}

std::vector<uint32_t> aGpuTexture::packedRuns() const
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_isPacked ? m_packed : std::vector<uint32_t>();
}

bool aGpuTexture::setPackedRuns(std::vector<uint32_t> runs)
{
    if (m_registry)
        m_registry->beforeTextureChange();
    std::lock_guard<std::mutex> guard(m_mutex);
    const size_t count = static_cast<size_t>(m_width) * m_height;
    if (m_locked || m_usage == aGpuUsage::RenderTarget || gpu_formatBytes(m_format) != 4 ||
        gpu_runsLength(runs) != count)
        return false;
    m_packed = std::move(runs);
    std::vector<uint8_t>().swap(m_pixels);
    m_isPacked = true;
    m_dirty = true;
    return true;
}

void aGpuTexture::unpackLocked()
{
    if (!m_isPacked)
        return;
    m_pixels.resize(static_cast<size_t>(m_width) * m_height * 4);
    gpu_unpackRuns(m_packed, reinterpret_cast<uint32_t*>(m_pixels.data()), m_pixels.size() / 4);
    std::vector<uint32_t>().swap(m_packed);
    m_isPacked = false;
}
