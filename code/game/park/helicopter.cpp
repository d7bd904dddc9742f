// cHelicopter: boarding, the flight over the park, the delivery panel and
// the credit of the sale.
#include "game/park/helicopter.h"

#include <algorithm>
#include <cmath>

#include "game/app/game.h"
#include "game/park/animal.h"
#include "game/park/level.h"
#include "game/park/parkeffects.h"
#include "game/park/parkupgrades.h"
#include "game/park/playstate.h"
#include "game/screens/awardprogress.h"
#include "gui/subscriber.h"
#include "gui/widget.h"
#include "orvo/app/a_file.h"
#include "orvo/gfx/a_advanim.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_imagemanager.h"
#include "orvo/sound/a_sound.h"
#include "orvo/sound/a_soundmanager.h"

namespace {

using Binder = GUI::_memberBinder<cHelicopter, bool, const GUI::EventArgs&>;

constexpr const char* kAnimationFiles[4] = {"sprites:Helo/helo_appear.ini", "sprites:Helo/helo_turn_start.ini",
                                            "sprites:Helo/helo_turn_end.ini", "sprites:Helo/helo_away.ini"};
constexpr float kTurnDistance = 150.0f;

aImageManager* gameImages()
{
    cGame* game = cGame::get();
    return game ? game->getImageManager() : nullptr;
}

// Looked up at every use: the image manager's pictures may be released and
// made again (a new game, a reloaded screen), so a kept pointer could dangle.
aImage* miniHelicopter()
{
    aImageManager* images = gameImages();
    return images && images->hasImage("Helo_mini") ? images->getImage("Helo_mini") : nullptr;
}

bool playIfFree(const char* name)
{
    cGame* game = cGame::get();
    return game && game->playSound(name);
}

} // namespace

void cHelicopter::loadSprites()
{
    aImageManager* images = gameImages();
    if (!images || !file_exists(kSpriteList))
        return;
    images->AddListToTask(kSpriteList);
    images->runTasks();
}

cHelicopter::cHelicopter(GUI::Widget* gui)
{
    if (gui) {
        panel = gui->GetName() == "Helo_map" ? gui : gui->FindChild("Helo_map", true);
        clickText = gui->FindChild("Click_text", true);
    }
    if (panel) {
        panel->SubscribeEvent(GUI::Widget::EventClick, new Binder(this, &cHelicopter::onClick));
        panel->SubscribeEvent(GUI::Widget::EventMouseEnter, new Binder(this, &cHelicopter::onMouseEnter));
        panel->SubscribeEvent(GUI::Widget::EventMouseLeave, new Binder(this, &cHelicopter::onMouseLeave));
        panel->SubscribeEvent(GUI::Widget::EventEndRender, new Binder(this, &cHelicopter::drawPanel));
    }
    cGame* game = cGame::get();
    if (aSoundManager* sounds = game ? game->getSoundManager() : nullptr)
        if (sounds->hasSound("helo_move"))
            rotorSound = sounds->getSound("helo_move");
    for (size_t i = 0; i < animations.size(); ++i) {
        auto anim = std::make_unique<aAdvAnim>();
        if (anim->Load(kAnimationFiles[i], gameImages()))
            animations[i] = std::move(anim);
    }
    if (animations[APPEAR]) {
        width = static_cast<uint16_t>(animations[APPEAR]->getWidth());
        height = static_cast<uint16_t>(animations[APPEAR]->getHeight());
    }
    perspective = false;
}

cHelicopter::~cHelicopter()
{
    if (rotorSound)
        rotorSound->stop();
    for (auto& anim : animations)
        anim.reset();
    if (ownsSpriteList)
        if (aImageManager* images = gameImages(); images && file_exists(kSpriteList))
            images->unloadList(kSpriteList);
}

bool cHelicopter::sellQueued(cLevel& l)
{
    if (!inactive)
        return false;
    level = &l;
    const int32_t capacity = parkUpgrades::helicopterCapacity();
    int32_t used = 0;
    for (auto it = l.saleQueue.begin(); it != l.saleQueue.end();) {
        cAnimal* a = *it;
        const int32_t slots = slotsOf(a->kind);
        if (a->isLiving() && used + slots <= capacity) {
            used += slots;
            boardAnimal(a);
            it = l.saleQueue.erase(it);
        } else {
            ++it;
        }
    }
    // NOTE: nothing aboard means no flight (and no sale to credit).
    if (toPickUp.empty())
        return false;
    sellAnimals(aVector2(512.0f, 384.0f));
    return true;
}

int32_t cHelicopter::slotsOf(const cAnimalKind* kind)
{
    // NOTE: every passenger takes a seat, whatever its kind file says.
    return kind ? std::max(1, kind->slotsInHelo) : 1;
}

