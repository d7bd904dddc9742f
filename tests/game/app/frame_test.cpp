// The frame: the frame time's ceiling, a paused turn with and without a GUI server, Escape releasing a
// held button, and the animated cursor rebuilt when it was lost.
#include <gtest/gtest.h>

#include "game/support/harness.h"
#include "game/support/test_screen.h"
#include "gui/buttonbase.h"
#include "gui/server.h"
#include "orvo/app/a_inputserver.h"
#include "orvo/app/a_keys.h"
#include "support/app_fixture.h"

using namespace kbtest;

TEST(Frame, ALongFrameCountsAsOneSecond)
{
    FakeClock clock;
    cGame game;
    const struct {
        int64_t micros;
        float frameTime;
        double total;
    } steps[] = {{2500000, 1.0f, 1.0}, {250000, 0.25f, 1.25}, {1000000, 1.0f, 2.25}, {7000000, 1.0f, 3.25}};
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
