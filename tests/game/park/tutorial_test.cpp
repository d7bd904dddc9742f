// The tutorial driven by a scripted player: the first level followed to a win,
// a player who ignores the hints, the other scripts on small levels, and the
// steps that could wait for ever.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>

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
            if (t->getAlpha() < 1.0f)
                continue;
            reviewScreen("tutorial_first_hint");
            clickHintOf(h, t);
            feedBesideOf(h, level()->animals.front());
        } else if (hint("tutorial.msg01")) {
            clickWidget("Grass");
            feedBesideOf(h, level()->animals.front());
        } else if (hint("tutorial.msg02")) {
            feedBesideOf(h, level()->animals.front());
        } else if (cTutorialTooltip* t = hint("tutorial.msg03"); t && t->getAlpha() >= 1.0f) {
            clickHintOf(h, t);
        } else if (hint("tutorial.msg04") && !level()->bonuses.empty()) {
            cBonus* coin = level()->bonuses.front();
            if (coin->landed)
                clickRect(coin->getScreenRect());
        } else if (cTutorialTooltip* t = hint("tutorial.msg08"); t && t->getAlpha() >= 1.0f) {
            reviewScreen("tutorial_buy_hint");
            clickWidget("warthog");
        } else if (cTutorialTooltip* t = hint("tutorial.msg05"); t && t->getAlpha() >= 1.0f) {
            reviewScreen("tutorial_goals_hint");
            clickHintOf(h, t);
        } else if (hint("tutorial.msg06") && h.widget("Sell")->IsEnabled()) {
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
    // No money: the refusal's tip shows but is not remembered in a tutorial.
    state()->leaveCursorMode();
    level()->animals.front()->hunger = 0.0f;
    level()->setMoney(0);
    clickWidget("Grass");
    EXPECT_NE(hint("tip.no_money"), nullptr);
    // Once the warthog is hungry the buy-food hint comes, with money for grass;
    // there is no hint to put down food the player does not hold.
    ASSERT_TRUE(waitFor([this] { return hint("tutorial.msg01") != nullptr; }, 10.0f));
    EXPECT_EQ(hint("tutorial.msg02"), nullptr);
    clickWidget("Grass");
    seconds(1.0f);
    ASSERT_TRUE(waitFor([this] { return hint("tutorial.msg02") != nullptr; }, 3.0f));
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

// The poacher level's hint to hurry the helicopter hangs below the delivery
// panel, its tail on the panel's lower edge: it never covers the panel.
TEST_F(TutorialGame, TheHurryHintHangsBelowTheDeliveryPanel)
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
    const aRect panel = h.widget("Helo_map")->GetAbsoluteRect();
    EXPECT_EQ(rect_intersect(ScreenView::bubbleRect(t), panel), aRect()) << "the hint covers the panel";
    EXPECT_NEAR(t->tip().y, panel.y + panel.height, 6);
    EXPECT_GE(t->tip().x, panel.x);
    EXPECT_LT(t->tip().x, panel.x + panel.width);
}

