#include <gtest/gtest.h>

#include <thread>

#include "gui_fixture.h"
#include "orvo/app/a_localeserver.h"
#include "orvo/platform/a_system.h"
#include "orvo/sound/a_soundlibrary.h"

using GUI::Widget;
using kbtest::Entries;

namespace {

// Reaches what no public operation sets.
class Limited : public Widget {
public:
    Limited(const std::string& name, uint16_t minW, uint16_t minH, uint16_t maxW, uint16_t maxH) : Widget(name)
    {
        m_minWidth = minW;
        m_minHeight = minH;
        m_maxWidth = maxW;
        m_maxHeight = maxH;
    }
};

class WidgetTest : public kbtest::GuiTest {};

} // namespace

TEST_F(WidgetTest, NewWidgetDefaults)
{
    Widget w("w");
    EXPECT_EQ(w.GetArea(), aRect(0, 0, 1, 1));
    EXPECT_TRUE(w.IsVisible());
    EXPECT_TRUE(w.IsEnabled());
    EXPECT_FALSE(w.IsFocusable());
    EXPECT_FALSE(w.IsStatic());
    EXPECT_STREQ(w.GetType(), "Widget");
    EXPECT_FALSE(w.IsKindOf("Widget"));
    EXPECT_EQ(w.GetCursorName(), "default");
    EXPECT_FLOAT_EQ(w.GetAlpha(), 1.0f);
    EXPECT_FLOAT_EQ(w.GetFontSize(), 1.0f);
    EXPECT_FLOAT_EQ(w.GetAutoRepeatDelay(), 0.3f);
    EXPECT_FLOAT_EQ(w.GetAutoRepeatRate(), 0.05f);
    // Clipped by its parent: a child reaching out of its parent is not hit outside it.
    Widget* parent = add("parent", aRect(0, 0, 10, 10));
    add("child", aRect(5, 5, 20, 20), parent);
    EXPECT_EQ(root()->HitTestTree(15, 15, true, true), nullptr);
}

TEST_F(WidgetTest, ScriptRectanglesIgnoreTheSizeLimitsWhileSetAreaAppliesThem)
{
    auto* w = new Limited("w", 20, 10, 100, 50);
    root()->AddChild(w);
    w->Set("AreaRect", "5 6 0 0");
    w->EndFillProperties();
    EXPECT_EQ(w->GetArea(), aRect(5, 6, 0, 0));

    events.watch(w, {Widget::EventMoved, Widget::EventSized});
    w->SetSize(0, 0);
    EXPECT_EQ(w->GetArea(), aRect(5, 6, 20, 10));
    w->SetSize(500, 500);
    EXPECT_EQ(w->GetArea(), aRect(5, 6, 100, 50));
    EXPECT_EQ(events.take(), (Entries{"w:Sized", "w:Sized"}));

    w->SetArea(1, 1, 30, 30);
    EXPECT_EQ(events.take(), (Entries{"w:Moved", "w:Sized"}));
    w->SetArea(aRect(1, 1, 30, 30));
    w->SetWidth(30);
    EXPECT_TRUE(events.take().empty()) << "no change, no event";
}

TEST_F(WidgetTest, SettersFireOnlyOnAChangeExceptSetFontAndSetText)
{
    Widget* w = add("w", aRect(0, 0, 10, 10));
    events.watchAll(w);
    w->SetVisible(true);
    w->SetEnabled(true);
    w->SetFontSize(1.0f);
    EXPECT_TRUE(events.take().empty());

    w->SetFont(nullptr);
    w->SetFont(nullptr);
    w->SetText(L"a");
    w->SetText(L"a");
    w->SetVisible(false);
    w->SetEnabled(false);
    w->SetEnabled(true);
    EXPECT_EQ(events.take(), (Entries{"w:FontChanged", "w:FontChanged", "w:TextChanged", "w:TextChanged", "w:Hide",
                                      "w:Disabled", "w:Enabled"}));
}

