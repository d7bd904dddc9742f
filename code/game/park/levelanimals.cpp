// cLevel: the park's animals, food and coins, money and goals.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "game/app/game.h"
#include "game/app/playerprofile.h"
#include "game/park/animal.h"
#include "game/park/bonus.h"
#include "game/park/food.h"
#include "game/park/helicopter.h"
#include "game/park/poacher.h"
#include "game/park/level.h"
#include "game/park/playstate.h"
#include "game/park/parkeffects.h"
#include "game/screens/awardprogress.h"
#include "orvo/util/a_log.h"
#include "orvo/util/a_random.h"

namespace {

const cSettings& settings()
{
    static const cSettings kDefaults;
    cGame* game = cGame::get();
    return game ? game->settings() : kDefaults;
}

} // namespace

namespace {

// NOTE: money is kept within int32 so that a long run of credits never wraps.
int32_t saturatedSum(int32_t a, int64_t b)
{
    return static_cast<int32_t>(std::clamp<int64_t>(a + b, INT32_MIN, INT32_MAX));
}

} // namespace

void cLevel::addMoney(int32_t amount, bool earned)
{
    money = saturatedSum(money, amount);
    updateGoals(cGoal::MONEY);
    if (earned)
        award_moneyEarned(amount);
    showMoney();
}

void cLevel::showMoney(int32_t spent)
{
    cPlayState* play = cPlayState::find();
    if (!play || play->getLevel() != this)
        return;
    play->setMoney(money);
    if (spent > 0)
        play->showMoneyChange(play->moneyLabelCentre(), -spent);
}

void cLevel::spendMoney(int32_t amount)
{
    money = saturatedSum(money, -static_cast<int64_t>(amount));
    updateGoals(cGoal::MONEY);
    checkLost();
    showMoney(amount);
}

void cLevel::updateGoals(int32_t type, const cAnimalKind* kind)
{
    bool reached = false;
    for (cGoal& goal : goals) {
        if (goal.done || goal.type != type)
            continue;
        if (type == cGoal::MONEY)
            goal.progress = money;
        else if (kind && goal.kindName == kind->name)
            ++goal.progress;
        if (goal.progress >= goal.target) {
            goal.done = true;
            goal.progress = goal.target;
            reached = true;
            cGame* game = cGame::get();
            if (game && !game->loadingThreadRuns())
                game->playSound("goal_done");
        }
    }
    if (reached)
        checkWon();
}

bool cLevel::checkWon()
{
    if (std::any_of(goals.begin(), goals.end(), [](const cGoal& g) { return !g.done; }))
        return false;
    state = 1;
    return true;
}

void cLevel::checkLost()
{
    const bool anyAlive = std::any_of(animals.begin(), animals.end(), [](cAnimal* a) { return a->isAlive(); });
    if (!anyAlive && !saleUnderWay() && std::none_of(buyableKinds.begin(), buyableKinds.end(),
                                  [this](const cAnimalKind* k) { return animalPrice(k->name) <= money; })) {
        state = -1;
        return;
    }
    for (const cGoal& goal : goals) {
        if (goal.done || goal.type != cGoal::SOLD)
            continue;
        const bool buyable = std::any_of(buyableKinds.begin(), buyableKinds.end(),
                                         [&goal](const cAnimalKind* k) { return k->name == goal.kindName; });
        const cAnimalKind* kind = cAnimal::findKindByName(goal.kindName);
        const int64_t have = static_cast<int64_t>(goal.progress) + countLivingAnimals(goal.kindName) +
                             countKindAboard(kind);
        // NOTE: counted without wrapping; a huge progress is never "below".
        if (!buyable && std::min<int64_t>(have, 0xFFFF) < goal.target) {
            state = -1;
            return;
        }
    }
}

uint16_t cLevel::countLivingAnimals(const std::string& kindName) const
{
    return static_cast<uint16_t>(std::count_if(animals.begin(), animals.end(), [&kindName](const cAnimal* a) {
        return a->kind->name == kindName && a->isLiving();
    }));
}

uint16_t cLevel::animalPrice(const std::string& kindName) const
{
    const cAnimalKind* kind = cAnimal::findKindByName(kindName);
    if (!kind)
        return 0;
    const cSettings& s = settings();
    const double rise = kind->cost + countLivingAnimals(kindName) * (kind->cost / 100.0 * s.animalRiseInPrice);
    // NOTE: kept within the price's 16 bits; a dear kind costs 65535, never a wrapped few coins.
    return static_cast<uint16_t>(std::clamp<double>(std::trunc(rise) + s.buyAdditionValue, 0.0, 65535.0));
}

int32_t cLevel::countHungryAnimals() const
{
    return static_cast<int32_t>(
        std::count_if(animals.begin(), animals.end(), [](const cAnimal* a) { return a->isHungry(); }));
}

bool cLevel::eventAllowed(int32_t mode) const
{
    const cSettings& s = settings();
    const int32_t hungry = countHungryAnimals();
    if (mode == 0) {
        const cHelicopter* helo = cHelicopter::getSingletonPtr();
        if (helo && !helo->inactive && helo->state == cHelicopter::FLYING)
            return false;
        return cAnimal::producingCount() < s.producingAnimalsCount && hungry < s.hungryAnimalsCount;
    }
    return static_cast<int32_t>(poachers.size()) < s.poachersCount && hungry < s.hungryAnimalsCount;
}

