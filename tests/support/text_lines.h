// The lines of a log or report file.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

namespace kbtest {

// Each line without its "\n"; with `dropStamps`, without the part up to the first tab as well.
inline std::vector<std::string> splitLines(const std::string& text, bool dropStamps = false)
{
    std::vector<std::string> out;
    for (size_t pos = 0; pos < text.size();) {
        const size_t end = std::min(text.find('\n', pos), text.size());
        const size_t tab = dropStamps ? text.find('\t', pos) : std::string::npos;
        const size_t from = tab < end ? tab + 1 : pos;
        out.push_back(text.substr(from, end - from));
        pos = end + 1;
    }
    return out;
}

} // namespace kbtest
