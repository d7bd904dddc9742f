// The four scripts of cTutorial and the hints that go with them.
#include <algorithm>
#include <cmath>

#include "game/app/game.h"
#include "game/app/tutorialflag.h"
#include "game/app/tutorialtooltip.h"
#include "game/park/animal.h"
#include "game/park/bonus.h"
#include "game/park/helicopter.h"
#include "game/park/level.h"
#include "game/park/playstate.h"
#include "game/park/poacher.h"
#include "game/park/tutorial.h"
#include "gui/widget.h"
#include "orvo/util/a_log.h"

namespace {

// What the buy-food hint makes sure the player has: the price of grass.
constexpr int32_t kGrassMoney = 10;

aVector2 anchorOf(const cDrawElement* element)
{
    return aVector2(std::trunc(element->anchor.x), std::trunc(element->anchor.y));
}

bool anyFood(const cLevel* level)
{
    return !level->foods.empty();
}

} // namespace

// --- first level ---

void cTutorial::steerAnimals()
{
    const bool busy = cTutorialTooltip::anyActive();
    for (cAnimal* a : level->animals) {
        if (a->state == cAnimalKind::PRODUCE)
            continue;
        const cAnimalKind& kind = *a->kind;
        // Nothing is produced before the coins are explained; afterwards soon.
        if (step < 3 || busy)
            a->reproduceTimer = 0.0f;
        else if (a->child || static_cast<int32_t>(a->ageOrProduced) < kind.numOfProducing)
            a->reproduceTimer = std::max(a->reproduceTimer, kind.reproduceTime - 2.0f);
        // Children stay peckish so that they eat (and grow) when fed.
        if (a->child)
            a->hunger = std::max(a->hunger, 50.0f);
        else if (step >= 5)
            a->ageOrProduced = std::max(a->ageOrProduced, static_cast<float>(kind.numOfProducing - 1));
        if (a->hunger > kind.criticalHungerLevel) {
            a->hunger = kind.criticalHungerLevel;
            if (playState->getPortions() == 0 && !anyFood(level)) {
                showFirstMessage();
                // NOTE: a hungry animal neither grows nor produces, so the
                // player always keeps the price of grass to feed it with.
                if (level->money < kGrassMoney)
                    level->setMoney(kGrassMoney);
            }
        }
    }
    if (step != 4)
        return;
    const int32_t price = level->animalPrice("warthog");
    if (level->animals.size() < 2 && level->money < price) {
        // Enough for the animal the step asks for.
        level->setMoney(price + 20);
    }
}

void cTutorial::firstLevelScript(float)
{
    if (!level || !playState)
        return;
    steerAnimals();
    const bool free = !cTutorialTooltip::anyActive();
    switch (step) {
    case 0:
        if (timer > 1.5f && free && anyAnimal()) {
            say(anchorOf(firstAnimal()), "tutorial.msg00", false);
            playState->handFood(1);
            nextStep();
        }
        break;
    case 1:
        if (timer <= 1.0f)
            break;
        if (anyFood(level)) {
            hide(stepTip);
            nextStep();
        } else if (!live(stepTip) && free) {
            stepTip = say(aVector2(512.0f, 384.0f), "tutorial.msg02", true);
            if (!stepTip)
                skipStep("no hint to put the food down");
        }
        break;
    case 2:
        if (timer > 1.5f && free && anyAnimal()) {
            say(anchorOf(firstAnimal()), "tutorial.msg03", false);
            nextStep();
        }
        break;
    case 3:
        if (timer > 0.7f && !armed(COIN)) {
            nextStep();
        } else if (timer > 0.7f && !canStillProduceCoins()) {
            hide(coinTip);
            retire(COIN);
            skipStep("no animal left that can make a coin");
        }
        break;
    case 4:
        if (timer <= 1.0f)
            break;
        if (firstChild()) {
            hide(stepTip);
            nextStep();
        } else if (!live(stepTip) && free) {
            GUI::Widget* button = firstAnimalButton();
            stepTip = button ? sayAtWidget(button, "tutorial.msg08", true) : nullptr;
            if (!stepTip)
                skipStep(button ? "no hint at the animal button" : "the level has no animal button");
        }
        break;
    case 5:
        if (timer > 2.0f && free) {
            GUI::Widget* goals = playState->getGoalsButton();
            if (!goals) {
                skipStep("the level has no goals button");
                break;
            }
            const aRect r = goals->GetAbsoluteRect();
            say(aVector2(r.x + r.width / 2.0f, static_cast<float>(r.y + r.height)), "tutorial.msg05", false);
            nextStep();
        }
        break;
    default:
        break;
    }
    firstLevelHints();
}

