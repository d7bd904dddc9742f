// cAnimal: the actions the steps start (producing, idling, walking, going
// to food, sickness and healing, growing up).
#include <algorithm>
#include <cmath>

#include "game/app/game.h"
#include "game/app/playerprofile.h"
#include "game/park/animal.h"
#include "game/park/bonus.h"
#include "game/park/food.h"
#include "game/park/level.h"
#include "game/screens/awardprogress.h"
#include "orvo/util/a_log.h"
#include "orvo/util/a_random.h"

namespace {

int octantOf(const aVector2& dir)
{
    float a = dir.angleDeg() + 22.5f;
    if (a < 0.0f)
        a += 360.0f;
    return static_cast<int>(a / 45.0f) % 8;
}

} // namespace

void cAnimal::finishProducing()
{
    reproduceTimer = 0.0f;
    produceTimer = 0.0f;
    int32_t value = kind->bonusProduce + kind->bonusAddedOnClick * productionClicks;
    if (isOld()) {
        cGame* game = cGame::get();
        const int32_t coeff = game ? game->settings().oldAnimalProducingCoeff : 100;
        value = static_cast<int32_t>(std::ceil(static_cast<double>(value) * coeff / 100.0));
    }
    if (value >= 1 && level)
        cBonus::dropNear(level, anchor, width * scale * 0.5f, bonusTypeForValue(value), value);
    productionClicks = 0;

    if (!child && !isOld()) {
        ageOrProduced += 1.0f;
        if (isOld()) {
            const float h = height * scale;
            playEffect("ANIMAL_READY", 0.0f, -h * 0.7f);
            playSound(SND_READY_TO_SELL);
            playEffect("OLD_01", 0.0f, -h * 0.25f);
            playEffect("OLD_02", 0.0f, -h * 0.25f);
            if (level)
                level->addForSale(this);
        }
    }
    if (walkTime <= kind->timeBetweenIdles)
        walkToRandomPlace();
    else
        chooseNextAction();
    playEffect("STRIKE", centre.x - anchor.x, centre.y - anchor.y);
}

void cAnimal::chooseNextAction()
{
    walkTime = 0.0f;
    actionTime = 0.0f;
    if (!held) {
        int idlers = 0;
        if (level)
            for (const cAnimal* other : level->animals)
                if (other != this && other->kind == kind &&
                    (other->state == cAnimalKind::IDLE_01 || other->state == cAnimalKind::IDLE_02))
                    ++idlers;
        if (idlers >= 3 || direction <= UP_RIGHT) {
            walkToRandomPlace();
            return;
        }
    }
    if (child) {
        setState(cAnimalKind::IDLE_01);
        idleLoops = kind->childIdlePlayCount;
    } else if (a_rand() & 1) {
        setState(cAnimalKind::IDLE_02);
        idleLoops = kind->idle02PlayCount;
    } else {
        setState(cAnimalKind::IDLE_01);
        idleLoops = kind->idle01PlayCount;
    }
    if (direction <= UP_RIGHT)
        direction = RIGHT;
    restartAnimation();
}

void cAnimal::walkToRandomPlace()
{
    if (!level)
        return;
    const aRect& area = level->area(kind->foodType);
    if (kind->foodType > 1 || area.width == 0 || area.height == 0) {
        // NOTE: no ground to walk to; the animal stays where it is.
        if (!m_noPlaceLogged)
            a_log("cAnimal. No ground of area %d for \"%s\"", kind->foodType, kind->name.c_str());
        m_noPlaceLogged = true;
        return;
    }
    int32_t x = static_cast<int32_t>(anchor.x), y = static_cast<int32_t>(anchor.y);
    level->randomPointInArea(kind->foodType, x, y, static_cast<int32_t>(width * scale), kind->liveInWater);
    setState(cAnimalKind::WALK);
    moveTo(aVector2(static_cast<float>(x), static_cast<float>(y)));
}

cFood* cAnimal::findFoodTarget() const
{
    if (!level)
        return nullptr;
    for (size_t n = 0; n <= level->animals.size(); ++n) {
        cFood* best = nullptr;
        float bestDist = 0.0f;
        for (cFood* food : level->foods) {
            if (!food->isPresent() || food->eaters > static_cast<int32_t>(n))
                continue;
            if (!level->canStandAt(kind->foodType, 0, static_cast<int32_t>(food->anchor.x),
                                   static_cast<int32_t>(food->anchor.y), kind->liveInWater))
                continue;
            const float dist = (food->anchor - anchor).lengthSq();
            if (!best || dist < bestDist)
                best = food, bestDist = dist;
        }
        if (best)
            return best;
    }
    return nullptr;
}

void cAnimal::goToFood(cFood* food)
{
    static const aVector2 kSpots[8] = {{0.0f, 1.0f},  {-0.5f, 0.7f}, {-0.8f, 0.2f}, {-0.5f, -0.1f},
                                       {0.2f, -0.3f}, {0.7f, 0.0f},  {1.0f, 0.2f},  {0.8f, 0.7f}};
    const auto spotAt = [&](int o) { return food->anchor + kSpots[o] * (width * scale); };
    int side = octantOf(food->anchor - anchor);
    aVector2 spot = spotAt(side);
    if (!canStandAt(spot)) {
        // NOTE: at the edge of the ground that spot can lie on water, under the
        // HUD or over the fence. The animal eats from the nearest side it may
        // stand on instead, or at the food itself (on its ground) when none.
        int nearest = -1;
        for (int o = 0; o < 8; ++o)
            if (o != side && canStandAt(spotAt(o)) &&
                (nearest < 0 || (spotAt(o) - anchor).lengthSq() < (spotAt(nearest) - anchor).lengthSq()))
                nearest = o;
        if (nearest >= 0)
            side = nearest;
        spot = nearest >= 0 ? spotAt(nearest) : food->anchor;
    }
    ++food->eaters;
    foodTarget = food;
    foodSide = static_cast<uint16_t>(side);
    setState(cAnimalKind::WALK);
    moveTo(spot);
}

void cAnimal::getSick()
{
    sick = true;
    if (!held) {
        path.clear();
        freeRunning = false;
        held = true;
        chooseNextAction();
    }
    actionTime = 0.0f;
    actionDuration = 2.0f;
    const float dy = -height * scale * 0.3f;
    playEffect("SICK_01", 0.0f, dy);
    playEffect("SICK_02", 0.0f, dy);
    playSound(SND_SICK);
}

void cAnimal::heal(float immunitySeconds)
{
    immunity = immunitySeconds;
    sick = false;
    held = false;
    freeRunning = true;
    actionTime = actionDuration = 0.0f;
    stopStateEffect();
    clearEffects();
    playEffect("HEAL", centre.x - anchor.x, centre.y - anchor.y);
    if (level)
        level->updateGoals(cGoal::HEALED, kind);
    award_animalHealed();
}

void cAnimal::makeGrown(bool withEffects)
{
    ageOrProduced = 0.0f;
    child = false;
    offset = aVector2(0.0f, static_cast<float>(kind->adultVertOffset));
    baseScale = kind->adultBaseScale + kind->adultBaseScale * 0.1f * static_cast<float>(a_rand()) / 32767.0f;
    recomputeSize();
    if (withEffects) {
        playEffect("GROWN", 0.0f, -height * scale * 0.3f);
        playSound(SND_GROWN);
    }
    if (level)
        level->updateGoals(cGoal::GROWN, kind);
}
