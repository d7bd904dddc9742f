// cLevel: the park scene of one level. Built from the level's INI file on
// the loading thread (the play state waits for it), then used by the main
// thread only. It owns the background, the walkable grid and the two ground
// areas, the obstacles, the goals, the poacher waves, the money and the lists
// of the park's elements.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <map>

#include "game/park/butterflies.h"
#include "game/park/drawelement.h"
#include "game/park/obstacle.h"
#include "orvo/util/a_geometry.h"

class aImage;
class aOptionsFile;
class cAnimal;
class cBonus;
class cFood;
class cPoacher;
struct cAnimalKind;
class aSound;
class cWater;
struct aGpuPicture;

struct cGoal {
    enum Type : int32_t { MONEY = 0, GROWN = 1, SOLD = 2, HEALED = 3 };

    bool done = false;
    int32_t progress = 0;
    int32_t type = MONEY;
    std::string kindName; // empty for a money goal
    int32_t target = 0;
    uint32_t kindHash = 0;
};

struct cLevelRewards {
    int32_t goldTime = 0; // seconds
    int32_t silverTime = 0;
    int32_t goldReward = 0;
    int32_t silverReward = 0;
    int32_t baseReward = 0;

    // The time reward of a level won after `seconds`: gold up to GoldTime,
    // silver up to SilverTime, the base reward after that.
    // 2 gold, 1 silver, 0 no medal for a level won after `seconds`.
    int32_t medalFor(float seconds) const
    {
        if (seconds <= static_cast<float>(goldTime))
            return 2;
        return seconds <= static_cast<float>(silverTime) ? 1 : 0;
    }
    int32_t forTime(float seconds) const
    {
        const int32_t medal = medalFor(seconds);
        return medal == 2 ? goldReward : medal == 1 ? silverReward : baseReward;
    }
};

// The level's background picture, shared with the scene drawing; null when none.
extern aImage* g_levelBackground;

class cLevel {
public:
    enum Ground : int32_t { HERBIVORE = 0, PREDATOR = 1, NOT_WALKABLE = 2 };
    enum WaterRule : int32_t { DRY = 0, IN_WATER = 1, ANY_GROUND = 2 };
    // The screen the park works in.
    static constexpr float kScreenWidth = 1024.0f;
    static constexpr float kScreenHeight = 768.0f;

    // Loads at once; `loaded` tells whether it worked. A load that is not
    // full keeps the background already shown and skips the clouds.
    cLevel(const std::string& path, bool fullLoad);
    ~cLevel();
    cLevel(const cLevel&) = delete;
    cLevel& operator=(const cLevel&) = delete;

    // False when the walkable mask, the background or the water mask is
    // missing (logged), or the DATA or BACKGROUND section is.
    [[nodiscard]] bool load(const std::string& path, bool fullLoad);
    // Releases every element, frees the background and empties every
    // container. The destructor does it when the owner did not.
    void release();

    // The five rewards of the file's current section; missing keys read 0.
    static cLevelRewards loadRewards(const aOptionsFile& file);
    // x, y, w, h of a rectangle key of the current section; a missing key
    // (or fewer than four numbers) leaves the rectangle as it was.
    static void readRect(const aOptionsFile& file, const std::string& key, aRect& rect);

    // Ground: the grid and the areas from the mask's decoded pixels; the
    // rectangles of the file split the walkable ground when either is set.
    void buildWalkableGrid(const aGpuPicture& mask, const aRect& herbivoresRect, const aRect& predatorsRect);
    int32_t walkableAt(int32_t x, int32_t y) const;
    bool canStandAt(int32_t area, int32_t width, int32_t x, int32_t y, int32_t waterRule) const;
    void randomPointInArea(int32_t area, int32_t& x, int32_t& y, int32_t width, int32_t waterRule) const;
    // Makes the ground under a screen rectangle not walkable and adds an
    // obstacle round it.
    void blockEntityArea(int32_t x, int32_t y, int32_t w, int32_t h);
    // A random free spot for a decoration; null `rect` searches the whole grid.
    void placeEntityRandomly(cDrawElement* entity, const aRect* rect, bool onNonWalkable);
    // Spreads decorations over the three background rectangles by their areas.
    void scatterEntities(const std::vector<cDrawElement*>& pending);
    const aRect& area(int32_t index) const { return index == PREDATOR ? predatorsArea : herbivoresArea; }

    void addGoal(int32_t type, const std::string& kindName, int32_t target);

    // --- animals, food, coins and money (levelanimals.cpp) ---
    // `earned` clear: money given back (a refund), which no award counts.
    void addMoney(int32_t amount, bool earned = true);
    // The play state's money label follows the money; a spend also flies off it.
    void showMoney(int32_t spent = 0);
    void spendMoney(int32_t amount);
    // Recounts the open goals of a type (1 to 3 for that kind); a goal
    // reached plays "goal_done" and the won test runs.
    void updateGoals(int32_t type, const cAnimalKind* kind = nullptr);
    bool checkWon();
    void checkLost();
    uint16_t animalPrice(const std::string& kindName) const;
    uint16_t countLivingAnimals(const std::string& kindName) const;
    // Mode 0 before poacher waves, 1 for the animals' events.
    bool eventAllowed(int32_t mode) const;
    // The animals not yet dead that stand hungry and without food.
    int32_t countHungryAnimals() const;
    // Places one new animal of the kind at a random point of its area.
    bool spawnAnimals(const std::string& kindName, bool free);
    bool spawnAnimal(const std::string& kindName, const aVector2& at, bool free);
    bool placeFood(int32_t type, int32_t foodLevel, const aVector2& at);
    // The animals ready for sale, in the order they became ready; the
    // helicopter boards them from the front.
    void addForSale(cAnimal* animal);
    // An animal that dies or goes: poachers drop it and it leaves the sale queue.
    void forgetAnimal(cAnimal* animal);
    bool waterAt(int32_t x, int32_t y) const;

