// Opens the engine log on a temporary file for the life of a test and gives
// back what was written, time stamps stripped.
#pragma once

#include <string>
#include <vector>

#include "orvo/util/a_log.h"
#include "support/temp_dir.h"
#include "support/text_lines.h"

namespace kbtest {

class LogCapture {
public:
    LogCapture()
        : m_dir("log")
    {
        m_path = m_dir.file("orvo.log");
        (void)a_logOpen(m_path.c_str(), true);
    }
    ~LogCapture() { a_logClose(); }

    std::string raw() const { return readFile(m_path); }

    // The message part of each line ("hh:mm:ss.mmm\t" removed).
    std::vector<std::string> messages() const { return splitLines(raw(), true); }

    bool contains(const std::string& message) const
    {
        for (const auto& m : messages())
            if (m == message)
                return true;
        return false;
    }

    const std::string& path() const { return m_path; }

private:
    TempDir m_dir;
    std::string m_path;
};

} // namespace kbtest
