#include <gtest/gtest.h>

#include <map>

#include "game/park/clouds.h"
#include "game/park/entity.h"
#include "game/park/level.h"
#include "game/park/shadow.h"
#include "game/park/water.h"
#include "game/support/harness.h"
#include "game/support/scene_elements.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/platform/gpu/a_gpudevicerecorder.h"
#include "orvo/util/a_random.h"
#include "support/image_files.h"
#include "support/temp_dir.h"

namespace {

// A fixed copy of the fenced park, so the shipped levels can change under the game.
const std::string kFencedPark = std::string(KB_TEST_DATA_DIR) + "/levels/Level01.ini";

// The textures drawn, by what they show, one entry per run of draws of the same kind.
std::vector<std::string> drawSequence(const std::vector<aGpuRecord>& records,
                                      const std::map<const void*, std::string>& names)
{
    std::vector<std::string> sequence;
    for (const aGpuRecord& r : records) {
        if (r.call != aGpuCall::DrawBatch && r.call != aGpuCall::DrawPrimitive &&
            r.call != aGpuCall::DrawIndexedPrimitive)
            continue;
        const auto found = names.find(r.object);
        const std::string name = found == names.end() ? "?" : found->second;
        if (sequence.empty() || sequence.back() != name)
            sequence.push_back(name);
    }
    return sequence;
}

TEST(SceneDraw, Level01InLayerOrderWithCreaturesByDepth)
{
    kbtest::GameHarness harness(kbtest::GameHarness::Options{.recording = true});
    ASSERT_EQ(harness.start(), 0);
    ASSERT_TRUE(harness.waitForLoad());
    kbtest::loadParkKinds();
    a_srand(7);
    cLevel level(kFencedPark, true);
    ASSERT_TRUE(level.loaded);
    ASSERT_EQ(level.animals.size(), 3u); // the level's own: two warthogs and a zebra
    // Two more on one line: the one further right is drawn first.
    ASSERT_TRUE(level.spawnAnimal("zebra", aVector2(400, 450), true));
    ASSERT_TRUE(level.spawnAnimal("warthog", aVector2(520, 450), true));
    cAnimal* left = level.animals[3];
    cAnimal* right = level.animals[4];
    ASSERT_TRUE(level.placeFood(0, 1, aVector2(300, 600)));
    ASSERT_NE(cBonus::dropNear(&level, aVector2(500, 455), 10.0f, 0, 5), nullptr);
    ASSERT_EQ(level.entities.size(), 16u);
    ASSERT_FALSE(level.butterflies.empty());
    ASSERT_EQ(cClouds::layers().size(), 2u);
    for (int i = 0; i < 30; ++i)
        level.updateScenery(0.1f);
    g_drawList.assign(level.animals.begin(), level.animals.end());
    std::sort(g_drawList.begin(), g_drawList.end(), compareDepth);
    const auto at = [](cDrawElement* e) { return std::find(g_drawList.begin(), g_drawList.end(), e); };
    EXPECT_EQ(at(right) + 1, at(left));
    std::vector<std::string> creatures;
    for (cDrawElement* e : g_drawList)
        if (creatures.empty() || creatures.back() != static_cast<cAnimal*>(e)->kind->name)
            creatures.push_back(static_cast<cAnimal*>(e)->kind->name);

    std::map<const void*, std::string> names = kbtest::sceneTextures(level);
    aGraphServer* graph = harness.game().getGraphServer();
    harness.recorder()->clearRecords();
    ASSERT_TRUE(graph->beginScene());
    level.draw();
    graph->getDevice()->flushPendingBatch();
    const std::vector<aGpuRecord> records = harness.recorder()->records();
    graph->endScene();
    EXPECT_TRUE(g_drawList.empty());
    // Shadows of one kind go in one run, whatever the list order.
    size_t shadowRuns = 0;
    for (const aGpuRecord& r : records)
        shadowRuns += r.call == aGpuCall::DrawBatch && names.count(r.object) && names.at(r.object) == "shadows";
    EXPECT_EQ(shadowRuns, 2u);
    std::vector<std::string> expected = {"background", "shadows", "clouds", "foods", "entities"};
    expected.insert(expected.end(), creatures.begin(), creatures.end());
    expected.insert(expected.end(), {"coins", "butterflies"});
    EXPECT_EQ(drawSequence(records, names), expected);
    // The background is drawn unfiltered and the filter is put back.
    EXPECT_TRUE(graph->getTextureFilter());

    // Shadows: scaled to the sprite, a child's 0.8 of an adult's, turned by the heading.
    aImage& shadow = *left->kind->shadow;
    const aVector2 feet(200, 300);
    const float h = shadow.getHeight(), w = shadow.getWidth();
    const cShadowPlacement adult = shadow_place(shadow, feet, 0.5f, 120, 1.0f, 0.65f, 2, false, 255);
    const cShadowPlacement child = shadow_place(shadow, feet, 0.5f, 120, 0.8f, 0.65f, 2, true, 63);
    EXPECT_FLOAT_EQ(adult.scale, 0.5f * 120 / h);
    EXPECT_FLOAT_EQ(child.scale, adult.scale * 0.8f);
    EXPECT_FLOAT_EQ(adult.x, 200 - w * adult.scale * 0.5f);
    EXPECT_FLOAT_EQ(adult.y, 300 - h * adult.scale * 0.65f);
    EXPECT_FLOAT_EQ(adult.rotation, -90 * 0.0174532924f);
    EXPECT_FLOAT_EQ(child.rotation, -270 * 0.0174532924f); // mirrored: 8 - d
    EXPECT_EQ(adult.color, 0xFFFFFFFFu);
    EXPECT_EQ(child.color, 0x3FFFFFFFu);
    EXPECT_EQ(shadow_animalAlpha(2.0f), 255);
    EXPECT_EQ(shadow_animalAlpha(1.0f), 63);
    EXPECT_EQ(shadow_poacherAlpha(0.25f), 127);
    EXPECT_EQ(shadow_poacherAlpha(2.0f), 255);
    level.release();
    cAnimal::releaseKinds();
}

TEST(SceneDraw, CloudsAndButterfliesStayBoundedWhateverTheTime)
{
    kbtest::GameHarness harness(kbtest::GameHarness::Options{.recording = true});
    ASSERT_EQ(harness.start(), 0);
    ASSERT_TRUE(harness.waitForLoad());
    kbtest::TempDir dir{"clouds"};
    kbtest::writeFile(dir.file("Clouds.ini"),
                      "[DATA]\nWalkableMask=levels:park_open_walk.png\n[BACKGROUND]\nBackground=levels:park_open.jpg\n"
                      "CloudsImages=" +
                          dir.file("bad.png") +
                          ", sprites:Clouds/clouds_near.png, nothing.png\n"
                          "CloudsSpeeds=30, -40000, 5\n");
    kbtest::writeFile(dir.file("bad.png"), "not a picture");
    kbtest::writeFile(dir.file("NoSpeeds.ini"),
                      "[DATA]\nWalkableMask=levels:park_open_walk.png\n[BACKGROUND]\n"
                      "Background=levels:park_open.jpg\nCloudsImages=sprites:Clouds/clouds_near.png\n");
    {
        // Every full load starts the layers afresh; a missing file is skipped.
        cLevel first(kFencedPark, true);
        cLevel second(dir.file("Clouds.ini"), true);
        ASSERT_EQ(cClouds::layers().size(), 2u);
        // A reload that is not full keeps them.
        cLevel reload("levels:Level00.ini", false);
        EXPECT_EQ(cClouds::layers().size(), 2u);
    }
    aGraphServer* graph = harness.game().getGraphServer();
    ASSERT_TRUE(graph->beginScene());
    // The undecodable picture has no width to wrap by; a huge step wraps in one go.
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

    // A new butterfly waits off screen until time passes, then starts at an edge.
    cButterfly butterfly(std::make_unique<aAnim>());
    butterfly.update(0.0f);
    EXPECT_GT(butterfly.start.x, 1.0e30f);
    a_srand(3);
    for (int i = 0; i < 20000; ++i) {
        butterfly.update(i % 7 == 0 ? 0.0f : 0.05f);
        ASSERT_GE(butterfly.start.y, 0.0f);
        ASSERT_LE(butterfly.start.y, 768.0f);
        ASSERT_NEAR(butterfly.direction.length(), 1.0f, 1e-4f);
    }
}

} // namespace

