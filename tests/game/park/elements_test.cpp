// Draw elements (placement by the feet, the depth order and a depth scale
// whose start and end lines meet) and walkers (the corner path search,
// staircase steps and the search budget).
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "game/app/game.h"
#include "game/park/movableelement.h"
#include "support/temp_dir.h"

namespace {

TEST(DrawElement, PlacementDepthOrderAndScale)
{
    // Without perspective only the element's own scale counts; the offset
    // moves the feet by the scale in force before the call.
    cDrawElement e;
    e.perspective = false;
    e.baseScale = 2.0f;
    e.offset = aVector2(0.0f, 5.0f);
    e.setPosition(aVector2(10.0f, 100.0f));
    EXPECT_EQ(e.scale, 2.0f);
    e.setPosition(aVector2(10.0f, 100.0f));
    EXPECT_EQ(e.position, aVector2(10.0f, 110.0f));
    EXPECT_EQ(e.anchor, aVector2(10.0f, 100.0f));
    // setRect puts the feet under the middle of the rectangle.
    cDrawElement narrow;
    narrow.perspective = false;
    narrow.setRect(10, 20, 30, 40);
    EXPECT_EQ(narrow.anchor, aVector2(25.0f, 60.0f));
    EXPECT_EQ(narrow.getScreenRect(), aRect(10, 20, 30, 40));

    // By the feet's height, then the one further right first.
    cDrawElement a, b, c, d;
    a.anchor = aVector2(10.0f, 300.0f);
    b.anchor = aVector2(50.0f, 200.0f);
    c.anchor = aVector2(90.0f, 300.0f);
    d.anchor = aVector2(0.0f, 100.0f);
    std::vector<cDrawElement*> list = {&a, &b, &c, &d};
    std::sort(list.begin(), list.end(), compareDepth);
    EXPECT_EQ(list, (std::vector<cDrawElement*>{&d, &b, &c, &a}));

    // Equal start and end lines: no division by zero on the line itself.
    cGame game;
    kbtest::TempDir dir("render");
    kbtest::writeFile(dir.file("game.ini"), "[RENDER]\nPerspectiveCorrectionStartDist=300\n"
                                            "PerspectiveCorrectionStartScale=0.5\nPerspectiveCorrectionEndDist=300\n");
    game.loadGameConfig(dir.file("game.ini"));
    EXPECT_EQ(cDrawElement::depthScale(299.0f), 0.5f);
    EXPECT_EQ(cDrawElement::depthScale(300.0f), 1.0f);
    game.loadGameConfig(std::string(KB_TEST_DATA_DIR) + "/../../data/game.ini");
}

class Walker : public cMovableElement {
public:
    void setDirection(const aVector2& dir) override { directions.push_back(dir); }
    std::vector<aVector2> directions;
};

std::string text(const std::vector<aVector2>& points)
{
    std::ostringstream out;
    for (const aVector2& p : points)
        out << "(" << p.x << "," << p.y << ")";
    return out.str();
}

cObstacle box(int16_t x, int16_t y, uint16_t w, uint16_t h)
{
    cObstacle o;
    o.cornerCount = 4;
    const float x2 = x + w, y2 = y + h;
    o.corners[0] = aVector2(x - 1.0f, y - 1.0f);
    o.corners[1] = aVector2(x2 + 1.0f, y - 1.0f);
    o.corners[2] = aVector2(x2 + 1.0f, y2 + 1.0f);
    o.corners[3] = aVector2(x - 1.0f, y2 + 1.0f);
    o.rect = aRect(x, y, w, h);
    return o;
}

TEST(MovableElement, PlannedPathsAndSteps)
{
    const struct {
        const char* name;
        aVector2 from, to;
        bool refine;
        std::vector<cObstacle> obstacles;
        const char* path;
    } cases[] = {
        {"staircase", {0, 0}, {300, 100}, true, {}, "(25,25)(75,25)(125,25)(175,75)(225,75)(275,75)(300,100)"},
        {"unrefined", {0, 0}, {300, 100}, false, {}, "(300,100)"},
        {"round a box, nearest corner first",
         {0, 100},
         {300, 100},
         false,
         {box(100, 50, 100, 100)},
         "(99,49)(201,49)(300,100)"},
        {"to where it stands", {5, 5}, {5, 5}, true, {}, ""},
    };
    for (const auto& c : cases) {
        Walker w;
        cObstacleList list(c.obstacles.begin(), c.obstacles.end());
        if (!c.obstacles.empty())
            w.obstacles = &list;
        w.refinePath = c.refine;
        w.setPosition(c.from);
        w.moveTo(c.to);
        EXPECT_EQ(text(w.path), c.path) << c.name;
        EXPECT_FALSE(w.blocked) << c.name;
        EXPECT_EQ(w.directions.size(), w.path.empty() ? 0u : 1u) << c.name;
    }
    // Steps stop exactly on the waypoint: a longer one ends on the target with no path left.
    Walker w;
    w.refinePath = false;
    w.setPosition(aVector2(0.0f, 0.0f));
    w.moveTo(aVector2(100.0f, 0.0f));
    EXPECT_TRUE(w.step(60.0f));
    EXPECT_EQ(w.anchor, aVector2(60.0f, 0.0f));
    EXPECT_FALSE(w.step(60.0f));
    EXPECT_EQ(w.anchor, aVector2(100.0f, 0.0f));
    EXPECT_FALSE(w.step(10.0f));
}

TEST(MovableElement, FailedSearchWalksStraightAndSearchesOnceMore)
{
    // A target inside a box, which no corner sees; then thirty boxes across
    // the line and the target walled in: without the budget the depth-first
    // search would try every order of their corners.
    cObstacleList inBox = {box(100, 0, 100, 100)}, walledIn = {box(980, 0, 40, 200)};
    for (int i = 0; i < 30; ++i)
        walledIn.push_back(box(static_cast<int16_t>(20 + i * 30), static_cast<int16_t>(i % 2 ? 40 : 60), 20, 100));
    const struct {
        const cObstacleList* list;
        aVector2 to;
        const char* path;
    } cases[] = {{&inBox, {150, 50}, "(150,50)"}, {&walledIn, {1000, 50}, "(1000,50)"}};
    for (const auto& c : cases) {
        Walker w;
        w.refinePath = false;
        w.obstacles = c.list;
        w.setPosition(aVector2(0.0f, 50.0f));
        w.moveTo(c.to);
        EXPECT_TRUE(w.blocked);
        EXPECT_EQ(text(w.path), c.path);
        // The next step searches again; a new failure still leaves the straight path and clears the flag.
        EXPECT_TRUE(w.step(10.0f));
        EXPECT_FALSE(w.blocked);
        EXPECT_EQ(text(w.path), c.path);
    }
}

} // namespace
