// The play state's tools: what the pointer picks in the park, what a click
// does with the tool in hand, the HUD tool buttons, refusals and hints, the
// in-level food upgrades and the Sell button.
#include <algorithm>

#include "game/app/game.h"
#include "game/app/playerprofile.h"
#include "game/app/simpletooltip.h"
#include "game/app/tutorialflag.h"
#include "game/app/tutorialtooltip.h"
#include "game/park/animal.h"
#include "game/park/bonus.h"
#include "game/park/food.h"
#include "game/park/goalswindow.h"
#include "game/park/helicopter.h"
#include "game/park/level.h"
#include "game/park/parkupgrades.h"
#include "game/park/playstate.h"
#include "game/park/poacher.h"
#include "game/park/tutorial.h"
#include "game/screens/parkstate.h"
#include "gui/server.h"
#include "gui/widget.h"
#include "orvo/app/a_inputserver.h"
#include "orvo/gfx/a_particlesmanager.h"
#include "orvo/gfx/a_particlesystem.h"
#include "orvo/platform/a_keycodes.h"
#include "orvo/sound/a_sound.h"
#include "orvo/sound/a_soundmanager.h"
#include "orvo/util/a_format.h"

namespace {

bool inside(const aRect& r, int32_t x, int32_t y)
{
    return x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height;
}

aVector2 centreOf(const GUI::Widget* w)
{
    const aRect r = w->GetAbsoluteRect();
    return aVector2(r.x + r.width / 2.0f, r.y + r.height / 2.0f);
}

cPlayerProfile* profile()
{
    cGame* game = cGame::get();
    return game ? game->getCurrentProfile() : nullptr;
}

void playOnce(const char* name)
{
    cGame* game = cGame::get();
    aSoundManager* sounds = game ? game->getSoundManager() : nullptr;
    if (!sounds || game->loadingThreadRuns() || !sounds->hasSound(name))
        return;
    aSound* sound = sounds->getSound(name);
    if (sound && !sound->isPlaying())
        sound->play(false, -1.0f, -2.0f);
}

// The park's price of a food upgrade stage, a tenth of it in the level.
int32_t upgradePrice(int32_t stage)
{
    return cParkState::getStageCost(stage) / 10;
}

} // namespace

void cPlayState::handleParkInput()
{
    cGame* game = cGame::get();
    aInputServer* input = game ? game->getInputServer() : nullptr;
    if (!input || !level)
        return;
    int32_t x = 0, y = 0;
    input->getMousePos(x, y);
    pickAnimals(x, y);
    pickBonuses(x, y);
    pickPoachers(x, y);
    const int32_t ground = level->walkableAt(x, y);
    foodBlocked = (cursorMode == MODE_GRASS && ground != 0) || (cursorMode == MODE_MEAT && ground != 1);
    if (input->buttonStates[0] == A_STATE_PRESSED)
        onParkClick(x, y);
    if (input->buttonStates[1] == A_STATE_PRESSED)
        leaveCursorMode();
    foodCursorOff = !m_pickedAnimals.empty() || !m_pickedPoachers.empty();
}

void cPlayState::pickAnimals(int32_t x, int32_t y)
{
    m_pickedAnimals.clear();
    cAnimal* front = nullptr;
    cAnimal* frontSick = nullptr;
    bool anyProducing = false;
    for (cAnimal* animal : level->animals) {
        animal->hovered = false;
        if (animal->health <= 0.0f || animal->presence <= 0.0f || !inside(animal->getScreenRect(), x, y))
            continue;
        animal->highlight = 0xFF00FF00;
        if (animal->sick && (!frontSick || animal->position.y > frontSick->position.y))
            frontSick = animal;
        anyProducing |= animal->state == cAnimalKind::PRODUCE;
        if (!front || animal->position.y > front->position.y)
            front = animal;
        m_pickedAnimals.push_back(animal);
    }
    if (cursorMode == MODE_HEAL) {
        if (frontSick)
            m_pickedAnimals.assign(1, frontSick);
        else
            for (cAnimal* animal : m_pickedAnimals)
                animal->highlight = 0xFFFFFF00;
    } else if (cursorMode == MODE_NONE && front) {
        if (anyProducing)
            std::erase_if(m_pickedAnimals, [](const cAnimal* a) { return a->state != cAnimalKind::PRODUCE; });
        else
            m_pickedAnimals.assign(1, front);
    }
    for (cAnimal* animal : m_pickedAnimals)
        animal->hovered = true;
    if ((cursorMode == MODE_GRASS || cursorMode == MODE_MEAT) && !anyProducing)
        m_pickedAnimals.clear();
}

