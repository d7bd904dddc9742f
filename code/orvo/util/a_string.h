// Free string helpers of the engine: lower-casing, printf-style formatting
// into a string, floats as text, and the conversions between narrow and wide
// text. Wide text holds UTF-16 code units of the Basic Multilingual Plane.
// Every function is pure and may be called from any thread.
#pragma once

#include <cstdint>
#include <string>

// Copy with A to Z lower-cased; every other byte stays as it is.
std::string string_toLower(const std::string& text);

// printf-style formatting; an empty string when the result is empty or the
// format cannot be applied.
std::string string_format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// "%f" of the value (six decimals).
std::string string_fromFloat(float value);

// Decimal number with the conversion rules of atoi: leading blanks, a sign,
// digits up to the first other character; 0 when there are none. Values out
// of the 32-bit range are clamped instead of wrapping.
int32_t string_toInt(const std::string& text);

// Code pages understood by string_multiByteToWide.
constexpr unsigned A_CP_ACP = 0; // the narrow text of this system: Windows-1251
constexpr unsigned A_CP_1251 = 1251;
constexpr unsigned A_CP_UTF8 = 65001;

// Narrow text up to its first zero byte converted from a code page; an
// unknown code page is logged and gives an empty string. `flags` is kept for
// callers that pass conversion flags; none changes the result.
std::wstring string_multiByteToWide(const std::string& text, unsigned codePage, unsigned flags);

// UTF-8 to wide text. A broken sequence (a missing or malformed continuation
// byte) ends the text there; a four-byte sequence, which has no place in the
// Basic Multilingual Plane, becomes U+FFFD.
std::wstring string_utf8ToWide(const std::string& text);

// The Windows-1251 code page; its unassigned byte 0x98 maps to U+FFFD.
std::wstring string_cp1251ToWide(const std::string& text);
// Units outside the code page become "?".
std::string string_wideToCp1251(const std::wstring& text);
