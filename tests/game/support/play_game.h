// The running game (OpenGL or the recording device, 1/30 s frames, seed 5)
// with a player, the real play state and test screens for the menu, the map
// and the park: a scripted player enters a level file as the map starts it
// and plays it through the HUD.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "game/park/level.h"
#include "game/park/playstate.h"
#include "game/support/harness.h"
#include "game/support/player_steps.h"
#include "game/support/test_screen.h"
#include "gui/widget.h"
#include "orvo/util/a_random.h"
#include "support/temp_dir.h"

namespace kbtest {

class PlayStateGame : public ::testing::Test {
protected:
    static constexpr float kDt = 1.0f / 30.0f;

    // `recording`: the recording device instead of OpenGL.
    explicit PlayStateGame(bool recording = false) : h(GameHarness::Options{recording, kDt, 5}) {}

    void SetUp() override
    {
        ASSERT_EQ(h.start(), 0);
        ASSERT_TRUE(h.waitForState(STATE_MENU));
        player = h.makePlayer();
    }
    bool play(const std::string& levelPath)
    {
        dynamic_cast<cPlayState*>(cGameState::getOrCreate(STATE_PLAY))->levelPath = levelPath;
        h.game().requestState(STATE_PLAY);
        const bool entered = h.waitForState(STATE_PLAY);
        a_srand(5); // how many frames the load took varies with the machine; the play that follows does not
        return entered;
    }
    // The intro's goals window, closed as the player does.
    void passIntro()
    {
        seconds(1.3f);
        ASSERT_EQ(state()->getModalCount(), 1);
        clickChild("Goals", "Close");
        seconds(0.8f);
        ASSERT_EQ(state()->getModalCount(), 0);
    }
    // The park's scene is not pixel-stable between runs on a busy machine (how
    // far the load got while frames ran), so its pictures are for review:
    // written with KB_UPDATE_GOLDEN, not compared.
    void reviewScreen(const std::string& name)
    {
        if (std::getenv("KB_UPDATE_GOLDEN"))
            h.expectScreen(name);
    }
    // The level built again in place from another file, its intro passed.
    void restart(const std::string& levelPath)
    {
        state()->levelPath = levelPath;
        cPlayState::requestRestart();
        ASSERT_TRUE(waitFor([this] { return state()->getLevel() && state()->getElapsed() > 0.5f; }, 10.0f));
        passIntro();
    }
    // Frames until `done` holds, for at most `s` seconds of play.
    bool waitFor(const std::function<bool()>& done, float s)
    {
        for (int i = 0; i < static_cast<int>(s / kDt) && !done(); ++i)
            h.frame();
        return done();
    }
    void seconds(float s) { h.frames(static_cast<int>(s / kDt + 0.5f)); }
    cPlayState* state() { return cPlayState::find(); }
    cLevel* level() { return state()->getLevel(); }
    void clickRect(const aRect& r) { clickRectOf(h, r); }
    void clickWidget(const std::string& name) { clickRect(h.widget(name)->GetAbsoluteRect()); }
    // A child of one window (several windows have a "Close").
    void clickChild(const std::string& window, const std::string& name)
    {
        clickRect(h.widget(window)->FindChild(name, true)->GetAbsoluteRect());
    }

    GameHarness h;
    TempDir dir{"play"};
    StateCalls calls;
    ScopedStateClass menu{STATE_MENU, [this] { return new TestScreen(STATE_MENU, calls); }};
    ScopedStateClass map{STATE_MAP, [this] { return new TestScreen(STATE_MAP, calls); }};
    ScopedStateClass park{STATE_PARK, [this] { return new TestScreen(STATE_PARK, calls); }};
    ScopedStateClass playClass{STATE_PLAY, [] { return new cPlayState(); }};
    cPlayerProfile* player = nullptr;
};

} // namespace kbtest
