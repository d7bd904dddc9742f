// cLevel: the frame step, the poacher waves and what the HUD asks of the level.
#include <algorithm>
#include <cmath>

#include "game/app/game.h"
#include "game/park/animal.h"
#include "game/park/bonus.h"
#include "game/park/food.h"
#include "game/park/helicopter.h"
#include "game/park/level.h"
#include "game/park/parkeffects.h"
#include "game/park/poacher.h"
#include "orvo/sound/a_sound.h"
#include "orvo/util/a_log.h"
#include "orvo/util/a_random.h"

namespace {

constexpr int32_t kPlacementTries = 99999;
constexpr float kAnimalClearanceSq = 40000.0f;

} // namespace

bool cLevel::saleUnderWay()
{
    const cHelicopter* helo = cHelicopter::getSingletonPtr();
    return helo && !helo->inactive;
}

int32_t cLevel::countKindAboard(const cAnimalKind* kind)
{
    const cHelicopter* helo = cHelicopter::getSingletonPtr();
    return helo && kind ? helo->countKindAboard(kind) : 0;
}

void cLevel::frameStep(float dt)
{
    // NOTE: rebuilt from nothing every step, so a frame that was not drawn
    // never leaves pointers to released elements in the list.
    g_drawList.clear();
    level_updateList(foods, dt);
    level_updateList(animals, dt, &g_drawList);
    level_updateList(bonuses, dt);
    level_updateList(poachers, dt, &g_drawList);
    for (cDrawElement* entity : entities)
        entity->update(dt);
    std::sort(g_drawList.begin(), g_drawList.end(), compareDepth);

    for (auto& [kind, left] : buyCooldowns)
        left = std::max(0.0f, left - dt);
    for (float& c : foodCooldown)
        c = std::max(0.0f, c - dt);

    if (wavesLeft > 0)
        waveTimer -= dt;
    if ((wavesLeft > 0 || !pendingPoachers.empty()) && eventAllowed(0))
        updatePoacherWaves(dt);

    updateWaterAndButterflies(dt);
    if (ambientSound && !ambientSound->isPlaying())
        ambientSound->play(true, -1.0f, -2.0f);
}

void cLevel::updatePoacherWaves(float dt)
{
    if (wavesLeft > 0 && waveTimer <= 0.0f) {
        waveTimer = a_randFloat(minSpawnTime, maxSpawnTime);
        const auto live = std::count_if(poachers.begin(), poachers.end(), [](cPoacher* p) { return p->isAlive(); });
        if (!animals.empty() && live < kMaxLivePoachers) {
            --wavesLeft;
            const int32_t n = waveMinCount == waveMaxCount || waveMaxCount <= waveMinCount
                                  ? waveMinCount
                                  : waveMinCount + a_rand() % (waveMaxCount - waveMinCount);
            for (int32_t i = 0; i < n; ++i)
                pendingPoachers.push_back(0.5f + static_cast<float>(a_rand()) * 0.5f / 32767.0f);
        }
    }
    if (pendingPoachers.empty())
        return;
    pendingPoachers.front() -= dt;
    if (pendingPoachers.front() >= 0.0f)
        return;
    pendingPoachers.pop_front();
    if (poacherTypes.empty())
        return;
    spawnPoacherWave(poacherTypes[static_cast<size_t>(a_rand()) % poacherTypes.size()]);
}