    // --- the frame, waves and the HUD's questions (levelframe.cpp) ---
    // One step of the level; the play state passes 0 while a window is open.
    void frameStep(float dt);
    void updatePoacherWaves(float dt);
    // One poacher of the named kind, placed on its ground; null without the kind.
    cPoacher* spawnPoacherWave(const std::string& typeName);
    bool addBonus(int32_t type, const aVector2& from, const aVector2& to, int32_t value);
    float buyCooldownFraction(const std::string& kindName) const;
    int32_t goalRemaining(const std::string& kindName) const;
    void stopSounds();
    void setMoney(int32_t value);
    // Whether the helicopter is out on a sale.
    static bool saleUnderWay();
    static int32_t countKindAboard(const cAnimalKind* kind);
    // The HUD keeps one bit per goal.
    static constexpr size_t kMaxGoals = 16;
    static constexpr int32_t kMaxLivePoachers = 3;
    // Bounds of what a level file may ask for, far above the shipped levels'
    // needs: past them a load would take minutes and the park would not play.
    static constexpr int32_t kMaxEntities = 64;
    static constexpr int32_t kMaxInitialAnimals = 64;
    static constexpr int32_t kMaxWavePoachers = 16;

    // The scene in its layers: background, water with its surface effects,
    // shadows, clouds, foods, decorations, the depth-sorted creatures of the
    // draw list (emptied), coins, butterflies.
    void draw();
    // After the interface: each animal's and each poacher's info.
    void drawOverlays();
    // The decorations, the water and the butterflies by one frame (the
    // frame step does the same in its own order).
    void updateScenery(float dt);
    void updateWaterAndButterflies(float dt);
    // count butterflies of the registered butterfly sprites (none without them).
    void createButterflies(int32_t count);

    std::string name;
    int16_t state = 0; // 0 running, 1 won, -1 lost
    bool loaded = false;
    // Two switches that start set. The first holds back the tutorial's hint
    // at a producing animal; the player's first production click clears it.
    enum Flag { FLAG_PRODUCE_HINT_WAITS = 0 };
    bool flags[2] = {true, true};

    uint16_t gridWidth = 0;
    uint16_t gridHeight = 0;
    float cellWidth = 1.0f;
    float cellHeight = 1.0f;
    std::vector<int32_t> grid; // empty until the mask was read

    int32_t miniGameType = -1;
    int32_t tutorialType = -1;
    int32_t animalsSickPossibility = 0;
    int32_t adultAnimalsPercent = 0;
    aSound* ambientSound = nullptr; // not owned
    std::vector<cGoal> goals;
    cLevelRewards rewards;
    aRect herbivoresArea;
    aRect predatorsArea;
    aRect topRect, leftRect, rightRect; // where background decorations are scattered
    int32_t money = 0;

    // Owned; each element goes back through its own release.
    std::vector<cAnimal*> animals;
    std::vector<cFood*> foods;
    std::vector<cBonus*> bonuses;
    std::vector<cPoacher*> poachers;
    std::vector<cDrawElement*> entities; // the decorations (cEntity)

    std::vector<std::string> availableAnimals; // the names the file lists
    std::vector<cAnimalKind*> buyableKinds;
    std::vector<cAnimal*> saleQueue;
    std::vector<std::string> poacherTypes;
    int32_t waveMinCount = 0;
    int32_t waveMaxCount = 0; // one past the written maximum when they differ
    float minSpawnTime = 0.0f;
    float maxSpawnTime = 0.0f;
    int32_t wavesLeft = 0;
    float waveTimer = 0.0f;
    std::deque<float> pendingPoachers;

    cWater* water = nullptr; // the water singleton while this level has water
    cButterflyList butterflies;

    cObstacleList obstacles;
    int32_t foodStock[2] = {0, 0};
    float foodCooldown[2] = {0.0f, 0.0f};
    std::map<const cAnimalKind*, float> buyCooldowns; // seconds left

private:
    bool readData(aOptionsFile& file);
    void readBuyableKinds(aOptionsFile& file);
    bool readBackground(aOptionsFile& file, bool fullLoad);
    void readScenery(aOptionsFile& file, bool fullLoad);
    bool readWater(aOptionsFile& file, bool fullLoad);
    void readConditions(aOptionsFile& file);
    void readGoals(aOptionsFile& file);
    void readPoachers(aOptionsFile& file);
    void offerFoods();
    void spawnInitialAnimals(const std::vector<std::pair<std::string, int32_t>>& pairs);
    void createInitialCreatures();
    bool isAnimalKind(const std::string& kindName) const;

    bool m_released = false;
};

// One step of a list of the park's elements: each is updated, and one no
// longer alive is taken out and released; `drawn` (when given) collects the
// live ones.
template <class T> void level_updateList(std::vector<T*>& list, float dt, std::vector<cDrawElement*>* drawn = nullptr)
{
    for (size_t i = 0; i < list.size();) {
        T* element = list[i];
        element->update(dt);
        if (element->isAlive()) {
            if (drawn)
                drawn->push_back(element);
            ++i;
            continue;
        }
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
        element->release();
    }
}
