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
    Widget* hit(int32_t x, int32_t y, bool recursive = true, bool skipStatic = true) const
    {
        return root()->HitTestTree(x, y, recursive, skipStatic);
    }
};

} // namespace

TEST_F(HitTest, RegionsAreScaledToTheWidgetAndABadOneHitsNothing)
{
    kbtest::writeFile(dir.file("corner.bmp"), kbtest::oneBitBmp({"#.", ".."}));
    kbtest::writeFile(dir.file("bad.bmp"), "BM not a bitmap");
    loadScript("regionlist\n{\ncorner " + dir.file("corner.bmp") + "\nbad " + dir.file("bad.bmp") + "\n}\n");
    EXPECT_TRUE(log.contains("Region::LoadFromBitmap - invalid bitmap file '" + dir.file("bad.bmp") + "'"));
    Widget* w = add("w", aRect(0, 0, 100, 60));
    set(w, {"Region corner"});
    for (auto [x, y, in] : {std::tuple{0, 0, true}, {49, 29, true}, {50, 10, false}, {10, 30, false}, {-1, 0, false}})
        EXPECT_EQ(w->HitTest(x, y), in) << x << "," << y;
    EXPECT_EQ(hit(10, 10), w);

    // A widget without width or height has no point to hit, and nothing divides by 0.
    w->SetSize(0, 60);
    EXPECT_FALSE(w->HitTest(0, 0));
    EXPECT_EQ(hit(0, 0), nullptr);

    w->SetSize(100, 60);
    set(w, {"Region bad"});
    EXPECT_FALSE(w->HitTest(10, 10));
    set(w, {"Region missing"});
    EXPECT_TRUE(log.contains("Server::GetRegion - region 'missing' not found!"));
    EXPECT_TRUE(w->HitTest(10, 10)) << "no region: the rectangle decides";
}

TEST_F(HitTest, RegionMasksReadEitherPaletteOrderAndRefuseDamagedFiles)
{
    int files = 0;
    auto write = [&](const std::string& bytes) {
        const std::string path = dir.file("r" + std::to_string(++files) + ".bmp");
        kbtest::writeFile(path, bytes);
        return path;
    };
    GUI::Region r;
    ASSERT_TRUE(r.LoadFromBitmap(write(kbtest::oneBitBmp({"#.", ".."}))));
    for (auto [x, y] : {std::pair{1, 0}, {0, 1}, {1, 1}, {-1, 0}, {2, 0}})
        EXPECT_FALSE(r.Contains(x, y)) << x << "," << y;
    EXPECT_TRUE(r.Contains(0, 0));
    // Entry 0 white: the clear bits, drawn in entry 0, form the region.
    GUI::Region inverse;
    ASSERT_TRUE(inverse.LoadFromBitmap(write(kbtest::oneBitBmp({"#.", ".."}, 0x00FFFFFF))));
    EXPECT_FALSE(inverse.Contains(0, 0));
    EXPECT_TRUE(inverse.Contains(1, 1));
    // Rows wider than one byte, padded to four bytes, stored bottom first.
    GUI::Region wide;
    ASSERT_TRUE(wide.LoadFromBitmap(write(kbtest::oneBitBmp({std::string(40, '.'), std::string(39, '.') + "#"}))));
    EXPECT_TRUE(wide.Contains(39, 1));
    EXPECT_FALSE(wide.Contains(39, 0));

    // Damaged files are refused and leave the region as it was.
    std::string eightBit = kbtest::oneBitBmp({"#."});
    eightBit[28] = 8;
    std::string truncated = kbtest::oneBitBmp(std::vector<std::string>(8, "########"));
    truncated.resize(truncated.size() - 2);
    std::string topDown = kbtest::oneBitBmp({"#", "."});
    topDown[22] = static_cast<char>(0xFE); // height -2
    topDown[23] = topDown[24] = topDown[25] = static_cast<char>(0xFF);
    std::string hugeOffset = kbtest::oneBitBmp({"#"});
    hugeOffset[13] = static_cast<char>(0xFF);
    std::string noWidth = kbtest::oneBitBmp({"#"});
    noWidth[18] = 0;
    std::vector<std::string> paths{dir.file("missing.bmp")};
    for (const std::string& bytes : {std::string("BM"), std::string("PK") + std::string(100, '\0'), eightBit, truncated,
                                     topDown, hugeOffset, noWidth})
        paths.push_back(write(bytes));
    for (const std::string& path : paths) {
        EXPECT_FALSE(r.LoadFromBitmap(path));
        EXPECT_TRUE(log.contains("Region::LoadFromBitmap - invalid bitmap file '" + path + "'")) << path;
    }
    EXPECT_EQ(r.GetWidth(), 2u);
    EXPECT_TRUE(r.Contains(0, 0)) << "the old mask stays";
    EXPECT_FALSE(GUI::Region().Contains(0, 0));
}

