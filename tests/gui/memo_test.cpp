#include <gtest/gtest.h>

#include "gui/clipboard.h"
#include "gui/history.h"
#include "gui/memo.h"
#include "gui/scrollbar.h"
#include "gui_fixture.h"
#include "orvo/app/a_keys.h"
#include "text_kit.h"

using GUI::History;
using GUI::Memo;
using GUI::MOD_CTRL;
using GUI::MOD_SHIFT;
using kbtest::typeText;
using Lines = std::vector<std::string>;
using Journal = std::vector<std::string>;

namespace {

class MemoTest : public kbtest::GuiTest {
protected:
    MemoTest() { memo->SetFont(font.get()); }
    void setText(const wchar_t* text, uint32_t caret) { kbtest::setText(*memo, text, caret); }
    std::string press(uint32_t key, uint32_t modifiers = 0) { return kbtest::pressed(*memo, key, modifiers); }
    // "start-end:text" of every line, the line break written as '|'.
    Lines lines()
    {
        if (memo->IsLayoutDirty())
            memo->RebuildLayout();
        Lines out;
        for (const Memo::Line& l : memo->GetLines()) {
            std::string t;
            for (const wchar_t c : l.text)
                t += c == L'\n' ? '|' : static_cast<char>(c);
            out.push_back(std::to_string(l.start) + "-" + std::to_string(l.end) + ":" + t);
        }
        return out;
    }
    int32_t caretLine() const { return memo->GetLineOfPosition(memo->GetCaret()); }
    kbtest::ClipboardAndLayout fakes;
    std::unique_ptr<aFont> font = kbtest::fixedFont(dir);
    Memo* memo = add<Memo>("memo", aRect(0, 0, 200, 64));
};

// Notes its performs and its deletion in a shared journal.
class Step : public History::HistoryEvent {
public:
    Step(Journal& journal, std::string name, History* clearOnPerform = nullptr)
        : m_journal(journal), m_name(std::move(name)), m_clear(clearOnPerform)
    {
    }
    ~Step() override { m_journal.push_back("delete " + m_name); }
    bool Perform() override
    {
        m_journal.push_back("perform " + m_name);
        if (m_clear)
            m_clear->ClearAll();
        return true;
    }

private:
    Journal& m_journal;
    std::string m_name;
    History* m_clear;
};

} // namespace

TEST_F(MemoTest, LinesEndAtBreaksOrWrapAndCaretKeysMoveAlongThem)
{
    setText(L"a\nb", 0);
    EXPECT_EQ(lines(), (Lines{"0-2:a|", "2-3:b"}));
    EXPECT_EQ(press(A_KEY_END), "a|\nb");
    press(A_KEY_DOWN);
    EXPECT_EQ(press(A_KEY_END), "a\nb|");

    // A closing line break leaves an empty last line for the caret.
    setText(L"ab\n", 3);
    EXPECT_EQ(lines(), (Lines{"0-3:ab|", "3-3:"}));
    EXPECT_EQ(memo->GetLineOfPosition(4), -1);
    EXPECT_EQ(caretLine(), 1);

    // Up and down keep the column where the line allows; shift selects.
    setText(L"abcdefgh\nxy", 5);
    EXPECT_EQ(press(A_KEY_DOWN), "abcdefgh\nxy|") << "the short last line ends the text";
    EXPECT_EQ(press(A_KEY_UP, MOD_SHIFT), "ab[|cdefgh\nxy]");
    EXPECT_EQ(press(A_KEY_HOME, MOD_CTRL | MOD_SHIFT), "[|abcdefgh\nxy]");
    // Four lines a page in a memo 64 high with 16-pixel lines.
    setText(L"0\n1\n2\n3\n4\n5\n6\n7\n8", 0);
    std::vector<int32_t> pages;
    for (uint32_t key : {A_KEY_PAGEDOWN, A_KEY_PAGEDOWN, A_KEY_PAGEDOWN, A_KEY_PAGEUP}) {
        press(key);
        pages.push_back(caretLine());
    }
    EXPECT_EQ(pages, (std::vector<int32_t>{4, 8, 8, 4}));

    // Word wrap breaks after blanks or inside long words, and never below one character.
    memo->SetWidth(30); // three glyphs and a bit
    setText(L"ab cd", 0);
    EXPECT_EQ(lines(), (Lines{"0-3:ab ", "3-5:cd"}));
    setText(L"abcdef", 0);
    EXPECT_EQ(lines(), (Lines{"0-3:abc", "3-6:def"}));
    memo->SetWordWrap(false);
    EXPECT_EQ(lines(), (Lines{"0-6:abcdef"}));

    memo->SetWordWrap(true);
    memo->SetWidth(4);
    EXPECT_EQ(lines().size(), 6u);
    memo->SetWidth(0);
    setText(L"a b", 0);
    EXPECT_EQ(lines(), (Lines{"0-2:a ", "2-3:b"}));

    // Only the glyphs' rectangles fill a line: not blanks, nor the room the font leaves between glyphs.
    memo->SetWidth(33);
    setText(L"ab cd", 0);
    EXPECT_EQ(lines(), (Lines{"0-5:ab cd"}));
    std::string spacedIni = kbtest::readFile(kbtest::writeGridFont(dir, "spaced"));
    spacedIni.replace(spacedIni.find("CharSpacing=0"), 13, "CharSpacing=4");
    kbtest::writeFile(dir.file("spaced.ini"), spacedIni);
    aFont spaced(dir.file("spaced.ini").c_str());
    memo->SetFont(&spaced);
    setText(L"abcd", 0);
    EXPECT_EQ(lines(), (Lines{"0-4:abcd"}));
    memo->SetFont(font.get());
}

