// The shipped fenced park played headless on a fixed seed and frame time:
// a scripted keeper (collects coins, feeds the hungry, drives poachers off,
// buys zebras, sells what is old) wins it; with nobody playing it is lost.
#include "game/park/flyawaytext.h"
#include "game/park/helicopter.h"
#include "game/park/parkupgrades.h"
#include "game/park/poacher.h"
#include "game/support/park_game.h"

using namespace kbtest;

namespace {

class Level01Play : public ParkGame {
protected:
    static constexpr float kMaxSeconds = 40.0f * 60.0f;

    void TearDown() override
    {
        helo.reset();
        level.reset();
        cPoacher::releaseKinds();
        ParkGame::TearDown();
    }

    // Plays until the level ends; the simulated seconds it took.
    float play(bool keeper)
    {
        cPoacher::loadKinds("poachers:hunter/hunter.ini");
        a_srand(2029);
        level = std::make_unique<cLevel>("levels:Level01.ini", true);
        EXPECT_TRUE(level->loaded);
        cHelicopter::loadSprites();
        helo = std::make_unique<cHelicopter>();
        float t = 0.0f;
        for (; t < kMaxSeconds && level->state == 0; t += kDt) {
            if (keeper)
                keep(t);
            level->frameStep(kDt);
            helo->update(kDt);
            spawned = std::max(spawned, static_cast<int>(level->poachers.size()));
        }
        return t;
    }

    void keep(float t)
    {
        for (cBonus* coin : level->bonuses)
            if (coin->landed && !coin->collected)
                coin->collect(aVector2(100.0f, 40.0f));
        for (cAnimal* a : level->animals)
            if (a->isHungry() && !foodNear(*a))
                level->placeFood(a->kind->foodType, 1, groundNear(*a));
        if (const cFood* medicine = cFood::findKind(cFood::MEDICINE, 1); medicine && t >= healReady)
            for (cAnimal* a : level->animals)
                if (a->sick && a->isLiving()) {
                    a->heal(medicine->count);
                    healReady = t + medicine->cooldown;
                    ++heals;
                    break;
                }
        if (t - lastHit > 0.4f)
            for (cPoacher* p : level->poachers)
                if (p->fade == cPoacher::kAppearedFade && p->health > 0.0f) {
                    p->hit(parkUpgrades::poacherHitDamage());
                    lastHit = t;
                    ++hits;
                }
        if (level->countLivingAnimals("zebra") < 3 && level->money >= level->animalPrice("zebra") + 20)
            bought += level->spawnAnimals("zebra", false) ? 1 : 0;
        if (!level->saleQueue.empty() && !helo->underWay())
            sold += helo->sellQueued(*level) ? 1 : 0;
    }

    bool foodNear(const cAnimal& a) const
    {
        return std::any_of(level->foods.begin(), level->foods.end(),
                           [&a](const cFood* f) { return (f->anchor - a.anchor).lengthSq() < 150.0f * 150.0f; });
    }

    aVector2 groundNear(const cAnimal& a) const
    {
        for (float dx : {60.0f, -60.0f, 0.0f}) {
            const aVector2 p = a.anchor + aVector2(dx, 20.0f);
            if (level->walkableAt(static_cast<int32_t>(p.x), static_cast<int32_t>(p.y)) == a.kind->foodType)
                return p;
        }
        return a.anchor;
    }

    std::unique_ptr<cHelicopter> helo;
    float lastHit = -1.0f;
    float healReady = 0.0f;
    int heals = 0, hits = 0, bought = 0, sold = 0, spawned = 0;
};

} // namespace

TEST_F(Level01Play, AKeeperWinsIt)
{
    const float seconds = play(true);
    EXPECT_EQ(level->state, 1) << "after " << seconds << " s, money " << level->money << ", zebras sold "
                               << level->goals[1].progress;
    for (const cGoal& goal : level->goals)
        EXPECT_TRUE(goal.done) << goal.type << " " << goal.kindName;
    EXPECT_GT(bought, 0);
    EXPECT_GE(sold, 1);
    EXPECT_GT(hits, 0) << "poachers came and were driven off";
    std::printf("won after %.0f s: %d zebras bought, %d flights, %d heals, %d hits, money %d\n", seconds, bought, sold,
                heals, hits, level->money);
}

TEST_F(Level01Play, NobodyPlayingLosesIt)
{
    const float seconds = play(false);
    EXPECT_EQ(level->state, -1) << "after " << seconds << " s, money " << level->money;
    EXPECT_TRUE(std::none_of(level->animals.begin(), level->animals.end(), [](cAnimal* a) { return a->isLiving(); }));
    std::printf("lost after %.0f s, %d poachers at most at once\n", seconds, spawned);
}
