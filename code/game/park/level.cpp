// cLevel: construction, the level file and release.
#include "game/park/level.h"

#include <algorithm>
#include <cstdlib>

#include "game/app/game.h"
#include "game/app/spriteregistry.h"
#include "game/park/animal.h"
#include "game/park/bonus.h"
#include "game/park/clouds.h"
#include "game/park/entity.h"
#include "game/park/food.h"
#include "game/park/optionalkeys.h"
#include "game/park/poacher.h"
#include "game/park/water.h"
#include "orvo/app/a_file.h"
#include "orvo/app/a_optionsfile.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_particlesmanager.h"
#include "orvo/platform/gpu/a_gpuimage.h"
#include "orvo/sound/a_sound.h"
#include "orvo/sound/a_soundmanager.h"
#include "orvo/util/a_crc32.h"
#include "orvo/util/a_log.h"
#include "orvo/util/a_random.h"

aImage* g_levelBackground = nullptr;

namespace {

// Names and counts taken pairwise; the shorter list ends the pairing.
std::vector<std::pair<std::string, int32_t>> readPairs(const aOptionsFile& file, const char* namesKey,
                                                       const char* countsKey)
{
    std::vector<std::pair<std::string, int32_t>> pairs;
    if (!file.findKey(namesKey) || !file.findKey(countsKey))
        return pairs;
    std::vector<std::string> names;
    std::vector<int32_t> counts;
    file.getStringList(namesKey, names);
    file.getIntList(countsKey, counts);
    for (size_t i = 0; i < std::min(names.size(), counts.size()); ++i)
        pairs.emplace_back(names[i], counts[i]);
    return pairs;
}

// One ENTITY section of the level file.
struct EntitySection {
    std::string sprite;
    bool randomPos = false;
    bool collisions = false;
    int32_t count = 1;
    bool notWalkable = false;
    bool onBackground = false;
    bool distortion = false;
    bool perspective = true;
    bool mirror = false;
    std::vector<int32_t> position;
};

EntitySection readEntitySection(const aOptionsFile& file)
{
    EntitySection e;
    e.sprite = file.findKey("Sprite") ? file.getString("Sprite") : "";
    e.randomPos = park_intOr(file, "RandomPos", 0) > 0;
    e.collisions = park_intOr(file, "Collisions", 0) > 0;
    e.count = park_intOr(file, "Count", 1);
    e.notWalkable = park_intOr(file, "NotWalkable", 0) > 0;
    e.onBackground = e.randomPos && park_intOr(file, "OnBackground", 0) > 0;
    e.distortion = park_intOr(file, "Distortion", 0) > 0;
    e.perspective = park_intOr(file, "Perspective", 1) > 0;
    e.mirror = park_intOr(file, "Mirror", 0) > 0;
    if (file.findKey("Position"))
        file.getIntList("Position", e.position);
    return e;
}

const cSpriteEntry* findSprite(const std::string& name)
{
    cGame* game = cGame::get();
    return game ? game->spriteRegistry().findSprite(name) : nullptr;
}

// At most `count` entities of the section (its own count when lower).
void addEntities(cLevel& level, const EntitySection& section, int32_t count, std::vector<cDrawElement*>& pending,
                 aLogLimit& unknownSprites)
{
    const cSpriteEntry* sprite = section.sprite.empty() ? nullptr : findSprite(section.sprite);
    if (!sprite) {
        if (unknownSprites.allow())
            a_log("cLevel. ENTITY sprite \"%s\" is not registered", section.sprite.c_str());
        return;
    }
    for (int32_t i = 0; i < std::min(section.count, count); ++i) {
        auto* entity = new cEntity(&level, *sprite, section.distortion);
        entity->perspective = section.perspective;
        if (section.distortion)
            entity->setSway(8.0f + static_cast<float>(a_rand()) * 2.0f / 32767.0f, 30.0f, -10.0f, 10.0f);
        if (!section.randomPos) {
            const float x = section.position.size() > 0 ? static_cast<float>(section.position[0]) : 0.0f;
            const float y = section.position.size() > 1 ? static_cast<float>(section.position[1]) : 0.0f;
            entity->setPosition(aVector2(x + entity->width * entity->scale * 0.5f, y + entity->height * entity->scale));
            entity->mirrored = section.mirror;
        } else {
            if (section.onBackground)
                pending.push_back(entity);
            else
                level.placeEntityRandomly(entity, nullptr, false);
            entity->mirrored = (a_rand() & 1) != 0;
        }
        entity->fades = section.collisions && !section.onBackground;
        if (section.notWalkable && !section.onBackground) {
            const aRect& r = entity->getScreenRect();
            level.blockEntityArea(r.x - 10, r.y - 10, static_cast<int32_t>(entity->width * entity->scale + 20.0f),
                                  static_cast<int32_t>(entity->height * entity->scale + 20.0f));
        }
        level.entities.push_back(entity);
    }
}

void startParticleSystem(const std::string& name, int32_t x, int32_t y)
{
    cGame* game = cGame::get();
    if (game && game->getParticles())
        game->getParticles()->Add(name, static_cast<float>(x), static_cast<float>(y), 0, true, true);
}

cWater* createWater(const aRect& area, const std::string& mask, const float* strength, const float* speed,
                    const float* frameTime)
{
    std::string base = file_getName(mask.c_str());
    if (const size_t dot = base.rfind('.'); dot != std::string::npos)
        base.erase(dot);
    cWater* water = cWater::create(area, mask, cWater::kFoamPath, "sprites:Water/" + base + "/");
    if (strength)
        water->distortionStrength = *strength;
    if (speed)
        water->distortionSpeed = *speed;
    if (frameTime)
        water->frameTime = *frameTime;
    return water;
}

} // namespace

