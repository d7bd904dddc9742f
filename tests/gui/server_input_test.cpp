#include <gtest/gtest.h>

#include "gui_fixture.h"

using GUI::Widget;
using kbtest::Entries;
using kbtest::FocusWidget;

namespace {

class Input : public kbtest::GuiTest {
protected:
    void SetUp() override { server->InitializeWidgets(); }
};

} // namespace

TEST_F(Input, APressGoesToTheWidgetUnderThePointerWhereItHappensWhichKeepsThePointerAndOneButtonCountsAtATime)
{
    Widget* a = add("A", aRect(0, 0, 100, 100));
    Widget* b = add("B", aRect(200, 0, 100, 100));
    for (Widget* w : {root(), a, b})
        events.watch(w, {Widget::EventMouseEnter, Widget::EventMouseLeave, Widget::EventMouseDown, Widget::EventMouseUp,
                         Widget::EventMouseMove, Widget::EventClick});

    hover(10, 10);
    EXPECT_EQ(events.take(), (Entries{"__root__:MouseEnter", "A:MouseEnter", "A:MouseMove"}));

    // Pressed in the frame that moves onto B: the press is B's, entered first;
    // the move came before the press, so it comes first and holds no button.
    moveTo(250, 10);
    down();
    EXPECT_EQ(events.take(), (Entries{"A:MouseLeave", "B:MouseEnter", "B:MouseMove", "B:MouseDown"}));
    EXPECT_EQ(events.mouse.back().x, 50) << "relative to B";
    EXPECT_EQ(events.mouse[events.mouse.size() - 2].button, GUI::BUTTON_NONE);
    EXPECT_EQ(server->GetHoverWidget(), b);

    // B keeps the pointer while the button is held, even over A.
    hover(10, 20);
    EXPECT_EQ(events.take(), (Entries{"B:MouseMove"}));

    // Released outside B: MouseUp but no Click; then the hover moves on.
    up();
    EXPECT_EQ(events.take(), (Entries{"B:MouseUp", "B:MouseLeave", "A:MouseEnter"}));
    hover(2000, 2000);
    EXPECT_EQ(events.take(), (Entries{"__root__:MouseLeave", "A:MouseLeave"})) << "outermost first";

    // From nowhere onto B and pressed at once, released there: a click of B.
    moveTo(250, 50);
    down();
    up();
    EXPECT_EQ(events.take(), (Entries{"__root__:MouseEnter", "B:MouseEnter", "B:MouseMove", "B:MouseDown", "B:MouseUp",
                                      "B:Click"}));
    // From B off everything and pressed at once: nobody is pressed.
    moveTo(2000, 2000);
    down();
    EXPECT_EQ(events.take(), (Entries{"__root__:MouseLeave", "B:MouseLeave"}));
    up();
    // Onto a disabled widget and pressed at once: nobody, not even the widget left behind.
    hover(10, 10);
    events.take();
    b->SetEnabled(false);
    moveTo(250, 10);
    down();
    up();
    EXPECT_EQ(events.take(), (Entries{"__root__:MouseLeave", "A:MouseLeave"}));
    b->SetEnabled(true);
    hover(2000, 2000);
    events.take();

    // One button at a time: left and right go down together, right up; right down as left goes up; right up.
    hover(10, 10);
    events.take();
    events.mouse.clear();
    button(0, true);
    down(1);
    up(1);
    button(1, true);
    up();
    frame();
    up(1);
    EXPECT_EQ(events.take(), (Entries{"A:MouseDown", "A:MouseUp", "A:Click", "A:MouseDown", "A:MouseUp"}));
    std::vector<uint32_t> buttons;
    for (const auto& m : events.mouse)
        buttons.push_back(m.button);
    EXPECT_EQ(buttons, (std::vector<uint32_t>{0, 0, 0, 1, 1}));
}

// A screen that reads the mouse itself before the frame step brings the hover
// up to the pointer first; a held button keeps it on the pressed widget.
TEST_F(Input, RefreshHoverFollowsThePointerBeforeTheFrameStepUnlessAButtonHoldsIt)
{
    Widget* a = add("A", aRect(0, 0, 100, 100));
    Widget* b = add("B", aRect(200, 0, 100, 100));
    for (Widget* w : {a, b})
        events.watch(w, {Widget::EventMouseEnter, Widget::EventMouseLeave, Widget::EventMouseDown});
    hover(10, 10);
    events.take();
    const auto pollOnly = [this](int32_t x, int32_t y) {
        moveTo(x, y);
        rig.inputServer->update();
        server->RefreshHover();
    };
    pollOnly(250, 10);
    EXPECT_EQ(events.take(), (Entries{"A:MouseLeave", "B:MouseEnter"}));
    EXPECT_EQ(server->GetHoverWidget(), b);
    frame();
    EXPECT_TRUE(events.take().empty()) << "the frame step finds the hover where it is";
    down();
    pollOnly(10, 10);
    EXPECT_EQ(server->GetHoverWidget(), b);
    EXPECT_EQ(events.take(), (Entries{"B:MouseDown"}));
    up();
}