void cPlayState::pickBonuses(int32_t x, int32_t y)
{
    m_pickedBonuses.clear();
    for (cBonus* bonus : level->bonuses) {
        bonus->hovered = false;
        if (!bonus->active || bonus->collected || !inside(bonus->getScreenRect(), x, y))
            continue;
        bonus->hovered = true;
        m_pickedBonuses.push_back(bonus);
    }
}

void cPlayState::pickPoachers(int32_t x, int32_t y)
{
    m_pickedPoachers.clear();
    for (cPoacher* poacher : level->poachers) {
        poacher->hovered = false;
        if (poacher->health <= 0.0f || poacher->fade != cPoacher::kAppearedFade ||
            !inside(poacher->getHitRect(), x, y))
            continue;
        poacher->hovered = true;
        m_pickedPoachers.push_back(poacher);
    }
}

void cPlayState::updateCursor()
{
    const char* name = "default";
    if (cursorMode == MODE_HEAL)
        name = "heal_cursor";
    else if (cursorMode == MODE_HIT)
        name = "hit_cursor";
    else if (cursorMode == MODE_GRASS && !foodCursorOff && !foodBlocked)
        name = "grass_cursor";
    else if (cursorMode == MODE_MEAT && !foodCursorOff && !foodBlocked)
        name = "meat_cursor";
    else if (foodBlocked && !foodCursorOff)
        name = "cancel_cursor";
    gui->SetMouseCursor(name);
    if (hudRoot)
        hudRoot->SetMouseCursor(name);
}

void cPlayState::onParkClick(int32_t x, int32_t y)
{
    cGame* game = cGame::get();
    const aVector2 point(static_cast<float>(x), static_cast<float>(y));
    if (cursorMode == MODE_NONE && clickWait == 0.0f && m_pickedAnimals.empty() && m_pickedBonuses.empty() &&
        m_pickedPoachers.empty()) {
        const int32_t ground = level->walkableAt(x, y);
        if (ground == 0) {
            showRefusal(point, grassButton);
            if (tutorial)
                tutorial->showFirstMessage();
        } else if (ground == 1) {
            showRefusal(point, meatButton);
        }
        return;
    }
    if (!m_pickedBonuses.empty()) {
        for (cBonus* bonus : m_pickedBonuses) {
            showMoneyChange(bonus->position, bonus->value);
            bonus->collect(moneyLabelCentre());
        }
    } else if ((cursorMode == MODE_GRASS || cursorMode == MODE_MEAT) && m_pickedAnimals.empty() &&
               m_pickedPoachers.empty()) {
        const int32_t type = cursorMode == MODE_GRASS ? 0 : 1;
        if (level->walkableAt(x, y) == type) {
            if (clickWait <= 0.0f) {
                if (level->placeFood(type, foodStage(type) + 1, point)) {
                    // The portion put down takes its share of what was paid.
                    portionsPaid.takeShare(portions);
                    if (--portions == 0)
                        leaveCursorMode();
                } else {
                    showRefusal(point, nullptr);
                }
            }
        } else {
            showRefusal(point, nullptr);
        }
    }
    for (cAnimal* animal : m_pickedAnimals) {
        if (animal->state == cAnimalKind::PRODUCE) {
            playOnce("animal_click");
            animal->onProductionClick();
            level->flags[cLevel::FLAG_PRODUCE_HINT_WAITS] = false;
            clickWait = kClickWait;
            continue;
        }
        if (animal->state == cAnimalKind::EAT || animal->child || animal->sick) {
            if (cursorMode == MODE_HEAL) {
                healAnimal(animal);
                break;
            }
            continue;
        }
        animal->onEasterEggClick();
    }
    if (!m_pickedPoachers.empty()) {
        const float hit = parkUpgrades::poacherHitDamage();
        for (cPoacher* poacher : m_pickedPoachers)
            poacher->hit(hit);
        clickWait = kClickWait;
    }
    if (cursorMode == MODE_HEAL)
        leaveCursorMode();
    (void)game;
}