cLevel::cLevel(const std::string& path, bool fullLoad)
{
    animals.reserve(32);
    bonuses.reserve(64);
    poachers.reserve(4);
    g_drawList.reserve(64);
    loaded = load(path, fullLoad);
}

cLevel::~cLevel()
{
    // NOTE: a second release would free a background that a newer level put in the shared slot.
    if (!m_released)
        release();
}

void cLevel::addGoal(int32_t type, const std::string& kindName, int32_t target)
{
    if (goals.size() >= kMaxGoals) {
        a_log("cLevel. Level \"%s\" has more than %d goals; the rest are left out", name.c_str(),
              static_cast<int>(kMaxGoals));
        return;
    }
    cGoal goal;
    goal.type = type;
    goal.kindName = kindName;
    goal.target = target;
    goal.kindHash = crc32_string(kindName);
    goals.push_back(goal);
}

void cLevel::readRect(const aOptionsFile& file, const std::string& key, aRect& rect)
{
    if (!file.findKey(key))
        return;
    std::vector<int32_t> values;
    file.getIntList(key, values);
    if (values.size() < 4) {
        a_log("cLevel. Rectangle \"%s\" needs four numbers", key.c_str());
        return;
    }
    rect = aRect(static_cast<int16_t>(values[0]), static_cast<int16_t>(values[1]), static_cast<uint16_t>(values[2]),
                 static_cast<uint16_t>(values[3]));
}

cLevelRewards cLevel::loadRewards(const aOptionsFile& file)
{
    cLevelRewards r;
    r.goldTime = park_intOr(file, "GoldTime", 0);
    r.silverTime = park_intOr(file, "SilverTime", 0);
    r.goldReward = park_intOr(file, "GoldReward", 0);
    r.silverReward = park_intOr(file, "SilverReward", 0);
    r.baseReward = park_intOr(file, "BaseReward", 0);
    return r;
}