TEST_F(Input, HoverChainsSkipTheirCommonAncestors)
{
    Widget* panelA = add("PanelA", aRect(0, 0, 300, 300));
    Widget* buttonA = add("ButtonA", aRect(10, 10, 50, 50), panelA);
    Widget* otherA = add("OtherA", aRect(100, 10, 50, 50), panelA);
    Widget* panelB = add("PanelB", aRect(400, 0, 300, 300));
    Widget* buttonB = add("ButtonB", aRect(10, 10, 50, 50), panelB);
    for (Widget* w : {root(), panelA, buttonA, otherA, panelB, buttonB})
        events.watch(w, {Widget::EventMouseEnter, Widget::EventMouseLeave});

    hover(20, 20);
    EXPECT_EQ(events.take(), (Entries{"__root__:MouseEnter", "PanelA:MouseEnter", "ButtonA:MouseEnter"}));
    hover(120, 20);
    EXPECT_EQ(events.take(), (Entries{"ButtonA:MouseLeave", "OtherA:MouseEnter"}));
    hover(420, 20);
    EXPECT_EQ(events.take(),
              (Entries{"PanelA:MouseLeave", "OtherA:MouseLeave", "PanelB:MouseEnter", "ButtonB:MouseEnter"}));

    // A disabled widget under the pointer is no hover widget, and its parent gets nothing for it.
    buttonB->SetEnabled(false);
    frame();
    EXPECT_EQ(events.take(), (Entries{"__root__:MouseLeave", "PanelB:MouseLeave", "ButtonB:MouseLeave"}));
    EXPECT_EQ(server->GetHoverWidget(), nullptr);
}

TEST_F(Input, KeysGoToTheFocusWhichOnlyFocusableWidgetsTakeAndHotKeysComeFirst)
{
    auto* edit = add<FocusWidget>("Edit", aRect(0, 0, 100, 100));
    auto* second = add<FocusWidget>("Second", aRect(300, 0, 10, 10));
    Widget* save = add("Save", aRect(200, 0, 100, 100));
    set(save, {"Hotkey ctrl|s"});
    for (Widget* w : {static_cast<Widget*>(edit), static_cast<Widget*>(second), save})
        events.watch(w, {Widget::EventKeyDown, Widget::EventKeyUp, Widget::EventFocusGain, Widget::EventFocusLost,
                         Widget::EventClick});

    // Clicks focus only focusable widgets.
    click(10, 10);
    EXPECT_EQ(events.take(), (Entries{"Edit:FocusGain", "Edit:Click"}));
    click(210, 10);
    EXPECT_EQ(events.take(), (Entries{"Save:Click"}));
    EXPECT_EQ(server->GetFocusWidget(), edit) << "a widget that cannot take the focus leaves it";
    server->SetFocus(edit);
    EXPECT_EQ(events.take(), (Entries{"Edit:FocusLost", "Edit:FocusGain"})) << "focusing the focus widget again";

    // A held key is new to the next focus; a disabled focus widget hears nothing.
    keyDown(A_KEY_A);
    frame();
    EXPECT_EQ(events.take(), (Entries{"Edit:KeyDown"}));
    server->SetFocus(second);
    frame();
    EXPECT_EQ(events.take(), (Entries{"Edit:FocusLost", "Second:FocusGain", "Second:KeyDown"}));
    keyUp(A_KEY_A);
    EXPECT_EQ(events.take(), (Entries{"Second:KeyUp"}));
    second->SetEnabled(false);
    keyDown(A_KEY_B);
    keyUp(A_KEY_B);
    EXPECT_TRUE(events.take().empty());

    // Hot keys come before the focus and need exact modifiers.
    server->SetFocus(edit);
    events.take();
    key(A_KEY_LCONTROL, true);
    keyDown(A_KEY_S);
    EXPECT_EQ(events.take(), (Entries{"Edit:KeyDown", "Save:Click"}));
    keyUp(A_KEY_S);
    EXPECT_EQ(events.take(), (Entries{"Edit:KeyUp"}));
    keyDown(A_KEY_RSHIFT);
    keyDown(A_KEY_S);
    EXPECT_EQ(events.take(), (Entries{"Edit:KeyDown", "Edit:KeyDown"})) << "ctrl and shift: not the hot key";
    for (uint8_t k : {A_KEY_S, A_KEY_RSHIFT, A_KEY_LCONTROL})
        keyUp(k);

    // Keys pressed while a button is held count once it is released.
    hover(10, 10);
    events.take();
    button(0, true);
    keyDown(A_KEY_Z);
    frame();
    EXPECT_EQ(events.take(), (Entries{"Edit:FocusLost", "Edit:FocusGain"})) << "the press focuses again; no key yet";
    up();
    frame();
    EXPECT_EQ(events.take(), (Entries{"Edit:Click", "Edit:KeyDown"}));
    keyUp(A_KEY_Z);

    // A handler may delete the focus widget while the server dispatches.
    save->SubscribeEvent(Widget::EventMouseDown, new kbtest::Call([&](const auto&) {
                             delete std::exchange(edit, nullptr);
                             return true;
                         }));
    hover(210, 10);
    button(0, true);
    keyDown(A_KEY_A);
    up();
    frame();
    EXPECT_EQ(server->GetFocusWidget(), nullptr);
    EXPECT_EQ(root()->FindChild("Edit"), nullptr);
}

