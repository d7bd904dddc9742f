// The message box on a screen of the running game: the flag matrix, the fade
// and the callback after it, re-showing, the count-up, and its ties to the
// state that opened it (modal count, state switches).
#include <gtest/gtest.h>

#include "game/support/harness.h"
#include "game/support/player_steps.h"
#include "game/support/test_screen.h"
#include "gui/server.h"
#include "orvo/sound/a_soundmanager.h"

using namespace kbtest;

namespace {

int g_okCalls = 0;
int g_noCalls = 0;
int g_modalSeenByCallback = -1;
bool g_hiddenForCallback = false;

void onOk()
{
    ++g_okCalls;
    cGame* game = cGame::get();
    g_modalSeenByCallback = game->getCurrentState() ? game->getCurrentState()->getModalCount() : -1;
    g_hiddenForCallback = !cMessageBox::isShown();
}
void onNo()
{
    ++g_noCalls;
}
void onOkOther()
{
    g_okCalls += 100;
}

class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_okCalls = g_noCalls = 0;
        ASSERT_EQ(h.start(), 0);
        ASSERT_TRUE(h.waitForState(STATE_MENU));
    }

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
    // Started since the last stopAll (a short sound may already have ended).
    bool opening() { return h.game().getSoundManager()->getSound("open_dialog")->getChannel() != -1; }
    int modal() { return h.game().getCurrentState()->getModalCount(); }
    void press(const std::string& button) { clickOn(h, button); }
    void untilClosed() { untilBoxClosed(h); }
    void show(uint32_t flags, cMessageBox::Callback ok = &onOk, cMessageBox::Callback no = &onNo)
    {
        h.game().getSoundManager()->stopAll();
        ASSERT_TRUE(cMessageBox::show(L"Caption", L"Text", flags, ok, no));
    }

    GameHarness h;
    StateCalls menuCalls, mapCalls;
    ScopedStateClass menu{STATE_MENU, [this] { return new TestScreen(STATE_MENU, menuCalls); }};
    ScopedStateClass map{STATE_MAP, [this] { return new TestScreen(STATE_MAP, mapCalls); }};
};

} // namespace

TEST_F(MessageBoxTest, FlagsChooseButtonsIconSoundAndModality)
{
    const struct {
        uint32_t flags;
        const char* parts;
        bool sound;
        int modal;
    } cases[] = {
        {1, "OkBtn", true, 1},
        {3, "OkBtn", true, 1},
        {34, "YesBtn NoBtn QuestionIcon", true, 1},
        {449, "OkBtn DiamondIcon", false, 0},
        {1 | 4 | 64, "OkBtn WarningIcon", true, 1},
        {2 | 8 | 16 | 32, "YesBtn NoBtn AcceptIcon", true, 1},
        {273, "OkBtn BlockIcon", false, 1},
        {0, "", true, 1},
        {128 | 256, "", false, 0},
    };
    for (const auto& c : cases) {
        show(c.flags);
        h.frames(20);
        EXPECT_EQ(parts(), c.parts) << c.flags;
        EXPECT_EQ(opening(), c.sound) << c.flags;
        EXPECT_EQ(modal(), c.modal) << c.flags;
        EXPECT_EQ(h.widget("MessageBox")->GetAlpha(true), 1.0f);
        cMessageBox::cancel();
        untilClosed();
        EXPECT_FALSE(cMessageBox::isShown());
        EXPECT_EQ(modal(), 0) << c.flags;
        EXPECT_EQ(parts(), "") << c.flags;
    }
    EXPECT_EQ(g_okCalls, 0);
    EXPECT_EQ(g_noCalls, 2) << "cancel runs the No function, which only Yes/No boxes keep";
    EXPECT_EQ(h.text("OkBtn"), L"OK");
    EXPECT_EQ(h.text("YesBtn"), L"Yes");
    EXPECT_EQ(h.text("NoBtn"), L"No");

    // Shown again while up, a box counts once; flag 128 takes its count back.
    show(34);
    show(34);
    EXPECT_EQ(modal(), 1);
    show(34 | 128);
    EXPECT_EQ(modal(), 0);
    show(34);
    EXPECT_EQ(modal(), 1);
    cMessageBox::cancel();
    untilClosed();
    EXPECT_EQ(modal(), 0);
}

