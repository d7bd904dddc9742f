#include "orvo/app/a_file.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
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
        a_log("file_readFullAndMalloc. Error open file: %s", shown);
        return nullptr;
    }
    const uint64_t length = file.size();
    if (length == 0)
        return nullptr;
    void* bytes = length <= UINT32_MAX ? std::malloc(static_cast<size_t>(length)) : nullptr;
    if (!bytes || !file.readAll(bytes)) {
        // A damaged member or a file cut short while it was read.
        std::free(bytes);
        a_log("file_readFullAndMalloc. Error read file: %s", shown);
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
    if (!path || (!bytes && size > 0))
        return false;
    const std::string target = diskpath_resolve(diskpath_toSlashes(mangled(path)));
    if (target.empty() || target.back() == '/')
        return false;

    // The bytes go to a fresh file beside the target, which is then renamed
    // over it: a crash or a full disk never leaves half a file behind.
    static std::atomic<unsigned> s_counter{0};
    const std::string temp = target + "." + std::to_string(getpid()) + "-" + std::to_string(++s_counter) + ".tmp";
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    struct stat old;
    if (stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        fchmod(fd, old.st_mode & 07777);
    const bool written = writeAll(fd, bytes, size) && fsync(fd) == 0;
    const bool closed = close(fd) == 0;
    if (!written || !closed || rename(temp.c_str(), target.c_str()) != 0) {
        unlink(temp.c_str());
        return false;
    }
    return true;
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
