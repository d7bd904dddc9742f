// Hot-key texts of layout scripts: modifier words ("shift", "ctrl", "alt")
// separated by "|", blanks or tabs, then a key name ("f4", "esc", "num+" ...).
// Pure functions, any thread.
#pragma once

#include <cstdint>
#include <string>

namespace GUI {

// Key code (0 when the name is unknown) and modifier bits (shift 1, ctrl 2, alt 4).
void ParseHotkey(const std::string& text, uint32_t& key, uint32_t& modifiers);

// The key code of a key name (any case), 0 when there is none.
uint32_t HotkeyCode(const std::string& name);

} // namespace GUI
