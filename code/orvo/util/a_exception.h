// The exception thrown where a failed check cannot go on. Nothing in the
// engine catches it: it reaches the crash filter.
#pragma once

#include <exception>

class aException : public std::exception {
public:
    static constexpr unsigned kMaxText = 4096;

    // printf-style; the text is cut to 4095 characters.
    explicit aException(const char* format, ...) __attribute__((format(printf, 2, 3)));

    const char* what() const noexcept override { return m_text; }
    const char* getText() const { return m_text; }

private:
    char m_text[kMaxText];
};
