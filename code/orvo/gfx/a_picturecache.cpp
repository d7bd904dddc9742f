#include "orvo/gfx/a_picturecache.h"

#include "orvo/util/a_crc32.h"

namespace {

std::string keyOf(const std::string& file, aGpuFormat format)
{
    return file + '|' + std::to_string(static_cast<int>(format));
}

} // namespace

aPictureCache& aPictureCache::instance()
{
    // Never destroyed: images may still be released while the process exits.
    static aPictureCache* cache = new aPictureCache;
    return *cache;
}

bool aPictureCache::find(const std::string& file, aGpuFormat format, const uint8_t* bytes, size_t size, Picture& out)
{
    const std::string key = keyOf(file, format);
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        if (!m_index.count(key))
            return false;
    }
    // Checked outside the lock: another thread may load meanwhile.
    const uint32_t crc = crc32_bytes(bytes, size);
    std::lock_guard<std::mutex> guard(m_mutex);
    const auto found = m_index.find(key);
    if (found == m_index.end())
        return false;
    const Entries::iterator entry = found->second;
    if (entry->fileSize != size || entry->fileCrc != crc) {
        // The file changed since: its old picture is of no use any more.
        eraseLocked(entry);
        return false;
    }
    m_entries.splice(m_entries.begin(), m_entries, entry);
    out = entry->picture;
    return true;
}

void aPictureCache::store(const std::string& file, aGpuFormat format, const uint8_t* bytes, size_t size,
                          Picture picture)
{
    Entry entry;
    entry.key = keyOf(file, format);
    entry.fileSize = size;
    entry.picture = std::move(picture);
    if (!admit(entry))
        return;
    // Taken outside the lock, as in find().
    entry.fileCrc = crc32_bytes(bytes, size);
    std::lock_guard<std::mutex> guard(m_mutex);
    // The budget may have shrunk meanwhile.
    if (!admitLocked(entry))
        return;
    m_bytes += entry.bytes();
    m_entries.push_front(std::move(entry));
    m_index[m_entries.front().key] = m_entries.begin();
    trimLocked();
}

void aPictureCache::clear()
{
    std::lock_guard<std::mutex> guard(m_mutex);
    m_entries.clear();
    m_index.clear();
    m_bytes = 0;
    m_refusals = 0;
}

void aPictureCache::setBudget(size_t bytes)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    m_budget = bytes;
    trimLocked();
}

size_t aPictureCache::budget() const
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_budget;
}

size_t aPictureCache::refusals() const
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_refusals;
}

size_t aPictureCache::bytes() const
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_bytes;
}

size_t aPictureCache::count() const
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_entries.size();
}

bool aPictureCache::admit(const Entry& entry)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return admitLocked(entry);
}

bool aPictureCache::admitLocked(const Entry& entry)
{
    // The old copy goes either way: the new one was made because it was not found.
    if (const auto old = m_index.find(entry.key); old != m_index.end())
        eraseLocked(old->second);
    if (entry.bytes() <= m_budget)
        return true;
    ++m_refusals;
    return false;
}

void aPictureCache::trimLocked()
{
    while (m_bytes > m_budget && !m_entries.empty())
        eraseLocked(std::prev(m_entries.end()));
}

void aPictureCache::eraseLocked(Entries::iterator entry)
{
    m_bytes -= entry->bytes();
    m_index.erase(entry->key);
    m_entries.erase(entry);
}
