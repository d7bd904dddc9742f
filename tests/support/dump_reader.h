// Reads the engine's crash dump back into its sections, for the tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <string>

namespace kbtest {

struct Dump {
    bool valid = false;    // header and every section in bounds
    bool complete = false; // ends with the "END " section
    uint32_t version = 0;
    uint32_t processId = 0;
    std::map<std::string, std::string> sections;

    bool has(const std::string& tag) const { return sections.count(tag) != 0; }

    template <typename T> T read(const std::string& tag, size_t offset) const
    {
        T value{};
        auto it = sections.find(tag);
        if (it != sections.end() && offset + sizeof(T) <= it->second.size())
            std::memcpy(&value, it->second.data() + offset, sizeof(T));
        return value;
    }
};

inline Dump parseDump(const std::string& bytes)
{
    Dump dump;
    if (bytes.size() < 24 || bytes.compare(0, 8, "ORVODUMP") != 0)
        return dump;
    std::memcpy(&dump.version, bytes.data() + 8, 4);
    std::memcpy(&dump.processId, bytes.data() + 12, 4);
    size_t at = 24;
    while (at + 16 <= bytes.size()) {
        const std::string tag = bytes.substr(at, 4);
        uint64_t size = 0;
        std::memcpy(&size, bytes.data() + at + 8, 8);
        at += 16;
        if (size > bytes.size() - at)
            return dump;
        dump.sections[tag] = bytes.substr(at, size);
        at += size;
        if (tag == "END ") {
            dump.complete = true;
            break;
        }
    }
    dump.valid = at == bytes.size();
    return dump;
}

} // namespace kbtest
