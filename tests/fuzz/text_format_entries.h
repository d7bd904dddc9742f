// One entry per text reader, shared by the fuzz programs (tests/fuzz/*_fuzz.cpp)
// and by the replay of their corpora in orvo_tests. Each entry feeds raw bytes
// through a reader and its getters, and answers false when an invariant of
// the reader breaks; crashes, leaks and bad memory accesses are found by the
// sanitizers the fuzz programs are built with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "orvo/app/a_localeserver.h"
#include "orvo/app/a_optionsfile.h"
#include "orvo/app/a_scriptloader.h"
#include "orvo/util/a_stringlist.h"

namespace kbfuzz {

// A folder of our own for the files the readers must read from disk; made
// once per process under TMPDIR.
inline const std::string& scratchDir()
{
    static const std::string dir = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/kesterby-fuzz-XXXXXX";
        const char* made = mkdtemp(pattern.data());
        return std::string(made ? made : ".");
    }();
    return dir;
}

inline std::string writeScratch(const char* name, const uint8_t* data, size_t size)
{
    const std::string path = scratchDir() + "/" + name;
    // A new file each time: ext4 flushes a file truncated and written again
    // when it is closed, which would cost more than the reader itself.
    std::remove(path.c_str());
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        if (size)
            std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    return path;
}

// Lines survive a save and a new parse, except lines a zero byte emptied.
inline bool stringList(const uint8_t* data, size_t size)
{
    aStringList list;
    list.parse(data, size);
    std::vector<std::string> kept;
    for (list.rewind(); !list.isEnd(); list.next()) {
        if (list.get().find_first_of("\r\n") != std::string::npos)
            return false;
        if (!list.get().empty())
            kept.push_back(list.get());
    }
    const std::string text = list.toText();
    aStringList again;
    again.parse(text.data(), text.size());
    return again.lines() == kept;
}

// The sections and keys of an object, flattened for comparison.
inline std::vector<std::string> flatten(aOptionsFile& ini)
{
    std::vector<std::string> flat;
    for (ini.firstSection(); !ini.isSectionEnd(); ini.nextSection()) {
        flat.push_back(std::string("[").append(ini.getSectionName()));
        for (ini.firstKey(); !ini.isKeyEnd(); ini.nextKey())
            flat.push_back(ini.getKeyName() + "=" + ini.getKeyValue());
    }
    return flat;
}

// Text read from memory and from a file gives one structure, which survives
// save and load unchanged; the getters agree with each other.
inline bool optionsFile(const uint8_t* data, size_t size)
{
    // Written first: the text may include itself.
    const std::string path = writeScratch("fuzz.ini", data, size);
    aOptionsFile ini;
    ini.parse(data, size, "fuzz.ini");
    const std::vector<std::string> flat = flatten(ini);
    aOptionsFile fromFile(path.c_str());
    if (flatten(fromFile) != flat)
        return false;

    for (ini.firstSection(); !ini.isSectionEnd(); ini.nextSection()) {
        uint32_t keys = 0;
        for (ini.firstKey(); !ini.isKeyEnd(); ini.nextKey(), ++keys) {
            const std::string name = ini.getKeyName();
            std::vector<std::string> words;
            std::vector<int32_t> numbers;
            ini.getStringList(name, words);
            ini.getIntList(name, numbers);
            if (words.size() != numbers.size() || ini.getString(name).find(';') != std::string::npos)
                return false;
            (void)ini.getInt(name);
        }
        if (keys != ini.getKeyCount())
            return false;
    }

    // Removed at once: a later input that includes it must not grow it run by run.
    const std::string saved = scratchDir() + "/saved.ini";
    if (!ini.save(saved.c_str()))
        return false;
    aOptionsFile back(saved.c_str());
    std::remove(saved.c_str());
    if (flatten(back) != flat)
        return false;

    // A list set into every section of the first name reads back.
    if (!flat.empty()) {
        const std::string first = flat.front().substr(1);
        ini.setIntList(first, "fuzzList", {1, -2});
        std::vector<int32_t> numbers;
        if (!ini.setSection(first))
            return false;
        ini.getIntList("fuzzList", numbers);
        return numbers == std::vector<int32_t>{1, -2};
    }
    return true;
}

// Locale files are read from disk; a "file," value may name the file itself.
inline bool localeFile(const uint8_t* data, size_t size)
{
    const std::string path = writeScratch("Main.txt", data, size);
    aLocaleServer locale;
    locale.load(path, "");
    locale.load(path, "p");
    const std::wstring* text = locale.getStringEx("app_name");
    for (wchar_t w : text ? *text : std::wstring())
        if (w < 0 || w > 0xFFFF)
            return false;
    return true;
}

// Checks that the callbacks nest: every line and end goes to the innermost
// open block, every header names it as its parent.
class CheckingLoader : public aScriptLoader {
public:
    bool ok = true;

protected:
    int32_t OnSectionHeader(int32_t parent, const Words& words) override
    {
        ok = ok && parent == top();
        // Some headers are ignored so that ignored blocks are fuzzed too.
        const int32_t value = words.empty() || words[0].size() % 4 == 3 ? 0 : ++m_count;
        if (value)
            m_open.push_back(value);
        return value;
    }
    void OnSectionEnd(int32_t value) override
    {
        ok = ok && value != 0 && value == top();
        if (!m_open.empty())
            m_open.pop_back();
    }
    void OnSectionLine(int32_t value, const Words& words) override
    {
        (void)words;
        ok = ok && value != 0 && value == top();
    }
    void OnScriptBegin(const std::string&) override { m_open.clear(); }

private:
    int32_t top() const { return m_open.empty() ? 0 : m_open.back(); }
    std::vector<int32_t> m_open;
    int32_t m_count = 0;
};

inline bool scriptLoader(const uint8_t* data, size_t size)
{
    const std::string path = writeScratch("s.agui", data, size);
    CheckingLoader loader;
    loader.load(path);
    return loader.ok;
}

} // namespace kbfuzz