bool cLevel::spawnAnimals(const std::string& kindName, bool free)
{
    const cAnimalKind* kind = cAnimal::findKindByName(kindName);
    if (!kind || kind->foodType > 1)
        return false;
    const aRect& a = area(kind->foodType);
    if (a.width == 0 || a.height == 0)
        return false;
    int32_t x = a.x, y = a.y;
    randomPointInArea(kind->foodType, x, y, 0, kind->liveInWater);
    return spawnAnimal(kindName, aVector2(static_cast<float>(x), static_cast<float>(y)), free);
}

bool cLevel::spawnAnimal(const std::string& kindName, const aVector2& at, bool free)
{
    cAnimalKind* kind = cAnimal::findKindByName(kindName);
    if (!kind || kind->foodType >= 2)
        return false;
    const aRect& a = area(kind->foodType);
    if (a.width == 0 || a.height == 0)
        return false;
    const int32_t price = animalPrice(kindName);
    if (!free) {
        float& cooldown = buyCooldowns[kind];
        if (money < price || cooldown != 0.0f)
            return false;
    }
    cAnimal* animal = cAnimal::create(false, kind);
    if (!animal)
        return false;
    animal->setPosition(at);
    animal->setLevel(this);
    animal->highlight = 0xFF00FF00;
    animals.push_back(animal);
    if (!free) {
        spendMoney(price);
        buyCooldowns[kind] = kind->cooldownOnBuy;
        const float y = animal->anchor.y - 0.2f * animal->height * animal->scale;
        park_startEffect("ANIMAL_BORN_01", animal->anchor.x, y, 0, true, true);
        park_startEffect("ANIMAL_BORN_02", animal->anchor.x, y, 0, true, true);
        animal->presence = 1.1754944e-38f;
        if (animal->sounds[cAnimal::SND_APPEAR])
            park_playOnce(animal->sounds[cAnimal::SND_APPEAR]);
    }
    return true;
}

bool cLevel::placeFood(int32_t type, int32_t foodLevel, const aVector2& at)
{
    cFood* food = cFood::place(type, foodLevel);
    if (!food)
        return false;
    food->setPosition(at);
    foods.push_back(food);
    return true;
}

void cLevel::addForSale(cAnimal* animal)
{
    if (std::find(saleQueue.begin(), saleQueue.end(), animal) == saleQueue.end())
        saleQueue.push_back(animal);
}

void cLevel::forgetAnimal(cAnimal* animal)
{
    for (cPoacher* poacher : poachers)
        poacher->dropTarget(animal);
    if (cHelicopter* helo = cHelicopter::getSingletonPtr())
        helo->forget(animal);
    saleQueue.erase(std::remove(saleQueue.begin(), saleQueue.end(), animal), saleQueue.end());
}

void cLevel::spawnInitialAnimals(const std::vector<std::pair<std::string, int32_t>>& pairs)
{
    // Placings tried, not made, count: a kind that finds no place must not be tried without end.
    int64_t asked = 0;
    int32_t tried = 0;
    aLogLimit unknownKinds;
    for (const auto& [kindName, count] : pairs) {
        if (!cAnimal::findKindByName(kindName)) {
            if (unknownKinds.allow())
                a_log("cLevel. Level \"%s\" starts with \"%s\", which is no loaded animal kind", name.c_str(),
                      kindName.c_str());
            continue;
        }
        asked += std::max(count, 0);
        for (int32_t i = 0; i < count && tried < kMaxInitialAnimals; ++i, ++tried)
            spawnAnimals(kindName, true);
    }
    unknownKinds.flush(("cLevel. Level \"" + name + "\" starts with no loaded animal kind").c_str());
    if (asked > kMaxInitialAnimals)
        a_log("cLevel. Level \"%s\" starts with %lld animals; %d at most are placed", name.c_str(),
              static_cast<long long>(asked), static_cast<int>(kMaxInitialAnimals));
    if (animals.empty())
        return;
    int32_t grown =
        static_cast<int32_t>(std::lround(adultAnimalsPercent / 100.0 * static_cast<double>(animals.size())));
    // NOTE: never more than there are children, or the search below would not end.
    grown = std::min<int32_t>(grown, static_cast<int32_t>(std::count_if(animals.begin(), animals.end(),
                                                                        [](cAnimal* a) { return a->child; })));
    while (grown > 0) {
        cAnimal* candidate = animals.front();
        while (!candidate->child)
            candidate = animals[static_cast<size_t>(a_rand()) % animals.size()];
        candidate->makeGrown(false);
        --grown;
    }
}

void cLevel::offerFoods()
{
    // A level starts with the in-level food stages at 0: the first kind of each food is on offer.
    for (int t = 0; t < 2; ++t) {
        const cFood* kind = cFood::findKind(t, 1);
        const aRect& a = area(t);
        foodStock[t] = kind && a.width != 0 && a.height != 0 ? kind->countInStock : 0;
        foodCooldown[t] = 0.0f;
    }
}

void cLevel::createInitialCreatures()
{
    // Loads each buyable kind's animations before play.
    for (cAnimalKind* kind : buyableKinds) {
        cAnimal* first = cAnimal::create(false, kind);
        cAnimal* second = cAnimal::create(false, kind);
        for (cAnimal* animal : {first, second})
            if (animal)
                animal->release();
    }
    // The adjusted MaxCount is never below a wave's size.
    if (wavesLeft > 0)
        cPoacher::preallocate(static_cast<size_t>(std::max(0, waveMaxCount)));
}
