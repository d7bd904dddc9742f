// The message box on a screen of the running game, walked through the
// window's quit question, the flag matrix, the fade and the callback after
// it, re-showing, the count-up and a state switch; and without any GUI.
#include <gtest/gtest.h>

#include "game/support/harness.h"
#include "game/support/player_steps.h"
#include "game/support/test_screen.h"
#include "gui/server.h"
#include "orvo/sound/a_soundmanager.h"

using namespace kbtest;

namespace {

int g_ok = 0, g_no = 0, g_modalSeenByOk = -1;
bool g_hiddenForOk = false;
void onOk()
{
    ++g_ok;
    g_modalSeenByOk = cGame::get()->getCurrentState()->getModalCount();
    g_hiddenForOk = !cMessageBox::isShown();
}
void onNo() { ++g_no; }
void onOkOther() { g_ok += 100; }

class MessageBoxTest : public ::testing::Test {
protected:
    // The box's visible buttons and icon, e.g. "YesBtn NoBtn QuestionIcon".
    std::string parts() const
    {
        std::string out;
        for (const char* name :
             {"OkBtn", "YesBtn", "NoBtn", "WarningIcon", "AcceptIcon", "BlockIcon", "QuestionIcon", "DiamondIcon"})
            if (shown(h, name))
                out += (out.empty() ? "" : " ") + std::string(name);
        return out;
    }
    // Started since the last show (a short sound may already have ended).
    bool opening() { return h.game().getSoundManager()->getSound("open_dialog")->getChannel() != -1; }
    int modal() { return h.game().getCurrentState()->getModalCount(); }
    void show(uint32_t flags, cMessageBox::Callback ok = &onOk, cMessageBox::Callback no = &onNo)
    {
        h.game().getSoundManager()->stopAll();
        ASSERT_TRUE(cMessageBox::show(L"Caption", L"Text", flags, ok, no));
    }
    void answer(const std::string& button)
    {
        h.frames(20);
        clickOn(h, button);
        untilBoxClosed(h);
    }

    GameHarness h;
    StateCalls menuCalls, mapCalls;
    ScopedStateClass menu{STATE_MENU, [this] { return new TestScreen(STATE_MENU, menuCalls); }};
    ScopedStateClass map{STATE_MAP, [this] { return new TestScreen(STATE_MAP, mapCalls); }};
};

} // namespace

