// The living level: prices and credits, poachers (hunting, shooting, being
// driven off, coins), the waves, the helicopter's sales, fly-away texts and
// the frame step's draw list, on the shipped hunter and animals.
#include <map>

#include "game/app/playerprofile.h"
#include "game/park/flyawaytext.h"
#include "game/park/helicopter.h"
#include "game/park/parkupgrades.h"
#include "game/park/poacher.h"
#include "game/support/park_game.h"
#include "orvo/gfx/a_advanim.h"

using namespace kbtest;

namespace {

class LivingLevel : public ParkGame {
protected:
    void SetUp() override
    {
        ParkGame::SetUp();
        cPoacher::loadKinds("poachers:hunter/hunter.ini");
        hunter = cPoacher::findKind("hunter");
        ASSERT_NE(hunter, nullptr);
        game->h.game().getProfiles().createAndSelect(L"Ranger");
        profile = game->h.game().getCurrentProfile();
        ASSERT_NE(profile, nullptr);
    }
    void TearDown() override
    {
        helo.reset();
        level.reset();
        cPoacher::releaseKinds();
        cFlyAwayText::clearAll();
        ParkGame::TearDown();
    }
    void frames(float seconds)
    {
        for (float t = 0.0f; t < seconds; t += kDt)
            level->frameStep(kDt);
    }
    cPoacher* poacherAt(float x, float y)
    {
        cPoacher* p = level->spawnPoacherWave("hunter");
        EXPECT_NE(p, nullptr);
        p->setPosition(aVector2(x, y));
        p->path.clear();
        return p;
    }
    // Until the helicopter has credited its sale.
    void deliver()
    {
        for (int i = 0; i < 30 * 60 && helo->underWay(); ++i)
            level->frameStep(kDt), helo->update(kDt);
        ASSERT_FALSE(helo->underWay());
    }
    void makeHelicopter()
    {
        cHelicopter::loadSprites();
        helo = std::make_unique<cHelicopter>();
    }

    cPoacherKind* hunter = nullptr;
    cPlayerProfile* profile = nullptr;
    std::unique_ptr<cHelicopter> helo;
};

} // namespace

TEST_F(LivingLevel, PriceRisesWithTheLivingAndASaleCreditsItsShare)
{
    cSettings& s = game->h.game().settings();
    s.animalRiseInPrice = 10;
    s.buyAdditionValue = 5;
    s.animalSellCoeff = 100;
    s.sellAdditionValue = 15;
    makeLevel();
    EXPECT_EQ(level->animalPrice("warthog"), 105) << "Cost 100, none living";
    spawn("warthog", 200, 400, true);
    spawn("warthog", 300, 400, true);
    EXPECT_EQ(level->animalPrice("warthog"), 125) << "100 + 2 x 10, + 5";
    EXPECT_EQ(level->animalPrice("nothing"), 0);

    // A third, old warthog is sold: the two left keep the price at 125.
    cAnimal* old = spawn("warthog", 400, 500, true);
    old->ageOrProduced = static_cast<float>(old->kind->numOfProducing);
    level->addForSale(old);
    makeHelicopter();
    const int32_t before = level->money;
    ASSERT_TRUE(helo->sellQueued(*level));
    EXPECT_EQ(helo->countKindAboard(old->kind), 1);
    EXPECT_FALSE(level->eventAllowed(0)) << "no waves while it flies over the park";
    deliver();
    EXPECT_EQ(level->money - before, 140) << "125 / 100 x 100 + 15";
    EXPECT_EQ(profile->getAwardProgress(0), 1) << "a warthog sold";

    // Dear kinds and long credits keep to their types.
    s.animalRiseInPrice = 100000;
    EXPECT_EQ(level->animalPrice("warthog"), 65535);
    level->money = INT32_MAX - 5;
    level->addMoney(100);
    EXPECT_EQ(level->money, INT32_MAX);
}

