#include "gui/clipboard.h"

#include "orvo/platform/a_clipboard.h"
#include "orvo/util/a_string.h"

namespace GUI::Clipboard {

void SetText(const void* bytes, size_t count, uint32_t format)
{
    (void)clipboard_setData(format, bytes, count);
}

void SetUnicodeText(const std::wstring& text)
{
    std::string bytes;
    bytes.reserve(2 * text.size() + 2);
    for (const wchar_t w : text) {
        const auto c = static_cast<uint32_t>(w) & 0xFFFF;
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    bytes.append(2, '\0');
    SetText(bytes.data(), bytes.size(), A_CF_UNICODETEXT);
}

std::wstring GetText()
{
    std::string data;
    if (clipboard_hasFormat(A_CF_UNICODETEXT) && clipboard_getData(A_CF_UNICODETEXT, data)) {
        std::wstring text;
        for (size_t i = 0; i + 1 < data.size(); i += 2) {
            const auto c = static_cast<wchar_t>(static_cast<uint8_t>(data[i]) | static_cast<uint8_t>(data[i + 1]) << 8);
            if (c == 0)
                break;
            text += c;
        }
        return text;
    }
    if (clipboard_hasFormat(A_CF_TEXT) && clipboard_getData(A_CF_TEXT, data))
        return string_cp1251ToWide(data.substr(0, data.find('\0')));
    return std::wstring();
}

} // namespace GUI::Clipboard
