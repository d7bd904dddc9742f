#include "orvo/app/a_openfile.h"

#include <cerrno>
#include <climits>
#include <mutex>
#include <unistd.h>
#include <utility>
#include <zlib.h>
#include <zzip/lib.h>

#include "orvo/app/a_archivecache.h"
#include "orvo/app/a_diskpath.h"

namespace {

// Member reads go in slices so that a large member does not hold its archive
// away from the other thread for the whole read.
constexpr uint64_t kReadSlice = 256 * 1024;

} // namespace

aOpenFile aOpenFile::fromDisk(int fd, uint64_t size)
{
    aOpenFile file;
    file.m_fd = fd;
    file.m_size = size;
    return file;
}

aOpenFile aOpenFile::fromArchive(std::shared_ptr<aArchive> archive, zzip_file* member, uint64_t size, uint32_t crc)
{
    aOpenFile file;
    file.m_archive = std::move(archive);
    file.m_member = member;
    file.m_size = size;
    file.m_crc = crc;
    return file;
}

bool aOpenFile::readAll(void* out)
{
    auto* bytes = static_cast<unsigned char*>(out);
    uint64_t done = 0;
    if (m_fd >= 0) {
        while (done < m_size) {
            const ssize_t got = pread(m_fd, bytes + done, m_size - done, static_cast<off_t>(done));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return false;
            done += static_cast<uint64_t>(got);
        }
        return true;
    }
    if (!m_member)
        return false;

    uLong crc = crc32(0L, Z_NULL, 0);
    while (done < m_size) {
        const uint64_t want = m_size - done < kReadSlice ? m_size - done : kReadSlice;
        zzip_ssize_t got;
        {
            std::lock_guard<std::mutex> guard(m_archive->lock);
            got = zzip_file_read(m_member, bytes + done, static_cast<zzip_size_t>(want));
        }
        if (got <= 0)
            return false;
        crc = crc32(crc, bytes + done, static_cast<uInt>(got));
        done += static_cast<uint64_t>(got);
    }
    return static_cast<uint32_t>(crc) == m_crc;
}

void aOpenFile::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (m_member) {
        std::lock_guard<std::mutex> guard(m_archive->lock);
        zzip_file_close(m_member);
    }
    m_fd = -1;
    m_member = nullptr;
    m_archive.reset();
    m_size = 0;
    m_crc = 0;
}

void aOpenFile::swap(aOpenFile& other) noexcept
{
    std::swap(m_fd, other.m_fd);
    std::swap(m_archive, other.m_archive);
    std::swap(m_member, other.m_member);
    std::swap(m_size, other.m_size);
    std::swap(m_crc, other.m_crc);
}

aOpenFile file_open(const std::string& mangledPath)
{
    const std::string path = diskpath_toSlashes(mangledPath);
    if (path.empty()) {
        errno = ENOENT;
        return {};
    }
    uint64_t size = 0;
    const int fd = diskpath_openFile(diskpath_resolve(path), &size);
    if (fd >= 0)
        return aOpenFile::fromDisk(fd, size);
    if (path.size() >= PATH_MAX) {
        errno = ENAMETOOLONG;
        return {};
    }
    // Without a member either, the disk's reason is the one to tell.
    const int diskReason = errno;
    aOpenFile member = aArchiveCache::instance().openMember(path);
    if (!member.isOpen())
        errno = diskReason;
    return member;
}
