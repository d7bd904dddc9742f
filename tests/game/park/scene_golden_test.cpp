// The park's scene on the offscreen renderer: golden pictures of each drawing
// path (the river's foam drawn again after a lost device), and the scenery.
// Random decorations alternate grounds across the whole program, so each
// picture holds for a fresh process (as CTest runs them).
#include <gtest/gtest.h>

#include <tuple>

#include "game/park/clouds.h"
#include "game/park/entity.h"
#include "game/park/level.h"
#include "game/park/water.h"
#include "game/support/harness.h"
#include "game/support/scene_elements.h"
#include "orvo/gfx/a_gdi.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/util/a_random.h"
#include "support/golden.h"
#include "support/temp_dir.h"

namespace {

class SceneGolden : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(harness.start(), 0);
        ASSERT_TRUE(harness.waitForLoad());
        kbtest::loadParkKinds();
    }
    void TearDown() override { cAnimal::releaseKinds(); }
    void drawLevel(cLevel& level)
    {
        g_drawList.assign(level.animals.begin(), level.animals.end());
        std::sort(g_drawList.begin(), g_drawList.end(), compareDepth);
        ASSERT_TRUE(harness.game().getGraphServer()->beginScene());
        level.draw();
        harness.game().getGraphServer()->endScene();
    }
    // Animals added, the scenery stepped two seconds, one frame drawn.
    void drawPark(cLevel& level, std::initializer_list<std::tuple<const char*, float, float, bool>> animals)
    {
        ASSERT_TRUE(level.loaded);
        for (const auto& [kind, x, y, adult] : animals) {
            ASSERT_TRUE(level.spawnAnimal(kind, aVector2(x, y), true)) << kind;
            if (adult)
                level.animals.back()->makeGrown(false);
        }
        for (int i = 0; i < 120; ++i)
            level.updateScenery(1.0f / 60.0f);
        drawLevel(level);
    }
    kbtest::GameHarness harness;
    kbtest::TempDir dir{"scene"};
};

TEST_F(SceneGolden, Level01)
{
    a_srand(11);
    cLevel level(std::string(KB_TEST_DATA_DIR) + "/levels/Level01.ini", true);
    drawPark(level, {{"zebra", 300, 420, true}, {"zebra", 360, 430, false}, {"warthog", 520, 560, true}});
    harness.expectScreen("park_level01");
    level.release();
}

TEST_F(SceneGolden, RiverWithHipposAndFoam)
{
    cAnimal::findKindByName("hippo")->liveInWater = 1; // drawn through the water
    a_srand(5);
    cLevel level("levels:River.ini", true);
    ASSERT_NE(level.water, nullptr);
    drawPark(level, {{"hippo", 95, 372, true}, {"hippo", 205, 525, true}, {"zebra", 420, 470, true}});
    harness.expectScreen("park_river");
    // A lost device takes the water's buffers; the same frame is drawn after it, foam and all.
    level.water->step();
    drawLevel(level);
    const std::vector<uint32_t> before = harness.screenshot();
    harness.game().getGraphServer()->resetDevice();
    drawLevel(level);
    const std::vector<uint32_t> after = harness.screenshot();
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(kbtest::pixelsOff(after, before.data()), 0u);
    level.release();
    EXPECT_EQ(cWater::getSingletonPtr(), nullptr);
}

// Hungry children above, sick adults below, one pair under the pointer, the
// adult warthog producing.
TEST_F(SceneGolden, SixKindsChildAndAdultWithIndicators)
{
    a_srand(7);
    std::vector<cAnimal*> animals;
    const char* kinds[] = {"warthog", "zebra", "rhino", "hippo", "cheetah", "lion"};
    for (int i = 0; i < 6; ++i)
        for (bool adult : {false, true}) {
            cAnimal* animal = cAnimal::create(adult, cAnimal::findKindByName(kinds[i]));
            ASSERT_NE(animal, nullptr) << kinds[i];
            animal->setPosition(aVector2(95.0f + 166.0f * i, adult ? 640.0f : 360.0f));
            animal->setState(adult && i == 0 ? cAnimalKind::PRODUCE : cAnimalKind::WALK);
            animal->setDirection(aVector2(i % 2 ? -1.0f : 1.0f, 0.0f));
            if (adult)
                animal->sick = animal->held = true, animal->freeRunning = false;
            else
                animal->hunger = 90.0f;
            animal->hovered = i == 1;
            animal->highlight = 0xFF00FF00;
            animals.push_back(animal);
        }
    for (int frame = 0; frame < 30; ++frame)
        for (cAnimal* animal : animals)
            animal->update(1.0f / 30.0f);
    ASSERT_TRUE(harness.game().getGraphServer()->beginScene());
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
    harness.game().getGraphServer()->endScene();
    harness.expectScreen("animals_row");
    for (cAnimal* animal : animals)
        animal->release();
}

// Decorations; cloud layers and butterflies bounded whatever the time step.
TEST_F(SceneGolden, DecorationsCloudsAndButterflies)
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
    ASSERT_EQ(level.entities.size(), 4u);
    EXPECT_TRUE(harness.logged("cLevel. ENTITY sprite \"no_such_sprite\" is not registered"));
    const cDrawElement* tree = level.entities[0];
    EXPECT_EQ(level.walkableAt(tree->anchor.x, tree->anchor.y - 5), cLevel::NOT_WALKABLE);
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
    // A butterfly keeps to the screen's height.
    cButterfly butterfly(std::make_unique<aAnim>());
    a_srand(3);
    for (int i = 0; i < 20000; ++i) {
        butterfly.update(i % 7 == 0 ? 0.0f : 0.05f);
        ASSERT_TRUE(butterfly.start.y >= 0.0f && butterfly.start.y <= 768.0f) << i;
        ASSERT_NEAR(butterfly.direction.length(), 1.0f, 1e-4f);
    }
}

} // namespace