TEST_F(MemoTest, UndoBringsErasuresBackButNeverActsOnPositionsOfAnotherText)
{
    memo->SetHistorySize(16);
    typeText(*memo, "abc");
    EXPECT_EQ(press(A_KEY_Z, MOD_CTRL), "ab|");

    // Several characters selected come back selected; one erased with the caret after it comes back unselected.
    typeText(*memo, "cdefg");
    memo->SetSelection(2, 7);
    EXPECT_EQ(press(A_KEY_BACKSPACE), "ab|");
    press(A_KEY_Z, MOD_CTRL);
    EXPECT_EQ(memo->GetText(), L"abcdefg");
    EXPECT_EQ(memo->GetSelectionEnd() - memo->GetSelectionStart(), 5u);
    press(A_KEY_END, MOD_CTRL);
    press(A_KEY_BACKSPACE);
    EXPECT_EQ(press(A_KEY_Z, MOD_CTRL), "abcdefg|");

    memo->SetMaxLength(8);
    press(A_KEY_ENTER);
    EXPECT_EQ(press(A_KEY_ENTER), "abcdefg\n|") << "full";
    set(memo, {"HistorySize 0"});
    memo->SetMaxLength(0);
    EXPECT_EQ(press(A_KEY_Z, MOD_CTRL), "abcdefg\nz|") << "without a history Ctrl+Z types a z";

    // The history keeps the newest steps, and a new edit drops what could be redone.
    memo->SetText(L"");
    memo->SetHistorySize(2);
    typeText(*memo, "abc");
    for (int i = 0; i < 3; ++i)
        press(A_KEY_Z, MOD_CTRL);
    EXPECT_EQ(kbtest::state(*memo), "a|");
    press(A_KEY_Y, MOD_CTRL);
    typeText(*memo, "x");
    EXPECT_EQ(press(A_KEY_Y, MOD_CTRL), "abx|");

    // A paste is one step, an empty one too; redone, the pasted text comes back selected.
    memo->SetHistorySize(16);
    memo->SetAllowCopyPaste(true);
    GUI::Clipboard::SetUnicodeText(L"cd\ne");
    press(A_KEY_V, MOD_CTRL);
    EXPECT_EQ(press(A_KEY_Z, MOD_CTRL), "abx|");
    EXPECT_EQ(press(A_KEY_Y, MOD_CTRL), "abx[cd\ne]|");
    press(A_KEY_END, MOD_CTRL);
    GUI::Clipboard::SetUnicodeText(L"");
    press(A_KEY_V, MOD_CTRL);
    EXPECT_EQ(press(A_KEY_Z, MOD_CTRL), "abxcd\ne|") << "the empty paste is undone first";
    EXPECT_EQ(press(A_KEY_Z, MOD_CTRL), "abx|");

    // Undo never acts on positions of another text: one from outside makes the recorded steps meaningless.
    memo->SetHistorySize(16);
    typeText(*memo, "abc");
    memo->SetText(L"xy");
    press(A_KEY_Z, MOD_CTRL);
    EXPECT_EQ(memo->GetText(), L"xy");

    // A character the font cannot draw leaves the text at the next layout.
    memo->SetPosition(2);
    memo->InsertChar(0x4E00);
    memo->UpdateSelf(0.0f);
    EXPECT_EQ(memo->GetText(), L"xy");
    EXPECT_EQ(memo->GetCaret(), 2u);
    press(A_KEY_Z, MOD_CTRL);
    EXPECT_EQ(memo->GetText(), L"xy");

    // A record past the end of the text works at the end.
    GUI::HistoryInsertTextEvent stale(10, L"ab", memo, false);
    EXPECT_FALSE(stale.Perform());
    EXPECT_EQ(memo->GetText(), L"xy");
    EXPECT_TRUE(stale.Perform());
    EXPECT_EQ(memo->GetText(), L"xyab");
}