TEST_F(WidgetTest, ScriptPropertiesApplyInTheirFixedOrder)
{
    Widget* w = add("w", aRect(0, 0, 10, 10));
    events.watchAll(w);
    w->ClearChangedFlags();
    for (auto [name, value] : std::vector<std::pair<const char*, const char*>>{{"Visible", "0"},
                                                                               {"Enabled", "0"},
                                                                               {"Text", "caf\xC3\xA9"},
                                                                               {"FontSize", "2"},
                                                                               {"Font", "arial14"},
                                                                               {"HorizontalAlign", "RIGHT"},
                                                                               {"VerticalAlign", "middle"},
                                                                               {"Tag", "0x20"},
                                                                               {"Cursor", "hand"},
                                                                               {"Hotkey", "ctrl|s"},
                                                                               {"Alpha", "0.5"},
                                                                               {"Parent", "anything"}})
        w->Set(name, value);
    w->EndFillProperties();

    EXPECT_EQ(events.take(), (Entries{"w:FontChanged", "w:FontChanged", "w:TextChanged", "w:Disabled", "w:Hide"}));
    EXPECT_EQ(w->GetText(), L"caf\u00e9");
    EXPECT_EQ(w->GetTag(), 32);
    EXPECT_EQ(w->GetCursorName(), "hand");
    EXPECT_EQ(w->GetHotkey(), 31u);
    EXPECT_EQ(w->GetHotkeyModifiers(), 2u);
    EXPECT_FLOAT_EQ(w->GetAlpha(true), 0.5f);
    EXPECT_EQ(w->GetXInParent(), 1024) << "right aligned in the root";
    EXPECT_EQ(w->GetYInParent(), 0) << "an unknown word means top";
    EXPECT_TRUE(log.contains("Server::GetFont - font 'arial14' not found!"));
}

TEST_F(WidgetTest, TextComesFromTheLocaleWhenItHoldsTheKey)
{
    kbtest::writeFile(dir.file("en.txt"), "title = \"Main menu\"\n");
    aLocaleServer locale;
    locale.load(dir.file("en.txt"));
    Widget* w = add("w", aRect(0, 0, 10, 10));
    w->Set("Text", "title");
    w->EndFillProperties();
    EXPECT_EQ(w->GetText(), L"Main menu");
    w->Set("Text", "not a key");
    w->EndFillProperties();
    EXPECT_EQ(w->GetText(), L"not a key");
}

TEST_F(WidgetTest, AnchorsPlaceChildrenInsideTheirParent)
{
    Widget* panel = add("panel", aRect(100, 50, 800, 600));
    Widget* right = add("right", aRect(-100, 0, 50, 50), panel);
    right->SetHorizontalAlign(GUI::HA_RIGHT);
    Widget* centre = add("centre", aRect(-10, -10, 20, 20), panel);
    centre->SetHorizontalAlign(GUI::HA_CENTER);
    centre->SetVerticalAlign(GUI::VA_CENTER);
    Widget* bottom = add("bottom", aRect(0, -30, 10, 30), panel);
    bottom->SetVerticalAlign(GUI::VA_BOTTOM);
    Widget* inner = add("inner", aRect(5, 5, 1, 1), right);

    EXPECT_EQ(right->GetXInParent(), 700);
    EXPECT_EQ(right->GetAbsoluteX(), 800);
    EXPECT_EQ(centre->GetAbsoluteRect(), aRect(490, 340, 20, 20));
    EXPECT_EQ(bottom->GetAbsoluteY(), 620);
    EXPECT_EQ(inner->GetAbsoluteX(), 805);
    EXPECT_EQ(inner->GetAbsoluteY(), 55);
}

TEST_F(WidgetTest, AncestorsDecideVisibilityEnablingAlphaAndFont)
{
    Widget* panel = add("panel", aRect(0, 0, 100, 100));
    Widget* child = add("child", aRect(0, 0, 10, 10), panel);
    panel->SetVisible(false);
    panel->SetEnabled(false);
    EXPECT_FALSE(child->IsVisible());
    EXPECT_TRUE(child->IsVisible(true));
    EXPECT_FALSE(child->IsEnabled());
    EXPECT_TRUE(child->IsEnabled(true));

    panel->SetAlpha(0.5f);
    child->SetAlpha(0.5f);
    EXPECT_FLOAT_EQ(child->GetAlpha(), 0.25f);
    EXPECT_FLOAT_EQ(child->GetAlpha(true), 0.5f);
    child->Set("InheritsAlpha", "0");
    child->EndFillProperties();
    EXPECT_FLOAT_EQ(child->GetAlpha(), 0.5f);

    auto* font = reinterpret_cast<aFont*>(0x1000); // compared, never used
    panel->SetFont(font);
    panel->SetFontSize(3.0f);
    child->SetFontSize(0.0f);
    EXPECT_EQ(child->GetFont(), font);
    EXPECT_EQ(child->GetFont(true), nullptr);
    EXPECT_FLOAT_EQ(child->GetFontSize(), 3.0f) << "0 means the parent's size";
    child->SetFontSize(-12.0f);
    EXPECT_FLOAT_EQ(child->GetFontSize(), -12.0f) << "a negative size is the widget's own";
    panel->SetFontSize(0.0f);
    root()->SetFontSize(0.0f);
    child->SetFontSize(0.0f);
    EXPECT_FLOAT_EQ(child->GetFontSize(), 0.0f);
}

