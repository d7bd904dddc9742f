#include <gtest/gtest.h>

#include <thread>

#include "gui/propertyset.h"
#include "gui_fixture.h"
#include "orvo/app/a_localeserver.h"
#include "orvo/platform/a_system.h"
#include "orvo/sound/a_soundlibrary.h"

using GUI::Property;
using GUI::Widget;
using kbtest::Entries;
using Widgets = std::vector<Widget*>;

namespace {

class Sounded : public Widget {
public:
    using Widget::Widget;
    aSound* click() const { return m_clickSound; }
    aSound* move() const { return m_moveSound; }
};

// 64 silent samples of 16-bit mono PCM at 44100 Hz.
std::string tinyWav()
{
    return std::string(
               "RIFF\xA4\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x44\xAC\0\0\x88\x58\x01\0\x02\0\x10\0data\x80\0\0\0", 44) +
           std::string(128, '\0');
}

class WidgetTest : public kbtest::GuiTest {};

Property prop(const char* text)
{
    Property p;
    p.value = text;
    return p;
}

} // namespace

TEST_F(WidgetTest, SettersFireOnlyOnAChangeAndScriptPropertiesApplyInAFixedOrder)
{
    // Setters fire only on a change, except SetFont and SetText.
    Widget* w = add("w", aRect(0, 0, 10, 10));
    events.watch(w, {Widget::EventMoved, Widget::EventSized, Widget::EventFontChanged, Widget::EventTextChanged,
                     Widget::EventHide, Widget::EventShow, Widget::EventDisabled, Widget::EventEnabled});
    w->SetVisible(true);
    w->SetEnabled(true);
    w->SetFontSize(1.0f);
    w->SetArea(aRect(0, 0, 10, 10));
    EXPECT_TRUE(events.take().empty());
    w->SetArea(1, 1, 30, 30);
    EXPECT_EQ(events.take(), (Entries{"w:Moved", "w:Sized"}));

    w->SetFont(nullptr);
    w->SetFont(nullptr);
    w->SetText(L"a");
    w->SetText(L"a");
    w->SetVisible(false);
    w->SetEnabled(false);
    w->SetEnabled(true);
    EXPECT_EQ(events.take(), (Entries{"w:FontChanged", "w:FontChanged", "w:TextChanged", "w:TextChanged", "w:Hide",
                                      "w:Disabled", "w:Enabled"}));

    // Script properties apply in their fixed order; text comes from the locale where it names a key.
    w->SetVisible(true);
    w->SetArea(0, 0, 10, 10);
    events.take();
    w->ClearChangedFlags();
    set(w, {"Visible 0", "Enabled 0", "Text caf\xC3\xA9", "FontSize 2", "Font arial14", "HorizontalAlign RIGHT",
            "VerticalAlign middle", "Tag 0x20", "Cursor hand", "Hotkey ctrl|s", "Alpha 0.5", "Parent anything"});
    EXPECT_EQ(events.take(), (Entries{"w:FontChanged", "w:FontChanged", "w:TextChanged", "w:Disabled", "w:Hide"}));
    EXPECT_EQ(w->GetText(), L"caf\u00e9");
    EXPECT_EQ(w->GetTag(), 32);
    EXPECT_EQ(w->GetHotkey(), 31u);
    EXPECT_EQ(w->GetXInParent(), 1024) << "right aligned in the root";
    EXPECT_EQ(w->GetYInParent(), 0) << "an unknown word means top";
    EXPECT_TRUE(log.contains("Server::GetFont - font 'arial14' not found!"));

    kbtest::writeFile(dir.file("en.txt"), "title = \"Main menu\"\n");
    aLocaleServer locale;
    locale.load(dir.file("en.txt"));
    set(w, {"Text title"});
    EXPECT_EQ(w->GetText(), L"Main menu");
    set(w, {"Text not a key"});
    EXPECT_EQ(w->GetText(), L"not a key");
}

