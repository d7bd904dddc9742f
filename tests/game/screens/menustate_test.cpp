// The main menu walked: the splash before any load, the Extras board and the
// Escape chain down to the quit question; a players' file set aside is told once.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>

#include "game/app/profiles.h"
#include "game/app/profilesfile.h"
#include "game/support/harness.h"
#include "game/support/player_steps.h"
#include "game/support/shipped_data.h"
#include "game/support/test_screen.h"
#include "gui/server.h"
#include "orvo/app/a_inputserver.h"
#include "support/file_modes_held.h"
#include "support/file_size_limit.h"

using namespace kbtest;

TEST(MainMenu, NewcomerComesThroughTheSplashAndEveryWindowClosesOnEscape)
{
    GameHarness h(GameHarness::Options{.splash = true});
    ScopedStateClass menuClass(STATE_MENU, [] { return new cMenuState(); });
    ASSERT_EQ(h.start(), 0);
    cGame& game = h.game();
    const auto open = [&h](const char* button) { clickOn(h, button), h.frames(20); };
    const auto escape = [&h] { h.key(A_KEY_ESCAPE), h.frames(20); };

    // The branding's splashes run before any load.
    ASSERT_NE(game.getSplash(), nullptr);
    for (int i = 0; game.getSplash() && i < 1000; ++i) {
        EXPECT_FALSE(game.loadingThreadRuns());
        h.frame();
    }
    EXPECT_TRUE(game.loadingThreadRuns());
    ASSERT_TRUE(h.waitForState(STATE_MENU));
    h.frames(30);
    ASSERT_TRUE(shown(h, "NewPlayer_win"));
    for (const uint8_t key : {uint8_t(A_KEY_Z), uint8_t(A_KEY_O), uint8_t(A_KEY_E), uint8_t(A_KEY_ENTER)})
        h.key(key);
    h.frames(120);
    auto* state = dynamic_cast<cMenuState*>(game.getCurrentState());
    ASSERT_NE(state, nullptr);
    h.expectScreen("main_menu");
    clickOn(h, "Play");
    game.requestState(STATE_NONE); // stays on the menu

    // Escape closes the topmost thing (Extras, name dialog, players' list), never more.
    clickOn(h, "Extras");
    h.frames(15);
    h.expectScreen("main_menu_extras");
    escape();
    EXPECT_FALSE(state->isExtrasOpen() || shown(h, "ExtrasMenu") || shown(h, "MessageBox"));
    open("Profiles");
    // The players' list opens below the title, which the menu draws at (180, 14).
    const aGpuPicture title = decodePicture(shippedData() + "Localization/English/GUI/menu_title.png");
    int32_t titleBottom = 0;
    for (uint32_t y = 0; y < title.height; ++y)
        for (uint32_t x = 0; x < title.width; ++x)
            if (title.pixels[size_t(y) * title.width + x] >> 24 >= 64)
                titleBottom = 14 + static_cast<int32_t>(y) + 1;
    ASSERT_GT(titleBottom, 100);
    for (const char* window : {"Profiles_win", "NewPlayer_win"}) {
        const aRect r = h.widget(window)->GetAbsoluteRect();
        EXPECT_GE(r.y, titleBottom) << window << " cuts the title";
        EXPECT_LE(r.y + r.height, 768) << window;
    }
    h.expectScreen("main_menu_players");
    // The windows the menu opens lie over its boards, the name dialog over the list: the layout's order.
    const std::vector<GUI::Widget*>& z = GUI::Server::getSingletonPtr()->GetRoot()->GetZOrder();
    const auto depth = [&](const char* name) { return std::find(z.begin(), z.end(), h.widget(name)) - z.begin(); };
    for (const char* window : {"Options_win", "Profiles_win", "NewPlayer_win"})
        for (const char* board : {"MainBoard", "ExtrasMenu"})
            EXPECT_GT(depth(window), depth(board)) << window << " under " << board;
    EXPECT_GT(depth("NewPlayer_win"), depth("Profiles_win"));
    open("New");
    ASSERT_TRUE(shown(h, "NewPlayer_win"));
    escape();
    EXPECT_TRUE(shown(h, "Profiles_win") && !shown(h, "NewPlayer_win"));
    EXPECT_EQ(game.getProfiles().count(), 1u) << "a cancelled name makes no player while one exists";
    escape();
    EXPECT_FALSE(shown(h, "Profiles_win"));

    // Names with printf signs or the text's tag marker show as they are.
    for (const wchar_t* name : {L"Kim %s %d%%", L"A<#B", L"Al<#size=3#>ex"}) {
        h.makePlayer(name);
        h.frames(2);
        EXPECT_EQ(h.text("WelcomeText"), name);
    }

    // Nothing left open: Escape asks to quit, Escape again says no.
    escape();
    ASSERT_TRUE(shown(h, "MessageBox"));
    escape();
    EXPECT_FALSE(shown(h, "MessageBox") || h.quitPosted());
    state->init();
    EXPECT_TRUE(h.logged("cMenuState is already initiated"));
    h.stop();
}

