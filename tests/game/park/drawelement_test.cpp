// Draw elements: the depth scale from the RENDER settings, placement by the
// feet, the screen rectangle and the depth order.
#include <gtest/gtest.h>

#include <algorithm>

#include "game/app/game.h"
#include "game/park/drawelement.h"
#include "support/temp_dir.h"

namespace {

TEST(DrawElement, DepthScalePlacementAndDepthOrder)
{
    const std::string shipped = std::string(KB_TEST_DATA_DIR) + "/../../data/game.ini";
    cGame game;
    game.loadGameConfig(shipped);
    for (const auto& [y, scale] :
         {std::pair{0.0f, 0.7f}, {180.0f, 0.7f}, {340.0f, 0.85f}, {500.0f, 1.0f}, {767.0f, 1.0f}})
        EXPECT_NEAR(cDrawElement::depthScale(y), scale, 1e-6f) << "y " << y;

    cDrawElement e;
    e.setSize(40, 20);
    e.setPosition(aVector2(100.0f, 340.0f));
    EXPECT_EQ(e.getScreenRect(), aRect(83, 323, 34, 17));
    EXPECT_NEAR(e.centre.y, 340.0f - 8.5f, 1e-4f);
    // Without perspective only the element's own scale counts; the offset
    // moves the feet by the scale in force before the call.
    e.perspective = false;
    e.baseScale = 2.0f;
    e.offset = aVector2(0.0f, 5.0f);
    e.setPosition(aVector2(10.0f, 100.0f));
    EXPECT_EQ(e.scale, 2.0f);
    e.setPosition(aVector2(10.0f, 100.0f));
    EXPECT_EQ(e.position, aVector2(10.0f, 110.0f));
    EXPECT_EQ(e.anchor, aVector2(10.0f, 100.0f));
    // Width 5 at scale 1 standing at x 100.9: left is 100 - 2.
    cDrawElement narrow;
    narrow.perspective = false;
    narrow.setSize(5, 10);
    narrow.setPosition(aVector2(100.9f, 50.0f));
    EXPECT_EQ(narrow.left, 98);
    // setRect puts the feet under the middle of the rectangle.
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
    kbtest::TempDir dir("render");
    kbtest::writeFile(dir.file("game.ini"), "[RENDER]\nPerspectiveCorrectionStartDist=300\n"
                                            "PerspectiveCorrectionStartScale=0.5\nPerspectiveCorrectionEndDist=300\n");
    game.loadGameConfig(dir.file("game.ini"));
    EXPECT_EQ(cDrawElement::depthScale(299.0f), 0.5f);
    EXPECT_EQ(cDrawElement::depthScale(300.0f), 1.0f);
    game.loadGameConfig(shipped);
}

} // namespace
