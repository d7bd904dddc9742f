#include "orvo/platform/gpu/a_gpudevicerecorder.h"

#include <algorithm>

aGpuDeviceRecorder::aGpuDeviceRecorder()
{
    m_adapter.identifier.description = "Recording device";
    m_adapter.identifier.driver = "recorder";
    m_adapter.identifier.videoMemoryMB = 256;
    m_adapter.modes = {{640, 480, 60, aGpuFormat::R5G6B5},  {640, 480, 60, aGpuFormat::X8R8G8B8},
                       {800, 600, 60, aGpuFormat::R5G6B5},  {800, 600, 60, aGpuFormat::X8R8G8B8},
                       {1024, 768, 60, aGpuFormat::R5G6B5}, {1024, 768, 60, aGpuFormat::X8R8G8B8}};
    m_registry->setTraceSink([this](const aGpuRecord& record) {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_records.push_back(record);
    });
}

aGpuDeviceRecorder::~aGpuDeviceRecorder()
{
    // Resources may outlive the device: they must not call into a dead sink.
    m_registry->setTraceSink(nullptr);
}

std::vector<aGpuRecord> aGpuDeviceRecorder::records() const
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_records;
}

std::vector<aGpuRecord> aGpuDeviceRecorder::records(aGpuCall call) const
{
    std::lock_guard<std::mutex> guard(m_mutex);
    std::vector<aGpuRecord> out;
    for (const auto& r : m_records)
        if (r.call == call)
            out.push_back(r);
    return out;
}

size_t aGpuDeviceRecorder::count(aGpuCall call) const
{
    std::lock_guard<std::mutex> guard(m_mutex);
    size_t n = 0;
    for (const auto& r : m_records)
        n += r.call == call;
    return n;
}

void aGpuDeviceRecorder::clearRecords()
{
    std::lock_guard<std::mutex> guard(m_mutex);
    m_records.clear();
    m_drawn.clear();
}

std::vector<aGpuDeviceRecorder::Drawn> aGpuDeviceRecorder::drawn() const
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_drawn;
}

aGpuResult aGpuDeviceRecorder::doCreate(const aGpuPresentParams&)
{
    return aGpuResult::Ok;
}
aGpuResult aGpuDeviceRecorder::doReset(const aGpuPresentParams&)
{
    return aGpuResult::Ok;
}

aGpuResult aGpuDeviceRecorder::doClear(uint32_t argb)
{
    m_lastClear = argb;
    return aGpuResult::Ok;
}

aGpuResult aGpuDeviceRecorder::doPresent()
{
    ++m_presents;
    return aGpuResult::Ok;
}

aGpuPresentWait aGpuDeviceRecorder::presentWait() const
{
    return m_presentWaitScripted ? m_presentWait : aGpuDevice::presentWait();
}

aGpuResult aGpuDeviceRecorder::doDraw(const aGpuDrawCall& call)
{
    Drawn drawn{currentDrawStates(), call.textures[0], call.primitives};
    std::lock_guard<std::mutex> guard(m_mutex);
    m_drawn.push_back(drawn);
    return aGpuResult::Ok;
}
aGpuResult aGpuDeviceRecorder::doSetRenderTarget(aGpuTexture*)
{
    return aGpuResult::Ok;
}
aGpuResult aGpuDeviceRecorder::doSetGammaRamp(const aGpuGammaRamp&)
{
    return aGpuResult::Ok;
}

aGpuResult aGpuDeviceRecorder::doReadBackBuffer(std::vector<uint32_t>& argb, uint32_t& width, uint32_t& height)
{
    width = m_params.backBufferWidth;
    height = m_params.backBufferHeight;
    const size_t size = static_cast<size_t>(width) * height;
    argb = m_backBuffer.size() == size ? m_backBuffer : std::vector<uint32_t>(size, 0xFF000000u);
    return aGpuResult::Ok;
}
