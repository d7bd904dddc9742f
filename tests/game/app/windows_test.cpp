// The game's windows on a stand-in screen of the running game, each walked once with its picture
// (message box, bubbles, options, player chooser); and all of them without a game or a layout.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <tuple>
#include <utility>

#include "game/app/optionswindow.h"
#include "game/app/profilewindow.h"
#include "game/app/simpletooltip.h"
#include "game/app/tip.h"
#include "game/app/tooltipbubble.h"
#include "game/app/tutorialtooltip.h"
#include "game/support/player_steps.h"
#include "game/support/test_screen.h"
#include "gui/checkbox.h"
#include "gui/server.h"
#include "gui/slider.h"
#include "gui/statictext.h"
#include "orvo/app/a_keys.h"
#include "orvo/gfx/a_image.h"
#include "orvo/sound/a_musicmanager.h"
#include "orvo/sound/a_soundmanager.h"
#include "support/log_capture.h"

using namespace kbtest;

namespace {

// A screen that also runs the bubbles from its draw, as the game's screens do.
struct BubbleScreen : TestScreen {
    using TestScreen::TestScreen;
    void draw() override
    {
        TestScreen::draw();
        const float dt = cGame::get()->getFrameTime();
        cSimpleTooltip::update(dt), cTip::updateCurrent(dt), cTutorialTooltip::updateAll(dt);
    }
};

// A hint window of a screen's own layout.
const std::string kHintLayout =
    "window ParkTip\n{\nAreaRect 362 300 300 110\nVisible 0\nstaticimage ParkTipBack\n{\nAreaRect 0 0 300 110\n"
    "NormalImage tooltip\nStatic 1\n}\nstatictext Description\n{\nAreaRect 30 10 240 70\nFont text14\n"
    "TextNormalColor FF281608\nWordWrap 1\nStatic 1\n}\n}\n";

int g_ok = 0, g_no = 0, g_modalSeenByOk = -1;
bool g_hiddenForOk = false;
void onOk()
{
    ++g_ok;
    g_modalSeenByOk = cGame::get()->getCurrentState()->getModalCount();
    g_hiddenForOk = !cMessageBox::isShown();
}

class Windows : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(h.start(), 0);
        ASSERT_TRUE(h.waitForState(STATE_MENU));
    }
    void TearDown() override { cSimpleTooltip::destroy(), cTip::destroy(), cTutorialTooltip::removeAll(); }
    TestScreen& screen() { return *static_cast<TestScreen*>(cGameState::find(STATE_MENU)); }
    int modal() { return h.game().getCurrentState()->getModalCount(); }
    void seconds(float s) { h.frames(static_cast<int>(s * 60.0f + 0.5f)); }
    // The message box's visible buttons, e.g. "YesBtn NoBtn".
    std::string buttons() const
    {
        std::string out;
        for (const char* name : {"OkBtn", "YesBtn", "NoBtn"})
            if (shown(h, name))
                out += (out.empty() ? "" : " ") + std::string(name);
        return out;
    }
    void show(
        uint32_t flags, cMessageBox::Callback ok = &onOk, cMessageBox::Callback no = [] { ++g_no; })
    {
        ASSERT_TRUE(cMessageBox::show(L"Caption", L"Text", flags, ok, no));
    }
    void answer(const std::string& button)
    {
        h.frames(20);
        clickOn(h, button);
        untilBoxClosed(h);
    }

    GameHarness h;
    StateCalls calls, mapCalls;
    ScopedStateClass menu{STATE_MENU, [this] { return new BubbleScreen(STATE_MENU, calls, kHintLayout); }};
    ScopedStateClass map{STATE_MAP, [this] { return new TestScreen(STATE_MAP, mapCalls); }};
};

} // namespace

