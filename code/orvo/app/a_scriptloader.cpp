#include "orvo/app/a_scriptloader.h"

#include <algorithm>

#include "orvo/util/a_log.h"
#include "orvo/util/a_stringlist.h"

namespace {

const std::string kUtf8Signature = "\xEF\xBB\xBF";

// A line that grows past this through macros is refused. A script of
// ordinary 1023-character lines stays far below it; without a bound a few
// long lines of macro uses could eat all memory.
constexpr size_t kMaxExpandedLine = 1 << 20;

} // namespace

void aScriptLoader::logError(const std::string& path, int lineNumber)
{
    if (m_errors.allow())
        a_log("Error in script \"%s\", line %i", path.c_str(), lineNumber);
}

void aScriptLoader::load(const std::string& path)
{
    OnScriptBegin(path);
    parse(path, true);
    m_errors.flush(("Error in script \"" + path + "\"").c_str());
    reportOpenBlocks(path, 0);
    OnScriptEnd(path);
}

void aScriptLoader::reportOpenBlocks(const std::string& path, size_t openBefore)
{
    // A script cut short would otherwise lose the rest of its blocks without a word.
    if (m_blocks.size() > openBefore)
        a_log("Error in script \"%s\", %zu block(s) not closed at its end", path.c_str(), m_blocks.size() - openBefore);
}

void aScriptLoader::parse(const std::string& path, bool topLevel)
{
    if (topLevel) {
        m_words.clear();
        m_pending.clear();
        m_blocks.clear();
        m_macros.clear();
        m_includes = 0;
        m_limitLogged = false;
    }
    const aStringList lines(path.c_str());
    const auto& all = lines.lines();
    for (size_t i = 0; i < all.size(); ++i) {
        // A script saved with a UTF-8 signature would otherwise lose its first header.
        if (i == 0 && all[0].compare(0, kUtf8Signature.size(), kUtf8Signature) == 0)
            parseLine(all[0].substr(kUtf8Signature.size()), path, 1);
        else
            parseLine(all[i], path, static_cast<int>(i + 1));
    }
}

void aScriptLoader::parseLine(std::string line, const std::string& path, int lineNumber)
{
    substituteMacros(line);
    if (line.size() > kMaxExpandedLine) {
        logError(path, lineNumber);
        return;
    }
    const size_t p = line.find_first_not_of(" \t");
    if (p == std::string::npos || line[p] == ';')
        return;

    if (line.compare(p, 7, "#define") == 0) {
        if (!define(line, p))
            logError(path, lineNumber);
        return;
    }
    if (line.compare(p, 8, "#include") == 0) {
        include(line, p, path, lineNumber);
        return;
    }

    const size_t last = line.find_last_not_of(" \t");
    const std::string trimmed = line.substr(p, last - p + 1);
    if (trimmed == "{") {
        if (m_pending.empty())
            logError(path, lineNumber);
        else
            openBlock();
    } else if (trimmed == "}") {
        if (m_blocks.empty())
            logError(path, lineNumber);
        else
            closeBlock();
    } else {
        deliverPending();
        setPending(trimmed);
    }
}

void aScriptLoader::substituteMacros(std::string& line) const
{
    if (m_macros.empty() || line.find('$') == std::string::npos)
        return;
    std::string out;
    size_t copied = 0;
    size_t open = line.find('$');
    while (open != std::string::npos) {
        const size_t close = line.find('$', open + 1);
        if (close == std::string::npos)
            break;
        const auto it = m_macros.find(line.substr(open + 1, close - open - 1));
        if (it == m_macros.end()) {
            // The closing sign may open the next name.
            open = close;
            continue;
        }
        out.append(line, copied, open - copied);
        out += it->second;
        copied = close + 1;
        if (out.size() > kMaxExpandedLine)
            break;
        open = line.find('$', copied);
    }
    if (copied == 0)
        return;
    out.append(line, copied, std::string::npos);
    line.swap(out);
}

bool aScriptLoader::define(const std::string& line, size_t at)
{
    // One character after "#define" is its separator; the name is looked for behind it.
    const size_t from = at + 8;
    if (from >= line.size())
        return false;
    const size_t nameStart = line.find_first_not_of(" \t", from);
    if (nameStart == std::string::npos)
        return false;
    const size_t nameEnd = line.find_first_of(" \t", nameStart);
    if (nameEnd == std::string::npos)
        return false;
    std::string& text = m_macros[line.substr(nameStart, nameEnd - nameStart)];
    const size_t open = line.find('"', nameEnd);
    const size_t close = line.rfind('"');
    if (open == std::string::npos || close == open)
        return false;
    text = line.substr(open + 1, close - open - 1);
    return true;
}

void aScriptLoader::include(const std::string& line, size_t at, const std::string& path, int lineNumber)
{
    const size_t from = at + 9;
    const size_t open = from < line.size() ? line.find('"', from) : std::string::npos;
    const size_t close = line.rfind('"');
    if (open == std::string::npos || close == open) {
        logError(path, lineNumber);
        return;
    }
    if (m_depth >= MAX_INCLUDE_DEPTH || m_includes >= MAX_INCLUDES) {
        if (!m_limitLogged)
            a_log("aScriptLoader. Too many includes in \"%s\", line %i", path.c_str(), lineNumber);
        m_limitLogged = true;
        return;
    }
    ++m_includes;
    ++m_depth;
    const std::string included = line.substr(open + 1, close - open - 1);
    const size_t openBefore = m_blocks.size();
    parse(included, false);
    reportOpenBlocks(included, openBefore);
    --m_depth;
}

void aScriptLoader::openBlock()
{
    Words header = std::move(m_words);
    m_words.clear();
    m_pending.clear();
    if (!m_blocks.empty() && m_blocks.back() == 0) {
        m_blocks.push_back(0);
        return;
    }
    const int32_t parent = m_blocks.empty() ? 0 : m_blocks.back();
    const int32_t value = OnSectionHeader(parent, header);
    m_blocks.push_back(value);
}

void aScriptLoader::closeBlock()
{
    const int32_t value = m_blocks.back();
    m_blocks.pop_back();
    Words last = std::move(m_words);
    const bool pending = !m_pending.empty();
    m_words.clear();
    m_pending.clear();
    if (value == 0)
        return;
    if (pending)
        OnSectionLine(value, last);
    OnSectionEnd(value);
}

void aScriptLoader::deliverPending()
{
    if (m_pending.empty() || m_blocks.empty() || m_blocks.back() == 0)
        return;
    OnSectionLine(m_blocks.back(), m_words);
}

void aScriptLoader::setPending(const std::string& trimmed)
{
    m_pending = trimmed;
    m_words = splitWords(trimmed);
}

aScriptLoader::Words aScriptLoader::splitWords(const std::string& line)
{
    Words words;
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == '"') {
            const size_t close = line.find('"', i + 1);
            if (close == std::string::npos)
                break;
            words.push_back(line.substr(i + 1, close - i - 1));
            i = close + 1;
        } else {
            const size_t end = std::min(line.find_first_of(" \t", i), line.size());
            words.push_back(line.substr(i, end - i));
            i = end;
        }
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
    }
    return words;
}
