#include "orvo/util/a_string.h"

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "orvo/util/a_log.h"

namespace {

// Bytes 0x80 to 0xFF of Windows-1251.
constexpr uint16_t kCp1251[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, //
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, //
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, //
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, //
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, //
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, //
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, //
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, //
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, //
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, //
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, //
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, //
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, //
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

std::string formatV(const char* format, va_list args)
{
    if (!format)
        return {};
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length < 1)
        return {};
    std::string out(static_cast<size_t>(length), '\0');
    std::vsnprintf(out.data(), out.size() + 1, format, args);
    return out;
}

bool isContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

} // namespace

std::string string_toLower(const std::string& text)
{
    std::string out = text;
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string string_format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string out = formatV(format, args);
    va_end(args);
    return out;
}

std::string string_fromFloat(float value)
{
    return string_format("%f", static_cast<double>(value));
}

int32_t string_toInt(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1; // keeps the clamp below exact
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int32_t>(value);
}

std::wstring string_multiByteToWide(const std::string& text, unsigned codePage, unsigned /*flags*/)
{
    const std::string cut(text.c_str());
    switch (codePage) {
    case A_CP_ACP:
    case A_CP_1251:
        return string_cp1251ToWide(cut);
    case A_CP_UTF8:
        return string_utf8ToWide(cut);
    default:
        a_log("string_multiByteToWide. Unsupported code page %u", codePage);
        return {};
    }
}

std::wstring string_utf8ToWide(const std::string& text)
{
    std::wstring out;
    out.reserve(text.size());
    const size_t n = text.size();
    size_t i = 0;
    auto at = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    while (i < n) {
        const unsigned char lead = at(i);
        if (lead < 0x80) {
            out += static_cast<wchar_t>(lead);
            ++i;
            continue;
        }
        if (lead >= 0xF0 && lead <= 0xF7) {
            // Beyond the Basic Multilingual Plane: one replacement unit.
            if (i + 3 >= n || !isContinuation(at(i + 1)) || !isContinuation(at(i + 2)) || !isContinuation(at(i + 3)))
                break;
            out += static_cast<wchar_t>(0xFFFD);
            i += 4;
            continue;
        }
        if ((lead & 0x20) == 0) {
            if (i + 1 >= n || !isContinuation(at(i + 1)))
                break;
            out += static_cast<wchar_t>(((lead & 0x1F) << 6) | (at(i + 1) & 0x3F));
            i += 2;
            continue;
        }
        if (i + 2 >= n || !isContinuation(at(i + 1)) || !isContinuation(at(i + 2)))
            break;
        out += static_cast<wchar_t>((((lead & 0x0F) << 12) | ((at(i + 1) & 0x3F) << 6) | (at(i + 2) & 0x3F)) & 0xFFFF);
        i += 3;
    }
    return out;
}

std::wstring string_cp1251ToWide(const std::string& text)
{
    std::wstring out;
    out.reserve(text.size());
    for (unsigned char c : text)
        out += static_cast<wchar_t>(c < 0x80 ? c : kCp1251[c - 0x80]);
    return out;
}

std::string string_wideToCp1251(const std::wstring& text)
{
    std::string out;
    out.reserve(text.size());
    for (wchar_t w : text) {
        if (w >= 0 && w < 0x80) {
            out += static_cast<char>(w);
            continue;
        }
        char byte = '?';
        for (int k = 0; k < 128; ++k) {
            if (static_cast<wchar_t>(kCp1251[k]) == w) {
                byte = static_cast<char>(0x80 + k);
                break;
            }
        }
        out += byte;
    }
    return out;
}
