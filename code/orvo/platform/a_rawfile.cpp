#include "orvo/platform/a_rawfile.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr uint64_t kPage = 4096;

bool writeAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

} // namespace

bool aRawFile::create(const char* path)
{
    close();
    if (!path || !*path)
        return false;
    const int savedErrno = errno;
    m_fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    errno = savedErrno;
    m_good = m_fd >= 0;
    m_written = 0;
    m_used = 0;
    return m_good;
}

bool aRawFile::close()
{
    if (m_fd < 0)
        return false;
    flush();
    const int savedErrno = errno;
    if (::close(m_fd) != 0)
        m_good = false;
    errno = savedErrno;
    m_fd = -1;
    return m_good;
}

bool aRawFile::flush()
{
    if (m_fd < 0 || !m_good)
        return false;
    const int savedErrno = errno;
    if (!writeAll(m_fd, m_buffer, m_used))
        m_good = false;
    errno = savedErrno;
    m_written += m_used;
    m_used = 0;
    return m_good;
}

aRawFile& aRawFile::bytes(const void* data, size_t size)
{
    if (!isGood() || !data)
        return *this;
    const char* from = static_cast<const char*>(data);
    while (size > 0) {
        if (m_used == sizeof m_buffer && !flush())
            return *this;
        const size_t n = std::min(size, sizeof m_buffer - m_used);
        std::memcpy(m_buffer + m_used, from, n);
        m_used += n;
        from += n;
        size -= n;
    }
    return *this;
}

aRawFile& aRawFile::text(const char* text)
{
    return text ? bytes(text, std::strlen(text)) : *this;
}

size_t aRawFile::memory(uint64_t address, size_t size)
{
    if (!flush())
        return 0;
    const int savedErrno = errno;
    size_t done = 0;
    while (done < size) {
        const uint64_t at = address + done;
        const size_t chunk = static_cast<size_t>(std::min<uint64_t>(size - done, kPage - at % kPage));
        // The kernel reads the memory for us: an unreadable page fails the
        // write with EFAULT instead of faulting this thread. A raw system
        // call, so no wrapper looks at bytes that are only copied as they lie.
        const ssize_t n = ::syscall(SYS_write, m_fd, reinterpret_cast<const void*>(at), chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    errno = savedErrno;
    m_written += done;
    return done;
}

void aRawFile::patchU64(uint64_t offset, uint64_t value)
{
    if (!flush())
        return;
    const int savedErrno = errno;
    if (::pwrite(m_fd, &value, sizeof value, static_cast<off_t>(offset)) != sizeof value)
        m_good = false;
    errno = savedErrno;
}

bool rawfile_makeFolders(const char* path)
{
    if (!path)
        return false;
    char folder[PATH_MAX];
    const size_t length = strnlen(path, sizeof folder);
    if (length >= sizeof folder)
        return false;
    std::memcpy(folder, path, length + 1);
    char* last = std::strrchr(folder, '/');
    if (!last)
        return true; // the current folder
    *last = '\0';
    if (!folder[0])
        return true; // the root
    const int savedErrno = errno;
    for (char* p = folder + 1;; ++p) {
        if (*p == '/' || *p == '\0') {
            const char c = *p;
            *p = '\0';
            ::mkdir(folder, 0755);
            *p = c;
            if (c == '\0')
                break;
        }
    }
    struct stat info {};
    const bool exists = ::stat(folder, &info) == 0 && S_ISDIR(info.st_mode);
    errno = savedErrno;
    return exists;
}
