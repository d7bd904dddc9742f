#include "orvo/app/a_archivecache.h"

#include <cerrno>
#include <sys/stat.h>
#include <zzip/lib.h>

#include "orvo/app/a_diskpath.h"
#include "orvo/util/a_string.h"

namespace {

// Tried in this order.
zzip_strings_t kExtensions[] = {".zip", ".pak", nullptr};

// Closes the cached archives when the process exits.
struct ArchiveCloser {
    ~ArchiveCloser() { aArchiveCache::instance().closeAll(); }
} s_closer;

// A folder name an archive can stand in for: not empty, not "." or "..".
// Cutting "/a/b" at its first "/" or "a//b" at its second would otherwise try
// ".zip" in the current folder or a hidden "a/.zip".
bool isArchiveBase(const std::string& base)
{
    if (base.empty() || base.back() == '/')
        return false;
    const size_t cut = base.rfind('/');
    const std::string last = cut == std::string::npos ? base : base.substr(cut + 1);
    return last != "." && last != "..";
}

// Indexes the directory once, so opening a member of a large archive does not
// walk every entry.
void indexEntries(aArchive& archive)
{
    const zzip_dir_hdr* hdr = archive.dir->hdr0;
    if (!hdr)
        return;
    for (;;) {
        const std::string name = diskpath_toSlashes(hdr->d_name);
        archive.exact.emplace(name, hdr);
        archive.caseless.emplace(string_toLower(name), hdr);
        if (hdr->d_reclen == 0)
            break;
        hdr = reinterpret_cast<const zzip_dir_hdr*>(reinterpret_cast<const char*>(hdr) + hdr->d_reclen);
    }
}

// True when the entry's uncompressed size can come out of its compressed
// bytes: a stored member is as long as they are, a deflated one at most
// about 1032 times as long, and the compressed bytes lie inside the archive.
// Its size is allocated whole before a byte is read, so a damaged or hostile
// directory must not ask for more than its bytes can give.
bool sizeIsPossible(const aArchive& archive, const zzip_dir_hdr& hdr)
{
    constexpr uint64_t kDeflateRatio = 1032;
    if (hdr.d_csize > archive.length)
        return false;
    if (hdr.d_compr == 0)
        return hdr.d_usize == hdr.d_csize;
    return hdr.d_usize <= static_cast<uint64_t>(hdr.d_csize) * kDeflateRatio;
}

// The directory entry of `name`: the exact name first, then one that differs
// in ASCII case.
const zzip_dir_hdr* findEntry(const aArchive& archive, const std::string& name)
{
    if (const auto found = archive.exact.find(name); found != archive.exact.end())
        return found->second;
    if (const auto found = archive.caseless.find(string_toLower(name)); found != archive.caseless.end())
        return found->second;
    return nullptr;
}

aOpenFile openIn(const std::shared_ptr<aArchive>& archive, const std::string& member)
{
    std::lock_guard<std::mutex> guard(archive->lock);
    if (!archive->dir) {
        errno = ENOENT;
        return {};
    }
    const zzip_dir_hdr* hdr = member.empty() ? nullptr : findEntry(*archive, member);
    if (!hdr) {
        errno = ENOENT;
        return {};
    }
    if (!sizeIsPossible(*archive, *hdr)) {
        errno = EFBIG;
        return {};
    }
    // Opened by its stored name, so zziplib picks the very entry found above.
    ZZIP_FILE* file = zzip_file_open(archive->dir, hdr->d_name, 0);
    if (!file) {
        errno = zzip_errno(zzip_error(archive->dir));
        return {};
    }
    return aOpenFile::fromArchive(archive, file, hdr->d_usize, hdr->d_crc32);
}

} // namespace

aArchiveCache& aArchiveCache::instance()
{
    static aArchiveCache* cache = new aArchiveCache;
    return *cache;
}

aOpenFile aArchiveCache::openMember(const std::string& path)
{
    std::shared_ptr<aArchive> archive;
    std::string member;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        archive = findCached(path, member);
        if (!archive)
            archive = openArchive(path, member);
    }
    if (!archive)
        return {};
    return openIn(archive, member);
}

void aArchiveCache::closeAll()
{
    std::lock_guard<std::mutex> guard(m_lock);
    for (auto& [base, archive] : m_archives) {
        std::lock_guard<std::mutex> archiveGuard(archive->lock);
        if (archive->dir)
            zzip_dir_close(archive->dir);
        archive->dir = nullptr;
        archive->exact.clear();
        archive->caseless.clear();
    }
    m_archives.clear();
}

std::shared_ptr<aArchive> aArchiveCache::findCached(const std::string& path, std::string& member) const
{
    for (const auto& [base, archive] : m_archives) {
        if (path.size() > base.size() && path[base.size()] == '/' &&
            caseless_equalN(path.data(), base.data(), base.size())) {
            member = path.substr(base.size() + 1);
            return archive;
        }
    }
    return nullptr;
}

std::shared_ptr<aArchive> aArchiveCache::openArchive(const std::string& path, std::string& member)
{
    for (size_t cut = path.rfind('/'); cut != std::string::npos && cut > 0; cut = path.rfind('/', cut - 1)) {
        const std::string base = path.substr(0, cut);
        if (!isArchiveBase(base))
            continue;
        for (const zzip_strings_t* extension = kExtensions; *extension; ++extension) {
            const int fd = diskpath_openFile(diskpath_resolve(base + *extension), nullptr);
            if (fd < 0)
                continue;
            struct stat st;
            const uint64_t length = fstat(fd, &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
            // NOTE: zziplib closes the descriptor itself when the archive does
            // not parse, so it is not closed again here.
            zzip_error_t error = ZZIP_NO_ERROR;
            ZZIP_DIR* dir = zzip_dir_fdopen_ext_io(fd, &error, kExtensions, nullptr);
            if (!dir) {
                errno = zzip_errno(error);
                return nullptr;
            }
            auto archive = std::make_shared<aArchive>();
            archive->dir = dir;
            archive->length = length;
            indexEntries(*archive);
            m_archives[base] = archive;
            member = path.substr(cut + 1);
            return archive;
        }
    }
    errno = ENOENT;
    return nullptr;
}
