// The walkable grid and its two areas from the mask, blocking and random
// placement at the edges, and the water's depth grid.
#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "game/park/level.h"
#include "game/park/water.h"
#include "orvo/platform/gpu/a_gpuimage.h"
#include "support/image_files.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

namespace {

// 'H' all herbivore ground; 'S' a wall over the top 40 rows, herbivores left,
// predators right; 'L' herbivores left, predators right.
aGpuPicture mask(uint32_t w, uint32_t h, char shape)
{
    aGpuPicture p{};
    p.width = w;
    p.height = h;
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x)
            p.pixels.push_back(shape == 'H'             ? 0xFFFFFFFFu
                               : shape == 'S' && y < 40 ? 0xFF000000u
                               : x < w / 2              ? 0xFFFFFFFFu
                                                        : 0xFF808080u);
    return p;
}

struct GroundCase {
    const char* name;
    uint32_t w, h;
    char shape;
    aRect herbivoresRect, herbivores, predators;
    std::vector<std::array<int32_t, 3>> probes; // x, y, ground
};

TEST(LevelGround, GridAndAreasFromTheMask)
{
    kbtest::LogCapture log;
    const aRect none(32767, 32767, 0, 0), whole;
    const GroundCase cases[] = {
        GroundCase("all herbivore, 256 x 192", 256, 192, 'H', whole, {0, 0, 1020, 764}, none,
                   {{0, 0, 0}, {1021, 765, 0}, {1023, 767, 2}, {-3, 0, 2}, {2000, 10, 2}}),
        GroundCase("512 x 384: the last pixel rounds past the grid", 512, 384, 'H', whole, {0, 0, 1022, 766}, none,
                   {{1022, 766, 0}, {1023, 767, 2}}),
        GroundCase("shades split the ground", 256, 192, 'S', whole, {0, 160, 508, 604}, {512, 160, 508, 604},
                   {{100, 100, 2}, {100, 400, 0}, {800, 400, 1}}),
        GroundCase("a herbivore rectangle alone: walkable ground outside it is not", 256, 192, 'L', {0, 0, 256, 768},
                   {0, 0, 252, 764}, none, {{100, 100, 0}, {600, 100, 2}, {900, 100, 2}}),
        GroundCase("an empty mask is refused", 0, 0, 'H', whole, whole, whole, {{0, 0, 2}, {500, 500, 2}}),
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        cLevel level("", true);
        level.buildWalkableGrid(mask(c.w, c.h, c.shape), c.herbivoresRect, {});
        EXPECT_EQ(level.herbivoresArea, c.herbivores);
        EXPECT_EQ(level.predatorsArea, c.predators);
        for (const auto& [x, y, ground] : c.probes)
            EXPECT_EQ(level.walkableAt(x, y), ground) << "at " << x << "," << y;
    }
    EXPECT_TRUE(log.contains("cLevel. Walkable mask of 0x0 pixels refused"));
}

TEST(LevelGround, BlockingAndPlacementStayInsideTheGrid)
{
    kbtest::LogCapture log;
    cLevel open("", true);
    open.buildWalkableGrid(mask(256, 192, 'H'), {}, {});
    // Right and bottom edges: the last screen pixels round to one cell past the grid.
    open.blockEntityArea(1000, 100, 40, 20);
    open.blockEntityArea(-20, 750, 40, 40);
    EXPECT_EQ(open.walkableAt(1010, 110), 2);
    EXPECT_EQ(open.walkableAt(996, 110), 0);
    EXPECT_EQ(open.walkableAt(4, 760), 2);
    EXPECT_EQ(open.walkableAt(0, 120), 0) << "the next row's first cell";
    // Empty areas and rectangles draw nothing, with a word in the log.
    cLevel bare("", true);
    int32_t x = 5, y = 6;
    bare.randomPointInArea(0, x, y, 0, cLevel::DRY);
    EXPECT_EQ(aVector2(x, y), aVector2(5, 6));
    cDrawElement e;
    bare.placeEntityRandomly(&e, nullptr, false);
    bare.scatterEntities({&e});
    EXPECT_EQ(e.anchor, aVector2());
    EXPECT_TRUE(log.contains("cLevel::randomPointInArea - area 0 is empty"));
    EXPECT_TRUE(log.contains("cLevel::placeEntityRandomly - empty rectangle"));
    EXPECT_TRUE(log.contains("cLevel::scatterEntities - no background rectangles for 1 decorations"));
}

// A water mask of 6 x 3 pixels, one pixel a node: depth above 200 is water.
TEST(WaterGrid, NodesDepthAndADamagedMask)
{
    kbtest::TempDir dir{"water"};
    std::vector<uint32_t> pixels(18, 0x00000000);
    pixels[1] = 200u << 24;
    pixels[2] = 201u << 24;
    pixels[3] = 0xFF000000;
    kbtest::writeFile(dir.file("mask.png"), kbtest::encodePng(pixels, 6, 3));
    kbtest::writeFile(dir.file("bad.png"), "not a picture");
    const auto make = [&](const aRect& area, const char* mask = "mask.png") {
        return cWater::create(area, dir.file(mask), dir.file("Foam.png"), dir.path() + "/frames/");
    };
    // Nodes every twenty pixels or so; an area under 20 pixels has one node
    // spanning it. Every point of the area finds a node (no division by a zero
    // step, no index past the grid).
    for (const auto& [w, h, columns, rows] : {std::tuple{119, 59, 6u, 3u}, {10, 5, 1u, 1u}, {0, 0, 1u, 1u}}) {
        const cWater* water = make(aRect(30, 50, w, h));
        EXPECT_EQ(std::pair(water->getColumns(), water->getRows()), std::pair(columns, rows)) << w << "x" << h;
        for (int32_t y = 50; y < 50 + h; ++y)
            for (int32_t x = 30; x < 30 + w; ++x)
                (void)cWater::waterAt(x, y);
    }
    cWater* water = make(aRect(0, 0, 100, 40));
    // Between nodes the node to the upper left counts; outside the area is dry.
    for (const auto& [x, y, wet] : {std::tuple{59, 19, true}, {39, 19, false}, {100, 0, false}, {-1, 0, false}})
        EXPECT_EQ(cWater::waterAt(x, y), wet) << x << "," << y;
    cWater::destroy();
    EXPECT_FALSE(cWater::waterAt(60, 0));
    // An unreadable mask is deep everywhere; no foam file: no band, its timer
    // never runs; no frames list: no surface.
    kbtest::LogCapture log;
    water = make(aRect(0, 0, 40, 40), "bad.png");
    EXPECT_EQ(water->depthAt(1, 1), 255);
    EXPECT_TRUE(cWater::waterAt(10, 10));
    EXPECT_FALSE(water->hasFoam());
    EXPECT_EQ(water->getFrameCount(), 0u);
    water->advance(1.0f);
    EXPECT_EQ(water->foamTimer, 0.0f);
    water = make(aRect(0, 0, 20, 20)); // made before the slot is read: argument order is unspecified
    EXPECT_EQ(water, cWater::getSingletonPtr()) << "a second water replaces the first";
    cWater::destroy();
}

} // namespace
