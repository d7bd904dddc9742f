#include "orvo/platform/a_instancelock.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "orvo/platform/a_sdlshared.h"
#include "orvo/util/a_log.h"

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

constexpr char kRaise[] = "raise";

// False when the path does not fit a socket address.
bool socketAddress(const std::string& path, sockaddr_un& address)
{
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size());
    return true;
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
    startListening();
    return Result::Acquired;
}

std::string aInstanceLock::socketPath() const
{
    const std::string suffix = ".lock";
    if (m_path.size() >= suffix.size() && m_path.compare(m_path.size() - suffix.size(), suffix.size(), suffix) == 0)
        return m_path.substr(0, m_path.size() - suffix.size()) + ".sock";
    return m_path + ".sock";
}

bool aInstanceLock::requestRaise() const
{
    sockaddr_un address;
    if (!socketAddress(socketPath(), address))
        return false;
    const int s = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (s < 0)
        return false;
    // A datagram to a socket nobody reads fails at once (refused, missing,
    // or a full queue of a hung holder): nothing here can wait.
    const ssize_t sent = ::sendto(s, kRaise, sizeof kRaise - 1, MSG_DONTWAIT | MSG_NOSIGNAL,
                                  reinterpret_cast<const sockaddr*>(&address), sizeof address);
    ::close(s);
    return sent == static_cast<ssize_t>(sizeof kRaise - 1);
}

void aInstanceLock::startListening()
{
    sockaddr_un address;
    const std::string path = socketPath();
    if (!socketAddress(path, address)) {
        a_log("platform. Instance socket path too long, a second start cannot raise this window: %s", path.c_str());
        return;
    }
    const int s = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (s < 0)
        return;
    // Whatever lies there was left by a holder that is gone: the lock is ours.
    ::unlink(path.c_str());
    const int bound = ::bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    if (bound == 0)
        ::chmod(path.c_str(), 0600);
    if (bound != 0 || ::pipe2(m_stopPipe, O_CLOEXEC) != 0) {
        a_log("platform. Instance socket %s not opened (%s)", path.c_str(), std::strerror(errno));
        ::close(s);
        if (bound == 0)
            ::unlink(path.c_str());
        m_stopPipe[0] = m_stopPipe[1] = -1;
        return;
    }
    m_socket = s;
    m_listener = std::thread(&aInstanceLock::listen, this);
}

void aInstanceLock::listen()
{
    for (;;) {
        pollfd fds[2] = {{m_socket, POLLIN, 0}, {m_stopPipe[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents != 0)
            return;
        if (fds[0].revents & (POLLERR | POLLNVAL))
            return;
        char buffer[16];
        const ssize_t n = ::recv(m_socket, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n == static_cast<ssize_t>(sizeof kRaise - 1) && std::memcmp(buffer, kRaise, sizeof kRaise - 1) == 0) {
            m_raiseRequested = true;
            sdlshared::wakeEventLoop();
        }
    }
}

void aInstanceLock::stopListening()
{
    if (m_listener.joinable()) {
        const char stop = 1;
        while (::write(m_stopPipe[1], &stop, 1) < 0 && errno == EINTR) {
        }
        m_listener.join();
    }
    for (int& fd : m_stopPipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    if (m_socket >= 0) {
        ::close(m_socket);
        m_socket = -1;
        ::unlink(socketPath().c_str());
    }
    m_raiseRequested = false;
}

void aInstanceLock::release()
{
    stopListening();
    if (m_fd >= 0) {
        ::flock(m_fd, LOCK_UN);
        ::close(m_fd);
        m_fd = -1;
    }
}
