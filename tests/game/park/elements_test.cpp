// A depth scale whose start and end lines meet, the entities' turn of a vector, and walkers (the corner
// path search, steps and the search budget).
#include <gtest/gtest.h>

#include <sstream>

#include "game/app/game.h"
#include "game/park/entity.h"
#include "game/park/movableelement.h"
#include "support/temp_dir.h"

namespace {

TEST(DrawElement, DepthScaleWithMeetingLines)
{
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

TEST(Entity, AQuarterTurnOnTheScreenGoesDownwards)
{
    // y grows downwards: a positive angle turns clockwise as the player sees it.
    const aVector2 turned = rotateVector(aVector2(1, 0), 1.5707964f);
    EXPECT_NEAR(turned.x, 0.0f, 1e-6f);
    EXPECT_EQ(turned.y, 1.0f);
    EXPECT_NEAR(rotateVector(aVector2(0, 2), 3.1415927f).y, -2.0f, 1e-6f);
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

TEST(MovableElement, PlannedPaths)
{
    // Round a box by the nearest corner first; one heading for the whole path.
    cObstacleList list = {box(100, 50, 100, 100)};
    Walker w;
    w.obstacles = &list;
    w.refinePath = false;
    w.setPosition(aVector2(0.0f, 100.0f));
    w.moveTo(aVector2(300.0f, 100.0f));
    EXPECT_EQ(text(w.path), "(99,49)(201,49)(300,100)");
    EXPECT_FALSE(w.blocked);
    EXPECT_EQ(w.directions.size(), 1u);
    // To where it stands: no path, no heading.
    Walker still;
    still.setPosition(aVector2(5.0f, 5.0f));
    still.moveTo(aVector2(5.0f, 5.0f));
    EXPECT_TRUE(still.path.empty() && still.directions.empty() && !still.blocked);
}

TEST(MovableElement, AStaircaseStepOffTheWalkersGroundIsLeftOut)
{
    // The first step of a staircase is the middle of the cell it starts in,
    // here 15 pixels behind a walker at the edge of its ground (x >= 40).
    class EdgeWalker : public Walker {
    public:
        bool canStandAt(const aVector2& p) override { return p.x >= 40.0f; }
    };
    Walker free;
    EdgeWalker edge;
    for (Walker* w : {&free, static_cast<Walker*>(&edge)}) {
        w->setPosition(aVector2(40.0f, 240.0f));
        w->moveTo(aVector2(190.0f, 110.0f));
    }
    EXPECT_EQ(text(free.path), "(25,225)(75,175)(125,175)(190,110)");
    EXPECT_EQ(text(edge.path), "(75,175)(125,175)(190,110)");
}

TEST(MovableElement, FailedSearchWalksStraightAndSearchesOnceMore)
{
    // A target inside a box; thirty boxes and a walled-in target, where the
    // search without its budget would try every order of their corners.
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
    }
}

} // namespace
