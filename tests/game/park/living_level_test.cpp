// The living level on the shipped hunter and animals: sales by helicopter,
// the lost test, poachers and their waves, the frame step's draw list.
#include <algorithm>
#include <cmath>
#include <set>

#include "game/app/playerprofile.h"
#include "game/park/flyawaytext.h"
#include "game/park/parkupgrades.h"
#include "game/park/poacher.h"
#include "game/park/statusindicator.h"
#include "game/park/water.h"
#include "game/support/autoplayer.h"
#include "orvo/gfx/a_advanim.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_particlesmanager.h"
#include "orvo/gfx/a_particlesystem.h"
#include "orvo/platform/gpu/a_gpudevicerecorder.h"

using namespace kbtest;

namespace {

class LivingLevel : public AutoPlayGame {
protected:
    void SetUp() override
    {
        AutoPlayGame::SetUp();
        helo = std::make_unique<cHelicopter>();
    }
    void TearDown() override
    {
        cFlyAwayText::clearAll();
        AutoPlayGame::TearDown();
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
};

} // namespace

TEST_F(LivingLevel, PricesAndTheHelicopterThatSellsWhatFits)
{
    makeLevel();
    cAnimal* old = spawn("warthog", 400, 500, true);
    old->ageOrProduced = static_cast<float>(old->kind->numOfProducing);
    level->addForSale(old);
    const int32_t before = level->money;
    ASSERT_TRUE(helo->sellQueued(*level));
    EXPECT_FALSE(level->eventAllowed(0)) << "no waves while it flies over the park";
    deliver();
    EXPECT_GT(level->money, before);
    EXPECT_EQ(player->getAwardProgress(0), 1) << "a warthog sold";
    // Dear kinds and long credits keep to their types.
    game->h.game().settings().buyAdditionValue = 100000;
    EXPECT_EQ(level->animalPrice("warthog"), 65535);
    level->money = INT32_MAX - 5;
    level->addMoney(100);
    EXPECT_EQ(level->money, INT32_MAX);
    // Capacity 1 (no upgrade): the rhino needs two slots, the first that fits goes.
    cAnimal* rhino = spawn("rhino", 150, 600, true);
    level->addForSale(rhino);
    EXPECT_FALSE(helo->sellQueued(*level));
    cAnimal* left = spawn("zebra", 100, 500, true);
    cAnimal* right = spawn("warthog", 450, 300, true);
    level->addForSale(left);
    level->addForSale(right);
    ASSERT_TRUE(helo->sellQueued(*level));
    EXPECT_EQ(level->saleQueue, (std::vector<cAnimal*>{rhino, right}));
    EXPECT_FALSE(left->isLiving()) << "aboard, no longer counted";
    deliver();
    // Three slots: each picked up once passed, the one furthest right first
    // (put back: their wandering follows the random stream).
    player->setUpgradeStage(3, 2);
    ASSERT_EQ(parkUpgrades::helicopterCapacity(), 3);
    rhino->setPosition(aVector2(150, 600));
    right->setPosition(aVector2(450, 300));
    ASSERT_TRUE(helo->sellQueued(*level));
    EXPECT_TRUE(level->saleQueue.empty());
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
    deliver();
    // One seat again: a kind that claims no seat still takes one, and an
    // animal the player holds is boarded all the same.
    player->setUpgradeStage(3, 0);
    cAnimal* held = spawn("zebra", 300, 500, true);
    cAnimal* next = spawn("zebra", 350, 500, true);
    const int32_t seats = held->kind->slotsInHelo;
    held->kind->slotsInHelo = -1;
    held->hold();
    level->addForSale(held);
    level->addForSale(next);
    ASSERT_TRUE(helo->sellQueued(*level));
    held->kind->slotsInHelo = seats;
    EXPECT_EQ(level->saleQueue, std::vector<cAnimal*>{next});
    EXPECT_EQ(helo->toPickUp, std::vector<cAnimal*>{held});
    EXPECT_EQ(helo->countKindAboard(held->kind), 1);
    deliver();
    level->saleQueue.clear();
    // The level ends during a flight: the helicopter lets its passengers go.
    level->addForSale(spawn("zebra", 300, 500, true));
    ASSERT_TRUE(helo->sellQueued(*level));
    level->release();
    EXPECT_TRUE(helo->toPickUp.empty());
    for (int i = 0; i < 30 * 5; ++i)
        helo->update(kDt);
}

TEST_F(LivingLevel, LostWhenASellGoalCanNoLongerBeMetCountingThoseAboard)
{
    makeLevel("AvailableAnimals=warthog\n\n[GOALS]\nAnimals=zebra\nAnimalsCount=3");
    ASSERT_EQ(level->goals.size(), 1u);
    level->goals[0].progress = 1;
    cAnimal* zebra = spawn("zebra", 200, 500, true);
    level->addForSale(spawn("zebra", 300, 500, true));
    ASSERT_TRUE(helo->sellQueued(*level));
    level->checkLost();
    EXPECT_EQ(level->state, 0) << "1 sold + 1 living + 1 aboard";
    zebra->health = 0.0f;
    level->checkLost();
    EXPECT_EQ(level->state, -1) << "1 + 0 + 1 < 3";
    // The HUD keeps one bit per goal: more than sixteen are left out.
    for (int i = 0; i < 20; ++i)
        level->addGoal(cGoal::MONEY, "", 100 + i);
    EXPECT_EQ(level->goals.size(), cLevel::kMaxGoals);
}

// A hunter shoots an animal of its own ground and leaves; a target sold or
// dead before the shot is dropped; clicks drive a poacher off.
TEST_F(LivingLevel, HunterShootsAndIsDrivenOffByClicks)
{
    makeLevel();
    cAnimal* zebra = spawn("zebra", 200, 500, true);
    cAnimal* lion = spawn("lion", 900, 480, true);
    cPoacher* p = poacherAt(260, 500);
    for (auto* a : {zebra, lion})
        a->freeRunning = false, a->path.clear();
    for (int i = 0; i < 30 * 10 && zebra->health > 0.0f; ++i)
        level->frameStep(kDt);
    EXPECT_EQ(p->kills, 1);
    EXPECT_GT(lion->health, 0.0f);
    // AnimalsCount 1: it leaves after the shot, without coins, to the pool.
    const size_t pooled = cPoacher::pooledCount();
    frames(6.0f);
    EXPECT_TRUE(level->poachers.empty());
    EXPECT_EQ(cPoacher::pooledCount(), pooled + 1);
    EXPECT_TRUE(level->bonuses.empty());
    // Sold while aimed at: the poacher lets it go at once.
    cAnimal* sold = spawn("zebra", 200, 500, true);
    sold->freeRunning = false;
    p = poacherAt(250, 500);
    p->shotClock = cPoacher::kShotReadySeconds;
    frames(0.7f);
    ASSERT_EQ(p->state, cPoacher::SHOOT);
    ASSERT_EQ(p->target, sold);
    level->addForSale(sold);
    ASSERT_TRUE(helo->sellQueued(*level));
    level->forgetAnimal(sold);
    frames(1.0f);
    EXPECT_EQ(p->kills, 0);
    EXPECT_NE(p->target, sold) << "an animal on its way out is no target";
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
    EXPECT_EQ(p->kills, 0);
    // Clicks drive it off, for one coin and an award, once.
    player->setUpgradeStage(4, 2);
    for (int i = 0; i < 3; ++i)
        p->hit(parkUpgrades::poacherHitDamage());
    EXPECT_EQ(level->bonuses.size(), 1u) << "one coin";
    p->hit(1.0f);
    EXPECT_EQ(player->getAwardProgress(10), 1);
    frames(3.0f);
    EXPECT_TRUE(level->poachers.empty());
    EXPECT_EQ(cPoacher::rewardValue(0, 3), 0);
    EXPECT_EQ(cPoacher::rewardValue(INT32_MAX, 5), 65535) << "kept to the coin's 16 bits";
}

// A hit breaks off what the hunter does, never his rules: he shoots neither
// before his shot clock allows nor from afar; a shot hit before it fired is
// taken again, once; hit after it fired, with his quota met, he leaves.
TEST_F(LivingLevel, AHitHunterTakesUpHisWorkAgainAndLeavesAfterHisQuota)
{
    makeLevel();
    cAnimal* zebra = spawn("zebra", 100, 500, true);
    zebra->freeRunning = false, zebra->path.clear();
    const auto hitAndWait = [this](cPoacher* p) {
        p->hit(0.5f);
        for (int i = 0; i < 60 && (p->state == cPoacher::HIT_01 || p->state == cPoacher::HIT_02); ++i)
            level->frameStep(kDt);
    };
    const auto distance = [](const cPoacher* p, const cAnimal* a) { return (a->anchor - p->anchor).length(); };
    const auto here = [this](const cPoacher* p) {
        return std::find(level->poachers.begin(), level->poachers.end(), p) != level->poachers.end();
    };
    cPoacher* p = poacherAt(180, 500);
    frames(0.6f);
    ASSERT_EQ(p->target, zebra);
    hitAndWait(p);
    EXPECT_EQ(p->state, cPoacher::WALK) << "close by, but his shot clock at " << p->shotClock;
    p->setPosition(aVector2(420, 500));
    p->path.clear();
    p->shotClock = cPoacher::kShotReadySeconds;
    hitAndWait(p);
    EXPECT_EQ(p->state, cPoacher::WALK) << "hit " << distance(p, zebra) << " px from his target";
    for (int i = 0; i < 30 * 10 && p->state != cPoacher::SHOOT; ++i)
        level->frameStep(kDt);
    ASSERT_EQ(p->state, cPoacher::SHOOT);
    EXPECT_LT(distance(p, zebra), std::sqrt(cPoacher::kShootDistanceSq));
    // Hit while he aims: he aims again, and that shot ends.
    for (int i = 0; i < 30 && p->currentAnimation()->getFrameCounter() < 10; ++i)
        level->frameStep(kDt);
    hitAndWait(p);
    ASSERT_EQ(p->state, cPoacher::SHOOT);
    EXPECT_FALSE(p->currentAnimation()->isLooping());
    for (int i = 0; i < 30 * 5 && p->kills == 0; ++i)
        level->frameStep(kDt);
    EXPECT_EQ(p->kills, 1);
    frames(6.0f);
    EXPECT_FALSE(here(p)) << "gone after his one kill";
    // Hit after his shot fired, nothing left to hunt: he leaves all the same.
    zebra = spawn("zebra", 100, 500, true);
    zebra->freeRunning = false, zebra->path.clear();
    p = poacherAt(180, 500);
    p->shotClock = cPoacher::kShotReadySeconds;
    for (int i = 0; i < 30 * 10 && p->kills == 0; ++i)
        level->frameStep(kDt);
    ASSERT_EQ(p->kills, 1);
    hitAndWait(p);
    frames(3.0f);
    EXPECT_FALSE(here(p)) << "in state " << p->state << " with his quota met";
    EXPECT_EQ(player->getAwardProgress(10), 0) << "he left; he was not driven off";
}

// A loss reads as one: an animal's thought bubble over the hunter is drawn
// whole, as anywhere; he faces his target, fires at frame 38 and is still
// there while the animal falls and vanishes in its puff; an animal that
// starves shows its hunger bubble for a while before it dies.
TEST_F(LivingLevel, TheHunterStaysUntilTheAnimalHeShotIsGoneAndAStarvingAnimalShowsItsHunger)
{
    makeLevel();
    cAnimal* warthog = spawn("warthog", 200, 500, true);
    warthog->freeRunning = false, warthog->path.clear();
    cPoacher* p = poacherAt(330, 500);
    const aRect hunter = p->getHitRect();
    cStatusIndicator& thought = warthog->indicator;
    thought.x = static_cast<int16_t>(hunter.x + hunter.width / 2);
    thought.y = static_cast<int16_t>(hunter.y + hunter.height + 30);
    thought.step = cStatusIndicator::kSteps, thought.alpha = 1.0f;
    const aImage* sheet = animalGuiImage();
    ASSERT_TRUE(sheet && sheet->getRecord());
    game->h.recorder()->clearRecords();
    level->drawOverlays();
    std::set<uint32_t> bubbleColours;
    for (const aGpuRecord& r : game->h.recorder()->records(aGpuCall::SpriteDraw))
        if (r.object == sheet->getRecord()->surfaces[aImage::SURFACE_PLAIN].texture.get() && r.u[2] - r.u[0] == 64 &&
            r.f[5] == thought.x - 32.0f)
            bubbleColours.insert(r.u[4]);
    EXPECT_EQ(bubbleColours, std::set<uint32_t>{thought.colour});
    int frame = 0;
    for (; frame < 30 * 20 && p->kills == 0; ++frame)
        level->frameStep(kDt);
    ASSERT_EQ(p->kills, 1);
    EXPECT_EQ(p->state, cPoacher::SHOOT);
    EXPECT_TRUE(p->mirrored) << "turned to the animal on his left";
    EXPECT_GE(p->currentAnimation()->getFrameCounter(), cPoacher::kKillFrame);
    // The animal falls (its own death), then vanishes in a puff: he is there all along.
    bool puffSeen = false;
    for (int i = 0; i < 30 * 10 && !puffSeen; ++i) {
        level->frameStep(kDt);
        ASSERT_EQ(warthog->state, cAnimalKind::DEATH);
        puffSeen = warthog->presence < 2.0f;
        ASSERT_TRUE(p->health > 0.0f && p->fade == cPoacher::kAppearedFade) << "gone before his victim, " << i;
    }
    EXPECT_TRUE(puffSeen);
    frames(6.0f);
    EXPECT_TRUE(level->poachers.empty()) << "then he leaves";
    // No food anywhere: once hunger is full the bubble shows before health runs out.
    cAnimal* starving = spawn("warthog", 400, 500, true);
    starving->hunger = 100.0f;
    float bubble = 0.0f;
    for (int i = 0; i < 30 * 60 && starving->state != cAnimalKind::DEATH; ++i) {
        level->frameStep(kDt);
        if (starving->indicator.shown && starving->indicator.step == cStatusIndicator::kSteps)
            bubble += kDt;
    }
    ASSERT_EQ(starving->state, cAnimalKind::DEATH);
    EXPECT_GT(bubble, 3.0f) << "seconds of hunger shown before it died";
}

// The wave round a wading hunter is the particle manager's to remove once it has finished: the hunter
// then starts a new one and never touches the old.
TEST_F(LivingLevel, AWadingHuntersWaveThatFinishesIsReplaced)
{
    makeLevel();
    writeFile(dir.file("wave.psi"), "A short wave.\nmax_particles 4\nfps 60\nemitter_life 0.2 0.2\nemit_per_sec 20 20\n"
                                    "particle_life 0.2 0.2\nloop_ps 0\n");
    writeFile(dir.file("particles.ini"), "[WATER_WAVE]\nSystem=wave.psi\n");
    cGame& g = game->h.game();
    aParticlesManager* shipped = g.getParticles();
    aParticlesManager shortWaves(dir.file("particles.ini"), dir.path() + "/", nullptr, "");
    g.setParticles(&shortWaves);
    // Deep water everywhere (the mask cannot be read).
    cWater::create(aRect(0, 0, 1024, 768), dir.file("none.png"), dir.file("none.png"), dir.path() + "/");
    cPoacher* p = poacherAt(300, 500);
    p->fade = 0.5f;
    auto waves = [&] {
        return std::count_if(shortWaves.getLiveSystems().begin(), shortWaves.getLiveSystems().end(),
                             [](const auto& entry) { return entry.layer == 2; });
    };
    std::set<uint64_t> seen;
    for (int i = 0; i < 60; ++i) {
        p->moveTo(aVector2(700.0f, 600.0f));
        p->update(kDt);
        ASSERT_EQ(waves(), 1) << "frame " << i;
        seen.insert(shortWaves.getLiveSystems().front().id);
        shortWaves.updateLayers(kDt, 2);
    }
    EXPECT_GT(seen.size(), 2u) << "each finished wave was followed by a new one";
    p->release();
    level->poachers.clear();
    EXPECT_EQ(waves(), 0);
    cWater::destroy();
    g.setParticles(shipped);
}

// Waves wait for animals; the draw list holds this frame's living only.
TEST_F(LivingLevel, WavesAndTheDrawList)
{
    makeLevel("\n[POACHERS]\nTypes=hunter\nMinCount=2\nMaxCount=2\nMinWaves=2\nMaxWaves=2\nMinSpawnTime=5\n"
              "MaxSpawnTime=5");
    level->waveTimer = 1.0f;
    frames(1.2f);
    EXPECT_EQ(level->wavesLeft, 2) << "no animals: the wave is skipped";
    spawn("zebra", 150, 650, true)->freeRunning = false;
    level->waveTimer = 0.0f;
    level->frameStep(kDt);
    EXPECT_EQ(level->wavesLeft, 1);
    frames(1.7f);
    ASSERT_EQ(level->poachers.size(), 2u);
    for (cPoacher* p : level->poachers)
        EXPECT_EQ(level->walkableAt(static_cast<int32_t>(p->anchor.x), static_cast<int32_t>(p->anchor.y)), p->area);
    // A vanished animal is swept; the next step's list never names it.
    cAnimal* gone = spawn("warthog", 200, 300, true);
    level->frameStep(kDt);
    gone->vanish();
    level->frameStep(kDt);
    level->frameStep(kDt);
    EXPECT_EQ(std::count(g_drawList.begin(), g_drawList.end(), static_cast<cDrawElement*>(gone)), 0);
    EXPECT_EQ(std::count(g_drawList.begin(), g_drawList.end(), static_cast<cDrawElement*>(level->poachers[0])), 1);
}
