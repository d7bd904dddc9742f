#include <gtest/gtest.h>

#include "game/park/level.h"
#include "orvo/platform/gpu/a_gpuimage.h"
#include "orvo/util/a_random.h"
#include "support/log_capture.h"

namespace {

constexpr uint32_t kHerb = 0xFFFFFFFF; // green channel 255
constexpr uint32_t kPred = 0xFF808080; // green channel 128
constexpr uint32_t kWall = 0xFF000000;

// 'H' all herbivore ground; 'G' green channel 255 alone; 'S' a wall over the
// top 40 rows, herbivores left, predators right; 'L' herbivore shade left,
// predator shade right.
aGpuPicture mask(uint32_t w, uint32_t h, char shape)
{
    aGpuPicture p;
    p.width = w;
    p.height = h;
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x)
            p.pixels.push_back(shape == 'G'             ? 0x0000FF00u
                               : shape == 'H'           ? kHerb
                               : shape == 'S' && y < 40 ? kWall
                               : x < w / 2              ? kHerb
                                                        : kPred);
    return p;
}

// A level without a file: only its ground.
struct Ground : cLevel {
    Ground() : cLevel("", true) {}
};

struct Probe {
    int32_t x, y, value;
};

struct GroundCase {
    const char* name;
    uint32_t w, h;
    char shape;
    aRect herbivoresRect, herbivores, predators;
    std::vector<Probe> probes;
};

TEST(LevelGround, GridAndAreasFromTheMask)
{
    kbtest::LogCapture log;
    const aRect none(32767, 32767, 0, 0), whole;
    const GroundCase cases[] = {
        GroundCase("all herbivore, 256 x 192", 256, 192, 'H', whole, {0, 0, 1020, 764}, none,
                   {{0, 0, 0}, {1021, 765, 0}, {1023, 767, 2}, {-3, 0, 2}, {2000, 10, 2}}),
        GroundCase("only the green channel counts", 256, 192, 'G', whole, {0, 0, 1020, 764}, none, {{500, 500, 0}}),
        GroundCase("1024 x 768: cells of one pixel", 1024, 768, 'H', whole, {0, 0, 1023, 767}, none, {{1023, 767, 0}}),
        GroundCase("512 x 384: the last pixel rounds past the grid", 512, 384, 'H', whole, {0, 0, 1022, 766}, none,
                   {{1022, 766, 0}, {1023, 767, 2}}),
        GroundCase("shades split the ground", 256, 192, 'S', whole, {0, 160, 508, 604}, {512, 160, 508, 604},
                   {{100, 100, 2}, {100, 400, 0}, {800, 400, 1}}),
        GroundCase("a herbivore rectangle alone: walkable ground outside it is not", 256, 192, 'L', {0, 0, 256, 768},
                   {0, 0, 252, 764}, none, {{100, 100, 0}, {600, 100, 2}, {900, 100, 2}}),
        GroundCase("an empty mask is refused", 0, 0, 'H', whole, whole, whole, {{0, 0, 2}, {500, 500, 2}}),
    };
    for (const auto& c : cases) {
        Ground level;
        level.buildWalkableGrid(mask(c.w, c.h, c.shape), c.herbivoresRect, {});
        EXPECT_EQ(level.cellWidth, c.w ? 1024.0f / c.w : 1.0f) << c.name;
        EXPECT_EQ(level.cellHeight, c.h ? 768.0f / c.h : 1.0f) << c.name;
        EXPECT_EQ(level.herbivoresArea, c.herbivores) << c.name;
        EXPECT_EQ(level.predatorsArea, c.predators) << c.name;
        for (const Probe& p : c.probes)
            EXPECT_EQ(level.walkableAt(p.x, p.y), p.value) << c.name << " at " << p.x << "," << p.y;
    }
    EXPECT_TRUE(log.contains("cLevel. Walkable mask of 0x0 pixels refused"));
}

TEST(LevelGround, BlockingStaysInsideTheGrid)
{
    Ground level;
    level.buildWalkableGrid(mask(256, 192, 'H'), {}, {});
    // Right and bottom edges: the last screen pixels round to one cell past the grid.
    level.blockEntityArea(1000, 100, 40, 20);
    level.blockEntityArea(-20, 750, 40, 40);
    EXPECT_EQ(level.walkableAt(1010, 110), 2);
    EXPECT_EQ(level.walkableAt(996, 110), 0);
    EXPECT_EQ(level.walkableAt(4, 760), 2);
    for (int32_t y = 96; y <= 128; y += 4)
        EXPECT_EQ(level.walkableAt(0, y), 0) << "the next row's first cell at y " << y;
    ASSERT_EQ(level.obstacles.size(), 2u);
    const cObstacle& o = level.obstacles.front();
    EXPECT_EQ(o.cornerCount, 4);
    EXPECT_EQ(o.corners[0], aVector2(999, 99));
    EXPECT_EQ(o.corners[2], aVector2(1041, 121));
    EXPECT_EQ(o.rect, aRect(1000, 100, 40, 20));
}

TEST(LevelGround, RandomPlacement)
{
    kbtest::LogCapture log;
    a_srand(7);
    Ground level;
    level.buildWalkableGrid(mask(256, 192, 'S'), {}, {});
    for (int32_t area : {0, 1}) {
        int32_t x = -1, y = -1;
        level.randomPointInArea(area, x, y, 30, cLevel::DRY);
        EXPECT_TRUE(level.canStandAt(area, 30, x, y, cLevel::DRY)) << x << "," << y;
    }

    // Decorations alternate between the two grounds.
    std::vector<int32_t> grounds;
    for (int i = 0; i < 4; ++i) {
        auto* e = new cDrawElement;
        level.placeEntityRandomly(e, nullptr, false);
        grounds.push_back(level.walkableAt(static_cast<int32_t>(e->anchor.x), static_cast<int32_t>(e->anchor.y)));
        level.entities.push_back(e);
    }
    const int32_t first = grounds[0];
    ASSERT_TRUE(first == 0 || first == 1);
    EXPECT_EQ(grounds, (std::vector<int32_t>{first, 1 - first, first, 1 - first}));

    // Empty areas and rectangles draw nothing.
    Ground bare;
    int32_t x = 5, y = 6;
    bare.randomPointInArea(0, x, y, 0, cLevel::DRY);
    EXPECT_EQ(x, 5);
    EXPECT_EQ(y, 6);
    cDrawElement e;
    bare.placeEntityRandomly(&e, nullptr, false);
    bare.scatterEntities({&e});
    EXPECT_EQ(e.anchor, aVector2());
    EXPECT_TRUE(log.contains("cLevel::randomPointInArea - area 0 is empty"));
    EXPECT_TRUE(log.contains("cLevel::placeEntityRandomly - empty rectangle"));
    EXPECT_TRUE(log.contains("cLevel::scatterEntities - no background rectangles for 1 decorations"));
}

} // namespace
