#include "game/app/profilesfile.h"

std::string profilesfile_widen(const std::string& text)
{
    std::string out;
    out.reserve(text.size() * 4);
    for (const char c : text) {
        const char fill = static_cast<signed char>(c) < 0 ? '\xFF' : '\0';
        out += c;
        out.append(3, fill);
    }
    return out;
}

std::string profilesfile_narrow(const uint8_t* bytes, size_t size, bool& damaged)
{
    damaged = size % 4 != 0;
    std::string text;
    text.reserve(size / 4);
    for (size_t i = 0; i + 4 <= size; i += 4) {
        const uint8_t low = bytes[i];
        const uint8_t fill = low & 0x80 ? 0xFF : 0x00;
        if (low == 0 || bytes[i + 1] != fill || bytes[i + 2] != fill || bytes[i + 3] != fill)
            damaged = true;
        text += static_cast<char>(low);
    }
    if (!text.empty() && (text.size() < 4 || text.compare(text.size() - 4, 4, "\r\n\r\n") != 0))
        damaged = true;
    return text;
}
