#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "orvo/app/a_file.h"
#include "orvo/app/a_keys.h"
#include "orvo/platform/a_message.h"
#include "support/app_fixture.h"
#include "support/log_capture.h"

using kbtest::FakeClock;
using kbtest::LoopRig;

namespace {

// Ends the run after `frames` updates by closing the window.
std::function<int32_t(int)> closeAfter(int frames)
{
    return [frames](int n) { return n >= frames ? -1 : 0; };
}

} // namespace

TEST(ApplicationLoop, TheQuitCodeEndsTheRun)
{
    LoopRig rig;
    rig.app.onUpdate = closeAfter(3);
    EXPECT_EQ(rig.app.run(), 0);
    EXPECT_EQ(rig.app.updates, 3);
    EXPECT_EQ(rig.app.renders, 2); // the closing frame's result is negative: no render
    EXPECT_FALSE(rig.app.isRunning());
}

TEST(ApplicationLoop, PendingMessagesAreHandledBeforeAFrame)
{
    LoopRig rig;
    rig.pump_->push(A_MSG_PAINT);
    rig.pump_->push(A_MSG_PAINT);
    rig.pump_->push(A_MSG_CLOSE);
    EXPECT_EQ(rig.app.run(), 0);
    // Paints in a window render; the close came before any frame ran.
    EXPECT_EQ(rig.app.updates, 0);
    EXPECT_EQ(rig.app.renders, 2);
}

struct PacingCase {
    uint32_t refreshRate;
    uint32_t expectedSleepMs;
};

class ApplicationPacing : public testing::TestWithParam<PacingCase> {};

TEST_P(ApplicationPacing, WindowedVsyncFramesSleepToTheLimit)
{
    LoopRig rig(kbtest::recorder(GetParam().refreshRate));
    ASSERT_EQ(rig.graph->getRefreshRate(), GetParam().refreshRate);
    int32_t result = 0;
    FakeClock::clearSleeps();
    rig.app.runFrame(result);
    ASSERT_EQ(FakeClock::sleeps().size(), 1u);
    EXPECT_EQ(FakeClock::sleeps()[0], GetParam().expectedSleepMs);
}

// 0 and anything above 1000 count as 100; 1000 stays 1000.
INSTANTIATE_TEST_SUITE_P(RefreshRates, ApplicationPacing,
                         testing::Values(PacingCase{0, 10}, PacingCase{1001, 10}, PacingCase{1000, 1},
                                         PacingCase{60, 16}, PacingCase{0x10000 + 50, 20}));

TEST(ApplicationLoop, AFrameThatTookItsTimeAlreadyDoesNotSleep)
{
    LoopRig rig(kbtest::recorder(100));
    int32_t result = 0;
    rig.app.runFrame(result);
    FakeClock::clearSleeps();
    FakeClock::advanceMicros(10000); // exactly 1/100 s
    rig.app.runFrame(result);
    EXPECT_TRUE(FakeClock::sleeps().empty());
    FakeClock::advanceMicros(9000);
    rig.app.runFrame(result);
    ASSERT_EQ(FakeClock::sleeps().size(), 1u);
    EXPECT_EQ(FakeClock::sleeps()[0], 1u);
}

