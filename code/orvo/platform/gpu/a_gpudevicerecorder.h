// The recording backend: a complete device that draws nothing but keeps
// every call (with its arguments, result and, for draws, the vertices as
// sent) and all state, so that unit tests of the graph server, images,
// fonts, primitives and particles can check what reached the device.
// Calls from any thread are kept in order under a lock.
#pragma once

#include <mutex>
#include <vector>

#include "orvo/platform/gpu/a_gpudevice.h"
#include "orvo/platform/gpu/a_gpurecord.h"

class aGpuDeviceRecorder : public aGpuDevice {
public:
    aGpuDeviceRecorder();
    ~aGpuDeviceRecorder() override;

    // Every record since construction or the last clearRecords().
    std::vector<aGpuRecord> records() const;
    // Only the records of one call.
    std::vector<aGpuRecord> records(aGpuCall call) const;
    size_t count(aGpuCall call) const;
    void clearRecords();

    // What one draw was made with: what a backend would have applied.
    struct Drawn : DrawStates {
        const aGpuTexture* texture = nullptr; // stage 0
        uint32_t primitives = 0;
        uint32_t state(aGpuRenderState s) const { return render[static_cast<size_t>(s)]; }
    };
    // Every draw since construction or the last clearRecords(), in order.
    std::vector<Drawn> drawn() const;

    // The colour of the last clear and the number of presents.
    uint32_t lastClearColor() const { return m_lastClear; }
    uint32_t presentCount() const { return m_presents; }
    // Read-back answers this picture (ARGB, back-buffer size); empty gives
    // a black frame.
    void setBackBufferPixels(std::vector<uint32_t> argb) { m_backBuffer = std::move(argb); }
    // Scripts what present() does about the refresh (by default what the
    // presentation asks for).
    void setPresentWait(aGpuPresentWait wait)
    {
        m_presentWait = wait;
        m_presentWaitScripted = true;
    }
    aGpuPresentWait presentWait() const override;

protected:
    aGpuResult doCreate(const aGpuPresentParams& params) override;
    aGpuResult doReset(const aGpuPresentParams& params) override;
    aGpuResult doClear(uint32_t argb) override;
    aGpuResult doPresent() override;
    aGpuResult doDraw(const aGpuDrawCall& call) override;
    aGpuResult doSetRenderTarget(aGpuTexture* target) override;
    aGpuResult doSetGammaRamp(const aGpuGammaRamp& ramp) override;
    aGpuResult doReadBackBuffer(std::vector<uint32_t>& argb, uint32_t& width, uint32_t& height) override;

private:
    mutable std::mutex m_mutex;
    std::vector<aGpuRecord> m_records;
    std::vector<Drawn> m_drawn;
    uint32_t m_lastClear = 0;
    uint32_t m_presents = 0;
    std::vector<uint32_t> m_backBuffer;
    aGpuPresentWait m_presentWait = aGpuPresentWait::Refresh;
    bool m_presentWaitScripted = false;
};
