// Shared by the text widget tests: a font whose glyphs are all 8 x 16,
// keyboard arguments as the server builds them, and a clipboard and keyboard
// layout kept inside the process for the test's life.
#pragma once

#include <memory>
#include <string>

#include "gui/editbox.h"
#include "gui/eventargs.h"
#include "gui/server.h"
#include "gui_fixture.h"
#include "orvo/gfx/a_font.h"
#include "orvo/platform/a_clipboard.h"
#include "orvo/platform/a_keyboardlayout.h"

namespace kbtest {

// Every glyph, the space too, 8 x 16.
inline std::unique_ptr<aFont> fixedFont(const TempDir& dir)
{
    return std::make_unique<aFont>(writeGridFont(dir, "fixed", 8, 16, 8).c_str());
}

// A key press as the server delivers it to the focus widget.
inline void press(GUI::Widget& w, uint32_t key, uint32_t modifiers = 0)
{
    GUI::KeybEventArgs a;
    a.widget = &w;
    a.key = key;
    a.modifiers = modifiers;
    a.character = GUI::Server::KeyToChar(key, modifiers);
    w.OnKeyDown(a);
}

// Typed ASCII text, shifted where a US keyboard needs shift.
inline void typeText(GUI::Widget& w, const std::string& text)
{
    for (const char c : text)
        for (uint32_t shift = 0; shift < 2; ++shift)
            for (uint32_t key = 1; key < 256; ++key)
                if (GUI::Server::KeyToChar(key, shift) == c) {
                    press(w, key, shift);
                    shift = 2;
                    break;
                }
}

// The text with the caret as '|' and the selection in brackets ("[ab]|c"); other than ASCII as '?'.
inline std::string state(const GUI::Editbox& box)
{
    const std::wstring text = box.GetText();
    std::string out;
    for (uint32_t i = 0; i <= text.size(); ++i) {
        if (box.HasSelection() && i == box.GetSelectionEnd())
            out += ']';
        if (box.HasSelection() && i == box.GetSelectionStart())
            out += '[';
        if (i == box.GetCaret())
            out += '|';
        if (i < text.size())
            out += text[i] < 0x80 ? static_cast<char>(text[i]) : '?';
    }
    return out;
}

// The text with the caret at `caret` and nothing selected.
inline void setText(GUI::Editbox& box, const wchar_t* text, uint32_t caret)
{
    box.SetText(text), box.SetPosition(caret), box.SetSelection(caret, caret);
}

// Presses the key, then tells the text, caret and selection.
inline std::string pressed(GUI::Editbox& box, uint32_t key, uint32_t modifiers = 0)
{
    return press(box, key, modifiers), state(box);
}

struct ClipboardAndLayout {
    ClipboardAndLayout() { clipboard_useInProcess(true), keyboard_setLayoutName("00000409"); }
    ~ClipboardAndLayout() { clipboard_useInProcess(false), keyboard_setLayoutName(""); }
};

} // namespace kbtest
