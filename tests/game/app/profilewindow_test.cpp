// The player chooser on a screen of the running game, walked from a first
// run without players: the name question and its Cancel, names refused as
// typed, choosing, deleting, the nine-player limit, selections that name no
// player, and the file written after every change; both player windows
// without a layout or a game.
#include <gtest/gtest.h>

#include "game/app/optionswindow.h"
#include "game/app/profilewindow.h"
#include "game/support/harness.h"
#include "game/support/player_steps.h"
#include "game/support/test_screen.h"
#include "gui/checkbox.h"
#include "orvo/app/a_keys.h"

using namespace kbtest;

namespace {

class ProfileWindowTest : public ::testing::Test {
protected:
    cProfiles& profiles() { return h.game().getProfiles(); }
    std::wstring currentName() { return profiles().current() ? profiles().current()->getName() : L"(none)"; }
    // The names on the visible lines, the ticked ones in brackets.
    std::wstring lines()
    {
        std::wstring out;
        for (GUI::Checkbox* entry : window.getEntries())
            if (entry->IsVisible(true)) {
                const std::wstring name = entry->GetChildren().size() > 1 ? entry->GetChildren()[1]->GetText() : L"?";
                out += (out.empty() ? L"" : L" ") + (entry->IsChecked() ? L"[" + name + L"]" : name);
            }
        return out;
    }
    // The players in the saved file, the current one in brackets.
    std::wstring saved()
    {
        cProfiles file;
        file.load(h.home().userDir() + "Profiles/profiles.dat");
        std::wstring out;
        for (size_t i = 0; i < file.count(); ++i)
            out += (out.empty() ? L"" : L" ") +
                   (file.at(i)->active ? L"[" + file.at(i)->getName() + L"]" : file.at(i)->getName());
        return out;
    }
    // The options window shares the names "Ok" and "Cancel": those two are the name dialog's.
    GUI::Widget* find(const std::string& name)
    {
        return name == "Ok" || name == "Cancel" ? window.getNewPlayerWindow()->FindChild(name, true) : h.widget(name);
    }
    void press(const std::string& name)
    {
        const aRect r = find(name)->GetAbsoluteRect();
        h.click(r.x + r.width / 2, r.y + r.height / 2);
    }
    bool visible(const std::string& name) { return find(name) && find(name)->IsVisible(); }
    bool enabled(const std::string& name) { return find(name)->IsEnabled(); }
    void settle() { h.frames(20); }
    // Delete with the question answered Yes, waiting for the box to fade out.
    void deleteTicked()
    {
        press("Delete");
        settle();
        ASSERT_TRUE(cMessageBox::isShown());
        press("YesBtn");
        untilBoxClosed(h);
    }

    GameHarness h;
    StateCalls calls;
    ScopedStateClass menu{STATE_MENU, [this] { return new TestScreen(STATE_MENU, calls); }};
    cProfileWindow window;
};

} // namespace

