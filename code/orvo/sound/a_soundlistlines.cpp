#include "orvo/sound/a_soundlistlines.h"

#include <cstdlib>
#include <cstring>

#include "orvo/app/a_file.h"

std::vector<std::string> sound_readListLines(const char* path)
{
    std::vector<std::string> lines;
    uint32_t size = 0;
    char* bytes = static_cast<char*>(file_readFullAndMalloc(path, &size));
    for (uint32_t pos = 0; pos < size;) {
        const uint32_t start = pos;
        while (pos < size && bytes[pos] != '\r' && bytes[pos] != '\n')
            ++pos;
        if (pos > start)
            lines.emplace_back(bytes + start, strnlen(bytes + start, pos - start));
        while (pos < size && (bytes[pos] == '\r' || bytes[pos] == '\n'))
            ++pos;
    }
    std::free(bytes);
    return lines;
}
