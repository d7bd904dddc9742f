#include <gtest/gtest.h>

#include "game/park/level.h"
#include "game/park/water.h"
#include "game/support/harness.h"
#include "game/support/scene_elements.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/util/a_random.h"

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
    g_drawList.assign(level.animals.begin(), level.animals.end());
    std::sort(g_drawList.begin(), g_drawList.end(), compareDepth);
    aGraphServer* graph = harness.game().getGraphServer();
    ASSERT_TRUE(graph->beginScene());
    level.draw();
    graph->endScene();
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
    level.release();
    EXPECT_EQ(cWater::getSingletonPtr(), nullptr);
    cAnimal::releaseKinds();
}

} // namespace
