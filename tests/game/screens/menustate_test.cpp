// The main menu walked by a scripted player: a newcomer's start through the
// splash and the loading screen, the name dialog, the scene, every button's
// request, the Extras board and the Escape chain down to the quit question.
#include <gtest/gtest.h>

#include "game/support/harness.h"
#include "game/support/player_steps.h"
#include "game/support/test_screen.h"
#include "orvo/app/a_inputserver.h"

using namespace kbtest;

namespace {

// Clicks a button by name and gives the state it asked for (and takes the request back).
int32_t requestOf(GameHarness& h, const std::string& button)
{
    clickOn(h, button);
    const int32_t requested = h.game().getRequestedState();
    h.game().requestState(STATE_NONE);
    return requested;
}

cMenuState* menu(GameHarness& h)
{
    return dynamic_cast<cMenuState*>(h.game().getCurrentState());
}

} // namespace

TEST(MainMenu, NewcomerComesThroughTheSplashNamesThemselvesAndTriesEveryButton)
{
    GameHarness h(GameHarness::Options{.splash = true});
    ScopedStateClass menuClass(STATE_MENU, [] { return new cMenuState(); });
    ASSERT_EQ(h.start(), 0);
    cGame& game = h.game();

    // The branding's two splashes run before any load; the loading screen follows.
    ASSERT_NE(game.getSplash(), nullptr);
    EXPECT_EQ(game.getSplash()->records().size(), 2u);
    EXPECT_FALSE(game.loadingThreadRuns());
    int splashFrames = 0;
    while (game.getSplash() && splashFrames < 1000) {
        h.frame();
        ++splashFrames;
    }
    EXPECT_NEAR(splashFrames / 60.0, 4.5, 0.1) << "0.5 + 1.5 + 0.5 and 0.4 + 1.2 + 0.4 seconds";
    EXPECT_TRUE(game.loadingThreadRuns());
    ASSERT_TRUE(h.waitForState(STATE_MENU));

    // No player yet: the name dialog opens over the scene by itself.
    h.frames(30);
    ASSERT_TRUE(shown(h, "NewPlayer_win"));
    EXPECT_EQ(game.getCurrentProfile(), nullptr);
    for (const uint8_t key : {uint8_t(A_KEY_Z), uint8_t(A_KEY_O), uint8_t(A_KEY_E)})
        h.key(key);
    h.key(A_KEY_ENTER);
    h.frames(120);
    ASSERT_NE(game.getCurrentProfile(), nullptr);
    EXPECT_EQ(h.text("WelcomeText"), L"zoe");
    EXPECT_FALSE(shown(h, "NewPlayer_win"));
    cMenuState* state = menu(h);
    ASSERT_NE(state, nullptr);
    EXPECT_FLOAT_EQ(state->getTitleScale(), 1.0f) << "the title zoomed in over two seconds";
    h.expectScreen("main_menu");

    // Play: the tutorial level for a new player (with the first level track), the map afterwards.
    EXPECT_EQ(requestOf(h, "Play"), STATE_PLAY);
    EXPECT_EQ(game.getCurrentTrack(), 1);
    game.getCurrentProfile()->setLevelReward(cMenuState::TUTORIAL_LEVEL, 0);
    EXPECT_EQ(requestOf(h, "Play"), STATE_MAP);

    // Extras opens its board; each of its buttons asks for its screen; Close fades it out.
    EXPECT_EQ(requestOf(h, "Extras"), STATE_NONE);
    h.frames(15);
    EXPECT_TRUE(state->isExtrasOpen());
    EXPECT_FLOAT_EQ(state->getExtrasMenu()->GetAlpha(true), 1.0f);
    h.expectScreen("main_menu_extras");
    for (const auto& [button, id] : {std::pair{"Help", STATE_HELP}, std::pair{"Pedia", STATE_PEDIA},
                                     std::pair{"Awards", STATE_AWARDS}, std::pair{"Credits", STATE_CREDITS}})
        EXPECT_EQ(requestOf(h, button), id) << button;
    const aRect close = state->getExtrasMenu()->FindChild("Close", true)->GetAbsoluteRect();
    h.click(close.x + close.width / 2, close.y + close.height / 2);
    h.frames(15);
    EXPECT_FALSE(state->isExtrasOpen());
    EXPECT_FALSE(shown(h, "ExtrasMenu"));

    // Escape closes the topmost thing: the options, the players' list, the Extras board.
    EXPECT_EQ(requestOf(h, "Options"), STATE_NONE);
    h.frames(20);
    EXPECT_TRUE(state->getOptionsWindow()->isOpening());
    h.key(A_KEY_ESCAPE);
    h.frames(20);
    EXPECT_FALSE(state->getOptionsWindow()->isOpening());
    EXPECT_FALSE(shown(h, "MessageBox"));
    EXPECT_EQ(requestOf(h, "Profiles"), STATE_NONE);
    h.frames(20);
    EXPECT_TRUE(shown(h, "Profiles_win"));
    clickOn(h, "New");
    h.frames(20);
    EXPECT_TRUE(shown(h, "NewPlayer_win"));
    h.key(A_KEY_ESCAPE);
    h.frames(20);
    EXPECT_FALSE(shown(h, "NewPlayer_win"));
    EXPECT_EQ(game.getProfiles().count(), 1u) << "a cancelled name makes no player while one exists";
    h.key(A_KEY_ESCAPE);
    h.frames(20);
    EXPECT_FALSE(shown(h, "Profiles_win"));
    EXPECT_EQ(requestOf(h, "Extras"), STATE_NONE);
    h.key(A_KEY_ESCAPE);
    h.frames(15);
    EXPECT_FALSE(shown(h, "ExtrasMenu"));
    EXPECT_FALSE(shown(h, "MessageBox"));

    // A name with printf signs shows as it is.
    h.makePlayer(L"Kim %s %d%%");
    h.frames(2);
    EXPECT_EQ(h.text("WelcomeText"), L"Kim %s %d%%");

    // Nothing left open: Escape asks to quit; Escape again says no; Quit asks again and Yes ends the run.
    h.key(A_KEY_ESCAPE);
    h.frames(20);
    ASSERT_TRUE(shown(h, "MessageBox"));
    h.key(A_KEY_ESCAPE);
    h.frames(20);
    EXPECT_FALSE(shown(h, "MessageBox"));
    EXPECT_EQ(requestOf(h, "Quit"), STATE_NONE);
    h.frames(20);
    ASSERT_TRUE(shown(h, "MessageBox"));
    clickOn(h, "YesBtn");
    for (int i = 0; i < 60 && !h.quitPosted(); ++i)
        h.frame();
    EXPECT_TRUE(h.quitPosted());

    // A second init changes nothing.
    state->init();
    EXPECT_TRUE(h.logged("cMenuState is already initiated"));
    h.stop();
}
