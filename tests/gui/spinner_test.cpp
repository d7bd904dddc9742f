#include <gtest/gtest.h>

#include <cmath>

#include "gui/editbox.h"
#include "gui/spinner.h"
#include "gui_fixture.h"
#include "orvo/app/a_keys.h"
#include "text_kit.h"

using GUI::Spinner;
using kbtest::Entries;

namespace {

// A spinner 100 x 20 at 20, 20: its edit box, then its increment button above the decrement one.
class SpinnerTest : public kbtest::GuiTest {
protected:
    void init()
    {
        spin->Initialize();
        events.watch(spin, {Spinner::EventValueChanged});
    }
    static void pressButton(GUI::Widget* button) { button->OnMouseDown(GUI::MouseEventArgs{}); }

    Spinner* spin = add<Spinner>("spin", aRect(20, 20, 100, 20));
    GUI::Editbox* edit = add<GUI::Editbox>("spin_auto_editbox", aRect(0, 0, 80, 20), spin);
    GUI::Widget* inc = add("spin_auto_incbtn", aRect(80, 0, 20, 10), spin);
    GUI::Widget* dec = add("spin_auto_decbtn", aRect(80, 10, 20, 10), spin);
};

} // namespace

TEST_F(SpinnerTest, ButtonsReadTheEditBoxInEveryInputModeAndMissingPartsAreLogged)
{
    init();
    EXPECT_EQ(edit->GetText(), L"0") << "the value shows once the parts are bound";
    edit->SetText(L"100");
    pressButton(inc);
    pressButton(inc);
    EXPECT_FLOAT_EQ(spin->GetValue(), 100.0f);
    EXPECT_EQ(events.take(), (Entries{"spin:ValueChanged", "spin:ValueChanged"}))
        << "the unclamped 101 differs from the value every time";
    edit->SetText(L"250");
    pressButton(inc);
    EXPECT_EQ(edit->GetText(), L"100");

    edit->SetText(L"abc");
    pressButton(inc);
    EXPECT_FLOAT_EQ(spin->GetValue(), 1.0f);
    pressButton(dec);
    pressButton(dec);
    EXPECT_EQ(edit->GetText(), L"0");

    // A new step is announced.
    events.take();
    events.watch(spin, {Spinner::EventStepChanged});
    spin->SetStep(2.0f);
    EXPECT_EQ(events.take(), Entries{"spin:StepChanged"});
    spin->SetStep(1.0f);
    events.take();
    // Script limits, mode and value and hexadecimal steps are read by the gallery's spinner.
    spin->SetMaximum(1000.0f);
    spin->SetValue(497.0f);
    spin->SetInputMode(Spinner::MODE_FLOAT);
    EXPECT_EQ(edit->GetText(), L"497") << "a new mode rewrites the value";
    edit->SetText(L"0.1");
    pressButton(inc);
    EXPECT_EQ(edit->GetText(), L"1.1");

    spin->SetInputMode(Spinner::MODE_DECIMAL);
    spin->SetValue(-7.9f);
    EXPECT_EQ(edit->GetText(), L"0") << "clamped to the minimum";
    spin->SetMinimum(-100.0f);
    spin->SetValue(-7.9f);
    EXPECT_EQ(edit->GetText(), L"-7");
    edit->SetText(L"99999999999");
    EXPECT_FLOAT_EQ(spin->GetEditValue(), 2147483647.0f);
    spin->SetInputMode(7);
    EXPECT_EQ(edit->GetText(), L"");
    EXPECT_FLOAT_EQ(spin->GetEditValue(), 0.0f);

    // A spinner without its parts logs each and keeps working.
    auto* lonely = add<Spinner>("lonely", aRect());
    lonely->Initialize();
    for (const char* part : {"Editbox", "Increment button", "Decrement button"})
        EXPECT_TRUE(log.contains(std::string("Spinner::Initialize - ") + part + " for spinner 'lonely' not found"));
    EXPECT_FLOAT_EQ(lonely->GetEditValue(), 0.0f);
    lonely->SetValue(42.0f);
    lonely->SetValue(std::nan(""));
    EXPECT_FLOAT_EQ(lonely->GetValue(), 42.0f);
}

TEST_F(SpinnerTest, AHeldButtonRepeatsThroughTheServerAndTypingKeepsTheValue)
{
    init();
    server->InitializeWidgets();
    hover(105, 25);
    button(0, true);
    for (int i = 0; i < 30; ++i) // half a second
        frame();
    up();
    // One press, the first repeat at 0.3 s, then one about every 0.05 s.
    EXPECT_GE(spin->GetValue(), 4.0f);
    EXPECT_LE(spin->GetValue(), 7.0f);

    // The caret stays inside a text the spinner writes.
    const float before = spin->GetValue();
    server->SetFocus(edit);
    kbtest::typeText(*edit, "123");
    EXPECT_FLOAT_EQ(spin->GetValue(), before);
    spin->SetValue(1.0f);
    EXPECT_EQ(edit->GetText(), L"1");
    EXPECT_EQ(edit->GetCaret(), 1u);
}
