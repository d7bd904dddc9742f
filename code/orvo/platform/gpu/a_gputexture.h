// A texture of the device: exact size, one of the formats 21/23/25/26, and a
// CPU copy of its pixels in the format's own layout that survives anything
// (device loss included). Made by aGpuDevice::createTexture on any thread;
// locked, filled and unlocked on any thread; the device uploads changed
// pixels lazily on the main thread before a draw uses them. Owned by whoever
// created it (unique_ptr); may outlive the device.
//
// Render-target textures (aGpuUsage::RenderTarget) keep their pixels on the
// GPU only: they cannot be locked and start cleared to 0.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "orvo/platform/gpu/a_gpuformat.h"
#include "orvo/platform/gpu/a_gputypes.h"

class aGpuRegistry;

class aGpuTexture {
public:
    aGpuTexture(std::shared_ptr<aGpuRegistry> registry, uint32_t width, uint32_t height, aGpuFormat format,
                aGpuUsage usage);
    ~aGpuTexture();
    aGpuTexture(const aGpuTexture&) = delete;
    aGpuTexture& operator=(const aGpuTexture&) = delete;

    uint32_t width() const { return m_width; }
    uint32_t height() const { return m_height; }
    aGpuFormat format() const { return m_format; }
    bool isRenderTarget() const { return m_usage == aGpuUsage::RenderTarget; }
    uint32_t pitch() const { return m_width * gpu_formatBytes(m_format); }

    // Locks a rectangle (null: the whole texture) for access in the format's
    // own layout; flags may hold gpuLockReadOnly. One lock at a time; a
    // rectangle outside the texture or an empty one is refused.
    aGpuResult lock(aGpuLockedRect& out, const aGpuRect* rect = nullptr, uint32_t flags = 0);
    aGpuResult unlock();
    bool isLocked() const;

    // Backend side (main thread). Hands the pixels to `upload` when they
    // changed since the last upload and no lock is open; true when it did.
    bool uploadIfDirty(const std::function<void(const uint8_t* pixels)>& upload);
    // Marks the pixels as needing an upload again (after the GL object went).
    void markDirty();
    uint32_t backendName() const { return m_backendName; }
    void setBackendName(uint32_t name) { m_backendName = name; }
    uint32_t backendFramebuffer() const { return m_backendFramebuffer; }
    void setBackendFramebuffer(uint32_t name) { m_backendFramebuffer = name; }

    // A copy of the CPU pixels (tests and read-back helpers).
    std::vector<uint8_t> pixels() const;

    // Keeps the CPU copy as runs of equal pixels until something needs it
    // (a lock unpacks it for good, an upload only for its own time): for
    // pictures that are drawn and rarely read. 32-bit formats only, not
    // while locked; a copy that would not shrink to half stays as it is.
    void pack();
    bool isPacked() const;
    // The runs of a packed copy (empty when the copy is not packed).
    std::vector<uint32_t> packedRuns() const;
    // The copy becomes these runs, as pack() made them for a texture of this
    // size and format; false, with nothing changed, when they do not make
    // exactly its pixels or the texture is locked or not 32-bit.
    bool setPackedRuns(std::vector<uint32_t> runs);

private:
    std::shared_ptr<aGpuRegistry> m_registry;
    uint32_t m_width = 0;
    uint32_t m_height = 0;
    aGpuFormat m_format = aGpuFormat::Unknown;
    aGpuUsage m_usage = aGpuUsage::None;
    void unpackLocked();

    mutable std::mutex m_mutex;
    std::vector<uint8_t> m_pixels; // empty while packed
    std::vector<uint32_t> m_packed;
    bool m_isPacked = false;
    bool m_locked = false;
    bool m_lockReadOnly = false;
    bool m_dirty = true;
    uint32_t m_backendName = 0;        // main thread only
    uint32_t m_backendFramebuffer = 0; // main thread only
};
