// Packed copies of pictures decoded from files, kept after the images that
// loaded them are gone, so that loading a file again skips its decoding. The
// game keeps them only while the screens are shown (the screens' fonts and
// pictures, for their revisits); a level or a mini-game sets the budget to 0
// and keeps none, and loads then spend no checksum or copy on one. A copy is
// found by the file's name and texture format, and only while the file still
// has the same bytes (length and CRC-32). Only copies that pack (sheets with a
// clear surround: a fraction of their pixels' size) are kept; beyond the byte
// budget the least recently used go first.
// One per process; any thread (the loading thread fills it, the main thread
// loads on screen switches).
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "orvo/platform/gpu/a_gpuformat.h"

class aPictureCache {
public:
    struct Picture {
        uint32_t width = 0;
        uint32_t height = 0;
        std::vector<uint32_t> runs; // the texture's packed copy
    };

    // The budget while the screens are shown, well above what their packed
    // pictures take (the menu and the map keep about 2 MB).
    static constexpr size_t DEFAULT_BUDGET = 48u << 20;

    static aPictureCache& instance();

    // The copy kept for this file and format, when the file's bytes are those it was made from.
    bool find(const std::string& file, aGpuFormat format, const uint8_t* bytes, size_t size, Picture& out);
    // Keeps a copy made from these bytes (replacing one of the same file and format). A copy the
    // budget cannot hold is refused before its checksum is taken.
    void store(const std::string& file, aGpuFormat format, const uint8_t* bytes, size_t size, Picture picture);

    void clear();
    // Drops the least recently used copies down to the new budget (0 keeps none).
    void setBudget(size_t bytes);
    // Loaders make no copy to offer while this is 0.
    size_t budget() const;
    // Copies offered since the last clear() that the budget could not hold:
    // each was made for nothing.
    size_t refusals() const;
    size_t bytes() const;
    size_t count() const;

private:
    aPictureCache() = default;

    struct Entry {
        std::string key;
        size_t fileSize = 0;
        uint32_t fileCrc = 0;
        Picture picture;
        size_t bytes() const { return picture.runs.size() * sizeof(uint32_t) + key.size(); }
    };
    using Entries = std::list<Entry>; // most recently used first

    // Drops the kept copy of the entry's key; false, counted as a refusal, when the budget cannot hold the entry.
    bool admit(const Entry& entry);
    bool admitLocked(const Entry& entry);
    void trimLocked();
    void eraseLocked(Entries::iterator entry);

    mutable std::mutex m_mutex;
    Entries m_entries;
    std::unordered_map<std::string, Entries::iterator> m_index;
    size_t m_bytes = 0;
    size_t m_budget = DEFAULT_BUDGET;
    size_t m_refusals = 0;
};
