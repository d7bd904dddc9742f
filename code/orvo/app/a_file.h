// Whole-file access for the engine. Paths may begin with an assign
// ("data:gui/menu.agui"); a folder of a path may be shipped as a ".zip" or
// ".pak" archive of the same name. Called from the main and the loading thread.
#pragma once

#include <cstdint>
#include <string>

// The whole file in a malloc'ed buffer the caller frees, or null. An empty
// file answers null without a log line; `size` (when given) gets the length, 0 on failure.
[[nodiscard]] void* file_readFullAndMalloc(const char* path, uint32_t* size = nullptr);

bool file_exists(const char* path);
bool file_existsOnDisk(const char* path);
bool file_dirExists(const char* path);
bool file_existsFileOrDir(const char* path);

// Writes through a temporary file renamed into place; true when every byte landed.
bool file_writeFull(const char* path, const void* bytes, uint32_t size);

std::string file_getPath(const char* path);
std::string file_getName(const char* path);
std::string file_getExt(const char* path);

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