void cTutorial::firstLevelHints()
{
    const bool free = !cTutorialTooltip::anyActive();
    // The coin hint follows the first coin until one is picked up.
    if (armed(COIN)) {
        const cBonus* coin = level->bonuses.empty() ? nullptr : level->bonuses.front();
        if (live(coinTip)) {
            if (!coin) {
                hide(coinTip);
            } else if (coin->collected) {
                hide(coinTip);
                retire(COIN);
            } else {
                follow(coinTip, anchorOf(coin));
            }
        } else if (free && coin) {
            coinTip = say(anchorOf(coin), "tutorial.msg04", true);
            if (!coinTip)
                retire(COIN);
        }
    }
    // The buy-food bubble is done once the player has food to put down.
    if (live(foodTip) && (playState->getPortions() > 0 || anyFood(level)))
        hide(foodTip);
    // The sell hint, once the first animal is ready to go.
    if (armed(SELL)) {
        const cHelicopter* helicopter = playState->getHelicopter();
        if (live(sellTip)) {
            if (helicopter && !helicopter->inactive && helicopter->state == cHelicopter::FLYING) {
                hide(sellTip);
                retire(SELL);
            }
        } else if (free) {
            const cAnimal* first = firstAnimal();
            if (first && !first->child && static_cast<int32_t>(first->ageOrProduced) >= first->kind->numOfProducing) {
                GUI::Widget* sell = playState->getSellButton();
                sellTip = sell ? sayAtWidget(sell, "tutorial.msg06", true) : nullptr;
                if (!sellTip) {
                    a_log("cTutorial. The sell hint is not shown");
                    retire(SELL);
                }
            }
        }
    }
}

// --- poachers ---

void cTutorial::poacherScript(float dt)
{
    if (!level || !playState)
        return;
    cGame* game = cGame::get();
    const bool free = !cTutorialTooltip::anyActive();
    switch (step) {
    case 0:
        if (game) {
            // One animal produces at a time, so the lull before the poacher comes.
            game->settings().maxProducingCount = 1;
            game->settings().producingAnimalsCount = 1;
        }
        retire(POACHER);
        if (timer > 1.5f && free) {
            if (const cAnimal* child = firstChild()) {
                say(anchorOf(child), "tutorial.msg07", false);
                nextStep();
            }
        }
        break;
    case 1:
        if (timer > 3.0f && free) {
            if (!playState->getMoneyLabel()) {
                skipStep("the level has no money label");
                break;
            }
            say(playState->moneyLabelCentre(), "tutorial.msg09", false);
            nextStep();
        }
        break;
    case 2:
        if (timer <= 0.7f || playState->getElapsed() <= 17.0f)
            break;
        holdTimer += game ? game->getFrameTime() : dt;
        if (cAnimal::producingCount() > 0)
            holdTimer = 0.0f;
        if (holdTimer >= 4.0f) {
            if (level->spawnPoacherWave("hunter"))
                nextStep();
            else {
                // No poacher to show: the poacher steps have nothing to point at.
                step = 3;
                skipStep("no poacher of kind \"hunter\"");
            }
        }
        break;
    case 3:
        // A poacher beaten before this step leaves msg10 to the next one who comes.
        if (timer > 1.0f && free)
            if (const cPoacher* poacher = firstPoacher()) {
                say(anchorOf(poacher), "tutorial.msg10", false);
                nextStep();
            }
        break;
    case 4:
        if (timer > 0.2f) {
            hints |= POACHER;
            nextStep();
        }
        break;
    default:
        break;
    }
    poacherHints(dt);
}

