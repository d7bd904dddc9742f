#include <gtest/gtest.h>

#include "gui/clipboard.h"
#include "gui/editbox.h"
#include "gui_fixture.h"
#include "orvo/app/a_keys.h"
#include "text_kit.h"

using GUI::Editbox;
using GUI::MOD_CTRL;
using GUI::MOD_SHIFT;
using kbtest::Entries;
using kbtest::typeText;

namespace {

class EditboxTest : public kbtest::GuiTest {
protected:
    void setText(const wchar_t* text, uint32_t caret) { kbtest::setText(*box, text, caret); }
    std::string press(uint32_t key, uint32_t modifiers = 0) { return kbtest::pressed(*box, key, modifiers); }

    kbtest::ClipboardAndLayout fakes;
    std::unique_ptr<aFont> font = kbtest::fixedFont(dir);
    Editbox* box = add<Editbox>("edit", aRect(10, 10, 200, 20));
};

} // namespace

TEST_F(EditboxTest, CaretKeysMoveByBlanksSelectFromTheAnchorAndGoOnFromPlacesANewTextClamped)
{
    // Word moves and deletes treat only blanks as separators; at the ends they fire nothing.
    setText(L"ab  cd", 6);
    EXPECT_EQ(press(A_KEY_LEFT, MOD_CTRL), "ab  |cd");
    EXPECT_EQ(press(A_KEY_LEFT, MOD_CTRL), "|ab  cd");
    EXPECT_EQ(press(A_KEY_RIGHT, MOD_CTRL), "ab  |cd");
    EXPECT_EQ(press(A_KEY_RIGHT, MOD_CTRL), "ab  cd|");
    EXPECT_EQ(press(A_KEY_BACKSPACE, MOD_CTRL), "ab  |");
    box->SetPosition(0);
    EXPECT_EQ(press(A_KEY_DELETE, MOD_CTRL), "|");
    setText(L"ab  cd", 0);
    EXPECT_EQ(press(A_KEY_DELETE, MOD_CTRL), "|cd");
    events.watch(box, {Editbox::EventTextChanged, Editbox::EventPositionChanged});
    press(A_KEY_BACKSPACE);
    box->SetPosition(2);
    events.take();
    press(A_KEY_DELETE);
    EXPECT_EQ(events.take(), Entries{});
    EXPECT_EQ(press(A_KEY_BACKSPACE), "c|");
    EXPECT_EQ(events.take(), (Entries{"edit:PositionChanged", "edit:TextChanged"}));

    setText(L"abcd", 4);
    press(A_KEY_LEFT, MOD_SHIFT);
    EXPECT_EQ(press(A_KEY_LEFT, MOD_SHIFT), "ab[|cd]");
    EXPECT_EQ(press(A_KEY_RIGHT, MOD_SHIFT), "abc[|d]") << "back towards the anchor";
    EXPECT_EQ(press(A_KEY_LEFT), "ab|cd") << "a plain move drops the selection";
    setText(L"abcd", 1);
    EXPECT_EQ(press(A_KEY_RIGHT, MOD_SHIFT), "a[b]|cd");
    EXPECT_EQ(press(A_KEY_LEFT, MOD_SHIFT), "a|bcd") << "back to the anchor: nothing selected";
    EXPECT_EQ(press(A_KEY_END, MOD_SHIFT), "a[bcd]|");
    EXPECT_EQ(press(A_KEY_HOME, MOD_SHIFT), "[|a]bcd") << "the anchor stays: Home selects what lies before it";

    setText(L"hello", 5);
    box->SetSelection(2, 5);
    events.take();
    box->SetText(L"hi");
    EXPECT_EQ(kbtest::state(*box), "hi|");
    EXPECT_EQ(events.take(), (Entries{"edit:PositionChanged", "edit:TextChanged"})) << "the caret is clamped";
    EXPECT_EQ(press(A_KEY_BACKSPACE), "h|") << "the edits go on from the clamped places";
    box->SetSelection(9, 1);
    EXPECT_FALSE(box->HasSelection());
}

