#include "orvo/util/a_assert.h"

#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

#include "orvo/util/a_log.h"

namespace {

// Reads "[with T = X; U = Y]" into (name, type) pairs.
std::vector<std::pair<std::string, std::string>> templateBindings(std::string_view with)
{
    std::vector<std::pair<std::string, std::string>> out;
    size_t pos = 0;
    while (pos < with.size()) {
        size_t end = with.find(';', pos);
        if (end == std::string_view::npos)
            end = with.size();
        std::string_view item = with.substr(pos, end - pos);
        const size_t eq = item.find(" = ");
        if (eq != std::string_view::npos) {
            std::string_view name = item.substr(0, eq);
            while (!name.empty() && name.front() == ' ')
                name.remove_prefix(1);
            out.emplace_back(std::string(name), std::string(item.substr(eq + 3)));
        }
        pos = end + 1;
    }
    return out;
}

bool isIdentChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

} // namespace

std::string a_functionName(const char* prettyFunction)
{
    if (!prettyFunction)
        return {};
    std::string_view pretty(prettyFunction);
    std::string_view with;
    const size_t withPos = pretty.find(" [with ");
    if (withPos != std::string_view::npos) {
        with = pretty.substr(withPos + 7);
        if (!with.empty() && with.back() == ']')
            with.remove_suffix(1);
        pretty = pretty.substr(0, withPos);
    }

    // The name ends at the parameter list: the first '(' outside template brackets.
    int depth = 0;
    size_t paren = std::string_view::npos;
    size_t nameStart = 0;
    for (size_t i = 0; i < pretty.size(); ++i) {
        const char c = pretty[i];
        if (c == '<')
            ++depth;
        else if (c == '>')
            --depth;
        else if (c == ' ' && depth == 0)
            nameStart = i + 1;
        else if (c == '(' && depth == 0) {
            // "operator()" keeps its own parentheses.
            if (pretty.substr(nameStart, i - nameStart).ends_with("operator") && i + 1 < pretty.size() &&
                pretty[i + 1] == ')')
                continue;
            paren = i;
            break;
        }
    }
    std::string name(pretty.substr(nameStart, paren == std::string_view::npos ? std::string_view::npos
                                                                               : paren - nameStart));
    while (!name.empty() && (name.front() == '*' || name.front() == '&'))
        name.erase(0, 1);

    // Write template parameters out as their bound types.
    for (const auto& [param, type] : templateBindings(with)) {
        size_t at = 0;
        while ((at = name.find(param, at)) != std::string::npos) {
            const bool startOk = at == 0 || !isIdentChar(name[at - 1]);
            const bool endOk = at + param.size() >= name.size() || !isIdentChar(name[at + param.size()]);
            if (startOk && endOk && at > 0 && (name[at - 1] == '<' || name[at - 1] == ',' || name[at - 1] == ' ')) {
                const std::string spelled = "class " + type;
                name.replace(at, param.size(), spelled);
                at += spelled.size();
            } else {
                at += param.size();
            }
        }
    }
    return name;
}

const char* a_sourceArea(const char* sourcePath)
{
    if (!sourcePath)
        return "";
    const char* last = std::strrchr(sourcePath, '/');
    if (!last)
        return sourcePath;
    for (const char* p = last - 1; p >= sourcePath; --p) {
        if (*p == '/')
            return p + 1;
    }
    return sourcePath;
}

void a_assertFailed(const char* function, const char* condition, const char* file, unsigned line)
{
    a_log("%s: %s %s", function, condition, a_logLocation(a_sourceArea(file), line));
}

void a_fatalAssertFailed(const char* function, const char* condition, const char* file, unsigned line)
{
    const char* location = a_logLocation(a_sourceArea(file), line);
    a_log("%s: %s %s", function, condition, location);
    throw aException("%s%s\n%s%s %s", "Application generated exception!\n", condition, "\nCatch stack:\n", function,
                     location);
}