TEST_F(Windows, MessageBoxQuitQuestionFlagsCallbacksAndStateSwitch)
{
    g_ok = g_no = 0;
    // The window's close button asks first; a second close asks nothing new; No keeps the game.
    h.closeWindow();
    h.frames(30);
    h.expectScreen("quit_question");
    h.closeWindow();
    h.frames(2);
    EXPECT_EQ(modal(), 1);
    answer("NoBtn");
    EXPECT_FALSE(h.quitPosted());
    // Flags choose the buttons and whether the box blocks the screen.
    for (const auto& [flags, shownButtons, count] :
         {std::tuple{1u, "OkBtn", 1}, {34u, "YesBtn NoBtn", 1}, {449u, "OkBtn", 0}}) {
        show(flags);
        h.frames(20);
        EXPECT_EQ(buttons(), shownButtons) << flags;
        EXPECT_EQ(modal(), count) << flags;
        cMessageBox::cancel();
        untilBoxClosed(h);
        EXPECT_EQ(modal(), 0) << flags;
    }
    EXPECT_EQ(std::pair(g_ok, g_no), std::pair(0, 1)) << "cancel runs No, which only Yes/No boxes keep";
    // Shown again while up, a box counts once; flag 128 takes its count back.
    show(34);
    show(34);
    EXPECT_EQ(modal(), 1);
    show(34 | 128);
    EXPECT_EQ(modal(), 0);
    show(34);
    // The callback runs once the box has faded out and its count is gone.
    g_no = 0;
    h.frames(20);
    clickOn(h, "YesBtn");
    EXPECT_EQ(g_ok, 0) << "still fading out";
    untilBoxClosed(h);
    EXPECT_TRUE(g_ok == 1 && g_hiddenForOk && g_modalSeenByOk == 0);
    // A second show while fading out replaces the first box and its callbacks.
    g_ok = 0;
    show(34);
    h.frames(20);
    clickOn(h, "YesBtn");
    show(
        1, [] { g_ok += 100; }, nullptr);
    answer("OkBtn");
    EXPECT_EQ(g_ok, 100);
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
    EXPECT_TRUE(h.quitPosted() && h.game().canQuit());
    h.stop();
    EXPECT_NE(readFile(h.home().userDir() + "config.ini").find("LoadingScene=1\r\n"), std::string::npos);
}

TEST_F(Windows, BubblesOneTimeTipAndTutorialHints)
{
    cPlayerProfile* profile = h.makePlayer();
    // A tip blocks after its delay, one at a time; a click beside it leaves it open, one on it
    // closes it and marks the player.
    cTip::create(h.widget("ParkTip"), "quit_request", 0x1000);
    EXPECT_FALSE(cTip::shouldShow(0x20));
    seconds(0.9f);
    EXPECT_EQ(modal(), 1);
    h.click(100, 100);
    EXPECT_TRUE(cTip::get()->isOpen());
    h.click(500, 350);
    seconds(0.4f);
    EXPECT_EQ(cTip::get(), nullptr);
    EXPECT_EQ(modal(), 0);
    EXPECT_EQ(profile->tipsMask, 0x1000u);
    // A pointing hint blocks and takes no click before it is fully there; a click closes it.
    cTutorialTooltip* hint = cTutorialTooltip::add(300, 400, "quit_request", false, 0.0f);
    EXPECT_EQ(modal(), 1);
    EXPECT_TRUE(cTutorialTooltip::anyUnflagged() && cTutorialTooltip::anyActive());
    cSimpleTooltip::show(700, 600, L"Zebra");
    seconds(0.2f);
    h.click(400, 330);
    EXPECT_TRUE(hint->isOpen());
    h.moveTo(980, 720);
    seconds(0.8f);
    // The pointer line pulses with the game's running time, which the frames of the start's load make
    // vary: the picture is taken at the top of a pulse, where a frame more or less changes nothing.
    const auto fromPeak = [&] {
        return std::abs(std::remainder(h.game().getTotalTime() - std::numbers::pi / 8.0, std::numbers::pi / 2.0));
    };
    for (int i = 0; i < 120 && fromPeak() > 1.0 / 120.0; ++i)
        h.frame();
    h.expectScreen("hint_bubbles");
    h.click(400, 330);
    EXPECT_FALSE(hint->isOpen());
    EXPECT_EQ(modal(), 0);
    cTutorialTooltip::removeAll();
    // A plain bubble blocks nothing.
    cTutorialTooltip::add(900, 400, "quit_request", true, 1.0f);
    EXPECT_EQ(modal(), 0);
    EXPECT_FALSE(cTutorialTooltip::anyUnflagged());
}

// A hint stands on its point: above it, mirrored to its left past the right
// edge, hung below it near the top; its text keeps the bubble's top left
// corner whichever way it is turned. A plain bubble moved later keeps a
// shorter text.
TEST_F(Windows, HintsStandOnTheirPointMirroredNearTheEdges)
{
    const aImage* bubble = tooltip_image("tooltip");
    ASSERT_NE(bubble, nullptr);
    const int16_t w = static_cast<int16_t>(bubble->getWidth()), ht = static_cast<int16_t>(bubble->getHeight());
    const struct {
        int16_t x, y;
        bool flipLeft, flipDown;
    } cases[] = {{480, 700, false, false},
                 {900, 700, true, false},
                 {300, 100, false, true},
                 {980, 40, true, true},
                 {static_cast<int16_t>(1024 - w), ht, false, false}};
    for (bool plain : {false, true})
        for (const auto& c : cases) {
            cTutorialTooltip* hint = cTutorialTooltip::add(c.x, c.y, "quit_request", plain, 0.0f);
            ASSERT_NE(hint, nullptr);
            const std::string what = std::to_string(c.x) + "," + std::to_string(c.y) + (plain ? " plain" : " pointer");
            EXPECT_EQ(std::pair(hint->isFlippedLeft(), hint->isFlippedDown()), std::pair(c.flipLeft, c.flipDown))
                << what;
            const int x = c.flipLeft ? c.x - w : c.x, y = c.flipDown ? c.y + 26 : c.y - ht;
            EXPECT_EQ((std::pair<int, int>(hint->getX(), hint->getY())), std::pair(x, y)) << what;
            const aRect text = hint->getTextWindow()->GetArea();
            EXPECT_EQ((std::tuple<int, int, int, int>(text.x, text.y, text.width, text.height)),
                      std::tuple(x + 10, y + 5, w - 20, ht - (plain ? 35 : 45)))
                << what;
            if (plain) {
                hint->setPosition(c.x, c.y);
                EXPECT_EQ(hint->getTextWindow()->GetArea().height, ht - 55) << what;
            }
            cTutorialTooltip::removeAll();
            if (!plain)
                screen().removeModal();
        }
    EXPECT_EQ(modal(), 0);
}