void cHelicopter::boardAnimal(cAnimal* a)
{
    if (!a)
        return;
    a->hold();
    a->actionTime = 0.0f;
    a->actionDuration = 1.0f;
    a->health = 0.0f;
    toPickUp.push_back(a);
    aboard.push_back(a->kind);
}

void cHelicopter::sellAnimals(const aVector2& p)
{
    if (toPickUp.empty())
        return;
    state = FLYING;
    landingPoint = p;
    delivery = 0.0f;
    baseSpeed = speed = parkUpgrades::helicopterSpeed();
    std::sort(toPickUp.begin(), toPickUp.end(), [](const cAnimal* a, const cAnimal* b) { return a->anchor.x > b->anchor.x; });

    float minX = toPickUp.front()->anchor.x, maxX = minX, minY = toPickUp.front()->anchor.y, maxY = minY;
    for (const cAnimal* a : toPickUp) {
        minX = std::min(minX, a->anchor.x);
        maxX = std::max(maxX, a->anchor.x);
        minY = std::min(minY, a->anchor.y);
        maxY = std::max(maxY, a->anchor.y);
    }
    const int32_t w = animations[APPEAR] ? static_cast<int32_t>(animations[APPEAR]->getWidth()) : 0;
    landingPoint.x = (minX + maxX) / 2.0f;
    path.clearPoints();
    path.addPoint(static_cast<float>(1024 + w / 2), 0.0f);
    path.addPoint(landingPoint.x, (minY + maxY) / 2.0f);
    path.addPoint(static_cast<float>(-w), 0.0f);
    path.rebuild();
    path.start();

    animIndex = APPEAR;
    if (animations[APPEAR])
        animations[APPEAR]->play();
    rotorVolume = 0.0f;
    if (rotorSound)
        rotorSound->play(true, 0.0f);
    playIfFree("sell");
    inactive = false;
}

int32_t cHelicopter::countKindAboard(const cAnimalKind* kind) const
{
    return static_cast<int32_t>(std::count(aboard.begin(), aboard.end(), kind));
}

void cHelicopter::forget(const cAnimal* a)
{
    toPickUp.erase(std::remove(toPickUp.begin(), toPickUp.end(), a), toPickUp.end());
}

void cHelicopter::update(float dt)
{
    if (inactive)
        return;
    if (state == FLYING)
        flightStep(dt);
    else
        panelStep(dt);
}

void cHelicopter::flightStep(float dt)
{
    if (rotorSound && rotorSound->isPaused())
        rotorSound->pause(false);
    rotorVolume = std::min(1.0f, rotorVolume + dt);
    if (rotorSound)
        rotorSound->setVolume(rotorVolume);
    if (path.update(kFlightSpeed * dt) == aCurve::ARRIVED || !path.isMoving()) {
        state = PANEL_IN;
        if (panel) {
            panel->SetVisible(true);
            panel->SetAlpha(0.0f);
        }
        return;
    }
    if (aAdvAnim* anim = animations[static_cast<size_t>(animIndex)].get()) {
        anim->update(dt);
        if ((animIndex == TURN_START || animIndex == TURN_END) && (!anim->isPlaying() || anim->isFinished())) {
            ++animIndex;
            if (animations[static_cast<size_t>(animIndex)])
                animations[static_cast<size_t>(animIndex)]->play();
        }
    }
    float x = 0.0f, y = 0.0f;
    path.getPosition(x, y, nullptr);
    setPosition(aVector2(x, y));
    for (auto it = toPickUp.begin(); it != toPickUp.end();) {
        cAnimal* a = *it;
        if (a->anchor.x <= x) {
            ++it;
            continue;
        }
        park_startEffect("DISAPPEAR_02", a->centre.x, a->centre.y, 0, true, true);
        a->vanish();
        it = toPickUp.erase(it);
    }
    if (animIndex == APPEAR && x - landingPoint.x < kTurnDistance) {
        animIndex = TURN_START;
        if (animations[TURN_START])
            animations[TURN_START]->play();
    }
}

