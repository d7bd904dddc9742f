#include "orvo/app/a_optionsfile.h"

#include <algorithm>

#include "orvo/util/a_log.h"
#include "orvo/util/a_string.h"
#include "orvo/util/a_stringlist.h"

namespace {

const std::string kUtf8Signature = "\xEF\xBB\xBF";

template <class T, class ToText> std::string join(const std::vector<T>& items, ToText toText)
{
    std::string out;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            out += ',';
        out += toText(items[i]);
    }
    return out;
}

} // namespace

aOptionsFile::aOptionsFile(const char* path)
{
    loadFile(path);
}

aOptionsFile::~aOptionsFile()
{
    flushLog();
}

void aOptionsFile::flushIncorrectLines()
{
    // The file's name is put together only when there is something to tell.
    if (m_incorrectLines.skipped() > 0)
        m_incorrectLines.flush(("aOptionsFile. Incorrect file: " + m_name).c_str());
    m_incorrectLines.reset();
}

void aOptionsFile::flushLog()
{
    flushIncorrectLines();
    if (m_missingKeys.skipped() > 0)
        m_missingKeys.flush(("aOptionsFile. Keys not found in " + m_name).c_str());
    m_missingKeys.reset();
}

void aOptionsFile::removeAll()
{
    flushLog();
    m_sections.clear();
    m_current = NONE;
    m_key = NONE;
}

bool aOptionsFile::loadFile(const char* path)
{
    removeAll();
    m_name = path ? path : "";
    const bool read = load(path, true);
    flushIncorrectLines();
    firstSection();
    return read;
}

void aOptionsFile::parse(const void* bytes, size_t size, const char* name)
{
    removeAll();
    m_name = name ? name : "";
    aStringList lines;
    lines.parse(bytes, size);
    LoadState state;
    parseLines(lines, m_name.c_str(), state);
    flushIncorrectLines();
    firstSection();
}

bool aOptionsFile::load(const char* path, bool topLevel)
{
    LoadState state;
    state.sectionSeen = !topLevel && !m_sections.empty();
    aStringList lines;
    const bool read = lines.load(path);
    parseLines(lines, path ? path : "", state);
    return read;
}

void aOptionsFile::parseLines(const aStringList& lines, const char* name, LoadState& state)
{
    const auto& all = lines.lines();
    for (size_t i = 0; i < all.size(); ++i) {
        // A file saved with a UTF-8 signature would otherwise lose its first section.
        if (i == 0 && all[0].compare(0, kUtf8Signature.size(), kUtf8Signature) == 0)
            parseLine(all[0].substr(kUtf8Signature.size()), name, state);
        else
            parseLine(all[i], name, state);
    }
}

void aOptionsFile::parseLine(const std::string& line, const char* name, LoadState& state)
{
    size_t p = line.find_first_not_of(' ');
    if (p == std::string::npos || line[p] == ';')
        return;

    if (line.compare(p, 8, "#include") == 0) {
        // The name sits between the first pair of double quotes, and at least
        // one other character must stand between "#include" and the first quote.
        const size_t open = line.find('"', p + 8);
        if (open == std::string::npos || open == p + 8)
            return;
        const size_t close = line.find('"', open + 1);
        const std::string file =
            line.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
        if (!file.empty())
            include(file, name, state);
        return;
    }

    if (line[p] == '[') {
        const size_t end = line.find(']', p + 1);
        m_sections.push_back({line.substr(p + 1, end == std::string::npos ? std::string::npos : end - p - 1), {}});
        state.sectionSeen = true;
        return;
    }

    if (!state.sectionSeen || m_sections.empty()) {
        if (m_incorrectLines.allow())
            a_log("aOptionsFile. Incorrect file: %s", name);
        return;
    }
    const size_t nameEnd = std::min(line.find_first_of(" =", p), line.size());
    const size_t valueStart = std::min(line.find_first_not_of(" =", nameEnd), line.size());
    const size_t valueEnd = std::min(line.find(';', valueStart), line.size());
    m_sections.back().keys.push_back({line.substr(p, nameEnd - p), line.substr(valueStart, valueEnd - valueStart)});
}

void aOptionsFile::include(const std::string& path, const char* from, LoadState& state)
{
    if (state.depth >= MAX_INCLUDE_DEPTH || state.includes >= MAX_INCLUDES) {
        if (!state.limitLogged)
            a_log("aOptionsFile. Too many includes, \"%s\" not read from %s", path.c_str(), from);
        state.limitLogged = true;
        return;
    }
    ++state.includes;
    aStringList lines;
    lines.load(path.c_str());
    ++state.depth;
    parseLines(lines, path.c_str(), state);
    --state.depth;
}

bool aOptionsFile::save(const char* path) const
{
    aStringList lines;
    for (const auto& section : m_sections) {
        lines.add("[" + section.name + "]");
        for (const auto& key : section.keys)
            lines.add(key.name + "=" + key.value);
        lines.add("");
    }
    return lines.save(path);
}