void cPlayState::healAnimal(cAnimal* animal)
{
    const cPlayerProfile* player = profile();
    const cFood* kind = cFood::findKind(cFood::MEDICINE, (player ? player->getUpgradeStage(1) : 0) + 1);
    if (!kind)
        return;
    if (cGame* game = cGame::get())
        game->playSound("heal");
    animal->heal(kind->count);
    healWait = kind->cooldown;
}

void cPlayState::leaveCursorMode()
{
    if (cursorMode == MODE_NONE)
        return;
    if (portions > 0) {
        // NOTE: the portions held are refunded at the price they were bought
        // for (an upgrade bought since makes them no dearer, portions handed
        // over for free bring nothing); it is not money earned.
        const int32_t refund = portionsPaid.whole();
        if (refund > 0)
            level->addMoney(refund, false);
        portions = 0;
    }
    portionsPaid.clear();
    cursorMode = MODE_NONE;
}

void cPlayState::handFood(uint16_t count)
{
    if (!level || !gui)
        return;
    if (cursorMode != MODE_GRASS)
        leaveCursorMode();
    cursorMode = MODE_GRASS;
    // NOTE: portions the player already bought are kept.
    portions = std::max(portions, count);
    setToolCursor(grassButton, "grass_cursor");
    foodCursorOff = false;
}

const cFood* cPlayState::foodKind(int32_t type) const
{
    return cFood::findKind(type, foodStage(type) + 1);
}

void cPlayState::setToolCursor(GUI::Widget* button, const char* cursor)
{
    if (button)
        button->SetMouseCursor(cursor);
    gui->SetMouseCursor(cursor);
}

bool cPlayState::onHudButton(const GUI::EventArgs& args)
{
    if (cTutorialTooltip::anyUnflagged() || !level)
        return true;
    GUI::Widget* button = static_cast<const GUI::WidgetEventArgs&>(args).widget;
    bool defaultCursor = false;
    if (button == grassButton || button == meatButton) {
        const int32_t mode = button == grassButton ? MODE_GRASS : MODE_MEAT;
        const int32_t type = mode == MODE_GRASS ? 0 : 1;
        if (cursorMode != mode)
            leaveCursorMode();
        cursorMode = mode;
        const cFood* kind = foodKind(type);
        const bool shortOfMoney = kind && level->money < kind->cost;
        if (!kind || portions + kind->countOnClick > kind->countInStock || shortOfMoney) {
            showRefusal(centreOf(button), shortOfMoney ? moneyLabel : nullptr);
            if (portions == 0)
                cursorMode = MODE_NONE;
            defaultCursor = true;
        } else {
            portions = static_cast<uint16_t>(portions + kind->countOnClick);
            portionsPaid.add(kind->cost);
            level->spendMoney(kind->cost);
            if (tutorial)
                tutorial->forgetFoodHint();
            setToolCursor(button, type == 0 ? "grass_cursor" : "meat_cursor");
            foodCursorOff = false;
        }
    } else if (button == sellButton) {
        sendHelicopter();
        defaultCursor = true;
    } else if (button == healButton || button == hitButton) {
        const int32_t mode = button == healButton ? MODE_HEAL : MODE_HIT;
        if (cursorMode == mode) {
            leaveCursorMode();
            defaultCursor = true;
        } else {
            leaveCursorMode();
            cursorMode = mode;
            setToolCursor(button, mode == MODE_HEAL ? "heal_cursor" : "hit_cursor");
            foodCursorOff = false;
        }
    } else if (button == menuButton) {
        openIngameMenu();
    } else if (button == goalsButton) {
        if (goalsWindow)
            goalsWindow->show(elapsed, level->state == 1, false);
    } else {
        leaveCursorMode();
        defaultCursor = true;
    }
    if (defaultCursor) {
        setToolCursor(button, "default");
        foodCursorOff = true;
    }
    return true;
}

bool cPlayState::onHudButtonEnter(const GUI::EventArgs& args)
{
    GUI::Widget* button = static_cast<const GUI::WidgetEventArgs&>(args).widget;
    overHud = true;
    foodCursorOff = true;
    foodBlocked = false;
    const char* cursor = nullptr;
    if (button == healButton && cursorMode == MODE_HEAL)
        cursor = "heal_cursor";
    else if (button == hitButton && cursorMode == MODE_HIT)
        cursor = "hit_cursor";
    else if (button == grassButton && cursorMode == MODE_GRASS)
        cursor = "grass_cursor";
    else if (button == meatButton && cursorMode == MODE_MEAT)
        cursor = "meat_cursor";
    if (cursor) {
        button->SetMouseCursor(cursor);
        foodCursorOff = false;
    } else {
        button->SetMouseCursor("default");
    }
    return true;
}

