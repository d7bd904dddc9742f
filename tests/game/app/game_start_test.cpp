// A newcomer's start through the harness: an empty per-user folder, the
// screens' music, the quit question on the window's close button, and the
// settings written at exit.
#include <gtest/gtest.h>

#include "game/support/harness.h"
#include "game/support/player_steps.h"
#include "game/support/test_screen.h"
#include "orvo/sound/a_musicmanager.h"
#include "support/temp_dir.h"

using namespace kbtest;

namespace {

// "config.ini" as the defaults write it, after the one loading scene of the start.
const std::string kDefaultConfig = "[VIDEO]\r\nScreenWidth=1024\r\nScreenHeight=768\r\nVSync=0\r\nHighColor=1\r\n"
                                   "ShowFPS=0\r\nBrightness=0.000000\r\nContrast=0.000000\r\n\r\n"
                                   "[COMMON]\r\nLoadingScene=1\r\nSplashScreen=1\r\n\r\n";

} // namespace

TEST(GameStart, NewcomerHearsTheMenuMusicAndLeavesThroughTheQuitQuestion)
{
    GameHarness h(GameHarness::Options{.splash = true});
    StateCalls calls;
    ScopedStateClass menu(STATE_MENU, [&] { return new TestScreen(STATE_MENU, calls); });
    ASSERT_EQ(h.start(), 0);
    ASSERT_TRUE(h.waitForState(STATE_MENU));

    cGame& game = h.game();
    EXPECT_EQ(game.getPlaylist(),
              (std::vector<std::string>{"menu_theme", "savanna_morning", "savanna_noon", "savanna_dusk"}));
    std::string list;
    EXPECT_EQ(game.getMusicManager()->getCurrentName(list), "menu_theme");
    EXPECT_EQ(game.getText("app_name"), L"Kesterby");

    h.closeWindow();
    h.frames(30);
    ASSERT_TRUE(shown(h, "MessageBox"));
    EXPECT_FALSE(h.quitPosted());
    EXPECT_EQ(h.text("Caption"), L"Quit");
    EXPECT_EQ(h.text("MessageText"), L"Do you really want to leave the savanna?");
    EXPECT_TRUE(shown(h, "YesBtn") && shown(h, "NoBtn") && shown(h, "QuestionIcon") && !shown(h, "OkBtn"));
    EXPECT_EQ(game.getCurrentState()->getModalCount(), 1);
    h.expectScreen("quit_question");

    // A second close while the question is up asks nothing new.
    h.closeWindow();
    h.frames(2);
    EXPECT_EQ(game.getCurrentState()->getModalCount(), 1);

    clickOn(h, "YesBtn");
    for (int i = 0; i < 60 && !h.quitPosted(); ++i)
        h.frame();
    EXPECT_TRUE(h.quitPosted());
    EXPECT_EQ(game.getCurrentState()->getModalCount(), 0);
    EXPECT_TRUE(game.canQuit()) << "answered Yes: the window closes without asking again";
    h.stop();

    EXPECT_EQ(readFile(h.home().userDir() + "config.ini"), kDefaultConfig);
    for (const std::string& line : h.log()) {
        // The offscreen display offers no fullscreen modes at all; a desktop does.
        if (line.find("fullscreen mode not found") != std::string::npos)
            continue;
        for (const char* bad : {"not found", "Cannot find", "not exist"})
            EXPECT_EQ(line.find(bad), std::string::npos) << line;
    }
}
