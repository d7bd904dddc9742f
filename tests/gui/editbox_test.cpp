#include <gtest/gtest.h>

#include "gui/clipboard.h"
#include "gui/cyrillickey.h"
#include "gui/editbox.h"
#include "gui_fixture.h"
#include "orvo/app/a_keys.h"
#include "text_kit.h"

using GUI::Editbox;
using GUI::MOD_CTRL;
using GUI::MOD_SHIFT;
using kbtest::Entries;
using kbtest::press;
using kbtest::typeText;

namespace {

class EditboxTest : public kbtest::GuiTest {
protected:
    EditboxTest()
    {
        box = new Editbox("edit");
        root()->AddChild(box);
        box->SetArea(10, 10, 200, 20);
    }
    // Puts the box under the font and gives it the focus through the server.
    void useFont()
    {
        font = kbtest::fixedFont(dir);
        box->SetFont(font.get());
    }
    void setText(const wchar_t* text, uint32_t caret)
    {
        box->SetText(text);
        box->SetPosition(caret);
        box->SetSelection(caret, caret);
    }

    kbtest::ClipboardAndLayout fakes;
    std::unique_ptr<aFont> font;
    Editbox* box = nullptr;
};

} // namespace

TEST_F(EditboxTest, WordMovesAndWordDeletesTreatOnlyBlanksAsSeparators)
{
    setText(L"ab  cd", 6);
    press(*box, A_KEY_LEFT, MOD_CTRL);
    EXPECT_EQ(box->GetCaret(), 4u);
    press(*box, A_KEY_LEFT, MOD_CTRL);
    EXPECT_EQ(box->GetCaret(), 0u);
    press(*box, A_KEY_LEFT, MOD_CTRL);
    EXPECT_EQ(box->GetCaret(), 0u);
    press(*box, A_KEY_RIGHT, MOD_CTRL);
    EXPECT_EQ(box->GetCaret(), 4u);
    press(*box, A_KEY_RIGHT, MOD_CTRL);
    EXPECT_EQ(box->GetCaret(), 6u);

    press(*box, A_KEY_BACKSPACE, MOD_CTRL);
    EXPECT_EQ(box->GetText(), L"ab  ");
    EXPECT_EQ(box->GetCaret(), 4u);
    box->SetPosition(0);
    press(*box, A_KEY_DELETE, MOD_CTRL);
    EXPECT_EQ(box->GetText(), L"");
    setText(L"ab  cd", 0);
    press(*box, A_KEY_DELETE, MOD_CTRL);
    EXPECT_EQ(box->GetText(), L"cd");
}

TEST_F(EditboxTest, BackspaceAtTheStartAndDeleteAtTheEndFireNothing)
{
    setText(L"abc", 0);
    events.watch(box, {Editbox::EventTextChanged, Editbox::EventPositionChanged});
    press(*box, A_KEY_BACKSPACE);
    box->SetPosition(3);
    events.take();
    press(*box, A_KEY_DELETE);
    EXPECT_EQ(events.take(), Entries{});
    EXPECT_EQ(box->GetText(), L"abc");

    press(*box, A_KEY_BACKSPACE);
    EXPECT_EQ(box->GetText(), L"ab");
    EXPECT_EQ(events.take(), (Entries{"edit:PositionChanged", "edit:TextChanged"}));
}

TEST_F(EditboxTest, ShiftExtendsTheSelectionFromItsAnchor)
{
    setText(L"abcd", 4);
    press(*box, A_KEY_LEFT, MOD_SHIFT);
    press(*box, A_KEY_LEFT, MOD_SHIFT);
    EXPECT_EQ(box->GetSelectionStart(), 2u);
    EXPECT_EQ(box->GetSelectionEnd(), 4u);
    press(*box, A_KEY_RIGHT, MOD_SHIFT);
    EXPECT_EQ(box->GetSelectionStart(), 3u);
    EXPECT_EQ(box->GetSelectionEnd(), 4u);
    press(*box, A_KEY_LEFT);
    EXPECT_FALSE(box->HasSelection());
    EXPECT_EQ(box->GetCaret(), 2u);

    setText(L"abcd", 1);
    press(*box, A_KEY_END, MOD_SHIFT);
    EXPECT_EQ(box->GetSelectionStart(), 1u);
    EXPECT_EQ(box->GetSelectionEnd(), 4u);
    // The anchor stays at 1: Home selects what lies before it.
    press(*box, A_KEY_HOME, MOD_SHIFT);
    EXPECT_EQ(box->GetCaret(), 0u);
    EXPECT_EQ(box->GetSelectionStart(), 0u);
    EXPECT_EQ(box->GetSelectionEnd(), 1u);
}

