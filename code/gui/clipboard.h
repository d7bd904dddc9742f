// The clipboard as the text widgets see it: wide text in, wide text out,
// over the platform's clipboard. Main thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace GUI::Clipboard {

// Replaces the clipboard with `count` bytes of the format; nothing is copied
// when the clipboard cannot take them.
void SetText(const void* bytes, size_t count, uint32_t format);
// The text's UTF-16 code units and a terminating zero, as Unicode text.
void SetUnicodeText(const std::wstring& text);
// Unicode text when the clipboard holds some, else its Windows-1251 text
// converted; empty when it holds neither.
std::wstring GetText();

} // namespace GUI::Clipboard
