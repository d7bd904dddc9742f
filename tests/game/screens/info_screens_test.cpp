// The credits, help and encyclopedia screens in the running game, and the
// encyclopedia pages the completed levels open.
#include "game/app/loadingscreen.h"
#include "game/park/food.h"
#include "game/screens/screens_fixture.h"
#include "game/support/player_steps.h"
#include "orvo/app/a_keys.h"

using namespace kbtest;
using InfoScreens = ScreensGame;

TEST_F(InfoScreens, TheCreditsScrollAndLeave)
{
    cLoadingScreen::resetCycles(); // the same loading picture whichever tests ran before
    ASSERT_TRUE(enter(STATE_CREDITS));
    auto* credits = dynamic_cast<cCreditsState*>(cGameState::find(STATE_CREDITS));
    h.frames(61); // the moment the picture was drawn at
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
    // The tools' tags carry their prices, and the producing warthog has its caption.
    EXPECT_EQ(h.text("HelpGrassPrice"), h.game().formatMoney(cFood::findKind(0, 1)->cost));
    EXPECT_EQ(h.text("HelpMeatPrice"), h.game().formatMoney(cFood::findKind(1, 1)->cost));
    EXPECT_EQ(h.text("HelpProduce"), h.game().getText("help.produce"));
    // Escape leaves when it is let go, so the menu never sees its release (and asks to quit).
    h.input().setKey(A_KEY_ESCAPE, true);
    h.frames(3);
    EXPECT_EQ(h.game().getCurrentState()->getId(), STATE_HELP);
    h.input().setKey(A_KEY_ESCAPE, false);
    EXPECT_TRUE(h.waitForState(STATE_MENU));
}

TEST_F(InfoScreens, CompletedLevelsOpenTheEncyclopediasPages)
{
    EXPECT_EQ(cPediaState::openPagesFor(nullptr), 1);
    for (const char* level : {"Level02", "Level07", "Level09"})
        player->setLevelReward(level, 2);
    ASSERT_TRUE(enter(STATE_PEDIA));
    auto* pedia = dynamic_cast<cPediaState*>(cGameState::find(STATE_PEDIA));
    ASSERT_EQ(pedia->getOpenPages(), 4) << "the furthest level counts";
    seconds(0.5f);
    clickOn(h, "cheetah");
    EXPECT_EQ(pedia->getSelectedPage(), 0) << "a closed page does nothing";
    clickOn(h, "hippo");
    EXPECT_EQ(pedia->getSelectedPage(), 3);
    seconds(1.2f);
    h.expectScreen("encyclopedia");
    clickOn(h, "rusty");
    seconds(1.0f);
    EXPECT_EQ(h.text("Name"), L"Rusty the poacher") << "a page without an animal";
    // Its picture shows him.
    h.expectScreen("encyclopedia_poacher");
}
