#include "orvo/app/a_fileserver.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include "orvo/app/a_diskpath.h"
#include "orvo/app/a_file.h"
#include "orvo/platform/system_folders.h"
#include "orvo/util/a_log.h"

namespace {

struct SpecialAssign {
    const char* name;
    aSystemFolder folder;
};

// In the order they are defined.
const SpecialAssign kSpecialAssigns[] = {
    {"userprof", aSystemFolder::Profile},        {"userdocs", aSystemFolder::Documents},
    {"usermusic", aSystemFolder::Music},         {"uservideo", aSystemFolder::Videos},
    {"userdesktop", aSystemFolder::Desktop},     {"userstart", aSystemFolder::StartMenu},
    {"userprogs", aSystemFolder::Programs},      {"userappdata", aSystemFolder::AppData},
    {"alldocs", aSystemFolder::CommonDocuments}, {"allmusic", aSystemFolder::CommonMusic},
    {"allvideo", aSystemFolder::CommonVideos},   {"allstart", aSystemFolder::CommonStartMenu},
    {"allprogs", aSystemFolder::CommonPrograms}, {"allappdata", aSystemFolder::CommonAppData},
};

} // namespace

aFileServer::aFileServer()
{
    setAssign("home", getModulePath());
    const std::string temp = getTempPath();
    // The system temp folder gets one more separator; when the system gives
    // the root, the executable's folder stands in for it.
    setAssign("temp", temp == "/" ? std::string("home:") : temp + "/");
    for (const SpecialAssign& special : kSpecialAssigns) {
        const std::string folder = system_getFolder(special.folder);
        setAssign(special.name, folder.empty() ? std::string("temp:") : folder + "/");
    }
}

aFileServer::~aFileServer()
{
    std::map<std::string, std::string, aCaselessLess> copies;
    std::string folder;
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        copies.swap(m_copies);
        folder.swap(m_tempFolder);
    }
    for (const auto& [path, copy] : copies)
        deleteFile(copy);
    if (!folder.empty())
        rmdir(folder.c_str());
}

void aFileServer::setAssign(const std::string& name, const std::string& value)
{
    if (name.size() < 2) {
        a_log("aFileServer::setAssign(%s) less than 2 chars, ignored", name.c_str());
        return;
    }
    const std::string mangledValue = manglePath(value);
    std::lock_guard<std::mutex> guard(m_mutex);
    if (caseless_equal(name, "home") && m_assigns.count(name)) {
        a_log("aFileServer::setAssign(%s) override failed!", name.c_str());
        return;
    }
    m_assigns[name] = mangledValue;
}

std::string aFileServer::manglePath(const std::string& path) const
{
    const size_t colon = path.find(':');
    // A colon at 0 or 1 ("C:") names no assign; neither does text with a
    // separator before the colon, which is a real path that holds a colon.
    if (colon == std::string::npos || colon < 2 || path.find_first_of("/\\") < colon)
        return path;
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        const auto found = m_assigns.find(path.substr(0, colon));
        if (found != m_assigns.end())
            return found->second + path.substr(colon + 1);
    }
    a_log("aFileServer::manglePath(%s) not valid!", path.c_str());
    return path;
}

bool aFileServer::exists(const std::string& path, bool anywhere) const
{
    return anywhere ? file_existsFileOrDir(path.c_str()) : file_dirExists(path.c_str());
}

bool aFileServer::makeDir(const std::string& path)
{
    const std::string text = diskpath_resolve(diskpath_toSlashes(manglePath(path)));
    size_t start = 0;
    while (start < text.size() && text[start] == '/')
        ++start;
    for (size_t end = start; end <= text.size(); ++end) {
        if (end < text.size() && text[end] != '/')
            continue;
        const std::string folder = text.substr(0, end);
        if (end == start || folder.back() == '/')
            continue;
        if (mkdir(folder.c_str(), 0777) != 0 && (errno == ENOENT || errno == ENOTDIR)) {
            a_log("aFileServer::makeDir(%s...) failed!", folder.c_str());
            return false;
        }
        // Any other failure (the folder exists, no permission) is judged by
        // whether the folder is there at the end.
    }
    struct stat st;
    if (stat(text.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return true;
    a_log("aFileServer::makeDir(%s...) failed!", text.c_str());
    return false;
}

bool aFileServer::deleteFile(const std::string& path)
{
    const std::string target = diskpath_resolve(diskpath_toSlashes(manglePath(path)));
    if (!target.empty() && unlink(target.c_str()) == 0)
        return true;
    a_log("aFileServer::deleteFile(%s) failed!", path.c_str());
    return false;
}

const std::string& aFileServer::getModulePath()
{
    return system_getModuleFolder();
}

std::string aFileServer::getTempPath()
{
    return system_getTempFolder();
}

std::string aFileServer::extractToTemp(const std::string& path)
{
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        const auto found = m_copies.find(path);
        if (found != m_copies.end())
            return found->second;
    }
    aFileBuffer bytes(path.c_str());
    if (bytes.empty())
        return {};

    std::string folder;
    size_t number = 0;
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        if (m_tempFolder.empty()) {
            // A folder of our own for this run: nobody else can plant a file
            // or a link in it, and nothing stale from an earlier run is reused.
            const std::string made = system_makePrivateFolder(getTempPath() + m_applicationName + "-");
            if (!made.empty())
                m_tempFolder = made + "/";
        }
        folder = m_tempFolder;
        number = m_copies.size() + 1;
    }
    // Numbered, because two archives may hold files of the same name.
    const std::string copy = folder + std::to_string(number) + "-" + file_getName(path.c_str());
    if (folder.empty() || !file_writeFull(copy.c_str(), bytes.bytes(), bytes.size())) {
        a_log("aFileServer::extractToTemp(%s) failed!", path.c_str());
        return {};
    }
    std::lock_guard<std::mutex> guard(m_mutex);
    m_copies[path] = copy;
    return copy;
}

void aFileServer::setApplicationName(const std::string& name)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    m_applicationName = name.empty() ? std::string("Unnamed") : name;
}
