// Bounded formatting. buffer_format fills the engine's usual 256-byte
// buffers; string_formatData applies formats that come from data (locale
// texts with "%d", "%s" and the like) without ever handing them to printf
// unchecked: each conversion is filled only when the next argument has the
// kind it expects, anything else is written out as it stands.
#pragma once

#include <initializer_list>
#include <string>
#include <variant>

constexpr int A_FORMAT_BUFFER = 256;

// Formats into a caller buffer of 256 bytes; returns vsnprintf's count
// (256 or more means the text was cut).
int buffer_format(char* buffer, const char* format, ...) __attribute__((format(printf, 2, 3)));

class aFormatArg {
public:
    aFormatArg(int v) : m_value(static_cast<long long>(v)) {}
    aFormatArg(unsigned v) : m_value(static_cast<long long>(v)) {}
    aFormatArg(long v) : m_value(static_cast<long long>(v)) {}
    aFormatArg(long long v) : m_value(v) {}
    aFormatArg(double v) : m_value(v) {}
    aFormatArg(const char* v) : m_value(std::string(v ? v : "")) {}
    aFormatArg(std::string v) : m_value(std::move(v)) {}
    aFormatArg(const wchar_t* v) : m_value(std::wstring(v ? v : L"")) {}
    aFormatArg(std::wstring v) : m_value(std::move(v)) {}

    const std::variant<long long, double, std::string, std::wstring>& value() const { return m_value; }

private:
    std::variant<long long, double, std::string, std::wstring> m_value;
};

std::string string_formatData(const std::string& format, std::initializer_list<aFormatArg> args);
std::wstring string_formatData(const std::wstring& format, std::initializer_list<aFormatArg> args);