TEST_F(EditboxTest, MaximumLengthRefusesTheNextCharacter)
{
    box->SetMaxLength(3);
    typeText(*box, "abcd");
    EXPECT_EQ(box->GetText(), L"abc");
    EXPECT_FALSE(box->InsertChar(L'x'));

    // Without a limit and without a font nothing stops typing.
    box->SetMaxLength(0);
    box->SetText(L"");
    for (int i = 0; i < 300; ++i)
        EXPECT_TRUE(box->InsertChar(L'z'));
    EXPECT_EQ(box->GetText().size(), 300u);
}

TEST_F(EditboxTest, WithoutMaximumLengthTheWidthLimitsTheText)
{
    useFont();
    box->SetWidth(40);
    // Text, caret and the new character must fit 40 pixels: four characters do.
    typeText(*box, "abcdef");
    EXPECT_EQ(box->GetText(), L"abcd");
}

TEST_F(EditboxTest, CaseRuleAndCharsetFilterTypedCharacters)
{
    box->SetCharCase(Editbox::CASE_UPPER);
    EXPECT_EQ(box->FilterChar(L'a'), L'A');
    EXPECT_EQ(box->FilterChar(0x0430), 0x0410);
    // Р..Я and р..я lie 0x20 apart too, though not by a single bit.
    EXPECT_EQ(box->FilterChar(0x044F), 0x042F);
    EXPECT_EQ(box->FilterChar(L'['), L'[');
    box->SetCharCase(Editbox::CASE_LOWER);
    EXPECT_EQ(box->FilterChar(L'Q'), L'q');
    EXPECT_EQ(box->FilterChar(0x0420), 0x0440);
    EXPECT_EQ(box->FilterChar(0x0401), 0x0401);

    box->SetCharCase(Editbox::CASE_AS_TYPED);
    // The default table: 32..127 and 192..253.
    EXPECT_EQ(box->FilterChar(31), 0);
    EXPECT_EQ(box->FilterChar(127), 127);
    EXPECT_EQ(box->FilterChar(253), 253);
    EXPECT_EQ(box->FilterChar(254), 0);

    box->Set("Charset", "0123456789");
    box->Set("CharCase", "UPPER");
    box->EndFillProperties();
    EXPECT_EQ(box->FilterChar(L'a'), 0);
    EXPECT_EQ(box->FilterChar(L'7'), L'7');
    EXPECT_EQ(box->FilterChar(0x0416), 0x0416);
    EXPECT_EQ(box->FilterChar(0x0436), 0x0416);
}

TEST_F(EditboxTest, CyrillicLettersComeFromUsKeysOnAnotherLayout)
{
    box->SetAllowCyrillic(true);
    press(*box, A_KEY_Q, MOD_SHIFT);
    EXPECT_EQ(box->GetText(), L"Q") << "a US English layout types the key's own character";

    box->SetText(L"");
    keyboard_setLayoutName("00000419");
    events.watch(box, {Editbox::EventKeyDown});
    press(*box, A_KEY_Q, MOD_SHIFT);
    press(*box, A_KEY_GRAVE, MOD_SHIFT);
    press(*box, A_KEY_Q);
    EXPECT_EQ(box->GetText(), std::wstring({wchar_t(0x0419), wchar_t(0x0401), wchar_t(0x0439)}));
    ASSERT_EQ(events.keys.size(), 3u);
    EXPECT_EQ(static_cast<uint8_t>(events.keys[0].character), 0xC9) << "KeyDown carries the mapped character";

    box->SetAllowCyrillic(false);
    box->SetText(L"");
    press(*box, A_KEY_Q);
    EXPECT_EQ(box->GetText(), L"q");
    EXPECT_EQ(GUI::MapCyrillicKey('1'), '1');
    EXPECT_EQ(static_cast<uint8_t>(GUI::MapCyrillicKey('?')), 0x2C);
}

TEST_F(EditboxTest, ClipboardKeysNeedCopyAndPasteAllowed)
{
    setText(L"abc", 3);
    press(*box, A_KEY_V, MOD_CTRL);
    EXPECT_EQ(box->GetText(), L"abcv");

    box->SetAllowCopyPaste(true);
    press(*box, A_KEY_A, MOD_CTRL);
    EXPECT_EQ(box->GetSelectionStart(), 0u);
    EXPECT_EQ(box->GetSelectionEnd(), 4u);
    EXPECT_EQ(box->GetCaret(), 4u);
    press(*box, A_KEY_LEFT, MOD_SHIFT);
    press(*box, A_KEY_C, MOD_CTRL);
    EXPECT_EQ(GUI::Clipboard::GetText(), L"abc");
    press(*box, A_KEY_X, MOD_CTRL);
    EXPECT_EQ(box->GetText(), L"v");
    EXPECT_EQ(box->GetCaret(), 0u);
    press(*box, A_KEY_V, MOD_CTRL);
    press(*box, A_KEY_V, MOD_CTRL);
    EXPECT_EQ(box->GetText(), L"abcabcv");
}