TEST_F(LivingLevel, HelicopterBoardsWhatFitsAndFliesOnlyWithPassengers)
{
    makeLevel();
    makeHelicopter();
    cAnimal* rhino = spawn("rhino", 150, 600, true);
    level->addForSale(rhino);
    // Capacity 1 (no upgrade): the rhino needs two slots and nothing else waits.
    EXPECT_FALSE(helo->sellQueued(*level));
    EXPECT_FALSE(helo->underWay());
    EXPECT_EQ(level->saleQueue.size(), 1u);
    EXPECT_TRUE(rhino->isLiving());

    cAnimal* left = spawn("zebra", 100, 500, true);
    cAnimal* right = spawn("warthog", 450, 300, true);
    level->addForSale(left);
    level->addForSale(right);
    ASSERT_TRUE(helo->sellQueued(*level));
    EXPECT_EQ(level->saleQueue, (std::vector<cAnimal*>{rhino, right})) << "one slot: the first that fits";
    EXPECT_FALSE(left->isLiving()) << "aboard, no longer counted";
    deliver();

    // Three slots: the rhino and the warthog; the one furthest right goes first,
    // each when the helicopter has passed it.
    profile->setUpgradeStage(3, 2);
    ASSERT_EQ(parkUpgrades::helicopterCapacity(), 3);
    // Where the delivery's frames let them wander depends on the random stream: put them back.
    rhino->setPosition(aVector2(150, 600));
    right->setPosition(aVector2(450, 300));
    ASSERT_TRUE(helo->sellQueued(*level));
    EXPECT_TRUE(level->saleQueue.empty());
    EXPECT_FLOAT_EQ(helo->baseSpeed, 0.3f);
    std::vector<cAnimal*> picked;
    for (int i = 0; i < 30 * 20 && helo->state == cHelicopter::FLYING; ++i) {
        helo->update(kDt);
        for (cAnimal* a : {rhino, right})
            if (a->presence < 0.0f && std::find(picked.begin(), picked.end(), a) == picked.end()) {
                EXPECT_LT(helo->anchor.x, a->anchor.x);
                picked.push_back(a);
            }
    }
    EXPECT_EQ(picked, (std::vector<cAnimal*>{right, rhino}));
    // Clicks only count while delivering; each adds 0.1, drained at 0.4 a second.
    helo->onClick(GUI::EventArgs());
    EXPECT_FALSE(helo->clicked);
    while (helo->state != cHelicopter::DELIVERING)
        helo->update(kDt);
    helo->onClick(GUI::EventArgs());
    helo->onClick(GUI::EventArgs());
    EXPECT_FLOAT_EQ(helo->speed, 0.5f);
    helo->update(0.25f);
    EXPECT_NEAR(helo->speed, 0.4f, 1e-5f);
    deliver();
    EXPECT_EQ(helo->countKindAboard(rhino->kind), 0);

    // The level ends during a flight: the helicopter lets its passengers go.
    cAnimal* last = spawn("zebra", 300, 500, true);
    level->addForSale(last);
    ASSERT_TRUE(helo->sellQueued(*level));
    level->release();
    EXPECT_TRUE(helo->toPickUp.empty());
    for (int i = 0; i < 30 * 5; ++i)
        helo->update(kDt);
}

TEST_F(LivingLevel, LostWhenASellGoalCanNoLongerBeMetCountingThoseAboard)
{
    makeLevel("AvailableAnimals=warthog\n\n[GOALS]\nAnimals=zebra\nAnimalsCount=3");
    makeHelicopter();
    ASSERT_EQ(level->goals.size(), 1u);
    level->goals[0].progress = 1;
    cAnimal* zebra = spawn("zebra", 200, 500, true);
    cAnimal* aboard = spawn("zebra", 300, 500, true);
    level->addForSale(aboard);
    ASSERT_TRUE(helo->sellQueued(*level));
    level->checkLost();
    EXPECT_EQ(level->state, 0) << "1 sold + 1 living + 1 aboard";
    EXPECT_EQ(level->goalRemaining("zebra"), 0);
    zebra->health = 0.0f;
    EXPECT_EQ(level->goalRemaining("zebra"), 1);
    level->checkLost();
    EXPECT_EQ(level->state, -1) << "1 + 0 + 1 < 3";

    EXPECT_FLOAT_EQ(level->buyCooldownFraction("nothing"), 0.0f);
    EXPECT_FLOAT_EQ(level->buyCooldownFraction("warthog"), 1.0f) << "never bought";
    // The HUD keeps one bit per goal: more than sixteen are left out.
    for (int i = 0; i < 20; ++i)
        level->addGoal(cGoal::MONEY, "", 100 + i);
    EXPECT_EQ(level->goals.size(), cLevel::kMaxGoals);
}

TEST_F(LivingLevel, HunterWaitsTwoSecondsShootsOnFrame38AndLeaves)
{
    makeLevel();
    cAnimal* zebra = spawn("zebra", 200, 500, true);
    cAnimal* lion = spawn("lion", 900, 480, true);
    cPoacher* p = poacherAt(260, 500);
    ASSERT_EQ(p->area, cLevel::HERBIVORE);
    ASSERT_EQ(p->health, 3.0f);
    for (auto* a : {zebra, lion})
        a->freeRunning = false, a->path.clear();

    frames(0.6f);
    EXPECT_FLOAT_EQ(p->fade, cPoacher::kAppearedFade) << "appeared in half a second";
    EXPECT_EQ(p->target, zebra) << "its own ground only";
    EXPECT_EQ(p->state, cPoacher::WALK) << "no shot in its first two seconds";
    int shotFrame = -1;
    for (int i = 0; i < 30 * 10 && zebra->health > 0.0f; ++i) {
        level->frameStep(kDt);
        if (zebra->health <= 0.0f)
            shotFrame = static_cast<int>(p->currentAnimation()->getFrameCounter());
    }
    EXPECT_TRUE(shotFrame == 38 || shotFrame == 39) << shotFrame;
    EXPECT_EQ(p->kills, 1);
    EXPECT_EQ(p->target, nullptr);
    EXPECT_GT(lion->health, 0.0f);
    // AnimalsCount 1: it leaves after the shot, without coins, to the pool.
    const size_t pooled = cPoacher::pooledCount();
    frames(6.0f);
    EXPECT_TRUE(level->poachers.empty());
    EXPECT_EQ(cPoacher::pooledCount(), pooled + 1);
    EXPECT_TRUE(level->bonuses.empty());
}

