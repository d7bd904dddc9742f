#include <gtest/gtest.h>

#include "widget_kit.h"

using namespace GUI;

namespace {

class SliderTest : public kbtest::WidgetKit {
protected:
    // Drags the thumb: press at (x, y), move by each step in turn, release.
    void drag(int32_t x, int32_t y, std::initializer_list<int32_t> steps, bool vertical = false)
    {
        moveTo(x, y);
        frame();
        button(0, true);
        frame();
        for (int32_t s : steps) {
            (vertical ? y : x) += s;
            moveTo(x, y);
            frame();
        }
        button(0, false);
        frame();
    }
};

const char* kSlider = "slider Volume\n{\n  AreaRect 0 0 200 20\n"
                      "  imagebutton Volume_auto_thumb\n  {\n    AreaRect 0 0 20 20\n  }\n"
                      "  imagebutton Volume_auto_incbtn\n  {\n    AreaRect 0 30 10 10\n    ClipByParent 0\n  }\n}\n";

} // namespace

TEST_F(SliderTest, ValuesPlaceTheThumbAndTheButtonsStep)
{
    loadScript("s.agui", kSlider);
    server->InitializeWidgets();
    auto* s = dynamic_cast<Slider*>(root()->FindChild("Volume"));
    ASSERT_TRUE(s && s->GetThumb());
    events.watch(s, {Slider::EventPositionChanged});
    s->SetValue(0.5f);
    EXPECT_EQ(s->GetThumb()->GetArea().x, 90);
    s->SetValue(1.7f);
    EXPECT_EQ(s->GetThumb()->GetArea().x, 180);
    EXPECT_FLOAT_EQ(s->GetValue(), 1.0f);
    s->SetValue(1.0f);
    EXPECT_EQ(events.take().size(), 3u) << "the same value still fires";

    s->SetValue(0.95f);
    moveTo(5, 35);
    frame();
    button(0, true);
    frame();
    button(0, false);
    frame();
    EXPECT_FLOAT_EQ(s->GetValue(), 1.0f) << "0.95 + 0.1 stops at 1";

    loadScript("lone.agui", "slider Lone\n{\n}\n");
    server->InitializeWidgets();
    EXPECT_TRUE(log.contains("Slider::Initialize - Thumb for slider 'Lone' not found"));
    auto* lone = dynamic_cast<Slider*>(root()->FindChild("Lone"));
    lone->SetValue(0.3f);
    EXPECT_FLOAT_EQ(lone->GetValue(), 0.3f);
}

TEST_F(SliderTest, DraggingTheThumbFollowsThePointerUntilTheTrackEnds)
{
    loadScript("s.agui", kSlider);
    server->InitializeWidgets();
    auto* s = dynamic_cast<Slider*>(root()->FindChild("Volume"));
    events.watch(s, {Slider::EventThumbTrackStarted, Slider::EventPositionChanged, Slider::EventThumbTrackFinished});
    drag(10, 10, {45});
    EXPECT_EQ(s->GetThumb()->GetArea().x, 45);
    EXPECT_FLOAT_EQ(s->GetValue(), 45.0f / 180.0f);
    EXPECT_EQ(events.take(),
              (kbtest::Entries{"Volume:ThumbTrackStarted", "Volume:PositionChanged", "Volume:ThumbTrackFinished"}));
    EXPECT_FALSE(s->IsTracking());

    drag(55, 10, {200, 30});
    EXPECT_EQ(s->GetThumb()->GetArea().x, 180);
    EXPECT_FLOAT_EQ(s->GetValue(), 1.0f);
    const auto e = events.take();
    EXPECT_EQ(std::count(e.begin(), e.end(), "Volume:PositionChanged"), 1) << "pushing against the end fires nothing";
}

TEST_F(SliderTest, ScrollBarsSizeTheirThumbAndKeepTheValueInRange)
{
    loadScript("b.agui", "scrollbar Bar\n{\n  AreaRect 0 0 20 100\n  Vertical 1\n  StepValue 30\n"
                         "  widget Bar_auto_thumb\n  {\n    AreaRect 0 0 20 10\n  }\n"
                         "  widget Bar_auto_decbtn\n  {\n    AreaRect 0 120 20 10\n    ClipByParent 0\n  }\n}\n");
    server->InitializeWidgets();
    auto* bar = dynamic_cast<Scrollbar*>(root()->FindChild("Bar"));
    ASSERT_TRUE(bar && bar->GetThumb());
    Widget* thumb = bar->GetThumb();
    bar->SetPageSize(100.0f);
    bar->SetTotalSize(400.0f);
    EXPECT_EQ(thumb->GetHeight(), 25);

    events.watch(bar, {Scrollbar::EventPositionChanged});
    drag(10, 5, {15}, true);
    EXPECT_EQ(thumb->GetArea().y, 15);
    EXPECT_FLOAT_EQ(bar->GetValue(), 60.0f) << "300 x 15 / 75";
    events.take();
    bar->SetValue(60.0f);
    EXPECT_TRUE(events.take().empty()) << "the same value fires nothing on a scroll bar";
    bar->SetValue(1000.0f);
    EXPECT_FLOAT_EQ(bar->GetValue(), 300.0f);
    EXPECT_EQ(thumb->GetArea().y, 75);
    bar->SetValue(-5.0f);
    EXPECT_FLOAT_EQ(bar->GetValue(), 0.0f);
    bar->SetValue(150.0f);
    moveTo(5, 125);
    frame();
    button(0, true);
    frame();
    button(0, false);
    frame();
    EXPECT_FLOAT_EQ(bar->GetValue(), 120.0f) << "the decrement button steps back";

    // Less content: the value is pulled into the new range and the thumb shows it.
    bar->SetTotalSize(200.0f);
    EXPECT_FLOAT_EQ(bar->GetValue(), 100.0f);
    EXPECT_EQ(thumb->GetHeight(), 50);
    EXPECT_EQ(thumb->GetArea().y, 50);
}

TEST_F(SliderTest, AutoHideAndUnstretchedBarsFollowWhetherTheContentFits)
{
    loadScript("b.agui", "scrollbar Auto\n{\n  AreaRect 0 0 100 20\n  AutoHide 1\n"
                         "  widget Auto_auto_thumb\n  {\n    AreaRect 0 0 10 20\n  }\n}\n"
                         "scrollbar Fixed\n{\n  AreaRect 0 50 100 20\n  Stretch 0\n"
                         "  widget Fixed_auto_thumb\n  {\n    AreaRect 0 0 10 20\n  }\n"
                         "  widget Fixed_auto_incbtn\n  {\n  }\n}\n");
    server->InitializeWidgets();
    auto* autoBar = dynamic_cast<Scrollbar*>(root()->FindChild("Auto"));
    auto* fixed = dynamic_cast<Scrollbar*>(root()->FindChild("Fixed"));
    Widget* inc = root()->FindChild("Fixed_auto_incbtn", true);
    autoBar->SetPageSize(100.0f);
    autoBar->SetTotalSize(80.0f);
    EXPECT_FALSE(autoBar->IsVisible(true));
    autoBar->SetTotalSize(150.0f);
    EXPECT_TRUE(autoBar->IsVisible(true));

    fixed->SetPageSize(100.0f);
    fixed->SetTotalSize(50.0f);
    EXPECT_FALSE(fixed->GetThumb()->IsVisible(true));
    EXPECT_FALSE(inc->IsEnabled(true));
    EXPECT_FLOAT_EQ(fixed->GetValue(), 0.0f);
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
