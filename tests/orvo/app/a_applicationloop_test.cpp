#include <gtest/gtest.h>

#include <atomic>
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

} // namespace

TEST(ApplicationLoop, TheQuitCodeEndsTheRunAndPendingMessagesComeBeforeAFrame)
{
    Rig rig;
    rig.app.onUpdate = [](int n) { return n >= 3 ? -1 : 0; };
    EXPECT_EQ(rig.app.run(), 0);
    EXPECT_EQ(rig.app.updates, 3);
    EXPECT_EQ(rig.app.renders, 2); // the closing frame's result is negative: no render
    EXPECT_FALSE(rig.app.isRunning());

    Rig paints;
    for (uint32_t message : {A_MSG_PAINT, A_MSG_PAINT, A_MSG_CLOSE})
        paints.pump_->push(message);
    EXPECT_EQ(paints.app.run(), 0);
    // Paints in a window render; the close came before any frame ran.
    EXPECT_EQ(paints.app.updates, 0);
    EXPECT_EQ(paints.app.renders, 2);
}

class ApplicationPacing : public testing::TestWithParam<std::pair<uint32_t, uint32_t>> {};

TEST_P(ApplicationPacing, WindowedVsyncFramesSleepToTheLimit)
{
    Rig rig(GetParam().first);
    ASSERT_EQ(rig.graph->getRefreshRate(), GetParam().first);
    EXPECT_EQ(rig.sleepsOfAFrame(), Sleeps{GetParam().second});
}

// Refresh rate -> sleep: 0 and anything above 1000 count as 100; 1000 stays 1000.
INSTANTIATE_TEST_SUITE_P(RefreshRates, ApplicationPacing,
                         testing::Values(std::pair{0u, 10u}, std::pair{1001u, 10u}, std::pair{1000u, 1u},
                                         std::pair{60u, 16u}, std::pair{0x10000u + 50, 20u}));

TEST(ApplicationLoop, AFrameThatTookItsTimeAlreadyDoesNotSleep)
{
    Rig rig(100);
    rig.frames();
    FakeClock::advanceMicros(10000); // exactly 1/100 s
    EXPECT_EQ(rig.sleepsOfAFrame(), Sleeps{});
    FakeClock::advanceMicros(9000);
    EXPECT_EQ(rig.sleepsOfAFrame(), Sleeps{1});
}

TEST(ApplicationLoop, AltEnterTogglesOnceAndThatFrameCallsNoUpdate)
{
    Rig rig(60, false);
    rig.keys->setKey(A_KEY_LALT, true);
    rig.keys->setKey(A_KEY_ENTER, true);
    rig.frames();
    EXPECT_TRUE(rig.graph->isFullscreen());
    EXPECT_EQ(rig.app.displayModeChanges, 1);
    EXPECT_EQ(rig.app.updates, 0);
    EXPECT_EQ(rig.app.renders, 1);
    // Enter is held now (state 3): no second toggle.
    rig.frames();
    EXPECT_EQ(rig.app.displayModeChanges, 1);
    EXPECT_EQ(rig.app.updates, 1);
    // Right Alt works as well, and the frame result of the toggle frame carries over.
    rig.keys->setKey(A_KEY_ENTER, false);
    rig.keys->setKey(A_KEY_LALT, false);
    rig.app.onUpdate = [](int) { return 5; };
    rig.frames();
    rig.keys->setKey(A_KEY_RALT, true);
    rig.keys->setKey(A_KEY_ENTER, true);
    const int renders = rig.app.renders;
    rig.frames();
    EXPECT_FALSE(rig.graph->isFullscreen());
    EXPECT_EQ(rig.result, 5);
    EXPECT_EQ(rig.app.renders, renders); // result 5 is not 0: no render
}

TEST(ApplicationLoop, APausedFrameRendersWithoutUpdate)
{
    Rig rig;
    rig.app.setPaused(true);
    rig.frames(3);
    EXPECT_EQ(rig.app.updates, 0);
    EXPECT_EQ(rig.app.renders, 3);
    // A render that asks for something else stops the renders while paused.
    rig.app.onRender = [](int) { return 1; };
    rig.frames(2);
    EXPECT_EQ(rig.app.renders, 4);
}

TEST(ApplicationLoop, OnlyACloseRequestCanBeRefusedNotARealDestroy)
{
    Rig rig;
    rig.app.quitAllowed = false;
    rig.app.onUpdate = [&](int n) {
        rig.app.quitAllowed = n == 5;
        return -1;
    };
    EXPECT_EQ(rig.app.run(), 0);
    EXPECT_EQ(rig.app.updates, 5);

    Rig destroyed;
    destroyed.app.quitAllowed = false;
    destroyed.app.onUpdate = [&](int n) {
        if (n == 2)
            destroyed.pump_->push(A_MSG_DESTROY);
        return 0;
    };
    destroyed.pump_->push(A_MSG_CLOSE);
    EXPECT_EQ(destroyed.app.run(), 0);
    EXPECT_EQ(destroyed.app.updates, 2);
}

