#include "orvo/app/a_diskpath.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "orvo/app/a_caselessless.h"

namespace {

struct Resolved {
    std::string path;
    bool exists = false;
};

bool entryExists(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

std::string join(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

thread_local aFolderListingScope* t_scope = nullptr;

template <typename Visit> void listFolder(const std::string& folder, Visit visit)
{
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return;
    while (const dirent* entry = readdir(dir))
        visit(std::string(entry->d_name));
    closedir(dir);
}

Resolved resolve(const std::string& path)
{
    if (path.empty())
        return {path, false};
    if (entryExists(path))
        return {path, true};

    size_t end = path.size();
    while (end > 0 && path[end - 1] == '/')
        --end;
    if (end == 0)
        return {path, false};
    const std::string trailing = path.substr(end);
    const size_t cut = path.rfind('/', end - 1);
    const std::string leaf = cut == std::string::npos ? path.substr(0, end) : path.substr(cut + 1, end - cut - 1);
    Resolved parent;
    if (cut == std::string::npos)
        parent = {"", true};
    else if (cut == 0)
        parent = {"/", true};
    else
        parent = resolve(path.substr(0, cut));

    std::string name = leaf;
    if (parent.exists && leaf != "." && leaf != "..") {
        const std::string match = diskpath_findCaseless(parent.path, leaf);
        if (!match.empty())
            name = match;
    }
    std::string result = join(parent.path, name) + trailing;
    const bool exists = parent.exists && entryExists(result);
    return {std::move(result), exists};
}

} // namespace

std::string diskpath_findCaseless(const std::string& folder, const std::string& name)
{
    std::string best;
    const auto consider = [&](const std::string& candidate) {
        if (caseless_equal(candidate, name) && (best.empty() || candidate < best))
            best = candidate;
    };
    if (!t_scope) {
        listFolder(folder, consider);
        return best;
    }
    const auto [listing, fresh] = t_scope->m_listings.try_emplace(folder);
    std::vector<std::string>& entries = listing->second;
    if (fresh)
        listFolder(folder, [&entries](std::string entry) { entries.push_back(std::move(entry)); });
    for (const std::string& entry : entries)
        consider(entry);
    return best;
}

aFolderListingScope::aFolderListingScope()
{
    if (t_scope)
        return;
    t_scope = this;
    m_active = true;
}

aFolderListingScope::~aFolderListingScope()
{
    if (m_active)
        t_scope = nullptr;
}

std::string diskpath_toSlashes(std::string path)
{
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

std::string diskpath_resolve(const std::string& path)
{
    return resolve(path).path;
}

int diskpath_openFile(const std::string& path, uint64_t* size)
{
    if (size)
        *size = 0;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = S_ISDIR(st.st_mode) ? EISDIR : ENOENT;
        close(fd);
        errno = error;
        return -1;
    }
    if (size)
        *size = static_cast<uint64_t>(st.st_size);
    return fd;
}
