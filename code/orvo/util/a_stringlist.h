// aStringList: a text file as an ordered list of lines with one read cursor.
// The INI, locale and script readers and the resource lists read their files
// through it. An object belongs to one thread at a time; it keeps no state
// outside itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class aStringList {
public:
    // Lines up to this length are the norm; longer ones are kept whole but logged.
    static constexpr size_t MAX_LINE = 1023;

    aStringList() = default;
    // Loads the file; the cursor stands on the first line.
    explicit aStringList(const char* path);

    // Reads a whole engine path; a file that cannot be read gives no lines.
    // Answers whether the file gave any bytes (an empty file gives none).
    bool load(const char* path);
    // Replaces the contents by the lines of `size` bytes of text. CR and LF
    // both end a line, runs of them count as one break, so no line is empty;
    // a zero byte ends the text of its line. The cursor goes to the first line.
    void parse(const void* bytes, size_t size);
    // Writes every line followed by CR LF (through a temporary file); a
    // failure is logged and answers false.
    bool save(const char* path) const;
    // The bytes that save writes.
    std::string toText() const;

    void add(const std::string& line) { m_lines.push_back(line); }
    void clear();
    uint32_t count() const { return static_cast<uint32_t>(m_lines.size()); }

    void rewind() { m_cursor = m_lines.empty() ? END : 0; }
    void next()
    {
        if (m_cursor < m_lines.size() && ++m_cursor == m_lines.size())
            m_cursor = END;
    }
    // A cursor at the end stays there when lines are added.
    bool isEnd() const { return m_cursor >= m_lines.size(); }
    // The line under the cursor; an empty line when the cursor is at the end.
    const std::string& get() const;

    const std::vector<std::string>& lines() const { return m_lines; }

private:
    static constexpr size_t END = SIZE_MAX;

    std::vector<std::string> m_lines;
    size_t m_cursor = END;
};