namespace {

TEST(SceneEntities, SectionsCountsPerspectiveAndFading)
{
    kbtest::GameHarness harness(kbtest::GameHarness::Options{.recording = true});
    ASSERT_EQ(harness.start(), 0);
    ASSERT_TRUE(harness.waitForLoad());
    kbtest::TempDir dir{"entities"};
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
    EXPECT_LT(tree->scale, 1.0f);
    EXPECT_TRUE(tree->fades);
    EXPECT_EQ(level.walkableAt(tree->anchor.x, tree->anchor.y - 5), cLevel::NOT_WALKABLE);
    EXPECT_EQ(level.obstacles.size(), 1u);
    // Without perspective the rock keeps its size wherever it stands.
    EXPECT_EQ(rock->scale, 1.0f);
    EXPECT_TRUE(rock->mirrored);
    EXPECT_FALSE(rock->fades);
    EXPECT_NE(grass->grid, nullptr);
    EXPECT_EQ(grass->animation, nullptr);
    EXPECT_GE(grass->swaySpeed, 8.0f);
    EXPECT_LE(grass->swaySpeed, 10.0f);
    EXPECT_GE(grass->swayAngle, -10.0f);
    EXPECT_LE(grass->swayAngle, 10.0f);
    // The sway turns round at the ends of its range, and a zero step moves nothing.
    for (int i = 0; i < 600; ++i) {
        grass->update(i % 5 == 0 ? 0.0f : 0.05f);
        ASSERT_LE(grass->swayAngle, 10.0f + 10.0f * 0.05f);
        ASSERT_GE(grass->swayAngle, -10.0f - 10.0f * 0.05f);
    }

    // An animal behind the tree fades it to 0.4 in 0.3 s; it comes back once the animal has gone.
    kbtest::loadParkKinds();
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
    EXPECT_EQ(rotateVector(aVector2(1, 0), 1.5707964f).y, 1.0f);
    level.release();
    cAnimal::releaseKinds();
}

} // namespace
