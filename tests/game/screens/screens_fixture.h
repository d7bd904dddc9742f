// The running game with the real awards, credits, help and encyclopedia
// screens and a stand-in main menu (the shared windows only) to come back to.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "game/screens/awardsstate.h"
#include "game/screens/creditsstate.h"
#include "game/screens/helpstate.h"
#include "game/screens/newawardwindow.h"
#include "game/screens/pediastate.h"
#include "game/support/harness.h"
#include "game/support/test_screen.h"

namespace kbtest {

class ScreensGame : public ::testing::Test {
protected:
    explicit ScreensGame(const GameHarness::Options& options = {}) : h(options) {}

    void SetUp() override
    {
        ASSERT_EQ(h.start(), 0);
        ASSERT_TRUE(h.waitForState(STATE_MENU));
        player = h.makePlayer();
    }
    void TearDown() override { cNewAwardWindow::clearQueue(); }

    void seconds(float s) { h.frames(static_cast<int>(s * 60.0f + 0.5f)); }
    // Frames until `done` holds, for at most `s` seconds.
    bool waitFor(const std::function<bool()>& done, float s)
    {
        for (int i = static_cast<int>(s * 60.0f); i > 0 && !done(); --i)
            h.frame();
        return done();
    }
    bool enter(int32_t id)
    {
        h.game().requestState(id);
        return h.waitForState(id);
    }
    cAwardsState* awards() { return dynamic_cast<cAwardsState*>(cGameState::find(STATE_AWARDS)); }

    GameHarness h;
    StateCalls calls;
    ScopedStateClass menu{STATE_MENU, [this] { return new TestScreen(STATE_MENU, calls); }};
    ScopedStateClass awardsClass{STATE_AWARDS, [] { return new cAwardsState(); }};
    ScopedStateClass credits{STATE_CREDITS, [] { return new cCreditsState(); }};
    ScopedStateClass help{STATE_HELP, [] { return new cHelpState(); }};
    ScopedStateClass pedia{STATE_PEDIA, [] { return new cPediaState(); }};
    cPlayerProfile* player = nullptr;
};

} // namespace kbtest
