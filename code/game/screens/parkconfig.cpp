#include "game/screens/parkconfig.h"

#include <algorithm>

#include "game/app/game.h"
#include "game/app/playerprofile.h"
#include "game/park/optionalkeys.h"
#include "orvo/app/a_file.h"
#include "orvo/app/a_optionsfile.h"
#include "orvo/util/a_log.h"

namespace parkConfig {

cUpgradeSection readUpgrade(const aOptionsFile& file)
{
    cUpgradeSection u;
    u.type = park_intOr(file, "Type", 0);
    u.stage = park_intOr(file, "Stage", 0);
    u.cost = park_intOr(file, "Cost", 0);
    if (u.cost < 0) {
        // A purchase that paid stars out could overflow the player's total.
        a_log("Park upgrade %d stage %d: negative Cost %d read as 0", u.type, u.stage, u.cost);
        u.cost = 0;
    }
    u.posX = static_cast<int16_t>(park_intOr(file, "PosX", 0));
    u.posY = static_cast<int16_t>(park_intOr(file, "PosY", 0));
    if (file.findKey("NeededLevel") && !file.getString("NeededLevel").empty())
        u.neededLevel = file.getString("NeededLevel");
    if (file.findKey("Button"))
        u.button = file.getString("Button");
    if (file.findKey("Sprite"))
        file.getStringList("Sprite", u.sprites);
    if (file.findKey("SpriteOffset"))
        file.getIntList("SpriteOffset", u.spriteOffsets);
    if (file.findKey("Shadow"))
        file.getStringList("Shadow", u.shadows);
    if (file.findKey("ShadowOffset"))
        file.getIntList("ShadowOffset", u.shadowOffsets);
    return u;
}

std::vector<cUpgradeSection> readUpgrades(const std::string& path)
{
    std::vector<cUpgradeSection> upgrades;
    if (!file_exists(path.c_str()))
        return upgrades;
    aOptionsFile file(path.c_str());
    for (file.firstSection(); !file.isSectionEnd(); file.nextSection())
        if (file.getSectionName() == "UPGRADE")
            upgrades.push_back(readUpgrade(file));
    return upgrades;
}

const cUpgradeSection* find(const std::vector<cUpgradeSection>& upgrades, int32_t type, int32_t stage)
{
    for (const cUpgradeSection& u : upgrades)
        if (u.type == type && u.stage == stage)
            return &u;
    return nullptr;
}

int32_t builtStage(const cPlayerProfile* profile, int32_t type)
{
    if (!profile || type < 0 || type > 0xFFFF)
        return 0;
    return profile->getUpgradeStage(static_cast<uint16_t>(type));
}

bool levelCompleted(const cPlayerProfile* profile, const std::string& level)
{
    return profile && profile->hasLevel(level);
}

int32_t maxDoneUpgrades()
{
    const cGame* game = cGame::get();
    return game ? game->settings().maxDoneUpgradesAtOnce : 1;
}

int32_t stageCost(const std::vector<cUpgradeSection>& upgrades, int32_t stage)
{
    const cUpgradeSection* u = find(upgrades, 2, stage);
    return u ? u->cost : 0;
}

bool hasUpgradeToBuild(const std::vector<cUpgradeSection>& upgrades, const cPlayerProfile* profile)
{
    return std::any_of(upgrades.begin(), upgrades.end(),
                       [&](const cUpgradeSection& u) { return u.stage > builtStage(profile, u.type); });
}

bool canBuy(const cUpgradeSection& upgrade, const cPlayerProfile* profile)
{
    if (!profile || upgrade.type < 0)
        return false;
    return builtStage(profile, upgrade.type) == upgrade.stage - 1 && upgrade.cost <= profile->stars &&
           levelCompleted(profile, upgrade.neededLevel) &&
           static_cast<int64_t>(profile->doneUpgrades) < maxDoneUpgrades();
}

bool canBuyUpgrade(const std::vector<cUpgradeSection>& upgrades, const cPlayerProfile* profile)
{
    // Only the next stage of an upgrade has a button: a cheaper stage further up
    // would point the player at a park where nothing can be bought.
    return std::any_of(upgrades.begin(), upgrades.end(), [&](const cUpgradeSection& u) { return canBuy(u, profile); });
}

bool buy(const cUpgradeSection& upgrade, cPlayerProfile* profile)
{
    if (!canBuy(upgrade, profile))
        return false;
    profile->stars -= upgrade.cost;
    profile->setUpgradeStage(static_cast<uint16_t>(upgrade.type), upgrade.stage);
    ++profile->doneUpgrades;
    return true;
}

std::vector<cUpgradeNeed> mapUpgradeNeeds(aOptionsFile& map, const cPlayerProfile* profile)
{
    std::vector<cUpgradeNeed> needs;
    for (map.firstSection(); !map.isSectionEnd(); map.nextSection()) {
        if (levelCompleted(profile, map.getSectionName()))
            continue;
        std::vector<int32_t> stages;
        if (map.findKey("NeedUpgradeStages"))
            map.getIntList("NeedUpgradeStages", stages);
        const size_t count = std::min<size_t>(stages.size(), UPGRADE_TYPES);
        for (size_t i = 0; i < count; ++i)
            if (builtStage(profile, static_cast<int32_t>(i)) < stages[i])
                needs.push_back({static_cast<int32_t>(i), stages[i]});
        if (!needs.empty())
            break;
    }
    return needs;
}

bool foodUpgradesOffered(const cPlayerProfile* profile)
{
    return builtStage(profile, 2) >= 1;
}

int32_t foodUpgradeLimit(const cPlayerProfile* profile)
{
    return builtStage(profile, 2);
}

int32_t foodUpgradePrice(const std::vector<cUpgradeSection>& upgrades, int32_t stage)
{
    return stageCost(upgrades, stage + 1) / 10;
}

int32_t healKindLevel(const cPlayerProfile* profile)
{
    return builtStage(profile, 1) + 1;
}

int32_t helicopterCapacity(const cPlayerProfile* profile)
{
    return std::clamp(builtStage(profile, 3) + 1, 1, 3);
}

float helicopterSpeed(const cPlayerProfile* profile)
{
    return (1.0f + 0.25f * static_cast<float>(builtStage(profile, 3))) * 0.2f;
}

float poacherHitDamage(const cPlayerProfile* profile)
{
    return 1.0f + 0.25f * static_cast<float>(builtStage(profile, 4));
}

int32_t poacherCoinFactor(const cPlayerProfile* profile)
{
    return builtStage(profile, 4) + 1;
}

} // namespace parkConfig
