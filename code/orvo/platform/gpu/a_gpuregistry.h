// Book-keeping that a device shares with its textures and buffers, which may
// outlive it and live on other threads: the live textures, GL names waiting
// to be deleted on the main thread, scripted failures and the call trace.
// Everything here is behind one mutex. Owned jointly (shared_ptr) by the
// device and every resource it made.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <unordered_set>
#include <vector>

#include "orvo/platform/gpu/a_gpuresult.h"

class aGpuTexture;
struct aGpuRecord;

// Every device entry point, for scripted failures and the recording backend.
enum class aGpuCall : uint32_t {
    Create,
    Reset,
    TestCooperativeLevel,
    BeginScene,
    EndScene,
    Clear,
    Present,
    SetViewport,
    SetRenderState,
    SetTextureStageState,
    SetTexture,
    SetVertexFormat,
    SetStreamSource,
    SetIndices,
    DrawPrimitive,
    DrawIndexedPrimitive,
    DrawPrimitiveUP,
    DrawIndexedPrimitiveUP,
    SetRenderTarget,
    SetGammaRamp,
    ReadBackBuffer,
    CreateTexture,
    CreateVertexBuffer,
    CreateIndexBuffer,
    CreateSprite,
    CreateFont,
    GetAdapterIdentifier,
    GetAdapterDisplayMode,
    EnumAdapterModes,
    GetDeviceCaps,
    TextureLock,
    TextureUnlock,
    BufferLock,
    BufferUnlock,
    SpriteBegin,
    SpriteDraw,
    SpriteEnd,
    FontDraw,
    DrawBatch,
};
const char* gpu_callName(aGpuCall call);

class aGpuRegistry {
public:
    // Scripted failures: the next `times` calls of `call` answer `result`.
    void failNext(aGpuCall call, aGpuResult result, uint32_t times);
    // The scripted result for this call, or Ok (and one use is spent).
    aGpuResult takeFailure(aGpuCall call);

    void addTexture(aGpuTexture* texture);
    // Forgets a dying texture; its backend names (if any) wait for deletion.
    void removeTexture(aGpuTexture* texture, uint32_t backendName, uint32_t backendFramebuffer);
    size_t textureCount() const;
    // Names of dead textures and framebuffers since the last call (the main
    // thread deletes them).
    void takeDeadNames(std::vector<uint32_t>& textures, std::vector<uint32_t>& framebuffers);
    // Calls `fn` for every live texture under the lock.
    void forEachTexture(const std::function<void(aGpuTexture&)>& fn);

    // The device's main thread, and what it runs there before a texture's
    // pixels change or the texture goes (the device draws the quads it
    // gathered from it first). Set and cleared by the device on that thread.
    void setMainThread(std::thread::id id) { m_mainThread = id; }
    void setBeforeTextureChange(std::function<void()> hook) { m_beforeTextureChange = std::move(hook); }
    // Called by textures; does nothing off the main thread.
    void beforeTextureChange();

    // The recording backend installs a sink; calls from any thread reach it.
    void setTraceSink(std::function<void(const aGpuRecord&)> sink);
    bool tracing() const { return m_tracing; }
    void trace(const aGpuRecord& record);

private:
    mutable std::mutex m_mutex;
    std::map<aGpuCall, std::vector<aGpuResult>> m_failures;
    std::atomic<uint64_t> m_failuresQueued{0}; // entries in m_failures, read without the lock
    std::unordered_set<aGpuTexture*> m_textures;
    std::vector<uint32_t> m_deadNames;
    std::vector<uint32_t> m_deadFramebuffers;
    std::mutex m_traceMutex;
    std::function<void(const aGpuRecord&)> m_sink;
    std::atomic<bool> m_tracing{false};
    std::atomic<std::thread::id> m_mainThread{};
    std::function<void()> m_beforeTextureChange; // main thread only
};
