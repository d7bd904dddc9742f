#include "orvo/app/a_file.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include "orvo/app/a_archivecache.h"
#include "orvo/app/a_diskpath.h"
#include "orvo/app/a_fileserver.h"
#include "orvo/app/a_openfile.h"
#include "orvo/util/a_log.h"

namespace {

std::string mangled(const char* path)
{
    const std::string text = path ? path : "";
    const aFileServer* server = aFileServer::getSingletonPtr();
    return server ? server->manglePath(text) : text;
}

bool isSeparator(char c)
{
    return c == '/' || c == '\\';
}

// The name file_writeFull gives its temporary file: "<target>.<pid>-<n>.tmp".
std::string tempName(const std::string& target, long pid, unsigned n)
{
    return target + "." + std::to_string(pid) + "-" + std::to_string(n) + ".tmp";
}

// The writer's process id of a temporary file of `prefix` ("<target>.");
// 0 when the name is of no such file.
long tempWriter(const std::string& name, const std::string& prefix)
{
    const std::string suffix = ".tmp";
    if (name.size() <= prefix.size() + suffix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return 0;
    const std::string middle = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    const size_t dash = middle.find_first_not_of("0123456789");
    const bool numbers = dash != std::string::npos && dash > 0 && dash <= 9 && middle[dash] == '-' &&
                         dash + 1 < middle.size() &&
                         middle.find_first_not_of("0123456789", dash + 1) == std::string::npos;
    return numbers ? std::atol(middle.substr(0, dash).c_str()) : 0;
}

bool statOnDisk(const std::string& path, struct stat& st)
{
    return !path.empty() && stat(diskpath_resolve(diskpath_toSlashes(path)).c_str(), &st) == 0;
}

bool writeAll(int fd, const void* bytes, uint32_t size)
{
    const auto* data = static_cast<const unsigned char*>(bytes);
    uint32_t done = 0;
    while (done < size) {
        const ssize_t wrote = write(fd, data + done, size - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote == 0)
            errno = EIO;
        if (wrote <= 0)
            return false;
        done += static_cast<uint32_t>(wrote);
    }
    return true;
}

} // namespace

void* file_readFullAndMalloc(const char* path, uint32_t* size)
{
    if (size)
        *size = 0;
    const char* shown = path ? path : "";
    aOpenFile file = file_open(mangled(path));
    if (!file.isOpen()) {
        const int why = errno;
        a_log("file_readFullAndMalloc. Error open file: %s", shown);
        errno = why;
        return nullptr;
    }
    const uint64_t length = file.size();
    if (length == 0) {
        errno = 0;
        return nullptr;
    }
    void* bytes = length <= UINT32_MAX ? std::malloc(static_cast<size_t>(length)) : nullptr;
    int why = length <= UINT32_MAX ? ENOMEM : EFBIG;
    if (bytes) {
        errno = 0;
        // A damaged member or a file cut short while it was read tells no reason of its own.
        why = file.readAll(bytes) ? 0 : (errno ? errno : EIO);
    }
    if (why) {
        std::free(bytes);
        a_log("file_readFullAndMalloc. Error read file: %s", shown);
        errno = why;
        return nullptr;
    }
    if (size)
        *size = static_cast<uint32_t>(length);
    return bytes;
}

bool file_exists(const char* path)
{
    return file_open(mangled(path)).isOpen();
}

bool file_existsOnDisk(const char* path)
{
    struct stat st;
    return statOnDisk(mangled(path), st);
}

bool file_nameTaken(const char* path)
{
    const std::string text = mangled(path);
    struct stat st;
    return !text.empty() && lstat(diskpath_resolve(diskpath_toSlashes(text)).c_str(), &st) == 0;
}

bool file_dirExists(const char* path)
{
    std::string text = mangled(path);
    if (text.size() > 1 && isSeparator(text.back()))
        text.pop_back();
    struct stat st;
    return statOnDisk(text, st) && S_ISDIR(st.st_mode);
}

bool file_existsFileOrDir(const char* path)
{
    if (!path || !*path)
        return false;
    if (file_dirExists(path))
        return true;
    const std::string text = path;
    if (isSeparator(text.back()))
        return file_exists(path);
    // A folder entry inside an archive, or a file of that name.
    return file_exists((text + "/").c_str()) || file_exists(path);
}

bool file_writeFull(const char* path, const void* bytes, uint32_t size)
{
    if (!path || (!bytes && size > 0)) {
        errno = EINVAL;
        return false;
    }
    const std::string target = diskpath_resolve(diskpath_toSlashes(mangled(path)));
    if (target.empty() || target.back() == '/') {
        errno = EISDIR;
        return false;
    }

    // The bytes go to a fresh file beside the target, which is then renamed
    // over it: a crash or a full disk never leaves half a file behind.
    static std::atomic<unsigned> s_counter{0};
    const std::string temp = tempName(target, static_cast<long>(getpid()), ++s_counter);
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    struct stat old;
    if (stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        fchmod(fd, old.st_mode & 07777);
    // The first call that failed tells the caller why.
    int failure = writeAll(fd, bytes, size) && fsync(fd) == 0 ? 0 : errno;
    if (close(fd) != 0 && failure == 0)
        failure = errno;
    if (failure == 0 && rename(temp.c_str(), target.c_str()) != 0)
        failure = errno;
    if (failure != 0) {
        unlink(temp.c_str());
        errno = failure;
        return false;
    }
    return true;
}

uint32_t file_removeStaleTemps(const char* path)
{
    if (!path)
        return 0;
    const std::string target = diskpath_resolve(diskpath_toSlashes(mangled(path)));
    const size_t slash = target.rfind('/');
    if (target.empty() || slash == target.size() - 1)
        return 0;
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    const std::string prefix = (slash == std::string::npos ? target : target.substr(slash + 1)) + ".";
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return 0;
    uint32_t removed = 0;
    while (const dirent* entry = readdir(dir)) {
        const long writer = tempWriter(entry->d_name, prefix);
        // Only the files of writers that are gone: a living one may be about to rename its file.
        if (writer <= 0 || kill(static_cast<pid_t>(writer), 0) == 0 || errno != ESRCH)
            continue;
        const std::string file = (slash == std::string::npos ? "" : folder) + entry->d_name;
        if (unlink(file.c_str()) == 0)
            ++removed;
    }
    closedir(dir);
    if (removed > 0)
        a_log("file_removeStaleTemps. %u unfinished writes of %s removed", static_cast<unsigned>(removed),
              target.c_str());
    return removed;
}

std::string file_getDiskPath(const char* path)
{
    return diskpath_resolve(diskpath_toSlashes(mangled(path)));
}

std::string file_getPath(const char* path)
{
    const std::string p = mangled(path);
    const size_t cut = p.find_last_of("/\\");
    return cut == std::string::npos ? std::string() : p.substr(0, cut + 1);
}

std::string file_getName(const char* path)
{
    const std::string p = mangled(path);
    const size_t cut = p.find_last_of("/\\");
    return cut == std::string::npos ? p : p.substr(cut + 1);
}

std::string file_getExt(const char* path)
{
    const std::string name = file_getName(path);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

void file_closeArchives()
{
    aArchiveCache::instance().closeAll();
}

bool aFileBuffer::load(const char* path)
{
    clear();
    m_bytes = static_cast<uint8_t*>(file_readFullAndMalloc(path, &m_size));
    m_owns = m_bytes != nullptr;
    if (!m_bytes)
        m_size = 0;
    return m_bytes != nullptr;
}

void aFileBuffer::clear()
{
    if (m_owns)
        std::free(m_bytes);
    m_bytes = nullptr;
    m_owns = false;
    m_size = 0;
}
