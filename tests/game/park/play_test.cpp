// The play state driven by a scripted player: the fenced park won with the
// HUD's tools; refusals, refunds and rewards that never count twice; a level
// that cannot load.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "game/app/playerprofile.h"
#include "game/app/tutorialtooltip.h"
#include "game/park/animal.h"
#include "game/park/food.h"
#include "game/park/goalswindow.h"
#include "game/park/helicopter.h"
#include "game/park/missionresults.h"
#include "game/park/poacher.h"
#include "game/support/play_game.h"
#include "orvo/platform/a_keycodes.h"

namespace kbtest {
namespace {

// A fixed copy of the fenced park, so the shipped levels can change under the game.
const std::string kFencedPark = std::string(KB_TEST_DATA_DIR) + "/levels/Level01.ini";

class PlayGame : public PlayStateGame {
protected:
    int modal() { return state()->getModalCount(); }
    void rightClick()
    {
        for (bool down : {true, false})
            h.input().setButton(1, down), h.frame();
    }
};

TEST_F(PlayGame, APlayerWinsTheFencedParkWithEveryTool)
{
    player->setUpgradeStage(3, 2); // a helicopter for three
    ASSERT_TRUE(play(kFencedPark));
    passIntro();
    // A zebra bought from its button; grass bought and put on herbivore ground.
    level()->addMoney(250);
    const size_t animals = level()->animals.size();
    const int32_t beforeBuy = level()->money, price = level()->animalPrice("zebra");
    clickWidget("zebra");
    EXPECT_EQ(level()->animals.size(), animals + 1);
    EXPECT_EQ(level()->money, beforeBuy - price);
    clickWidget("Grass");
    const size_t foods = level()->foods.size();
    h.click(250, 560);
    EXPECT_EQ(level()->foods.size(), foods + 1);
    rightClick();
    EXPECT_EQ(state()->getCursorMode(), cPlayState::MODE_NONE);
    // A sick zebra healed with the heal tool.
    cAnimal* patient = *std::find_if(level()->animals.begin(), level()->animals.end(),
                                     [](cAnimal* a) { return a->kind->name == "zebra" && a->isLiving(); });
    patient->getSick();
    const int32_t healed = player->getAwardProgress(9);
    clickWidget("Heal");
    patient->hold();
    clickRect(patient->getScreenRect());
    EXPECT_FALSE(patient->sick);
    EXPECT_EQ(player->getAwardProgress(9), healed + 1);
    patient->freeRunning = true;
    patient->held = false;
    // A poacher clicked at.
    cPoacher* hunter = level()->spawnPoacherWave("hunter");
    ASSERT_NE(hunter, nullptr);
    waitFor([hunter] { return hunter->fade >= cPoacher::kAppearedFade; }, 200 * kDt);
    const float health = hunter->health;
    clickRect(hunter->getHitRect());
    EXPECT_LT(hunter->health, health);
    // With a window open nothing moves and the clock stands still.
    h.key(A_KEY_ESCAPE);
    ASSERT_EQ(modal(), 1);
    h.frame();
    const auto where = std::pair(hunter->anchor, patient->anchor);
    const float clock = state()->getElapsed();
    seconds(5.0f);
    EXPECT_EQ(state()->getElapsed(), clock);
    EXPECT_EQ(std::pair(hunter->anchor, patient->anchor), where);
    h.key(A_KEY_ESCAPE);
    seconds(0.5f);
    EXPECT_GT(state()->getElapsed(), clock);
    // Three grown zebras sold by helicopter.
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(level()->spawnAnimals("zebra", true));
        level()->animals.back()->makeGrown(false);
        level()->addForSale(level()->animals.back());
    }
    h.frame();
    reviewScreen("play_hud");
    clickWidget("Sell");
    ASSERT_TRUE(cHelicopter::getSingletonPtr()->underWay());
    waitFor([] { return !cHelicopter::getSingletonPtr()->underWay(); }, 100.0f);
    EXPECT_EQ(level()->goals[0].type == cGoal::SOLD ? level()->goals[0].progress : level()->goals[1].progress, 3);
    // The money goal wins: the goals window ticks the goals off.
    if (level()->state != 1)
        level()->addMoney(600);
    seconds(0.2f);
    ASSERT_EQ(level()->state, 1);
    EXPECT_TRUE(state()->getGoalsWindow()->isFinal());
    EXPECT_EQ(player->getLevelReward("Level01"), 2) << "won within the gold time";
    seconds(2.0f);
    reviewScreen("play_goals_final");
    // The results count the reward over and lead on to the park.
    clickChild("Goals", "Close");
    seconds(2.0f);
    ASSERT_NE(cMissionResults::get(), nullptr);
    reviewScreen("play_results");
    clickWidget("CloseBtn");
    EXPECT_TRUE(h.waitForState(STATE_PARK));
}

TEST_F(PlayGame, RefusalsRefundsWindowsAndRewardsThatNeverCountTwice)
{
    ASSERT_TRUE(play(kFencedPark));
    passIntro();
    const cFood* grass = cFood::findKind(0, 1);
    ASSERT_NE(grass, nullptr);
    // Short of money: refused with a sign over the money and the hint, once per player.
    level()->setMoney(0);
    clickWidget("Grass");
    EXPECT_EQ(state()->getCursorMode(), cPlayState::MODE_NONE);
    EXPECT_TRUE(player->tipsMask & 0x400);
    EXPECT_EQ(cTutorialTooltip::all().size(), 1u);
    seconds(3.5f);
    clickWidget("Grass");
    EXPECT_TRUE(cTutorialTooltip::all().empty() || !cTutorialTooltip::anyActive()) << "the hint is not shown twice";
    // Buying up to the stock, then the refund of every held portion, which earns nothing.
    level()->setMoney(1000);
    for (int i = 0; i < grass->countInStock + 1; ++i)
        clickWidget("Grass");
    EXPECT_EQ(state()->getPortions(), grass->countInStock) << "no more than the stock is held";
    EXPECT_EQ(level()->money, 1000 - grass->cost * grass->countInStock / grass->countOnClick);
    const int32_t earned = player->getAwardProgress(6);
    h.moveTo(250, 560);
    rightClick();
    EXPECT_EQ(level()->money, 1000);
    EXPECT_EQ(player->getAwardProgress(6), earned);
    // The goals window shown again while open, and the menu opened twice, count once.
    state()->getGoalsWindow()->show(1.0f, false, false);
    state()->getGoalsWindow()->show(1.0f, false, false);
    EXPECT_EQ(modal(), 1);
    h.key(A_KEY_ESCAPE);
    seconds(1.0f);
    EXPECT_FALSE(state()->getGoalsWindow()->isVisible()) << "Escape closes the goals window first";
    EXPECT_EQ(modal(), 0);
    clickWidget("Menu");
    state()->openIngameMenu();
    EXPECT_EQ(modal(), 1);
    clickChild("IngameMenu", "Close");
    seconds(0.5f);
    EXPECT_EQ(modal(), 0);
    // A replay at silver pace keeps an earlier gold; the larger of reward and money is paid.
    player->setLevelReward("Level01", 2);
    level()->rewards.goldTime = 0;
    level()->setMoney(50);
    const int32_t before = player->stars;
    EXPECT_EQ(state()->grantLevelReward(), level()->rewards.silverReward);
    EXPECT_EQ(player->stars, before + level()->rewards.silverReward);
    EXPECT_EQ(player->getLevelReward("Level01"), 2);
    level()->setMoney(level()->rewards.silverReward + 1);
    EXPECT_EQ(state()->grantLevelReward(), level()->rewards.silverReward + 1);
    // A restart builds the level again in place, with its background, and the intro runs again.
    cPlayState::requestRestart();
    h.frame();
    ASSERT_NE(level(), nullptr);
    EXPECT_NE(g_levelBackground, nullptr);
    EXPECT_EQ(state()->getElapsed(), 0.0f);
    EXPECT_EQ(level()->money, 90);
    passIntro();
    // A gold reward above the money left is added once: the results count it up without paying it again.
    level()->setMoney(120);
    const int32_t starsBefore = player->stars;
    level()->state = 1;
    seconds(0.2f);
    EXPECT_EQ(player->stars, starsBefore + 500);
    seconds(2.5f);
    clickChild("Goals", "Close");
    seconds(2.0f);
    ASSERT_NE(cMissionResults::get(), nullptr);
    EXPECT_EQ(h.text("PlayerValue"), std::to_wstring(starsBefore + 500) + L"$");
    EXPECT_EQ(player->stars, starsBefore + 500);
}

// The menu's Options opens over the menu and holds the level as the menu
// does; Ok, Cancel and Escape each close it back to the menu.
TEST_F(PlayGame, TheMenusOptionsOpenOnTopHoldTheLevelAndCloseBackToTheMenu)
{
    ASSERT_TRUE(play(kFencedPark));
    passIntro();
    h.tap(A_KEY_ESCAPE); // a quick tap opens the menu
    seconds(0.5f);
    ASSERT_TRUE(h.widget("IngameMenu")->IsVisible());
    const float clock = state()->getElapsed();
    const GUI::Widget* options = h.widget("Options_win");
    for (const char* way : {"Ok", "Escape", "Cancel"}) {
        clickChild("IngameMenu", "Options");
        seconds(0.5f);
        ASSERT_TRUE(options->IsVisible()) << way;
        EXPECT_EQ(modal(), 2) << way;
        if (std::string(way) == "Ok")
            reviewScreen("play_options");
        // Resume lies under the window: a click there stays in the options.
        clickChild("IngameMenu", "Close");
        seconds(0.5f);
        EXPECT_TRUE(h.widget("IngameMenu")->IsVisible()) << way;
        if (std::string(way) == "Escape")
            h.tap(A_KEY_ESCAPE);
        else
            clickChild("Options_win", way);
        seconds(0.5f);
        EXPECT_FALSE(options->IsVisible()) << way;
        EXPECT_TRUE(h.widget("IngameMenu")->IsVisible()) << way;
        EXPECT_EQ(modal(), 1) << way;
    }
    EXPECT_EQ(state()->getElapsed(), clock) << "the level stood still all along";
    h.tap(A_KEY_ESCAPE);
    seconds(0.5f);
    EXPECT_EQ(modal(), 0);
    EXPECT_GT(state()->getElapsed(), clock);
}

// What could be taken for something else: the helicopter's free seat in the
// screen's corner sits on the Sell button's tag (no resize grip), and the
// question about leaving for the main menu is not titled like quitting.
TEST_F(PlayGame, TheSeatsInTheCornerAndTheLeaveQuestionReadAsWhatTheyAre)
{
    ASSERT_TRUE(play(kFencedPark));
    passIntro();
    h.frame();
    reviewScreen("play_hud_corner");
    const std::vector<uint32_t> shot = h.screenshot();
    ASSERT_EQ(shot.size(), 1024u * 768u);
    const aRect sell = h.widget("Sell")->GetAbsoluteRect();
    const aRect seat(static_cast<int16_t>(sell.x + 52 + 16), static_cast<int16_t>(sell.y + 77), 13, 14);
    auto light = [&](int x, int y) {
        const uint32_t c = shot[static_cast<size_t>(y) * 1024 + static_cast<size_t>(x)];
        return ((c >> 16 & 0xFF) + (c >> 8 & 0xFF) + (c & 0xFF)) / 3 > 180;
    };
    const int midY = seat.y + seat.height / 2;
    for (const int x : {seat.x - 3, seat.x + seat.width + 2})
        EXPECT_TRUE(light(x, midY)) << "beside the seat at " << x << "," << midY;
    h.tap(A_KEY_ESCAPE);
    seconds(0.5f);
    clickChild("IngameMenu", "MainMenu");
    seconds(0.5f);
    ASSERT_TRUE(h.widget("MessageBox")->IsVisible());
    EXPECT_NE(h.text("Caption"), h.game().getText("quit")) << "titled like the Quit button";
    EXPECT_EQ(h.text("MessageText"), h.game().getText("quit_to_menu"));
}

TEST_F(PlayGame, ALevelThatCannotLoadGoesBackToTheMapWithAMessage)
{
    writeFile(dir.file("Broken.ini"), "[DATA]\nWalkableMask=levels:missing.png\n");
    ASSERT_TRUE(play(dir.file("Broken.ini")));
    EXPECT_EQ(level(), nullptr);
    h.frame();
    ASSERT_TRUE(h.widget("MessageBox")->IsVisible());
    h.frames(20);
    clickWidget("OkBtn");
    EXPECT_TRUE(h.waitForState(STATE_MAP));
    EXPECT_FALSE(state()->isInitiated());
}

} // namespace
} // namespace kbtest
