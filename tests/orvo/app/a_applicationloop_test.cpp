#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <functional>
#include <thread>

#include "orvo/app/a_file.h"
#include "orvo/app/a_keys.h"
#include "orvo/platform/a_message.h"
#include "support/app_fixture.h"
#include "support/log_capture.h"

using kbtest::FakeClock;
using Sleeps = std::vector<uint32_t>;

namespace {

// The loop rig with the frame result carried from frame to frame.
struct Rig : kbtest::LoopRig {
    using LoopRig::LoopRig;
    explicit Rig(uint32_t refreshRate, bool vsync = true) : LoopRig(kbtest::recorder(refreshRate), vsync) {}
    void frames(int n = 1)
    {
        while (n-- > 0)
            app.runFrame(result);
    }
    // The pacing sleeps of one frame.
    Sleeps sleepsOfAFrame()
    {
        FakeClock::clearSleeps();
        frames();
        return FakeClock::sleeps();
    }
    int32_t result = 0;
};

// A fresh rig run with these messages queued: {updates, renders, paused after}.
using Outcome = std::array<int, 3>;
Outcome runWith(
    std::initializer_list<std::pair<uint32_t, uint64_t>> messages,
    std::function<int32_t(Rig&, int)> update = [](Rig&, int) { return 0; }, bool quitAllowed = true)
{
    Rig rig;
    rig.app.quitAllowed = quitAllowed;
    for (const auto& [id, wParam] : messages)
        rig.pump_->push(id, wParam);
    rig.app.onUpdate = [&](int n) { return update(rig, n); };
    EXPECT_EQ(rig.app.run(), 0);
    return {rig.app.updates, rig.app.renders, rig.app.isPaused()};
}

std::atomic<bool> g_release{false};
uint32_t waitForRelease(void* code)
{
    while (!g_release)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return *static_cast<uint32_t*>(code);
}

void waitUntilDone(aApplication& app)
{
    while (!app.isLoadingDone())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

} // namespace

TEST(ApplicationLoop, RunEndsOnTheQuitCodeOrAnAcceptedCloseAndWaitsWhileInactive)
{
    // The closing frame's result is negative: no render.
    EXPECT_EQ(runWith({}, [](auto&, int n) { return n >= 3 ? -1 : 0; }), (Outcome{3, 2, false}));
    // Pending messages come before a frame: paints render, the close came before any frame ran.
    EXPECT_EQ(runWith({{A_MSG_PAINT, 0}, {A_MSG_PAINT, 0}, {A_MSG_CLOSE, 0}}), (Outcome{0, 2, false}));
    // Only a close request can be refused, not a real destroy.
    auto allowAt5 = [](Rig& rig, int n) {
        rig.app.quitAllowed = n == 5;
        return -1;
    };
    EXPECT_EQ(runWith({}, allowAt5, false)[0], 5);
    auto destroyAt2 = [](Rig& rig, int n) {
        if (n == 2)
            rig.pump_->push(A_MSG_DESTROY);
        return 0;
    };
    EXPECT_EQ(runWith({{A_MSG_CLOSE, 0}}, destroyAt2, false)[0], 2);
    // Inactive: one paused picture, then after activation one frame (update -1, no render);
    // with no messages left the inactive run ends after its picture.
    EXPECT_EQ(runWith({{A_MSG_ACTIVATEAPP, 0}, {A_MSG_ACTIVATEAPP, 1}}, [](auto&, int) { return -1; }),
              (Outcome{1, 1, false}));
    EXPECT_EQ(runWith({{A_MSG_ACTIVATEAPP, 0}}), (Outcome{0, 1, true}));
}

TEST(ApplicationPacing, WindowedVsyncFramesSleepToTheLimitUnlessTheFrameTookItsTime)
{
    // A refresh rate of 0 must not divide; one past 16 bits must not wrap to a tiny one.
    for (const auto& [rate, sleep] : {std::pair{0u, 10u}, std::pair{60u, 16u}, std::pair{0x10000u + 50, 20u}}) {
        Rig rig(rate);
        EXPECT_EQ(rig.sleepsOfAFrame(), Sleeps{sleep}) << rate;
    }
    Rig rig(100);
    rig.frames();
    FakeClock::advanceMicros(10000); // exactly 1/100 s
    EXPECT_EQ(rig.sleepsOfAFrame(), Sleeps{});
}

TEST(ApplicationPacing, AWindowWithoutVsyncLeavesTheWaitToASynchronisedSwapOrSleepsWhenTheSwapCannotWait)
{
    // The recording device presents as asked: a window without vsync swaps at the refresh.
    Rig synchronised(100, false);
    EXPECT_EQ(synchronised.device_->presentWait(), aGpuPresentWait::Refresh);
    EXPECT_EQ(synchronised.sleepsOfAFrame(), Sleeps{});
    // A driver that refused the synchronised swap: the loop holds the rate itself.
    Rig refused(100, false);
    refused.device_->setPresentWait(aGpuPresentWait::None);
    EXPECT_EQ(refused.sleepsOfAFrame(), Sleeps{10});
}

TEST(ApplicationPacing, WithoutADisplayFramesComeSixtyTimesASecondWhateverTheRefreshAndVsync)
{
    for (const auto& [rate, vsync] : {std::pair{100u, true}, std::pair{100u, false}, std::pair{0u, false}}) {
        Rig rig(rate, vsync);
        rig.device_->setPresentWait(aGpuPresentWait::NoDisplay);
        EXPECT_EQ(rig.sleepsOfAFrame(), Sleeps{16}) << rate << " " << vsync;
        // A frame that took its time is not held back.
        FakeClock::advanceMicros(17000);
        EXPECT_EQ(rig.sleepsOfAFrame(), Sleeps{}) << rate << " " << vsync;
    }
}

TEST(ApplicationPacing, FullscreenFramesAndUnpacedRunsNeverSleep)
{
    // Fullscreen presents at once without vsync and at the refresh with it.
    for (bool vsync : {false, true}) {
        kbtest::LoopRig rig(kbtest::recorder(60), vsync, true);
        EXPECT_EQ(rig.device_->presentWait(), vsync ? aGpuPresentWait::Refresh : aGpuPresentWait::None);
        FakeClock::clearSleeps();
        int32_t result = 0;
        rig.app.runFrame(result);
        EXPECT_EQ(FakeClock::sleeps(), Sleeps{}) << vsync;
    }
    // Benchmarks and fixed-time runs switch pacing off, display or not.
    for (aGpuPresentWait wait : {aGpuPresentWait::None, aGpuPresentWait::NoDisplay}) {
        Rig rig(60, true);
        rig.device_->setPresentWait(wait);
        rig.app.setFramePacing(false);
        EXPECT_EQ(rig.sleepsOfAFrame(), Sleeps{});
    }
}

TEST(ApplicationPacing, FullscreenVsyncWhoseSwapCannotWaitSleepsToTheDisplayRate)
{
    // The driver refused the waiting swap: the loop holds the rate, an unknown one as 100 Hz.
    for (const auto& [rate, sleep] : {std::pair{60u, 16u}, std::pair{0u, 10u}}) {
        kbtest::LoopRig rig(kbtest::recorder(rate), true, true);
        rig.device_->setPresentWait(aGpuPresentWait::None);
        FakeClock::clearSleeps();
        int32_t result = 0;
        rig.app.runFrame(result);
        EXPECT_EQ(FakeClock::sleeps(), Sleeps{sleep}) << rate;
        // A frame that took its time is not held back.
        FakeClock::advanceMicros(20000);
        FakeClock::clearSleeps();
        rig.app.runFrame(result);
        EXPECT_EQ(FakeClock::sleeps(), Sleeps{}) << rate;
    }
    // Without vsync fullscreen presents at once, however the swap was set up.
    kbtest::LoopRig immediate(kbtest::recorder(60), false, true);
    immediate.device_->setPresentWait(aGpuPresentWait::None);
    FakeClock::clearSleeps();
    int32_t result = 0;
    immediate.app.runFrame(result);
    EXPECT_EQ(FakeClock::sleeps(), Sleeps{});
}

TEST(ApplicationLoop, PrintScreenSavesOncePerPress)
{
    kbtest::LogCapture log;
    Rig rig;
    kbtest::TempDir shots("shots");
    rig.app.getFileServer().setAssign("userappdata", shots.path() + "/");
    rig.app.setScreenshotDir("userappdata:ScreenShots/");
    rig.keys->setKey(A_KEY_PRINTSCREEN, true);
    rig.frames(2); // held: no second picture
    const std::string shot = shots.path() + "/ScreenShots//ScreenShot00";
    EXPECT_TRUE(file_exists((shot + "0.bmp").c_str()) && !file_exists((shot + "1.bmp").c_str()));
}

TEST(ApplicationLoop, AltEnterAndAMaximiseRequestSwitchToFullscreenOnce)
{
    Rig rig(60, false);
    rig.keys->setKey(A_KEY_LALT, true);
    rig.keys->setKey(A_KEY_ENTER, true);
    rig.frames();
    EXPECT_TRUE(rig.graph->isFullscreen());
    EXPECT_EQ(rig.app.displayModeChanges, 1);
    EXPECT_EQ(rig.app.updates, 0) << "the toggling frame calls no update";
    // Enter is held now: no second toggle, and the frames update again.
    rig.frames();
    EXPECT_EQ(rig.app.displayModeChanges, 1);
    EXPECT_EQ(rig.app.updates, 1);
    // Right Alt works as well; the toggling frame keeps the previous frame's result (not 0: no render).
    rig.keys->setKey(A_KEY_ENTER, false);
    rig.keys->setKey(A_KEY_LALT, false);
    rig.app.onUpdate = [](int) { return 5; };
    rig.frames();
    rig.keys->setKey(A_KEY_RALT, true);
    rig.keys->setKey(A_KEY_ENTER, true);
    const int renders = rig.app.renders;
    rig.frames();
    EXPECT_FALSE(rig.graph->isFullscreen());
    EXPECT_EQ(rig.app.displayModeChanges, 2);
    EXPECT_EQ(rig.result, 5);
    EXPECT_EQ(rig.app.renders, renders);

    // A maximise request switches a window to fullscreen, once.
    Rig maximised;
    maximised.app.wndProc(nullptr, A_MSG_SIZE, A_SIZE_MAXIMIZED, 0);
    EXPECT_TRUE(maximised.graph->isFullscreen());
    maximised.app.wndProc(nullptr, A_MSG_SIZE, A_SIZE_MAXIMIZED, 0);
    EXPECT_EQ(maximised.app.displayModeChanges, 1);
}

TEST(ApplicationLoadingThread, OneAtATimeFramesAtMost30ASecondAndAFailedLoadShowsTheMediaError)
{
    // 259 looks like "still active" but is an end like any other.
    g_release = true;
    for (uint32_t failed : {3u, 259u}) {
        Rig loader;
        loader.app.startLoadingThread(&waitForRelease, &failed);
        waitUntilDone(loader.app);
        ASSERT_EQ(loader.boxSink.boxes.size(), 1u);
        EXPECT_EQ(loader.boxSink.boxes[0].text, "Could not load required media.");
        EXPECT_EQ(loader.app.run(), 0); // the close posted the quit message: the run ends at once
        EXPECT_EQ(loader.app.updates, 0);
    }
    kbtest::LogCapture log;
    Rig rig(60, false);
    g_release = false;
    uint32_t code = 0;
    rig.app.startLoadingThread(&waitForRelease, &code);
    rig.app.startLoadingThread(&waitForRelease, &code);
    EXPECT_TRUE(log.contains("Error: thread for loading already created!"));
    EXPECT_EQ(rig.sleepsOfAFrame(), Sleeps{33});
    g_release = true;
    waitUntilDone(rig.app);
    EXPECT_FALSE(rig.app.isLoadingThreadRunning());
    EXPECT_TRUE(rig.boxSink.boxes.empty());
    // Done means gone: a new thread may start.
    rig.app.startLoadingThread(&waitForRelease, &code);
    waitUntilDone(rig.app);
}