TEST(ApplicationLoop, AMaximiseRequestSwitchesToFullscreenOnce)
{
    Rig rig;
    rig.app.wndProc(nullptr, A_MSG_SIZE, A_SIZE_MAXIMIZED, 0);
    EXPECT_TRUE(rig.graph->isFullscreen());
    rig.app.wndProc(nullptr, A_MSG_SIZE, A_SIZE_MAXIMIZED, 0);
    EXPECT_EQ(rig.app.displayModeChanges, 1);
}

TEST(ApplicationLoop, AnInactiveRunDrawsOnceAndWaitsForTheNextMessage)
{
    Rig rig;
    rig.pump_->push(A_MSG_ACTIVATEAPP, 0);
    rig.pump_->push(A_MSG_ACTIVATEAPP, 1);
    rig.app.onUpdate = [](int) { return -1; };
    EXPECT_EQ(rig.app.run(), 0);
    EXPECT_FALSE(rig.app.isPaused());
    // One paused picture while inactive, then one frame (update -1, no render).
    EXPECT_EQ(rig.app.renders, 1);
    EXPECT_EQ(rig.app.updates, 1);

    // With no messages left the inactive run ends.
    Rig idle;
    idle.pump_->push(A_MSG_ACTIVATEAPP, 0);
    EXPECT_EQ(idle.app.run(), 0);
    EXPECT_TRUE(idle.app.isPaused());
    EXPECT_EQ(idle.app.updates, 0);
}

TEST(ApplicationLoop, PrintScreenSavesAScreenshotUnlessTheFrameFailed)
{
    kbtest::LogCapture log;
    Rig rig;
    kbtest::TempDir shots("shots");
    // The loop saves into the application's screenshot folder: point it somewhere known.
    rig.app.getFileServer().setAssign("userappdata", shots.path() + "/");
    rig.app.setScreenshotDir("userappdata:ScreenShots/");
    auto shot = [&](int n) {
        return file_exists((shots.path() + "/ScreenShots//ScreenShot00" + char('0' + n) + ".bmp").c_str());
    };
    rig.keys->setKey(A_KEY_PRINTSCREEN, true);
    rig.frames(2); // held: no second picture
    EXPECT_TRUE(shot(0));
    EXPECT_FALSE(shot(1));
    rig.keys->setKey(A_KEY_PRINTSCREEN, false);
    rig.frames();
    rig.keys->setKey(A_KEY_PRINTSCREEN, true);
    rig.app.onUpdate = [](int) { return -1; };
    rig.frames();
    EXPECT_FALSE(shot(1));
}

namespace {

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

TEST(ApplicationLoadingThread, ASecondStartIsRefusedAndFramesComeAtMost30ASecondWhileTheFirstRuns)
{
    kbtest::LogCapture log;
    Rig rig(60, false);
    g_release = false;
    uint32_t code = 0;
    EXPECT_FALSE(rig.app.isLoadingThreadRunning());
    rig.app.startLoadingThread(&waitForRelease, &code);
    rig.app.startLoadingThread(&waitForRelease, &code);
    EXPECT_TRUE(log.contains("Error: thread for loading already created!"));
    EXPECT_TRUE(rig.app.isLoadingThreadRunning());
    EXPECT_TRUE(rig.app.isLoadingThreadRunning()); // asking twice changes nothing
    EXPECT_FALSE(rig.app.isLoadingDone());
    EXPECT_EQ(rig.sleepsOfAFrame(), Sleeps{33});
    g_release = true;
    waitUntilDone(rig.app);
    EXPECT_FALSE(rig.app.isLoadingThreadRunning());
    EXPECT_TRUE(rig.boxSink.boxes.empty());
    EXPECT_EQ(rig.sleepsOfAFrame(), Sleeps{});
    // Done means gone: a new thread may start.
    rig.app.startLoadingThread(&waitForRelease, &code);
    waitUntilDone(rig.app);
}

TEST(ApplicationLoadingThread, AFailedLoadShowsTheMediaErrorAndCloses)
{
    // 259 looks like "still active" but is an end like any other.
    for (uint32_t code : {3u, 259u}) {
        Rig rig;
        g_release = true;
        rig.app.startLoadingThread(&waitForRelease, &code);
        waitUntilDone(rig.app);
        ASSERT_EQ(rig.boxSink.boxes.size(), 1u);
        EXPECT_EQ(rig.boxSink.boxes[0].text, "Could not load required media.");
        EXPECT_EQ(rig.boxSink.boxes[0].caption, "Error!");
        // The close posted the quit message: the next run ends at once.
        EXPECT_EQ(rig.app.run(), 0);
        EXPECT_EQ(rig.app.updates, 0);
    }
}