TEST_F(ProfileWindowTest, FirstRunNamesChoosingDeletingAndLimits)
{
    ASSERT_EQ(h.start(), 0);
    ASSERT_TRUE(h.waitForState(STATE_MENU));
    window.create(h.widget("Profiles_win")->GetParent());
    static_cast<TestScreen*>(cGameState::find(STATE_MENU))->onUpdate = [this](float dt) { window.update(dt); };
    profiles().deleteProfile(L""); // the start's placeholder, as the initial load drops it

    // A first run asks for a name; Enter without one does nothing; Cancel still leaves a player.
    window.open();
    settle();
    EXPECT_TRUE(visible("NewPlayer_win"));
    EXPECT_FALSE(visible("Profiles_win"));
    EXPECT_FALSE(enabled("Ok"));
    h.key(A_KEY_ENTER);
    EXPECT_EQ(profiles().count(), 0u);
    press("Cancel");
    settle();
    EXPECT_EQ(currentName(), L"Player");
    EXPECT_EQ(saved(), L"[Player]");

    // Names are checked as they are typed.
    profiles().deleteProfile(L"Player");
    for (const wchar_t* name : {L"Anna", L"Boris"})
        profiles().createProfile(name, false);
    profiles().select(profiles().findByName(L"Anna"), false);
    window.openNewPlayer();
    settle();
    const struct {
        std::wstring name;
        const wchar_t* warning; // null: hidden, and the name may be taken
    } cases[] = {
        {L"", nullptr},
        {L"a]b", L"Please use letters, digits and simple signs only (no ] sign)."},
        {L"\x0411\x043E\x0440\x044F", nullptr},
        {L"Anna", L"Another player has this name."},
    };
    for (const auto& c : cases) {
        h.widget("PlayerName")->SetText(c.name);
        EXPECT_EQ(enabled("Ok"), !c.name.empty() && !c.warning);
        EXPECT_EQ(visible("WarningText"), c.warning != nullptr);
        if (c.warning) {
            EXPECT_EQ(h.text("WarningText"), c.warning);
        }
    }
    h.moveTo(512, 384); // where the pointer starts, as the pictures show it
    h.expectScreen("new_player_window");
    h.widget("PlayerName")->SetText(L"Clara");
    press("Ok");
    settle();
    EXPECT_EQ(saved(), L"Anna Boris [Clara]");

    // One tick at a time; the player changes on Close.
    window.open();
    settle();
    EXPECT_EQ(lines(), L"Anna Boris [Clara]");
    h.moveTo(512, 384);
    h.expectScreen("profile_window");
    press("Player1");
    EXPECT_EQ(lines(), L"[Anna] Boris Clara");
    EXPECT_EQ(currentName(), L"Clara");
    press("Close");
    settle();
    EXPECT_FALSE(visible("Profiles_win"));
    EXPECT_EQ(saved(), L"[Anna] Boris Clara");

    // Deleting the current player who is last in the list: the one before takes over.
    profiles().select(profiles().findByName(L"Clara"), false);
    window.open();
    settle();
    deleteTicked();
    EXPECT_EQ(lines(), L"Anna [Boris]");
    EXPECT_EQ(saved(), L"Anna [Boris]");
    // Deleting another player: the current one stays, the tick moves to the line in its place.
    profiles().createProfile(L"Dora", false);
    window.fillList();
    press("Player1");
    deleteTicked();
    EXPECT_EQ(currentName(), L"Boris");
    EXPECT_EQ(lines(), L"[Boris] Dora");
    press("Player2");
    deleteTicked();
    EXPECT_EQ(lines(), L"[Boris]");
    EXPECT_FALSE(enabled("Delete")) << "the last player stays";
    // Double-clicking a line chooses that player and closes the list.
    profiles().createProfile(L"Emil", false);
    window.fillList();
    press("Player2");
    press("Player2");
    settle();
    EXPECT_EQ(currentName(), L"Emil");
    EXPECT_FALSE(visible("Profiles_win"));

    // Nine players at most.
    for (const wchar_t* name : {L"P3", L"P4", L"P5", L"P6", L"P7", L"P8"})
        profiles().createProfile(name, false);
    window.open();
    settle();
    EXPECT_TRUE(enabled("New"));
    profiles().createProfile(L"P9", false);
    window.fillList();
    EXPECT_FALSE(enabled("New"));
    // No tick: Delete asks nothing, Close only closes.
    for (GUI::Checkbox* entry : window.getEntries())
        entry->SetChecked(false);
    press("Delete");
    settle();
    EXPECT_FALSE(cMessageBox::isShown());
    press("Close");
    settle();
    EXPECT_EQ(currentName(), L"Emil");
    // A tick on a line without a player (set by code) deletes nothing either.
    window.open();
    settle();
    profiles().deleteProfile(L"P9");
    for (size_t i = 0; i < 8; ++i)
        window.getEntries()[i]->SetChecked(false);
    window.getEntries()[8]->SetVisible(true);
    window.getEntries()[8]->SetChecked(true);
    window.onDelete(GUI::EventArgs());
    EXPECT_FALSE(cMessageBox::isShown());
    // The player asked about goes before the answer: Yes does nothing.
    press("Player1");
    press("Delete");
    settle();
    profiles().deleteProfile(L"Boris");
    press("YesBtn");
    untilBoxClosed(h);
    EXPECT_EQ(profiles().count(), 7u);
    EXPECT_EQ(currentName(), L"Emil");

    // Fades never take the windows' alpha below 0.
    press("Close");
    window.update(5.0f);
    EXPECT_EQ(h.widget("Profiles_win")->GetAlpha(true), 0.0f);
}

TEST(PlayerWindowsAlone, WithoutALayoutOrAGameNothingBreaks)
{
    cProfileWindow window;
    window.create(nullptr);
    window.open();
    window.update(0.5f);
    window.onDelete(GUI::EventArgs());
    window.onNewPlayerOk(GUI::EventArgs());
    window.onNewPlayerCancel(GUI::EventArgs());
    window.onClose(GUI::EventArgs());
    cProfileWindow::onDeleteConfirmed();
    cOptionsWindow options;
    options.create();
    options.open();
    options.update(0.5f);
    options.onOk(GUI::EventArgs());
    options.onCancel(GUI::EventArgs());
    EXPECT_EQ(options.getWindow(), nullptr);
}
