#include <gtest/gtest.h>

#include "gui_fixture.h"

using GUI::Widget;
using kbtest::Entries;

namespace {

// Lets the mouse through its left half.
class HalfTransparent : public Widget {
public:
    using Widget::Widget;
    bool IsTransparentAt(int32_t x, int32_t) const override { return x < GetWidth() / 2; }
};

class HitTest : public kbtest::GuiTest {
protected:
    GUI::Region* region(const std::string& name, const std::vector<std::string>& rows)
    {
        kbtest::writeFile(dir.file(name + ".bmp"), kbtest::oneBitBmp(rows));
        loadScript(name + ".agui", "regionlist\n{\n" + name + " " + dir.file(name + ".bmp") + "\n}\n");
        return server->GetRegion(name);
    }
    void set(Widget* w, const char* property, const std::string& value)
    {
        w->Set(property, value);
        w->EndFillProperties();
    }
};

} // namespace

TEST_F(HitTest, RegionsAreScaledToTheWidget)
{
    ASSERT_NE(region("corner", {"#.", ".."}), nullptr);
    Widget* w = add("w", aRect(0, 0, 100, 60));
    set(w, "Region", "corner");
    EXPECT_TRUE(w->HitTest(0, 0));
    EXPECT_TRUE(w->HitTest(49, 29));
    EXPECT_FALSE(w->HitTest(50, 10));
    EXPECT_FALSE(w->HitTest(10, 30));
    EXPECT_FALSE(w->HitTest(-1, 0));
    EXPECT_EQ(root()->HitTestTree(10, 10, true, true), w);
    EXPECT_EQ(root()->HitTestTree(80, 10, true, true), nullptr);

    // A widget without width or height has no point to hit, and nothing divides by 0.
    w->SetSize(0, 60);
    EXPECT_FALSE(w->HitTest(0, 0));
    w->SetSize(100, 0);
    EXPECT_FALSE(w->HitTest(0, 0));
    EXPECT_EQ(root()->HitTestTree(0, 0, true, true), nullptr);
}

TEST_F(HitTest, AFailedRegionHitsNothing)
{
    kbtest::writeFile(dir.file("bad.bmp"), "BM not a bitmap");
    loadScript("r.agui", "regionlist\n{\nbad " + dir.file("bad.bmp") + "\n}\n");
    EXPECT_TRUE(log.contains("Region::LoadFromBitmap - invalid bitmap file '" + dir.file("bad.bmp") + "'"));
    Widget* w = add("w", aRect(0, 0, 100, 60));
    set(w, "Region", "bad");
    EXPECT_FALSE(w->HitTest(10, 10));
    set(w, "Region", "missing");
    EXPECT_TRUE(log.contains("Server::GetRegion - region 'missing' not found!"));
    EXPECT_TRUE(w->HitTest(10, 10)) << "no region: the rectangle decides";
}

TEST_F(HitTest, TopmostDeepestVisibleWidgetWins)
{
    Widget* panel = add("panel", aRect(100, 100, 200, 200));
    Widget* below = add("below", aRect(0, 0, 100, 100), panel);
    Widget* above = add("above", aRect(50, 50, 100, 100), panel);
    Widget* deep = add("deep", aRect(10, 10, 20, 20), above);

    EXPECT_EQ(root()->HitTestTree(110, 110, true, true), below);
    EXPECT_EQ(root()->HitTestTree(170, 170, true, true), deep);
    EXPECT_EQ(root()->HitTestTree(190, 190, true, true), above);
    EXPECT_EQ(root()->HitTestTree(190, 190, false, true), panel) << "not recursive: direct children only";
    EXPECT_EQ(root()->HitTestTree(290, 290, true, true), panel);
    EXPECT_EQ(root()->HitTestTree(50, 50, true, true), nullptr) << "the root is never its own hit";

    above->SetVisible(false);
    EXPECT_EQ(root()->HitTestTree(170, 170, true, true), below);
    panel->SetVisible(false);
    deep->SetParent(below);
    EXPECT_EQ(root()->HitTestTree(115, 115, true, true), nullptr) << "a hidden parent hides its whole subtree";
}

TEST_F(HitTest, StaticWidgetsLetThePointerThrough)
{
    Widget* under = add("under", aRect(0, 0, 100, 100));
    Widget* glass = add("glass", aRect(0, 0, 100, 100));
    Widget* inside = add("inside", aRect(10, 10, 10, 10), glass);
    (void)inside;
    set(glass, "Static", "1");
    EXPECT_EQ(root()->HitTestTree(15, 15, true, true), under);
    EXPECT_EQ(root()->HitTestTree(15, 15, true, false), inside);
}

TEST_F(HitTest, TransparentPointsFallThrough)
{
    Widget* under = add("under", aRect(0, 0, 100, 100));
    auto* half = new HalfTransparent("half");
    root()->AddChild(half);
    half->SetArea(aRect(0, 0, 100, 100));
    EXPECT_EQ(root()->HitTestTree(10, 10, true, true), under);
    EXPECT_EQ(root()->HitTestTree(60, 10, true, true), half);
}

TEST_F(HitTest, ClippedChildrenAreHitOnlyInsideTheirParent)
{
    Widget* panel = add("panel", aRect(0, 0, 50, 50));
    Widget* wide = add("wide", aRect(40, 0, 40, 10), panel);
    EXPECT_EQ(root()->HitTestTree(45, 5, true, true), wide);
    EXPECT_EQ(root()->HitTestTree(60, 5, true, true), nullptr);
    set(wide, "ClipByParent", "0");
    EXPECT_EQ(root()->HitTestTree(60, 5, true, true), wide);
}