bool cLevel::load(const std::string& path, bool fullLoad)
{
    if (loaded)
        return true;
    name = file_getName(path.c_str());
    if (const size_t dot = name.rfind('.'); dot != std::string::npos)
        name.erase(dot);

    aOptionsFile file(path.c_str());
    if (!readData(file))
        return false;
    readBuyableKinds(file);
    if (!readBackground(file, fullLoad))
        return false;
    readScenery(file, fullLoad);
    if (!readWater(file, fullLoad))
        return false;
    readConditions(file);
    readGoals(file);
    readPoachers(file);
    offerFoods();
    updateGoals(cGoal::MONEY);
    createButterflies(a_rand() % 3 + 1);
    createInitialCreatures();
    return true;
}

bool cLevel::readData(aOptionsFile& file)
{
    if (!file.setSection("DATA"))
        return false;
    aRect herbivoresRect, predatorsRect;
    readRect(file, "HerbivoresArea", herbivoresRect);
    readRect(file, "PredatorsArea", predatorsRect);
    const std::string maskPath = file.findKey("WalkableMask") ? file.getString("WalkableMask") : "";
    if (maskPath.empty() || !file_exists(maskPath.c_str())) {
        a_log("Missing level walkable mask file");
        return false;
    }
    // The mask is data: read from the decoded pixels, whatever the display's format.
    aGpuPicture mask;
    if (!aImage::decodeFile(maskPath, mask))
        return false;
    buildWalkableGrid(mask, herbivoresRect, predatorsRect);
    if (grid.empty())
        return false;

    miniGameType = park_intOr(file, "MiniGameType", -1);
    tutorialType = park_intOr(file, "TutorialType", -1);
    animalsSickPossibility = std::clamp(park_intOr(file, "AnimalsSickPossibility", 0), 0, 100);
    adultAnimalsPercent = std::clamp(park_intOr(file, "AdultAnimalsPercent", 0), 0, 100);
    if (file.findKey("AmbientSound")) {
        const std::string sound = file.getString("AmbientSound");
        cGame* game = cGame::get();
        aSoundManager* sounds = game ? game->getSoundManager() : nullptr;
        if (sounds && sounds->hasSound(sound))
            ambientSound = sounds->getSound(sound);
    }
    money = park_intOr(file, "Money", 0);
    rewards = loadRewards(file);
    return true;
}

void cLevel::readBuyableKinds(aOptionsFile& file)
{
    if (file.findKey("AvailableAnimals")) {
        file.getStringList("AvailableAnimals", availableAnimals);
        aLogLimit unknownKinds;
        for (const std::string& kindName : availableAnimals) {
            // NOTE: a name that is no loaded kind is left out (nothing could be bought or counted for it),
            // and a kind named again is offered once.
            if (cAnimalKind* kind = cAnimal::findKindByName(kindName)) {
                if (std::find(buyableKinds.begin(), buyableKinds.end(), kind) == buyableKinds.end())
                    buyableKinds.push_back(kind);
            } else if (unknownKinds.allow()) {
                a_log("cLevel. Level \"%s\" offers \"%s\", which is no loaded animal kind", name.c_str(),
                      kindName.c_str());
            }
        }
        unknownKinds.flush(("cLevel. Level \"" + name + "\" offers no loaded animal kind").c_str());
    } else {
        buyableKinds = cAnimal::kinds();
    }
}

bool cLevel::readBackground(aOptionsFile& file, bool fullLoad)
{
    if (!file.setSection("BACKGROUND"))
        return false;
    if (fullLoad || !g_levelBackground) {
        const std::string path = file.findKey("Background") ? file.getString("Background") : "";
        if (path.empty() || !file_exists(path.c_str())) {
            a_log("Missing level background file");
            return false;
        }
        delete g_levelBackground;
        g_levelBackground = new aImage(path, aGpuFormat::A4R4G4B4, aGpuFormat::A8R8G8B8);
    }
    readRect(file, "TopRect", topRect);
    readRect(file, "LeftRect", leftRect);
    readRect(file, "RightRect", rightRect);
    return true;
}

