// An animal's life on the shipped zebra, from birth to the sale queue and an old animal's coins;
// starvation, sickness and healing; the production budget; the body drawn by its animation.
#include "game/support/park_game.h"
#include "orvo/app/a_file.h"
#include "orvo/gfx/a_advanim.h"
#include "orvo/gfx/a_image.h"
#include "orvo/platform/gpu/a_gpudevicerecorder.h"

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
    // One of the level's warm-up animals, taken from the pool with its own sounds again.
    EXPECT_NE(zebra->sounds[cAnimal::SND_WALK], nullptr);
    int coins = 0;
    int32_t collected = 0;
    const int32_t moneyBefore = level->money;
    // Until queued for sale, and two seconds more for the last coin in the air.
    for (int frame = 0, after = 0; frame < 30 * 900 && after < 60; ++frame, after += !level->saleQueue.empty()) {
        if (zebra->hunger > kind.criticalHungerLevel && level->foods.empty()) {
            const aVector2 grass(std::clamp(zebra->anchor.x + 70.0f, 60.0f, 440.0f),
                                 std::clamp(zebra->anchor.y + 30.0f, 220.0f, 700.0f));
            ASSERT_TRUE(level->placeFood(cFood::GRASS, 1, grass));
        }
        step();
        for (cBonus* coin : level->bonuses)
            if (coin->landed && !coin->collected) {
                coin->collect(aVector2(100.0f, 40.0f));
                collected += coin->value;
                ++coins;
            }
    }
    EXPECT_FALSE(zebra->child) << "grown by what it ate";
    ASSERT_EQ(level->saleQueue, std::vector<cAnimal*>{zebra});
    EXPECT_TRUE(zebra->isOld());
    EXPECT_EQ(coins, kind.numOfProducing);
    EXPECT_EQ(level->money, moneyBefore + collected) << "every coin credited once";
    // An old animal's coins are worth OldAnimalProducingCoeff percent, rounded up.
    cGame::get()->settings().oldAnimalProducingCoeff = 70;
    zebra->productionClicks = 1;
    zebra->finishProducing();
    const int32_t full = kind.bonusProduce + kind.bonusAddedOnClick;
    EXPECT_EQ(level->bonuses.back()->value, (full * 70 + 99) / 100) << full;
    // An animal that goes leaves the queue.
    zebra->vanish();
    step();
    EXPECT_TRUE(level->saleQueue.empty());
    EXPECT_TRUE(level->animals.empty());
}