TEST_F(HitTest, ModalWidgetsBlockOnlyTheirLowerSiblings)
{
    Widget* background = add("background", aRect(0, 0, 1024, 768));
    Widget* dialog = add("dialog", aRect(300, 300, 100, 100));
    set(dialog, "Modal", "1");
    EXPECT_EQ(root()->HitTestTree(10, 10, true, true), nullptr) << "a modal child of the root blocks everything below";
    EXPECT_EQ(root()->HitTestTree(310, 310, true, true), dialog);
    dialog->SetVisible(false);
    EXPECT_EQ(root()->HitTestTree(10, 10, true, true), background);

    Widget* panel = add("panel", aRect(0, 0, 200, 200));
    Widget* lower = add("lower", aRect(0, 0, 50, 50), panel);
    Widget* modal = add("modal", aRect(100, 100, 50, 50), panel);
    (void)lower;
    set(modal, "Modal", "1");
    EXPECT_EQ(root()->HitTestTree(10, 10, true, true), panel) << "the panel itself is hit around its modal child";
    EXPECT_EQ(root()->HitTestTree(120, 120, true, true), modal);
}

TEST(Hotkeys, TextsGiveKeysAndModifiers)
{
    uint32_t key = 0, mods = 0;
    GUI::ParseHotkey("ctrl|s", key, mods);
    EXPECT_EQ(key, 31u);
    EXPECT_EQ(mods, 2u);
    GUI::ParseHotkey("shift alt F4", key, mods);
    EXPECT_EQ(key, 62u);
    EXPECT_EQ(mods, 5u);
    GUI::ParseHotkey("  sh|a|x", key, mods);
    EXPECT_EQ(key, 45u);
    EXPECT_EQ(mods, 5u) << "a leading part of a modifier name counts";
    GUI::ParseHotkey("alt | f4", key, mods);
    EXPECT_EQ(mods, 5u) << "the empty word between blank and bar counts as shift";
    GUI::ParseHotkey("ctrl f13", key, mods);
    EXPECT_EQ(key, 0u);
    GUI::ParseHotkey("shifty|q", key, mods);
    EXPECT_EQ(mods, 0u);
    EXPECT_EQ(key, 16u);
    GUI::ParseHotkey("", key, mods);
    EXPECT_EQ(key, 0u);
    EXPECT_EQ(mods, 0u);

    const std::pair<const char*, uint32_t> rows[] = {{"0", 11},         {"1", 2},      {"esc", 1},      {"ENTER", 28},
                                                     {"numenter", 156}, {"num/", 181}, {"ralt", 184},   {"pause", 197},
                                                     {"home", 199},     {"up", 200},   {"delete", 211}, {"\\", 43},
                                                     {"space", 57},     {"f12", 88},   {"num0", 82}};
    for (const auto& [name, code] : rows)
        EXPECT_EQ(GUI::HotkeyCode(name), code) << name;
}

TEST_F(HitTest, HotkeysNeedExactModifiersAndAReachableWidget)
{
    Widget* quit = add("quit", aRect(0, 0, 10, 10));
    set(quit, "Hotkey", "alt|f4");
    events.watch(quit, {Widget::EventClick});
    EXPECT_FALSE(root()->DispatchHotkey(62, GUI::MOD_ALT | GUI::MOD_SHIFT));
    EXPECT_FALSE(root()->DispatchHotkey(62, 0));
    EXPECT_FALSE(root()->DispatchHotkey(61, GUI::MOD_ALT));
    EXPECT_TRUE(root()->DispatchHotkey(62, GUI::MOD_ALT | GUI::MOD_CAPSLOCK)) << "lock bits are not compared";
    ASSERT_EQ(events.take(), (Entries{"quit:Click"}));
    const GUI::MouseEventArgs& args = events.mouse.back();
    EXPECT_TRUE(args.handled);
    EXPECT_EQ(args.widget, quit);
    EXPECT_EQ(args.button, GUI::BUTTON_LEFT);
    EXPECT_EQ(args.x, 0);
    EXPECT_EQ(args.y, 0);
    EXPECT_EQ(args.modifiers, GUI::MOD_ALT | GUI::MOD_CAPSLOCK) << "the modifiers that were held";

    quit->SetVisible(false);
    EXPECT_FALSE(root()->DispatchHotkey(62, GUI::MOD_ALT)) << "hidden";
    quit->SetVisible(true);

    Widget* panel = add("panel", aRect(0, 0, 10, 10));
    Widget* inner = add("inner", aRect(0, 0, 10, 10), panel);
    set(inner, "Hotkey", "esc");
    Widget* modal = add("modal", aRect(0, 0, 10, 10));
    set(modal, "Modal", "1");
    EXPECT_FALSE(root()->DispatchHotkey(62, GUI::MOD_ALT)) << "below a visible modal sibling";
    EXPECT_FALSE(root()->DispatchHotkey(1, 0)) << "below a modal sibling of an ancestor";
    set(modal, "Hotkey", "esc");
    EXPECT_TRUE(root()->DispatchHotkey(1, 0)) << "the modal widget itself takes it";
    modal->SetVisible(false);
    panel->SetEnabled(false);
    EXPECT_FALSE(root()->DispatchHotkey(1, 0)) << "a disabled subtree is not searched";
    EXPECT_TRUE(root()->DispatchHotkey(62, GUI::MOD_ALT));
}