// A players' file that gives no player (a nameless section holding keys) is set aside beside the copies of
// earlier runs, stepping over a folder of a copy's name: the menu says so once, naming the new copy, and the
// name dialog follows when the box is closed. Where no copy can be made (the disk is full), or the file may not
// be read, the menu says once that progress will not be saved, and the file stays as it was.
TEST(MainMenu, APlayersFileSetAsideIsToldOnceAndTheNameDialogFollows)
{
    // Large enough that a cap on the files written stops its copy, and not the start's own small files.
    std::string text = "[]\r\nStars=40\r\nActive=1\r\n";
    for (int i = 0; i < 32768; ++i)
        text += "Tips=0\r\n";
    const std::string bytes = profilesfile_widen(text + "\r\n");
    // Starts on that file (of mode 000 when `locked`), with the entries of `held` beside it ("" for a folder),
    // the files written capped at `cap` bytes while the game starts; true when the box names `told`. File modes
    // hold for root too meanwhile.
    const auto startTelling = [&](GameHarness& h, const std::map<std::string, std::string>& held,
                                  const std::wstring& told, rlim_t cap = RLIM_INFINITY, bool locked = false) {
        const std::string file = h.home().userDir() + "Profiles/profiles.dat";
        std::filesystem::create_directories(h.home().userDir() + "Profiles");
        writeFile(file, bytes);
        if (locked)
            std::filesystem::permissions(file, std::filesystem::perms::none);
        for (const auto& [name, content] : held)
            content.empty() ? (void)std::filesystem::create_directory(file + name) : writeFile(file + name, content);
        {
            const FileSizeLimit full(cap);
            const FileModesHeld modes;
            if (!full.active() || !modes.active() || h.start() != 0)
                return false;
        }
        if (!h.waitForState(STATE_MENU))
            return false;
        h.frames(30);
        EXPECT_NE(h.text("MessageText").find(told), std::wstring::npos) << h.text("MessageText");
        return shown(h, "MessageBox");
    };
    // The box closed, a player named in the dialog that follows, and the game ended.
    const auto nameAfterTheBox = [](GameHarness& h) {
        EXPECT_FALSE(shown(h, "NewPlayer_win")) << "the name dialog waits for the box";
        clickOn(h, "OkBtn");
        untilBoxClosed(h);
        h.frames(30);
        ASSERT_TRUE(shown(h, "NewPlayer_win"));
        h.type("Zoe");
        h.key(A_KEY_ENTER);
        h.frames(60);
        EXPECT_FALSE(shown(h, "MessageBox")) << "told once";
        ASSERT_NE(h.game().getCurrentProfile(), nullptr);
        EXPECT_EQ(h.game().getCurrentProfile()->getName(), L"Zoe");
        h.stop();
    };
    ScopedStateClass menuClass(STATE_MENU, [] { return new cMenuState(); });
    {
        GameHarness h;
        const std::string file = h.home().userDir() + "Profiles/profiles.dat";
        ASSERT_TRUE(startTelling(h, {{".damaged", "earlier"}, {".damaged.1", ""}}, L" profiles.dat.damaged.2 "));
        h.moveTo(900, 700); // off the text
        h.expectScreen("main_menu_players_set_aside");
        nameAfterTheBox(h);
        EXPECT_EQ(readFile(file + ".damaged"), "earlier");
        EXPECT_TRUE(readFile(file + ".damaged.2") == bytes) << "the whole file";
        cProfiles saved;
        saved.load(file);
        ASSERT_EQ(saved.count(), 1u);
        EXPECT_EQ(saved.at(0)->getName(), L"Zoe");
    }
    const std::string profiles = "userappdata:Brindlewick/Kesterby/Profiles/profiles.dat";
    {
        GameHarness h;
        const std::string file = h.home().userDir() + "Profiles/profiles.dat";
        ASSERT_TRUE(startTelling(h, {}, L" profiles.dat ", RLIM_INFINITY, true));
        nameAfterTheBox(h);
        std::filesystem::permissions(file, std::filesystem::perms::owner_read);
        EXPECT_TRUE(readFile(file) == bytes) << "not written over";
        EXPECT_TRUE(h.logged("cProfiles. Cannot read file " + profiles + " (" + std::strerror(EACCES) +
                             "); it is left as it is and nothing is saved to it in this run"));
    }
    GameHarness h;
    const std::string file = h.home().userDir() + "Profiles/profiles.dat";
    ASSERT_TRUE(startTelling(h, {{".damaged", "earlier"}, {".damaged.1", ""}}, L" profiles.dat ", bytes.size() / 4));
    EXPECT_NE(h.text("MessageText").find(L"not be saved"), std::wstring::npos);
    EXPECT_EQ(h.text("MessageText").find(L"full"), std::wstring::npos) << "the log says why, the box does not guess";
    h.moveTo(900, 700);
    h.expectScreen("main_menu_players_not_saved");
    nameAfterTheBox(h);
    EXPECT_TRUE(readFile(file) == bytes) << "not written over";
    EXPECT_TRUE(h.logged("cProfiles. Not all of " + profiles +
                         " could be read (1 player(s) without a name, the first holding \"Stars=40\"); no copy "
                         "could be kept as " +
                         profiles + ".damaged.2 (" + std::strerror(EFBIG) + "), so it is not written over"));
    EXPECT_TRUE(h.logged("cProfiles. " + profiles + " could not be copied aside and is not written"));
}