TEST_F(WidgetTest, ParentsPlaceTheirChildrenAndDecideTheirVisibilityEnablingAlphaAndFont)
{
    Widget* panel = add("panel", aRect(100, 50, 800, 600));
    Widget* child = add("child", aRect(5, 5, 50, 50), panel);
    EXPECT_EQ(child->GetAbsoluteRect(), aRect(105, 55, 50, 50));
    // Alignment anchors a child to its parent's right, centre or bottom.
    Widget* right = add("right", aRect(-100, 0, 50, 50), panel);
    right->SetHorizontalAlign(GUI::HA_RIGHT);
    Widget* centre = add("centre", aRect(-10, -10, 20, 20), panel);
    centre->SetHorizontalAlign(GUI::HA_CENTER);
    centre->SetVerticalAlign(GUI::VA_CENTER);
    Widget* bottom = add("bottom", aRect(0, -30, 10, 30), panel);
    bottom->SetVerticalAlign(GUI::VA_BOTTOM);
    EXPECT_EQ(right->GetXInParent(), 700);
    EXPECT_EQ(centre->GetAbsoluteRect(), aRect(490, 340, 20, 20));
    EXPECT_EQ(bottom->GetAbsoluteY(), 620);
    EXPECT_EQ(add("inner", aRect(5, 5, 1, 1), right)->GetAbsoluteRect(), aRect(805, 55, 1, 1));

    panel->SetVisible(false);
    panel->SetEnabled(false);
    EXPECT_FALSE(child->IsVisible() || child->IsEnabled());
    EXPECT_TRUE(child->IsVisible(true) && child->IsEnabled(true));

    panel->SetAlpha(0.5f);
    child->SetAlpha(0.5f);
    EXPECT_FLOAT_EQ(child->GetAlpha(), 0.25f);
    EXPECT_FLOAT_EQ(child->GetAlpha(true), 0.5f);
    set(child, {"InheritsAlpha 0"});
    EXPECT_FLOAT_EQ(child->GetAlpha(), 0.5f);

    auto* font = reinterpret_cast<aFont*>(0x1000); // compared, never used
    panel->SetFont(font);
    panel->SetFontSize(3.0f);
    child->SetFontSize(0.0f);
    EXPECT_EQ(child->GetFont(), font);
    EXPECT_FLOAT_EQ(child->GetFontSize(), 3.0f) << "0 means the parent's size";
}

TEST_F(WidgetTest, TreesOrderFindMoveAndDeleteTheirWidgetsAndTheServerForgetsTheDeleted)
{
    auto onTop = [&](const char* name) {
        auto* w = new Widget(name);
        set(w, {"AlwaysOnTop 1"});
        root()->AddChild(w);
        return w;
    };
    Widget* a = add("a", aRect());
    Widget* top = onTop("top");
    Widget* b = add("b", aRect());
    EXPECT_EQ(root()->GetZOrder(), (Widgets{a, b, top}));
    a->BringToFront();
    EXPECT_EQ(root()->GetZOrder(), (Widgets{b, a, top}));

    EXPECT_EQ(root()->GetChildren(), (Widgets{a, top, b})) << "children keep adoption order";
    // A child rises to the front of its siblings only where its parent asks for it, and takes the parent along.
    Widget* c1 = add("c1", aRect(), a);
    Widget* c2 = add("c2", aRect(), a);
    set(a, {"RiseOnClick 1"});
    b->BringToFront();
    c1->RiseToFront();
    EXPECT_EQ(root()->GetZOrder(), (Widgets{b, a, top}));
    EXPECT_EQ(a->GetZOrder(), (Widgets{c1, c2})) << "c1 does not rise on click";

    // Children go with their parent unless told not to.
    Widget* panel = add("panel", aRect(0, 0, 10, 10));
    Widget* kept = add("kept", aRect(), panel);
    kept->SetDeleteWithParent(false);
    Widget* doomed = add("doomed", aRect(), panel);
    add("grandchild", aRect(), doomed);

    delete doomed;
    EXPECT_EQ(panel->GetChildren(), (Widgets{kept}));
    delete panel;
    EXPECT_EQ(root()->GetChildren(), (Widgets{a, top, b}));
    EXPECT_EQ(kept->GetParent(), nullptr) << "a widget that does not go with its parent is let go";
    delete kept;

    // Names are found without regard to case, depth first; widgets move between parents.
    Widget* alpha = add("Alpha", aRect());
    Widget* a1 = add("a1", aRect(), alpha);
    Widget* beta = add("Beta", aRect());
    Widget* target = add("target", aRect(), a1);
    Widget* second = add("TARGET", aRect(), beta);
    EXPECT_EQ(root()->FindChild("a1"), nullptr);
    EXPECT_EQ(root()->FindChild("Target", true), target) << "depth first, in children order";
    a1->SetParent(beta);
    EXPECT_EQ(beta->GetChildren(), (Widgets{second, a1}));
    a1->SetParent(nullptr);

    // A widget cannot adopt itself or one of its ancestors.
    a1->AddChild(a1);
    target->AddChild(a1);
    EXPECT_EQ(a1->GetParent(), nullptr);
    EXPECT_TRUE(log.contains("Widget::AddChild - 'a1' cannot become a child of 'target'"));
    delete a1; // with its child

    // The server forgets a deleted focus or hover widget.
    auto* w = add<kbtest::FocusWidget>("w", aRect());
    server->SetFocus(w);
    server->SetHoverWidget(w);
    ASSERT_EQ(server->GetFocusWidget(), w);
    delete w;
    EXPECT_EQ(server->GetFocusWidget(), nullptr);
    EXPECT_EQ(server->GetHoverWidget(), nullptr);

    // Without any server a widget still goes quietly.
    Widget* orphan = new Widget("orphan");
    server.reset();
    delete orphan;
}

