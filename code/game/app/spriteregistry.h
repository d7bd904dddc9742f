// Named frame-sheet sprites described by sprite INI files: one section per
// sprite ("Image", and the optional "Name", "VFrames", "HFrames",
// "TotalFrames", "FrameTime", "Frames"). The common file stays for the whole
// run; a screen loads its own file with its resources and unloads it by
// reading the same file again. Sprites are found by the name hash, so two
// names of the same hash share one slot.
// Filled on the loading thread, read on the main thread afterwards; the two
// never use it at once, so it takes no lock.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class aImage;
class aImageManager;
class aOptionsFile;

struct cSpriteEntry {
    cSpriteEntry();
    ~cSpriteEntry();
    cSpriteEntry(const cSpriteEntry&) = delete;
    cSpriteEntry& operator=(const cSpriteEntry&) = delete;

    int32_t vFrames = 1;
    int32_t hFrames = 1;
    int32_t totalFrames = 1;
    float frameTime = 0.001f;
    std::vector<int32_t> frames; // play order; empty: the sheet's order
    std::unique_ptr<aImage> image;
};

class cSpriteRegistry {
public:
    cSpriteRegistry();
    ~cSpriteRegistry();
    cSpriteRegistry(const cSpriteRegistry&) = delete;
    cSpriteRegistry& operator=(const cSpriteRegistry&) = delete;

    // `images` (may be null) is asked first, so a sheet already loaded by
    // name is shared instead of decoded again.
    void loadSpriteIni(const std::string& path, aImageManager* images = nullptr);
    // Removes every sprite the file names, whichever file registered it.
    void unloadSpriteIni(const std::string& path);
    cSpriteEntry* findSprite(const std::string& name) const;
    void releaseAll();
    size_t getCount() const { return m_sprites.size(); }

    // The registry name of the current section: "Name", or the image's file
    // name without its extension.
    static std::string sectionName(const aOptionsFile& file);

private:
    std::map<uint32_t, std::unique_ptr<cSpriteEntry>> m_sprites;
};
