// An animal's life on the shipped zebra kind, with a fixed seed and frame
// time and no drawing: it appears, eats, grows, produces coins, grows old and
// is queued for sale; starvation, sickness and healing at the kind's rates;
// the event budget and idlers.
#include "game/support/park_game.h"

using namespace kbtest;

TEST_F(ParkGame, ChildAppearsEatsGrowsProducesGrowsOldAndJoinsTheSaleQueue)
{
    makeLevel();
    const cAnimalKind& kind = *cAnimal::findKindByName("zebra");
    const int32_t price = level->animalPrice("zebra");
    ASSERT_TRUE(level->spawnAnimal("zebra", aVector2(250.0f, 450.0f), false));
    cAnimal* zebra = level->animals.back();
    EXPECT_EQ(level->money, 1000 - price);
    EXPECT_TRUE(zebra->child);
    EXPECT_LT(zebra->presence, 0.001f) << "a bought animal fades in";
    // One of the level's warm-up animals, taken from the pool with its own sounds again.
    EXPECT_EQ(cAnimal::pooledCount(), 11u);
    EXPECT_NE(zebra->sounds[cAnimal::SND_WALK], nullptr);
    run(2.05f);
    EXPECT_EQ(zebra->presence, 2.0f);

    float growthAtGrown = -1.0f;
    int coins = 0;
    int32_t collected = 0;
    const int32_t moneyBefore = level->money;
    bool ateAsChild = false;
    // Until queued for sale, and two seconds more for the last coin in the air.
    for (int frame = 0, after = 0; frame < 30 * 900 && after < 60; ++frame, after += !level->saleQueue.empty()) {
        if (zebra->hunger > kind.criticalHungerLevel && level->foods.empty()) {
            const aVector2 grass(std::clamp(zebra->anchor.x + 70.0f, 60.0f, 440.0f),
                                 std::clamp(zebra->anchor.y + 30.0f, 220.0f, 700.0f));
            ASSERT_TRUE(level->placeFood(cFood::GRASS, 1, grass));
        }
        const float hungerBefore = zebra->hunger, growthBefore = zebra->ageOrProduced;
        const bool wasChild = zebra->child;
        step();
        if (zebra->state == cAnimalKind::EAT && wasChild && zebra->child) {
            // A child grows by what it eats (the hunger it takes away).
            ateAsChild |= hungerBefore > zebra->hunger;
            EXPECT_GE(zebra->ageOrProduced - growthBefore, hungerBefore - zebra->hunger - 1e-4f);
        }
        if (wasChild && !zebra->child)
            growthAtGrown = growthBefore;
        for (cBonus* coin : level->bonuses)
            if (coin->landed && !coin->collected) {
                EXPECT_EQ(coin->value, kind.bonusProduce) << "no clicks: the kind's value";
                coin->collect(aVector2(100.0f, 40.0f));
                collected += coin->value;
                ++coins;
            }
    }
    EXPECT_TRUE(ateAsChild);
    EXPECT_GE(growthAtGrown, kind.childAge - kind.foodEating * kDt) << "grown once the growth passed ChildAge";
    ASSERT_EQ(level->saleQueue, std::vector<cAnimal*>{zebra});
    EXPECT_TRUE(zebra->isOld());
    EXPECT_EQ(coins, kind.numOfProducing);
    EXPECT_EQ(level->money, moneyBefore + collected) << "every coin credited once";
    EXPECT_EQ(collected, kind.numOfProducing * kind.bonusProduce);

    // An old animal's coins are worth OldAnimalProducingCoeff percent, rounded up.
    zebra->productionClicks = 1;
    zebra->finishProducing();
    EXPECT_EQ(level->bonuses.back()->value, ((kind.bonusProduce + kind.bonusAddedOnClick) * 70 + 99) / 100);
    // An animal that goes leaves the queue.
    zebra->vanish();
    step();
    EXPECT_TRUE(level->saleQueue.empty());
    EXPECT_TRUE(level->animals.empty());
}