TEST_F(EditboxTest, CutWithoutSelectionLeavesTextAndClipboardAlone)
{
    box->SetAllowCopyPaste(true);
    GUI::Clipboard::SetUnicodeText(L"kept");
    setText(L"one two", 0);
    press(*box, A_KEY_X, MOD_CTRL);
    EXPECT_EQ(box->GetText(), L"one two");
    EXPECT_EQ(GUI::Clipboard::GetText(), L"kept");
}

TEST_F(EditboxTest, PasteStopsWhenFullButNotAtFilteredCharacters)
{
    box->SetAllowCopyPaste(true);
    box->SetCharset("abc");
    box->SetMaxLength(2);
    GUI::Clipboard::SetUnicodeText(L"1a2b3c");
    press(*box, A_KEY_V, MOD_CTRL);
    EXPECT_EQ(box->GetText(), L"ab");

    // Windows-1251 text on the clipboard is converted.
    box->SetMaxLength(0);
    box->SetCharset(std::string("\xC6\xE8", 2));
    box->SetText(L"");
    clipboard_setData(A_CF_TEXT, "\xC6\xE8\0", 3);
    press(*box, A_KEY_V, MOD_CTRL);
    EXPECT_EQ(box->GetText(), std::wstring({wchar_t(0x0416), wchar_t(0x0438)}));

    clipboard_useInProcess(true);
    box->SetText(L"");
    press(*box, A_KEY_V, MOD_CTRL);
    EXPECT_EQ(box->GetText(), L"") << "an empty clipboard pastes nothing";
}

TEST_F(EditboxTest, TextReplacedFromOutsideClampsCaretAndSelection)
{
    setText(L"hello", 5);
    box->SetSelection(2, 5);
    events.watch(box, {Editbox::EventPositionChanged});
    box->SetText(L"hi");
    EXPECT_EQ(box->GetCaret(), 2u);
    EXPECT_EQ(box->GetSelectionStart(), 2u);
    EXPECT_EQ(box->GetSelectionEnd(), 2u);
    EXPECT_EQ(events.take(), Entries{"edit:PositionChanged"});
    // The edits go on from the clamped places.
    press(*box, A_KEY_BACKSPACE);
    EXPECT_EQ(box->GetText(), L"h");
    box->SetSelection(9, 1);
    EXPECT_EQ(box->GetSelectionStart(), 1u);
    EXPECT_EQ(box->GetSelectionEnd(), 1u);
}

TEST_F(EditboxTest, FocusSelectsAllAndTheCaretBlinks)
{
    box->SetText(L"word");
    box->SetAllowCopyPaste(true);
    server->SetFocus(box);
    EXPECT_EQ(box->GetCaret(), 4u);
    EXPECT_EQ(box->GetSelectionEnd() - box->GetSelectionStart(), 4u);
    EXPECT_TRUE(box->IsCaretVisible());
    box->UpdateSelf(0.5f);
    EXPECT_TRUE(box->IsCaretVisible());
    box->UpdateSelf(0.3f);
    EXPECT_FALSE(box->IsCaretVisible());
    box->UpdateSelf(0.7f); // 1.5 s: the second period's visible phase
    EXPECT_TRUE(box->IsCaretVisible());
    box->UpdateSelf(0.2f);
    press(*box, A_KEY_HOME);
    box->UpdateSelf(0.0f);
    EXPECT_TRUE(box->IsCaretVisible()) << "a key restarts the blink";

    // A blink without a period keeps the caret shown.
    box->Set("CursorOnTime", "0");
    box->Set("CursorOffTime", "0");
    box->EndFillProperties();
    box->UpdateSelf(0.3f);
    EXPECT_TRUE(box->IsCaretVisible());

    server->SetFocus(nullptr);
    box->UpdateSelf(0.3f);
    EXPECT_EQ(box->GetCaret(), 0u) << "losing the focus keeps the caret";
}

TEST_F(EditboxTest, TheViewScrollsToKeepTheCaretVisible)
{
    useFont();
    box->SetWidth(40);
    box->SetMaxLength(20);
    typeText(*box, "abcdef");
    // Six characters and the caret: 56 pixels in a 40-pixel box.
    EXPECT_FLOAT_EQ(box->GetScrollOffset(), -16.0f);
    press(*box, A_KEY_HOME);
    EXPECT_FLOAT_EQ(box->GetScrollOffset(), 0.0f);
    press(*box, A_KEY_END);
    EXPECT_FLOAT_EQ(box->GetScrollOffset(), -16.0f);
}
