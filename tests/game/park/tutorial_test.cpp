// The tutorial driven by a scripted player: the first level followed to a win,
// a player who ignores the hints, the other scripts on small levels, and the
// steps that could wait for ever.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "game/app/messagebox.h"
#include "game/app/playerprofile.h"
#include "game/app/tip.h"
#include "game/app/tooltipbubble.h"
#include "game/app/tutorialflag.h"
#include "game/app/tutorialtooltip.h"
#include "game/park/food.h"
#include "game/park/helicopter.h"
#include "game/park/missionresults.h"
#include "game/park/poacher.h"
#include "game/park/tutorial.h"
#include "game/support/play_game.h"
#include "game/support/screen_view.h"
#include "game/support/shipped_data.h"
#include "gui/statictext.h"
#include "orvo/gfx/a_image.h"
#include "orvo/platform/a_keycodes.h"

namespace kbtest {
namespace {

class TutorialGame : public PlayStateGame {
protected:
    // A level of the open park with its own DATA lines and animals.
    std::string smallLevel(const std::string& data, const std::string& animals, const std::string& counts)
    {
        writeFile(dir.file("Small.ini"),
                  "[DATA]\nWalkableMask=levels:park_open_walk.png\nAmbientSound=savanna\n" + data +
                      "\n\n[BACKGROUND]\nBackground=levels:park_open.jpg\n\n[CONDITIONS]\nAnimals=" + animals +
                      "\nAnimalsCount=" + counts + "\n\n[GOAL]\nType=money\nValue=100000\n");
        return dir.file("Small.ini");
    }
    cTutorial* tutorial() { return state()->getTutorial(); }
    // The animals set down in the open park, clear of the HUD, where hints may point at them.
    void inView()
    {
        float x = 300.0f;
        for (cAnimal* a : level()->animals) {
            a->setPosition(aVector2(x, 450.0f));
            a->path.clear();
            x += 150.0f;
        }
    }
    // The hint stands on the point as every hint does: above it, mirrored to
    // its left near the right edge, hung below it near the top.
    static bool standsOn(const cTutorialTooltip* t, const aVector2& at)
    {
        const aImage* bubble = tooltip_image("tooltip");
        const int x = static_cast<int>(at.x), y = static_cast<int>(at.y);
        const int w = bubble->getWidth(), ht = bubble->getHeight();
        return t && t->getX() == (x + w > 1024 ? x - w : x) && t->getY() == (y - ht < 0 ? y + 26 : y - ht);
    }
    static aVector2 centreOf(const GUI::Widget* w)
    {
        const aRect r = w->GetAbsoluteRect();
        return aVector2(r.x + r.width / 2.0f, r.y + r.height / 2.0f);
    }
    // The open hint that shows the text of `key` (noted in `seen`), or null.
    cTutorialTooltip* hint(const std::string& key)
    {
        const std::wstring text = h.game().getText(key);
        for (const auto& t : cTutorialTooltip::all())
            if (t->isOpen() && t->getTextWindow()->GetText() == text) {
                seen.insert(key);
                return t.get();
            }
        return nullptr;
    }
    // The first level's steps passed quickly: hints clicked away, food put
    // down, children grown at once, coins picked up.
    void reachStep(uint16_t step)
    {
        while (tutorial()->getStep() < step) {
            h.key(A_KEY_SPACE);
            if (level()->foods.empty() && state()->getPortions() > 0)
                feedBesideOf(h, level()->animals.front());
            if (hint("tutorial.msg04") && !level()->bonuses.empty() && level()->bonuses.front()->landed)
                clickRect(level()->bonuses.front()->getScreenRect());
            for (cAnimal* a : level()->animals)
                if (a->child)
                    a->makeGrown(false);
            ASSERT_LT(state()->getElapsed(), 120.0f) << "step " << tutorial()->getStep();
        }
    }
    void SetUp() override // a tutorial changes the production budget while it runs
    {
        PlayStateGame::SetUp();
        settings = budget();
    }
    std::pair<int32_t, int32_t> budget()
    {
        return {h.game().settings().maxProducingCount, h.game().settings().producingAnimalsCount};
    }
    std::pair<int32_t, int32_t> settings;
    std::set<std::string> seen; // the keys of the hints shown
};

TEST_F(TutorialGame, APlayerFollowsEveryHintOfTheFirstLevelToAWin)
{
    const uint32_t tipsBefore = player->tipsMask;
    ASSERT_TRUE(play("levels:Level00.ini"));
    ASSERT_NE(tutorial(), nullptr);
    EXPECT_FALSE(cTip::shouldShow(0x1)) << "no one-time tip opens during a tutorial";
    passIntro();
    for (int frame = 0; frame < 200 * 30 && level()->state != 1; ++frame) {
        h.frame();
        ASSERT_NE(level(), nullptr);
        // Nothing starves in the first level, and nothing is produced before the coins are explained.
        for (const cAnimal* a : level()->animals) {
            ASSERT_TRUE(a->health > 0.0f || a->held) << "only an animal taken away by the helicopter leaves";
            if (tutorial()->getStep() < 3) {
                ASSERT_NE(a->state, cAnimalKind::PRODUCE);
            }
        }
        if (cTutorialTooltip* t = hint("tutorial.msg00")) {
            EXPECT_TRUE(standsOn(t, level()->animals.front()->anchor));
            if (t->getAlpha() < 1.0f)
                continue;
            reviewScreen("tutorial_first_hint");
            clickHintOf(h, t);
            feedBesideOf(h, level()->animals.front());
        } else if (hint("tutorial.msg01")) {
            EXPECT_TRUE(standsOn(hint("tutorial.msg01"), centreOf(h.widget("Grass"))));
            clickWidget("Grass");
            feedBesideOf(h, level()->animals.front());
        } else if (hint("tutorial.msg02")) {
            feedBesideOf(h, level()->animals.front());
        } else if (cTutorialTooltip* t = hint("tutorial.msg03"); t && t->getAlpha() >= 1.0f) {
            EXPECT_TRUE(standsOn(t, level()->animals.front()->anchor));
            clickHintOf(h, t);
        } else if (hint("tutorial.msg04") && !level()->bonuses.empty()) {
            cBonus* coin = level()->bonuses.front();
            EXPECT_TRUE(standsOn(hint("tutorial.msg04"), coin->anchor)) << "it follows the first coin";
            if (coin->landed) {
                reviewScreen("tutorial_coin_hint");
                // Carried near the top right corner, the coin takes its hint along, turned.
                coin->setPosition(aVector2(900.0f, 230.0f));
                h.frames(2);
                EXPECT_TRUE(hint("tutorial.msg04")->isFlippedLeft() && hint("tutorial.msg04")->isFlippedDown());
                EXPECT_TRUE(standsOn(hint("tutorial.msg04"), coin->anchor));
                reviewScreen("tutorial_coin_hint_turned");
                clickRect(coin->getScreenRect());
            }
        } else if (cTutorialTooltip* t = hint("tutorial.msg08"); t && t->getAlpha() >= 1.0f) {
            EXPECT_TRUE(standsOn(t, centreOf(state()->getAnimalButtons().front())));
            reviewScreen("tutorial_buy_hint");
            clickWidget("warthog");
        } else if (cTutorialTooltip* t = hint("tutorial.msg05"); t && t->getAlpha() >= 1.0f) {
            const aRect goals = state()->getGoalsButton()->GetAbsoluteRect();
            EXPECT_TRUE(standsOn(t, aVector2(goals.x + goals.width / 2.0f, goals.y + goals.height)));
            reviewScreen("tutorial_goals_hint");
            clickHintOf(h, t);
        } else if (cTutorialTooltip* t = hint("tutorial.msg06"); t && h.widget("Sell")->IsEnabled()) {
            EXPECT_TRUE(standsOn(t, centreOf(h.widget("Sell"))));
            if (t->getAlpha() < 1.0f)
                continue;
            reviewScreen("tutorial_sell_hint");
            clickWidget("Sell");
        } else if (level()->foods.empty() && state()->getPortions() > 0) {
            feedBesideOf(h, level()->animals.front());
        } else if (level()->foods.empty() && level()->animals.front()->indicator.shown &&
                   !level()->animals.front()->sick) {
            // A hungry animal: grass bought and put down, as the first hints taught.
            clickWidget("Grass");
            feedBesideOf(h, level()->animals.front());
        }
    }
    ASSERT_EQ(level()->state, 1) << "step " << tutorial()->getStep();
    for (const char* key : {"msg00", "msg03", "msg04", "msg08", "msg05", "msg06"})
        EXPECT_TRUE(seen.count(std::string("tutorial.") + key)) << key;
    // A won level is recorded, and it takes the hints away.
    seconds(0.2f);
    EXPECT_TRUE(player->hasLevel("Level00"));
    EXPECT_EQ(tutorial()->getHints(), 0u);
    // Through the goals and the results to the map: the park waits while a tutorial runs.
    seconds(1.0f);
    clickRect(h.widget("Goals")->FindChild("Close", true)->GetAbsoluteRect());
    ASSERT_TRUE(waitFor([] { return cMissionResults::get() != nullptr; }, 3.0f));
    seconds(1.0f);
    clickWidget("CloseBtn");
    ASSERT_TRUE(h.waitForState(STATE_MAP));
    EXPECT_FALSE(tutorial_isRunning());
    EXPECT_EQ(player->tipsMask, tipsBefore) << "hints shown during the tutorial are not stored";
    EXPECT_EQ(budget(), settings);
}

TEST_F(TutorialGame, APlayerWhoIgnoresTheHintsIsHelpedAndCanLeave)
{
    ASSERT_TRUE(play("levels:Tutorial.ini"));
    passIntro();
    ASSERT_TRUE(waitFor([this] { return hint("tutorial.msg00") != nullptr; }, 3.0f));
    seconds(1.0f);
    // The first Escape puts the hint away.
    h.key(A_KEY_ESCAPE);
    seconds(0.5f);
    // The grass put back and the ground clicked: the buy-food hint at the Grass button.
    state()->leaveCursorMode();
    h.click(300, 450);
    ASSERT_NE(hint("tutorial.msg01"), nullptr);
    EXPECT_TRUE(standsOn(hint("tutorial.msg01"), centreOf(h.widget("Grass"))));
    clickWidget("Grass");
    EXPECT_EQ(hint("tutorial.msg01"), nullptr) << "gone with food in hand";
    // No money: the refusal's tip shows but is not remembered in a tutorial.
    state()->leaveCursorMode();
    level()->animals.front()->hunger = 0.0f;
    level()->setMoney(0);
    clickWidget("Grass");
    EXPECT_NE(hint("tip.no_money"), nullptr);
    // Once the tip is gone, the hint to put grass down shows though none is held.
    ASSERT_TRUE(waitFor([this] { return hint("tutorial.msg02") != nullptr; }, 5.0f));
    EXPECT_EQ(state()->getPortions(), 0);
    EXPECT_TRUE(standsOn(hint("tutorial.msg02"), aVector2(512.0f, 384.0f)));
    // A starving warthog brings the money for grass.
    level()->animals.front()->hunger = 100.0f;
    seconds(0.2f);
    EXPECT_GE(level()->money, state()->foodKind(cFood::GRASS)->cost);
    clickWidget("Grass");
    seconds(1.0f);
    EXPECT_NE(hint("tutorial.msg02"), nullptr) << "until the grass lies in the park";
    // The second Escape opens the menu, and the map is a click away.
    h.key(A_KEY_ESCAPE);
    seconds(0.5f);
    clickChild("IngameMenu", "Map");
    seconds(0.5f);
    clickWidget("YesBtn");
    ASSERT_TRUE(h.waitForState(STATE_MAP));
    EXPECT_EQ(budget(), settings);
    EXPECT_FALSE(player->hasLevel("Tutorial"));
    EXPECT_EQ(player->tipsMask & 0x400, 0u);
}

// In the poacher level the hint at a producing animal waits for the player's
// first production click; then it points at the animal at work, which works
// at half speed under it and shows the mouse.
TEST_F(TutorialGame, TheFirstProductionClickBringsThePoacherLevelsClickHint)
{
    ASSERT_TRUE(play("levels:Level01.ini"));
    passIntro();
    // Fed warthogs close to their next production; the script's hints clicked away.
    const auto producing = [this]() -> cAnimal* {
        for (cAnimal* a : level()->animals)
            if (a->state == cAnimalKind::PRODUCE && a->produceTimer < a->kind->produceTime * 0.5f)
                return a;
        return nullptr;
    };
    ASSERT_TRUE(waitFor(
        [&] {
            h.key(A_KEY_SPACE);
            for (cAnimal* a : level()->animals) {
                a->hunger = 0.0f;
                if (!a->child)
                    a->reproduceTimer = std::max(a->reproduceTimer, a->kind->reproduceTime - 1.0f);
            }
            return producing() && !cTutorialTooltip::anyActive();
        },
        60.0f));
    cAnimal* worker = producing();
    EXPECT_TRUE(level()->flags[cLevel::FLAG_PRODUCE_HINT_WAITS]);
    EXPECT_EQ(hint("tutorial.msg12"), nullptr) << "no hint before the first production click";
    clickRect(worker->getScreenRect());
    EXPECT_EQ(worker->productionClicks, 1);
    EXPECT_FALSE(level()->flags[cLevel::FLAG_PRODUCE_HINT_WAITS]);
    ASSERT_TRUE(waitFor([this] { return hint("tutorial.msg12") != nullptr; }, 2.0f));
    ASSERT_EQ(worker->state, cAnimalKind::PRODUCE);
    EXPECT_TRUE(worker->clickAsked);
    const float before = worker->produceTimer;
    seconds(1.0f);
    EXPECT_NEAR(worker->produceTimer - before, 0.5f, 0.1f) << "half speed under the hint";
}

// The poacher level's hint to hurry the helicopter stands at its point on the
// shown delivery panel's lower edge, hung below it and mirrored to its left,
// clear of the panel it asks for; its text names the panel's corner.
TEST_F(TutorialGame, TheHurryHintStandsAtItsPointClearOfTheDeliveryPanel)
{
    ASSERT_TRUE(play("levels:Level01.ini"));
    passIntro();
    cAnimal* sold = level()->animals.front();
    sold->makeGrown(false);
    sold->ageOrProduced = static_cast<float>(sold->kind->numOfProducing);
    level()->addForSale(sold);
    ASSERT_TRUE(waitFor(
        [this] {
            if (cHelicopter::getSingletonPtr()->inactive && h.widget("Sell")->IsEnabled() &&
                !cTutorialTooltip::anyActive())
                clickWidget("Sell");
            for (const auto& t : cTutorialTooltip::all())
                if (!t->isPlain() && t->getAlpha() >= 1.0f)
                    h.tap(A_KEY_SPACE);
            const cTutorialTooltip* t = hint("tutorial.msg13");
            return t && t->getAlpha() >= 1.0f && cHelicopter::getSingletonPtr()->panelShown >= 1.0f;
        },
        60.0f));
    const cTutorialTooltip* t = hint("tutorial.msg13");
    EXPECT_TRUE(standsOn(t, aVector2(900.0f, 120.0f)));
    const aRect panel = h.widget("Helo_map")->GetAbsoluteRect();
    EXPECT_FALSE(ScreenView::bubbleCovers(t, panel)) << "the hint covers the panel";
    EXPECT_TRUE(panel.x <= 900 && 900 < panel.x + panel.width && panel.y >= 0)
        << "panel at " << panel.x << "," << panel.y << " " << panel.width << " x " << panel.height;
    EXPECT_NEAR(panel.y + panel.height, 120, 10) << "the panel's lower edge";
    const std::wstring text = h.game().getText("tutorial.msg13");
    const bool right = panel.x + panel.width / 2 > 512;
    EXPECT_NE(text.find(right ? L"right" : L"left"), std::wstring::npos) << "the text names the panel's side";
    EXPECT_EQ(text.find(right ? L"left" : L"right"), std::wstring::npos) << "the text names the other side";
    reviewScreen("tutorial_helicopter_hint");
}

// The poacher level's money hint stands on the money label's centre. In the
// level as shipped, a player who buys an animal as it says can still feed
// every animal; but the hint waits only for its time, not for money. The
// SIGN over the first animal button of an empty park waits for its time too.
TEST_F(TutorialGame, TheMoneyHintAndTheAnimalSignWaitOnlyForTheirTime)
{
    ASSERT_TRUE(play("levels:Level01.ini"));
    passIntro();
    const int32_t grass = state()->foodKind(cFood::GRASS)->cost;
    const auto price = [this] { return static_cast<int32_t>(level()->animalPrice("warthog")); };
    // Other pointing hints clicked away; true once the money hint is there to read.
    const auto untilMoneyHint = [&](int32_t money, float s) {
        return waitFor(
            [&] {
                if (const cTutorialTooltip* t = hint("tutorial.msg09"); t && t->getAlpha() >= 1.0f)
                    return true;
                if (money >= 0)
                    level()->setMoney(money);
                for (const auto& t : cTutorialTooltip::all())
                    if (!t->isPlain() && t->getAlpha() >= 1.0f)
                        h.tap(A_KEY_SPACE);
                return false;
            },
            s);
    };
    ASSERT_TRUE(untilMoneyHint(-1, 15.0f));
    EXPECT_TRUE(standsOn(hint("tutorial.msg09"), state()->moneyLabelCentre()));
    reviewScreen("tutorial_money_hint");
    // The hint read, a warthog bought: food for every animal is still paid for.
    clickHintOf(h, hint("tutorial.msg09"));
    seconds(0.5f);
    const size_t before = level()->animals.size();
    clickRect(state()->getAnimalButtons().front()->GetAbsoluteRect());
    ASSERT_EQ(level()->animals.size(), before + 1) << "bought as the hint says";
    EXPECT_GE(level()->money, grass * static_cast<int32_t>(level()->animals.size()))
        << "no grass for every animal after following the hint";

    // With a warthog's price and one more, the hint comes in its time all the same.
    restart(smallLevel("TutorialType=1\nAdultAnimalsPercent=0\nAvailableAnimals=warthog", "warthog", "1"));
    ASSERT_TRUE(untilMoneyHint(price() + 1, 8.0f));

    // An empty park: the SIGN at the animal button after its wait, though a warthog would leave nothing for grass.
    restart(smallLevel("TutorialType=4\nAvailableAnimals=warthog", "warthog", "0"));
    ASSERT_TRUE(level()->animals.empty());
    level()->setMoney(price() + grass - 1);
    ASSERT_TRUE(waitFor([this] { return tutorial()->getSign(0) != nullptr; }, cTutorial::kSignWait + 1.0f));
}

// The poacher level's hints stand on what they name: the young animal, the
// poacher while he must not be clicked yet (the level stands still, nobody
// is shot) and, following him, while he must be.
TEST_F(TutorialGame, ThePoacherLevelsHintsStandOnTheYoungAnimalAndThePoacher)
{
    ASSERT_TRUE(play("levels:Level01.ini"));
    passIntro();
    // Frames until the hint of `key` is fully shown; other pointing hints are clicked away.
    auto until = [&](const char* key, float s) {
        return waitFor(
            [&] {
                if (cTutorialTooltip* t = hint(key))
                    return t->getAlpha() >= 1.0f;
                for (const auto& t : cTutorialTooltip::all())
                    if (!t->isPlain() && t->getAlpha() >= 1.0f)
                        h.tap(A_KEY_SPACE);
                return false;
            },
            s);
    };
    ASSERT_TRUE(until("tutorial.msg07", 10.0f));
    const auto child =
        std::find_if(level()->animals.begin(), level()->animals.end(), [](cAnimal* a) { return a->child; });
    ASSERT_NE(child, level()->animals.end());
    EXPECT_TRUE(standsOn(hint("tutorial.msg07"), (*child)->anchor)) << "at the first young animal";
    reviewScreen("tutorial_young_animal_hint");
    h.tap(A_KEY_SPACE);
    ASSERT_TRUE(until("tutorial.msg10", 60.0f));
    cPoacher* poacher = level()->poachers.front();
    EXPECT_TRUE(standsOn(hint("tutorial.msg10"), poacher->anchor));
    // The hint stops every click but the one on itself: meanwhile nothing moves and nobody is shot.
    const aVector2 at = poacher->anchor;
    seconds(5.0f);
    EXPECT_EQ(poacher->anchor, at);
    EXPECT_EQ(poacher->kills, 0);
    EXPECT_TRUE(
        std::all_of(level()->animals.begin(), level()->animals.end(), [](cAnimal* a) { return a->isLiving(); }));
    reviewScreen("tutorial_poacher_hint");
    h.tap(A_KEY_SPACE);
    // The bubble that asks for the clicks follows him.
    ASSERT_TRUE(waitFor([this] { return hint("tutorial.msg11") != nullptr; }, 2.0f));
    for (int i = 0; i < 60 && hint("tutorial.msg11"); ++i) {
        ASSERT_TRUE(standsOn(hint("tutorial.msg11"), poacher->anchor)) << "frame " << i;
        h.frame();
    }
    while (poacher->health > 0.0f && poacher->kills == 0)
        clickRect(poacher->getHitRect());
    EXPECT_EQ(poacher->kills, 0) << "driven off in time";
}

// Steps with nothing to point at are passed over; the zebra and heal scripts.
TEST_F(TutorialGame, StepsWithNothingToPointAtAndTheZebraAndHealScripts)
{
    ASSERT_TRUE(play(smallLevel("TutorialType=1\nMoney=500\nAdultAnimalsPercent=0", "warthog", "1")));
    passIntro();
    // A young animal behind the HUD's board is pointed at all the same.
    cAnimal* young = level()->animals.front();
    young->setPosition(aVector2(400.0f, 760.0f));
    young->path.clear();
    ASSERT_TRUE(waitFor([this] { return hint("tutorial.msg07") != nullptr; }, 2.0f));
    EXPECT_TRUE(standsOn(hint("tutorial.msg07"), young->anchor));
    ASSERT_TRUE(waitFor(
        [this] {
            h.key(A_KEY_SPACE);
            return !level()->poachers.empty();
        },
        40.0f));
    // Beaten at once and gone (a box that blocks nothing holds the script meanwhile): the step waits
    // for the next poacher, who gets the hint.
    level()->poachers.front()->hit(1.0e6f);
    ASSERT_TRUE(cMessageBox::show(L"", L"", 1 | 128, nullptr, nullptr));
    ASSERT_TRUE(waitFor([this] { return level()->poachers.empty(); }, 10.0f));
    cMessageBox::cancel();
    seconds(3.0f);
    EXPECT_EQ(tutorial()->getStep(), 3);
    const cPoacher* next = level()->spawnPoacherWave("hunter");
    ASSERT_NE(next, nullptr);
    ASSERT_TRUE(waitFor([this] { return hint("tutorial.msg10") != nullptr; }, 3.0f));
    EXPECT_TRUE(standsOn(hint("tutorial.msg10"), next->anchor));
    ASSERT_TRUE(waitFor(
        [this] {
            h.key(A_KEY_SPACE);
            return tutorial()->getStep() >= 5;
        },
        10.0f));
    // Without an animal button to point at, the first level's step four is passed over.
    restart(smallLevel("TutorialType=0\nMoney=60\nAvailableAnimals=unicorn", "warthog", "1"));
    ASSERT_TRUE(state()->getAnimalButtons().empty());
    ASSERT_NO_FATAL_FAILURE(reachStep(5));
    EXPECT_TRUE(h.logged("cTutorial. Script 0, step 4 skipped: the level has no animal button"));
    // The sell hint stays until a sale flies, with nothing waiting for the helicopter meanwhile.
    cAnimal* first = level()->animals.front();
    first->makeGrown(false);
    first->ageOrProduced = static_cast<float>(first->kind->numOfProducing);
    ASSERT_TRUE(waitFor(
        [this] {
            h.key(A_KEY_SPACE);
            const cTutorialTooltip* t = hint("tutorial.msg06");
            return t && t->getAlpha() >= 1.0f;
        },
        6.0f));
    const cTutorialTooltip* sell = hint("tutorial.msg06");
    seconds(1.0f);
    EXPECT_FALSE(h.widget("Sell")->IsEnabled());
    EXPECT_TRUE(hint("tutorial.msg06") == sell && sell->getAlpha() >= 1.0f);
    // Without a "Grass" button the buy-food hint is passed over with a line, not stood in a corner.
    const std::string gui = dir.file("gui");
    std::filesystem::copy(shippedData() + "GUI", gui, std::filesystem::copy_options::recursive);
    std::string layout = readFile(gui + "/play.agui");
    const size_t from = layout.find("    imagebutton Grass <HudTool>\n"), to = layout.find("\n    }\n", from);
    ASSERT_NE(to, std::string::npos);
    layout.erase(from, to + 7 - from);
    writeFile(gui + "/play.agui", layout);
    h.game().getFileServer().setAssign("gui", gui + "/");
    restart(smallLevel("TutorialType=0\nMoney=60", "warthog", "1"));
    ASSERT_EQ(state()->getGrassButton(), nullptr);
    ASSERT_NO_FATAL_FAILURE(reachStep(1));
    ASSERT_TRUE(waitFor(
        [this] {
            h.key(A_KEY_SPACE);
            return !cTutorialTooltip::anyActive();
        },
        1.0f));
    tutorial()->showFirstMessage();
    EXPECT_TRUE(h.logged("cTutorial. No \"Grass\" button for the buy-food hint"));
    EXPECT_EQ(hint("tutorial.msg01"), nullptr);
    EXPECT_EQ(tutorial()->getHints() & cTutorial::BUY_FOOD, 0u);
    h.game().getFileServer().setAssign("gui", "data:GUI/");
    restart(smallLevel("TutorialType=2\nMoney=500", "warthog, zebra", "1, 1"));
    inView();
    ASSERT_TRUE(waitFor([this] { return hint("tutorial.msg16") != nullptr; }, 3.0f));
    seconds(0.5f);
    h.key(A_KEY_SPACE);
    // A second after the hint the tutorial is over: tips may open again.
    ASSERT_TRUE(waitFor([this] { return tutorial() == nullptr; }, 3.0f));
    EXPECT_FALSE(tutorial_isRunning());
    restart(smallLevel("TutorialType=2\nMoney=500\nAvailableAnimals=warthog", "warthog", "1"));
    ASSERT_TRUE(waitFor([this] { return tutorial() == nullptr; }, 5.0f));
    EXPECT_TRUE(h.logged("cTutorial. Script 2, step 0 skipped: the level has no zebra and offers none"));
    restart(smallLevel(
        "TutorialType=3\nMoney=500\nAdultAnimalsPercent=100\nAnimalsSickPossibility=1\nAvailableAnimals=warthog",
        "warthog", "2"));
    inView();
    level()->animals.front()->getSick();
    ASSERT_TRUE(waitFor([this] { return hint("tutorial.msg17") != nullptr; }, 3.0f));
    seconds(0.6f);
    // The SIGN over the Heal button pulses already: it came with the sickness.
    reviewScreen("tutorial_heal_hint");
    h.key(A_KEY_SPACE);
    ASSERT_TRUE(waitFor([this] { return tutorial()->getSign(2) != nullptr; }, 2.0f));
    // A lost level takes it away at once (the level turns lost within the frame, before the tutorial's turn).
    level()->state = -1;
    tutorial()->update(kDt);
    EXPECT_EQ(tutorial()->getSign(2), nullptr);
    EXPECT_EQ(tutorial()->getHints(), 0u);
}

} // namespace
} // namespace kbtest
