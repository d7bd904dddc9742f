// The credits, help and encyclopedia screens in the running game: the
// credits' restart, the help scenes, the pages the completed levels open.
#include "game/app/loadingscreen.h"
#include "game/screens/screens_fixture.h"
#include "game/support/player_steps.h"
#include "orvo/app/a_keys.h"

using namespace kbtest;
using InfoScreens = ScreensGame;

TEST_F(InfoScreens, TheCreditsScrollRestartAndLeave)
{
    cLoadingScreen::resetCycles(); // the same loading picture whichever tests ran before
    ASSERT_TRUE(enter(STATE_CREDITS));
    auto* credits = dynamic_cast<cCreditsState*>(cGameState::find(STATE_CREDITS));
    seconds(1.0f);
    // Once the last line has left the top, the text starts again from the bottom.
    credits->setScrollY(-(static_cast<float>(credits->getLines().lines().size()) + 1.0f) * credits->lineHeight() +
                        0.5f);
    h.frame();
    EXPECT_EQ(credits->getScrollY(), cCreditsState::START_Y);
    credits->setScrollY(560.0f - 8 * credits->lineHeight());
    seconds(0.5f);
    h.expectScreen("credits");
    clickOn(h, "Back");
    EXPECT_TRUE(h.waitForState(STATE_MENU));
}

TEST_F(InfoScreens, TheHelpScreenPlaysItsScenesAndCloses)
{
    ASSERT_TRUE(enter(STATE_HELP));
    seconds(1.5f);
    h.expectScreen("help");
    h.key(A_KEY_ESCAPE);
    EXPECT_TRUE(h.waitForState(STATE_MENU));
}

TEST_F(InfoScreens, CompletedLevelsOpenTheEncyclopediasPages)
{
    cPlayerProfile profile(L"P");
    profile.setLevelReward("Level14", 1);
    profile.setLevelReward("Level02", 1);
    EXPECT_EQ(cPediaState::openPagesFor(&profile), 5) << "the furthest level counts";
    EXPECT_EQ(cPediaState::openPagesFor(nullptr), 1);

    for (const char* level : {"Level02", "Level07", "Level09"})
        player->setLevelReward(level, 2);
    ASSERT_TRUE(enter(STATE_PEDIA));
    auto* pedia = dynamic_cast<cPediaState*>(cGameState::find(STATE_PEDIA));
    ASSERT_EQ(pedia->getOpenPages(), 4);
    seconds(0.5f);
    clickOn(h, "cheetah");
    EXPECT_EQ(pedia->getSelectedPage(), 0) << "a closed page does nothing";
    clickOn(h, "hippo");
    EXPECT_EQ(pedia->getSelectedPage(), 3);
    seconds(1.2f);
    h.expectScreen("encyclopedia");
    clickOn(h, "rusty");
    seconds(0.6f);
    EXPECT_EQ(h.text("Name"), L"Rusty the poacher") << "a page without an animal";
}
