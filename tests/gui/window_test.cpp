#include <gtest/gtest.h>

#include "gui_fixture.h"

using namespace GUI;

namespace {

using WindowTest = kbtest::GuiTest;

} // namespace

TEST_F(WindowTest, DraggingFollowsThePointerAndStopsAtTheParentsEdge)
{
    loadScript("widget Desk\n{\n  AreaRect 100 100 300 200\n"
               "  window Dialog\n  {\n    AreaRect 10 10 100 50\n    Drag 1\n  }\n}\n",
               true);
    auto* dialog = find<Window>("Dialog");
    ASSERT_NE(dialog, nullptr);
    events.watch(dialog, {Window::EventDragStarted, Window::EventDragging, Window::EventDragFinished});

    moveTo(120, 115); // 20, 15 inside the desk; 10, 5 inside the dialog
    frame();
    down();
    // Past the desk's right edge the grab point stops at its last column (299); back inside it follows again.
    for (auto [x, expectedX] : {std::pair{150, 40}, {450, 289}, {500, 289}, {390, 280}}) {
        hover(x, 125);
        EXPECT_EQ(dialog->GetArea().x, expectedX) << x;
    }
    up();
    EXPECT_FALSE(dialog->IsDragging());
    const auto e = events.take();
    ASSERT_GE(e.size(), 3u);
    EXPECT_EQ(e.front(), "Dialog:DragStarted");
    EXPECT_EQ(e.back(), "Dialog:DragFinished");

}

TEST_F(WindowTest, StylesDrawNormalHoverAndDisabledSkins)
{
    addImage("n", 3, 3, 0xFF0000FF);
    addImage("h", 6, 6, 0xFF00FF00);
    addImage("d", 9, 9, 0xFFFF0000);
    loadScript("style N\n{\n  Image n\n  AutoSlice all\n  EdgeGlobal none\n  FillType none\n}\n"
               "style H\n{\n  Image h\n  AutoSlice all\n  EdgeGlobal none\n  FillType none\n}\n"
               "style D\n{\n  Image d\n  AutoSlice all\n  EdgeGlobal none\n  FillType none\n}\n"
               "window Win\n{\n  AreaRect 0 0 50 50\n  NormalStyle N\n  HoverStyle H\n  FadeInTime 1\n  Alpha 0.5\n}\n"
               "window Void\n{\n  NormalStyle Missing\n}\n"
               "window Off\n{\n  DisabledStyle D\n  NormalStyle N\n  Enabled 0\n}\n",
               true);
    auto* w = find<Window>("Win");
    EXPECT_TRUE(log.contains("Server::GetStyle - style 'Missing' not found!"));
    beginDraws();
    w->Draw();
    ASSERT_EQ(draws().size(), 4u) << "the hover skin is faded out";
    EXPECT_EQ(draws()[0].u[4] >> 24, 128u);

    hover(10, 10);
    frame(0.5f);
    rig.device_->clearRecords();
    w->Draw();
    ASSERT_EQ(draws().size(), 8u);
    EXPECT_EQ(draws()[4].u[4] >> 24, static_cast<uint32_t>(0.5f * w->GetHoverFade() * 255 + 0.5f));

    rig.device_->clearRecords();
    find("Off")->Draw();
    ASSERT_EQ(draws().size(), 4u);
    EXPECT_EQ(src(draws()[0]), "0 0 3 3");
}

// The gallery draws a ring and a box, each filled and outlined.
TEST_F(WindowTest, ShapesSkipAClearFillButNotAClearRingAndAnUnknownStyleIsARectangle)
{
    loadScript("shape Box\n{\n  AreaRect 10 20 40 30\n  PenWidth 2\n  PenColor FF00FF00\n  FillColor 0\n}\n"
               "shape Ring\n{\n  AreaRect 0 0 40 30\n  ShapeStyle ELLIPSE\n  PenColor 00FFFFFF\n}\n"
               "shape Other\n{\n  ShapeStyle circle\n}\n");
    EXPECT_EQ(find<Shape>("Other")->GetShapeStyle(), Shape::SHAPE_RECTANGLE);
    beginDraws();
    find("Box")->Draw();
    EXPECT_EQ(rig.device_->records(aGpuCall::DrawPrimitiveUP).size(), 4u) << "four pen bars";
    rig.device_->clearRecords();
    find("Ring")->Draw();
    EXPECT_EQ(rig.device_->records(aGpuCall::DrawPrimitiveUP).size(), 2u) << "the fill, then the ring";
}
