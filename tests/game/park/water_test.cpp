#include <gtest/gtest.h>

#include "game/park/water.h"
#include "support/image_files.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

namespace {

// A water mask of 6 x 3 pixels: one pixel a node over a 100 x 40 area.
class WaterGrid : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::vector<uint32_t> pixels(18, 0x00000000);
        pixels[1] = 200u << 24; // the boundary: not water
        pixels[2] = 201u << 24; // just over it
        pixels[3] = 0xFF000000;
        kbtest::writeFile(dir.file("mask.png"), kbtest::encodePng(pixels, 6, 3));
    }
    void TearDown() override { cWater::destroy(); }

    cWater* make(const aRect& area, const std::string& mask = "")
    {
        return cWater::create(area, mask.empty() ? dir.file("mask.png") : mask, dir.file("Foam.png"),
                              dir.path() + "/frames/");
    }

    kbtest::TempDir dir{"water"};
};

TEST_F(WaterGrid, NodesEveryTwentyPixelsStretchTheMask)
{
    struct Case {
        uint16_t w, h;
        uint32_t columns, rows;
        int32_t columnStep, rowStep;
    };
    // Integer steps; an area under 20 pixels has one node spanning it.
    for (const Case& c : {Case{100, 40, 6, 3, 20, 20}, Case{110, 40, 6, 3, 22, 20}, Case{119, 59, 6, 3, 23, 29},
                          Case{10, 5, 1, 1, 10, 5}, Case{0, 0, 1, 1, 1, 1}}) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
        const cWater* water = make(aRect(30, 50, c.w, c.h));
        EXPECT_EQ(water->getColumns(), c.columns);
        EXPECT_EQ(water->getRows(), c.rows);
        EXPECT_EQ(water->columnStep(), c.columnStep);
        EXPECT_EQ(water->rowStep(), c.rowStep);
        const cWater::Cell& last = water->cell(c.columns - 1, c.rows - 1);
        EXPECT_EQ(last.x, 30.0f + (c.columns - 1) * c.columnStep);
        EXPECT_EQ(last.y, 50.0f + (c.rows - 1) * c.rowStep);
        // Every point of the area finds a node (no division by a zero step, no index past the grid).
        for (int32_t y = 50; y < 50 + c.h; ++y)
            for (int32_t x = 30; x < 30 + c.w; ++x)
                (void)cWater::waterAt(x, y);
    }
}

TEST_F(WaterGrid, DepthAboveTwoHundredIsWater)
{
    cWater* water = make(aRect(0, 0, 100, 40));
    EXPECT_EQ(water->depthAt(0, 0), 0);
    EXPECT_EQ(water->depthAt(1, 0), 200);
    EXPECT_EQ(water->depthAt(2, 0), 201);
    EXPECT_EQ(water->depthAt(3, 0), 255);
    EXPECT_EQ(water->depthAt(6, 0), 0); // outside the grid
    EXPECT_FALSE(cWater::waterAt(20, 0));
    EXPECT_FALSE(cWater::waterAt(39, 19));
    EXPECT_TRUE(cWater::waterAt(40, 0));
    EXPECT_TRUE(cWater::waterAt(59, 19)); // between nodes: the node to the upper left
    EXPECT_TRUE(cWater::waterAt(60, 0));
    EXPECT_FALSE(cWater::waterAt(100, 0)); // outside the area
    EXPECT_FALSE(cWater::waterAt(-1, 0));
    cWater::destroy();
    EXPECT_EQ(cWater::getSingletonPtr(), nullptr);
    EXPECT_FALSE(cWater::waterAt(60, 0));
}

TEST_F(WaterGrid, UnreadableMaskIsDeepEverywhereAndMissingPartsAreLeftOut)
{
    kbtest::writeFile(dir.file("bad.png"), "not a picture");
    kbtest::LogCapture log;
    cWater* water = make(aRect(0, 0, 40, 40), dir.file("bad.png"));
    EXPECT_EQ(water->depthAt(1, 1), 255);
    EXPECT_TRUE(cWater::waterAt(10, 10));
    // No foam file: no band, its timer never runs; no frames list: no surface.
    EXPECT_FALSE(water->hasFoam());
    EXPECT_EQ(water->getFrameCount(), 0u);
    water->advance(1.0f);
    water->advance(0.0f);
    EXPECT_EQ(water->foamTimer, 0.0f);
    EXPECT_EQ(water->time, 1.0f);
    // A second water replaces the first.
    cWater* next = make(aRect(0, 0, 20, 20));
    EXPECT_EQ(cWater::getSingletonPtr(), next);
}

} // namespace
