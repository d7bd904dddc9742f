#include "orvo/util/a_stringlist.h"

#include "orvo/app/a_file.h"
#include "orvo/util/a_log.h"

aStringList::aStringList(const char* path)
{
    load(path);
}

bool aStringList::load(const char* path)
{
    aFileBuffer file(path);
    parse(file.bytes(), file.size());
    return !file.empty();
}

void aStringList::parse(const void* bytes, size_t size)
{
    clear();
    const auto* text = static_cast<const unsigned char*>(bytes);
    if (!text)
        size = 0;
    size_t i = 0;
    aLogLimit longLines;
    while (i < size && (text[i] == '\r' || text[i] == '\n'))
        ++i;
    while (i < size) {
        const size_t start = i;
        while (i < size && text[i] != '\r' && text[i] != '\n')
            ++i;
        const size_t length = i - start;
        if (length > MAX_LINE && longLines.allow())
            a_log("aStringList. Long string");
        // A zero byte ends the line's text; what follows it up to the break is dropped.
        size_t kept = 0;
        while (kept < length && text[start + kept] != 0)
            ++kept;
        m_lines.emplace_back(reinterpret_cast<const char*>(text + start), kept);
        while (i < size && (text[i] == '\r' || text[i] == '\n'))
            ++i;
    }
    longLines.flush("aStringList. Long string");
    rewind();
}

std::string aStringList::toText() const
{
    size_t total = 0;
    for (const auto& line : m_lines)
        total += line.size() + 2;
    std::string out;
    out.reserve(total);
    for (const auto& line : m_lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

bool aStringList::save(const char* path) const
{
    const std::string text = toText();
    if (text.size() > UINT32_MAX || !file_writeFull(path, text.data(), static_cast<uint32_t>(text.size()))) {
        a_log("aStringList. Cannot write file: %s", path ? path : "");
        return false;
    }
    return true;
}

void aStringList::clear()
{
    m_lines.clear();
    m_cursor = END;
}

const std::string& aStringList::get() const
{
    static const std::string kEmpty;
    return m_cursor < m_lines.size() ? m_lines[m_cursor] : kEmpty;
}