// A body is drawn by its animation: an idle or a death that has ended shows
// its last frame only as its file asks ("ShowStoped", as ours do).
TEST_F(ParkGame, ProductionBudgetStarvationSicknessAndHealing)
{
    makeLevel("AnimalsSickPossibility=0");
    cAnimalKind& kind = *cAnimal::findKindByName("zebra");
    // The colours of the sprites one draw of the body makes.
    const auto bodyDraws = [this](cAnimal* animal) {
        aRect source;
        const aImage* frame = animal->currentAnimation()->getCurrentFrame(source);
        const void* texture =
            frame && frame->getRecord() ? frame->getRecord()->surfaces[aImage::SURFACE_PLAIN].texture.get() : nullptr;
        game->h.recorder()->clearRecords();
        animal->draw();
        std::vector<uint32_t> colours;
        for (const aGpuRecord& r : game->h.recorder()->records(aGpuCall::SpriteDraw))
            if (texture && r.object == texture)
                colours.push_back(r.u[4]);
        return colours;
    };
    cAnimal* zebra = spawn("zebra", 200.0f, 450.0f, true);
    // A full reproduce timer that may not produce tries again a second later.
    cGame::get()->settings().maxProducingCount = 0;
    zebra->reproduceTimer = kind.reproduceTime - 0.01f;
    run(0.5f);
    EXPECT_NEAR(zebra->reproduceTimer, kind.reproduceTime - 1.0f, 0.5f);
    EXPECT_NE(zebra->state, cAnimalKind::PRODUCE);
    // No food anywhere: hunger climbs to 100, then health falls to death.
    for (int i = 0; i < 30 * 300 && zebra->state != cAnimalKind::DEATH; ++i)
        step();
    for (int i = 0; i < 30 * 5 && zebra->presence == 2.0f; ++i)
        step();
    ASSERT_FALSE(zebra->currentAnimation()->isPlaying());
    const std::vector<uint32_t> fading = bodyDraws(zebra);
    ASSERT_EQ(fading.size(), 1u) << "lying on its death's last frame while it fades";
    EXPECT_LT(fading[0] >> 24, 255u);
    run(6.0f);
    EXPECT_TRUE(level->animals.empty()) << "dead, faded out and swept";
    EXPECT_EQ(level->state, 0) << "money enough to buy another";
    // Sickness: every roll succeeds; the sick animal stands and loses health.
    level->animalsSickPossibility = 100;
    cAnimal* sick = spawn("zebra", 200.0f, 450.0f, true);
    for (int i = 0; i < 30 * 60 && !sick->sick; ++i)
        step();
    ASSERT_TRUE(sick->sick);
    EXPECT_FALSE(sick->freeRunning);
    const aVector2 at = sick->anchor;
    const float h0 = sick->health;
    run(5.0f);
    EXPECT_LT(sick->health, h0);
    EXPECT_EQ(sick->anchor, at) << "stays in place";
    for (int i = 0; i < 30 * 5 && sick->currentAnimation()->isPlaying(); ++i)
        step();
    aAdvAnim* idle = sick->currentAnimation();
    ASSERT_FALSE(idle->isPlaying());
    EXPECT_EQ(bodyDraws(sick).size(), 1u) << "standing on its idle's last frame";
    std::string text = readFile(file_getDiskPath(("animals:zebra/animations/" + idle->getName() + ".ini").c_str()));
    const size_t showStopped = text.find("ShowStoped=1\n");
    ASSERT_NE(showStopped, std::string::npos);
    writeFile(dir.file("idle.ini"), text.erase(showStopped, 13));
    ASSERT_TRUE(idle->Load(dir.file("idle.ini"), cAnimal::imageManager(), "zebra"));
    idle->update(10.0f); // played to its end
    ASSERT_FALSE(idle->isPlaying());
    EXPECT_TRUE(bodyDraws(sick).empty()) << "an ended idle whose file does not ask to show";
    sick->heal(20.0f);
    EXPECT_FALSE(sick->sick);
    EXPECT_TRUE(sick->freeRunning);
    // Kept fed (a hungry animal does not fall sick), it falls sick again once its immunity is gone.
    for (int i = 0; i < 30 * 80 && !sick->sick; ++i) {
        sick->hunger = 0.0f;
        step();
    }
    EXPECT_TRUE(sick->sick);
}

TEST_F(ParkGame, AnAnimalEatsFromTheNearestSideOfItsFoodItMayStandOn)
{
    makeLevel();
    const auto goesTo = [this](aVector2 at, aVector2 grass) {
        cAnimal* zebra = spawn("zebra", at.x, at.y, true);
        EXPECT_TRUE(level->placeFood(cFood::GRASS, 1, grass));
        zebra->goToFood(level->foods.back());
        EXPECT_FALSE(zebra->path.empty());
        return zebra;
    };
    // The food to its right: it eats from the food's left, as ever.
    cAnimal* zebra = goesTo({200.0f, 400.0f}, {300.0f, 400.0f});
    float length = zebra->width * zebra->scale;
    EXPECT_EQ(zebra->foodSide, 2);
    EXPECT_EQ(zebra->path.back(), aVector2(300.0f - 0.8f * length, 400.0f + 0.2f * length));
    // Its usual side, the food's right, lies over the fence: the nearest side on its ground instead.
    zebra = goesTo({440.0f, 400.0f}, {400.0f, 400.0f});
    length = zebra->width * zebra->scale;
    EXPECT_EQ(zebra->foodSide, 4);
    EXPECT_EQ(zebra->path.back(), aVector2(400.0f + 0.2f * length, 400.0f - 0.3f * length));
    // Ground no wider nor taller than the animal: it eats standing on the food.
    level->blockEntityArea(0, 160, 511, 236);
    level->blockEntityArea(0, 412, 511, 355);
    level->blockEntityArea(0, 397, 179, 14);
    level->blockEntityArea(381, 397, 130, 14);
    zebra = goesTo({280.0f, 404.0f}, {320.0f, 404.0f});
    ASSERT_TRUE(zebra->canStandAt(zebra->anchor));
    EXPECT_EQ(zebra->foodSide, 2);
    EXPECT_EQ(zebra->path.back(), aVector2(320.0f, 404.0f));
}
