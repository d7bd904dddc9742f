// The credits, help and encyclopedia screens in the running game: the
// credits' scroll and restart, the help scenes, the pages the completed
// levels open.
#include "game/app/loadingscreen.h"
#include "game/screens/screens_fixture.h"
#include "game/support/player_steps.h"
#include "gui/buttonbase.h"
#include "orvo/app/a_keys.h"
#include "orvo/gfx/a_advanim.h"

using namespace kbtest;
using InfoScreens = ScreensGame;

TEST_F(InfoScreens, TheCreditsScrollRestartAndLeave)
{
    cLoadingScreen::resetCycles(); // the same loading picture whichever tests ran before
    ASSERT_TRUE(enter(STATE_CREDITS));
    auto* credits = dynamic_cast<cCreditsState*>(cGameState::find(STATE_CREDITS));
    const size_t lines = credits->getLines().lines().size();
    ASSERT_GT(lines, 20u);
    const float start = credits->getScrollY();
    EXPECT_NEAR(start, cCreditsState::START_Y, 1.0f);
    seconds(1.0f);
    EXPECT_NEAR(credits->getScrollY(), start - 50.0f, 0.01f) << "50 pixels a second";
    // Once the last line has left the top, the text starts again from the bottom.
    credits->setScrollY(-(static_cast<float>(lines) + 1.0f) * credits->lineHeight() + 0.5f);
    h.frame();
    EXPECT_EQ(credits->getScrollY(), cCreditsState::START_Y);
    // The picture shows lines growing in at the bottom; at the top they fade out.
    for (const auto& [y, alpha] : {std::pair{125.0f, 127u}, {86.0f, 3u}, {85.0f, 0u}})
        EXPECT_EQ(cCreditsState::lineLook(y).alpha, alpha) << y;
    credits->setScrollY(560.0f - 8 * credits->lineHeight());
    seconds(0.5f);
    h.expectScreen("credits");
    clickOn(h, "Back");
    EXPECT_TRUE(h.waitForState(STATE_MENU));
}

TEST_F(InfoScreens, TheHelpScreenPlaysItsScenesAndCloses)
{
    ASSERT_TRUE(enter(STATE_HELP));
    auto* help = dynamic_cast<cHelpState*>(cGameState::find(STATE_HELP));
    seconds(1.5f);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(help->getAnimation(i) && help->getAnimation(i)->isPlaying()) << i;
    h.expectScreen("help");
    h.key(A_KEY_ESCAPE);
    EXPECT_TRUE(h.waitForState(STATE_MENU));
}

TEST_F(InfoScreens, CompletedLevelsOpenTheEncyclopediasPages)
{
    const std::pair<std::vector<std::string>, uint16_t> cases[] = {
        {{}, 1}, {{"Level01", "Level02"}, 2}, {{"Level14", "Level02"}, 5}, {{"Level17"}, 6}};
    for (const auto& [levels, pages] : cases) {
        cPlayerProfile profile(L"P");
        for (const std::string& level : levels)
            profile.setLevelReward(level, 1);
        EXPECT_EQ(cPediaState::openPagesFor(&profile), pages) << levels.size() << " levels";
    }
    EXPECT_EQ(cPediaState::openPagesFor(nullptr), 1);

    for (const char* level : {"Level02", "Level07", "Level09"})
        player->setLevelReward(level, 2);
    ASSERT_TRUE(enter(STATE_PEDIA));
    auto* pedia = dynamic_cast<cPediaState*>(cGameState::find(STATE_PEDIA));
    ASSERT_EQ(pedia->getOpenPages(), 4);
    EXPECT_TRUE(pedia->hasPageAnimal(3));
    EXPECT_FALSE(pedia->hasPageAnimal(4));
    EXPECT_FALSE(h.widget("cheetah")->IsEnabled());
    seconds(0.5f);
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
    EXPECT_EQ(h.text("Name"), L"Hippopotamus");
    seconds(1.0f);
    h.expectScreen("encyclopedia");
    clickOn(h, "rusty");
    seconds(0.6f);
    EXPECT_EQ(h.text("Name"), L"Rusty the poacher");
}