// The gallery's code box stops at its maximum length and types Cyrillic capitals.
TEST_F(EditboxTest, TypingIsLimitedByTheWidthAndFilteredByCaseCharsetAndLayout)
{
    // Without a limit and without a font nothing stops typing.
    typeText(*box, std::string(300, 'z'));
    EXPECT_EQ(box->GetText().size(), 300u);

    // Cyrillic letters from US keys on a Russian layout, only where allowed.
    box->SetText(L"");
    box->SetAllowCyrillic(true);
    keyboard_setLayoutName("00000419");
    press(A_KEY_Q, MOD_SHIFT);
    press(A_KEY_GRAVE, MOD_SHIFT);
    press(A_KEY_Q);
    EXPECT_EQ(box->GetText(), std::wstring({wchar_t(0x0419), wchar_t(0x0401), wchar_t(0x0439)}));
    box->SetAllowCyrillic(false);
    box->SetText(L"");
    EXPECT_EQ(press(A_KEY_Q), "q|");

    // Text, caret and the new character must fit 40 pixels: four characters do.
    box->SetFont(font.get());
    box->SetWidth(40);
    box->SetText(L"");
    typeText(*box, "abcdef");
    EXPECT_EQ(box->GetText(), L"abcd");

    // Cyrillic capitals and small letters lie 0x20 apart too, though not by a single bit; U+0401 has no pair
    // there. The default table lets 32..127 and 192..253 through.
    const std::tuple<Editbox::CharCase, wchar_t, wchar_t> rows[] = {
        {Editbox::CASE_UPPER, 0x044F, 0x042F}, {Editbox::CASE_UPPER, L'[', L'['},       {Editbox::CASE_LOWER, L'Q', L'q'},
        {Editbox::CASE_LOWER, 0x0420, 0x0440}, {Editbox::CASE_LOWER, 0x0401, 0x0401}, {Editbox::CASE_AS_TYPED, 31, 0},
        {Editbox::CASE_AS_TYPED, 253, 253},    {Editbox::CASE_AS_TYPED, 254, 0}};
    for (const auto& [rule, typed, kept] : rows) {
        box->SetCharCase(rule);
        EXPECT_EQ(box->FilterChar(typed), kept) << int(typed);
    }
    set(box, {"Charset 0123456789", "CharCase UPPER"});
    EXPECT_EQ(box->FilterChar(L'a'), 0);
    EXPECT_EQ(box->FilterChar(L'7'), L'7');
    EXPECT_EQ(box->FilterChar(0x0436), 0x0416) << "Cyrillic letters pass a charset of digits";
}

TEST_F(EditboxTest, ClipboardKeysNeedCopyAndPasteAllowedAndPasteStopsOnlyWhenFull)
{
    setText(L"abc", 3);
    EXPECT_EQ(press(A_KEY_V, MOD_CTRL), "abcv|");
    box->SetAllowCopyPaste(true);
    GUI::Clipboard::SetUnicodeText(L"kept");
    box->SetPosition(0);
    EXPECT_EQ(press(A_KEY_X, MOD_CTRL), "|abcv") << "nothing selected: nothing cut";
    EXPECT_EQ(GUI::Clipboard::GetText(), L"kept");
    box->SetSelection(0, 3);
    EXPECT_EQ(press(A_KEY_X, MOD_CTRL), "|v");
    EXPECT_EQ(GUI::Clipboard::GetText(), L"abc");
    press(A_KEY_V, MOD_CTRL);
    EXPECT_EQ(press(A_KEY_V, MOD_CTRL), "abcabc|v");

    // Filtered characters are skipped; a full box stops the paste.
    box->SetText(L"");
    box->SetCharset("abc");
    box->SetMaxLength(2);
    GUI::Clipboard::SetUnicodeText(L"1a2b3c");
    EXPECT_EQ(press(A_KEY_V, MOD_CTRL), "ab|");
    // Windows-1251 text on the clipboard is converted.
    box->SetMaxLength(0);
    box->SetCharset(std::string("\xC6\xE8", 2));
    box->SetText(L"");
    clipboard_setData(A_CF_TEXT, "\xC6\xE8\0", 3);
    press(A_KEY_V, MOD_CTRL);
    EXPECT_EQ(box->GetText(), std::wstring({wchar_t(0x0416), wchar_t(0x0438)}));
    clipboard_useInProcess(true);
    box->SetText(L"");
    EXPECT_EQ(press(A_KEY_V, MOD_CTRL), "|") << "an empty clipboard pastes nothing";
}

TEST_F(EditboxTest, TheCaretBlinksWhileFocusedAndTheViewScrollsToKeepItVisible)
{
    box->SetText(L"word");
    server->SetFocus(box);
    std::string blink;
    // On until 0.5 s, off until 1 s: 1.5 s is the second period's visible phase.
    for (float dt : {0.5f, 0.3f, 0.7f}) {
        box->UpdateSelf(dt);
        blink += box->IsCaretVisible() ? '1' : '0';
    }
    EXPECT_EQ(blink, "101");
    box->UpdateSelf(0.2f);
    press(A_KEY_HOME);
    box->UpdateSelf(0.0f);
    EXPECT_TRUE(box->IsCaretVisible()) << "a key restarts the blink";
    set(box, {"CursorOnTime 0", "CursorOffTime 0"});
    box->UpdateSelf(0.3f);
    EXPECT_TRUE(box->IsCaretVisible()) << "a blink without a period keeps the caret shown";
    server->SetFocus(nullptr);

    // Six characters and the caret: 56 pixels in a 40-pixel box.
    box->SetFont(font.get());
    box->SetWidth(40);
    box->SetMaxLength(20);
    box->SetText(L"");
    typeText(*box, "abcdef");
    EXPECT_FLOAT_EQ(box->GetScrollOffset(), -16.0f);
    press(A_KEY_HOME);
    EXPECT_FLOAT_EQ(box->GetScrollOffset(), 0.0f);
}
