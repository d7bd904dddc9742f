#include <gtest/gtest.h>

#include "gui_fixture.h"

using namespace GUI;
using kbtest::Entries;

namespace {

using ButtonTest = kbtest::CaptionTest;

} // namespace

TEST_F(ButtonTest, AGlyphStripFillsTheStatesAndThePictureFollowsPressHoverAndSelection)
{
    // Four 10 x 10 glyphs, top to bottom: normal, pushed, hover, disabled.
    std::vector<uint32_t> strip(10 * 40);
    for (size_t i = 0; i < strip.size(); ++i)
        strip[i] = 0xFF000000 | static_cast<uint32_t>(i / 100 + 1);
    addImage("btn", 10, 40, 0, strip);
    loadScript("imagebutton Ok\n{\n  AreaRect 100 100 0 0\n  Image btn\n}\n"
               "imagebutton Two\n{\n  Image btn\n  GlyphCount 2\n  Layout diagonal\n}\n",
               true);
    auto* ok = find<ImageButton>("Ok");
    auto* two = find<ImageButton>("Two");
    ASSERT_TRUE(ok && two);
    EXPECT_TRUE(log.contains("ImageButton::EndFillProperties - invalid layout type 'diagonal'"));
    EXPECT_TRUE(two->GetImage(ImageButton::STATE_PUSHED) && !two->GetImage(ImageButton::STATE_HOVER))
        << "two glyphs fill normal and pushed only";
    EXPECT_EQ(two->GetImageRect(ImageButton::STATE_PUSHED), aRect(0, 20, 10, 20)) << "vertical when the word is bad";

    auto shown = [&] {
        beginDraws();
        ok->Draw();
        return draws().empty() ? std::string("none") : src(draws()[0]);
    };
    events.watch(ok, {Widget::EventClick});
    EXPECT_EQ(shown(), "0 0 10 10");
    hover(105, 105);
    frame();
    EXPECT_EQ(shown(), "0 20 10 30") << "hovered";
    down();
    EXPECT_TRUE(ok->IsPushed());
    moveTo(300, 300); // dragged off: still pushed, no click on release
    frame();
    EXPECT_EQ(shown(), "0 10 10 20");
    up();
    EXPECT_FALSE(ok->IsPushed());
    EXPECT_TRUE(events.take().empty());
    click(105, 105);
    EXPECT_EQ(events.take(), Entries{"Ok:Click"});

    // A selected button keeps the pushed look and colour through presses until deselected.
    ok->SetTextColors(0xFF000000, 0xFF000000, 0xFFFF0000, 0xFF808080);
    ok->SetSelected(true);
    EXPECT_EQ(shown(), "0 10 10 20");
    EXPECT_EQ(ok->GetTextColor(), 0xFFFF0000u);
    click(105, 105);
    EXPECT_EQ(shown(), "0 10 10 20");
    ok->SetSelected(false);

    EXPECT_EQ(shown(), "0 20 10 30") << "hovered again";
    EXPECT_EQ(ok->GetTextColor(), 0xFF000000u);

    ok->SetEnabled(false);
    EXPECT_EQ(shown(), "0 30 10 40");
    ok->SetDisabledImage(nullptr);
    EXPECT_EQ(shown(), "0 20 10 30") << "no disabled picture: the later rules pick the hover one";
}

TEST_F(ButtonTest, CaptionsAreOffsetAndColouredByState)
{
    auto* c = add<StyleButton>("Cap", aRect(10, 20, 100, 40));
    c->SetFont(&font);
    c->SetText(L"A");
    c->SetTextColors(0xFF000000, 0xFFFFFFFF, 0xFF0000FF, 0x80808080);
    set(c, {"TextHorzAlign left", "TextVertAlign top", "TextExtent 3 4", "TextPushOffset 2 1"});
    EXPECT_EQ(captionAt(c), std::pair(13.0f, 24.0f));
    c->SetPushed(true);
    EXPECT_EQ(captionAt(c), std::pair(15.0f, 25.0f)) << "a pushed caption moves by the push offset";
    c->SetTextHorzAlign(77); // no such alignment: left, as the property reads it
    EXPECT_EQ(c->GetTextHorzAlign(), uint32_t(HA_LEFT));
    c->SetAlpha(0.5f);
    c->SetEnabled(false);
    EXPECT_EQ(c->GetTextColor(), 0x40808080u) << "disabled before pushed, at half alpha";
}

TEST_F(ButtonTest, CheckBoxesToggleAndRadioButtonsUncheckTheirGroup)
{
    loadScript("checkbox Box\n{\n  AreaRect 0 0 20 20\n  Checked 1\n  widget Box_auto_check\n  {\n  }\n}\n"
               "checkbox Lonely\n{\n  AreaRect 0 40 20 20\n}\n"
               "radiobutton R1\n{\n  AreaRect 100 0 20 20\n  GroupID 3\n  Checked 1\n}\n"
               "radiobutton R2\n{\n  AreaRect 100 30 20 20\n  GroupID 3\n}\n"
               "radiobutton R3\n{\n  AreaRect 100 60 20 20\n  GroupID 0\n  Checked 1\n}\n"
               "radiobutton R4\n{\n  AreaRect 100 90 20 20\n  GroupID 4\n  Checked 1\n}\n",
               true);
    auto* box = find<Checkbox>("Box");
    Widget* mark = find("Box_auto_check");
    ASSERT_TRUE(box && mark);
    EXPECT_TRUE(log.contains("Checkbox::Initialize - Check widget for checkbox 'Lonely' not found"));
    click(5, 5);
    EXPECT_FALSE(box->IsChecked());
    EXPECT_FALSE(mark->IsVisible(true));
    click(5, 5, 1);
    EXPECT_FALSE(box->IsChecked()) << "the right button does not toggle";

    click(105, 35);
    click(105, 35);
    std::string checked;
    for (const char* name : {"R1", "R2", "R3", "R4"})
        checked += find<RadioButton>(name)->IsChecked() ? '1' : '0';
    EXPECT_EQ(checked, "0111") << "group 0 is no group; other groups stay; a checked one stays checked";
}

// The gallery draws an option button with its caption and option.
TEST_F(ButtonTest, OptionButtonsCycleBothWays)
{
    auto* o = add<OptionButton>("Quality", aRect(0, 0, 200, 20));
    o->GetOptions() = {L"low", L"mid", L"high"};
    events.watch(o, {OptionButton::EventOptionChanged});
    // The widget base clicks only on the left button; the right one's click comes from code.
    MouseEventArgs right;
    right.widget = o;
    right.button = BUTTON_RIGHT;
    o->SetCurrentOption(2);
    click(5, 5);
    EXPECT_EQ(o->GetCurrentOption(), 0);
    o->OnClick(right);
    EXPECT_EQ(o->GetCurrentOption(), 2);
    o->SetCurrentOption(-1);
    o->OnClick(right);
    EXPECT_EQ(o->GetCurrentOption(), 2);
    events.take();
    o->GetOptions().clear();
    click(5, 5);
    EXPECT_TRUE(events.take().empty()) << "an empty list changes nothing";
}
