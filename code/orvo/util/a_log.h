// The engine's single text log. Every message of the program goes through
// a_log with a time stamp measured from process start. The application frame
// opens and closes the file; until then (and after) logging costs nothing.
// Called from the main and the loading thread: messages are kept whole.
#pragma once

#include <cstdarg>
#include <cstdint>

// Opens the log file: appended to, or started afresh when `truncate` is set.
// Any log already open is closed first. Returns false when the file cannot be opened.
[[nodiscard]] bool a_logOpen(const char* path, bool truncate);
void a_logClose();
bool a_logIsOpen();

// printf-style message; a null format logs "a_log. NULL log string".
// Messages longer than the 2000-byte buffer are cut at a character boundary.
void a_log(const char* format, ...) __attribute__((format(printf, 1, 2)));
void a_logV(const char* format, va_list args);

// Writes a text as it stands (a '%' in it is not a directive).
void a_logText(const char* text);

// For crash handlers: writes the text unless the log stays busy for about
// 100 ms (the code that crashed may hold its lock). False when not written.
bool a_logTextUrgent(const char* text);

// "(%s, line %u)" with the part of the path after its last backslash.
// The text lives in a per-thread buffer that the next call overwrites.
const char* a_logLocation(const char* sourcePath, unsigned line);

// Seconds since process start used for time stamps; tests replace it to reach
// times like 100 hours. Null puts back the real clock.
using aLogClock = double (*)();
void a_logSetClock(aLogClock clock);

// Lines of one kind from one source (a file being read, say): the first
// `limit` are written, the rest only counted, so that a damaged file of a
// million bad lines costs the log a hundred of them and one summary. A copy
// starts afresh; a move takes the count along.
class aLogLimit {
public:
    static constexpr uint32_t DEFAULT_LIMIT = 100;

    explicit aLogLimit(uint32_t limit = DEFAULT_LIMIT) : m_limit(limit) {}
    aLogLimit(const aLogLimit& other) : m_limit(other.m_limit) {}
    aLogLimit& operator=(const aLogLimit& other);
    aLogLimit(aLogLimit&& other) noexcept;
    aLogLimit& operator=(aLogLimit&& other) noexcept;

    // True while the line may be written; false (and counted) past the limit.
    bool allow();
    uint32_t skipped() const { return m_skipped; }
    // Logs "<what>: <n> more lines like that were not logged" when some were
    // skipped, then starts afresh.
    void flush(const char* what);
    void reset() { m_logged = m_skipped = 0; }

private:
    uint32_t m_limit;
    uint32_t m_logged = 0;
    uint32_t m_skipped = 0;
};