TEST_F(WidgetTest, ZOrderKeepsAlwaysOnTopWidgetsAbove)
{
    Widget* a = add("a", aRect(0, 0, 1, 1));
    Widget* top = new Widget("top");
    top->Set("AlwaysOnTop", "1");
    top->EndFillProperties();
    root()->AddChild(top);
    Widget* b = add("b", aRect(0, 0, 1, 1));
    EXPECT_EQ(root()->GetZOrder(), (std::vector<Widget*>{a, b, top}));

    a->BringToFront();
    EXPECT_EQ(root()->GetZOrder(), (std::vector<Widget*>{b, a, top}));

    Widget* top2 = new Widget("top2");
    top2->Set("AlwaysOnTop", "1");
    top2->EndFillProperties();
    root()->AddChild(top2);
    root()->RemoveFromZOrder(top2);
    root()->InsertIntoZOrder(top2, true);
    EXPECT_EQ(root()->GetZOrder(), (std::vector<Widget*>{b, a, top2, top}));
    root()->RemoveFromZOrder(b);
    root()->InsertIntoZOrder(b, true);
    EXPECT_EQ(root()->GetZOrder().front(), b);
    EXPECT_EQ(root()->GetChildren(), (std::vector<Widget*>{a, top, b, top2})) << "children keep adoption order";
}

TEST_F(WidgetTest, RiseToFrontRaisesTheAncestorsThatAskForIt)
{
    Widget* p1 = add("p1", aRect(0, 0, 1, 1));
    Widget* p2 = add("p2", aRect(0, 0, 1, 1));
    Widget* c1 = add("c1", aRect(0, 0, 1, 1), p1);
    Widget* c2 = add("c2", aRect(0, 0, 1, 1), p1);
    p1->Set("RiseOnClick", "1");
    p1->EndFillProperties();
    c1->RiseToFront();
    EXPECT_EQ(root()->GetZOrder(), (std::vector<Widget*>{p2, p1}));
    EXPECT_EQ(p1->GetZOrder(), (std::vector<Widget*>{c1, c2})) << "c1 does not rise on click";
}

TEST_F(WidgetTest, ChildrenGoWithTheirParentAndLeaveItWhenDeleted)
{
    Widget* panel = add("panel", aRect(0, 0, 10, 10));
    Widget* kept = add("kept", aRect(0, 0, 1, 1), panel);
    kept->SetDeleteWithParent(false);
    Widget* doomed = add("doomed", aRect(0, 0, 1, 1), panel);
    Widget* grandchild = add("grandchild", aRect(0, 0, 1, 1), doomed);
    (void)grandchild;

    delete doomed;
    EXPECT_EQ(panel->GetChildren(), (std::vector<Widget*>{kept}));
    EXPECT_EQ(panel->GetZOrder(), (std::vector<Widget*>{kept}));

    delete panel;
    EXPECT_TRUE(root()->GetChildren().empty());
    EXPECT_EQ(kept->GetParent(), nullptr) << "a widget that does not go with its parent is let go";
    delete kept;
}

TEST_F(WidgetTest, TreeOperations)
{
    Widget* a = add("Alpha", aRect(0, 0, 1, 1));
    Widget* a1 = add("a1", aRect(0, 0, 1, 1), a);
    Widget* b = add("Beta", aRect(0, 0, 1, 1));
    Widget* target = add("target", aRect(0, 0, 1, 1), a1);
    Widget* second = add("TARGET", aRect(0, 0, 1, 1), b);

    EXPECT_EQ(root()->FindChild("alpha"), a);
    EXPECT_EQ(root()->FindChild("a1"), nullptr);
    EXPECT_EQ(root()->FindChild("Target", true), target) << "depth first, in children order";
    EXPECT_EQ(b->FindChild("target", true), second);

    a1->SetParent(b);
    EXPECT_EQ(a1->GetParent(), b);
    EXPECT_TRUE(a->GetChildren().empty());
    a1->SetParent(nullptr);
    EXPECT_EQ(a1->GetParent(), nullptr);
    EXPECT_EQ(b->GetChildren(), (std::vector<Widget*>{second}));

    // A widget cannot adopt itself or one of its ancestors.
    a1->AddChild(a1);
    target->AddChild(a1);
    EXPECT_EQ(a1->GetParent(), nullptr);
    EXPECT_TRUE(log.contains("Widget::AddChild - 'a1' cannot become a child of 'target'"));
    root()->AddChild(a1);
    EXPECT_EQ(a1->GetParent(), root());
}