TEST(ApplicationLoop, AltEnterTogglesOnceAndThatFrameCallsNoUpdate)
{
    LoopRig rig(kbtest::recorder(60), false);
    rig.keys->setKey(A_KEY_LALT, true);
    rig.keys->setKey(A_KEY_ENTER, true);
    int32_t result = 0;
    rig.app.runFrame(result);
    EXPECT_TRUE(rig.graph->isFullscreen());
    EXPECT_EQ(rig.app.displayModeChanges, 1);
    EXPECT_EQ(rig.app.updates, 0);
    EXPECT_EQ(rig.app.renders, 1);
    // Enter is held now (state 3): no second toggle.
    rig.app.runFrame(result);
    EXPECT_TRUE(rig.graph->isFullscreen());
    EXPECT_EQ(rig.app.displayModeChanges, 1);
    EXPECT_EQ(rig.app.updates, 1);
    // Right Alt works as well, and the frame result of the toggle frame carries over.
    rig.keys->setKey(A_KEY_ENTER, false);
    rig.keys->setKey(A_KEY_LALT, false);
    rig.app.onUpdate = [](int) { return 5; };
    rig.app.runFrame(result);
    EXPECT_EQ(result, 5);
    rig.keys->setKey(A_KEY_RALT, true);
    rig.keys->setKey(A_KEY_ENTER, true);
    const int renders = rig.app.renders;
    rig.app.runFrame(result);
    EXPECT_FALSE(rig.graph->isFullscreen());
    EXPECT_EQ(result, 5);
    EXPECT_EQ(rig.app.renders, renders); // result 5 is not 0: no render
}

TEST(ApplicationLoop, APausedFrameRendersWithoutUpdate)
{
    LoopRig rig;
    rig.app.setPaused(true);
    int32_t result = 0;
    for (int i = 0; i < 3; ++i)
        rig.app.runFrame(result);
    EXPECT_EQ(rig.app.updates, 0);
    EXPECT_EQ(rig.app.renders, 3);
    // A render that asks for something else stops the renders while paused.
    rig.app.onRender = [](int) { return 1; };
    rig.app.runFrame(result);
    rig.app.runFrame(result);
    EXPECT_EQ(rig.app.renders, 4);
}

TEST(ApplicationLoop, ARefusedCloseKeepsTheLoopRunning)
{
    LoopRig rig;
    rig.app.quitAllowed = false;
    rig.app.onUpdate = [&](int n) {
        if (n == 5)
            rig.app.quitAllowed = true;
        return -1;
    };
    EXPECT_EQ(rig.app.run(), 0);
    EXPECT_EQ(rig.app.updates, 5);
}

TEST(ApplicationLoop, ARealDestroyEndsTheLoopEvenWhenQuitIsRefused)
{
    LoopRig rig;
    rig.app.quitAllowed = false;
    rig.app.onUpdate = [&](int n) {
        if (n == 2)
            rig.pump_->push(A_MSG_DESTROY);
        return 0;
    };
    rig.pump_->push(A_MSG_CLOSE);
    EXPECT_EQ(rig.app.run(), 0);
    EXPECT_EQ(rig.app.updates, 2);
}

TEST(ApplicationLoop, AMaximiseRequestSwitchesToFullscreen)
{
    LoopRig rig;
    rig.app.wndProc(nullptr, A_MSG_SIZE, A_SIZE_MAXIMIZED, 0);
    EXPECT_TRUE(rig.graph->isFullscreen());
    EXPECT_EQ(rig.app.displayModeChanges, 1);
    rig.app.wndProc(nullptr, A_MSG_SIZE, A_SIZE_MAXIMIZED, 0);
    EXPECT_EQ(rig.app.displayModeChanges, 1);
}

TEST(ApplicationLoop, DeactivationPausesDrawsOnceAndWaitsForTheNextMessage)
{
    LoopRig rig;
    rig.pump_->push(A_MSG_ACTIVATEAPP, 0);
    rig.pump_->push(A_MSG_ACTIVATEAPP, 1);
    rig.app.onUpdate = closeAfter(1);
    EXPECT_EQ(rig.app.run(), 0);
    EXPECT_FALSE(rig.app.isPaused());
    // One paused picture while inactive, then one frame (update -1, no render).
    EXPECT_EQ(rig.app.renders, 1);
    EXPECT_EQ(rig.app.updates, 1);
}

TEST(ApplicationLoop, AnInactiveRunWithNoMessagesLeftEnds)
{
    LoopRig rig;
    rig.pump_->push(A_MSG_ACTIVATEAPP, 0);
    EXPECT_EQ(rig.app.run(), 0);
    EXPECT_TRUE(rig.app.isPaused());
    EXPECT_EQ(rig.app.updates, 0);
}

