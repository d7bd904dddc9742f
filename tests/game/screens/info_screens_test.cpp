// The credits, help and encyclopedia screens, played through the running
// game: the credits' fades by height and their restart, the help screen's
// animations and close, the pages the completed levels open.
#include "game/app/loadingscreen.h"
#include "game/screens/screens_fixture.h"
#include "game/support/player_steps.h"
#include "gui/buttonbase.h"
#include "gui/widget.h"
#include "orvo/app/a_keys.h"
#include "orvo/gfx/a_advanim.h"

using namespace kbtest;

namespace {

class InfoScreens : public ScreensGame {
protected:
    template <class T> T* state(int32_t id) { return dynamic_cast<T*>(cGameState::find(id)); }
};

} // namespace

TEST(CreditsLook, LinesGrowAndFadeInAtTheBottomAndFadeOutAtTheTop)
{
    struct Case {
        float y;
        uint32_t alpha;
        float size;
    };
    const Case cases[] = {
        {600.0f, 102, 0.4f}, {125.0f, 127, 1.0f}, {700.0f, 0, 0.0f}, {640.0f, 0, 0.0f}, {540.0f, 255, 1.0f},
        {300.0f, 255, 1.0f}, {165.0f, 255, 1.0f}, {85.0f, 0, 0.0f},  {86.0f, 3, 1.0f},  {-40.0f, 0, 0.0f},
    };
    for (const Case& c : cases) {
        const cCreditsState::LineLook look = cCreditsState::lineLook(c.y);
        EXPECT_EQ(look.alpha, c.alpha) << "y " << c.y;
        if (look.alpha > 0) {
            EXPECT_FLOAT_EQ(look.size, c.size) << "y " << c.y;
        }
    }
}

TEST_F(InfoScreens, TheCreditsScrollFromCreditsTxtRestartAndLeave)
{
    // The same loading picture whichever tests ran before.
    cLoadingScreen::resetCycles();
    ASSERT_TRUE(enter(STATE_CREDITS));
    auto* credits = state<cCreditsState>(STATE_CREDITS);
    ASSERT_NE(credits, nullptr);
    const auto& lines = credits->getLines().lines();
    ASSERT_GT(lines.size(), 20u);
    EXPECT_EQ(lines.front(), "+Kesterby");
    const std::string all = credits->getLines().toText();
    for (const char* source : {"Fluent Emoji Flat", "Tux Paint", "FluidR3", "Liberation Sans", "Z003", "MIT licence",
                               "GPL version 2", "SIL Open Font License", "The Kesterby team"})
        EXPECT_NE(all.find(source), std::string::npos) << source;

    const float start = credits->getScrollY();
    EXPECT_NEAR(start, cCreditsState::START_Y, 1.0f);
    seconds(1.0f);
    EXPECT_NEAR(credits->getScrollY(), start - 50.0f, 0.01f) << "50 pixels a second";

    // Once the last line has left the top, the text starts again from the bottom.
    const float h2 = credits->lineHeight();
    credits->setScrollY(-(static_cast<float>(lines.size()) + 1.0f) * h2 + 0.5f);
    h.frame();
    EXPECT_EQ(credits->getScrollY(), cCreditsState::START_Y);

    credits->setScrollY(560.0f - 8 * h2);
    seconds(0.5f);
    h.expectScreen("credits");
    h.key(A_KEY_ESCAPE);
    ASSERT_TRUE(h.waitForState(STATE_MENU));
    ASSERT_TRUE(enter(STATE_CREDITS));
    clickOn(h, "Back");
    EXPECT_TRUE(h.waitForState(STATE_MENU));
}

TEST_F(InfoScreens, TheHelpScreenPlaysItsScenesAndCloses)
{
    ASSERT_TRUE(enter(STATE_HELP));
    auto* help = state<cHelpState>(STATE_HELP);
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->hasBackground());
    for (int i = 0; i < 3; ++i)
        ASSERT_NE(help->getAnimation(i), nullptr) << i;
    seconds(1.5f);
    EXPECT_GT(help->getTimer(), 1.0f);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(help->getAnimation(i)->isPlaying()) << i;
    h.expectScreen("help");
    clickOn(h, "CloseHelp");
    ASSERT_TRUE(h.waitForState(STATE_MENU));
    ASSERT_TRUE(enter(STATE_HELP));
    h.key(A_KEY_ESCAPE);
    EXPECT_TRUE(h.waitForState(STATE_MENU));
}

TEST_F(InfoScreens, CompletedLevelsOpenTheEncyclopediasPages)
{
    struct Case {
        std::vector<std::string> levels;
        uint16_t pages;
    };
    const Case cases[] = {
        {{}, 1},          {{"Level01", "Level02"}, 2}, {{"Level02", "Level07", "Level09"}, 4},
        {{"Level09"}, 4}, {{"Level14", "Level02"}, 5}, {{"Level17"}, 6},
    };
    for (const Case& c : cases) {
        cPlayerProfile profile(L"P");
        for (const std::string& level : c.levels)
            profile.setLevelReward(level, 1);
        EXPECT_EQ(cPediaState::openPagesFor(&profile), c.pages) << c.levels.size() << " levels";
    }
    EXPECT_EQ(cPediaState::openPagesFor(nullptr), 1);

    for (const char* level : {"Level02", "Level07", "Level09"})
        player->setLevelReward(level, 2);
    ASSERT_TRUE(enter(STATE_PEDIA));
    auto* pedia = state<cPediaState>(STATE_PEDIA);
    ASSERT_EQ(pedia->getOpenPages(), 4);
    for (uint16_t page = 0; page < 4; ++page)
        EXPECT_TRUE(pedia->hasPageAnimal(page)) << page;
    EXPECT_FALSE(pedia->hasPageAnimal(4));
    EXPECT_FALSE(h.widget("cheetah")->IsEnabled());

    // The first frames fade to the warthog's page.
    seconds(0.5f);
    EXPECT_EQ(pedia->getShownPage(), 0);
    EXPECT_EQ(h.text("Name"), L"Warthog");
    EXPECT_FLOAT_EQ(pedia->getTextAlpha(), 1.0f);

    // A closed page does nothing; an open one fades out at 5 a second, then in.
    clickOn(h, "cheetah");
    EXPECT_EQ(pedia->getSelectedPage(), 0);
    clickOn(h, "hippo");
    EXPECT_EQ(pedia->getSelectedPage(), 3);
    EXPECT_TRUE(static_cast<GUI::ButtonBase*>(h.widget("hippo"))->IsSelected());
    EXPECT_FALSE(static_cast<GUI::ButtonBase*>(h.widget("warthog"))->IsSelected());
    EXPECT_LT(pedia->getTextAlpha(), 1.0f);
    EXPECT_EQ(pedia->getShownPage(), 0);
    seconds(0.2f);
    EXPECT_EQ(pedia->getShownPage(), 3);
    EXPECT_EQ(h.text("Name"), L"Hippopotamus");
    seconds(1.0f);
    h.expectScreen("encyclopedia");

    clickOn(h, "rusty");
    seconds(0.6f);
    EXPECT_EQ(pedia->getShownPage(), 6);
    EXPECT_EQ(h.text("Name"), L"Rusty the poacher");
    clickOn(h, "Back");
    EXPECT_TRUE(h.waitForState(STATE_MENU));
}
