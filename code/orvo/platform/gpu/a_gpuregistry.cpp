#include "orvo/platform/gpu/a_gpuregistry.h"

#include "orvo/platform/gpu/a_gpurecord.h"

const char* gpu_callName(aGpuCall call)
{
    static const char* const names[] = {
        "Create",
        "Reset",
        "TestCooperativeLevel",
        "BeginScene",
        "EndScene",
        "Clear",
        "Present",
        "SetViewport",
        "SetRenderState",
        "SetTextureStageState",
        "SetTexture",
        "SetVertexFormat",
        "SetStreamSource",
        "SetIndices",
        "DrawPrimitive",
        "DrawIndexedPrimitive",
        "DrawPrimitiveUP",
        "DrawIndexedPrimitiveUP",
        "SetRenderTarget",
        "SetGammaRamp",
        "ReadBackBuffer",
        "CreateTexture",
        "CreateVertexBuffer",
        "CreateIndexBuffer",
        "CreateSprite",
        "CreateFont",
        "GetAdapterIdentifier",
        "GetAdapterDisplayMode",
        "EnumAdapterModes",
        "GetDeviceCaps",
        "TextureLock",
        "TextureUnlock",
        "BufferLock",
        "BufferUnlock",
        "SpriteBegin",
        "SpriteDraw",
        "SpriteEnd",
        "FontDraw",
        "DrawBatch",
    };
    const auto index = static_cast<size_t>(call);
    return index < sizeof(names) / sizeof(names[0]) ? names[index] : "Unknown";
}

void aGpuRegistry::failNext(aGpuCall call, aGpuResult result, uint32_t times)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    auto& queue = m_failures[call];
    queue.insert(queue.end(), times, result);
    m_failuresQueued += times;
}

aGpuResult aGpuRegistry::takeFailure(aGpuCall call)
{
    // Every sprite draw asks: without scripted failures it costs no lock.
    if (m_failuresQueued.load() == 0)
        return aGpuResult::Ok;
    std::lock_guard<std::mutex> guard(m_mutex);
    auto it = m_failures.find(call);
    if (it == m_failures.end() || it->second.empty())
        return aGpuResult::Ok;
    const aGpuResult result = it->second.front();
    it->second.erase(it->second.begin());
    --m_failuresQueued;
    return result;
}

void aGpuRegistry::addTexture(aGpuTexture* texture)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    m_textures.insert(texture);
}

void aGpuRegistry::removeTexture(aGpuTexture* texture, uint32_t backendName, uint32_t backendFramebuffer)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    m_textures.erase(texture);
    if (backendName)
        m_deadNames.push_back(backendName);
    if (backendFramebuffer)
        m_deadFramebuffers.push_back(backendFramebuffer);
}

size_t aGpuRegistry::textureCount() const
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_textures.size();
}

void aGpuRegistry::takeDeadNames(std::vector<uint32_t>& textures, std::vector<uint32_t>& framebuffers)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    textures.swap(m_deadNames);
    framebuffers.swap(m_deadFramebuffers);
    m_deadNames.clear();
    m_deadFramebuffers.clear();
}

void aGpuRegistry::forEachTexture(const std::function<void(aGpuTexture&)>& fn)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    for (aGpuTexture* texture : m_textures)
        fn(*texture);
}

void aGpuRegistry::beforeTextureChange()
{
    if (std::this_thread::get_id() == m_mainThread.load() && m_beforeTextureChange)
        m_beforeTextureChange();
}

void aGpuRegistry::setTraceSink(std::function<void(const aGpuRecord&)> sink)
{
    std::lock_guard<std::mutex> guard(m_traceMutex);
    m_sink = std::move(sink);
    m_tracing = static_cast<bool>(m_sink);
}

void aGpuRegistry::trace(const aGpuRecord& record)
{
    std::lock_guard<std::mutex> guard(m_traceMutex);
    if (m_sink)
        m_sink(record);
}