TEST_F(LivingLevel, TargetsThatDieOrAreSoldAreNeverShot)
{
    makeLevel();
    makeHelicopter();
    cAnimal* zebra = spawn("zebra", 200, 500, true);
    zebra->freeRunning = false;
    cPoacher* p = poacherAt(250, 500);
    p->shotClock = cPoacher::kShotReadySeconds;
    frames(0.7f);
    ASSERT_EQ(p->state, cPoacher::SHOOT);
    ASSERT_EQ(p->target, zebra);
    // Sold while aimed at: the poacher lets it go at once.
    level->addForSale(zebra);
    ASSERT_TRUE(helo->sellQueued(*level));
    level->forgetAnimal(zebra);
    EXPECT_EQ(p->target, nullptr);
    EXPECT_EQ(p->state, cPoacher::WALK);
    frames(1.0f);
    EXPECT_EQ(p->kills, 0);
    EXPECT_NE(p->target, zebra) << "an animal on its way out is no target";

    // Dead of something else before the kill frame: dropped, walks on.
    cAnimal* warthog = spawn("warthog", 300, 520, true);
    warthog->freeRunning = false;
    warthog->setPosition(p->anchor + aVector2(40.0f, 0.0f));
    for (int i = 0; i < 60 && p->state != cPoacher::SHOOT; ++i)
        level->frameStep(kDt);
    ASSERT_EQ(p->target, warthog);
    warthog->health = 0.0f;
    level->frameStep(kDt);
    EXPECT_EQ(p->target, nullptr);
    EXPECT_EQ(p->state, cPoacher::WALK);
    EXPECT_EQ(p->kills, 0);
}

TEST_F(LivingLevel, ClicksDriveAPoacherOffForOneCoinAndAnAward)
{
    makeLevel();
    spawn("zebra", 150, 650, true);
    cPoacher* p = poacherAt(400, 300);
    frames(0.6f);
    EXPECT_FLOAT_EQ(parkUpgrades::poacherHitDamage(), 1.0f);
    profile->setUpgradeStage(4, 2);
    EXPECT_FLOAT_EQ(parkUpgrades::poacherHitDamage(), 1.5f);
    p->hit(parkUpgrades::poacherHitDamage());
    EXPECT_TRUE(p->state == cPoacher::HIT_01 || p->state == cPoacher::HIT_02);
    const int32_t hitState = p->state;
    p->hit(1.0f);
    EXPECT_EQ(p->state, hitState) << "no new animation while one runs";
    EXPECT_FLOAT_EQ(p->health, 0.5f);
    p->hit(1.0f);
    EXPECT_EQ(p->health, 0.0f);
    EXPECT_EQ(profile->getAwardProgress(10), 1);
    ASSERT_EQ(level->bonuses.size(), 1u) << "one coin";
    const int32_t v = level->bonuses[0]->value;
    // Bonus 37 at stage 2: 111 = 4 x 25 + 2 x 5 + 1, perhaps one 5 up and one 1 up.
    EXPECT_TRUE(v == 111 || v == 115 || v == 131 || v == 135) << v;
    p->hit(1.0f);
    EXPECT_EQ(profile->getAwardProgress(10), 1) << "once";
    frames(3.0f);
    EXPECT_TRUE(level->poachers.empty());

    // Bonus 37 without upgrades: 37, 41, 57 or 61, 37 about 79 % of the time.
    a_srand(29);
    std::map<uint16_t, int> seen;
    for (int i = 0; i < 10000; ++i)
        ++seen[cPoacher::rewardValue(37, 1)];
    EXPECT_EQ(seen.size(), 4u);
    for (uint16_t value : {37, 41, 57, 61})
        EXPECT_GT(seen[value], 0) << value;
    EXPECT_NEAR(seen[37] / 10000.0, 0.7921, 0.02);
    EXPECT_EQ(cPoacher::rewardValue(0, 3), 0);
    EXPECT_EQ(cPoacher::rewardValue(INT32_MAX, 5), 65535) << "kept to the coin's 16 bits";
}