TEST_F(HitTest, TopmostDeepestVisibleWidgetWins)
{
    Widget* panel = add("panel", aRect(100, 100, 200, 200));
    Widget* below = add("below", aRect(0, 0, 100, 100), panel);
    Widget* above = add("above", aRect(50, 50, 100, 100), panel);
    Widget* deep = add("deep", aRect(10, 10, 20, 20), above);

    EXPECT_EQ(hit(110, 110), below);
    EXPECT_EQ(hit(170, 170), deep);
    EXPECT_EQ(hit(190, 190), above);
    EXPECT_EQ(hit(50, 50), nullptr) << "the root is never its own hit";

    above->SetVisible(false);
    EXPECT_EQ(hit(170, 170), below);
    panel->SetVisible(false);
    deep->SetParent(below);
    EXPECT_EQ(hit(115, 115), nullptr) << "a hidden parent hides its whole subtree";
}

TEST_F(HitTest, StaticTransparentAndClippedWidgetsLetThePointerThrough)
{
    Widget* under = add("under", aRect(0, 0, 100, 100));
    Widget* glass = add("glass", aRect(0, 0, 100, 100));
    Widget* inside = add("inside", aRect(10, 10, 10, 10), glass);
    set(glass, {"Static 1"});
    EXPECT_EQ(hit(15, 15), under);
    EXPECT_EQ(hit(15, 15, true, false), inside);

    auto* half = add<HalfTransparent>("half", aRect(0, 0, 100, 100));
    EXPECT_EQ(hit(10, 10), under);
    EXPECT_EQ(hit(60, 10), half);

    Widget* panel = add("panel", aRect(200, 0, 50, 50));
    Widget* wide = add("wide", aRect(40, 0, 40, 10), panel);
    EXPECT_EQ(hit(245, 5), wide);
    EXPECT_EQ(hit(260, 5), nullptr);
    set(wide, {"ClipByParent 0"});
    EXPECT_EQ(hit(260, 5), wide);
}

// Key names are a table of their own, not restated here.
TEST(Hotkeys, TextsGiveKeysAndModifiers)
{
    // "sh" counts as shift (a leading part of a name); the empty word between blank and bar does too.
    const std::tuple<const char*, uint32_t, uint32_t> hotkeys[] = {
        {"ctrl|s", 31, 2},  {"shift alt F4", 62, 5}, {"  sh|a|x", 45, 5}, {"alt | f4", 62, 5},
        {"ctrl f13", 0, 2}, {"shifty|q", 16, 0},     {"", 0, 0},          {"ESC", 1, 0}};
    for (const auto& [text, expectedKey, expectedMods] : hotkeys) {
        uint32_t key = 99, mods = 99;
        GUI::ParseHotkey(text, key, mods);
        EXPECT_EQ(key, expectedKey) << text;
        EXPECT_EQ(mods, expectedMods) << text;
    }
}

// The gallery shows a modal dialog keeping hot keys from its siblings and taking its own.
TEST_F(HitTest, HotkeysNeedExactModifiersAndAReachableWidget)
{
    Widget* quit = add("quit", aRect(0, 0, 10, 10));
    set(quit, {"Hotkey alt|f4"});
    events.watch(quit, {Widget::EventClick});
    EXPECT_FALSE(root()->DispatchHotkey(62, GUI::MOD_ALT | GUI::MOD_SHIFT));
    EXPECT_FALSE(root()->DispatchHotkey(61, GUI::MOD_ALT));
    EXPECT_TRUE(root()->DispatchHotkey(62, GUI::MOD_ALT | GUI::MOD_CAPSLOCK)) << "lock bits are not compared";
    ASSERT_EQ(events.take(), (Entries{"quit:Click"}));

    quit->SetVisible(false);
    EXPECT_FALSE(root()->DispatchHotkey(62, GUI::MOD_ALT)) << "hidden";
    quit->SetVisible(true);

    Widget* panel = add("panel", aRect(0, 0, 10, 10));
    set(add("inner", aRect(0, 0, 10, 10), panel), {"Hotkey esc"});
    Widget* modal = add("modal", aRect(0, 0, 10, 10));
    set(modal, {"Modal 1"});
    EXPECT_FALSE(root()->DispatchHotkey(1, 0)) << "below a modal sibling of an ancestor";
    modal->SetVisible(false);
    panel->SetEnabled(false);
    EXPECT_FALSE(root()->DispatchHotkey(1, 0)) << "a disabled subtree is not searched";
    EXPECT_TRUE(root()->DispatchHotkey(62, GUI::MOD_ALT));
}
