// A file opened for whole-file reading: a file on disk or a member of an
// archive in the archive cache. Made by file_open and used by the thread that
// opened it; member reads take their archive's lock, so the main and the
// loading thread may read members of one archive at the same time.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

struct zzip_file;
struct aArchive;

class aOpenFile {
public:
    aOpenFile() = default;
    ~aOpenFile() { close(); }
    aOpenFile(aOpenFile&& other) noexcept { swap(other); }
    aOpenFile& operator=(aOpenFile&& other) noexcept
    {
        if (this != &other) {
            close();
            swap(other);
        }
        return *this;
    }
    aOpenFile(const aOpenFile&) = delete;
    aOpenFile& operator=(const aOpenFile&) = delete;

    // Takes ownership of a descriptor of a regular file `size` bytes long.
    static aOpenFile fromDisk(int fd, uint64_t size);
    // Takes ownership of an open member whose directory entry gives its
    // uncompressed size and CRC-32.
    static aOpenFile fromArchive(std::shared_ptr<aArchive> archive, zzip_file* member, uint64_t size, uint32_t crc);

    bool isOpen() const { return m_fd >= 0 || m_member != nullptr; }
    bool inArchive() const { return m_member != nullptr; }
    uint64_t size() const { return m_size; }

    // Reads the whole file into `out`, which holds size() bytes. False on a
    // read error, a short read, or a member whose bytes fail their checksum.
    [[nodiscard]] bool readAll(void* out);
    void close();

private:
    void swap(aOpenFile& other) noexcept;

    int m_fd = -1;
    std::shared_ptr<aArchive> m_archive;
    zzip_file* m_member = nullptr;
    uint64_t m_size = 0;
    uint32_t m_crc = 0;
};

// Opens a path whose assign is already resolved: the file on disk when there
// is one (a disk file wins over an archive member); otherwise the member of
// the ".zip" or ".pak" archive that stands in place of one of the path's
// folders, names compared ignoring case. Closed (errno set) when neither exists.
[[nodiscard]] aOpenFile file_open(const std::string& path);