TEST_F(LivingLevel, WavesWaitForRoomAndPoachersComeOneByOne)
{
    makeLevel("\n[POACHERS]\nTypes=hunter\nMinCount=2\nMaxCount=2\nMinWaves=2\nMaxWaves=2\nMinSpawnTime=5\n"
              "MaxSpawnTime=5");
    ASSERT_EQ(level->wavesLeft, 2);
    level->waveTimer = 1.0f;
    frames(1.2f);
    EXPECT_EQ(level->wavesLeft, 2) << "no animals: the wave is skipped";
    EXPECT_NEAR(level->waveTimer, 5.0f, 0.2f);

    spawn("zebra", 150, 650, true)->freeRunning = false;
    for (int i = 0; i < 3; ++i)
        poacherAt(200.0f + 80.0f * static_cast<float>(i), 300);
    level->waveTimer = 0.0f;
    level->frameStep(kDt);
    EXPECT_EQ(level->wavesLeft, 2) << "three poachers in the park already";
    EXPECT_NEAR(level->waveTimer, 5.0f, 0.01f);

    for (cPoacher* p : level->poachers)
        p->health = 0.0f;
    frames(2.0f);
    ASSERT_TRUE(level->poachers.empty());
    level->waveTimer = 0.0f;
    level->frameStep(kDt);
    EXPECT_EQ(level->wavesLeft, 1);
    EXPECT_EQ(level->pendingPoachers.size(), 2u);
    frames(0.45f);
    EXPECT_TRUE(level->poachers.empty()) << "each waits half a second or more";
    frames(1.2f);
    EXPECT_EQ(level->poachers.size(), 2u);
    for (cPoacher* p : level->poachers)
        EXPECT_EQ(level->walkableAt(static_cast<int32_t>(p->anchor.x), static_cast<int32_t>(p->anchor.y)), p->area);
}

TEST_F(LivingLevel, DrawListHoldsOnlyThisFramesLivingSortedByDepth)
{
    makeLevel();
    cAnimal* far = spawn("warthog", 200, 300, true);
    spawn("zebra", 300, 600, true);
    cPoacher* p = poacherAt(900, 450);
    level->frameStep(kDt);
    ASSERT_EQ(g_drawList.size(), 3u);
    EXPECT_TRUE(std::is_sorted(g_drawList.begin(), g_drawList.end(), compareDepth));
    EXPECT_EQ(g_drawList.front(), far);
    // A vanished animal is swept; the next step's list never names it.
    far->vanish();
    level->frameStep(kDt);
    level->frameStep(kDt);
    EXPECT_EQ(std::count(g_drawList.begin(), g_drawList.end(), static_cast<cDrawElement*>(far)), 0);
    EXPECT_EQ(std::count(g_drawList.begin(), g_drawList.end(), static_cast<cDrawElement*>(p)), 1);
}

TEST(FlyAwayText, CrowdedTextsWaitAQuarterSecondEachAndFadeIn133Seconds)
{
    std::vector<cFlyAwayText*> texts;
    for (int i = 0; i < 3; ++i)
        texts.push_back(cFlyAwayText::add(nullptr, L"+15", 1.1f, aVector2(300, 200), 70.0f, 0.75f));
    texts.push_back(cFlyAwayText::add(nullptr, L"-40", 1.1f, aVector2(600, 200), 70.0f, 0.75f));
    for (int i = 0; i < 3; ++i)
        EXPECT_FLOAT_EQ(texts[i]->delay, 0.25f * static_cast<float>(i));
    EXPECT_FLOAT_EQ(texts[3]->delay, 0.0f) << "far from the others";
    EXPECT_EQ(texts[0]->colour, 0xFFFFFF00u);

    const float dt = 0.01f;
    float t = 0.0f;
    while (!cFlyAwayText::live().empty() && t < 5.0f) {
        cFlyAwayText::updateAll(dt);
        t += dt;
        if (std::count(cFlyAwayText::live().begin(), cFlyAwayText::live().end(), texts[0]) == 0 && t < 1.5f) {
            EXPECT_NEAR(t, 1.0f / 0.75f, 0.02f) << "1.33 s after no delay";
            t = 1.5f;
        }
    }
    EXPECT_TRUE(cFlyAwayText::live().empty());
    EXPECT_LT(texts[2]->anchor.y, 200.0f) << "drifted up";
    cFlyAwayText* reused = cFlyAwayText::add(nullptr, L"+1", 1.0f, aVector2(10, 10), 70.0f, 0.75f);
    EXPECT_TRUE(std::find(texts.begin(), texts.end(), reused) != texts.end()) << "from the pool";
    EXPECT_FLOAT_EQ(reused->delay, 0.0f);
    cFlyAwayText::clearAll();
    EXPECT_TRUE(cFlyAwayText::live().empty());
}