TEST_F(WidgetTest, SetTextFFormatsIntoItsOwnBoundedBuffer)
{
    Widget* w = add("w", aRect());
    w->SetTextF(L"%d coins, %ls", 12, L"well done");
    EXPECT_EQ(w->GetText(), L"12 coins, well done");
    w->SetTextF(L"%ls", std::wstring(5000, L'x').c_str());
    EXPECT_EQ(w->GetText(), std::wstring(Widget::TEXTF_BUFFER - 1, L'x'));

    // Two threads formatting into different widgets never see each other's text.
    Widget* other = add("other", aRect());
    auto format = [](Widget* target, const wchar_t* word, bool* mixed) {
        for (int i = 0; i < 2000; ++i) {
            target->SetTextF(L"%ls %d", word, i);
            *mixed = *mixed || target->GetText() != word + (L" " + std::to_wstring(i));
        }
    };
    bool mixedThere = false, mixedHere = false;
    std::thread t(format, other, L"other", &mixedThere);
    format(w, L"mine", &mixedHere);
    t.join();
    EXPECT_FALSE(mixedThere || mixedHere);
}

TEST_F(WidgetTest, MultiClicksCountPressesWithinTheTime)
{
    Widget* w = add("w", aRect(0, 0, 10, 10));
    set(w, {"MultiClick 1", "MultiClickTime 0.5"});
    events.watch(w, {Widget::EventClick, Widget::EventDoubleClick, Widget::EventTripleClick});
    GUI::MouseEventArgs inside;
    inside.widget = w;
    inside.x = inside.y = 5;
    auto click = [&](float pause) {
        w->Update(pause);
        w->OnMouseDown(inside);
        w->OnMouseUp(inside);
    };
    for (float pause : {1.0f, 0.3f, 0.3f, 0.3f, 0.9f, 0.6f})
        click(pause);
    EXPECT_EQ(events.take(), (Entries{"w:Click", "w:DoubleClick", "w:TripleClick", "w:Click", "w:Click", "w:Click"}))
        << "the last two too slow for a double click";

    w->Update(1.0f);
    w->OnMouseDown(inside);
    w->OnMouseMove(inside);
    w->OnMouseDown(inside);
    EXPECT_TRUE(events.take().empty()) << "a move in between ends the multi-click";
}

