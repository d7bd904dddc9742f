// The three bubble windows on a screen of the running game, walked in turn:
// the hover tooltip's delay, replacement and flips; the one-time tip and the
// saved tips mask; the tutorial's hints, their blocking and their dismissal.
#include <gtest/gtest.h>

#include "game/app/simpletooltip.h"
#include "game/app/tip.h"
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
    void TearDown() override
    {
        cSimpleTooltip::destroy();
        cTip::destroy();
        cTutorialTooltip::removeAll();
    }
    // Started since the last quiet() (a short sound may have ended already).
    bool played(const char* sound) { return h.game().getSoundManager()->getSound(sound)->getChannel() != -1; }
    void quiet() { h.game().getSoundManager()->stopAll(); }
    int modal() { return h.game().getCurrentState()->getModalCount(); }
    void seconds(float s) { h.frames(static_cast<int>(s * 60.0f + 0.5f)); }

    GameHarness h;
    StateCalls calls;
    ScopedStateClass menu{STATE_MENU, [this] { return new BubbleScreen(STATE_MENU, calls, kHintLayout); }};
};

} // namespace

TEST_F(Bubbles, HoverTooltipOneTimeTipAndTutorialHints)
{
    ASSERT_EQ(h.start(), 0);
    ASSERT_TRUE(h.waitForState(STATE_MENU));
    cPlayerProfile* profile = h.makePlayer();
    quiet();

    // The hover tooltip shows after half a second; shown again before that, it starts over.
    cSimpleTooltip::show(100, 300, L"Zebra");
    EXPECT_TRUE(played("tip"));
    seconds(0.3f);
    cSimpleTooltip::show(120, 300, L"Lion");
    seconds(0.45f);
    EXPECT_EQ(cSimpleTooltip::get()->getAlpha(), 0.0f);
    seconds(0.35f);
    EXPECT_EQ(cSimpleTooltip::get()->getAlpha(), 1.0f);
    EXPECT_EQ(cSimpleTooltip::get()->getTextWindow()->GetText(), L"Lion");
    // Near the right and top edges it turns left and downwards.
    cSimpleTooltip::show(900, 50, L"Hippo");
    EXPECT_TRUE(cSimpleTooltip::get()->isFlippedLeft() && cSimpleTooltip::get()->isFlippedDown());
    cSimpleTooltip::hide();
    seconds(0.4f);
    EXPECT_EQ(cSimpleTooltip::get(), nullptr);

    // A tip waits half a second, then blocks; one tip at a time; its own Description shows the text.
    GUI::Widget* window = h.widget("ParkTip");
    cTip::create(window, "quit_request", 0x1000);
    EXPECT_FALSE(cTip::shouldShow(0x20));
    EXPECT_EQ(window->FindChild("Description", true)->GetText(), L"Do you really want to leave the savanna?");
    seconds(0.3f);
    EXPECT_EQ(modal(), 0);
    seconds(0.6f);
    EXPECT_EQ(modal(), 1);
    // Clicks beside it or under a message box do not close it; one on it does and marks the player.
    // (The tutorial's own walk shows that tips neither open nor are marked during a tutorial.)
    h.click(100, 100);
    cMessageBox::show(L"c", L"m", cMessageBox::MB_OK | cMessageBox::MB_NOT_MODAL, nullptr, nullptr);
    h.click(500, 350);
    EXPECT_TRUE(cTip::get()->isOpen());
    cMessageBox::cancel();
    seconds(0.5f);
    quiet();
    h.click(500, 350);
    EXPECT_TRUE(played("button_click"));
    seconds(0.4f);
    EXPECT_EQ(cTip::get(), nullptr);
    EXPECT_EQ(modal(), 0);
    EXPECT_FALSE(cTip::shouldShow(0x1000));
    EXPECT_EQ(profile->tipsMask, 0x1000u);

    // A pointing hint blocks, and takes no click before it is fully there (0.4 s).
    cTutorialTooltip* hint = cTutorialTooltip::add(300, 400, "quit_request", false, 0.0f);
    EXPECT_EQ(modal(), 1);
    EXPECT_TRUE(cTutorialTooltip::anyUnflagged() && cTutorialTooltip::anyActive());
    cSimpleTooltip::show(700, 600, L"Zebra");
    seconds(0.2f);
    h.click(400, 330);
    EXPECT_TRUE(hint->isOpen());
    h.moveTo(980, 720);
    seconds(0.8f);
    h.expectScreen("hint_bubbles");
    quiet();
    h.click(400, 330);
    EXPECT_FALSE(hint->isOpen());
    EXPECT_TRUE(played("button_click"));
    EXPECT_EQ(modal(), 0);
    seconds(0.5f);
    EXPECT_TRUE(cTutorialTooltip::all().empty());
    // Escape closes one too, without a sound.
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
    EXPECT_EQ(modal(), 0);
    EXPECT_FALSE(cTutorialTooltip::anyUnflagged());
    seconds(1.2f);
    EXPECT_TRUE(cTutorialTooltip::anyActive());
    seconds(0.4f);
    EXPECT_FALSE(cTutorialTooltip::anyActive());
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
    cSimpleTooltip::show(10, 10, L"t");
    cSimpleTooltip::update(1.0f);
    cSimpleTooltip::hide();
    cSimpleTooltip::update(1.0f);
    EXPECT_EQ(cSimpleTooltip::get(), nullptr);
    // A tip without its window is gone at the first update.
    cTip::create(nullptr, "x", 1);
    cTip::updateCurrent(0.1f);
    EXPECT_EQ(cTip::get(), nullptr);
}