TEST(ApplicationLoop, PrintScreenSavesAScreenshotUnlessTheFrameFailed)
{
    kbtest::LogCapture log;
    LoopRig rig;
    kbtest::TempDir shots("shots");
    // The loop saves into the application's screenshot folder: point it somewhere known.
    rig.app.getFileServer().setAssign("userappdata", shots.path() + "/");
    rig.app.setScreenshotDir("userappdata:ScreenShots/");
    rig.keys->setKey(A_KEY_PRINTSCREEN, true);
    int32_t result = 0;
    rig.app.runFrame(result);
    rig.app.runFrame(result); // held: no second picture
    EXPECT_TRUE(file_exists((shots.path() + "/ScreenShots//ScreenShot000.bmp").c_str()));
    EXPECT_FALSE(file_exists((shots.path() + "/ScreenShots//ScreenShot001.bmp").c_str()));
    rig.keys->setKey(A_KEY_PRINTSCREEN, false);
    rig.app.runFrame(result);
    rig.keys->setKey(A_KEY_PRINTSCREEN, true);
    rig.app.onUpdate = [](int) { return -1; };
    rig.app.runFrame(result);
    EXPECT_FALSE(file_exists((shots.path() + "/ScreenShots//ScreenShot001.bmp").c_str()));
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

TEST(ApplicationLoadingThread, ASecondStartIsRefusedWhileTheFirstRuns)
{
    kbtest::LogCapture log;
    LoopRig rig;
    g_release = false;
    uint32_t code = 0;
    rig.app.startLoadingThread(&waitForRelease, &code);
    rig.app.startLoadingThread(&waitForRelease, &code);
    EXPECT_TRUE(log.contains("Error: thread for loading already created!"));
    EXPECT_FALSE(rig.app.isLoadingDone());
    g_release = true;
    waitUntilDone(rig.app);
    EXPECT_TRUE(rig.boxSink.boxes.empty());
    // Done means gone: a new thread may start.
    rig.app.startLoadingThread(&waitForRelease, &code);
    waitUntilDone(rig.app);
}

TEST(ApplicationLoadingThread, WhileLoadingFramesComeAtMost30ASecond)
{
    LoopRig rig(kbtest::recorder(60), false);
    g_release = false;
    uint32_t code = 0;
    rig.app.startLoadingThread(&waitForRelease, &code);
    int32_t result = 0;
    FakeClock::clearSleeps();
    rig.app.runFrame(result);
    ASSERT_EQ(FakeClock::sleeps().size(), 1u);
    EXPECT_EQ(FakeClock::sleeps()[0], 33u);
    g_release = true;
    waitUntilDone(rig.app);
    FakeClock::clearSleeps();
    rig.app.runFrame(result);
    EXPECT_TRUE(FakeClock::sleeps().empty());
}

TEST(ApplicationLoadingThread, AFailedLoadShowsTheMediaErrorAndCloses)
{
    LoopRig rig;
    g_release = true;
    uint32_t code = 3;
    rig.app.startLoadingThread(&waitForRelease, &code);
    waitUntilDone(rig.app);
    ASSERT_EQ(rig.boxSink.boxes.size(), 1u);
    EXPECT_EQ(rig.boxSink.boxes[0].text, "Could not load required media.");
    EXPECT_EQ(rig.boxSink.boxes[0].caption, "Error!");
    // The close posted the quit message: the next run ends at once.
    EXPECT_EQ(rig.app.run(), 0);
    EXPECT_EQ(rig.app.updates, 0);
}

TEST(ApplicationLoadingThread, AnExitCodeThatLooksLikeStillActiveIsAnEndLikeAnyOther)
{
    LoopRig rig;
    g_release = true;
    uint32_t code = 259;
    rig.app.startLoadingThread(&waitForRelease, &code);
    waitUntilDone(rig.app);
    EXPECT_EQ(rig.boxSink.boxes.size(), 1u);
    EXPECT_TRUE(rig.app.isLoadingDone());
}
