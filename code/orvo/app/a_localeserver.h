// aLocaleServer: the display texts of the chosen language, read from locale
// files of "key = \"text\"" lines and kept as wide strings. The application
// creates the one instance at start-up and deletes it at shutdown. Texts are
// loaded on the main thread; afterwards the main and the loading thread only
// read them, so the tables take no lock.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "orvo/util/a_singleton.h"
#include "orvo/util/a_string.h"

class aLocaleServer : public aSingleton<aLocaleServer> {
public:
    aLocaleServer() = default;
    ~aLocaleServer() override = default;

    // Reads a locale file whose keys are stored as prefix + ":" + key (the key
    // alone when the prefix is empty). A path and prefix already loaded are
    // not read again.
    void load(const std::string& path, const std::string& prefix = "");

    // The text of a key; a missing key is logged and gives an empty text.
    std::wstring getString(const std::string& key, const std::string& prefix = "") const;
    // The stored text, or null (not logged) when the key is missing.
    const std::wstring* getStringEx(const std::string& key, const std::string& prefix = "") const;

private:
    struct LoadedFile {
        std::string path;
        std::string prefix;
    };

    void parseFile(const LoadedFile& file);
    // False when the line is malformed.
    bool parseLine(const std::string& line, const LoadedFile& file, const std::string& keyPrefix);
    static std::string fullKey(const std::string& key, const std::string& prefix);

    std::map<std::string, std::wstring> m_texts;
    std::vector<LoadedFile> m_files;
};
