// The OpenGL 3.3 core backend of the device, on an SDL2 window and context.
// The back buffer is the window itself while its client area has the back
// buffer's size; otherwise it is an offscreen picture that present()
// stretches over the client area. With SDL_VIDEODRIVER=offscreen
// it runs without a display (EGL and Mesa), which is how tests and
// benchmarks use it. The adapter facts come from SDL's display modes (each
// size is offered as a 16-bit and a 32-bit mode) and, after create(), from
// the GL driver. Gamma ramps go to the window through SDL; without display
// support setGammaRamp answers NotAvailable but the ramp is still kept.
//
// Construct, create and use on the main thread; the constructor starts SDL's
// video subsystem when nobody has.
#pragma once

#include <memory>

#include "orvo/platform/gpu/a_gpudevice.h"

class aGpuDeviceGL : public aGpuDevice {
public:
    aGpuDeviceGL();
    ~aGpuDeviceGL() override;

    void* nativeWindow() const override;
    // Refresh when the swap waits for the display; NoDisplay under the
    // offscreen driver.
    aGpuPresentWait presentWait() const override;
    // Swaps never wait for the display, whatever the presentation asks:
    // for benchmarks that measure whole frames. Takes effect at create()
    // and reset().
    void setUnsynchronisedSwaps(bool on);
    // present() waits for the frame two back, so the driver never holds more
    // than that. With an interval of n it fences one frame in n and keeps
    // one such frame in flight: the frames between need not all be drawn
    // (offscreen tests, which look only at frames they read back). 1 (the
    // default) for anything shown or measured.
    void setFenceInterval(uint32_t frames);
    // True while frames are drawn straight into the window (its client
    // area has the back buffer's size and keeps its picture after a swap);
    // false while they are drawn offscreen and copied into it at present().
    bool drawsIntoWindow() const;
    // The SDL window flags a window handed over in aGpuPresentParams::window
    // must have been created with.
    static uint32_t requiredWindowFlags();
    // Sets the SDL attributes for a 3.3 core context; call before creating
    // a window that will be handed over.
    static void prepareWindowAttributes();

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
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
