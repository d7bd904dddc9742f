// A test application with a fake clock, a scripted event pump, a scripted
// input device and a graph server on the recording device: the main loop
// runs without a window, a display or real time.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "orvo/app/a_application.h"
#include "orvo/app/a_inputserver.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/platform/a_eventpump.h"
#include "orvo/platform/a_messagebox.h"
#include "orvo/platform/a_system.h"
#include "orvo/platform/gpu/a_gpudevicerecorder.h"
#include "orvo/util/a_timer.h"

namespace kbtest {

// Time stands still unless a test (or a pacing sleep) moves it.
class FakeClock {
public:
    FakeClock()
    {
        s_ticks = 0;
        s_sleeps.clear();
        aTimer::setCounterSource(&counter, kFrequency);
        system_setSleepFunction(&sleep);
    }
    ~FakeClock()
    {
        aTimer::setCounterSource(nullptr, 0);
        system_setSleepFunction(nullptr);
    }
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    static void advanceMicros(int64_t us) { s_ticks += us; }
    static const std::vector<uint32_t>& sleeps() { return s_sleeps; }
    static void clearSleeps() { s_sleeps.clear(); }

private:
    static constexpr int64_t kFrequency = 1000000;
    static int64_t counter() { return s_ticks; }
    static void sleep(uint32_t ms)
    {
        s_sleeps.push_back(ms);
        s_ticks += int64_t(ms) * 1000;
    }
    static inline int64_t s_ticks = 0;
    static inline std::vector<uint32_t> s_sleeps;
};

// Counts the calls of the virtual operations and lets a test script them.
class TestApp : public aApplication {
public:
    std::function<int32_t(int)> onUpdate; // frame number (from 1) -> result
    std::function<int32_t(int)> onRender;
    bool quitAllowed = true;
    int updates = 0;
    int renders = 0;
    int displayModeChanges = 0;
    int deviceLost = 0;
    int deviceRestored = 0;

    int32_t update() override
    {
        ++updates;
        return onUpdate ? onUpdate(updates) : 0;
    }
    int32_t render() override
    {
        ++renders;
        return onRender ? onRender(renders) : 0;
    }
    bool canQuit() override { return quitAllowed; }
    void onDisplayModeChanged() override { ++displayModeChanges; }
    void onDeviceLost() override { ++deviceLost; }
    void onDeviceRestored() override { ++deviceRestored; }

    using aApplication::runFrame;
    void setScreenshotDir(const std::string& dir) { m_screenshotDir = dir; }
};

// Collects error boxes for the life of the object.
class BoxSink {
public:
    BoxSink()
    {
        messagebox_setSink([this](const aMessageBoxRecord& r) { boxes.push_back(r); });
    }
    ~BoxSink() { messagebox_setSink({}); }
    std::vector<aMessageBoxRecord> boxes;
};

// A recording device whose adapter a test may change before the graph server takes it.
inline std::unique_ptr<aGpuDeviceRecorder> recorder(uint32_t refreshRate = 60)
{
    auto device = std::make_unique<aGpuDeviceRecorder>();
    aGpuAdapter adapter = device->adapter();
    adapter.desktopMode.refreshRate = refreshRate;
    device->setAdapter(adapter);
    return device;
}

// The whole frame without a window: application, graph server (windowed,
// 1024 x 768 unless told), scripted input and messages.
struct LoopRig {
    explicit LoopRig(std::unique_ptr<aGpuDeviceRecorder> device = recorder(), bool vsync = true,
                     bool fullscreen = false)
    {
        device_ = device.get();
        auto pump = std::make_unique<aScriptedEventPump>();
        pump_ = pump.get();
        app.setEventPump(std::move(pump));
        graph = std::make_unique<aGraphServer>(1024, 768, fullscreen, false, true, "test", 0, vsync, true,
                                               std::move(device));
        auto input = std::make_unique<aScriptedInputDevice>();
        keys = input.get();
        inputServer = std::make_unique<aInputServer>(std::move(input));
    }
    ~LoopRig()
    {
        inputServer.reset();
        graph.reset();
    }

    FakeClock clock;
    BoxSink boxSink;
    TestApp app;
    aScriptedEventPump* pump_ = nullptr;
    aGpuDeviceRecorder* device_ = nullptr;
    std::unique_ptr<aGraphServer> graph;
    aScriptedInputDevice* keys = nullptr;
    std::unique_ptr<aInputServer> inputServer;
};

} // namespace kbtest
