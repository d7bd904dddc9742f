// Vertex and index buffers of the device: a CPU copy of fixed size that is
// locked by byte range and drawn from. Made by aGpuDevice on any thread,
// filled on any thread; draws read them on the main thread. Owned by whoever
// created them (unique_ptr). Index buffers hold 16-bit indices.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "orvo/platform/gpu/a_gpuresult.h"

class aGpuRegistry;

class aGpuBuffer {
public:
    aGpuBuffer(std::shared_ptr<aGpuRegistry> registry, uint32_t sizeBytes);
    virtual ~aGpuBuffer() = default;
    aGpuBuffer(const aGpuBuffer&) = delete;
    aGpuBuffer& operator=(const aGpuBuffer&) = delete;

    uint32_t size() const { return static_cast<uint32_t>(m_bytes.size()); }

    // Locks `size` bytes from `offset` (size 0: to the end). One lock at a
    // time; a range past the end is refused.
    aGpuResult lock(uint32_t offset, uint32_t size, void** out, uint32_t flags = 0);
    aGpuResult unlock();

    // Copies `size` bytes from `offset` into `out` for a draw; false when the
    // range is outside the buffer or a lock is open.
    bool read(uint32_t offset, uint32_t size, void* out) const;

private:
    std::shared_ptr<aGpuRegistry> m_registry;
    mutable std::mutex m_mutex;
    std::vector<uint8_t> m_bytes;
    bool m_locked = false;
};

class aGpuVertexBuffer : public aGpuBuffer {
public:
    using aGpuBuffer::aGpuBuffer;
};

class aGpuIndexBuffer : public aGpuBuffer {
public:
    using aGpuBuffer::aGpuBuffer;
    uint32_t indexCount() const { return size() / 2; }
};
