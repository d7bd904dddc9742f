// The three bubble windows on a screen of the running game: the hover
// tooltip's delay, replacement and flips; the one-time tip and the tips
// mask; the tutorial's hints, their blocking and their dismissal.
#include <gtest/gtest.h>

#include <functional>

#include "game/app/simpletooltip.h"
#include "game/app/tip.h"
#include "game/app/tutorialflag.h"
#include "game/app/tutorialtooltip.h"
#include "game/support/harness.h"
#include "game/support/test_screen.h"
#include "gui/statictext.h"
#include "orvo/app/a_keys.h"
#include "orvo/sound/a_soundmanager.h"
#include "support/log_capture.h"

using namespace kbtest;

namespace {

// A screen that also runs the bubbles from its draw, as the game's screens do.
class BubbleScreen : public TestScreen {
public:
    using TestScreen::TestScreen;
    void draw() override
    {
        TestScreen::draw();
        const float dt = cGame::get()->getFrameTime();
        cSimpleTooltip::update(dt);
        cTip::updateCurrent(dt);
        cTutorialTooltip::updateAll(dt);
    }
};

// A hint window of a screen's own layout.
const std::string kHintLayout = "window ParkTip\n{\n    AreaRect 362 300 300 110\n    Visible 0\n"
                                "    staticimage ParkTipBack\n    {\n        AreaRect 0 0 300 110\n"
                                "        NormalImage tooltip\n        Static 1\n    }\n"
                                "    statictext Description\n    {\n        AreaRect 30 10 240 70\n"
                                "        Font arial14\n        TextNormalColor FF281608\n        WordWrap 1\n"
                                "        Static 1\n    }\n}\n";

class Bubbles : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(h.start(), 0);
        ASSERT_TRUE(h.waitForState(STATE_MENU));
        h.makePlayer();
        h.game().getSoundManager()->stopAll();
    }
    void TearDown() override
    {
        cSimpleTooltip::destroy();
        cTip::destroy();
        cTutorialTooltip::removeAll();
        tutorial_setRunning(false);
    }

    // Started since the last stopAll (a short sound may have ended already).
    bool played(const char* sound) { return h.game().getSoundManager()->getSound(sound)->getChannel() != -1; }
    void quiet() { h.game().getSoundManager()->stopAll(); }
    int modal() { return h.game().getCurrentState()->getModalCount(); }
    void clickAt(int32_t x, int32_t y) { h.click(x, y); }
    void seconds(float s) { h.frames(static_cast<int>(s * 60.0f + 0.5f)); }

    GameHarness h;
    StateCalls calls;
    ScopedStateClass menu{STATE_MENU, [this] { return new BubbleScreen(STATE_MENU, calls, kHintLayout); }};
};

} // namespace

TEST_F(Bubbles, TheHoverTooltipWaitsFadesFlipsAndGoes)
{
    cSimpleTooltip::show(100, 300, L"Zebra");
    ASSERT_NE(cSimpleTooltip::get(), nullptr);
    EXPECT_TRUE(played("tip"));
    EXPECT_EQ(cSimpleTooltip::get()->getY(), 190) << "stands on the point";
    EXPECT_FALSE(cSimpleTooltip::get()->isFlippedLeft() || cSimpleTooltip::get()->isFlippedDown());
    EXPECT_EQ(cSimpleTooltip::get()->getTextWindow()->GetArea(), aRect(140, 195, 225, 83));

    // Shown again before its delay ran out: the first never appeared.
    seconds(0.3f);
    cSimpleTooltip::show(120, 300, L"Lion");
    EXPECT_EQ(cSimpleTooltip::getHoverTimer(), 0.0f);
    seconds(0.45f);
    EXPECT_EQ(cSimpleTooltip::get()->getAlpha(), 0.0f) << "half a second of hovering first";
    seconds(0.35f);
    EXPECT_EQ(cSimpleTooltip::get()->getAlpha(), 1.0f);
    EXPECT_EQ(cSimpleTooltip::get()->getTextWindow()->GetText(), L"Lion");

    // Near the right and top edges it turns to the left and downwards.
    cSimpleTooltip::show(900, 50, L"Hippo");
    const cSimpleTooltip* flipped = cSimpleTooltip::get();
    EXPECT_TRUE(flipped->isFlippedLeft() && flipped->isFlippedDown());
    EXPECT_EQ(flipped->getTextWindow()->GetArea(), aRect(640, 75, 225, 83));

    cSimpleTooltip::hide();
    seconds(0.4f);
    EXPECT_EQ(cSimpleTooltip::get(), nullptr) << "faded out and gone";
}

