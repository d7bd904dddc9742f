// Kind files and masks, food portions, coins and the in-level abilities, and a level file asking for
// more than a park can hold.
#include "game/park/upgrade.h"
#include "game/support/park_game.h"
#include "orvo/gfx/a_advanim.h"
#include "orvo/gfx/a_anim.h"

using namespace kbtest;

TEST_F(ParkGame, KindFilesAndAnimationMasks)
{
    // Kind files read with masks: the first record of a name stays; broken files add none.
    cAnimal::releaseKinds();
    writeFile(dir.file("plain.ini"), "[DATA]\nName=plain\nCost=7\n\n[ADULT_STATES]\n"
                                     "Walk=animals:zebra/animations/adult_walk\n"
                                     "Idle_01=animals:zebra/animations/adult_idle_01\n"
                                     "Eat=animals:zebra/animations/adult_eat\n\n"
                                     "[CHILD_STATES]\nWalk=animals:zebra/animations/child_walk\n");
    writeFile(dir.file("other.ini"), "[DATA]\nName=plain\nCost=99\n");
    writeFile(dir.file("nodata.ini"), "[STUFF]\nName=ghost\n");
    for (const char* file : {"plain.ini", "other.ini", "nodata.ini", "missing.ini"})
        cAnimal::loadKindFile(dir.file(file), std::string(file) == "plain.ini" ? 163 : cAnimalKind::MASK_ALL);
    ASSERT_EQ(cAnimal::kinds().size(), 1u);
    cAnimalKind* plain = cAnimal::findKindByName("plain");
    EXPECT_EQ(plain->cost, 7);
    // 163: the adult walk and idle, no eat, no child row.
    EXPECT_NE(plain->adultAnims[cAnimalKind::IDLE_01][0], nullptr);
    EXPECT_EQ(plain->adultAnims[cAnimalKind::EAT][0], nullptr);
    // A child of a kind without child animations cannot be made; an adult can.
    EXPECT_EQ(cAnimal::create(false, plain), nullptr);
    EXPECT_TRUE(game->h.logged("Create animal failed. (plain)"));
    cAnimal::create(true, plain)->release();
    EXPECT_EQ(cAnimal::pooledCount(), 1u) << "the object of the failed child was reused";
    // The kind has no sound list: each missing sound is told once, however many animals are made.
    cAnimal::create(true, plain)->release();
    const std::vector<std::string> log = game->h.log();
    EXPECT_EQ(std::count(log.begin(), log.end(), "cAnimal. Kind \"plain\" has no sound \"appear\""), 1);
}

TEST_F(ParkGame, FoodPortionsAppearShrinkAndFade)
{
    makeLevel();
    writeFile(dir.file("foods.ini"),
              "[A]\nType=0\nLevel=9\nStaySprite=grass_1_stay\nAppearSprite=grass_1_appear\n"
              "Count=10\nLifeTime=5\nCountInStock=4\n\n"
              "[SAME]\nType=0\nLevel=9\nCount=99\n\n"
              "[EMPTY]\nType=0\nLevel=10\nStaySprite=grass_1_stay\nAppearSprite=grass_1_appear\nCount=0\n\n"
              "[NOSPRITE]\nType=1\nLevel=9\nStaySprite=nothing\nAppearSprite=nothing\nCount=5\n");
    cFood::loadKinds(dir.file("foods.ini"));
    EXPECT_EQ(cFood::findKind(0, 9)->count, 10.0f) << "a second section of the same type and level is ignored";
    EXPECT_FALSE(level->placeFood(1, 9, aVector2(600, 400))) << "unknown sprites: nothing placed";
    EXPECT_FALSE(level->placeFood(0, 42, aVector2(100, 400)));
    ASSERT_TRUE(level->placeFood(0, 9, aVector2(100, 400)));
    cFood* food = level->foods.back();
    // Eaten from, its life does not run down; eaten up while an animal still
    // stands at it, it is faded but alive until the animal leaves.
    food->eaters = 1;
    run(6.0f);
    EXPECT_EQ(food->lifeLeft, food->lifeTime);
    food->consume(100.0f);
    run(2.5f);
    EXPECT_EQ(food->fadeOut, 0.0f);
    ASSERT_EQ(level->foods.size(), 1u);
    food->eaters = 0;
    step();
    EXPECT_TRUE(level->foods.empty());
    EXPECT_FALSE(food->active) << "back on the pool";
    // Count 0: fades out at once; nothing divides by it.
    ASSERT_TRUE(level->placeFood(0, 10, aVector2(100, 400)));
    run(2.1f);
    EXPECT_TRUE(level->foods.empty());
}