TEST_F(WidgetTest, SetTextFFormatsIntoItsOwnBoundedBuffer)
{
    Widget* w = add("w", aRect(0, 0, 1, 1));
    w->SetTextF(L"%d coins, %ls", 12, L"well done");
    EXPECT_EQ(w->GetText(), L"12 coins, well done");

    const std::wstring longText(5000, L'x');
    w->SetTextF(L"%ls", longText.c_str());
    EXPECT_EQ(w->GetText(), std::wstring(Widget::TEXTF_BUFFER - 1, L'x'));

    // Two threads formatting into different widgets never see each other's text.
    Widget* other = add("other", aRect(0, 0, 1, 1));
    bool mixed = false;
    std::thread t([&] {
        for (int i = 0; i < 2000; ++i) {
            other->SetTextF(L"other %d", i);
            if (other->GetText() != L"other " + std::to_wstring(i))
                mixed = true;
        }
    });
    for (int i = 0; i < 2000; ++i) {
        w->SetTextF(L"mine %d", i);
        if (w->GetText() != L"mine " + std::to_wstring(i))
            mixed = true;
    }
    t.join();
    EXPECT_FALSE(mixed);
}

TEST_F(WidgetTest, HoverFadeFollowsTheFadeTimes)
{
    Widget* w = add("w", aRect(0, 0, 10, 10));
    w->Set("FadeInTime", "0.5");
    w->Set("FadeOutTime", "0");
    w->EndFillProperties();
    w->OnMouseEnter(GUI::WidgetEventArgs(w));
    w->UpdateSelf(0.25f);
    EXPECT_FLOAT_EQ(w->GetHoverFade(), 0.5f);
    w->UpdateSelf(1.0f);
    EXPECT_FLOAT_EQ(w->GetHoverFade(), 1.0f);
    w->OnMouseLeave(GUI::WidgetEventArgs(w));
    w->UpdateSelf(0.01f);
    EXPECT_FLOAT_EQ(w->GetHoverFade(), 0.0f) << "a fade-out time of 0 drops at once";
}

TEST_F(WidgetTest, MultiClicksCountPressesWithinTheTime)
{
    Widget* w = add("w", aRect(0, 0, 10, 10));
    w->Set("MultiClick", "1");
    w->Set("MultiClickTime", "0.5");
    w->EndFillProperties();
    events.watch(w, {Widget::EventClick, Widget::EventDoubleClick, Widget::EventTripleClick});
    GUI::MouseEventArgs inside;
    inside.widget = w;
    inside.x = inside.y = 5;

    auto click = [&] {
        w->OnMouseDown(inside);
        w->OnMouseUp(inside);
        w->Update(0.3f);
    };
    click();
    click();
    click();
    click();
    EXPECT_EQ(events.take(), (Entries{"w:Click", "w:DoubleClick", "w:TripleClick", "w:Click"}));

    w->Update(0.6f);
    click();
    w->Update(0.6f);
    click();
    EXPECT_EQ(events.take(), (Entries{"w:Click", "w:Click"})) << "too slow for a double click";

    w->Update(1.0f);
    w->OnMouseDown(inside);
    w->OnMouseMove(inside);
    w->OnMouseDown(inside);
    EXPECT_TRUE(events.take().empty()) << "a move in between ends the multi-click";

    GUI::MouseEventArgs outside = inside;
    outside.x = 50;
    w->Update(1.0f);
    w->OnMouseDown(inside);
    w->OnMouseUp(outside);
    EXPECT_TRUE(events.take().empty()) << "released outside: no click";

    w->Set("MultiClick", "0");
    w->EndFillProperties();
    click();
    click();
    EXPECT_EQ(events.take(), (Entries{"w:Click", "w:Click"}));
}

