#include "orvo/util/a_exception.h"

#include <cstdarg>
#include <cstdio>

aException::aException(const char* format, ...)
{
    m_text[0] = '\0';
    if (!format)
        return;
    va_list args;
    va_start(args, format);
    std::vsnprintf(m_text, sizeof m_text, format, args);
    va_end(args);
}
