#include "game/app/spriteregistry.h"

#include <cstdlib>

#include "game/park/optionalkeys.h"
#include "orvo/app/a_file.h"
#include "orvo/app/a_optionsfile.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_imagemanager.h"
#include "orvo/util/a_crc32.h"
#include "orvo/util/a_log.h"

namespace {

// The key the image manager gives a sheet queued by its path.
std::string imageKey(const std::string& path)
{
    const size_t dot = path.rfind('.');
    const size_t slash = path.find_last_of("/\\:");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return path;
    return path.substr(0, dot);
}

} // namespace

cSpriteEntry::cSpriteEntry() = default;
cSpriteEntry::~cSpriteEntry() = default;

cSpriteRegistry::cSpriteRegistry() = default;
cSpriteRegistry::~cSpriteRegistry() = default;

std::string cSpriteRegistry::sectionName(const aOptionsFile& file)
{
    if (file.findKey("Name"))
        return file.getString("Name");
    const std::string name = file_getName(file.getString("Image").c_str());
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

void cSpriteRegistry::loadSpriteIni(const std::string& path, aImageManager* images)
{
    if (!file_exists(path.c_str()))
        return;
    aOptionsFile file(path.c_str());
    for (file.firstSection(); !file.isSectionEnd(); file.nextSection()) {
        const std::string imagePath = file.getString("Image");
        if (!file_exists(imagePath.c_str()))
            continue;
        const std::string name = sectionName(file);

        auto entry = std::make_unique<cSpriteEntry>();
        entry->vFrames = park_intOr(file, "VFrames", 1);
        entry->hFrames = park_intOr(file, "HFrames", 1);
        entry->totalFrames = park_intOr(file, "TotalFrames", 1);
        if (entry->vFrames <= 0 || entry->hFrames <= 0 || entry->totalFrames <= 0) {
            // Drawing cuts the sheet by these counts.
            a_log("cSpriteRegistry. Sprite \"%s\" in \"%s\" has no frames (%d x %d, %d in all), skipped", name.c_str(),
                  path.c_str(), entry->hFrames, entry->vFrames, entry->totalFrames);
            continue;
        }
        if (file.findKey("FrameTime"))
            entry->frameTime = static_cast<float>(std::atof(file.getString("FrameTime").c_str()));
        if (file.findKey("Frames"))
            file.getIntList("Frames", entry->frames);

        const std::string key = imageKey(imagePath);
        if (images && images->hasImage(key))
            entry->image = std::make_unique<aImage>(*images->getImage(key));
        else
            entry->image = std::make_unique<aImage>(imagePath, aGpuFormat::A4R4G4B4, aGpuFormat::A8R8G8B8);
        if (entry->image->getWidth() == 0 || entry->image->getHeight() == 0) {
            a_log("cSpriteRegistry. Image \"%s\" of sprite \"%s\" is empty, skipped", imagePath.c_str(), name.c_str());
            continue;
        }
        // A second definition replaces the first (the old entry goes with it).
        m_sprites[crc32_string(name)] = std::move(entry);
    }
}

void cSpriteRegistry::unloadSpriteIni(const std::string& path)
{
    if (!file_exists(path.c_str()))
        return;
    aOptionsFile file(path.c_str());
    for (file.firstSection(); !file.isSectionEnd(); file.nextSection())
        m_sprites.erase(crc32_string(sectionName(file)));
}

cSpriteEntry* cSpriteRegistry::findSprite(const std::string& name) const
{
    const auto it = m_sprites.find(crc32_string(name));
    return it == m_sprites.end() ? nullptr : it->second.get();
}

void cSpriteRegistry::releaseAll()
{
    m_sprites.clear();
}