TEST_F(ParkGame, CoinsLandInsideTheScreenAndCreditOnce)
{
    makeLevel();
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        a_srand(seed);
        cBonus* coin = cBonus::dropNear(level.get(), aVector2(1020.0f, 760.0f), 60.0f, seed % 4, 10);
        ASSERT_NE(coin, nullptr);
        for (int i = 0; i < 300 && !coin->landed; ++i)
            coin->update(kDt);
        ASSERT_TRUE(coin->landed) << seed;
        EXPECT_TRUE(coin->anchor.x >= 0 && coin->anchor.x <= 1024 && coin->anchor.y >= 0 && coin->anchor.y <= 768)
            << seed;
    }
    cBonus* coin = level->bonuses.front();
    const int32_t money = level->money;
    coin->collect(aVector2(100.0f, 40.0f));
    coin->collect(aVector2(100.0f, 40.0f));
    EXPECT_EQ(level->money, money + 10) << "a second collect credits nothing";
    for (int i = 0; i < 60 && coin->isAlive(); ++i)
        coin->update(kDt);
    EXPECT_FALSE(coin->isAlive()) << "flew to the money and went";
    level->release();
    cBonus* lying = cBonus::create(1);
    lying->release();
    // A pooled coin that served another type keeps that type's sound copies.
    cBonus* again = cBonus::create(3);
    ASSERT_EQ(again, lying);
    EXPECT_NE(again->sounds[1].first, nullptr);
    EXPECT_NE(again->sounds[3].second, nullptr);
    again->release();
    EXPECT_EQ(cBonus::create(7), nullptr);
    // Types outside the coins' small range are left out with a line, before any coin sizes its sounds by them.
    writeFile(dir.file("bonuses.ini"),
              "[A]\nType=-1\nStayTime=5\n\n[B]\nType=-2\n\n[C]\nType=1000000\n\n[D]\nType=9\n");
    cBonus::loadKinds(dir.file("bonuses.ini"));
    for (const int32_t type : {-1, -2, 1000000})
        EXPECT_EQ(cBonus::create(type), nullptr) << type;
    EXPECT_TRUE(game->h.logged("cBonus. Coin type -1 in \"" + dir.file("bonuses.ini") +
                               "\" is not one of 0 to 63; the section is left out"));
    cBonus* nine = cBonus::create(9);
    ASSERT_NE(nine, nullptr);
    EXPECT_EQ(nine->sounds.size(), 10u);
    nine->release();
}

TEST_F(ParkGame, AbilitiesSpendOnlyWhenTheyAct)
{
    makeLevel();
    cUpgradeKind* collect = cUpgrade::findKind(cUpgradeKind::COLLECT_COINS);
    cUpgradeKind* feed = cUpgrade::findKind(cUpgradeKind::FEED_ANIMALS);
    ASSERT_TRUE(collect && feed);
    cUpgrade::resetCooldowns();
    const aVector2 moneyLabel(100.0f, 40.0f);
    // Too little money or cooling down: nothing spent, no cooldown.
    level->money = collect->cost - 1;
    EXPECT_FALSE(cUpgrade::apply(*collect, *level, moneyLabel));
    EXPECT_EQ(collect->cooldownLeft, 0.0f);
    level->money = 1000;
    // No coins: still costs its price and starts its cooldown.
    EXPECT_TRUE(cUpgrade::apply(*collect, *level, moneyLabel));
    EXPECT_FALSE(cUpgrade::apply(*collect, *level, moneyLabel));
    cUpgrade::updateCooldowns(collect->cooldown + 1.0f);
    cBonus::dropNear(level.get(), aVector2(300, 400), 20, 0, 5);
    cBonus::dropNear(level.get(), aVector2(300, 400), 20, 2, 60);
    EXPECT_TRUE(cUpgrade::apply(*collect, *level, moneyLabel));
    EXPECT_EQ(level->money, 1000 - 2 * collect->cost + 65);
    cAnimal* calf = spawn("zebra", 200, 450, false);
    calf->hunger = 40.0f;
    EXPECT_TRUE(cUpgrade::apply(*feed, *level, moneyLabel));
    EXPECT_EQ(calf->hunger, 0.0f);
    EXPECT_EQ(calf->ageOrProduced, 40.0f) << "a child grows by the hunger fed away";
    // Offered with its picture and the park stage it needs (missing upgrades count as stage 0).
    EXPECT_FALSE(cUpgrade::isOffered(*feed, {}));
    EXPECT_TRUE(cUpgrade::isOffered(*feed, {0, 0, 2}));
    EXPECT_FALSE(cUpgrade::isOffered(cUpgradeKind(), {})) << "no button picture";
}

TEST_F(ParkGame, HugeCountsOfALevelFileAreBoundedEachToldOnce)
{
    const std::string huge = "2147483647";
    makeLevel("\n[ENTITY]\nSprite=grass_tuft\nRandomPos=1\nCount=1000000\n"
              "\n[ENTITY]\nSprite=acacia_01\nRandomPos=1\nOnBackground=1\nCount=" +
              huge +
              "\n"
              "\n[CONDITIONS]\nAnimals=zebra, lion\nAnimalsCount=100000, " +
              huge +
              "\n"
              "\n[POACHERS]\nTypes=hunter\nMinCount=" +
              huge + "\nMaxCount=" + huge + "\nMinWaves=-2147483648\nMaxWaves=" + huge +
              "\nMinSpawnTime=10\nMaxSpawnTime=20\n");
    EXPECT_EQ(static_cast<int32_t>(level->entities.size()), cLevel::kMaxEntities);
    EXPECT_LE(static_cast<int32_t>(level->animals.size()), cLevel::kMaxInitialAnimals);
    EXPECT_GT(level->animals.size(), 0u);
    EXPECT_EQ(std::pair(level->waveMinCount, level->waveMaxCount),
              std::pair(cLevel::kMaxWavePoachers, cLevel::kMaxWavePoachers));
    const std::vector<std::string> log = game->h.log();
    for (const char* line :
         {"cLevel. Level \"Park\" asks for 2148483647 decorations; 64 at most are placed",
          "cLevel. Level \"Park\" starts with 2147583647 animals; 64 at most are placed",
          "cLevel. Level \"Park\" asks for up to 2147483647 poachers a wave; 16 at most come"})
        EXPECT_EQ(std::count(log.begin(), log.end(), line), 1) << line;
}
