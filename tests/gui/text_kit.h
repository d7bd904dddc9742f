// Shared by the text widget tests: a font whose glyphs are all 8 pixels wide
// and 16 high (so widths are 8 per character), keyboard arguments as the
// server builds them, and a clipboard and keyboard layout kept inside the
// process for the test's life.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "gui/editbox.h"
#include "gui/eventargs.h"
#include "gui/server.h"
#include "orvo/gfx/a_font.h"
#include "orvo/platform/a_clipboard.h"
#include "orvo/platform/a_keyboardlayout.h"
#include "support/temp_dir.h"

namespace kbtest {

// Printable ASCII, Cyrillic U+0400..U+045F and '|' as the caret, each 8 x 16.
inline std::unique_ptr<aFont> fixedFont(const TempDir& dir)
{
    std::string ini = "[General]\nFormat16=4444\nFormat32=8888\nTexture=none.png\n[Charlist]\n";
    auto add = [&](unsigned code) {
        char line[40];
        std::snprintf(line, sizeof line, "%X=%u 0 8 16 0 0\n", code, (code % 32) * 8);
        ini += line;
    };
    for (unsigned c = 0x20; c < 0x7F; ++c)
        add(c);
    for (unsigned c = 0x400; c < 0x460; ++c)
        add(c);
    const std::string path = dir.file("fixed.ini");
    writeFile(path, ini);
    return std::make_unique<aFont>(path.c_str());
}

inline GUI::KeybEventArgs keyArgs(GUI::Widget* w, uint32_t key, uint32_t modifiers = 0)
{
    GUI::KeybEventArgs a;
    a.widget = w;
    a.key = key;
    a.modifiers = modifiers;
    a.character = GUI::Server::KeyToChar(key, modifiers);
    return a;
}

// A key press as the server delivers it to the focus widget.
inline void press(GUI::Widget& w, uint32_t key, uint32_t modifiers = 0)
{
    w.OnKeyDown(keyArgs(&w, key, modifiers));
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

struct ClipboardAndLayout {
    ClipboardAndLayout()
    {
        clipboard_useInProcess(true);
        keyboard_setLayoutName("00000409");
    }
    ~ClipboardAndLayout()
    {
        clipboard_useInProcess(false);
        keyboard_setLayoutName("");
    }
};

} // namespace kbtest
