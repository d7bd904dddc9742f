// Draw elements: placement by the feet, the screen rectangle, the depth order
// and a depth scale whose start and end lines meet.
#include <gtest/gtest.h>

#include <algorithm>

#include "game/app/game.h"
#include "game/park/drawelement.h"
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

} // namespace