void cLevel::readScenery(aOptionsFile& file, bool fullLoad)
{
    // NOTE: the layers live for the whole program; a full load starts them afresh.
    if (fullLoad)
        cClouds::clear();
    if (fullLoad && file.findKey("CloudsImages") && file.findKey("CloudsSpeeds")) {
        std::vector<std::string> images;
        std::vector<int32_t> speeds;
        file.getStringList("CloudsImages", images);
        file.getIntList("CloudsSpeeds", speeds);
        cClouds::load(images, speeds);
    }
    std::vector<cDrawElement*> pending;
    aLogLimit unknownSprites;
    int64_t asked = 0;
    for (file.firstSection(); !file.isSectionEnd(); file.nextSection()) {
        if (file.getSectionName() != "ENTITY")
            continue;
        const EntitySection section = readEntitySection(file);
        asked += std::max(section.count, 0);
        const int32_t room = kMaxEntities - static_cast<int32_t>(entities.size());
        if (room > 0)
            addEntities(*this, section, room, pending, unknownSprites);
    }
    unknownSprites.flush("cLevel. ENTITY sprite not registered");
    if (asked > kMaxEntities)
        a_log("cLevel. Level \"%s\" asks for %lld decorations; %d at most are placed", name.c_str(),
              static_cast<long long>(asked), static_cast<int>(kMaxEntities));
    scatterEntities(pending);
    for (file.firstSection(); !file.isSectionEnd(); file.nextSection()) {
        if (file.getSectionName() != "PARTICLE_SYSTEM" || !file.findKey("Name"))
            continue;
        std::vector<int32_t> at;
        if (file.findKey("Position"))
            file.getIntList("Position", at);
        at.resize(std::max<size_t>(at.size(), 2), 0);
        startParticleSystem(file.getString("Name"), at[0], at[1]);
    }
}

bool cLevel::readWater(aOptionsFile& file, bool fullLoad)
{
    if (!fullLoad && cWater::getSingletonPtr()) {
        water = cWater::getSingletonPtr();
        return true;
    }
    if (!file.setSection("WATER"))
        return true;
    aRect areaRect;
    readRect(file, "AreaRect", areaRect);
    const std::string mask = file.findKey("Mask") ? file.getString("Mask") : "";
    if (mask.empty() || !file_exists(mask.c_str())) {
        a_log("Missing water mask file");
        return false;
    }
    float strength = 0.0f, speed = 0.0f, frameTime = 0.0f;
    const bool hasStrength = park_readFloat(file, "DistortionStrength", strength);
    const bool hasSpeed = park_readFloat(file, "DistortionSpeed", speed);
    const bool hasFrameTime = park_readFloat(file, "FrameTime", frameTime);
    water = createWater(areaRect, mask, hasStrength ? &strength : nullptr, hasSpeed ? &speed : nullptr,
                        hasFrameTime ? &frameTime : nullptr);
    return true;
}

void cLevel::readConditions(aOptionsFile& file)
{
    if (file.setSection("CONDITIONS"))
        spawnInitialAnimals(readPairs(file, "Animals", "AnimalsCount"));
}

void cLevel::readGoals(aOptionsFile& file)
{
    if (file.setSection("GOALS")) {
        for (const auto& [kind, count] : readPairs(file, "Animals", "AnimalsCount"))
            addGoal(cGoal::SOLD, kind, count);
        if (file.findKey("Money"))
            addGoal(cGoal::MONEY, "", file.getInt("Money"));
    }
    for (file.firstSection(); !file.isSectionEnd(); file.nextSection()) {
        if (file.getSectionName() != "GOAL" || !file.findKey("Type"))
            continue;
        const std::string type = file.getString("Type");
        if (type == "money") {
            addGoal(cGoal::MONEY, "", park_intOr(file, "Value", 0));
        } else if (type == "sell") {
            for (const auto& [kind, count] : readPairs(file, "Animals", "AnimalsCount"))
                if (isAnimalKind(kind))
                    addGoal(cGoal::SOLD, kind, count);
        }
    }
    std::stable_sort(goals.begin(), goals.end(), [](const cGoal& a, const cGoal& b) { return a.type < b.type; });
}

