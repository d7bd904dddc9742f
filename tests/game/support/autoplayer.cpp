#include "game/support/autoplayer.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "game/app/playerprofile.h"
#include "game/park/parkupgrades.h"
#include "game/park/playstate.h"
#include "game/park/poacher.h"
#include "game/screens/parkconfig.h"
#include "orvo/app/a_optionsfile.h"
#include "orvo/sound/a_sound.h"
#include "orvo/util/a_random.h"

namespace kbtest {

namespace {

constexpr float kHandPace = 0.3f; // seconds between two clicks of the keeper
constexpr int32_t kHerdSize = 3;  // the least herd the keeper keeps earning
constexpr float kFoodRange = 150.0f;

const std::string kData = std::string(KB_TEST_DATA_DIR) + "/../../data/";

// The first of a level's list that `pred` accepts, or null.
template <class T, class Pred> T* first(const std::vector<T*>& list, Pred pred)
{
    const auto it = std::find_if(list.begin(), list.end(), pred);
    return it == list.end() ? nullptr : *it;
}

} // namespace

std::vector<MapEntry> readMapEntries()
{
    std::ifstream in(kData + "Map/config.ini");
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    aOptionsFile map;
    map.parse(text.data(), text.size(), "Map/config.ini");
    std::vector<MapEntry> entries;
    for (map.firstSection(); !map.isSectionEnd(); map.nextSection()) {
        MapEntry& e = entries.emplace_back(MapEntry{map.getSectionName(), "", -1, {}});
        if (map.findKey("NeedLevelComplete"))
            e.needLevel = map.getString("NeedLevelComplete");
        if (map.findKey("MiniGame"))
            e.miniGame = map.getInt("MiniGame");
        if (map.findKey("NeedUpgradeStages"))
            map.getIntList("NeedUpgradeStages", e.stages);
    }
    return entries;
}

std::vector<std::string> normalLevelNames()
{
    std::vector<std::string> names;
    for (const MapEntry& e : readMapEntries())
        if (e.miniGame < 0 && e.name != "Tutorial")
            names.push_back(e.name);
    return names;
}

bool levelFileExists(const std::string& name)
{
    return std::ifstream(kData + "Levels/" + name + ".ini").good();
}

void letDrivenOffPoachersGo(cLevel& level)
{
    for (cPoacher* p : level.poachers)
        if (p->health <= 0.0f && p->fade <= 0.01f && p->sounds[cPoacher::SND_DISAPPEAR])
            p->sounds[cPoacher::SND_DISAPPEAR]->stop();
}

void giveMapUpgrades(cPlayerProfile& player, const std::string& levelName)
{
    player.upgradeStages.clear();
    for (const MapEntry& e : readMapEntries())
        if (e.name == levelName)
            for (size_t i = 0; i < e.stages.size(); ++i)
                player.setUpgradeStage(static_cast<uint16_t>(i), e.stages[i]);
}

AutoPlayer::AutoPlayer(cLevel& level, cHelicopter& helo)
    : m_level(level), m_helo(helo), m_upgrades(parkConfig::readUpgrades())
{
}

void AutoPlayer::act(float t)
{
    m_now = t;
    if (t < m_nextClick)
        return;
    // Most urgent first: a poacher shoots, the sick and the hungry lose
    // health, coins wait on the ground. Each action is one step of the hand
    // (a tool and its target count as one).
    if (hitPoacher() || heal() || feed() || collectCoin() || sell() || buy() || raiseFood() || clickProducer())
        m_nextClick = t + kHandPace;
}

bool AutoPlayer::hitPoacher()
{
    cPoacher* p =
        first(m_level.poachers, [](auto* p) { return p->fade == cPoacher::kAppearedFade && p->health > 0.0f; });
    if (!p || m_now < m_clickWait)
        return false;
    p->hit(parkUpgrades::poacherHitDamage());
    m_clickWait = m_now + cPlayState::kClickWait;
    return true;
}

bool AutoPlayer::heal()
{
    const cPlayerProfile* player = parkUpgrades::currentPlayer();
    const cFood* medicine = cFood::findKind(cFood::MEDICINE, (player ? player->getUpgradeStage(1) : 0) + 1);
    cAnimal* a = first(m_level.animals, [](auto* a) { return a->sick && a->isLiving(); });
    if (!medicine || !a || m_now < m_healReady)
        return false;
    a->heal(medicine->count);
    m_healReady = m_now + medicine->cooldown;
    return true;
}

int32_t AutoPlayer::foodCost(int32_t type) const
{
    const cFood* kind = cFood::findKind(type, m_foodStage[type] + 1);
    return kind ? kind->cost : 0;
}

bool AutoPlayer::feed()
{
    for (cAnimal* a : m_level.animals) {
        const int32_t type = a->kind->foodType;
        if (!a->isHungry() || type < 0 || type > 1 || m_level.foodStock[type] == 0)
            continue;
        const cFood* kind = cFood::findKind(type, m_foodStage[type] + 1);
        if (!kind || m_level.money < kind->cost || first(m_level.foods, [a](auto* f) {
                return f->isPresent() && (f->anchor - a->anchor).lengthSq() < kFoodRange * kFoodRange;
            }))
            continue;
        // Beside the animal on its own ground, as a player clicks it.
        for (float dx : {60.0f, -60.0f, 0.0f, 30.0f, -30.0f}) {
            const aVector2 p = a->anchor + aVector2(dx, 20.0f);
            if (m_level.walkableAt(static_cast<int32_t>(p.x), static_cast<int32_t>(p.y)) != type)
                continue;
            m_level.spendMoney(kind->cost);
            m_level.placeFood(type, m_foodStage[type] + 1, p);
            return true;
        }
    }
    return false;
}

bool AutoPlayer::collectCoin()
{
    cBonus* coin = first(m_level.bonuses, [](auto* c) { return c->landed && !c->collected; });
    if (!coin)
        return false;
    coin->collect(aVector2(100.0f, 40.0f));
    return true;
}

bool AutoPlayer::sell()
{
    return !m_level.saleQueue.empty() && !m_helo.underWay() && m_helo.sellQueued(m_level);
}

bool AutoPlayer::buyKind(const std::string& kind, int32_t reserve)
{
    return m_level.money >= m_level.animalPrice(kind) + reserve && m_level.buyCooldownFraction(kind) >= 1.0f &&
           m_level.spawnAnimals(kind, false);
}

bool AutoPlayer::buy()
{
    // Money kept back to feed the herd for a while.
    const int32_t reserve = 6 * std::max(foodCost(0), foodCost(1));
    for (const cGoal& goal : m_level.goals)
        if (!goal.done && goal.type != cGoal::MONEY &&
            first(m_level.buyableKinds, [&goal](auto* k) { return k->name == goal.kindName; }) &&
            m_level.goalRemaining(goal.kindName) > 0 && buyKind(goal.kindName, reserve))
            return true;
    if (std::count_if(m_level.animals.begin(), m_level.animals.end(), [](auto* a) { return a->isLiving(); }) >=
        kHerdSize)
        return false;
    // Near an open money goal a new animal would only put it off.
    for (const cGoal& goal : m_level.goals)
        if (!goal.done && goal.type == cGoal::MONEY && m_level.money + 200 >= goal.target)
            return false;
    // The herd: the cheapest kind that earns.
    const auto cheapest =
        std::min_element(m_level.buyableKinds.begin(), m_level.buyableKinds.end(), [this](auto* a, auto* b) {
            return m_level.animalPrice(a->name) < m_level.animalPrice(b->name);
        });
    return cheapest != m_level.buyableKinds.end() &&
           buyKind((*cheapest)->name, reserve + m_level.animalPrice((*cheapest)->name) / 2);
}

bool AutoPlayer::raiseFood()
{
    const int32_t built = parkConfig::builtStage(parkUpgrades::currentPlayer(), 2);
    for (int32_t type = 0; type < 2; ++type) {
        const int32_t price = parkConfig::foodUpgradePrice(m_upgrades, m_foodStage[type]);
        if (m_level.foodStock[type] == 0 || m_foodStage[type] >= built || m_level.money < price + 200)
            continue;
        m_level.spendMoney(price);
        ++m_foodStage[type];
        return true;
    }
    return false;
}

bool AutoPlayer::clickProducer()
{
    cAnimal* a = first(m_level.animals, [](auto* a) { return a->isLiving() && a->state == cAnimalKind::PRODUCE; });
    if (!a || m_now < m_clickWait)
        return false;
    a->onProductionClick();
    m_clickWait = m_now + cPlayState::kClickWait;
    return true;
}

void AutoPlayGame::SetUp()
{
    ParkGame::SetUp();
    cPoacher::loadKinds("poachers:hunter/hunter.ini");
    cHelicopter::loadSprites();
    player = game->h.makePlayer();
}

void AutoPlayGame::TearDown()
{
    helo.reset();
    level.reset();
    cPoacher::releaseKinds();
    ParkGame::TearDown();
}

AutoPlayResult AutoPlayGame::play(const std::string& levelName, uint32_t seed, bool keeper)
{
    helo.reset();
    level.reset();
    a_srand(seed);
    level = std::make_unique<cLevel>("levels:" + levelName + ".ini", true);
    EXPECT_TRUE(level->loaded) << levelName;
    if (!level->loaded)
        return {};
    helo = std::make_unique<cHelicopter>();
    const float maxSeconds = std::max(600.0f, 2.0f * static_cast<float>(level->rewards.silverTime));
    AutoPlayer keeperHand(*level, *helo);
    float t = 0.0f;
    for (; t < maxSeconds && level->state == 0; t += kDt) {
        if (keeper)
            keeperHand.act(t);
        level->frameStep(kDt);
        helo->update(kDt);
        letDrivenOffPoachersGo(*level);
    }
    return {level->state, t, level->money, level->rewards};
}

} // namespace kbtest