TEST_F(ParkGame, StarvationSicknessAndHealingFollowTheKindFile)
{
    makeLevel("AnimalsSickPossibility=0");
    cAnimalKind& kind = *cAnimal::findKindByName("zebra");
    cAnimal* zebra = spawn("zebra", 200.0f, 450.0f, true);
    // No food anywhere: hunger climbs to 100, then health falls at (100 - Endurance) a paced second.
    while (zebra->hunger < 100.0f)
        step();
    const float lossPerSecond = (100.0f - kind.endurance) * zebra->pace;
    EXPECT_NEAR(zebra->health, kind.maxHealth, lossPerSecond * kDt * 1.001f) << "full health until starving";
    const float starving = zebra->health;
    run(5.0f);
    EXPECT_NEAR(zebra->health, starving - lossPerSecond * 5.0f, lossPerSecond * 2 * kDt);
    // With Endurance 100 it never starves to death.
    const float endurance = kind.endurance, held = zebra->health;
    kind.endurance = 100.0f;
    run(3.0f);
    EXPECT_EQ(zebra->health, held);
    kind.endurance = endurance;
    for (int i = 0; i < 30 * 120 && zebra->state != cAnimalKind::DEATH; ++i)
        step();
    run(6.0f);
    EXPECT_TRUE(level->animals.empty()) << "dead, faded out and swept";
    EXPECT_EQ(level->state, 0) << "money enough to buy another";

    // Sickness: every roll succeeds; the sick animal stands and loses a tenth of the rate.
    level->animalsSickPossibility = 100;
    cAnimal* sick = spawn("zebra", 200.0f, 450.0f, true);
    for (int i = 0; i < 30 * 60 && !sick->sick; ++i)
        step();
    ASSERT_TRUE(sick->sick);
    EXPECT_FALSE(sick->freeRunning);
    const aVector2 at = sick->anchor;
    const float h0 = sick->health;
    run(5.0f);
    EXPECT_NEAR(sick->health, h0 - (100.0f - kind.endurance) * 0.1f * 5.0f, 0.05f);
    EXPECT_EQ(sick->anchor, at) << "stays in place";
    sick->heal(20.0f);
    EXPECT_FALSE(sick->sick);
    EXPECT_TRUE(sick->freeRunning);
    // Immune while the immunity lasts (at the animal's pace); kept fed, as a hungry animal does not fall sick.
    int frames = 0;
    for (; frames < 30 * 80 && !sick->sick; ++frames) {
        sick->hunger = 0.0f;
        step();
    }
    EXPECT_TRUE(sick->sick) << "falls sick again once immunity is gone";
    EXPECT_GE(frames * kDt, 19.0f);
}

TEST_F(ParkGame, EventBudgetIdlersAndProductionRetries)
{
    makeLevel();
    cSettings& settings = cGame::get()->settings();
    cAnimal* zebra = spawn("zebra", 200.0f, 450.0f, true);
    // Hunger stops at the critical level while the budget forbids hungry animals.
    const int32_t poachers = settings.poachersCount;
    settings.poachersCount = 0;
    zebra->hunger = zebra->kind->criticalHungerLevel + 1.0f;
    run(3.0f);
    EXPECT_EQ(zebra->hunger, zebra->kind->criticalHungerLevel + 1.0f);
    settings.poachersCount = poachers;
    zebra->hunger = 0.0f;

    // A full reproduce timer that may not produce tries again a second later.
    const int32_t maxProducing = settings.maxProducingCount;
    settings.maxProducingCount = 0;
    zebra->reproduceTimer = zebra->kind->reproduceTime - 0.01f;
    run(0.5f);
    EXPECT_NEAR(zebra->reproduceTimer, zebra->kind->reproduceTime - 1.0f, 0.5f);
    EXPECT_NE(zebra->state, cAnimalKind::PRODUCE);
    settings.maxProducingCount = maxProducing;

    // With three of its kind idling, a fourth walks on.
    for (int i = 0; i < 3; ++i)
        spawn("zebra", 150.0f + 60.0f * i, 600.0f, true)->setState(cAnimalKind::IDLE_01);
    zebra->direction = cAnimal::RIGHT;
    zebra->chooseNextAction();
    EXPECT_EQ(zebra->state, cAnimalKind::WALK);
    level->animals[1]->setState(cAnimalKind::WALK);
    zebra->chooseNextAction();
    EXPECT_TRUE(zebra->state == cAnimalKind::IDLE_01 || zebra->state == cAnimalKind::IDLE_02);
}
