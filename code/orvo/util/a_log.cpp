#include "orvo/util/a_log.h"

#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "orvo/util/a_timer.h"

namespace {

constexpr size_t kMessageSize = 2000;
constexpr size_t kLocationSize = 300;

std::mutex g_logLock;
FILE* g_logFile = nullptr;
aLogClock g_clock = nullptr;

// The log clock starts during static initialisation, before the entry point.
const aTimer g_logTimer(0);

double clockSeconds()
{
    if (g_clock)
        return g_clock();
    return g_logTimer.getSecondsPrecise();
}

// Removes a UTF-8 sequence that the buffer cut in half.
void trimPartialUtf8(char* text, size_t length)
{
    size_t i = length;
    size_t continuation = 0;
    while (i > 0 && (static_cast<unsigned char>(text[i - 1]) & 0xC0) == 0x80 && continuation < 3) {
        --i;
        ++continuation;
    }
    if (i == 0)
        return;
    const unsigned char lead = static_cast<unsigned char>(text[i - 1]);
    size_t expected = 0;
    if ((lead & 0xE0) == 0xC0)
        expected = 1;
    else if ((lead & 0xF0) == 0xE0)
        expected = 2;
    else if ((lead & 0xF8) == 0xF0)
        expected = 3;
    else
        return;
    if (continuation < expected)
        text[i - 1] = '\0';
}

void writeLine(const char* message)
{
    // One clock reading gives every field, so the millisecond part is always 0..999.
    const double now = clockSeconds();
    const long long totalMs = static_cast<long long>(now * 1000.0);
    const long long seconds = totalMs / 1000;
    const int ms = static_cast<int>(totalMs - seconds * 1000);
    std::fprintf(g_logFile, "%.2lli:%.2lli:%.2lli.%.3i\t%s\n", seconds / 3600, (seconds % 3600) / 60, seconds % 60,
                 ms, message);
    std::fflush(g_logFile);
}

} // namespace

bool a_logOpen(const char* path, bool truncate)
{
    std::lock_guard<std::mutex> lock(g_logLock);
    if (g_logFile) {
        std::fclose(g_logFile);
        g_logFile = nullptr;
    }
    if (!path)
        return false;
    g_logFile = std::fopen(path, truncate ? "w+" : "a+");
    return g_logFile != nullptr;
}

void a_logClose()
{
    std::lock_guard<std::mutex> lock(g_logLock);
    if (g_logFile) {
        std::fclose(g_logFile);
        g_logFile = nullptr;
    }
}

bool a_logIsOpen()
{
    std::lock_guard<std::mutex> lock(g_logLock);
    return g_logFile != nullptr;
}

void a_logV(const char* format, va_list args)
{
    std::lock_guard<std::mutex> lock(g_logLock);
    if (!g_logFile)
        return;
    char message[kMessageSize];
    if (!format) {
        std::snprintf(message, sizeof message, "%s", "a_log. NULL log string");
    } else {
        const int n = std::vsnprintf(message, sizeof message, format, args);
        if (n < 0)
            message[0] = '\0';
        else if (static_cast<size_t>(n) >= sizeof message)
            trimPartialUtf8(message, sizeof message - 1);
    }
    writeLine(message);
}

void a_log(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    a_logV(format, args);
    va_end(args);
}

void a_logText(const char* text)
{
    if (!text) {
        a_log(nullptr);
        return;
    }
    a_log("%s", text);
}

bool a_logTextUrgent(const char* text)
{
    std::unique_lock<std::mutex> lock(g_logLock, std::defer_lock);
    for (int tries = 0; tries < 100 && !lock.try_lock(); ++tries) {
        const timespec pause{0, 1000 * 1000};
        nanosleep(&pause, nullptr);
    }
    if (!lock.owns_lock() || !g_logFile)
        return false;
    writeLine(text ? text : "");
    return true;
}

const char* a_logLocation(const char* sourcePath, unsigned line)
{
    thread_local char location[kLocationSize];
    const char* path = sourcePath ? sourcePath : "";
    const char* slash = std::strrchr(path, '\\');
    if (slash)
        path = slash + 1;
    std::snprintf(location, sizeof location, "(%s, line %u)", path, line);
    return location;
}

void a_logSetClock(aLogClock clock)
{
    std::lock_guard<std::mutex> lock(g_logLock);
    g_clock = clock;
}

aLogLimit& aLogLimit::operator=(const aLogLimit& other)
{
    m_limit = other.m_limit;
    m_logged = m_skipped = 0;
    return *this;
}

aLogLimit::aLogLimit(aLogLimit&& other) noexcept
    : m_limit(other.m_limit), m_logged(other.m_logged), m_skipped(other.m_skipped)
{
    other.m_logged = other.m_skipped = 0;
}

aLogLimit& aLogLimit::operator=(aLogLimit&& other) noexcept
{
    if (this != &other) {
        m_limit = other.m_limit;
        m_logged = other.m_logged;
        m_skipped = other.m_skipped;
        other.m_logged = other.m_skipped = 0;
    }
    return *this;
}

bool aLogLimit::allow()
{
    if (m_logged < m_limit) {
        ++m_logged;
        return true;
    }
    // Saturates: past four billion lines the summary is no less true.
    if (m_skipped < UINT32_MAX)
        ++m_skipped;
    return false;
}

void aLogLimit::flush(const char* what)
{
    if (m_skipped > 0)
        a_log("%s: %u more lines like that were not logged", what ? what : "", static_cast<unsigned>(m_skipped));
    m_logged = m_skipped = 0;
}
