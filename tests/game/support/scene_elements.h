// Scene tests: the animal kinds a park needs, and every texture a level's
// frame may draw named by what it shows (background, clouds, decorations,
// foods, coins, butterflies, shadows, each animal by its kind).
#pragma once

#include <map>
#include <string>

#include "game/app/game.h"
#include "game/park/animal.h"
#include "game/park/bonus.h"
#include "game/park/clouds.h"
#include "game/park/level.h"
#include "orvo/gfx/a_image.h"

namespace kbtest {

inline void loadParkKinds()
{
    for (const char* kind : {"warthog", "zebra", "rhino", "hippo", "cheetah", "lion"})
        cAnimal::loadKindFile(std::string("animals:") + kind + "/" + kind + ".ini", cAnimalKind::MASK_ALL);
}

inline const void* textureOf(const aImage* image)
{
    return image && image->getRecord() ? image->getRecord()->surfaces[aImage::SURFACE_PLAIN].texture.get() : nullptr;
}

inline std::map<const void*, std::string> sceneTextures(cLevel& level)
{
    std::map<const void*, std::string> names;
    names[textureOf(g_levelBackground)] = "background";
    for (const cCloudLayer& layer : cClouds::layers())
        names[textureOf(layer.image.get())] = "clouds";
    const cSpriteRegistry& sprites = cGame::get()->spriteRegistry();
    for (const char* sprite : {"acacia_01", "acacia_02", "baobab", "palm", "bush_01", "bush_02", "bush_03", "rock_01",
                               "rock_02", "rock_03", "termite_mound", "grass_tuft"})
        if (const cSpriteEntry* entry = sprites.findSprite(sprite))
            names[textureOf(entry->image.get())] = "entities";
    for (const char* sprite : {"butterfly01", "butterfly02"})
        if (const cSpriteEntry* entry = sprites.findSprite(sprite))
            names[textureOf(entry->image.get())] = "butterflies";
    for (const char* food : {"grass", "meat"})
        for (int l = 1; l <= 3; ++l)
            for (const char* phase : {"stay", "appear"})
                if (const cSpriteEntry* entry =
                        sprites.findSprite(std::string(food) + "_" + std::to_string(l) + "_" + phase))
                    names[textureOf(entry->image.get())] = "foods";
    for (const char* coin : {"coin_1", "coin_2", "coin_3", "coin_4"})
        if (const cSpriteEntry* entry = sprites.findSprite(coin))
            names[textureOf(entry->image.get())] = "coins";
    for (cBonus* bonus : level.bonuses)
        if (const aSprite::Frame* frame = bonus->anim ? bonus->anim->getFrameData(0) : nullptr)
            names[textureOf(frame->image.get())] = "coins";
    for (cAnimal* animal : level.animals) {
        names[textureOf(animal->kind->shadow)] = "shadows";
        names[textureOf(animal->bodyFrame(0.0f).image)] = animal->kind->name;
    }
    return names;
}

} // namespace kbtest
