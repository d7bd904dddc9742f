#include "orvo/platform/gpu/a_gpubuffer.h"

#include <cstring>

#include "orvo/platform/gpu/a_gpurecord.h"
#include "orvo/platform/gpu/a_gpuregistry.h"

aGpuBuffer::aGpuBuffer(std::shared_ptr<aGpuRegistry> registry, uint32_t sizeBytes)
    : m_registry(std::move(registry)), m_bytes(sizeBytes, 0)
{
}

aGpuResult aGpuBuffer::lock(uint32_t offset, uint32_t size, void** out, uint32_t flags)
{
    if (out)
        *out = nullptr;
    aGpuResult result = m_registry ? m_registry->takeFailure(aGpuCall::BufferLock) : aGpuResult::Ok;
    if (result == aGpuResult::Ok) {
        std::lock_guard<std::mutex> guard(m_mutex);
        const uint64_t total = m_bytes.size();
        const uint64_t length = size ? size : (offset < total ? total - offset : 0);
        if (!out || m_locked)
            result = m_locked ? aGpuResult::AlreadyLocked : aGpuResult::InvalidCall;
        else if (offset >= total || offset + length > total)
            result = aGpuResult::InvalidCall;
        else {
            m_locked = true;
            *out = m_bytes.data() + offset;
        }
    }
    if (m_registry && m_registry->tracing()) {
        aGpuRecord record;
        record.call = aGpuCall::BufferLock;
        record.result = result;
        record.object = this;
        record.u[0] = offset;
        record.u[1] = size;
        record.u[2] = flags;
        m_registry->trace(record);
    }
    return result;
}

aGpuResult aGpuBuffer::unlock()
{
    aGpuResult result = aGpuResult::Ok;
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        if (!m_locked)
            result = aGpuResult::NotLocked;
        m_locked = false;
    }
    if (m_registry && m_registry->tracing()) {
        aGpuRecord record;
        record.call = aGpuCall::BufferUnlock;
        record.result = result;
        record.object = this;
        m_registry->trace(record);
    }
    return result;
}

bool aGpuBuffer::read(uint32_t offset, uint32_t size, void* out) const
{
    std::lock_guard<std::mutex> guard(m_mutex);
    if (m_locked || static_cast<uint64_t>(offset) + size > m_bytes.size())
        return false;
    if (size)
        std::memcpy(out, m_bytes.data() + offset, size);
    return true;
}