// The gallery pastes at the end of its diary and sees the view follow.
TEST_F(MemoTest, TheViewFollowsTheCaretWheelAndKeysAndNothingDividesByANoughtLineHeight)
{
    auto* bar = add<GUI::Scrollbar>("memo_auto_vscroll", aRect(190, 0, 10, 64), memo);
    set(bar, {"Vertical 1"});
    memo->Initialize();
    setText(L"0\n1\n2\n3\n4\n5\n6\n7\n8\n9", 0);
    memo->UpdateSelf(0.0f);
    press(A_KEY_END, MOD_CTRL);
    EXPECT_FLOAT_EQ(bar->GetValue(), 112.0f);

    GUI::MouseEventArgs wheel;
    wheel.wheel = 2.0f;
    memo->OnMouseWheel(wheel);
    EXPECT_FLOAT_EQ(memo->GetScrollY(), 96.0f) << "one line per wheel event";
    wheel.wheel = -2.0f;
    memo->OnMouseWheel(wheel);
    EXPECT_FLOAT_EQ(memo->GetScrollY(), 112.0f) << "and back down";
    wheel.wheel = 2.0f;
    press(A_KEY_HOME, MOD_CTRL);
    EXPECT_FLOAT_EQ(memo->GetScrollY(), 0.0f);

    // Line spacing from a script goes onto every line.
    set(memo, {"LineSpacing 4"});
    EXPECT_FLOAT_EQ(memo->GetLineHeight(), 20.0f);
    set(memo, {"LineSpacing 0"});

    // Without a line height pages, wheel and drawing still work.
    memo->SetFontSize(0.0f);
    EXPECT_EQ(memo->GetLineHeight(), 0.0f);
    setText(L"a\nb\nc", 0);
    press(A_KEY_PAGEDOWN);
    press(A_KEY_DOWN, MOD_CTRL);
    memo->OnMouseWheel(wheel);
    EXPECT_EQ(memo->GetCaret(), 0u);
    memo->Draw();
}

// Undo, redo and the limit are walked through the memo above.
TEST(History, ARecordPerformedWhileTheHistoryEmptiesGoesToo)
{
    Journal journal;
    {
        History history;
        history.Undo(); // nothing to undo, redo or keep: nothing happens
        history.Redo();
        history.Add(nullptr);
        history.Add(new Step(journal, "a"));
        history.Add(new Step(journal, "b", &history));
        history.Undo();
        EXPECT_TRUE(history.GetUndoList().empty() && history.GetRedoList().empty());
        EXPECT_EQ(journal, (Journal{"perform b", "delete a", "delete b"}));
        history.Add(new Step(journal, "c"));
    }
    EXPECT_EQ(journal.back(), "delete c");
}

TEST_F(MemoTest, AWideLineScrollsSidewaysToKeepTheCaretInView)
{
    auto* bar = add<GUI::Scrollbar>("memo_auto_hscroll", aRect(0, 54, 200, 10), memo);
    memo->SetWordWrap(false);
    memo->Initialize();
    setText(std::wstring(40, L'a').c_str(), 0); // 320 pixels in a memo 200 wide
    memo->UpdateSelf(0.0f);
    press(A_KEY_END);
    // The caret's 320 less the page, with a line height of room for the caret.
    EXPECT_FLOAT_EQ(bar->GetValue(), 136.0f);
    EXPECT_FLOAT_EQ(memo->GetScrollX(), 136.0f) << "the view follows its bar";
    press(A_KEY_HOME);
    EXPECT_FLOAT_EQ(bar->GetValue(), 0.0f);
    EXPECT_FLOAT_EQ(memo->GetScrollX(), 0.0f);
}
