// Text built in a fixed buffer held by the object, for code that must not
// touch the heap (the crash reports). What does not fit is cut off; the text
// is always terminated. One thread per object.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

template <size_t N> class aFixedText {
    static_assert(N > 1, "room for at least one character");

public:
    aFixedText() = default;
    explicit aFixedText(const char* text) { append(text); }

    aFixedText& append(const char* text) { return text ? append(text, std::strlen(text)) : *this; }

    aFixedText& append(const char* text, size_t length)
    {
        const size_t n = length < N - 1 - m_size ? length : N - 1 - m_size;
        std::memcpy(m_text + m_size, text, n);
        m_size += n;
        m_text[m_size] = '\0';
        return *this;
    }

    aFixedText& decimal(int64_t value)
    {
        char digits[24];
        size_t n = 0;
        // The magnitude as unsigned, so that the most negative value prints too.
        uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
        do {
            digits[sizeof digits - 1 - n++] = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude);
        if (value < 0)
            digits[sizeof digits - 1 - n++] = '-';
        return append(digits + sizeof digits - n, n);
    }

    // Upper-case hexadecimal with at least `digits` digits (at most 16).
    aFixedText& hex(uint64_t value, int digits)
    {
        char out[16];
        int n = 0;
        do {
            out[15 - n++] = "0123456789ABCDEF"[value & 15];
            value >>= 4;
        } while (n < 16 && (value || n < digits));
        return append(out + 16 - n, static_cast<size_t>(n));
    }

    void clear()
    {
        m_size = 0;
        m_text[0] = '\0';
    }

    const char* c_str() const { return m_text; }
    size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }

private:
    char m_text[N] = {};
    size_t m_size = 0;
};
