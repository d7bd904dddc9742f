// Whole-file access for the engine. Paths may begin with an assign
// ("data:gui/menu.agui"), resolved through the file server while it exists;
// "\" is read as "/"; on disk the exact name is tried first, then one that
// differs only in case. A folder of a path may be shipped as a ".zip" or
// ".pak" archive of the same name; a file on disk wins over an archive member.
// Called from the main and the loading thread.
#pragma once

#include <cstdint>
#include <string>

// The whole file in a malloc'ed buffer the caller frees, or null. An empty
// file answers null without a log line; `size` (when given) gets the length, 0 on failure.
// On null errno holds the reason (that of the file on disk when one is there
// but cannot be opened or read), or 0 for an empty file.
[[nodiscard]] void* file_readFullAndMalloc(const char* path, uint32_t* size = nullptr);

// True when the file opens, from disk or from an archive.
bool file_exists(const char* path);
// True when a file or folder of that path exists on disk.
bool file_existsOnDisk(const char* path);
// True when anything on disk has that name: a file, a folder, or a link even
// where it points nowhere.
bool file_nameTaken(const char* path);
// True when a folder exists on disk; one trailing separator is ignored.
bool file_dirExists(const char* path);
// A folder on disk or inside an archive, or a file; false for "".
bool file_existsFileOrDir(const char* path);

// Writes through a temporary file renamed into place; true when every byte
// landed. On false errno holds the reason of the call that failed.
bool file_writeFull(const char* path, const void* bytes, uint32_t size);
// Removes the temporary files that writes of this path left when their
// process was killed midway (those of living processes stay); logs and
// answers how many went.
uint32_t file_removeStaleTemps(const char* path);

// The path as it stands on disk (assign resolved, "/" separators, the case of
// existing entries), for code that must hand a real path to a decoder.
std::string file_getDiskPath(const char* path);

// Splitting of the assign-resolved path at its last "/" or "\": the part up to
// and including it ("" when there is none), the part after it, and the text
// after the file name's last "." ("" when it has none).
std::string file_getPath(const char* path);
std::string file_getName(const char* path);
std::string file_getExt(const char* path);

// Closes every cached archive; the next read opens them again.
void file_closeArchives();

// Owning form of file_readFullAndMalloc.
class aFileBuffer {
public:
    aFileBuffer() = default;
    explicit aFileBuffer(const char* path) { load(path); }
    ~aFileBuffer() { clear(); }
    aFileBuffer(const aFileBuffer&) = delete;
    aFileBuffer& operator=(const aFileBuffer&) = delete;

    // Frees the old bytes when owned, then loads; true when bytes were read.
    // On false errno is as file_readFullAndMalloc leaves it.
    bool load(const char* path);
    void clear();

    const uint8_t* bytes() const { return m_bytes; }
    uint32_t size() const { return m_size; }
    bool owns() const { return m_owns; }
    bool empty() const { return m_bytes == nullptr; }

private:
    uint8_t* m_bytes = nullptr;
    bool m_owns = false;
    uint32_t m_size = 0;
};
