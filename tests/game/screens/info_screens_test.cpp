// The credits' fades by height and their restart, the credits, help and encyclopedia screens in the
// running game, and the encyclopedia pages the completed levels open.
#include "game/app/loadingscreen.h"
#include "game/park/food.h"
#include "game/screens/screens_fixture.h"
#include "game/support/player_steps.h"
#include "orvo/app/a_keys.h"
#include "orvo/gfx/a_advanim.h"

using namespace kbtest;
using InfoScreens = ScreensGame;

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

TEST_F(InfoScreens, TheCreditsScrollAndLeave)
{
    cLoadingScreen::resetCycles(); // the same loading picture whichever tests ran before
    ASSERT_TRUE(enter(STATE_CREDITS));
    auto* credits = dynamic_cast<cCreditsState*>(cGameState::find(STATE_CREDITS));
    h.frames(61); // the moment the picture was drawn at
    credits->setScrollY(560.0f - 8 * credits->lineHeight());
    seconds(0.5f);
    h.expectScreen("credits");
    // Once the last line has left the top, the text starts again from the bottom.
    credits->setScrollY(-(static_cast<float>(credits->getLines().count()) + 1.0f) * credits->lineHeight() + 0.5f);
    h.frame();
    EXPECT_EQ(credits->getScrollY(), cCreditsState::START_Y);
    clickOn(h, "Back");
    EXPECT_TRUE(h.waitForState(STATE_MENU));
}

TEST_F(InfoScreens, TheHelpScreenPlaysItsScenesAndCloses)
{
    // The tools' tags carry the shipped prices, which our data tool writes into the layout: a price
    // changed in the running game does not reach them.
    cFood* grass = cFood::findKind(0, 1);
    const cFood* meat = cFood::findKind(1, 1);
    ASSERT_TRUE(grass && meat);
    const int32_t shipped = grass->cost;
    grass->cost = shipped + 7;
    const bool entered = enter(STATE_HELP);
    grass->cost = shipped;
    ASSERT_TRUE(entered);
    seconds(1.5f);
    h.expectScreen("help");
    EXPECT_EQ(h.text("HelpGrassPrice"), h.game().formatMoney(shipped));
    EXPECT_EQ(h.text("HelpMeatPrice"), h.game().formatMoney(meat->cost));
    // The producing warthog has its caption.
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
    // A closed page's button takes no click, and the page's note says why.
    EXPECT_TRUE(h.widget("cheetah")->IsEnabled());
    clickOn(h, "cheetah");
    EXPECT_EQ(pedia->getSelectedPage(), 0) << "a closed page does nothing";
    EXPECT_EQ(h.text("PediaLocked"), h.game().getText("pedia_locked"));
    clickOn(h, "hippo");
    EXPECT_EQ(pedia->getSelectedPage(), 3);
    // The hippo's idle plays to its end and stays ended, still drawn on its last frame, while it rests.
    ASSERT_TRUE(waitFor([&] { return pedia->getShownPage() == 3 && pedia->getShownIdle()->isFinished(); }, 4.0f));
    const aAdvAnim* ended = pedia->getShownIdle();
    seconds(1.0f);
    EXPECT_TRUE(pedia->getShownIdle() == ended && ended->isFinished() && !ended->isPlaying());
    h.expectScreen("encyclopedia");
    // After its rest an idle plays again.
    ASSERT_TRUE(waitFor([&] { return pedia->getShownIdle()->isPlaying(); }, 1.5f));
    clickOn(h, "rusty");
    seconds(1.0f);
    EXPECT_EQ(h.text("Name"), L"Rusty the poacher") << "a page without an animal";
    // Its picture shows him.
    h.expectScreen("encyclopedia_poacher");
}