TEST_F(WidgetTest, RenderClipsChildrenToTheirParent)
{
    Widget* panel = add("panel", aRect(100, 100, 200, 200));
    Widget* clipped = add("clipped", aRect(0, 0, 10, 10), panel);
    Widget* free = add("free", aRect(0, 0, 10, 10), panel);
    Widget* hidden = add("hidden", aRect(0, 0, 10, 10), panel);
    Widget* underHidden = add("underHidden", aRect(0, 0, 10, 10), hidden);
    hidden->SetVisible(false);
    set(free, {"ClipByParent 0"});

    std::vector<aRect> seen;
    for (Widget* w : {clipped, free, underHidden}) {
        set(w, {"NotifyRender 1"});
        w->SubscribeEvent(Widget::EventBeginRender, new kbtest::Call([&](const auto&) {
                              return seen.push_back(rig.graph->getViewport()), false;
                          }));
    }

    const aRect screen(0, 0, 1024, 768);
    rig.graph->setViewport(screen);
    server->Render();
    EXPECT_EQ(seen, (std::vector<aRect>{aRect(100, 100, 200, 200), screen})) << "the hidden subtree is not drawn";
    EXPECT_EQ(rig.graph->getViewport(), screen) << "the viewport is put back";
}

TEST_F(WidgetTest, EveryWidgetPlaysItsOwnCopyOfItsSoundsAndGivesThemBack)
{
    kbtest::writeFile(dir.file("click.wav"), tinyWav());
    sounds.loadItem(dir.path() + "/", "click.wav 1.0", "");
    ASSERT_TRUE(sounds.hasSound("click"));

    auto* w = add<Sounded>("w", aRect());
    set(w, {"SoundClick click", "SoundMove click"});
    ASSERT_TRUE(w->click() && w->move());
    EXPECT_NE(w->click(), w->move());
    EXPECT_NE(w->click(), sounds.getSound("click"));

    // Addresses may be reused, so the live sound objects are counted instead.
    const int live = sound_libraryLiveObjects();
    w->SetClickSound("click");
    EXPECT_EQ(sound_libraryLiveObjects(), live) << "the replaced copy was given back";
    w->SetClickSound("missing");
    EXPECT_EQ(w->click(), nullptr);
    EXPECT_EQ(sound_libraryLiveObjects(), live - 1);
    delete w;
    EXPECT_EQ(sound_libraryLiveObjects(), live - 2) << "the widget gave its copies back when it went";
}

// Script values are read leniently: what cannot be read is 0, missing words keep or zero their fields.
TEST(PropertyReaders, NumbersBooleansColoursAndRectangles)
{
    const std::pair<const char*, int> ints[] = {{"0x10", 16}, {"010", 8}, {"-7 trailing", -7}, {"abc", 0}, {"", 0}};
    for (const auto& [text, value] : ints)
        EXPECT_EQ(prop(text).AsInt(), value) << text;
    // Booleans are numbers: words are false.
    for (const auto& [text, value] : {std::pair{"2", true}, {"0x1", true}, {"0", false}, {"true", false}})
        EXPECT_EQ(prop(text).AsBool(), value) << text;
    EXPECT_FLOAT_EQ(prop("x").AsFloat(), 0.0f);
    EXPECT_EQ(prop("zz").AsColor(), 0u);
    aColor colors[4] = {1, 2, 3, 4};
    prop("ff000001 ff000002").AsColors(colors);
    EXPECT_EQ(std::vector<aColor>(colors, colors + 4), (std::vector<aColor>{0xff000001u, 0xff000002u, 0, 0}));
    EXPECT_EQ(prop("10 20").AsRect(), aRect(10, 20, 0, 0));
    EXPECT_EQ(prop("junk").AsRect(), aRect(0, 0, 0, 0));
    float x = 7.0f, y = 9.0f;
    prop("1.5").AsPoint(x, y);
    prop("").AsPoint(x, y);
    EXPECT_FLOAT_EQ(x, 1.5f);
    EXPECT_FLOAT_EQ(y, 9.0f);
}

// Names in any case and unknown names in scripts are shown by the script tests.
TEST(PropertySet, ADuplicateNameIsLoggedAndTheFirstMemberKeepsIt)
{
    kbtest::LogCapture log;
    GUI::PropertySet s;
    Property first, other;
    s.AddProperty("Visible", &first);
    s.AddProperty("visible", &other);
    s.AddProperty("Nothing", nullptr);
    s.Set("VISIBLE", "0");
    EXPECT_EQ(log.messages(),
              (std::vector<std::string>{"PropertySet::AddProperty - property 'visible' already exists"}))
        << "a null member is ignored without a message";
    EXPECT_EQ(first.value, "0");
    EXPECT_TRUE(first.changed);
    EXPECT_FALSE(other.changed);
}
