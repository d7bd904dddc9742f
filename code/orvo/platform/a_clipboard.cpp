#include "orvo/platform/a_clipboard.h"

#include <SDL.h>

#include <cstring>

#include "orvo/util/a_string.h"

namespace {

struct Store {
    bool inProcess = false;
    bool empty = true;
    uint32_t format = 0;
    std::string data;
};

Store& store()
{
    static Store s;
    return s;
}

bool useSDL()
{
    return !store().inProcess && SDL_WasInit(SDL_INIT_VIDEO) != 0;
}

// UTF-16 code units up to the first zero (or the end) as UTF-8; a lone
// surrogate becomes U+FFFD.
std::string utf16ToUtf8(const std::string& bytes)
{
    std::string out;
    const size_t units = bytes.size() / 2;
    auto unit = [&](size_t i) {
        return static_cast<uint32_t>(static_cast<uint8_t>(bytes[2 * i])) |
               static_cast<uint32_t>(static_cast<uint8_t>(bytes[2 * i + 1])) << 8;
    };
    for (size_t i = 0; i < units; ++i) {
        uint32_t c = unit(i);
        if (c == 0)
            break;
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < units && unit(i + 1) >= 0xDC00 && unit(i + 1) < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 1) - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string wideToUtf16(const std::wstring& text)
{
    std::string out;
    out.reserve(2 * text.size() + 2);
    for (const wchar_t w : text) {
        const auto c = static_cast<uint32_t>(w) & 0xFFFF;
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
    }
    out.append(2, '\0');
    return out;
}

// Bytes of one text format as UTF-8 for SDL.
std::string toUtf8(uint32_t format, const std::string& bytes)
{
    if (format == A_CF_UNICODETEXT)
        return utf16ToUtf8(bytes);
    return utf16ToUtf8(wideToUtf16(string_cp1251ToWide(bytes)));
}

// Text as the bytes of a text format, terminating zero included.
std::string fromWide(uint32_t format, const std::wstring& text)
{
    if (format == A_CF_UNICODETEXT)
        return wideToUtf16(text);
    std::string bytes = string_wideToCp1251(text);
    bytes += '\0';
    return bytes;
}

} // namespace

bool clipboard_setData(uint32_t format, const void* data, size_t size)
{
    if (!data && size > 0)
        return false;
    std::string bytes(static_cast<const char*>(data), size);
    if (useSDL() && (format == A_CF_TEXT || format == A_CF_UNICODETEXT))
        return SDL_SetClipboardText(toUtf8(format, bytes).c_str()) == 0;
    Store& s = store();
    s.empty = false;
    s.format = format;
    s.data = std::move(bytes);
    return true;
}

bool clipboard_hasFormat(uint32_t format)
{
    if (useSDL() && (format == A_CF_TEXT || format == A_CF_UNICODETEXT))
        return SDL_HasClipboardText() == SDL_TRUE;
    const Store& s = store();
    return !s.empty && s.format == format;
}

bool clipboard_getData(uint32_t format, std::string& data)
{
    data.clear();
    if (useSDL() && (format == A_CF_TEXT || format == A_CF_UNICODETEXT)) {
        if (SDL_HasClipboardText() != SDL_TRUE)
            return false;
        char* text = SDL_GetClipboardText();
        if (!text)
            return false;
        data = fromWide(format, string_utf8ToWide(text));
        SDL_free(text);
        return true;
    }
    const Store& s = store();
    if (s.empty || s.format != format)
        return false;
    data = s.data;
    return true;
}

void clipboard_useInProcess(bool inProcess)
{
    Store& s = store();
    s.inProcess = inProcess;
    s.empty = true;
    s.format = 0;
    s.data.clear();
}
