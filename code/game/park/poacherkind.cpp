// The poacher kinds: reading kind files, the kind list, the pool's end.
#include <algorithm>
#include <cstdlib>

#include "game/app/game.h"
#include "game/app/spriteloader.h"
#include "game/park/optionalkeys.h"
#include "game/park/poacher.h"
#include "orvo/app/a_file.h"
#include "orvo/app/a_optionsfile.h"
#include "orvo/gfx/a_imagemanager.h"
#include "orvo/util/a_crc32.h"
#include "orvo/util/a_log.h"

namespace {

std::vector<cPoacherKind*> g_kinds;
aImageManager* g_poacherImages = nullptr;

constexpr const char* kSetKeys[cPoacherKind::kSets] = {"Walk", "Hit_01", "Hit_02", "Shoot"};

} // namespace

std::vector<cPoacher*>& poacherPool();
aImageManager* poacherImages()
{
    return g_poacherImages;
}

const std::vector<cPoacherKind*>& cPoacher::kinds()
{
    return g_kinds;
}

void cPoacher::loadKinds(const std::string& path)
{
    if (!file_exists(path.c_str())) {
        a_log("cPoacher. Missing poacher kind file \"%s\"", path.c_str());
        return;
    }
    aOptionsFile file(path.c_str());
    if (!file.setSection("DATA"))
        return;
    const std::string name = file.findKey("Name") ? file.getString("Name") : "";
    if (findKind(name))
        return;
    if (!g_poacherImages)
        g_poacherImages = new aImageManager();
    auto* kind = new cPoacherKind();
    kind->name = name;
    kind->nameCrc = crc32_string(name);
    loadKind(*kind, file);
    g_kinds.push_back(kind);
}

void cPoacher::loadKind(cPoacherKind& kind, aOptionsFile& file)
{
    if (!file.setSection("DATA"))
        return;
    park_readInt(file, "AnimalType", kind.animalType);
    park_readInt(file, "AnimalsCount", kind.animalsCount);
    park_readInt(file, "Bonus", kind.bonus);
    park_readFloat(file, "MaxHealth", kind.maxHealth);
    park_readFloat(file, "MoveSpeed", kind.moveSpeed);
    // NOTE: without BaseScale the poacher is drawn at its sheets' size.
    park_readFloat(file, "BaseScale", kind.baseScale);
    if (file.findKey("Shadow")) {
        const cGame* game = cGame::get();
        if (aImage* shadow = game ? game->findImage(file.getString("Shadow")) : nullptr)
            kind.shadow = shadow;
    }
    if (!file.setSection("ANIMATIONS"))
        return;
    if (!g_poacherImages)
        g_poacherImages = new aImageManager();
    for (int s = 0; s < cPoacherKind::kSets; ++s) {
        if (!file.findKey(kSetKeys[s]))
            continue;
        std::vector<aImage*> sheets;
        sprite_loadDirectional(g_poacherImages, file.getString(kSetKeys[s]), sheets, kind.name);
        for (size_t d = 0; d < sheets.size() && d < cPoacherKind::kDirections; ++d)
            kind.animations[s][d] = sheets[d];
    }
}

cPoacherKind* cPoacher::findKind(const std::string& name)
{
    const uint32_t crc = crc32_string(name);
    const auto it = std::find_if(g_kinds.begin(), g_kinds.end(), [crc](cPoacherKind* k) { return k->nameCrc == crc; });
    return it == g_kinds.end() ? nullptr : *it;
}

void cPoacher::releaseKinds()
{
    for (cPoacher* p : poacherPool())
        delete p;
    poacherPool().clear();
    for (cPoacherKind* k : g_kinds)
        delete k;
    g_kinds.clear();
    delete g_poacherImages;
    g_poacherImages = nullptr;
}
