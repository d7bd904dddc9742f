// Narrow-string comparison that ignores ASCII case (bytes above 0x7F compare
// as they are): the key order of the assign table and the archive cache, and
// the case-insensitive match of file and member names. Any thread.
#pragma once

#include <cstddef>
#include <string>

inline char caseless_lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The first `count` bytes of a and b are equal ignoring ASCII case (both must hold them).
inline bool caseless_equalN(const char* a, const char* b, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        if (caseless_lower(a[i]) != caseless_lower(b[i]))
            return false;
    return true;
}

inline bool caseless_equal(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && caseless_equalN(a.data(), b.data(), a.size());
}

struct aCaselessLess {
    bool operator()(const std::string& a, const std::string& b) const
    {
        const size_t count = a.size() < b.size() ? a.size() : b.size();
        for (size_t i = 0; i < count; ++i) {
            const auto ca = static_cast<unsigned char>(caseless_lower(a[i]));
            const auto cb = static_cast<unsigned char>(caseless_lower(b[i]));
            if (ca != cb)
                return ca < cb;
        }
        return a.size() < b.size();
    }
};
