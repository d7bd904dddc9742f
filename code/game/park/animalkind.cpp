// The animal kinds: reading kind files into the process-wide kind list.
#include "game/park/animalkind.h"

#include <cstdlib>

#include "game/app/game.h"
#include "game/app/spriteloader.h"
#include "game/park/animal.h"
#include "game/park/optionalkeys.h"
#include "orvo/app/a_file.h"
#include "orvo/app/a_optionsfile.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_imagemanager.h"
#include "orvo/util/a_crc32.h"

namespace {

std::vector<cAnimalKind*> g_kinds;
aImageManager* g_animalImages = nullptr;

void readRows(aOptionsFile& file, const char* section, uint32_t mask, const std::string& list,
              aImage* (&rows)[cAnimalKind::kStates][cAnimalKind::kDirections])
{
    if (!file.setSection(section))
        return;
    for (int s = 0; s < cAnimalKind::kStates; ++s) {
        if (!(mask & (1u << s)) || !file.findKey(cAnimalKind::kStateKeys[s]))
            continue;
        std::vector<aImage*> sheets;
        sprite_loadDirectional(g_animalImages, file.getString(cAnimalKind::kStateKeys[s]), sheets, list);
        for (size_t d = 0; d < sheets.size() && d < cAnimalKind::kDirections; ++d)
            rows[s][d] = sheets[d];
    }
}

} // namespace

cAnimalKind::cAnimalKind() = default;
cAnimalKind::~cAnimalKind() = default;

const std::vector<cAnimalKind*>& cAnimal::kinds()
{
    return g_kinds;
}

aImageManager* cAnimal::imageManager()
{
    return g_animalImages;
}

void cAnimal::loadKindFile(const std::string& path, uint32_t mask)
{
    if (!file_exists(path.c_str()))
        return;
    if (!g_animalImages)
        g_animalImages = new aImageManager();
    aOptionsFile file(path.c_str());
    if (!file.setSection("DATA"))
        return;
    const std::string name = file.findKey("Name") ? file.getString("Name") : "";
    const uint32_t hash = crc32_string(name);
    if (findKind(hash))
        return;
    auto* kind = new cAnimalKind();
    kind->name = name;
    kind->nameHash = hash;
    loadKind(file, *kind, mask);
    g_kinds.push_back(kind);
}

void cAnimal::loadKind(aOptionsFile& file, cAnimalKind& kind, uint32_t mask)
{
    park_readInt(file, "FoodType", kind.foodType);
    park_readInt(file, "Cost", kind.cost);
    park_readInt(file, "BonusProduce", kind.bonusProduce);
    park_readInt(file, "BonusAddedOnClick", kind.bonusAddedOnClick);
    park_readInt(file, "Idle01PlayCount", kind.idle01PlayCount);
    park_readInt(file, "Idle02PlayCount", kind.idle02PlayCount);
    park_readInt(file, "ChildIdlePlayCount", kind.childIdlePlayCount);
    park_readInt(file, "NumOfProducing", kind.numOfProducing);
    park_readInt(file, "LiveInWater", kind.liveInWater);
    park_readInt(file, "AdultVertOffset", kind.adultVertOffset);
    park_readInt(file, "ChildVertOffset", kind.childVertOffset);
    park_readInt(file, "SlotsInHelo", kind.slotsInHelo);

    park_readFloat(file, "FoodNeed", kind.foodNeed);
    park_readFloat(file, "FoodEating", kind.foodEating);
    park_readFloat(file, "WaterNeed", kind.waterNeed);
    park_readFloat(file, "MaxHealth", kind.maxHealth);
    park_readFloat(file, "Endurance", kind.endurance);
    park_readFloat(file, "ChildAge", kind.childAge);
    park_readFloat(file, "MoveSpeed", kind.moveSpeed);
    park_readFloat(file, "CriticalHungerLevel", kind.criticalHungerLevel);
    park_readFloat(file, "ProduceTime", kind.produceTime);
    park_readFloat(file, "ReproduceTime", kind.reproduceTime);
    park_readFloat(file, "RandomFactor", kind.randomFactor);
    park_readFloat(file, "CooldownOnBuy", kind.cooldownOnBuy);
    park_readFloat(file, "TimeBetweenIdles", kind.timeBetweenIdles);
    park_readFloat(file, "AdultBaseScale", kind.adultBaseScale);
    park_readFloat(file, "ChildBaseScale", kind.childBaseScale);

    if (file.findKey("Icon"))
        kind.icon = std::make_unique<aImage>(file.getString("Icon"), aGpuFormat::A4R4G4B4, aGpuFormat::A8R8G8B8);
    if (file.findKey("ButtonImage"))
        kind.buttonImage =
            std::make_unique<aImage>(file.getString("ButtonImage"), aGpuFormat::A4R4G4B4, aGpuFormat::A8R8G8B8);
    if (file.findKey("Shadow")) {
        const cGame* game = cGame::get();
        if (aImage* shadow = game ? game->findImage(file.getString("Shadow")) : nullptr)
            kind.shadow = shadow;
    }

    if (mask & cAnimalKind::MASK_CHILD)
        readRows(file, "CHILD_STATES", mask, kind.name, kind.childAnims);
    if (mask & cAnimalKind::MASK_ADULT)
        readRows(file, "ADULT_STATES", mask, kind.name, kind.adultAnims);
}

cAnimalKind* cAnimal::findKind(uint32_t nameHash)
{
    for (cAnimalKind* kind : g_kinds)
        if (kind->nameHash == nameHash)
            return kind;
    return nullptr;
}

cAnimalKind* cAnimal::findKindByName(const std::string& name)
{
    return findKind(crc32_string(name));
}

void cAnimal::releaseKinds()
{
    for (cAnimalKind* kind : g_kinds)
        delete kind;
    g_kinds.clear();
    for (cAnimal* animal : s_pool)
        delete animal;
    s_pool.clear();
    s_effectLayers = 0;
    delete g_animalImages;
    g_animalImages = nullptr;
}
