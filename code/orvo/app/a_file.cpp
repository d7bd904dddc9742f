// FIXME: disk files only for now; archives and assigns come with the file server.
#include "orvo/app/a_file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "orvo/util/a_log.h"

void* file_readFullAndMalloc(const char* path, uint32_t* size)
{
    if (size)
        *size = 0;
    FILE* f = path ? std::fopen(path, "rb") : nullptr;
    if (!f) {
        a_log("file_readFullAndMalloc. Error open file: %s", path ? path : "");
        return nullptr;
    }
    std::fseek(f, 0, SEEK_END);
    const long length = std::ftell(f);
    std::fseek(f, 0, SEEK_SET);
    void* bytes = nullptr;
    if (length > 0) {
        bytes = std::malloc(static_cast<size_t>(length));
        if (!bytes || std::fread(bytes, 1, static_cast<size_t>(length), f) != static_cast<size_t>(length)) {
            std::free(bytes);
            std::fclose(f);
            a_log("file_readFullAndMalloc. Error open file: %s", path);
            return nullptr;
        }
    }
    std::fclose(f);
    if (size && bytes)
        *size = static_cast<uint32_t>(length);
    return bytes;
}

bool file_exists(const char* path)
{
    struct stat st;
    return path && stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

bool file_existsOnDisk(const char* path)
{
    struct stat st;
    return path && stat(path, &st) == 0;
}

bool file_dirExists(const char* path)
{
    struct stat st;
    return path && stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

bool file_existsFileOrDir(const char* path)
{
    return path && *path && (file_dirExists(path) || file_exists(path));
}

bool file_writeFull(const char* path, const void* bytes, uint32_t size)
{
    if (!path)
        return false;
    const std::string temp = std::string(path) + ".tmp";
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f)
        return false;
    const bool written = size == 0 || std::fwrite(bytes, 1, size, f) == size;
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed || std::rename(temp.c_str(), path) != 0) {
        unlink(temp.c_str());
        return false;
    }
    return true;
}

std::string file_getPath(const char* path)
{
    const std::string p = path ? path : "";
    const size_t cut = p.find_last_of("/\\");
    return cut == std::string::npos ? std::string() : p.substr(0, cut + 1);
}

std::string file_getName(const char* path)
{
    const std::string p = path ? path : "";
    const size_t cut = p.find_last_of("/\\");
    return cut == std::string::npos ? p : p.substr(cut + 1);
}

std::string file_getExt(const char* path)
{
    const std::string name = file_getName(path);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

void file_closeArchives() {}

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
