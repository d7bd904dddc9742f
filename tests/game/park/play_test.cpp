// The play state driven by a scripted player: the fenced park won with the
// HUD's tools; refusals, refunds and rewards that never count twice; a level
// that cannot load.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "game/app/playerprofile.h"
#include "game/app/tutorialtooltip.h"
#include "game/park/animal.h"
#include "game/park/bonus.h"
#include "game/park/flyawaytext.h"
#include "game/park/food.h"
#include "game/park/goalswindow.h"
#include "game/park/helicopter.h"
#include "game/park/missionresults.h"
#include "game/park/poacher.h"
#include "game/support/play_game.h"
#include "game/support/shipped_data.h"
#include "orvo/platform/a_keycodes.h"
#include "orvo/sound/a_sound.h"
#include "orvo/sound/a_soundmanager.h"

namespace kbtest {
namespace {

// A fixed copy of the fenced park, so the shipped levels can change under the game.
const std::string kFencedPark = std::string(KB_TEST_DATA_DIR) + "/levels/Level01.ini";

class PlayGame : public PlayStateGame {
protected:
    int modal() { return state()->getModalCount(); }
    static bool overlaps(const aRect& a, const aRect& b)
    {
        return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
    }
    // The boxes the HUD draws along the top: the goals strip (as wide as its
    // goals), the medal box and the timer.
    std::vector<aRect> topStrip()
    {
        const auto goals = static_cast<int32_t>(level()->goals.size());
        const int32_t width = 20 + 90 * goals;
        return {aRect(static_cast<int16_t>(512 + 45 - width / 2), 0, static_cast<uint16_t>(width), 32),
                aRect(808, 0, 90, 32), aRect(900, 0, 90, 32)};
    }
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
    // Every heal is heard, even while the last one's sound still plays.
    aSound* healSound = h.game().getSoundManager()->getSound("heal");
    ASSERT_NE(healSound, nullptr);
    healSound->play();
    const int32_t earlier = healSound->getChannel();
    clickWidget("Heal");
    patient->hold();
    clickRect(patient->getScreenRect());
    EXPECT_FALSE(patient->sick);
    EXPECT_NE(healSound->getChannel(), earlier);
    EXPECT_TRUE(healSound->isPlaying());
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

// An old warthog of a shipped level sold through the Sell button: it waits,
// held, for the helicopter and vanishes without a death as it is passed; the
// delivery panel slides into view, a click on it hurries the small helicopter
// for a moment, and the credit comes once, its text on the screen.
TEST_F(PlayGame, ASoldAnimalIsFlownAwayAndTheDeliveryPanelComesIntoView)
{
    ASSERT_TRUE(play("levels:Level04.ini"));
    passIntro();
    ASSERT_TRUE(level()->spawnAnimals("warthog", true));
    cAnimal* sold = level()->animals.back();
    sold->makeGrown(false);
    sold->ageOrProduced = static_cast<float>(sold->kind->numOfProducing);
    level()->addForSale(sold);
    h.frame();
    cHelicopter* helo = cHelicopter::getSingletonPtr();
    GUI::Widget* panel = h.widget("Helo_map");
    ASSERT_NE(panel, nullptr);
    const auto sellGoal = std::find_if(level()->goals.begin(), level()->goals.end(),
                                       [](const cGoal& g) { return g.type == cGoal::SOLD; });
    ASSERT_NE(sellGoal, level()->goals.end());
    const cGoal& goal = *sellGoal;
    const int32_t money = level()->money, progress = goal.progress, awarded = player->getAwardProgress(0);
    clickWidget("Sell");
    ASSERT_TRUE(helo->underWay());
    aSound* clickSound = h.game().getSoundManager()->getSound("helo_click");
    ASSERT_NE(clickSound, nullptr);
    bool inLevel = true, clicked = false;
    int32_t raises = 0, last = money, panelFrames = 0, panelInView = 0, panelOverStrip = 0;
    for (int i = 0; i < 30 * 40 && helo->underWay(); ++i) {
        h.frame();
        if (inLevel && std::find(level()->animals.begin(), level()->animals.end(), sold) == level()->animals.end()) {
            inLevel = false;
            EXPECT_LT(helo->anchor.x, sold->anchor.x) << "taken once the helicopter has passed it";
            EXPECT_EQ(helo->state, cHelicopter::FLYING);
        }
        if (inLevel) {
            ASSERT_NE(sold->state, cAnimalKind::DEATH) << "frame " << i;
            aSound* death = sold->sounds[cAnimal::SND_DISAPPEAR];
            ASSERT_FALSE(death && death->isPlaying()) << "frame " << i;
        }
        raises += level()->money > last;
        last = level()->money;
        if (helo->state != cHelicopter::FLYING) {
            const aRect r = panel->GetAbsoluteRect();
            ++panelFrames;
            panelInView += r.x >= 0 && r.y >= 0 && r.x + r.width <= 1024 && r.y + r.height <= 768;
            // Sliding in and out it passes no box of the top strip.
            for (const aRect& box : topStrip())
                panelOverStrip += overlaps(r, box);
        }
        // Half-way across, the player clicks the panel: 0.1 faster, with its
        // sound, drained back to the base speed within a quarter second.
        if (!clicked && helo->state == cHelicopter::DELIVERING && helo->delivery > 0.5f) {
            clicked = true;
            EXPECT_TRUE(h.widget("Click_text")->IsVisible());
            const float base = helo->baseSpeed;
            ASSERT_FLOAT_EQ(helo->speed, base);
            clickRect(panel->GetAbsoluteRect());
            EXPECT_TRUE(helo->clicked);
            EXPECT_FLOAT_EQ(helo->speed, base + 0.1f);
            EXPECT_TRUE(clickSound->isPlaying());
            reviewScreen("play_delivery");
            seconds(0.3f);
            EXPECT_FLOAT_EQ(helo->speed, base);
        }
    }
    ASSERT_FALSE(helo->underWay());
    EXPECT_FALSE(inLevel) << "the sold warthog left the park";
    EXPECT_TRUE(clicked);
    EXPECT_GE(panelInView * 10, panelFrames * 9) << panelInView << " of " << panelFrames << " frames in view";
    EXPECT_EQ(panelOverStrip, 0) << "frames the delivery panel passed over or under the goals or the timers";
    // Credited once: the money, the goal, the award; the gain flies up on the screen.
    EXPECT_EQ(raises, 1);
    EXPECT_GT(level()->money, money);
    EXPECT_EQ(goal.progress, progress + 1);
    EXPECT_EQ(player->getAwardProgress(0), awarded + 1);
    const std::wstring gain = h.game().formatMoneyGain(level()->money - money);
    const auto text = std::find_if(cFlyAwayText::live().begin(), cFlyAwayText::live().end(),
                                   [&gain](const cFlyAwayText* t) { return t->text == gain; });
    ASSERT_NE(text, cFlyAwayText::live().end());
    const aVector2 at = (*text)->position;
    EXPECT_TRUE(at.x > 0.0f && at.x < 1024.0f && at.y > 0.0f && at.y < 768.0f) << at.x << ", " << at.y;
}

TEST_F(PlayGame, RefusalsRefundsWindowsAndRewardsThatNeverCountTwice)
{
    player->setUpgradeStage(2, 1); // the in-level food upgrades are offered
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
    // Portions bought before the grass upgrade come back at what they cost, not at the dearer grass's price.
    for (int i = 0; i < grass->countInStock; ++i)
        clickWidget("Grass");
    const int32_t paid = 1000 - level()->money;
    clickWidget("Grass_upgrade");
    const int32_t upgraded = level()->money;
    ASSERT_LT(upgraded, 1000 - paid) << "the upgrade was bought";
    h.moveTo(250, 560);
    rightClick();
    EXPECT_EQ(level()->money, upgraded + paid);
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
    // A total at the top of its range (as a profile file may hold it) stays there.
    const int32_t stars = player->stars;
    player->stars = INT32_MAX - 5;
    state()->grantLevelReward();
    EXPECT_EQ(player->stars, INT32_MAX);
    player->stars = stars;
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
    // A replay of the level won with gold, this time after the silver time:
    // the goals window offers the reward without a medal, the results count
    // up that reward (not the gold one) from the total the player had.
    cPlayState::requestRestart();
    h.frame();
    passIntro();
    level()->rewards.goldTime = level()->rewards.silverTime = 0;
    level()->setMoney(10);
    const int32_t starsOfReplay = player->stars, baseReward = level()->rewards.baseReward;
    for (cGoal& goal : level()->goals) {
        goal.progress = goal.target;
        goal.done = true;
    }
    level()->state = 1;
    seconds(0.2f);
    EXPECT_EQ(player->stars, starsOfReplay + baseReward);
    seconds(2.5f);
    reviewScreen("play_goals_reward");
    clickChild("Goals", "Close");
    ASSERT_NE(cMissionResults::get(), nullptr);
    EXPECT_EQ(cMissionResults::get()->timeReward, baseReward);
    EXPECT_EQ(cMissionResults::get()->playerBefore, starsOfReplay);
    seconds(2.0f);
    EXPECT_EQ(h.text("PlayerValue"), std::to_wstring(starsOfReplay + baseReward) + L"$");
    EXPECT_EQ(player->getLevelReward("Level01"), 2) << "the gold stays on the record";
}

// Everything the HUD covers, shown or hidden: the board and its tools, the buy,
// ability and food upgrade buttons over it.
void hudRects(const GUI::Widget* widget, std::vector<aRect>& out)
{
    out.push_back(widget->GetAbsoluteRect());
    for (const GUI::Widget* child : widget->GetChildren())
        hudRects(child, out);
}

// How far from its feet a creature of a shipped level drops a coin: half its
// frame width at its largest (a grown animal grows up to a tenth larger).
float coinReach(const std::string& name)
{
    const std::string animal = shippedData() + "Animals/" + name + "/";
    const bool poacher = !std::filesystem::exists(animal);
    const std::string dir = poacher ? shippedData() + "Poachers/" + name + "/" : animal;
    const std::string sheet = dir + "animations/" + (poacher ? "walk_right.ini" : "adult_walk_right.ini");
    const std::string scale =
        iniSection(dir + name + ".ini", "DATA").getString(poacher ? "BaseScale" : "AdultBaseScale");
    const float width = static_cast<float>(iniSection(sheet, "_General_").getInt("Width"));
    EXPECT_GT(width, 0.0f) << sheet;
    return width * 0.5f * (scale.empty() ? 1.0f : std::stof(scale)) * (poacher ? 1.0f : 1.1f);
}

// Animals walked behind the HUD, where nobody could see or click them: at any
// walkable point of a shipped level an animal, a food portion or a poacher
// stands clear of everything the HUD can show (with three buy buttons and
// every ability), and so does every coin it can drop there.
TEST_F(PlayGame, ShippedGroundsKeepAnimalsFoodAndCoinsClearOfTheHud)
{
    player->setUpgradeStage(2, 2); // the food upgrades and feeding every animal
    player->setUpgradeStage(4, 1); // collecting every coin
    ASSERT_TRUE(play("levels:River.ini"));
    h.frames(2);
    ASSERT_EQ(state()->getAnimalButtons().size(), 3u);
    std::vector<aRect> hud;
    hudRects(h.widget("HUD"), hud);
    const auto covered = [&hud](float x, float y, float reach) {
        for (const aRect& r : hud)
            if (x + reach > r.x && x - reach < r.x + r.width && y + reach > r.y && y - reach < r.y + r.height)
                return true;
        return false;
    };
    EXPECT_TRUE(covered(600.0f, 650.0f, 0.0f)) << "a buy button";
    EXPECT_TRUE(covered(50.0f, 600.0f, 0.0f)) << "an ability button";
    const std::vector<ShippedLevel> levels = shippedLevels();
    EXPECT_GE(levels.size(), 20u);
    for (const ShippedLevel& level : levels) {
        float reach = 0.0f;
        for (const std::string& name : level.walkers)
            reach = std::max(reach, coinReach(name));
        int32_t behind = 0, firstX = 0, firstY = 0;
        for (int32_t y = 0; y < 768; y += 2)
            for (int32_t x = 0; x < 1024; x += 2)
                if (level.grid->walkableAt(x, y) != cLevel::NOT_WALKABLE && covered(x, y, reach) && !behind++)
                    firstX = x, firstY = y;
        EXPECT_EQ(behind, 0) << level.path << ": first at " << firstX << "," << firstY << " (coins up to " << reach
                             << " pixels away)";
    }
}

// Grown and young animals and a poacher at the front of the park, walking
// along its lowest ground: drawn at their full size, clear of the HUD.
TEST_F(PlayGame, AnimalsAndAPoacherAtTheFrontOfTheParkStandAboveTheHud)
{
    ASSERT_TRUE(play("levels:Level06.ini")); // warthogs and zebras on open ground, hunters
    passIntro();
    const auto frontAt = [this](float x) {
        float y = 0.0f;
        for (int32_t at = 200; at < 768; ++at)
            if (level()->walkableAt(int32_t(x), at) == cLevel::HERBIVORE)
                y = float(at);
        return aVector2(x, y);
    };
    const std::pair<const char*, bool> kinds[] = {
        {"warthog", true}, {"warthog", false}, {"zebra", true}, {"zebra", false}, {"warthog", true}};
    std::vector<cDrawElement*> front;
    float x = 200.0f;
    for (const auto& [kind, grown] : kinds) {
        ASSERT_TRUE(level()->spawnAnimal(kind, frontAt(x), true));
        cAnimal* animal = level()->animals.back();
        if (grown)
            animal->makeGrown(false);
        animal->moveTo(frontAt(x + 50.0f));
        front.push_back(animal);
        x += grown ? 150.0f : 100.0f;
    }
    cPoacher* hunter = level()->spawnPoacherWave("hunter");
    ASSERT_NE(hunter, nullptr);
    hunter->setPosition(frontAt(x + 40.0f));
    hunter->moveTo(frontAt(x - 20.0f));
    front.push_back(hunter);
    h.moveTo(512, 120);
    seconds(1.0f);
    for (cDrawElement* e : front) {
        EXPECT_EQ(cDrawElement::depthScale(e->anchor.y), 1.0f) << e->anchor.x;
        const aRect& r = e->getScreenRect();
        EXPECT_LE(r.y + r.height, 642) << "at " << e->anchor.x << "," << e->anchor.y;
    }
    reviewScreen("park_front");
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

// A hand that jumps and presses in one frame acts where it presses: from the
// Grass button onto the park the grass goes down there; from the park onto
// Menu the menu opens and the park takes no click.
TEST_F(PlayGame, APressInTheFrameThePointerJumpsActsWhereItHappens)
{
    ASSERT_TRUE(play(kFencedPark));
    passIntro();
    clickWidget("Grass");
    ASSERT_EQ(state()->getCursorMode(), cPlayState::MODE_GRASS);
    const size_t foods = level()->foods.size();
    h.press(250, 560);
    h.release(250, 560);
    EXPECT_EQ(level()->foods.size(), foods + 1) << "from the Grass button onto the park";
    clickWidget("Grass");
    h.moveTo(300, 560);
    const aPoint menu = h.centreOf("Menu");
    h.press(menu.x, menu.y);
    h.release(menu.x, menu.y);
    EXPECT_TRUE(h.widget("IngameMenu")->IsVisible()) << "from the park onto Menu";
    EXPECT_EQ(level()->foods.size(), foods + 1) << "the park took the press on Menu";
}

// No level ends on the clock: past both medal times a level plays on, and no
// help, loading tip or tutorial text claims a time limit or something else
// the park does not do (animals do not breed; a sale's price does not depend
// on the animal).
TEST_F(PlayGame, ALevelPlaysOnPastItsMedalTimesAndItsTextsSaySo)
{
    std::string text = readFile(kFencedPark);
    for (const auto& [from, to] : {std::pair{"GoldTime=300", "GoldTime=1"}, {"SilverTime=480", "SilverTime=2"}}) {
        ASSERT_NE(text.find(from), std::string::npos) << from;
        text.replace(text.find(from), std::string(from).size(), to);
    }
    writeFile(dir.file("Quick.ini"), text);
    ASSERT_TRUE(play(dir.file("Quick.ini")));
    passIntro();
    seconds(4.0f);
    EXPECT_GT(state()->getElapsed(), 3.0f);
    EXPECT_EQ(level()->state, 0) << "the level ended on the clock";

    std::vector<std::string> keys = {"help.feed", "help.produce", "help.coins", "help.sick",
                                     "help.poacher", "help.sell", "help.goals"};
    for (int i = 0; i < 18; ++i) {
        if (i < 10)
            keys.push_back("tip.loading0" + std::to_string(i));
        keys.push_back((i < 10 ? "tutorial.msg0" : "tutorial.msg") + std::to_string(i));
    }
    for (const std::string& key : keys) {
        std::string line;
        for (const wchar_t c : h.game().getText(key))
            line += static_cast<char>(c < 128 ? std::tolower(static_cast<int>(c)) : '?');
        for (const char* untrue : {"time runs out", "before the time", "time limit", "have young", "best price"})
            EXPECT_EQ(line.find(untrue), std::string::npos) << key << ": " << line;
    }
}

// A level left with the hand on a HUD button: its GUI went without the
// button's leave, and the next level's park still takes the player's clicks.
TEST_F(PlayGame, TheNextLevelTakesParkClicksAfterOneLeftWithTheHandOnTheHud)
{
    ASSERT_TRUE(play(kFencedPark));
    passIntro();
    const aRect grass = h.widget("Grass")->GetAbsoluteRect();
    h.moveTo(grass.x + grass.width / 2, grass.y + grass.height / 2);
    h.frames(2);
    h.game().requestState(STATE_MENU);
    ASSERT_TRUE(h.waitForState(STATE_MENU));
    ASSERT_TRUE(play(kFencedPark));
    passIntro();
    cBonus* coin = cBonus::dropNear(level(), aVector2(400.0f, 450.0f), 0.0f, 0, 10);
    ASSERT_NE(coin, nullptr);
    ASSERT_TRUE(waitFor([coin] { return coin->landed; }, 3.0f));
    const int32_t money = level()->money;
    clickRect(coin->getScreenRect());
    EXPECT_TRUE(coin->collected) << "the park ignores clicks, as if the hand were still over the HUD";
    seconds(2.0f);
    EXPECT_EQ(level()->money, money + 10);
}

// A lost level whose box cannot be shown (no "MessageBox" in the layout)
// plays its sound once and logs it, instead of again at every frame.
TEST_F(PlayGame, ALossWithoutItsBoxIsToldOnce)
{
    ASSERT_TRUE(play(kFencedPark));
    passIntro();
    GUI::Widget* box = h.widget("MessageBox");
    GUI::Widget* parent = box->GetParent();
    parent->RemoveChild(box);
    aSound* lost = h.game().getSoundManager()->getSound("loose_level");
    ASSERT_NE(lost, nullptr);
    level()->state = -1;
    h.frame();
    EXPECT_TRUE(lost->isPlaying());
    lost->stop();
    seconds(0.5f);
    EXPECT_FALSE(lost->isPlaying()) << "the loss sound starts again";
    const auto lines = h.log();
    EXPECT_EQ(
        std::count_if(lines.begin(), lines.end(),
                      [](const std::string& l) { return l.find("message box cannot be shown") != std::string::npos; }),
        1);
    parent->AddChild(box);
    // The menu still leads on.
    clickWidget("Menu");
    EXPECT_TRUE(h.widget("IngameMenu")->IsVisible());
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
    // A restart into a level that no longer loads fails once, tells it, and goes to the map.
    const auto failures = [this] {
        const auto lines = h.log();
        return std::count_if(lines.begin(), lines.end(),
                             [](const std::string& l) { return l.find("did not load") != std::string::npos; });
    };
    const auto before = failures();
    ASSERT_TRUE(play(kFencedPark));
    passIntro();
    state()->levelPath = dir.file("Broken.ini");
    cPlayState::requestRestart();
    h.frames(10);
    EXPECT_EQ(failures(), before + 1);
    ASSERT_TRUE(h.widget("MessageBox")->IsVisible());
    clickWidget("OkBtn");
    EXPECT_TRUE(h.waitForState(STATE_MAP));
}

TEST_F(PlayGame, AWinWithNoGoalsWindowToHoldItIsCheeredAndPaidOnce)
{
    // A layout without the goals window: nothing modal stops the won level's frames.
    namespace fs = std::filesystem;
    const std::string gui = dir.file("gui");
    fs::copy(shippedData() + "GUI", gui, fs::copy_options::recursive);
    std::string layout = readFile(gui + "/play.agui");
    const size_t from = layout.find("window Goals\n"), to = layout.find("\n}\n", from);
    ASSERT_NE(to, std::string::npos);
    layout.erase(from, to + 3 - from);
    writeFile(gui + "/play.agui", layout);
    h.game().getFileServer().setAssign("gui", gui);
    ASSERT_TRUE(play(kFencedPark));
    seconds(1.3f);
    ASSERT_EQ(state()->getGoalsWindow(), nullptr);
    aSound* cheer = h.game().getSoundManager()->getSound("win_level");
    ASSERT_NE(cheer, nullptr);
    const int32_t stars = player->stars;
    level()->state = 1;
    h.frame();
    const int32_t channel = cheer->getChannel();
    const int32_t paid = player->stars;
    EXPECT_GT(paid, stars);
    seconds(0.5f);
    EXPECT_EQ(cheer->getChannel(), channel) << "the cheer started again";
    EXPECT_EQ(player->stars, paid);
}

} // namespace
} // namespace kbtest