TEST_F(Windows, OptionsSlidersActAtOnceAndCancelPutsThemBack)
{
    cOptionsWindow options;
    options.create();
    screen().onUpdate = [&](float dt) { options.update(dt); };
    cPlayerProfile* profile = h.makePlayer();
    aSoundManager& sounds = *h.game().getSoundManager();
    aMusicManager& music = *h.game().getMusicManager();
    auto slider = [&](const char* name) { return static_cast<GUI::Slider*>(h.widget(name)); };
    const std::string file = h.home().userDir() + "Profiles/profiles.dat";
    profile->setMusicVolume(0.3f);
    profile->setSoundVolume(0.6f);
    options.open();
    h.frames(20);
    h.expectScreen("options_window");
    // Dragging changes what is heard, not the profile; Cancel puts it back and saves nothing.
    slider("MusicVolume")->SetValue(0.9f);
    slider("SoundVolume")->SetValue(0.2f);
    EXPECT_FLOAT_EQ(sounds.getSound("sample")->getMasterVolume(), 0.2f);
    EXPECT_FLOAT_EQ(profile->getMusicVolume(), 0.3f);
    const std::string before = readFile(file);
    clickOn(h, "Cancel");
    EXPECT_FLOAT_EQ(music.getMusicVolume(music.getCurrentIndex()), 0.3f);
    EXPECT_FLOAT_EQ(sounds.getSound("sample")->getMasterVolume(), 0.6f);
    h.frames(20);
    EXPECT_EQ(readFile(file), before);
}