void cLevel::readPoachers(aOptionsFile& file)
{
    if (!file.setSection("POACHERS"))
        return;
    if (file.findKey("Types"))
        file.getStringList("Types", poacherTypes);
    waveMinCount = park_intOr(file, "MinCount", 0);
    waveMaxCount = park_intOr(file, "MaxCount", 0);
    if (std::max(waveMinCount, waveMaxCount) > kMaxWavePoachers) {
        a_log("cLevel. Level \"%s\" asks for up to %d poachers a wave; %d at most come", name.c_str(),
              static_cast<int>(std::max(waveMinCount, waveMaxCount)), static_cast<int>(kMaxWavePoachers));
        waveMinCount = std::min(waveMinCount, kMaxWavePoachers);
        waveMaxCount = std::min(waveMaxCount, kMaxWavePoachers);
    }
    if (waveMinCount > waveMaxCount)
        waveMaxCount = waveMinCount;
    // One past the written maximum, so that a draw modulo the difference reaches it.
    if (waveMaxCount > waveMinCount)
        waveMaxCount += 1;
    const int32_t minWaves = park_intOr(file, "MinWaves", 0);
    const int32_t maxWaves = park_intOr(file, "MaxWaves", 0);
    // NOTE: a maximum below the minimum reads as the minimum (a negative modulus would draw past it).
    // The difference in 64 bits: far-apart counts would overflow it.
    wavesLeft = maxWaves <= minWaves
                    ? minWaves
                    : static_cast<int32_t>(minWaves + a_rand() % (static_cast<int64_t>(maxWaves) - minWaves));
    park_readFloat(file, "MinSpawnTime", minSpawnTime);
    park_readFloat(file, "MaxSpawnTime", maxSpawnTime);
    waveTimer = a_randFloat(minSpawnTime, maxSpawnTime);
    if (wavesLeft > 0 && poacherTypes.empty()) {
        a_log("cLevel. Level \"%s\" has poacher waves but no poacher types", name.c_str());
        wavesLeft = 0;
    }
}

bool cLevel::waterAt(int32_t x, int32_t y) const
{
    return cWater::waterAt(x, y);
}

void cLevel::createButterflies(int32_t count)
{
    const cSpriteEntry* sprites[2] = {findSprite("butterfly01"), findSprite("butterfly02")};
    if (!sprites[0] && !sprites[1])
        return;
    for (int32_t i = 0; i < count; ++i) {
        const cSpriteEntry* sprite = sprites[a_rand() & 1];
        if (!sprite)
            sprite = sprites[0] ? sprites[0] : sprites[1];
        std::unique_ptr<aAnim> anim = initAnimFromSprite(sprite);
        anim->setPlayFlags(aAnim::PLAY_LOOP);
        anim->play();
        butterflies.emplace_back(std::move(anim));
    }
}

bool cLevel::isAnimalKind(const std::string& kindName) const
{
    return cAnimal::findKindByName(kindName) != nullptr;
}

void cLevel::release()
{
    m_released = true;
    g_drawList.clear();
    delete g_levelBackground;
    g_levelBackground = nullptr;
    grid.clear();
    grid.shrink_to_fit();
    gridWidth = gridHeight = 0;
    saleQueue.clear();
    auto releaseAll = [](auto& list) {
        // Copied first: an element's release may look at the lists.
        const auto elements = list;
        list.clear();
        for (cDrawElement* element : elements)
            element->release();
    };
    releaseAll(animals);
    releaseAll(foods);
    releaseAll(bonuses);
    releaseAll(poachers);
    releaseAll(entities);
    buyCooldowns.clear();
    if (water) {
        cWater::destroy();
        water = nullptr;
    }
    butterflies.clear();
    if (ambientSound) {
        ambientSound->stop();
        ambientSound = nullptr;
    }
    goals.clear();
    obstacles.clear();
    pendingPoachers.clear();
    for (float& c : foodCooldown)
        c = 0.0f;
}
