#include "orvo/util/a_format.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Widths and precisions above this are not directives but data mistakes.
constexpr int kMaxWidth = 256;

struct Directive {
    std::string flags;
    int width = -1;
    int precision = -1;
    bool wide = false;   // 'l' before 's' or 'c'
    char conversion = 0; // 0 when the directive is not complete
    size_t length = 0;   // characters the directive spans, '%' included
};

template <class Ch>
Directive parseDirective(const std::basic_string<Ch>& f, size_t at)
{
    Directive s;
    size_t i = at + 1;
    auto ch = [&](size_t k) -> int { return k < f.size() ? static_cast<int>(f[k]) : 0; };
    while (std::strchr("-+ #0", ch(i)) && ch(i) != 0)
        s.flags += static_cast<char>(f[i++]);
    auto readNumber = [&](int& out) {
        if (ch(i) < '0' || ch(i) > '9')
            return true;
        int v = 0;
        while (ch(i) >= '0' && ch(i) <= '9') {
            v = v * 10 + (ch(i) - '0');
            if (v > kMaxWidth)
                return false;
            ++i;
        }
        out = v;
        return true;
    };
    if (!readNumber(s.width))
        return s;
    if (ch(i) == '.') {
        ++i;
        s.precision = 0;
        if (!readNumber(s.precision))
            return s;
    }
    while (ch(i) == 'h' || ch(i) == 'l' || ch(i) == 'z' || ch(i) == 'L') {
        if (ch(i) == 'l')
            s.wide = true;
        ++i;
    }
    const int c = ch(i);
    if (c != 0 && std::strchr("diuxXocfFeEgGsS", c)) {
        s.conversion = static_cast<char>(c);
        s.length = i + 1 - at;
    }
    return s;
}

std::string printfDirective(const Directive& s, const char* lengthModifier, char conversion)
{
    std::string out = "%" + s.flags;
    if (s.width >= 0)
        out += std::to_string(s.width);
    if (s.precision >= 0) {
        out += '.';
        out += std::to_string(s.precision);
    }
    out += lengthModifier;
    out += conversion;
    return out;
}

std::string formatNumber(const char* directive, ...)
{
    char buffer[kMaxWidth * 2 + 64];
    va_list args;
    va_start(args, directive);
    std::vsnprintf(buffer, sizeof buffer, directive, args);
    va_end(args);
    return buffer;
}

template <class Ch>
std::basic_string<Ch> widen(const std::string& text)
{
    std::basic_string<Ch> out;
    out.reserve(text.size());
    for (unsigned char c : text)
        out += static_cast<Ch>(c);
    return out;
}

template <class Ch>
std::basic_string<Ch> asText(const std::string& narrow, const std::wstring& wide, bool isWide)
{
    if constexpr (sizeof(Ch) == 1) {
        if (!isWide)
            return narrow;
        std::string out;
        for (wchar_t w : wide)
            out += (w < 0x80) ? static_cast<char>(w) : '?';
        return out;
    } else {
        return isWide ? wide : widen<Ch>(narrow);
    }
}

// Pads or cuts a string argument as "%-10.3s" would.
template <class Ch>
std::basic_string<Ch> fitText(std::basic_string<Ch> text, const Directive& s)
{
    if (s.precision >= 0 && text.size() > static_cast<size_t>(s.precision))
        text.resize(static_cast<size_t>(s.precision));
    if (s.width > 0 && text.size() < static_cast<size_t>(s.width)) {
        const size_t pad = static_cast<size_t>(s.width) - text.size();
        if (s.flags.find('-') != std::string::npos)
            text.append(pad, Ch(' '));
        else
            text.insert(0, pad, Ch(' '));
    }
    return text;
}

template <class Ch>
std::basic_string<Ch> formatData(const std::basic_string<Ch>& f, std::initializer_list<aFormatArg> args)
{
    std::basic_string<Ch> out;
    const aFormatArg* next = args.begin();
    size_t i = 0;
    while (i < f.size()) {
        if (f[i] != Ch('%')) {
            out += f[i++];
            continue;
        }
        if (i + 1 < f.size() && f[i + 1] == Ch('%')) {
            out += Ch('%');
            i += 2;
            continue;
        }
        const Directive s = parseDirective(f, i);
        bool filled = false;
        if (s.conversion != 0 && next != args.end()) {
            const auto& v = next->value();
            const char c = s.conversion;
            if (std::strchr("diuxXoc", c) && std::holds_alternative<long long>(v)) {
                const long long n = std::get<long long>(v);
                if (c == 'c')
                    out += fitText<Ch>(std::basic_string<Ch>(1, static_cast<Ch>(n)), s);
                else
                    out += widen<Ch>(formatNumber(printfDirective(s, "ll", c).c_str(), n));
                filled = true;
            } else if (std::strchr("fFeEgG", c) &&
                       (std::holds_alternative<double>(v) || std::holds_alternative<long long>(v))) {
                const double d = std::holds_alternative<double>(v) ? std::get<double>(v)
                                                                   : static_cast<double>(std::get<long long>(v));
                out += widen<Ch>(formatNumber(printfDirective(s, "", c).c_str(), d));
                filled = true;
            } else if ((c == 's' || c == 'S') &&
                       (std::holds_alternative<std::string>(v) || std::holds_alternative<std::wstring>(v))) {
                const bool isWide = std::holds_alternative<std::wstring>(v);
                out += fitText<Ch>(asText<Ch>(isWide ? std::string() : std::get<std::string>(v),
                                              isWide ? std::get<std::wstring>(v) : std::wstring(), isWide),
                                   s);
                filled = true;
            }
        }
        if (filled) {
            ++next;
            i += s.length;
        } else {
            // Not a conversion we can fill: the text stays as written.
            out += f[i++];
        }
    }
    return out;
}

} // namespace

int buffer_format(char* buffer, const char* format, ...)
{
    if (!buffer || !format)
        return -1;
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer, A_FORMAT_BUFFER, format, args);
    va_end(args);
    return n;
}

std::string string_formatData(const std::string& format, std::initializer_list<aFormatArg> args)
{
    return formatData<char>(format, args);
}

std::wstring string_formatData(const std::wstring& format, std::initializer_list<aFormatArg> args)
{
    return formatData<wchar_t>(format, args);
}