TEST_F(Windows, PlayerChooserFromAFirstRunNamesChoosingDeletingAndLimits)
{
    cProfileWindow window;
    window.create(h.widget("Profiles_win")->GetParent());
    screen().onUpdate = [&](float dt) { window.update(dt); };
    cProfiles& profiles = h.game().getProfiles();
    profiles.deleteProfile(L""); // the start's placeholder, as the initial load drops it
    // The names on the visible lines (or in the saved file), the ticked (or current) ones in brackets.
    auto add = [](std::wstring& out, const std::wstring& n, bool mark) { out += L" " + (mark ? L"[" + n + L"]" : n); };
    auto lines = [&] {
        std::wstring out;
        for (GUI::Checkbox* entry : window.getEntries())
            if (entry->IsVisible(true))
                add(out, entry->GetChildren()[1]->GetText(), entry->IsChecked());
        return out.erase(0, 1);
    };
    auto saved = [&] {
        cProfiles file;
        file.load(h.home().userDir() + "Profiles/profiles.dat");
        std::wstring out;
        for (size_t i = 0; i < file.count(); ++i)
            add(out, file.at(i)->getName(), file.at(i)->active);
        return out.erase(0, 1);
    };
    // The options window shares the names "Ok" and "Cancel": those two are the name dialog's.
    auto find = [&](const std::string& n) {
        return n == "Ok" || n == "Cancel" ? window.getNewPlayerWindow()->FindChild(n, true) : h.widget(n);
    };
    auto press = [&](const std::string& n) { clickRectOf(h, find(n)->GetAbsoluteRect()); };
    auto enabled = [&](const std::string& n) { return find(n)->IsEnabled(); };
    auto settle = [&] { h.frames(20); };
    auto deleteTicked = [&] {
        press("Delete");
        settle();
        ASSERT_TRUE(cMessageBox::isShown());
        press("YesBtn");
        untilBoxClosed(h);
    };
    // A first run asks for a name; Enter without one does nothing; Cancel still leaves a player.
    window.open();
    settle();
    h.key(A_KEY_ENTER);
    EXPECT_EQ(profiles.count(), 0u);
    press("Cancel");
    settle();
    EXPECT_EQ(saved(), L"[Player]");
    // A name is checked as it is typed (the rules are the profiles test's): Anna is taken.
    profiles.deleteProfile(L"Player");
    for (const wchar_t* n : {L"Anna", L"Boris"})
        profiles.createProfile(n, false);
    profiles.select(profiles.findByName(L"Anna"), false);
    window.openNewPlayer();
    settle();
    h.widget("PlayerName")->SetText(L"Anna");
    EXPECT_FALSE(enabled("Ok"));
    h.moveTo(512, 384); // where the pointer starts, as the pictures show it
    h.expectScreen("new_player_window");
    // Typed quickly: every key goes down and up within one frame, and no letter is lost.
    h.widget("PlayerName")->SetText(L"");
    h.type("Clara");
    EXPECT_EQ(h.text("PlayerName"), L"Clara");
    press("Ok");
    settle();
    EXPECT_EQ(saved(), L"Anna Boris [Clara]");
    // One tick at a time; the player changes on Close.
    window.open();
    settle();
    h.moveTo(512, 384);
    h.expectScreen("profile_window");
    press("Player1");
    EXPECT_EQ(lines(), L"[Anna] Boris Clara");
    EXPECT_EQ(profiles.current(), profiles.findByName(L"Clara"));
    press("Close");
    settle();
    EXPECT_EQ(saved(), L"[Anna] Boris Clara");
    // Deleting the current player, last in the list: the one before takes over. Deleting another:
    // the current one stays and keeps the tick; the last player cannot be deleted.
    profiles.select(profiles.findByName(L"Clara"), false);
    window.open();
    settle();
    deleteTicked();
    EXPECT_EQ(saved(), L"Anna [Boris]");
    press("Player1");
    deleteTicked();
    EXPECT_EQ(saved(), L"[Boris]");
    EXPECT_FALSE(enabled("Delete"));
    profiles.createProfile(L"Emil", false);
    // Nine players at most.
    for (const wchar_t* n : {L"P3", L"P4", L"P5", L"P6", L"P7", L"P8", L"P9"})
        profiles.createProfile(n, false);
    window.open();
    settle();
    EXPECT_FALSE(enabled("New"));
    // The player asked about goes before the answer: Yes does nothing.
    press("Player2");
    press("Delete");
    settle();
    profiles.deleteProfile(L"Emil");
    press("YesBtn");
    untilBoxClosed(h);
    EXPECT_EQ(profiles.count(), 8u);
    EXPECT_EQ(profiles.current(), profiles.findByName(L"Boris"));
    // The list shows a name with the text's tag marker as it was typed.
    profiles.createProfile(L"Al<#size=3#>ex", false);
    window.open();
    settle();
    EXPECT_EQ(lines(), L"[Boris] P3 P4 P5 P6 P7 P8 P9 Al<#size=3#>ex");
}

TEST(WindowsAlone, WithoutAGameALayoutOrPicturesNothingIsShownAndNothingBreaks)
{
    // Without a game object.
    cProfileWindow window;
    const GUI::EventArgs none;
    window.create(nullptr), window.open(), window.update(0.5f), window.onDelete(none), window.onNewPlayerOk(none);
    window.onNewPlayerCancel(none), window.onClose(none), cProfileWindow::onDeleteConfirmed();
    cOptionsWindow options;
    options.create(), options.open(), options.update(0.5f), options.onOk(none), options.onCancel(none);
    EXPECT_EQ(options.getWindow(), nullptr);
    EXPECT_FALSE(cMessageBox::show(L"", L"", 34, nullptr, nullptr));
    EXPECT_FALSE(cMessageBox::isShown());
    cMessageBox::updateIfShown(0.1f);
    cMessageBox::setChildText("Caption", L"x");
    // A game without pictures makes no hint; a tip without its window is gone at the first update.
    LogCapture log;
    cGame game;
    EXPECT_EQ(cTutorialTooltip::add(10, 10, "x", false, 0.0f), nullptr);
    cTutorialTooltip::updateAll(0.1f);
    cSimpleTooltip::show(10, 10, L"t"), cSimpleTooltip::update(1.0f), cSimpleTooltip::hide(),
        cSimpleTooltip::update(1.0f);
    EXPECT_EQ(cSimpleTooltip::get(), nullptr);
    cTip::create(nullptr, "x", 1);
    cTip::updateCurrent(0.1f);
    EXPECT_EQ(cTip::get(), nullptr);
    // A screen whose layout has no box cannot ask before quitting: the window closes.
    GUI::Server server(nullptr, nullptr);
    EXPECT_FALSE(cMessageBox::show(L"", L"", 34, nullptr, nullptr));
    EXPECT_TRUE(game.canQuit());
}
