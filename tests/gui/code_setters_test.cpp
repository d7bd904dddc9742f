// What screens set from code on widgets they make themselves, rather than in
// layout scripts: each setter does what its script property does.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "gui/gui.h"
#include "gui_fixture.h"

using namespace GUI;
using kbtest::Entries;

namespace {

using CodeSetters = kbtest::CaptionTest;

} // namespace

TEST_F(CodeSetters, APointerOverAWidgetShowsTheCursorSetFromCodeAndThePreviousOneAfterLeaving)
{
    loadScript("cursor default\n{\n}\ncursor grass_cursor\n{\n}\ncursor meat_cursor\n{\n}\n"
               "window HUD\n{\n  AreaRect 0 600 1024 168\n}\n",
               true);
    auto* hud = find<Window>("HUD");
    auto* grass = add<ImageButton>("Grass", aRect(10, 10, 60, 60), hud);
    grass->SetMouseCursor("grass_cursor");
    EXPECT_EQ(grass->GetCursorName(), "grass_cursor");
    MouseCursor* arrow = server->GetMouseCursor("default");

    hover(500, 700); // the HUD, with the default cursor
    EXPECT_EQ(server->GetCurrentCursor(), arrow);
    hover(30, 630);
    EXPECT_EQ(server->GetHoverWidget(), grass);
    EXPECT_EQ(server->GetCurrentCursor(), server->GetMouseCursor("grass_cursor"));
    EXPECT_TRUE(server->GetCurrentCursor()->IsVisible());
    EXPECT_FALSE(arrow->IsVisible());
    hover(500, 700);
    EXPECT_EQ(server->GetCurrentCursor(), arrow) << "back to the HUD's cursor";

    // Set while the pointer is over the widget: shown at once, no move needed.
    hover(500, 700);
    EXPECT_EQ(server->GetHoverWidget(), hud);
    hud->SetMouseCursor("meat_cursor");
    EXPECT_EQ(server->GetCurrentCursor(), server->GetMouseCursor("meat_cursor"));
    grass->SetMouseCursor("default"); // not under the pointer: nothing changes now
    EXPECT_EQ(server->GetCurrentCursor(), server->GetMouseCursor("meat_cursor"));
}

TEST_F(CodeSetters, TwoQuickClicksOnACodeMadeCheckBoxWithMultiClickGiveClickThenDoubleClick)
{
    auto* level = add<Checkbox>("Level03", aRect(100, 100, 40, 40));
    auto* plain = add<Checkbox>("Level04", aRect(200, 100, 40, 40));
    EXPECT_FALSE(level->IsMultiClick());
    level->SetMultiClick(true);
    EXPECT_TRUE(level->IsMultiClick());
    events.watch(level, {Widget::EventClick, Widget::EventDoubleClick});
    events.watch(plain, {Widget::EventClick, Widget::EventDoubleClick});
    click(110, 110);
    click(110, 110);
    click(210, 110);
    click(210, 110);
    EXPECT_EQ(events.take(), (Entries{"Level03:Click", "Level03:DoubleClick", "Level04:Click", "Level04:Click"}));
}

TEST_F(CodeSetters, RenderNotificationSwitchedOnFromCodeFramesTheWidgetsDrawing)
{
    auto* w = add<Window>("Panel", aRect(0, 0, 50, 50));
    events.watch(w, {Widget::EventBeginRender, Widget::EventEndRender});
    beginDraws();
    server->Render();
    EXPECT_TRUE(events.take().empty());
    w->SetNotifyRender(true);
    EXPECT_TRUE(w->IsNotifyRender());
    server->Render();
    EXPECT_EQ(events.take(), (Entries{"Panel:BeginRender", "Panel:EndRender"}));
}

