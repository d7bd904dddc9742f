// The park's scene on the recording device: Level01's frame in layer order
// with creatures by depth and shadows batched, decorations from ENTITY
// sections, cloud layers and butterflies bounded whatever the time step.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "game/park/clouds.h"
#include "game/park/entity.h"
#include "game/park/level.h"
#include "game/support/harness.h"
#include "game/support/scene_elements.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/platform/gpu/a_gpudevicerecorder.h"
#include "orvo/util/a_random.h"
#include "support/temp_dir.h"

namespace {

class Scene : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(harness.start(), 0);
        ASSERT_TRUE(harness.waitForLoad());
        kbtest::loadParkKinds();
    }
    void TearDown() override { cAnimal::releaseKinds(); }

    kbtest::GameHarness harness{kbtest::GameHarness::Options{.recording = true}};
    kbtest::TempDir dir{"scene"};
};

TEST_F(Scene, Level01InLayerOrderWithCreaturesByDepth)
{
    a_srand(7);
    cLevel level(std::string(KB_TEST_DATA_DIR) + "/levels/Level01.ini", true);
    ASSERT_TRUE(level.loaded);
    // Two more on one line besides the level's three: the one further right is drawn first.
    ASSERT_TRUE(level.spawnAnimal("zebra", aVector2(400, 450), true));
    ASSERT_TRUE(level.spawnAnimal("warthog", aVector2(520, 450), true));
    cAnimal* left = level.animals[3];
    cAnimal* right = level.animals[4];
    ASSERT_TRUE(level.placeFood(0, 1, aVector2(300, 600)));
    ASSERT_NE(cBonus::dropNear(&level, aVector2(500, 455), 10.0f, 0, 5), nullptr);
    ASSERT_FALSE(level.butterflies.empty());
    for (int i = 0; i < 30; ++i)
        level.updateScenery(0.1f);
    g_drawList.assign(level.animals.begin(), level.animals.end());
    std::sort(g_drawList.begin(), g_drawList.end(), compareDepth);
    EXPECT_EQ(std::find(g_drawList.begin(), g_drawList.end(), right) + 1,
              std::find(g_drawList.begin(), g_drawList.end(), left));
    std::vector<std::string> expected = {"background", "shadows", "clouds", "foods", "entities"};
    for (cDrawElement* e : g_drawList)
        if (expected.back() != static_cast<cAnimal*>(e)->kind->name)
            expected.push_back(static_cast<cAnimal*>(e)->kind->name);
    expected.insert(expected.end(), {"coins", "butterflies"});

    const std::map<const void*, std::string> names = kbtest::sceneTextures(level);
    aGraphServer* graph = harness.game().getGraphServer();
    harness.recorder()->clearRecords();
    ASSERT_TRUE(graph->beginScene());
    level.draw();
    graph->getDevice()->flushPendingBatch();
    const std::vector<aGpuRecord> records = harness.recorder()->records();
    graph->endScene();
    EXPECT_TRUE(g_drawList.empty());
    // The textures drawn, one entry per run of draws of the same kind; the
    // shadows of one kind go in one batch, whatever the list order.
    std::vector<std::string> sequence;
    size_t shadowBatches = 0;
    for (const aGpuRecord& r : records) {
        if (r.call != aGpuCall::DrawBatch && r.call != aGpuCall::DrawPrimitive &&
            r.call != aGpuCall::DrawIndexedPrimitive)
            continue;
        const std::string name = names.count(r.object) ? names.at(r.object) : "?";
        shadowBatches += r.call == aGpuCall::DrawBatch && name == "shadows";
        if (sequence.empty() || sequence.back() != name)
            sequence.push_back(name);
    }
    EXPECT_EQ(sequence, expected);
    EXPECT_EQ(shadowBatches, 2u);
    EXPECT_TRUE(graph->getTextureFilter()) << "the background is drawn unfiltered and the filter put back";

    level.release();
}