void cHelicopter::panelStep(float dt)
{
    rotorVolume -= dt;
    if (rotorVolume <= 0.0f) {
        rotorVolume = 0.0f;
        if (rotorSound)
            rotorSound->stop();
    } else if (rotorSound) {
        rotorSound->setVolume(rotorVolume);
    }
    if (state == PANEL_IN) {
        panelShown += (1.0f - panelShown) * dt * 5.0f;
        if (panelShown >= 0.995f) {
            panelShown = 1.0f;
            state = DELIVERING;
            if (clickText)
                clickText->SetVisible(true);
        }
    } else if (state == DELIVERING) {
        delivery += speed * dt;
        if (delivery > 2.0f) {
            delivery = 2.0f;
            state = PANEL_OUT;
            if (clickText)
                clickText->SetVisible(false);
        }
        if (speed > baseSpeed)
            speed = std::max(baseSpeed, speed - 0.4f * dt);
    } else if (state == PANEL_OUT) {
        panelShown -= panelShown * dt * 5.0f;
        if (panelShown <= 0.05f) {
            panelShown = 0.0f;
            if (clickText)
                clickText->SetVisible(false);
            completeSale();
        }
    }
    if (panel && (state == PANEL_IN || state == PANEL_OUT)) {
        panel->SetPosition(static_cast<int16_t>(panel->GetXInParent()),
                           static_cast<int16_t>(-770 + static_cast<int32_t>(115.0f * panelShown)));
        panel->SetAlpha(panelShown);
    }
    if (clickText && clickText->IsVisible(true)) {
        pulseTime += dt;
        clickText->SetAlpha((std::sin(7.0f * pulseTime) + 1.0f) * 0.25f + 0.5f);
    }
}

void cHelicopter::completeSale()
{
    cLevel* l = level;
    if (!l) {
        cGame* game = cGame::get();
        l = game ? game->getCurrentLevel() : nullptr;
    }
    if (l) {
        const cSettings s = cGame::get() ? cGame::get()->settings() : cSettings();
        for (const cAnimalKind* kind : aboard) {
            const uint16_t price = l->animalPrice(kind->name);
            const auto credit = static_cast<int32_t>(price / 100.0 * s.animalSellCoeff + s.sellAdditionValue);
            l->addMoney(credit);
            if (cPlayState* play = cPlayState::find(); play && panel)
                play->showMoneyChange(saleTextPoint(), credit);
            l->updateGoals(cGoal::SOLD, kind);
            award_animalSold(kind->name);
        }
    }
    toPickUp.clear();
    aboard.clear();
    inactive = true;
    if (l && l->state != 1)
        l->checkLost();
    playIfFree("helo_return");
}

aVector2 cHelicopter::saleTextPoint() const
{
    // Where the shown panel rests (on screen), not where the slid-out one is now.
    if (!panel)
        return aVector2(512.0f, 384.0f);
    return aVector2(static_cast<float>(panel->GetAbsoluteX() + panel->GetWidth() / 2),
                    static_cast<float>(panel->GetHeight() / 2 + 64));
}

void cHelicopter::draw()
{
    if (inactive || state != FLYING)
        return;
    if (aAdvAnim* anim = animations[static_cast<size_t>(animIndex)].get()) {
        const float s[2] = {scale, scale};
        anim->draw(left, top, 0xFFFFFFFF, s);
    }
}

bool cHelicopter::onClick(const GUI::EventArgs& /*args*/)
{
    if (state != DELIVERING || inactive)
        return true;
    clicked = true;
    speed += 0.1f;
    cGame* game = cGame::get();
    aSoundManager* sounds = game ? game->getSoundManager() : nullptr;
    if (sounds && sounds->hasSound("helo_click"))
        park_playOnce(sounds->getSound("helo_click"));
    return true;
}

bool cHelicopter::onMouseEnter(const GUI::EventArgs& args)
{
    if (cPlayState* play = cPlayState::find())
        play->onHudButtonEnter(args);
    if (aImage* mini = miniHelicopter()) {
        const aImage::BloomParam bloom(0, 0.7f);
        mini->setEffect(2, &bloom);
    }
    return true;
}

bool cHelicopter::onMouseLeave(const GUI::EventArgs& args)
{
    // The panel is part of the HUD: the park takes clicks again.
    if (cPlayState* play = cPlayState::find())
        play->onHudButtonLeave(args);
    if (aImage* mini = miniHelicopter())
        mini->setEffect(0);
    return true;
}

bool cHelicopter::drawPanel(const GUI::EventArgs& /*args*/)
{
    aImage* mini = miniHelicopter();
    if (state != DELIVERING || inactive || !panel || !mini)
        return true;
    const float d = static_cast<float>(panel->GetWidth() - mini->getWidth());
    const float y = static_cast<float>(panel->GetAbsoluteY() + 15);
    const float ax = static_cast<float>(panel->GetAbsoluteX());
    if (delivery <= 1.0f) {
        const float scales[2] = {-1.0f, 1.0f};
        mini->drawAtF(ax + mini->getWidth() + std::trunc(d * delivery), y, 0xFFFFFFFF, scales);
    } else {
        mini->drawAtF(ax + std::trunc(d * (2.0f - delivery)), y);
    }
    return true;
}