TEST_F(CodeSetters, CaptionOffsetPushOffsetAndAlignmentFromCodeDrawAsTheirProperties)
{
    auto* byCode = add<StyleButton>("Code", aRect(10, 20, 100, 40));
    auto* byScript = add<StyleButton>("Script", aRect(10, 20, 100, 40));
    for (ButtonBase* b : {static_cast<ButtonBase*>(byCode), static_cast<ButtonBase*>(byScript)}) {
        b->SetFont(&font);
        b->SetText(L"A");
    }
    byCode->SetTextHorzAlign(HA_LEFT);
    byCode->SetTextVertAlign(VA_TOP);
    byCode->SetTextOffset(3.0f, 4.0f);
    byCode->SetPushOffset(2.0f, 1.0f);
    set(byScript, {"TextHorzAlign left", "TextVertAlign top", "TextExtent 3 4", "TextPushOffset 2 1"});
    EXPECT_EQ(captionAt(byCode), std::pair(13.0f, 24.0f));
    EXPECT_EQ(captionAt(byCode), captionAt(byScript));
    byCode->SetPushed(true);
    byScript->SetPushed(true);
    EXPECT_EQ(captionAt(byCode), std::pair(15.0f, 25.0f));
    EXPECT_EQ(captionAt(byCode), captionAt(byScript));

    byCode->SetPushed(false);
    byCode->SetTextHorzAlign(HA_RIGHT);
    byCode->SetTextVertAlign(VA_BOTTOM);
    EXPECT_EQ(captionAt(byCode), std::pair(10.0f + 100 - 3 - 8, 20.0f + 40 - 4 - 16));
    byCode->SetTextHorzAlign(77); // no such alignment: left, as the property reads it
    EXPECT_EQ(byCode->GetTextHorzAlign(), uint32_t(HA_LEFT));
}

TEST_F(CodeSetters, ASelectedButtonKeepsThePushedLookThroughPressesUntilDeselected)
{
    std::vector<uint32_t> strip(10 * 40);
    for (size_t i = 0; i < strip.size(); ++i)
        strip[i] = 0xFF000000 | static_cast<uint32_t>(i / 100 + 1);
    addImage("page", 10, 40, 0, strip);
    loadScript("imagebutton Page1\n{\n  AreaRect 100 100 0 0\n  Image page\n}\n", true);
    auto* page = find<ImageButton>("Page1");
    page->SetTextColors(0xFF000000, 0xFF000000, 0xFFFF0000, 0xFF808080);
    auto shown = [&] {
        beginDraws();
        page->Draw();
        return draws().empty() ? std::string("none") : src(draws()[0]);
    };
    EXPECT_EQ(shown(), "0 0 10 10");
    page->SetSelected(true);
    EXPECT_TRUE(page->IsSelected());
    EXPECT_EQ(shown(), "0 10 10 20") << "the pushed glyph";
    EXPECT_EQ(page->GetTextColor(), 0xFFFF0000u);
    click(105, 105);
    EXPECT_TRUE(page->IsSelected());
    EXPECT_EQ(shown(), "0 10 10 20");
    page->SetSelected(false);
    hover(500, 500);
    EXPECT_EQ(shown(), "0 0 10 10");
    EXPECT_EQ(page->GetTextColor(), 0xFF000000u);
}

TEST_F(CodeSetters, TooltipKeysComeFromScriptsOrCodeAndARootWindowTakesTheDefaultStyle)
{
    addImage("n", 3, 3, 0xFF0000FF);
    loadScript("style default\n{\n  Image n\n  AutoSlice all\n  EdgeGlobal none\n  FillType none\n}\n"
               "imagebutton Upgrade1\n{\n  Tooltip upgrade.fence\n}\n",
               true);
    auto* upgrade = find<ImageButton>("Upgrade1");
    EXPECT_EQ(upgrade->GetTooltip(), "upgrade.fence");
    upgrade->SetTooltip("upgrade.pond");
    EXPECT_EQ(upgrade->GetTooltip(), "upgrade.pond");
    EXPECT_EQ(add("Plain", aRect(0, 0, 5, 5))->GetTooltip(), "");

    auto* sheet = add<Window>("Sheet", aRect(0, 0, 1024, 768));
    beginDraws();
    sheet->Draw();
    EXPECT_TRUE(draws().empty());
    sheet->SetNormalStyle(server->GetStyle("default"));
    EXPECT_EQ(sheet->GetNormalStyle(), server->GetStyle("default"));
    sheet->Draw();
    EXPECT_EQ(draws().size(), 4u) << "the style's four corners";
}
