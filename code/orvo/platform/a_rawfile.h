// A file written straight through the system's descriptors, for the crash
// reports: no heap, no stdio locks, a fixed buffer on the object, every
// write checked. A failed write makes the file bad and later writes do
// nothing; close() tells whether everything reached the disk. Owned by the
// function that writes; one thread per object.
#pragma once

#include <cstddef>
#include <cstdint>

class aRawFile {
public:
    aRawFile() = default;
    ~aRawFile() { close(); }
    aRawFile(const aRawFile&) = delete;
    aRawFile& operator=(const aRawFile&) = delete;

    // Creates the file anew (an existing one is replaced).
    [[nodiscard]] bool create(const char* path);
    // True when every write so far succeeded and the descriptor was closed cleanly.
    bool close();
    bool isGood() const { return m_fd >= 0 && m_good; }

    aRawFile& bytes(const void* data, size_t size);
    aRawFile& text(const char* text);
    aRawFile& u32(uint32_t value) { return bytes(&value, sizeof value); }
    aRawFile& u64(uint64_t value) { return bytes(&value, sizeof value); }

    // Copies memory of this process that may not be readable: stops at the
    // first page that cannot be read. Returns how many bytes were written.
    size_t memory(uint64_t address, size_t size);
    // Flushes and overwrites 8 bytes at `offset` (a size known only later).
    void patchU64(uint64_t offset, uint64_t value);
    // Bytes written so far.
    uint64_t offset() const { return m_written + m_used; }

private:
    bool flush();

    int m_fd = -1;
    bool m_good = false;
    uint64_t m_written = 0;
    size_t m_used = 0;
    char m_buffer[4096];
};

// Creates every missing folder of the path (everything up to its last '/');
// true when the folder exists afterwards.
bool rawfile_makeFolders(const char* path);