TEST_F(Scene, DecorationsCloudsAndButterflies)
{
    kbtest::writeFile(dir.file("Decor.ini"),
                      "[DATA]\nWalkableMask=levels:park_open_walk.png\n[BACKGROUND]\nBackground=levels:park_open.jpg\n"
                      "[ENTITY]\nSprite=baobab\nPosition=300, 100\nCollisions=1\nNotWalkable=1\n\n"
                      "[ENTITY]\nSprite=rock_01\nPosition=600, 100\nPerspective=0\nMirror=1\n\n"
                      "[ENTITY]\nSprite=rock_01\nCount=0\n\n"
                      "[ENTITY]\nSprite=no_such_sprite\n\n"
                      "[ENTITY]\nSprite=grass_tuft\nRandomPos=1\nDistortion=1\nCount=2\n");
    a_srand(2);
    cLevel level(dir.file("Decor.ini"), true);
    ASSERT_TRUE(level.loaded);
    ASSERT_EQ(level.entities.size(), 4u);
    EXPECT_TRUE(harness.logged("cLevel. ENTITY sprite \"no_such_sprite\" is not registered"));
    auto* tree = static_cast<cEntity*>(level.entities[0]);
    auto* rock = static_cast<cEntity*>(level.entities[1]);
    auto* grass = static_cast<cEntity*>(level.entities[2]);
    // Position is the picture's top-left corner at full size: the feet go below its middle.
    EXPECT_EQ(tree->anchor, aVector2(300 + tree->width * 0.5f, 100.0f + tree->height));
    EXPECT_TRUE(tree->fades);
    EXPECT_EQ(level.walkableAt(tree->anchor.x, tree->anchor.y - 5), cLevel::NOT_WALKABLE);
    EXPECT_EQ(level.obstacles.size(), 1u);
    EXPECT_EQ(rock->scale, 1.0f) << "without perspective";
    EXPECT_TRUE(rock->mirrored);
    EXPECT_FALSE(rock->fades);
    EXPECT_NE(grass->grid, nullptr);
    // The sway turns round at the ends of its range, and a zero step moves nothing.
    for (int i = 0; i < 600; ++i) {
        grass->update(i % 5 == 0 ? 0.0f : 0.05f);
        ASSERT_LE(std::abs(grass->swayAngle), 10.0f + 10.0f * 0.05f);
    }
    // An animal behind the tree fades it to 0.4 in 0.3 s; it comes back once the animal has gone.
    ASSERT_TRUE(level.spawnAnimal("zebra", tree->anchor + aVector2(0, -5), true));
    for (int i = 0; i < 3; ++i)
        level.updateScenery(0.1f);
    EXPECT_NEAR(tree->alpha, cEntity::kFadedAlpha, 1e-5f);
    level.updateScenery(0.1f);
    EXPECT_EQ(tree->alpha, cEntity::kFadedAlpha);
    level.animals.front()->setPosition(aVector2(900, 700));
    level.animals.front()->getScreenRect();
    for (int i = 0; i < 4; ++i)
        level.updateScenery(0.1f);
    EXPECT_EQ(tree->alpha, 1.0f);
    level.release();

    // Every full load starts the cloud layers afresh, a missing or damaged
    // picture skipped; a reload that is not full keeps them.
    kbtest::writeFile(dir.file("bad.png"), "not a picture");
    const std::string ground = "[DATA]\nWalkableMask=levels:park_open_walk.png\n[BACKGROUND]\n"
                               "Background=levels:park_open.jpg\nCloudsImages=";
    kbtest::writeFile(dir.file("Clouds.ini"), ground + dir.file("bad.png") +
                                                  ", sprites:Clouds/clouds_near.png, nothing.png\n"
                                                  "CloudsSpeeds=30, -40000, 5\n");
    kbtest::writeFile(dir.file("NoSpeeds.ini"), ground + "sprites:Clouds/clouds_near.png\n");
    {
        cLevel first(std::string(KB_TEST_DATA_DIR) + "/levels/Level01.ini", true);
        cLevel second(dir.file("Clouds.ini"), true);
        ASSERT_EQ(cClouds::layers().size(), 2u);
        cLevel reload("levels:Level00.ini", false);
        EXPECT_EQ(cClouds::layers().size(), 2u);
    }
    // The undecodable picture has no width to wrap by; a huge step wraps in one go.
    aGraphServer* graph = harness.game().getGraphServer();
    ASSERT_TRUE(graph->beginScene());
    for (float dt : {0.0f, 1.0f, 1.0e6f, 3.0e9f}) {
        cClouds::draw(dt);
        const cCloudLayer& moving = cClouds::layers()[1];
        EXPECT_GT(moving.x, -static_cast<float>(moving.image->getWidth()));
        EXPECT_LE(moving.x, 0.0f);
    }
    graph->endScene();
    {
        cLevel none(dir.file("NoSpeeds.ini"), true);
        EXPECT_TRUE(cClouds::layers().empty());
    }

    // A new butterfly waits off screen until time passes, then keeps to the screen's height.
    cButterfly butterfly(std::make_unique<aAnim>());
    butterfly.update(0.0f);
    EXPECT_GT(butterfly.start.x, 1.0e30f);
    a_srand(3);
    for (int i = 0; i < 20000; ++i) {
        butterfly.update(i % 7 == 0 ? 0.0f : 0.05f);
        ASSERT_TRUE(butterfly.start.y >= 0.0f && butterfly.start.y <= 768.0f) << i;
        ASSERT_NEAR(butterfly.direction.length(), 1.0f, 1e-4f);
    }
}

} // namespace