TEST_F(Bubbles, ATipShowsOnceAndItsBitIsSaved)
{
    cPlayerProfile* profile = h.game().getCurrentProfile();
    GUI::Widget* hint = h.widget("ParkTip");
    ASSERT_NE(hint, nullptr);
    EXPECT_TRUE(cTip::shouldShow(0x1000));
    cTip::create(hint, "quit_request", 0x1000);
    EXPECT_FALSE(cTip::shouldShow(0x20)) << "one tip at a time";
    // The tip's own "Description" (the shared windows have another).
    EXPECT_EQ(hint->FindChild("Description", true)->GetText(), L"Do you really want to leave the savanna?");

    seconds(0.3f);
    EXPECT_EQ(modal(), 0) << "still waiting";
    seconds(0.3f);
    EXPECT_EQ(modal(), 1);
    EXPECT_TRUE(played("tip"));
    seconds(0.3f);

    // Clicks beside it or under a message box do not close it.
    clickAt(100, 100);
    cMessageBox::show(L"c", L"m", cMessageBox::MB_OK | cMessageBox::MB_NOT_MODAL, nullptr, nullptr);
    clickAt(500, 350);
    EXPECT_TRUE(cTip::get()->isOpen());
    cMessageBox::cancel();
    seconds(0.5f);
    quiet();
    clickAt(500, 350);
    EXPECT_FALSE(cTip::get()->isOpen());
    EXPECT_TRUE(played("button_click"));
    EXPECT_EQ(profile->tipsMask, 0x1000u);
    seconds(0.4f);
    EXPECT_EQ(cTip::get(), nullptr);
    EXPECT_FALSE(hint->IsVisible());
    EXPECT_EQ(modal(), 0);
    EXPECT_FALSE(cTip::shouldShow(0x1000));
    EXPECT_TRUE(cTip::shouldShow(0x1000 | 0x20));
    ASSERT_TRUE(h.game().getProfiles().save());
    cProfiles saved;
    saved.load(h.home().userDir() + "Profiles/profiles.dat");
    EXPECT_EQ(saved.current()->tipsMask, 0x1000u);

    // During a tutorial no tip opens and a tip clicked away is not remembered.
    tutorial_setRunning(true);
    EXPECT_FALSE(cTip::shouldShow(0x20));
    cTip::create(hint, "quit_request", 0x20);
    seconds(0.8f);
    clickAt(500, 350);
    seconds(0.4f);
    EXPECT_EQ(cTip::get(), nullptr);
    EXPECT_EQ(profile->tipsMask, 0x1000u);
    EXPECT_EQ(modal(), 0);
}

TEST_F(Bubbles, PointerHintsBlockUntilClickedAwayPlainOnesTimeOut)
{
    cTutorialTooltip* hint = cTutorialTooltip::add(300, 400, "quit_request", false, 0.0f);
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(modal(), 1);
    EXPECT_TRUE(h.widget("TutorialTooltip")->IsVisible());
    EXPECT_TRUE(cTutorialTooltip::anyUnflagged() && cTutorialTooltip::anyActive());
    EXPECT_EQ(hint->getTextWindow()->GetArea(), aRect(310, 295, 280, 65));

    // Not before it is fully there (0.4 s).
    cSimpleTooltip::show(700, 600, L"Zebra");
    seconds(0.2f);
    clickAt(400, 330);
    EXPECT_TRUE(hint->isOpen());
    h.moveTo(980, 720);
    seconds(0.8f);
    h.expectScreen("hint_bubbles");
    quiet();
    clickAt(400, 330);
    EXPECT_FALSE(hint->isOpen());
    EXPECT_TRUE(played("button_click"));
    EXPECT_EQ(modal(), 0);
    EXPECT_FALSE(h.widget("TutorialTooltip")->IsVisible());
    seconds(0.5f);
    EXPECT_TRUE(cTutorialTooltip::all().empty());

    // Escape closes it too, without a sound.
    cTutorialTooltip::add(300, 400, "quit_request", false, 0.0f);
    seconds(0.5f);
    quiet();
    h.key(A_KEY_ESCAPE);
    EXPECT_FALSE(cTutorialTooltip::all().front()->isOpen());
    EXPECT_FALSE(played("button_click"));
    EXPECT_EQ(modal(), 0);
    cTutorialTooltip::removeAll();

    // A plain bubble near the right edge turns left, blocks nothing and goes after its time.
    cTutorialTooltip* plain = cTutorialTooltip::add(900, 400, "quit_request", true, 1.0f);
    EXPECT_TRUE(plain->isFlippedLeft());
    EXPECT_EQ(plain->getX(), 600);
    EXPECT_EQ(plain->getTextWindow()->GetArea().height, 75);
    plain->setPosition(900, 400);
    EXPECT_EQ(plain->getTextWindow()->GetArea().height, 55);
    EXPECT_EQ(modal(), 0);
    EXPECT_FALSE(cTutorialTooltip::anyUnflagged());
    seconds(1.2f);
    EXPECT_TRUE(cTutorialTooltip::anyActive());
    seconds(0.4f);
    EXPECT_FALSE(cTutorialTooltip::anyActive());
    seconds(0.5f);
    EXPECT_TRUE(cTutorialTooltip::all().empty());

    // Near the top it turns downwards, below the point.
    cTutorialTooltip* low = cTutorialTooltip::add(100, 50, "quit_request", true, 0.0f);
    EXPECT_TRUE(low->isFlippedDown());
    EXPECT_EQ(low->getY(), 76);
}

TEST(BubblesWithoutPictures, NoHintIsMadeAndNothingBreaks)
{
    LogCapture log;
    cGame game;
    EXPECT_EQ(cTutorialTooltip::add(10, 10, "x", false, 0.0f), nullptr);
    cTutorialTooltip::updateAll(0.1f);
    EXPECT_FALSE(cTutorialTooltip::anyActive());
    cSimpleTooltip::show(10, 10, L"t");
    cSimpleTooltip::update(1.0f);
    cSimpleTooltip::update(1.0f);
    cSimpleTooltip::hide();
    cSimpleTooltip::update(1.0f);
    EXPECT_EQ(cSimpleTooltip::get(), nullptr);
    // A tip without its window is gone at the first update.
    cTip::create(nullptr, "x", 1);
    cTip::updateCurrent(0.1f);
    EXPECT_EQ(cTip::get(), nullptr);
}
