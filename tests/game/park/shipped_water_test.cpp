// The water of the shipped levels: what a background paints as water, the
// level's water (its area, its depth grid and the deep-water mask) and the
// walkable ground agree, so that no land animal stands, walks or is set down
// on the water, casts its shadow there or drops a coin into it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "game/park/level.h"
#include "game/park/water.h"
#include "game/support/painted_water.h"
#include "game/support/shipped_data.h"
#include "orvo/gfx/a_image.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

namespace kbtest {
namespace {

// How many points broke a rule, and the first of them.
struct Misses {
    int64_t count = 0;
    int32_t x = 0, y = 0;
    void add(int32_t px, int32_t py)
    {
        if (!count++)
            x = px, y = py;
    }
};

std::ostream& operator<<(std::ostream& out, const Misses& m)
{
    return m.count ? out << m.count << ", the first at " << m.x << "," << m.y : out << 0;
}

constexpr int32_t kW = static_cast<int32_t>(cLevel::kScreenWidth), kH = static_cast<int32_t>(cLevel::kScreenHeight);

struct Point {
    int64_t x, y;
    bool operator<(const Point& o) const { return x != o.x ? x < o.x : y < o.y; }
};

int64_t cross(const Point& o, const Point& a, const Point& b)
{
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// The convex hull, counter-clockwise on the screen's axes (monotone chain).
std::vector<Point> convexHull(std::vector<Point> points)
{
    std::sort(points.begin(), points.end());
    points.erase(std::unique(points.begin(), points.end(),
                             [](const Point& a, const Point& b) { return a.x == b.x && a.y == b.y; }),
                 points.end());
    if (points.size() < 3)
        return points;
    std::vector<Point> hull(2 * points.size());
    size_t k = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        while (k >= 2 && cross(hull[k - 2], hull[k - 1], points[i]) <= 0)
            --k;
        hull[k++] = points[i];
    }
    for (size_t i = points.size() - 1, low = k + 1; i-- > 0;) {
        while (k >= low && cross(hull[k - 2], hull[k - 1], points[i]) <= 0)
            --k;
        hull[k++] = points[i];
    }
    hull.resize(k - 1);
    return hull;
}

// Where row y crosses a convex polygon, as whole pixels x0 <= x < x1 (empty
// when it misses).
void rowSpan(const std::vector<Point>& hull, int64_t y, int32_t& x0, int32_t& x1)
{
    double low = std::numeric_limits<double>::max(), high = std::numeric_limits<double>::lowest();
    for (size_t i = 0; i < hull.size(); ++i) {
        const Point& a = hull[i];
        const Point& b = hull[(i + 1) % hull.size()];
        if (y < std::min(a.y, b.y) || y > std::max(a.y, b.y))
            continue;
        if (a.y == b.y) {
            low = std::min({low, double(a.x), double(b.x)});
            high = std::max({high, double(a.x), double(b.x)});
        } else {
            const double x = a.x + double(y - a.y) * double(b.x - a.x) / double(b.y - a.y);
            low = std::min(low, x);
            high = std::max(high, x);
        }
    }
    x0 = low <= high ? static_cast<int32_t>(std::ceil(low)) : 0;
    x1 = low <= high ? static_cast<int32_t>(std::floor(high)) + 1 : 0;
}

// The water a background paints lies inside its level's water area, and a
// level without water paints none. The water's depth grid calls no dry pixel
// water and leaves no open water dry that is two nodes or more from any shore;
// the deep-water mask hides legs over painted water only.
TEST(ShippedWater, TheLevelsWaterHoldsThePaintedWaterAndOnlyThat)
{
    LogCapture log;
    TempDir noFrames{"water"};
    aGpuPicture deep;
    ASSERT_TRUE(aImage::decodeFile(shippedFile(cWater::kDeepMaskPath), deep));
    ASSERT_EQ(deep.pixels.size(), size_t(kW) * kH);
    constexpr int32_t kShore = 2 * cWater::kNodeSpacing;
    int32_t levelsWithWater = 0;
    for (const ShippedLevel& level : shippedLevels()) {
        SCOPED_TRACE(level.path);
        const PaintedWater painted(decodePicture(level.background));
        const aOptionsFile section = iniSection(level.path, "WATER");
        aRect area;
        cLevel::readRect(section, "AreaRect", area);
        Misses outside;
        for (int32_t y = 0; y < kH; ++y)
            for (int32_t x = 0; x < kW; ++x)
                if (!area.contains(x, y) && painted.at(x, y))
                    outside.add(x, y);
        EXPECT_EQ(outside.count, 0) << "painted water outside the level's water: " << outside;
        const std::string mask = section.getString("Mask");
        if (mask.empty())
            continue;
        ++levelsWithWater;
        cWater::create(area, shippedFile(mask), "", noFrames.path() + "/");
        Misses dryCalledWater, openWaterCalledDry, deepOverLand;
        for (int32_t y = std::max<int32_t>(area.y, 0); y < std::min(area.y + area.height, kH); ++y)
            for (int32_t x = std::max<int32_t>(area.x, 0); x < std::min(area.x + area.width, kW); ++x) {
                const bool water = cWater::waterAt(x, y), paint = painted.at(x, y);
                if (water && !paint)
                    dryCalledWater.add(x, y);
                // The river runs on past the picture's edges.
                const int32_t x0 = std::max(x - kShore, 0), x1 = std::min(x + kShore + 1, kW);
                const int32_t y0 = std::max(y - kShore, 0), y1 = std::min(y + kShore + 1, kH);
                if (!water && painted.count(x0, y0, x1, y1) == int64_t(x1 - x0) * (y1 - y0))
                    openWaterCalledDry.add(x, y);
            }
        for (int32_t y = 0; y < kH; ++y)
            for (int32_t x = 0; x < kW; ++x)
                if ((deep.pixels[size_t(y) * kW + x] >> 24) >= 128 && !painted.at(x, y))
                    deepOverLand.add(x, y);
        cWater::destroy();
        EXPECT_EQ(dryCalledWater.count, 0) << "dry ground that the water's depth grid calls water: " << dryCalledWater;
        EXPECT_EQ(openWaterCalledDry.count, 0) << "open water that the depth grid leaves dry: " << openWaterCalledDry;
        EXPECT_EQ(deepOverLand.count, 0) << "dry ground under the deep-water mask: " << deepOverLand;
    }
    EXPECT_GE(levelsWithWater, 5) << "the river levels";
}

// Wherever on its ground a grown animal of a level's kinds (or a poacher)
// stands, neither its feet, nor its shadow (as long as its frame is wide,
// centred 0.15 of that above the feet, turned any way), nor any coin it drops
// (up to half its frame width away) is on painted water. Nor is any point of
// a straight walk between two points of one ground: the convex hull of the
// ground's footprints holds no painted water.
TEST(ShippedWater, LandAnimalsStandWalkAndDropCoinsClearOfThePaintedWater)
{
    int32_t levelsWithWater = 0;
    for (const ShippedLevel& level : shippedLevels()) {
        SCOPED_TRACE(level.path);
        const PaintedWater painted(decodePicture(level.background));
        if (painted.total() == 0)
            continue; // nothing to keep off
        ++levelsWithWater;
        float reach = 0.0f;
        for (const std::string& name : level.walkers)
            reach = std::max(reach, creatureReach(name));
        const int32_t side = static_cast<int32_t>(std::ceil(reach)), up = static_cast<int32_t>(std::ceil(reach * 1.3f));
        const cLevel& grid = *level.grid;
        ASSERT_FALSE(grid.grid.empty());
        for (int32_t ground : {cLevel::HERBIVORE, cLevel::PREDATOR}) {
            Misses feet, footprints, walks;
            std::vector<Point> corners;
            for (int32_t row = 0; row < grid.gridHeight; ++row) {
                int32_t left = kW, right = -1, top = 0, bottom = 0;
                for (int32_t column = 0; column < grid.gridWidth; ++column) {
                    if (grid.grid[size_t(row) * grid.gridWidth + column] != ground)
                        continue;
                    // The screen pixels whose feet stand on this cell.
                    const int32_t x0 = static_cast<int32_t>(std::lround((column - 0.5f) * grid.cellWidth));
                    const int32_t x1 = static_cast<int32_t>(std::lround((column + 0.5f) * grid.cellWidth));
                    const int32_t y0 = static_cast<int32_t>(std::lround((row - 0.5f) * grid.cellHeight));
                    const int32_t y1 = static_cast<int32_t>(std::lround((row + 0.5f) * grid.cellHeight));
                    const int32_t cx = static_cast<int32_t>(std::lround(column * grid.cellWidth));
                    const int32_t cy = static_cast<int32_t>(std::lround(row * grid.cellHeight));
                    if (painted.count(x0, y0, x1, y1))
                        feet.add(cx, cy);
                    if (painted.count(x0 - side, y0 - up, x1 + side, y1 + side))
                        footprints.add(cx, cy);
                    left = std::min(left, x0), right = std::max(right, x1), top = y0, bottom = y1;
                }
                if (right < 0)
                    continue;
                for (int64_t x : {left - side, right + side})
                    for (int64_t y : {top - up, bottom + side})
                        corners.push_back({x, y});
            }
            const std::vector<Point> hull = convexHull(corners);
            for (int32_t y = 0; hull.size() >= 3 && y < kH; ++y) {
                int32_t x0 = 0, x1 = 0;
                rowSpan(hull, y, x0, x1);
                if (painted.count(x0, y, x1, y + 1)) {
                    int32_t x = std::max(x0, 0);
                    while (!painted.at(x, y))
                        ++x;
                    walks.add(x, y);
                }
            }
            EXPECT_EQ(feet.count, 0) << "ground " << ground << ": cells on painted water: " << feet;
            EXPECT_EQ(footprints.count, 0) << "ground " << ground << ": cells from which a shadow or a coin reaches "
                                           << "the water (" << side << " pixels sideways): " << footprints;
            EXPECT_EQ(walks.count, 0) << "ground " << ground << ": rows where a straight walk between two of its "
                                      << "points crosses the water: " << walks;
        }
    }
    EXPECT_GE(levelsWithWater, 5) << "the river levels";
}

} // namespace
} // namespace kbtest