TEST_F(WidgetTest, RenderClipsChildrenToTheirParent)
{
    Widget* panel = add("panel", aRect(100, 100, 200, 200));
    Widget* clipped = add("clipped", aRect(0, 0, 10, 10), panel);
    Widget* free = add("free", aRect(0, 0, 10, 10), panel);
    free->Set("ClipByParent", "0");
    Widget* hidden = add("hidden", aRect(0, 0, 10, 10), panel);
    Widget* underHidden = add("underHidden", aRect(0, 0, 10, 10), hidden);
    hidden->SetVisible(false);

    std::vector<aRect> seen;
    struct Spy {
        std::vector<aRect>* seen;
        aGraphServer* graph;
        bool on(const GUI::EventArgs&)
        {
            seen->push_back(graph->getViewport());
            return false;
        }
    } spy{&seen, rig.graph.get()};
    for (Widget* w : {clipped, free, underHidden}) {
        w->Set("NotifyRender", "1");
        w->EndFillProperties();
        w->SubscribeEvent(Widget::EventBeginRender,
                          new GUI::_memberBinder<Spy, bool, const GUI::EventArgs&>(&spy, &Spy::on));
    }

    const aRect screen(0, 0, 1024, 768);
    rig.graph->setViewport(screen);
    server->Render();
    EXPECT_EQ(seen, (std::vector<aRect>{aRect(100, 100, 200, 200), screen})) << "the hidden subtree is not drawn";
    EXPECT_EQ(rig.graph->getViewport(), screen) << "the viewport is put back";

    // A parent wholly outside the outer clip gives an empty viewport.
    seen.clear();
    panel->SetPosition(2000, 0);
    free->SetVisible(false);
    server->Render();
    EXPECT_EQ(seen, (std::vector<aRect>{aRect(0, 0, 0, 0)}));
    EXPECT_EQ(rig.graph->getViewport(), screen);
}

TEST_F(WidgetTest, DeletedWidgetsAreForgottenByTheServer)
{
    auto* w = new kbtest::FocusWidget("w");
    root()->AddChild(w);
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

namespace {

class Sounded : public Widget {
public:
    using Widget::Widget;
    aSound* click() const { return m_clickSound; }
    aSound* move() const { return m_moveSound; }
};

// A short 16-bit mono PCM WAV file.
std::string tinyWav()
{
    const uint32_t samples = 64;
    std::string b = "RIFF";
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b += static_cast<char>(v >> (8 * i));
    };
    auto put16 = [&](uint16_t v) {
        b += static_cast<char>(v);
        b += static_cast<char>(v >> 8);
    };
    put32(36 + samples * 2);
    b += "WAVEfmt ";
    put32(16);
    put16(1);
    put16(1);
    put32(44100);
    put32(44100 * 2);
    put16(2);
    put16(16);
    b += "data";
    put32(samples * 2);
    b += std::string(samples * 2, '\0');
    return b;
}

} // namespace

TEST_F(WidgetTest, EveryWidgetPlaysItsOwnCopyOfItsSoundsAndGivesThemBack)
{
    kbtest::writeFile(dir.file("click.wav"), tinyWav());
    sounds.loadItem(dir.path() + "/", "click.wav 1.0", "");
    ASSERT_TRUE(sounds.hasSound("click"));

    auto* w = new Sounded("w");
    root()->AddChild(w);
    w->Set("SoundClick", "click");
    w->Set("SoundMove", "click");
    w->EndFillProperties();
    aSound* click = w->click();
    aSound* move = w->move();
    ASSERT_TRUE(click && move);
    EXPECT_NE(click, move);
    EXPECT_NE(click, sounds.getSound("click"));

    // Addresses may be reused, so the live sound objects are counted instead.
    const int live = sound_libraryLiveObjects();
    w->SetClickSound("click");
    EXPECT_NE(w->click(), nullptr);
    EXPECT_EQ(sound_libraryLiveObjects(), live) << "the replaced copy was given back";

    w->SetClickSound("missing");
    EXPECT_EQ(w->click(), nullptr);
    EXPECT_TRUE(log.contains("Server::NewSound - sound 'missing' not found!"));
    EXPECT_EQ(sound_libraryLiveObjects(), live - 1);

    delete w;
    EXPECT_EQ(sound_libraryLiveObjects(), live - 2) << "the widget gave its copies back when it went";
}
