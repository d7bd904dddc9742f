// aOptionsFile: an INI text file held in memory as an ordered list of
// sections, each an ordered list of keys; names are neither unique nor
// case-folded, and every look-up takes the first match. Callers move a
// current section and a key cursor, read values as text, integers or lists,
// change them and write the whole object back. Usually a stack object of one
// reader; an object is not locked, but no state is shared between objects, so
// the main and the loading thread may each use their own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "orvo/util/a_log.h"

class aStringList;

class aOptionsFile {
public:
    // Limits of "#include" within one load: how deep includes nest, and how
    // many files are included in all (a file including itself twice would
    // otherwise double the work at every level). An include past either limit
    // is skipped; the first one of a load is logged.
    static constexpr int MAX_INCLUDE_DEPTH = 16;
    static constexpr int MAX_INCLUDES = 256;

    aOptionsFile() = default;
    // Loads the file; its first section (if any) is current.
    explicit aOptionsFile(const char* path);
    // Logs how many lines about the file were held back (see below).
    ~aOptionsFile();
    aOptionsFile(const aOptionsFile&) = default;
    aOptionsFile& operator=(const aOptionsFile&) = default;
    aOptionsFile(aOptionsFile&&) noexcept = default;
    aOptionsFile& operator=(aOptionsFile&&) noexcept = default;

    // Removes all sections, loads the file; its first section (if any) is
    // current. Like load, answers whether the file gave any bytes.
    bool loadFile(const char* path);
    // Removes all sections, reads INI text from memory as loadFile reads a
    // file; `name` stands for the file in log lines. Includes are engine paths.
    void parse(const void* bytes, size_t size, const char* name = "");
    // Appends the file's sections and keys. With `topLevel` clear the text
    // continues the object: keys before its first section join the last one.
    bool load(const char* path, bool topLevel);
    // Writes every section, its keys and an empty line, lines ended by CR LF,
    // through a temporary file; a failure is logged and answers false.
    bool save(const char* path) const;

    void firstSection();
    void nextSection();
    bool isSectionEnd() const;
    bool setSection(const std::string& name);
    std::string getSectionName() const;
    // Appends an empty section; the current section does not change.
    void addSection(const std::string& name);

    bool firstKey();
    bool nextKey();
    bool isKeyEnd() const;
    std::string getKeyName() const;
    std::string getKeyValue() const;
    uint32_t getKeyCount() const;
    bool findKey(const std::string& key) const;

    // Values of the current section; a missing key or section is logged and
    // reads as "" (0 for numbers). Of each kind of complaint (incorrect
    // lines, keys not found) an object logs the first hundred; the rest are
    // counted and told in one line when the object is done or loads again.
    std::string getString(const std::string& key) const;
    int32_t getInt(const std::string& key) const;
    void getStringList(const std::string& key, std::vector<std::string>& out) const;
    void getIntList(const std::string& key, std::vector<int32_t>& out) const;
    // Appends the items of a value, split at every run of commas and blanks.
    static void splitStrings(const std::string& value, std::vector<std::string>& out);
    static void splitInts(const std::string& value, std::vector<int32_t>& out);

    // Set the key in every section of that name (appended when missing).
    // Neither the current section nor the key cursor moves.
    void set(const std::string& section, const std::string& key, const std::string& value);
    void setInt(const std::string& section, const std::string& key, int32_t value);
    void setFloat(const std::string& section, const std::string& key, float value);
    void setStringList(const std::string& section, const std::string& key, const std::vector<std::string>& values);
    void setIntList(const std::string& section, const std::string& key, const std::vector<int32_t>& values);

private:
    struct Key {
        std::string name;
        std::string value;
    };
    struct Section {
        std::string name;
        std::vector<Key> keys;
    };
    // State of one load, handed down to its includes.
    struct LoadState {
        bool sectionSeen = false;
        int depth = 0;
        int includes = 0;
        bool limitLogged = false;
    };
    static constexpr size_t NONE = SIZE_MAX;

    void parseLines(const aStringList& lines, const char* name, LoadState& state);
    void parseLine(const std::string& line, const char* name, LoadState& state);
    void include(const std::string& path, const char* from, LoadState& state);
    void removeAll();
    void flushIncorrectLines();
    void flushLog();
    const Section* current() const { return m_current < m_sections.size() ? &m_sections[m_current] : nullptr; }
    const Key* findFirst(const std::string& key) const;

    // Cursors are indexes (NONE for "past the end"), so appending sections or
    // keys never moves or invalidates them.
    std::vector<Section> m_sections;
    size_t m_current = NONE;
    size_t m_key = NONE;
    std::string m_name; // the file the summaries name
    aLogLimit m_incorrectLines;
    mutable aLogLimit m_missingKeys;
};