TEST_F(MessageBoxTest, TheCallbackRunsOnceTheBoxHasFadedOutAndASecondShowReplacesIt)
{
    show(34);
    h.frames(20);
    press("YesBtn");
    EXPECT_EQ(g_okCalls, 0) << "still fading out";
    EXPECT_TRUE(cMessageBox::isShown());
    untilClosed();
    EXPECT_EQ(g_okCalls, 1);
    EXPECT_TRUE(g_hiddenForCallback);
    EXPECT_EQ(g_modalSeenByCallback, 0) << "the count went down before the callback";

    // Shown again on the same window: still one binding per button.
    show(34);
    h.frames(20);
    press("NoBtn");
    untilClosed();
    show(1);
    h.frames(20);
    press("OkBtn");
    untilClosed();
    EXPECT_EQ(g_okCalls, 2);
    EXPECT_EQ(g_noCalls, 1);

    // A second show while fading out replaces the callbacks.
    g_okCalls = 0;
    show(34);
    h.frames(20);
    press("YesBtn");
    show(1, &onOkOther, nullptr);
    EXPECT_EQ(parts(), "OkBtn") << "nothing of the first box stays";
    EXPECT_EQ(modal(), 1) << "one box counts once";
    h.frames(20);
    press("OkBtn");
    untilClosed();
    EXPECT_EQ(g_okCalls, 100);
    EXPECT_EQ(modal(), 0);
}

TEST_F(MessageBoxTest, AFrameOfNoTimeLeavesAnOpeningBoxOpenAndTheRewardCountsUpInASecond)
{
    show(1);
    cMessageBox::updateIfShown(0.0f);
    EXPECT_TRUE(cMessageBox::isShown());
    EXPECT_EQ(g_okCalls + g_noCalls, 0);
    h.game().setFixedFrameTime(0.125f);
    h.frame();
    EXPECT_EQ(h.widget("MessageBox")->GetAlpha(true), 0.5f);
    h.frame();
    EXPECT_EQ(h.widget("MessageBox")->GetAlpha(true), 1.0f);
    cMessageBox::cancel();
    untilClosed();

    // A reward box counts up in one second.
    h.game().setFixedFrameTime(1.0f / 60.0f);
    show(449);
    cMessageBox::get()->countTarget = 150;
    h.frames(30);
    const float half = cMessageBox::get()->countValue;
    EXPECT_GT(half, 60.0f);
    EXPECT_LT(half, 90.0f);
    h.frames(40);
    EXPECT_EQ(cMessageBox::get()->countValue, 150.0f);
    EXPECT_EQ(h.text("Caption"), L"+150$");
    EXPECT_EQ(modal(), 0);
}

TEST_F(MessageBoxTest, AStateSwitchDropsTheBoxOfTheOldScreen)
{
    show(34);
    h.frames(5);
    h.game().requestState(STATE_MAP);
    ASSERT_TRUE(h.waitForState(STATE_MAP));
    EXPECT_FALSE(cMessageBox::isShown());
    EXPECT_EQ(h.game().getCurrentState()->getModalCount(), 0);
    h.frames(30);
    EXPECT_EQ(g_okCalls + g_noCalls, 0) << "the old screen's callbacks never run";
    EXPECT_EQ(cGameState::find(STATE_MENU)->getModalCount(), 0);

    show(34);
    h.frames(20);
    press("NoBtn");
    untilClosed();
    EXPECT_EQ(g_noCalls, 1);
}

TEST(MessageBoxWithoutGui, ShowsNothingWithoutAServerOrItsWindow)
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
