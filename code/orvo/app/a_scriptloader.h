// aScriptLoader: base of the readers of block scripts. It owns the syntax
// (";" comments, "#define" macros used as $name$, "#include", header lines
// opened by "{" and closed by "}" on lines of their own, words split at blanks
// and tabs with double quotes grouping) and hands the meaning of the blocks
// to the derived class through the On... operations. One thread at a time
// uses a loader; the callbacks run on that thread, from inside load.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "orvo/util/a_log.h"

class aScriptLoader {
public:
    using Words = std::vector<std::string>;

    // Limits of "#include" within one load: how deep includes nest, and how
    // many files are included in all (a script including itself twice would
    // otherwise double the work at every level). An include past either limit
    // is skipped; the first one of a load is logged.
    static constexpr int MAX_INCLUDE_DEPTH = 16;
    static constexpr int MAX_INCLUDES = 256;

    aScriptLoader() = default;
    virtual ~aScriptLoader() = default;
    aScriptLoader(const aScriptLoader&) = delete;
    aScriptLoader& operator=(const aScriptLoader&) = delete;

    // OnScriptBegin, the whole script (a missing file reads as empty), OnScriptEnd.
    void load(const std::string& path);

protected:
    virtual void OnScriptBegin(const std::string& path) { (void)path; }
    virtual void OnScriptEnd(const std::string& path) { (void)path; }
    // The value of the new block; 0 ignores the block with everything in it.
    virtual int32_t OnSectionHeader(int32_t parent, const Words& words) = 0;
    virtual void OnSectionEnd(int32_t value) = 0;
    virtual void OnSectionLine(int32_t value, const Words& words) = 0;

    // Reads one file. A top-level file starts afresh; an included one goes on
    // with the includer's macros, open blocks and pending line.
    void parse(const std::string& path, bool topLevel);

private:
    // The first hundred errors of a load are logged, the rest counted.
    void logError(const std::string& path, int lineNumber);
    // Logs the blocks a script left open beyond the `openBefore` it found.
    void reportOpenBlocks(const std::string& path, size_t openBefore);
    void parseLine(std::string line, const std::string& path, int lineNumber);
    void substituteMacros(std::string& line) const;
    bool define(const std::string& line, size_t at);
    void include(const std::string& line, size_t at, const std::string& path, int lineNumber);
    void openBlock();
    void closeBlock();
    void setPending(const std::string& trimmed);
    void deliverPending();
    static Words splitWords(const std::string& line);

    std::string m_pending;
    Words m_words;
    std::vector<int32_t> m_blocks;
    std::map<std::string, std::string> m_macros;
    int m_depth = 0;
    int m_includes = 0;
    bool m_limitLogged = false;
    aLogLimit m_errors;
};
