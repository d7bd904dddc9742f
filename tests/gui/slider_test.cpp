#include <gtest/gtest.h>

#include "gui_fixture.h"

using namespace GUI;

namespace {

using SliderTest = kbtest::GuiTest;

const char* kSlider = "slider Volume\n{\n  AreaRect 0 0 200 20\n"
                      "  imagebutton Volume_auto_thumb\n  {\n    AreaRect 0 0 20 20\n  }\n"
                      "  imagebutton Volume_auto_incbtn\n  {\n    AreaRect 0 30 10 10\n    ClipByParent 0\n  }\n"
                      "  imagebutton Volume_auto_decbtn\n  {\n    AreaRect 20 30 10 10\n    ClipByParent 0\n  }\n}\n"
                      "slider Lone\n{\n}\n";

} // namespace

TEST_F(SliderTest, ValuesPlaceTheThumbButtonsStepAndDraggingFollowsThePointerUntilTheTrackEnds)
{
    loadScript(kSlider, true);
    auto* s = find<Slider>("Volume");
    ASSERT_TRUE(s && s->GetThumb());
    events.watch(s, {Slider::EventPositionChanged});
    s->SetValue(0.5f);
    s->SetValue(1.7f);
    EXPECT_FLOAT_EQ(s->GetValue(), 1.0f);
    s->SetValue(1.0f);
    EXPECT_EQ(events.take().size(), 3u) << "the same value still fires";
    s->SetValue(0.95f);
    click(5, 35);
    EXPECT_FLOAT_EQ(s->GetValue(), 1.0f) << "0.95 + 0.1 stops at 1";
    click(25, 35);
    EXPECT_FLOAT_EQ(s->GetValue(), 0.9f) << "and the decrement button steps back";

    EXPECT_TRUE(log.contains("Slider::Initialize - Thumb for slider 'Lone' not found"));
    find<Slider>("Lone")->SetValue(0.3f); // no thumb to place

    s->SetValue(0.0f);
    events.take();
    events.watch(s, {Slider::EventThumbTrackStarted, Slider::EventThumbTrackFinished});
    drag({{10, 10}, {55, 10}});
    EXPECT_FLOAT_EQ(s->GetValue(), 45.0f / 180.0f);
    EXPECT_EQ(events.take(),
              (kbtest::Entries{"Volume:ThumbTrackStarted", "Volume:PositionChanged", "Volume:ThumbTrackFinished"}));

    drag({{55, 10}, {255, 10}, {285, 10}});
    EXPECT_EQ(s->GetThumb()->GetArea().x, 180);
    EXPECT_FLOAT_EQ(s->GetValue(), 1.0f);
    const auto e = events.take();
    EXPECT_EQ(std::count(e.begin(), e.end(), "Volume:PositionChanged"), 1) << "pushing against the end fires nothing";

    // A quick hand: pressed in the frame that moved the pointer onto the thumb.
    // That move is no drag: the thumb stays put and then follows from where it was taken.
    s->SetValue(0.5f);
    hover(150, 10);
    moveTo(100, 10);
    down();
    EXPECT_EQ(s->GetThumb()->GetArea().x, 90);
    EXPECT_FLOAT_EQ(s->GetValue(), 0.5f);
    hover(130, 10);
    EXPECT_EQ(s->GetThumb()->GetArea().x, 120);
    up();
}

TEST_F(SliderTest, ScrollBarsSizeTheirThumbKeepTheValueInRangeAndFollowWhetherTheContentFits)
{
    loadScript("scrollbar Bar\n{\n  AreaRect 0 0 20 100\n  Vertical 1\n  StepValue 30\n"
               "  widget Bar_auto_thumb\n  {\n    AreaRect 0 0 20 10\n  }\n"
               "  widget Bar_auto_decbtn\n  {\n    AreaRect 0 120 20 10\n    ClipByParent 0\n  }\n"
               "  widget Bar_auto_incbtn\n  {\n    AreaRect 0 140 20 10\n    ClipByParent 0\n  }\n}\n",
               true);
    auto* bar = find<Scrollbar>("Bar");
    ASSERT_TRUE(bar && bar->GetThumb());
    Widget* thumb = bar->GetThumb();
    bar->SetPageSize(100.0f);
    bar->SetTotalSize(400.0f);
    EXPECT_EQ(thumb->GetHeight(), 25);

    events.watch(bar, {Scrollbar::EventPositionChanged});
    drag({{10, 5}, {10, 20}});
    EXPECT_FLOAT_EQ(bar->GetValue(), 60.0f) << "300 x 15 / 75";
    events.take();
    bar->SetValue(60.0f);
    EXPECT_TRUE(events.take().empty()) << "the same value fires nothing on a scroll bar";
    bar->SetValue(1000.0f);
    EXPECT_FLOAT_EQ(bar->GetValue(), 300.0f);
    bar->SetValue(-5.0f);
    EXPECT_FLOAT_EQ(bar->GetValue(), 0.0f);
    bar->SetValue(150.0f);
    click(5, 125);
    EXPECT_FLOAT_EQ(bar->GetValue(), 120.0f) << "the decrement button steps back";
    click(5, 145);
    EXPECT_FLOAT_EQ(bar->GetValue(), 150.0f) << "and the increment button forward";

    // Less content: the value is pulled into the new range and the thumb shows it.
    bar->SetTotalSize(200.0f);
    EXPECT_FLOAT_EQ(bar->GetValue(), 100.0f);
    EXPECT_EQ(thumb->GetHeight(), 50);

    // Auto-hidden and unstretched bars follow whether the content fits.
    loadScript("scrollbar Auto\n{\n  AreaRect 0 0 100 20\n  AutoHide 1\n"
               "  widget Auto_auto_thumb\n  {\n    AreaRect 0 0 10 20\n  }\n}\n"
               "scrollbar Fixed\n{\n  AreaRect 0 50 100 20\n  Stretch 0\n"
               "  widget Fixed_auto_thumb\n  {\n    AreaRect 0 0 10 20\n  }\n"
               "  widget Fixed_auto_incbtn\n  {\n  }\n}\n",
               true);
    auto* autoBar = find<Scrollbar>("Auto");
    auto* fixed = find<Scrollbar>("Fixed");
    Widget* inc = find("Fixed_auto_incbtn");
    autoBar->SetPageSize(100.0f);
    autoBar->SetTotalSize(80.0f);
    EXPECT_FALSE(autoBar->IsVisible(true));
    autoBar->SetTotalSize(150.0f);
    EXPECT_TRUE(autoBar->IsVisible(true));

    fixed->SetPageSize(100.0f);
    fixed->SetTotalSize(50.0f);
    EXPECT_FALSE(fixed->GetThumb()->IsVisible(true));
    EXPECT_FALSE(inc->IsEnabled(true));
    fixed->SetValue(20.0f);
    EXPECT_FLOAT_EQ(fixed->GetValue(), 0.0f) << "nothing to scroll: the maximum is 0";
    fixed->SetTotalSize(300.0f);
    EXPECT_TRUE(fixed->GetThumb()->IsVisible(true)) << "with content to scroll the thumb comes back";
    EXPECT_TRUE(inc->IsEnabled(true));
    EXPECT_EQ(fixed->GetThumb()->GetWidth(), 10) << "an unstretched thumb keeps its length";

    fixed->SetPageSize(0.0f);
    fixed->SetValue(50.0f);
    EXPECT_FLOAT_EQ(fixed->GetValue(), 50.0f) << "no page: the whole content is the range";
}
