#include <gtest/gtest.h>

#include "game/park/level.h"
#include "game/park/water.h"
#include "game/support/harness.h"
#include "game/support/scene_elements.h"
#include "orvo/gfx/a_gdi.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/util/a_random.h"
#include "support/golden.h"

namespace {

// A fixed copy of the fenced park, so the shipped levels can change under the game.
const std::string kFencedPark = std::string(KB_TEST_DATA_DIR) + "/levels/Level01.ini";

// A level on the offscreen renderer with a few more animals, its scenery
// stepped two seconds at a fixed seed, then drawn once. The ground that
// random decorations alternate between is kept for the whole program, so
// each of these pictures holds for a fresh process (as CTest runs them).
struct Placed {
    const char* kind;
    float x, y;
    bool adult;
};

void drawLevel(kbtest::GameHarness& harness, cLevel& level)
{
    g_drawList.assign(level.animals.begin(), level.animals.end());
    std::sort(g_drawList.begin(), g_drawList.end(), compareDepth);
    aGraphServer* graph = harness.game().getGraphServer();
    ASSERT_TRUE(graph->beginScene());
    level.draw();
    graph->endScene();
}

void drawPark(kbtest::GameHarness& harness, cLevel& level, std::initializer_list<Placed> animals)
{
    ASSERT_TRUE(level.loaded);
    for (const Placed& p : animals) {
        ASSERT_TRUE(level.spawnAnimal(p.kind, aVector2(p.x, p.y), true)) << p.kind;
        if (p.adult)
            level.animals.back()->makeGrown(false);
    }
    for (int i = 0; i < 120; ++i)
        level.updateScenery(1.0f / 60.0f);
    drawLevel(harness, level);
}

TEST(SceneGolden, Level01)
{
    kbtest::GameHarness harness;
    ASSERT_EQ(harness.start(), 0);
    ASSERT_TRUE(harness.waitForLoad());
    kbtest::loadParkKinds();
    a_srand(11);
    cLevel level(kFencedPark, true);
    drawPark(harness, level, {{"zebra", 300, 420, true}, {"zebra", 360, 430, false}, {"warthog", 520, 560, true}});
    harness.expectScreen("park_level01");
    level.release();
    cAnimal::releaseKinds();
}

TEST(SceneGolden, RiverWithHipposAndFoam)
{
    kbtest::GameHarness harness;
    ASSERT_EQ(harness.start(), 0);
    ASSERT_TRUE(harness.waitForLoad());
    kbtest::loadParkKinds();
    // Hippos that live in the water, drawn through it.
    cAnimal::findKindByName("hippo")->liveInWater = 1;
    a_srand(5);
    cLevel level("levels:River.ini", true);
    ASSERT_NE(level.water, nullptr);
    EXPECT_TRUE(level.water->hasFoam());
    EXPECT_EQ(level.water->getFrameCount(), 8u);
    drawPark(harness, level, {{"hippo", 95, 372, true}, {"hippo", 205, 525, true}, {"zebra", 420, 470, true}});
    harness.expectScreen("park_river");
    // A lost device takes the water's buffers; the same frame is drawn after it, foam and all.
    level.water->step();
    drawLevel(harness, level);
    const std::vector<uint32_t> before = harness.screenshot();
    harness.game().getGraphServer()->resetDevice();
    ASSERT_NE(level.water->foamBuffer(), nullptr);
    drawLevel(harness, level);
    const std::vector<uint32_t> after = harness.screenshot();
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(kbtest::pixelsOff(after, before.data()), 0u);
    level.release();
    EXPECT_EQ(cWater::getSingletonPtr(), nullptr);
    cAnimal::releaseKinds();
}

// The six kinds, children in the upper row and adults in the lower one, with
// their status indicators: the children hungry, the adults sick, one pair
// under the pointer (highlight and health bar), the adult warthog producing.
TEST(SceneGolden, SixKindsChildAndAdultWithIndicators)
{
    kbtest::GameHarness harness;
    ASSERT_EQ(harness.start(), 0);
    ASSERT_TRUE(harness.waitForLoad());
    kbtest::loadParkKinds();
    a_srand(7);
    std::vector<cAnimal*> animals;
    const char* kinds[] = {"warthog", "zebra", "rhino", "hippo", "cheetah", "lion"};
    for (int i = 0; i < 6; ++i) {
        for (bool adult : {false, true}) {
            cAnimal* animal = cAnimal::create(adult, cAnimal::findKindByName(kinds[i]));
            ASSERT_NE(animal, nullptr) << kinds[i];
            animal->setPosition(aVector2(95.0f + 166.0f * i, adult ? 640.0f : 360.0f));
            // The adult warthog produces (its coins glint over it); the others walk.
            animal->setState(adult && i == 0 ? cAnimalKind::PRODUCE : cAnimalKind::WALK);
            animal->setDirection(aVector2(i % 2 ? -1.0f : 1.0f, 0.0f));
            if (adult) {
                animal->sick = animal->held = true;
                animal->freeRunning = false;
            } else {
                animal->hunger = 90.0f;
            }
            animal->hovered = i == 1;
            animal->highlight = 0xFF00FF00;
            animals.push_back(animal);
        }
    }
    for (int frame = 0; frame < 30; ++frame)
        for (cAnimal* animal : animals)
            animal->update(1.0f / 30.0f);
    for (cAnimal* animal : animals) {
        EXPECT_EQ(animal->indicator.step, cStatusIndicator::kSteps) << animal->kind->name;
        EXPECT_EQ(animal->indicator.frame, animal->child
                                               ? (animal->kind->foodType ? aRect(122, 0, 42, 28) : aRect(80, 0, 42, 36))
                                               : aRect(122, 28, 27, 26));
    }

    aGraphServer* graph = harness.game().getGraphServer();
    ASSERT_TRUE(graph->beginScene());
    aGDI ground;
    ground.color = 0xFF8DA656;
    ground.drawRect(0, 0, 1024, 768, true);
    ground.color = 0xFF7C9A48;
    ground.drawRect(0, 420, 1024, 348, true);
    std::sort(animals.begin(), animals.end(), compareDepth);
    for (cAnimal* animal : animals)
        animal->draw();
    for (cAnimal* animal : animals)
        animal->drawInfoPanel();
    graph->endScene();
    harness.expectScreen("animals_row");

    for (cAnimal* animal : animals)
        animal->release();
    cAnimal::releaseKinds();
}

} // namespace
