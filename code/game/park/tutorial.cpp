#include "game/park/tutorial.h"

#include <algorithm>

#include "game/app/game.h"
#include "game/app/messagebox.h"
#include "game/app/tutorialflag.h"
#include "game/app/tutorialtooltip.h"
#include "game/park/animal.h"
#include "game/park/goalswindow.h"
#include "game/park/level.h"
#include "game/park/playstate.h"
#include "gui/widget.h"
#include "orvo/app/a_localeserver.h"
#include "orvo/gfx/a_particlesmanager.h"
#include "orvo/gfx/a_particlesystem.h"
#include "orvo/util/a_log.h"

namespace {

aParticlesManager* particles()
{
    cGame* game = cGame::get();
    return game ? game->getParticles() : nullptr;
}

bool hasText(const char* key)
{
    const aLocaleServer* locale = aLocaleServer::getSingletonPtr();
    if (locale && locale->getStringEx(key))
        return true;
    a_log("cTutorial. No text \"%s\"; the hint is not shown", key);
    return false;
}

cTutorialTooltip* told(cTutorialTooltip* tip, const char* key)
{
    if (!tip)
        a_log("cTutorial. The hint \"%s\" cannot be shown (no \"tooltip\" picture)", key);
    return tip;
}

} // namespace

cTutorial::cTutorial(int32_t tutorialType, cLevel* l) : type(tutorialType), level(l), playState(cPlayState::find())
{
    tutorial_setRunning(true);
}

cTutorial::~cTutorial()
{
    removeSigns();
}

void cTutorial::update(float dt)
{
    const cGoalsWindow* goals = playState ? playState->getGoalsWindow() : nullptr;
    if (!(goals && goals->isVisible()) && !cMessageBox::isShown()) {
        if (!cTutorialTooltip::anyUnflagged()) {
            timer += dt;
            switch (type) {
            case FIRST_LEVEL:
                firstLevelScript(dt);
                break;
            case POACHERS:
                poacherScript(dt);
                break;
            case ZEBRA:
                zebraScript();
                break;
            case HEAL:
                healScript();
                break;
            default:
                break;
            }
        }
        if (!cTutorialTooltip::anyActive())
            signHints(dt);
    }
    if (level && level->state != 0) {
        removeSigns();
        hints = 0;
    }
    if (!tutorial_isRunning()) {
        if (cGame* game = cGame::get())
            game->loadGameConfig("data:game.ini");
    }
}

void cTutorial::showFirstMessage()
{
    if (type != FIRST_LEVEL || step < 1 || cTutorialTooltip::anyActive() || !armed(BUY_FOOD) || live(foodTip) ||
        !level || !playState)
        return;
    if (level->money < 10)
        level->setMoney(10);
    if (playState->getGrassButton())
        foodTip = say(playState->tutorialPointCentre(), "tutorial.msg01", true);
    else
        a_log("cTutorial. No \"Grass\" button for the buy-food hint");
    retire(BUY_FOOD);
}

void cTutorial::forgetFoodHint()
{
    hide(foodTip);
}

void cTutorial::nextStep()
{
    ++step;
    timer = 0.0f;
}

void cTutorial::skipStep(const char* why)
{
    a_log("cTutorial. Script %d, step %d skipped: %s", type, step, why);
    nextStep();
}

cTutorialTooltip* cTutorial::say(const aVector2& at, const char* key, bool plain)
{
    if (!hasText(key))
        return nullptr;
    return told(cTutorialTooltip::add(static_cast<int16_t>(at.x), static_cast<int16_t>(at.y), key, plain, 0.0f), key);
}

cTutorialTooltip* cTutorial::sayAtWidget(GUI::Widget* widget, const char* key, bool plain)
{
    if (!widget)
        return nullptr;
    const aRect r = widget->GetAbsoluteRect();
    return say(aVector2(r.x + r.width / 2.0f, r.y + r.height / 2.0f), key, plain);
}

bool cTutorial::live(cTutorialTooltip*& tip)
{
    if (!tip)
        return false;
    const auto& all = cTutorialTooltip::all();
    const bool found = std::any_of(all.begin(), all.end(), [tip](const auto& t) { return t.get() == tip; });
    if (!found || !tip->isOpen())
        tip = nullptr;
    return tip != nullptr;
}

void cTutorial::hide(cTutorialTooltip*& tip)
{
    if (live(tip))
        tip->close();
    tip = nullptr;
}