bool cPlayState::onHudButtonLeave(const GUI::EventArgs& args)
{
    overHud = false;
    static_cast<const GUI::WidgetEventArgs&>(args).widget->SetMouseCursor("default");
    cSimpleTooltip::hide();
    return true;
}

void cPlayState::showRefusal(const aVector2& at, GUI::Widget* widget)
{
    cGame* game = cGame::get();
    aParticlesManager* particles = game ? game->getParticles() : nullptr;
    if (particles)
        particles->Add("RESTRICTION", at.x, at.y, 0, true, true);
    // Every refusal is heard, even while the last one's sound still plays.
    if (game)
        game->playSound("RESTRICTION");
    if (!widget)
        return;
    const aRect r = widget->GetAbsoluteRect();
    const float sx = r.x + r.width / 2.0f, sy = r.y + 20.0f;
    auto found = signEffects.find(widget);
    if (found == signEffects.end()) {
        if (particles)
            signEffects[widget] = particles->Add("SIGN", sx, sy, 1, false, true);
    } else if (found->second && found->second->isFinished()) {
        found->second->restartAt(sx, sy);
    }
    if (widget == moneyLabel)
        showHint(widget, "tip.no_money", 0x400);
    else if (!tutorial && (widget == grassButton || widget == meatButton))
        showHint(widget, "tip.no_food", 0x800);
}

void cPlayState::showHint(GUI::Widget* widget, const char* key, uint32_t bit)
{
    cPlayerProfile* player = profile();
    if (!player || (player->tipsMask & bit) || cTutorialTooltip::anyActive())
        return;
    const aVector2 c = centreOf(widget);
    cTutorialTooltip::add(static_cast<int16_t>(c.x), static_cast<int16_t>(c.y), key, true, 3.0f);
    if (!tutorial_isRunning())
        player->tipsMask |= bit;
}

bool cPlayState::buyIngameUpgrade(const GUI::EventArgs& args)
{
    GUI::Widget* button = static_cast<const GUI::WidgetEventArgs&>(args).widget;
    cGame* game = cGame::get();
    if (!level || !game)
        return true;
    const int32_t type = button == grassUpgradeButton ? 0 : 1;
    uint16_t& stage = type == 0 ? grassStage : meatStage;
    GUI::Widget* foodButton = type == 0 ? grassButton : meatButton;
    const int32_t price = upgradePrice(stage + 1);
    if (level->money < price) {
        showRefusal(centreOf(button), nullptr);
        return true;
    }
    ++stage;
    const cFood* kind = foodKind(type);
    if (foodButton && kind)
        foodButton->SetText(game->formatMoney(kind->cost));
    const int32_t maxStage = parkConfig::builtStage(parkUpgrades::currentPlayer(), 2);
    if (stage == maxStage)
        button->SetVisible(false);
    level->spendMoney(price);
    if (foodButton && game->getParticles()) {
        const aRect r = foodButton->GetAbsoluteRect();
        game->getParticles()->Add("INGAME_UPGRADE", r.x + (58 - 15 * maxStage) / 2 + 19 + 15 * stage, r.y + 84.0f,
                                  0, true, true);
    }
    game->playSound("get_award");
    if (button->IsVisible())
        onUpgradeButtonEnter(args);
    return true;
}

bool cPlayState::onUpgradeButtonEnter(const GUI::EventArgs& args)
{
    GUI::Widget* button = static_cast<const GUI::WidgetEventArgs&>(args).widget;
    cGame* game = cGame::get();
    overHud = true;
    foodCursorOff = true;
    if (!game)
        return true;
    const int32_t type = button == grassUpgradeButton ? 0 : 1;
    const int32_t price = upgradePrice(foodStage(type) + 1);
    const aRect r = button->GetAbsoluteRect();
    cSimpleTooltip::show(r.x, r.y, string_formatData(game->getText(type == 0 ? "upgrade_grass" : "upgrade_meat"), {price}));
    return true;
}

bool cPlayState::onUpgradeButtonLeave(const GUI::EventArgs&)
{
    overHud = false;
    foodCursorOff = false;
    cSimpleTooltip::hide();
    return true;
}

void cPlayState::sendHelicopter()
{
    if (helicopter && level)
        helicopter->sellQueued(*level);
}