void cTutorial::poacherHints(float dt)
{
    const bool free = !cTutorialTooltip::anyActive();
    // The poacher bubble follows the poacher until it is beaten or done.
    if (armed(POACHER)) {
        if (live(poacherTip)) {
            const auto it = std::find(level->poachers.begin(), level->poachers.end(), followedPoacher);
            const cPoacher* p = it == level->poachers.end() ? nullptr : *it;
            if (!p || p->health <= 0.0f || (p->kind && p->kills >= p->kind->animalsCount)) {
                hide(poacherTip);
                retire(POACHER);
            } else {
                follow(poacherTip, anchorOf(p));
            }
        } else if (free && firstPoacher()) {
            const cPoacher* p = firstPoacher();
            followedPoacher = p;
            poacherTip = say(anchorOf(p), "tutorial.msg11", true);
            if (!poacherTip)
                retire(POACHER);
        }
    }
    // A producing animal, clicked to make a richer coin.
    cAnimal* producing = nullptr;
    for (cAnimal* a : level->animals) {
        a->clickAsked = false;
        if (!producing && a->state == cAnimalKind::PRODUCE)
            producing = a;
    }
    if (armed(PRODUCING)) {
        if (level->flags[cLevel::FLAG_PRODUCE_HINT_WAITS]) {
            hide(produceTip);
        } else if (live(produceTip)) {
            if (!producing) {
                hide(produceTip);
                retire(PRODUCING);
            } else {
                follow(produceTip, anchorOf(producing));
                producing->produceTimer -= dt * 0.5f;
                producing->clickAsked = true;
            }
        } else if (free && producing) {
            produceTip = say(anchorOf(producing), "tutorial.msg12", true);
            if (produceTip)
                producing->clickAsked = true;
            else
                retire(PRODUCING);
        }
    }
    // The helicopter's panel: click it to hurry the flight.
    if (armed(HELICOPTER)) {
        const cHelicopter* helicopter = playState->getHelicopter();
        if (!helicopter) {
            retire(HELICOPTER);
        } else if (helicopter->clicked) {
            hide(heloTip);
            retire(HELICOPTER);
        } else if (live(heloTip)) {
            if (helicopter->inactive || helicopter->state == cHelicopter::FLYING) {
                hide(heloTip);
                retire(HELICOPTER);
            }
        } else if (!helicopter->inactive && helicopter->state > cHelicopter::FLYING && free) {
            heloTip = say(aVector2(900.0f, 120.0f), "tutorial.msg13", true);
            if (!heloTip)
                retire(HELICOPTER);
        }
    }
}

// --- zebras and healing ---

void cTutorial::zebraScript()
{
    if (!level)
        return;
    if (step == 0 && timer > 1.5f && anyAnimal()) {
        const auto it = std::find_if(level->animals.begin(), level->animals.end(),
                                     [](const cAnimal* a) { return a->kind->name == "zebra"; });
        const bool offered = std::any_of(level->buyableKinds.begin(), level->buyableKinds.end(),
                                         [](const cAnimalKind* k) { return k->name == "zebra"; });
        if (it != level->animals.end()) {
            say(anchorOf(*it), "tutorial.msg16", false);
            nextStep();
        } else if (!offered) {
            skipStep("the level has no zebra and offers none");
        }
    } else if (step == 1 && timer > 1.0f) {
        tutorial_setRunning(false);
    }
}

void cTutorial::healScript()
{
    if (!level)
        return;
    if (step == 0 && timer > 0.0f) {
        removeSign(0);
        removeSign(1);
        retire(SIGN_ANIMAL | SIGN_SELL);
        nextStep();
    } else if (step == 1 && timer > 1.5f) {
        const auto it = std::find_if(level->animals.begin(), level->animals.end(),
                                     [](const cAnimal* a) { return a->isLiving() && a->sick; });
        if (it != level->animals.end()) {
            say(anchorOf(*it), "tutorial.msg17", false);
            nextStep();
        }
    }
}
