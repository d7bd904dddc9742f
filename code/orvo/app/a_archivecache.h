// The process-wide cache of open archives: a folder of a path may be shipped
// as an archive "<folder>.zip" or "<folder>.pak"; once opened, an archive stays
// open, keyed by its base path (its path without the extension, compared
// ignoring ASCII case), until file_closeArchives or process exit.
// Used by file_open on the main and the loading thread. zziplib's archive
// handles share one descriptor and read position between their members, so
// the cache has a lock for its map and every archive a lock of its own.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "orvo/app/a_caselessless.h"
#include "orvo/app/a_openfile.h"

struct zzip_dir;
struct zzip_dir_hdr;

struct aArchive {
    std::mutex lock;         // guards dir and every member opened from it
    zzip_dir* dir = nullptr; // null once the cache has closed the archive
    uint64_t length = 0;     // of the archive file, in bytes
    // Directory entries by name ("\\" read as "/"), and by lower-case name;
    // the first entry of a name wins. They point into dir's own directory.
    std::unordered_map<std::string, const zzip_dir_hdr*> exact;
    std::unordered_map<std::string, const zzip_dir_hdr*> caseless;
};

class aArchiveCache {
public:
    // The one cache; it outlives every static object, so files may still be
    // read (and archives reopened) while the process exits.
    static aArchiveCache& instance();

    // The member that `path` (slashes only, assign resolved) names inside a
    // cached archive, or inside the archive found in place of one of its
    // folders, searched from the innermost folder outward. Closed (errno set)
    // when there is none, the archive is damaged or the member is missing.
    [[nodiscard]] aOpenFile openMember(const std::string& path);

    // Closes every archive and empties the cache. Members still open stay
    // readable; zziplib frees their archive when the last of them closes.
    void closeAll();

private:
    aArchiveCache() = default;

    // With m_lock held.
    std::shared_ptr<aArchive> findCached(const std::string& path, std::string& member) const;
    std::shared_ptr<aArchive> openArchive(const std::string& path, std::string& member);

    std::mutex m_lock;
    std::map<std::string, std::shared_ptr<aArchive>, aCaselessLess> m_archives;
};