TEST_F(Input, KeysRepeatAtMostOnceAFrameAndAHeldButtonOnlyOverItsWidget)
{
    server->SetFocus(add<FocusWidget>("Edit", aRect(0, 0, 10, 10)));
    events.watch(server->GetFocusWidget(), {Widget::EventKeyDown});
    const float dt = 1.0f / 60.0f;

    key(A_KEY_BACKSPACE, true);
    // The timer runs from the press frame; the first repeat comes once it reaches the delay of 0.3 s.
    int expectedFirst = 0;
    for (float t = 0.0f; t < 0.3f; t += dt)
        ++expectedFirst;
    std::vector<int> framesWithRepeat;
    for (int f = 0; f < 60; ++f) {
        const size_t before = events.entries.size();
        frame(dt);
        const size_t fired = events.entries.size() - before;
        ASSERT_LE(fired, 1u) << "frame " << f;
        if (fired && f > 0)
            framesWithRepeat.push_back(f);
    }
    ASSERT_FALSE(framesWithRepeat.empty());
    EXPECT_EQ(framesWithRepeat.front(), expectedFirst - 1);
    // One second held: the press plus about one repeat per 0.05 s after the delay.
    EXPECT_GE(framesWithRepeat.size(), 13u);
    EXPECT_LE(framesWithRepeat.size(), 15u);

    // Long frames still give one repeat each.
    events.take();
    for (int f = 0; f < 5; ++f)
        frame(0.5f);
    EXPECT_EQ(events.take().size(), 5u);
    key(A_KEY_BACKSPACE, false);
    frame(0.5f);
    frame(0.5f);
    EXPECT_TRUE(events.take().empty());

    // A held button repeats only over its widget.
    Widget* arrow = add("Arrow", aRect(0, 0, 20, 20));
    set(arrow, {"MouseAutoRepeat 1", "AutoRepeatDelay 0.2", "AutoRepeatRate 0.1"});
    events.watch(arrow, {Widget::EventMouseDown});
    hover(5, 5);
    button(0, true);
    for (float dt : {0.1f, 0.1f, 0.05f, 0.05f}) // the press; the first repeat at 0.2; the second 0.1 later
        frame(dt);
    EXPECT_EQ(events.take().size(), 3u);

    moveTo(50, 5); // still captured, but outside
    frame(0.1f);
    frame(0.1f);
    EXPECT_TRUE(events.take().empty());
    moveTo(5, 5);
    frame(0.1f);
    EXPECT_EQ(events.take().size(), 1u);
}

TEST_F(Input, WheelAndModifiers)
{
    Widget* w = add("W", aRect(0, 0, 100, 100));
    events.watch(w, {Widget::EventMouseWheel});
    hover(10, 10);
    rig.keys->addWheel(-240);
    frame();
    ASSERT_EQ(events.take(), (Entries{"W:MouseWheel"}));
    EXPECT_FLOAT_EQ(events.mouse.back().wheel, -2.0f);

    key(A_KEY_RSHIFT, true), key(A_KEY_RALT, true);
    rig.keys->setLockStates(A_LOCK_CAPS | A_LOCK_SCROLL);
    frame();
    EXPECT_EQ(server->GetModifiers(),
              uint32_t(GUI::MOD_SHIFT | GUI::MOD_ALT | GUI::MOD_CAPSLOCK | GUI::MOD_SCROLLLOCK));
    rig.keys->setLockStates(A_LOCK_NUM);
    keyDown(A_KEY_RCONTROL);
    EXPECT_EQ(server->GetModifiers(), uint32_t(GUI::MOD_SHIFT | GUI::MOD_CTRL | GUI::MOD_ALT | GUI::MOD_NUMLOCK));
    // Caps lock turns letters only, either way.
    using GUI::MOD_CAPSLOCK, GUI::MOD_SHIFT;
    EXPECT_EQ(GUI::Server::KeyToChar(A_KEY_A, MOD_CAPSLOCK), 'A');
    EXPECT_EQ(GUI::Server::KeyToChar(A_KEY_A, MOD_SHIFT | MOD_CAPSLOCK), 'a');
    EXPECT_EQ(GUI::Server::KeyToChar(A_KEY_1, MOD_SHIFT | MOD_CAPSLOCK), '!');
}