void aOptionsFile::firstSection()
{
    m_current = m_sections.empty() ? NONE : 0;
    m_key = NONE;
}

void aOptionsFile::nextSection()
{
    if (m_current < m_sections.size() && ++m_current == m_sections.size())
        m_current = NONE;
    m_key = NONE;
}

bool aOptionsFile::isSectionEnd() const
{
    return m_current >= m_sections.size();
}

bool aOptionsFile::setSection(const std::string& name)
{
    for (size_t i = 0; i < m_sections.size(); ++i) {
        if (m_sections[i].name == name) {
            m_current = i;
            m_key = NONE;
            return true;
        }
    }
    return false;
}

std::string aOptionsFile::getSectionName() const
{
    const Section* s = current();
    return s ? s->name : std::string();
}

void aOptionsFile::addSection(const std::string& name)
{
    m_sections.push_back({name, {}});
}

bool aOptionsFile::firstKey()
{
    const Section* s = current();
    if (!s)
        return false;
    m_key = s->keys.empty() ? NONE : 0;
    return true;
}

bool aOptionsFile::nextKey()
{
    const Section* s = current();
    if (!s || m_key >= s->keys.size())
        return false;
    if (++m_key == s->keys.size())
        m_key = NONE;
    return true;
}

bool aOptionsFile::isKeyEnd() const
{
    const Section* s = current();
    return !s || m_key >= s->keys.size();
}

std::string aOptionsFile::getKeyName() const
{
    return isKeyEnd() ? std::string() : current()->keys[m_key].name;
}

std::string aOptionsFile::getKeyValue() const
{
    return isKeyEnd() ? std::string() : current()->keys[m_key].value;
}

uint32_t aOptionsFile::getKeyCount() const
{
    const Section* s = current();
    return s ? static_cast<uint32_t>(s->keys.size()) : 0;
}

const aOptionsFile::Key* aOptionsFile::findFirst(const std::string& key) const
{
    const Section* s = current();
    if (!s)
        return nullptr;
    for (const auto& k : s->keys)
        if (k.name == key)
            return &k;
    return nullptr;
}

bool aOptionsFile::findKey(const std::string& key) const
{
    return findFirst(key) != nullptr;
}

std::string aOptionsFile::getString(const std::string& key) const
{
    if (!current()) {
        if (m_missingKeys.allow())
            a_log("aOptionsFile. Error get key \"%s\" from unspecified current section!", key.c_str());
        return {};
    }
    const Key* k = findFirst(key);
    if (!k) {
        if (m_missingKeys.allow())
            a_log("aOptionsFile. Cannot find key \"%s\" in current section!", key.c_str());
        return {};
    }
    return k->value;
}

int32_t aOptionsFile::getInt(const std::string& key) const
{
    return string_toInt(getString(key));
}

void aOptionsFile::getStringList(const std::string& key, std::vector<std::string>& out) const
{
    splitStrings(getString(key), out);
}

void aOptionsFile::getIntList(const std::string& key, std::vector<int32_t>& out) const
{
    splitInts(getString(key), out);
}

void aOptionsFile::splitStrings(const std::string& value, std::vector<std::string>& out)
{
    size_t p = value.find_first_not_of(", ");
    while (p != std::string::npos) {
        const size_t end = value.find_first_of(", ", p);
        out.push_back(value.substr(p, end == std::string::npos ? std::string::npos : end - p));
        p = value.find_first_not_of(", ", end);
    }
}

void aOptionsFile::splitInts(const std::string& value, std::vector<int32_t>& out)
{
    std::vector<std::string> items;
    splitStrings(value, items);
    for (const auto& item : items)
        out.push_back(string_toInt(item));
}

void aOptionsFile::set(const std::string& section, const std::string& key, const std::string& value)
{
    bool found = false;
    for (auto& s : m_sections) {
        if (s.name != section)
            continue;
        found = true;
        bool keySet = false;
        for (auto& k : s.keys) {
            if (k.name == key) {
                k.value = value;
                keySet = true;
                break;
            }
        }
        if (!keySet)
            s.keys.push_back({key, value});
    }
    if (!found)
        a_log("aOptionsFile. Cannot find section for set: %s", section.c_str());
}

void aOptionsFile::setInt(const std::string& section, const std::string& key, int32_t value)
{
    set(section, key, string_format("%d", value));
}

void aOptionsFile::setFloat(const std::string& section, const std::string& key, float value)
{
    set(section, key, string_fromFloat(value));
}

void aOptionsFile::setStringList(const std::string& section, const std::string& key,
                                 const std::vector<std::string>& values)
{
    set(section, key, join(values, [](const std::string& v) { return v; }));
}

void aOptionsFile::setIntList(const std::string& section, const std::string& key, const std::vector<int32_t>& values)
{
    set(section, key, join(values, [](int32_t v) { return string_format("%d", v); }));
}