void cTutorial::follow(cTutorialTooltip* tip, const aVector2& at)
{
    if (tip)
        tip->setPosition(static_cast<int16_t>(at.x), static_cast<int16_t>(at.y));
}

void cTutorial::showSign(int index, float x, float y)
{
    aParticleSystem*& sign = signs[index];
    if (!sign) {
        aParticlesManager* manager = particles();
        sign = manager ? manager->Add("SIGN", x, y, 1, false, true) : nullptr;
        if (!sign) {
            // The manager has logged the missing effect; the hint goes quietly.
            retire(SIGN_ANIMAL << index);
        }
    } else if (sign->isFinished()) {
        sign->restartAt(x, y);
    }
}

void cTutorial::removeSign(int index)
{
    if (!signs[index])
        return;
    if (aParticlesManager* manager = particles())
        manager->remove(signs[index]);
    signs[index] = nullptr;
}

void cTutorial::removeSigns()
{
    for (int i = 0; i < 3; ++i)
        removeSign(i);
}

GUI::Widget* cTutorial::firstAnimalButton() const
{
    if (!playState || playState->getAnimalButtons().empty())
        return nullptr;
    return playState->getAnimalButtons().front();
}

cAnimal* cTutorial::firstAnimal() const
{
    return level && !level->animals.empty() ? level->animals.front() : nullptr;
}

cAnimal* cTutorial::firstChild() const
{
    if (!level)
        return nullptr;
    const auto it = std::find_if(level->animals.begin(), level->animals.end(), [](const cAnimal* a) { return a->child; });
    return it == level->animals.end() ? nullptr : *it;
}

cPoacher* cTutorial::firstPoacher() const
{
    return level && !level->poachers.empty() ? level->poachers.front() : nullptr;
}

bool cTutorial::anyAnimal() const
{
    return level && !level->animals.empty();
}

bool cTutorial::canStillProduceCoins() const
{
    if (!level || !level->bonuses.empty())
        return true;
    return std::any_of(level->animals.begin(), level->animals.end(), [](const cAnimal* a) {
        return a->isLiving() && (a->child || static_cast<int32_t>(a->ageOrProduced) < a->kind->numOfProducing);
    });
}

void cTutorial::signHints(float dt)
{
    if (!playState || !level)
        return;
    // The first animal button, while the park stands empty.
    if (armed(SIGN_ANIMAL)) {
        if (!anyAnimal() && !cLevel::saleUnderWay()) {
            signTimers[0] += dt;
            GUI::Widget* button = firstAnimalButton();
            if (!button) {
                a_log("cTutorial. No animal button for the SIGN hint");
                retire(SIGN_ANIMAL);
            } else if (signTimers[0] > kSignWait && button->IsEnabled()) {
                const aRect r = button->GetAbsoluteRect();
                showSign(0, r.x + r.width / 2.0f, r.y + 20.0f);
            }
        } else if (anyAnimal() && signs[0]) {
            removeSign(0);
            retire(SIGN_ANIMAL);
        }
    }
    // The Sell button, once it has waited enabled for a while.
    if (armed(SIGN_SELL)) {
        GUI::Widget* sell = playState->getSellButton();
        if (!sell) {
            a_log("cTutorial. No \"Sell\" button for the SIGN hint");
            retire(SIGN_SELL);
        } else if (sell->IsEnabled()) {
            signTimers[1] += dt;
            if (signTimers[1] > kSignWait) {
                const aRect r = sell->GetAbsoluteRect();
                showSign(1, r.x + r.width / 2.0f, r.y + 20.0f);
            }
        } else if (signs[1]) {
            removeSign(1);
            retire(SIGN_SELL);
        }
    }
    // The Heal button, while some animal is sick and the heal tool is not taken.
    if (armed(SIGN_HEAL)) {
        const bool sick = std::any_of(level->animals.begin(), level->animals.end(),
                                      [](const cAnimal* a) { return a->isLiving() && a->sick; });
        GUI::Widget* heal = playState->getHealButton();
        if (sick && playState->getCursorMode() != cPlayState::MODE_HEAL) {
            signTimers[2] += dt;
            if (!heal) {
                a_log("cTutorial. No \"Heal\" button for the SIGN hint");
                retire(SIGN_HEAL);
            } else if (signTimers[2] > 0.0f) {
                const aRect r = heal->GetAbsoluteRect();
                showSign(2, r.x + r.width / 2.0f, r.y + 20.0f);
            }
        } else if (signs[2]) {
            removeSign(2);
            retire(SIGN_HEAL);
        }
    }
}
