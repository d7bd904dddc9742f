#include "orvo/platform/system_folders.h"

#include <climits>
#include <cstdlib>
#include <fstream>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

bool isAbsolute(const char* value)
{
    return value && value[0] == '/';
}

std::string stripTrailingSeparators(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string homeFolder()
{
    const char* home = std::getenv("HOME");
    if (isAbsolute(home))
        return stripTrailingSeparators(home);
    if (const passwd* pw = getpwuid(getuid()); pw && isAbsolute(pw->pw_dir))
        return stripTrailingSeparators(pw->pw_dir);
    return {};
}

// An XDG base directory: the variable when it holds an absolute path (relative
// values are to be ignored), else the fallback below the home folder.
std::string baseFolder(const char* variable, const char* belowHome)
{
    const char* value = std::getenv(variable);
    if (isAbsolute(value))
        return stripTrailingSeparators(value);
    const std::string home = homeFolder();
    return home.empty() ? std::string() : home + "/" + belowHome;
}

std::string dataHome()
{
    return baseFolder("XDG_DATA_HOME", ".local/share");
}

// The first absolute entry of $XDG_DATA_DIRS, "/usr/local/share" by default.
std::string firstSharedDataFolder()
{
    const char* value = std::getenv("XDG_DATA_DIRS");
    std::string list = value && *value ? value : "/usr/local/share/:/usr/share/";
    size_t pos = 0;
    while (pos <= list.size()) {
        size_t end = list.find(':', pos);
        if (end == std::string::npos)
            end = list.size();
        const std::string entry = list.substr(pos, end - pos);
        if (isAbsolute(entry.c_str()))
            return stripTrailingSeparators(entry);
        pos = end + 1;
    }
    return "/usr/local/share";
}

// "$HOME/x" or "/abs/x" from a user-dirs value; "" when it is neither.
std::string expandUserDir(const std::string& value, const std::string& home)
{
    if (value.rfind("$HOME", 0) == 0)
        return home.empty() ? std::string() : stripTrailingSeparators(home + value.substr(5));
    if (isAbsolute(value.c_str()))
        return stripTrailingSeparators(value);
    return {};
}

// A user directory (XDG_DOCUMENTS_DIR and the like): the environment first,
// then the user-dirs file of the configuration folder, then home/<fallback>.
std::string userFolder(const char* key, const char* fallback)
{
    const std::string home = homeFolder();
    const std::string variable = std::string("XDG_") + key + "_DIR";
    if (const char* value = std::getenv(variable.c_str()); isAbsolute(value))
        return stripTrailingSeparators(value);

    const std::string config = baseFolder("XDG_CONFIG_HOME", ".config");
    if (!config.empty()) {
        std::ifstream in(config + "/user-dirs.dirs");
        std::string line;
        const std::string prefix = variable + "=";
        while (std::getline(in, line)) {
            const size_t start = line.find_first_not_of(" \t");
            if (start == std::string::npos || line.compare(start, prefix.size(), prefix) != 0)
                continue;
            std::string value = line.substr(start + prefix.size());
            while (!value.empty() && (value.back() == '\r' || value.back() == ' ' || value.back() == '\t'))
                value.pop_back();
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
                value = value.substr(1, value.size() - 2);
            const std::string folder = expandUserDir(value, home);
            if (!folder.empty())
                return folder;
        }
    }
    return home.empty() ? std::string() : home + "/" + fallback;
}

bool isFolder(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

std::string system_getFolder(aSystemFolder which)
{
    switch (which) {
    case aSystemFolder::Profile:
        return homeFolder();
    case aSystemFolder::Documents:
        return userFolder("DOCUMENTS", "Documents");
    case aSystemFolder::Music:
        return userFolder("MUSIC", "Music");
    case aSystemFolder::Videos:
        return userFolder("VIDEOS", "Videos");
    case aSystemFolder::Desktop:
        return userFolder("DESKTOP", "Desktop");
    case aSystemFolder::StartMenu:
    case aSystemFolder::Programs: {
        const std::string data = dataHome();
        return data.empty() ? std::string() : data + "/applications";
    }
    case aSystemFolder::AppData:
        return dataHome();
    case aSystemFolder::CommonDocuments:
    case aSystemFolder::CommonMusic:
    case aSystemFolder::CommonVideos:
        return {};
    case aSystemFolder::CommonStartMenu:
    case aSystemFolder::CommonPrograms:
        return firstSharedDataFolder() + "/applications";
    case aSystemFolder::CommonAppData:
        return firstSharedDataFolder();
    }
    return {};
}

const std::string& system_getModuleFolder()
{
    static const std::string folder = [] {
        std::vector<char> buffer(PATH_MAX + 1);
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
        std::string path;
        if (length > 0)
            path.assign(buffer.data(), static_cast<size_t>(length));
        else if (getcwd(buffer.data(), buffer.size() - 1))
            path = std::string(buffer.data()) + "/";
        const size_t cut = path.rfind('/');
        return cut == std::string::npos ? std::string("./") : path.substr(0, cut + 1);
    }();
    return folder;
}

std::string system_getTempFolder()
{
    const char* value = std::getenv("TMPDIR");
    std::string folder = isAbsolute(value) && isFolder(value) ? std::string(value) : std::string("/tmp");
    folder = stripTrailingSeparators(folder);
    return folder == "/" ? folder : folder + "/";
}

std::string system_makePrivateFolder(const std::string& prefix)
{
    std::string pattern = prefix + "XXXXXX";
    // mkdtemp makes the folder with mode 0700, so no other user can plant files in it.
    return mkdtemp(pattern.data()) ? pattern : std::string();
}