// The poacher level's money hint asks the player to spend on new animals: a
// player who buys one at once is never left without the price of food for
// every animal. With the warthog's price and one more the hint waits; it
// comes once a purchase leaves a portion for each. The SIGN over the first
// animal button of an empty park keeps the same rule.
TEST_F(TutorialGame, APlayerWhoBuysAsTheMoneyHintSaysCanStillFeedEveryAnimal)
{
    ASSERT_TRUE(play("levels:Level01.ini"));
    passIntro();
    const int32_t grass = state()->foodKind(cFood::GRASS)->cost;
    const auto price = [this] { return static_cast<int32_t>(level()->animalPrice("warthog")); };
    const auto moneyHint = [this] {
        const cTutorialTooltip* t = hint("tutorial.msg09");
        return t && t->getAlpha() >= 1.0f;
    };
    // Other pointing hints clicked away; true once the money hint is there to read.
    const auto untilMoneyHint = [&](int32_t money, float s) {
        return waitFor(
            [&] {
                if (moneyHint())
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
    // The hint read, a warthog bought: food for every animal is still paid for.
    const auto followMoneyHint = [&] {
        clickHintOf(h, hint("tutorial.msg09"));
        seconds(0.5f);
        const size_t before = level()->animals.size();
        clickRect(state()->getAnimalButtons().front()->GetAbsoluteRect());
        ASSERT_EQ(level()->animals.size(), before + 1) << "bought as the hint says";
        EXPECT_GE(level()->money, grass * static_cast<int32_t>(level()->animals.size()))
            << "no grass for every animal after following the hint";
    };
    if (untilMoneyHint(price() + 1, 15.0f)) {
        ADD_FAILURE() << "the money hint came with " << level()->money << " for a warthog of " << price();
        followMoneyHint();
        return;
    }
    EXPECT_EQ(tutorial()->getStep(), 1) << "the script waits at the money hint";
    const int32_t animals = static_cast<int32_t>(level()->animals.size());
    level()->setMoney(price() + grass * (animals + 1));
    ASSERT_TRUE(untilMoneyHint(-1, 3.0f)) << "the hint comes once the purchase leaves food";
    followMoneyHint();

    // An empty park: no SIGN at the animal button while a warthog would leave nothing for grass.
    restart(smallLevel("TutorialType=4\nAvailableAnimals=warthog", "warthog", "0"));
    ASSERT_TRUE(level()->animals.empty());
    level()->setMoney(price() + grass - 1);
    seconds(cTutorial::kSignWait + 1.0f);
    EXPECT_EQ(tutorial()->getSign(0), nullptr);
    level()->setMoney(price() + grass);
    ASSERT_TRUE(waitFor([this] { return tutorial()->getSign(0) != nullptr; }, 1.0f));
}

// The poacher level's hints point at what they name and never cover it: the
// young animal, the poacher while he must not be clicked yet (the level
// stands still, nobody is shot) and while he must be.
TEST_F(TutorialGame, ThePoacherLevelsHintsPointAtTheYoungAnimalAndThePoacherWithoutCoveringThem)
{
    ASSERT_TRUE(play("levels:Level01.ini"));
    passIntro();
    const aImage* bubble = tooltip_image("tooltip");
    ASSERT_NE(bubble, nullptr);
    auto drawn = [&](const cTutorialTooltip* t) {
        return aRect(t->getX(), t->getY(), static_cast<uint16_t>(bubble->getWidth()),
                     static_cast<uint16_t>(bubble->getHeight()));
    };
    // The hint's arrow (or tail) ends on the near edge of the rectangle, and the bubble stays clear of it.
    auto pointsAt = [&](const cTutorialTooltip* t, const aRect& r) {
        const aPoint p = t->tip();
        const bool onEdge = std::abs(p.y - r.y) <= 2 || std::abs(p.y - (r.y + r.height)) <= 2;
        return p.x >= r.x && p.x < r.x + r.width && onEdge && rect_intersect(drawn(t), r) == aRect();
    };
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
    const cTutorialTooltip* young = hint("tutorial.msg07");
    const auto child = std::find_if(level()->animals.begin(), level()->animals.end(),
                                    [&](cAnimal* a) { return a->child && pointsAt(young, a->getScreenRect()); });
    ASSERT_NE(child, level()->animals.end()) << "the arrow ends on a young animal";
    EXPECT_EQ((*child)->presence, 2.0f) << "fully there";
    EXPECT_LE((*child)->getScreenRect().y + (*child)->getScreenRect().height, state()->getHud()->GetAbsoluteRect().y)
        << "clear of the HUD";
    reviewScreen("tutorial_young_animal_hint");
    h.tap(A_KEY_SPACE);
    ASSERT_TRUE(until("tutorial.msg10", 60.0f));
    cPoacher* poacher = level()->poachers.front();
    EXPECT_TRUE(pointsAt(hint("tutorial.msg10"), poacher->getHitRect()));
    // The hint stops every click but the one on itself: meanwhile nothing moves and nobody is shot.
    const aVector2 at = poacher->anchor;
    seconds(5.0f);
    EXPECT_EQ(poacher->anchor, at);
    EXPECT_EQ(poacher->kills, 0);
    EXPECT_TRUE(
        std::all_of(level()->animals.begin(), level()->animals.end(), [](cAnimal* a) { return a->isLiving(); }));
    reviewScreen("tutorial_poacher_hint");
    h.tap(A_KEY_SPACE);
    // The bubble that asks for the clicks follows him without covering him.
    ASSERT_TRUE(waitFor([this] { return hint("tutorial.msg11") != nullptr; }, 2.0f));
    for (int i = 0; i < 60 && hint("tutorial.msg11"); ++i) {
        ASSERT_TRUE(pointsAt(hint("tutorial.msg11"), poacher->getHitRect())) << "frame " << i;
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
    ASSERT_TRUE(waitFor(
        [this] {
            h.key(A_KEY_SPACE);
            return !level()->poachers.empty();
        },
        40.0f));
    level()->poachers.front()->hit(1.0e6f);
    ASSERT_TRUE(waitFor([this] { return tutorial()->getStep() >= 5; }, 10.0f));
    EXPECT_TRUE(h.logged("cTutorial. Script 1, step 3 skipped: the poacher has already gone"));
    // Without an animal button to point at, the first level's step four is passed over.
    restart(smallLevel("TutorialType=0\nMoney=60\nAvailableAnimals=unicorn", "warthog", "1"));
    ASSERT_TRUE(state()->getAnimalButtons().empty());
    ASSERT_NO_FATAL_FAILURE(reachStep(5));
    EXPECT_TRUE(h.logged("cTutorial. Script 0, step 4 skipped: the level has no animal button"));
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
