#include "game/app/spriteloader.h"

#include "orvo/app/a_file.h"
#include "orvo/gfx/a_advanim.h"
#include "orvo/gfx/a_imagemanager.h"

namespace {

constexpr const char* kSheetFormats = " 4444 8888";

// Queues the first sheet of `name` that exists; false when none does.
bool queueSheet(aImageManager& images, const std::string& name, const std::string& listName)
{
    for (const char* ext : {".jng", ".png"}) {
        const std::string path = name + ext;
        if (!file_exists(path.c_str()))
            continue;
        images.AddFileToTask("", path + kSheetFormats, listName);
        return true;
    }
    return false;
}

// Queues and loads the first sheet of `name` that exists; false when none does.
bool loadSheet(aImageManager& images, const std::string& name, const std::string& listName)
{
    if (!queueSheet(images, name, listName))
        return false;
    images.runTasks();
    return true;
}

} // namespace

std::unique_ptr<aAdvAnim> sprite_loadByName(aImageManager* images, const std::string& base)
{
    // A description without a sheet of its own names one loaded elsewhere;
    // it is never queued as a picture.
    if (images && !images->hasImage(base))
        loadSheet(*images, base, "");
    auto anim = std::make_unique<aAdvAnim>();
    (void)anim->Load(base + ".ini", images);
    return anim;
}

bool sprite_queueSheet(aImageManager& images, const std::string& base)
{
    return images.hasImage(base) || queueSheet(images, base, "");
}

void sprite_unloadSheet(aImageManager& images, const std::string& base)
{
    // The key is the line up to its extension, whichever file the sheet came from.
    images.unloadItem(base + ".png", "");
}

void sprite_loadDirectional(aImageManager* images, const std::string& base, std::vector<aImage*>& out,
                            const std::string& listName)
{
    static const char* const kSuffixes[] = {"_up", "_up_right", "_right", "_down_right", "_down"};
    for (const char* suffix : kSuffixes) {
        const std::string name = base + suffix;
        if (!images) {
            out.push_back(nullptr);
            continue;
        }
        if (!images->hasImage(name, listName))
            loadSheet(*images, name, listName);
        out.push_back(images->getImage(name, listName));
    }
}