cPoacher* cLevel::spawnPoacherWave(const std::string& typeName)
{
    cPoacher* p = cPoacher::create(cPoacher::findKind(typeName));
    if (!p) {
        static bool told = false;
        if (!told)
            a_log("cLevel. No poacher kind \"%s\"", typeName.c_str());
        told = true;
        return nullptr;
    }
    poachers.push_back(p);
    auto livesIn = [this](int32_t a) {
        return std::any_of(animals.begin(), animals.end(), [a](cAnimal* x) { return x->kind->foodType == a; });
    };
    if (!animals.empty() && !livesIn(p->area))
        p->area = 1 - p->area;
    if (area(p->area).width == 0 || area(p->area).height == 0)
        p->area = 1 - p->area;

    const auto radius = static_cast<int32_t>(std::lround(p->width * p->scale));
    const auto other =
        std::find_if(poachers.begin(), poachers.end(), [p](cPoacher* q) { return q != p && q->area == p->area; });
    aVector2 at = p->anchor;
    bool found = false;
    if (other != poachers.end()) {
        const aVector2 from = (*other)->anchor;
        for (int32_t t = 0; t < kPlacementTries && !found; ++t) {
            const float angle = static_cast<float>(a_rand() % 360) * 3.14159265f / 180.0f;
            const float dist = static_cast<float>(radius) * (1.0f + static_cast<float>(a_rand()) / 32767.0f);
            at = from + aVector2(std::cos(angle), std::sin(angle)) * dist;
            const int32_t half = radius / 2;
            const auto x = static_cast<int32_t>(at.x), y = static_cast<int32_t>(at.y);
            found = walkableAt(x - half, y) == p->area && walkableAt(x + half, y) == p->area;
        }
    } else {
        for (int32_t t = 0; t < kPlacementTries && !found; ++t) {
            int32_t x = area(p->area).x, y = area(p->area).y;
            randomPointInArea(p->area, x, y, radius, ANY_GROUND);
            at = aVector2(static_cast<float>(x), static_cast<float>(y));
            found = std::none_of(animals.begin(), animals.end(), [&](cAnimal* a) {
                return a->kind->foodType == p->area && (a->anchor - at).lengthSq() < kAnimalClearanceSq;
            });
        }
    }
    if (!found) {
        int32_t x = area(p->area).x, y = area(p->area).y;
        randomPointInArea(p->area, x, y, radius, ANY_GROUND);
        at = aVector2(static_cast<float>(x), static_cast<float>(y));
    }
    p->setPosition(at);
    p->setLevel(this);
    int32_t tx = static_cast<int32_t>(at.x), ty = static_cast<int32_t>(at.y);
    randomPointInArea(p->area, tx, ty, 0, ANY_GROUND);
    p->moveTo(aVector2(static_cast<float>(tx), static_cast<float>(ty)));
    const float y = p->anchor.y - 0.4f * p->height * p->scale;
    for (const char* effect : {"POACHER_BORN_01", "POACHER_BORN_02", "POACHER_BORN_03"})
        park_startEffect(effect, p->anchor.x, y, 0, true, true);
    return p;
}

bool cLevel::addBonus(int32_t type, const aVector2& from, const aVector2& to, int32_t value)
{
    cBonus* bonus = cBonus::create(type);
    if (!bonus)
        return false;
    bonus->launch(from, to, 50.0f);
    bonus->value = value;
    bonus->level = this;
    bonuses.push_back(bonus);
    return true;
}

float cLevel::buyCooldownFraction(const std::string& kindName) const
{
    const cAnimalKind* kind = cAnimal::findKindByName(kindName);
    if (!kind)
        return 0.0f;
    const auto it = buyCooldowns.find(kind);
    if (it == buyCooldowns.end() || kind->cooldownOnBuy <= 0.0f)
        return 1.0f;
    return 1.0f - it->second / kind->cooldownOnBuy;
}

int32_t cLevel::goalRemaining(const std::string& kindName) const
{
    const cAnimalKind* kind = cAnimal::findKindByName(kindName);
    if (!kind)
        return 0;
    for (const cGoal& goal : goals) {
        if (goal.done || goal.type == cGoal::MONEY || goal.kindName != kindName)
            continue;
        int64_t left = static_cast<int64_t>(goal.target) - goal.progress - countLivingAnimals(kindName);
        if (saleUnderWay())
            left -= countKindAboard(kind);
        return static_cast<int32_t>(std::max<int64_t>(0, left));
    }
    return 0;
}

void cLevel::stopSounds()
{
    for (cAnimal* a : animals)
        for (aSound* s : a->sounds)
            if (s)
                s->stop();
    for (cPoacher* p : poachers)
        for (aSound* s : p->sounds)
            if (s)
                s->stop();
    if (ambientSound)
        ambientSound->stop();
}

void cLevel::setMoney(int32_t value)
{
    money = value;
    updateGoals(cGoal::MONEY);
    showMoney();
}
