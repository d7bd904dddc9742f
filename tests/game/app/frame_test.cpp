// The frame: the frame time's ceiling, a paused turn with and without a GUI server (and during a load),
// Escape releasing a held button, the animated cursor rebuilt when it was lost, a device that cannot draw
// any more, and a fullscreen player on a display without the game's mode.
#include <gtest/gtest.h>

#include <fstream>

#include "game/app/messagebox.h"
#include "game/app/profilesfile.h"
#include "game/support/harness.h"
#include "game/support/test_screen.h"
#include "gui/buttonbase.h"
#include "gui/server.h"
#include "orvo/app/a_inputserver.h"
#include "orvo/app/a_keys.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/platform/gpu/a_gpudevicerecorder.h"
#include "support/app_fixture.h"

using namespace kbtest;

namespace {

// A load that waits for frames until the game ends, as the click wait does.
uint32_t waitForTheEnd(void* parameter)
{
    auto* game = static_cast<cGame*>(parameter);
    game->setFlags(cGame::FLAG_DRAW);
    while (!game->isQuitting() && game->getLoaderEvent()->wait()) {
    }
    return 0;
}

// The draw calls the device recorded since the last count.
size_t drawsSince(aGpuDeviceRecorder& device)
{
    size_t draws = 0;
    for (const aGpuRecord& r : device.records())
        draws += r.call == aGpuCall::DrawPrimitiveUP || r.call == aGpuCall::DrawIndexedPrimitiveUP ||
                 r.call == aGpuCall::DrawPrimitive || r.call == aGpuCall::DrawIndexedPrimitive ||
                 r.call == aGpuCall::SpriteDraw || r.call == aGpuCall::FontDraw;
    device.clearRecords();
    return draws;
}

} // namespace

TEST(Frame, ALongFrameCountsAsOneSecond)
{
    FakeClock clock;
    cGame game;
    const struct {
        int64_t micros;
        float frameTime;
        double total;
    } steps[] = {{2500000, 1.0f, 1.0},  {250000, 0.25f, 1.25}, {1000000, 1.0f, 2.25},
                 {1000001, 1.0f, 3.25}, {1500000, 1.0f, 4.25}, {7000000, 1.0f, 5.25}};
    for (const auto& step : steps) {
        FakeClock::advanceMicros(step.micros);
        EXPECT_EQ(game.update(), 0);
        EXPECT_EQ(game.getFrameTime(), step.frameTime) << step.micros;
        EXPECT_EQ(game.getTotalTime(), step.total) << step.micros;
    }
}

TEST(Frame, PauseOverlayOnlyWithAGuiServerEscapeAndALostCursor)
{
    const std::string layout = "imagebutton Probe\n{\n    AreaRect 100 100 160 48\n    Image btn_medium\n}\n";
    for (const bool withGui : {true, false}) {
        GameHarness h(GameHarness::Options{.recording = true});
        StateCalls calls;
        ScopedStateClass menu(STATE_MENU, [&] { return new TestScreen(STATE_MENU, calls, layout, withGui); });
        ASSERT_EQ(h.start(), 0);
        ASSERT_TRUE(h.waitForState(STATE_MENU));
        // A paused turn draws (the pause texts only where there is a GUI to write them with).
        const int updates = calls.updates, draws = calls.draws;
        h.game().setPaused(true);
        h.frame();
        EXPECT_EQ(calls.updates, updates) << "a paused turn does not update";
        EXPECT_EQ(calls.draws, draws + 1) << "but it draws";
        h.game().setPaused(false);
        // Escape lets go of a held button before the state sees the frame.
        if (auto* probe = dynamic_cast<GUI::ButtonBase*>(h.widget("Probe"))) {
            h.moveTo(150, 120);
            h.press(150, 120);
            EXPECT_TRUE(probe->IsPushed());
            h.key(A_KEY_ESCAPE);
            EXPECT_FALSE(probe->IsPushed());
            EXPECT_EQ(GUI::Server::getSingletonPtr()->GetFocusWidget(), nullptr);
        } else {
            EXPECT_FALSE(withGui);
        }

        h.game().getInputServer()->setCursor(nullptr, 0, 0);
        h.frame();
        EXPECT_NE(h.game().getCursorAnim(), nullptr);
        EXPECT_TRUE(h.logged("Game cursor was lost and restored."));
    }
}

TEST(Frame, NoPauseOverlayDuringALoadAndADeviceThatCannotDrawEndsTheRunWithItsError)
{
    BoxSink boxes;
    GameHarness h(GameHarness::Options{.recording = true});
    StateCalls calls;
    ScopedStateClass menu(STATE_MENU, [&] { return new TestScreen(STATE_MENU, calls); });
    ASSERT_EQ(h.start(), 0);
    ASSERT_TRUE(h.waitForState(STATE_MENU));
    // While a loading thread may be building the next GUI server, a paused turn draws nothing more.
    h.game().startLoader(&waitForTheEnd);
    h.frames(3);
    ASSERT_TRUE(h.game().loadingThreadRuns());
    drawsSince(*h.recorder());
    h.frame();
    const size_t running = drawsSince(*h.recorder());
    h.game().setPaused(true);
    h.frame();
    EXPECT_EQ(drawsSince(*h.recorder()), running) << "no overlay while the loading thread runs";
    h.game().setPaused(false);

    // The driver fails: the error box shows once and the window closes without the quit question.
    h.recorder()->failNext(aGpuCall::TestCooperativeLevel, aGpuResult::DriverInternalError);
    h.frame();
    EXPECT_TRUE(h.quitPosted());
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text,
              "A serious problem occurred with the display driver.\nPlease install latest drivers.");
    EXPECT_FALSE(cMessageBox::isShown());
}

TEST(Frame, AFullscreenPlayerOnADisplayWithoutTheGamesModeIsWindowedAndSoIsTheProfile)
{
    GameHarness h(GameHarness::Options{.recording = true});
    aGpuAdapter adapter = h.recorder()->adapter();
    std::erase_if(adapter.modes, [](const aGpuDisplayMode& m) { return m.width == 1024; });
    h.recorder()->setAdapter(adapter);
    std::filesystem::create_directories(h.home().userDir() + "Profiles");
    std::ofstream(h.home().userDir() + "Profiles/profiles.dat", std::ios::binary)
        << profilesfile_widen("[Ann]\r\nActive=1\r\nFullScreen=1\r\nWideScreen=0\r\n\r\n");
    ASSERT_EQ(h.start(), 0);
    EXPECT_FALSE(h.game().getGraphServer()->isFullscreen());
    EXPECT_FALSE(h.game().isFullscreen());
    ASSERT_NE(h.game().getCurrentProfile(), nullptr);
    EXPECT_FALSE(h.game().getCurrentProfile()->isFullscreen()) << "the profile keeps what the display gave";
}
