#include "orvo/platform/a_instancelock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace {

bool isDir(const std::string& path)
{
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A file name from the application name: no separators, no hidden or empty name.
std::string fileNameOf(const std::string& name)
{
    std::string out;
    for (char c : name)
        out += (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20) ? '_' : c;
    while (!out.empty() && out[0] == '.')
        out[0] = '_';
    if (out.empty())
        out = "Unnamed";
    return out + ".lock";
}

std::string defaultFolder()
{
    if (const char* run = std::getenv("XDG_RUNTIME_DIR"); run && isDir(run))
        return run;
    std::string data;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        data = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        data = std::string(home) + "/.local/share";
    if (isDir(data))
        return data;
    return "/tmp";
}

} // namespace

std::string aInstanceLock::defaultPath(const std::string& name)
{
    return defaultFolder() + "/" + fileNameOf(name);
}

aInstanceLock::Result aInstanceLock::acquire(const std::string& name, const std::string& folder)
{
    release();
    m_path = folder.empty() ? defaultPath(name) : folder + "/" + fileNameOf(name);
    const int fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return Result::Unavailable;
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const int error = errno;
        ::close(fd);
        return error == EWOULDBLOCK ? Result::HeldElsewhere : Result::Unavailable;
    }
    m_fd = fd;
    return Result::Acquired;
}

void aInstanceLock::release()
{
    if (m_fd >= 0) {
        ::flock(m_fd, LOCK_UN);
        ::close(m_fd);
        m_fd = -1;
    }
}