TEST_F(MessageBoxTest, QuitQuestionFlagsFadesCallbacksAndStateSwitches)
{
    ASSERT_EQ(h.start(), 0);
    ASSERT_TRUE(h.waitForState(STATE_MENU));
    g_ok = g_no = 0;

    // The window's close button asks first; a second close asks nothing new; No keeps the game.
    h.closeWindow();
    h.frames(30);
    EXPECT_FALSE(h.quitPosted());
    EXPECT_EQ(h.text("MessageText"), L"Do you really want to leave the savanna?");
    EXPECT_EQ(parts(), "YesBtn NoBtn QuestionIcon");
    h.expectScreen("quit_question");
    h.closeWindow();
    h.frames(2);
    EXPECT_EQ(modal(), 1);
    answer("NoBtn");
    EXPECT_FALSE(h.quitPosted());
    EXPECT_EQ(modal(), 0);

    // Flags, the visible parts they choose, the opening sound, the modal count.
    const std::tuple<uint32_t, const char*, bool, int> cases[] = {
        {1, "OkBtn", true, 1},        {34, "YesBtn NoBtn QuestionIcon", true, 1},
        {449, "OkBtn DiamondIcon", false, 0}, {1 | 4 | 64, "OkBtn WarningIcon", true, 1},
        {273, "OkBtn BlockIcon", false, 1},   {2 | 8 | 16 | 32, "YesBtn NoBtn AcceptIcon", true, 1},
        {0, "", true, 1},             {128 | 256, "", false, 0},
    };
    for (const auto& [flags, shownParts, sound, count] : cases) {
        show(flags);
        h.frames(20);
        EXPECT_EQ(parts(), shownParts) << flags;
        EXPECT_EQ(opening(), sound) << flags;
        EXPECT_EQ(modal(), count) << flags;
        EXPECT_EQ(h.widget("MessageBox")->GetAlpha(true), 1.0f);
        cMessageBox::cancel();
        untilBoxClosed(h);
        EXPECT_EQ(modal(), 0) << flags;
        EXPECT_EQ(parts(), "") << flags;
    }
    EXPECT_EQ(g_ok, 0);
    EXPECT_EQ(g_no, 2) << "cancel runs the No function, which only Yes/No boxes keep";

    // Shown again while up, a box counts once; flag 128 takes its count back.
    show(34);
    show(34);
    EXPECT_EQ(modal(), 1);
    show(34 | 128);
    EXPECT_EQ(modal(), 0);
    show(34);
    EXPECT_EQ(modal(), 1);

    // The callback runs once the box has faded out and its count is gone; one binding per button.
    g_no = 0;
    h.frames(20);
    clickOn(h, "YesBtn");
    EXPECT_EQ(g_ok, 0) << "still fading out";
    untilBoxClosed(h);
    EXPECT_EQ(g_ok, 1);
    EXPECT_TRUE(g_hiddenForOk);
    EXPECT_EQ(g_modalSeenByOk, 0);
    show(34);
    answer("NoBtn");
    show(1);
    answer("OkBtn");
    EXPECT_EQ(g_ok, 2);
    EXPECT_EQ(g_no, 1);

    // A second show while fading out replaces the first box and its callbacks.
    g_ok = 0;
    show(34);
    h.frames(20);
    clickOn(h, "YesBtn");
    show(1, &onOkOther, nullptr);
    EXPECT_EQ(parts(), "OkBtn");
    EXPECT_EQ(modal(), 1);
    answer("OkBtn");
    EXPECT_EQ(g_ok, 100);
    EXPECT_EQ(modal(), 0);

    // A frame of no time leaves an opening box open; an eighth of a second is half its fade.
    show(1);
    cMessageBox::updateIfShown(0.0f);
    EXPECT_TRUE(cMessageBox::isShown());
    h.game().setFixedFrameTime(0.125f);
    h.frame();
    EXPECT_EQ(h.widget("MessageBox")->GetAlpha(true), 0.5f);
    cMessageBox::cancel();
    untilBoxClosed(h);
    h.game().setFixedFrameTime(1.0f / 60.0f);

    // A reward box counts up in one second.
    show(449);
    cMessageBox::get()->countTarget = 150;
    h.frames(30);
    EXPECT_GT(cMessageBox::get()->countValue, 60.0f);
    EXPECT_LT(cMessageBox::get()->countValue, 90.0f);
    h.frames(40);
    EXPECT_EQ(h.text("Caption"), L"+150$");

    // A state switch drops the old screen's box and its callbacks.
    g_ok = g_no = 0;
    show(34);
    h.game().requestState(STATE_MAP);
    ASSERT_TRUE(h.waitForState(STATE_MAP));
    EXPECT_FALSE(cMessageBox::isShown());
    EXPECT_EQ(modal(), 0);
    h.frames(30);
    EXPECT_EQ(g_ok + g_no, 0);
    EXPECT_EQ(cGameState::find(STATE_MENU)->getModalCount(), 0);

    // Yes to the quit question ends the game without asking again; the settings are written.
    h.closeWindow();
    answer("YesBtn");
    for (int i = 0; i < 10 && !h.quitPosted(); ++i)
        h.frame();
    EXPECT_TRUE(h.quitPosted());
    EXPECT_TRUE(h.game().canQuit());
    h.stop();
    EXPECT_NE(readFile(h.home().userDir() + "config.ini").find("LoadingScene=1\r\n"), std::string::npos);
}

TEST(MessageBoxWithoutGui, ShowsNothingAndTheWindowMayClose)
{
    EXPECT_FALSE(cMessageBox::show(L"", L"", 34, nullptr, nullptr));
    EXPECT_FALSE(cMessageBox::isShown());
    cMessageBox::updateIfShown(0.1f);
    cMessageBox::setChildText("Caption", L"x");

    // A screen whose layout has no box cannot ask before quitting: the window closes.
    cGame game;
    GUI::Server server(nullptr, nullptr);
    EXPECT_FALSE(cMessageBox::show(L"", L"", 34, nullptr, nullptr));
    EXPECT_TRUE(game.canQuit());
}
