// What the park's file "park:config.ini" says about upgrade stages, and the
// rules that follow from the player's built stages: which stages can be
// bought, what the map's levels still need, and what the stages give the
// play state (food, medicine, helicopter, poacher hits, abilities).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class aOptionsFile;
class cPlayerProfile;

// One "UPGRADE" section.
struct cUpgradeSection {
    int32_t type = 0;
    int32_t stage = 0;
    int32_t cost = 0;
    int16_t posX = 0;
    int16_t posY = 0;
    std::string neededLevel = "Level01";
    std::string button;
    std::vector<std::string> sprites;
    std::vector<int32_t> spriteOffsets;
    std::vector<std::string> shadows;
    std::vector<int32_t> shadowOffsets;
};

// A stage that a map level waits for: upgrade `type` built up to `stage`.
struct cUpgradeNeed {
    int32_t type = 0;
    int32_t stage = 0;
};

namespace parkConfig {

constexpr const char* PARK_FILE = "park:config.ini";
constexpr const char* MAP_FILE = "data:Map/config.ini";
constexpr int32_t UPGRADE_TYPES = 5;

// Every "UPGRADE" section in file order; empty when the file is missing.
std::vector<cUpgradeSection> readUpgrades(const std::string& path = PARK_FILE);
cUpgradeSection readUpgrade(const aOptionsFile& file);
const cUpgradeSection* find(const std::vector<cUpgradeSection>& upgrades, int32_t type, int32_t stage);

// The stage of an upgrade that the profile has built (0 without a profile).
int32_t builtStage(const cPlayerProfile* profile, int32_t type);
bool levelCompleted(const cPlayerProfile* profile, const std::string& level);
int32_t maxDoneUpgrades();

// Cost of the stage of upgrade Type 2 (the food store); 0 when the file has none.
int32_t stageCost(const std::vector<cUpgradeSection>& upgrades, int32_t stage);
// Some stage above a built one exists (money, level and count not considered).
bool hasUpgradeToBuild(const std::vector<cUpgradeSection>& upgrades, const cPlayerProfile* profile);
// The count of this visit is not used up and some next stage is affordable and open.
bool canBuyUpgrade(const std::vector<cUpgradeSection>& upgrades, const cPlayerProfile* profile);
// Whether the stage's buy button may be pressed now: it is the next stage of
// its upgrade, the player has the money and the level, and the count allows it.
bool canBuy(const cUpgradeSection& upgrade, const cPlayerProfile* profile);
// Spends the money and builds the stage; false (nothing changed) when canBuy says no.
bool buy(const cUpgradeSection& upgrade, cPlayerProfile* profile);

// The stages still missing for the map's first levels not yet completed:
// walks them in file order and stops at the first level a stage blocks.
std::vector<cUpgradeNeed> mapUpgradeNeeds(aOptionsFile& map, const cPlayerProfile* profile);

// Effects of the built stages on a level.
// Upgrade 2 (food store): the in-level food upgrades exist from stage 1, up to the built stage.
bool foodUpgradesOffered(const cPlayerProfile* profile);
int32_t foodUpgradeLimit(const cPlayerProfile* profile);
// The in-level price of raising a food from `stage` to the next: a tenth of the park stage's cost.
int32_t foodUpgradePrice(const std::vector<cUpgradeSection>& upgrades, int32_t stage);
// Upgrade 1 (water hole): the medicine kind's level.
int32_t healKindLevel(const cPlayerProfile* profile);
// Upgrade 3 (helipad): animals a flight takes (1..3) and its speed.
int32_t helicopterCapacity(const cPlayerProfile* profile);
float helicopterSpeed(const cPlayerProfile* profile);
// Upgrade 4 (ranger post): damage of one hit on a poacher and the factor of his coins.
float poacherHitDamage(const cPlayerProfile* profile);
int32_t poacherCoinFactor(const cPlayerProfile* profile);
// Which abilities a level offers is cUpgrade::isOffered (the kind's needed stage).

} // namespace parkConfig
