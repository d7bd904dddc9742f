#include "game/park/upgrade.h"

#include <algorithm>
#include <cstdlib>

#include "game/park/animal.h"
#include "game/park/bonus.h"
#include "game/park/level.h"
#include "orvo/app/a_file.h"
#include "orvo/app/a_optionsfile.h"
#include "orvo/gfx/a_advanim.h"
#include "orvo/gfx/a_image.h"

namespace {

std::vector<cUpgradeKind*> g_kinds;

} // namespace

cUpgrade::cUpgrade()
{
    perspective = false;
}

cUpgrade::~cUpgrade() = default;

void cUpgrade::loadKinds(const std::string& path)
{
    if (!file_exists(path.c_str()))
        return;
    aOptionsFile file(path.c_str());
    for (file.firstSection(); !file.isSectionEnd(); file.nextSection()) {
        const int32_t type = file.getInt("Type");
        if (findKind(type))
            continue;
        auto* kind = new cUpgradeKind();
        kind->type = type;
        if (file.findKey("Cooldown"))
            kind->cooldown = std::strtof(file.getString("Cooldown").c_str(), nullptr);
        if (file.findKey("Value"))
            kind->value = std::strtof(file.getString("Value").c_str(), nullptr);
        if (file.findKey("Cost"))
            kind->cost = file.getInt("Cost");
        if (file.findKey("ButtonImage"))
            kind->buttonImage =
                std::make_unique<aImage>(file.getString("ButtonImage"), aGpuFormat::A4R4G4B4, aGpuFormat::A8R8G8B8);
        if (file.findKey("UpgradeTypeNeeded"))
            kind->upgradeTypeNeeded = file.getInt("UpgradeTypeNeeded");
        if (file.findKey("UpgradeStageNeeded"))
            kind->upgradeStageNeeded = file.getInt("UpgradeStageNeeded");
        g_kinds.push_back(kind);
    }
}

cUpgradeKind* cUpgrade::findKind(int32_t type)
{
    for (cUpgradeKind* kind : g_kinds)
        if (kind->type == type)
            return kind;
    return nullptr;
}

const std::vector<cUpgradeKind*>& cUpgrade::kinds()
{
    return g_kinds;
}

void cUpgrade::resetCooldowns()
{
    for (cUpgradeKind* kind : g_kinds)
        kind->cooldownLeft = 0.0f;
}

void cUpgrade::updateCooldowns(float dt)
{
    for (cUpgradeKind* kind : g_kinds)
        kind->cooldownLeft = std::max(0.0f, kind->cooldownLeft - dt);
}

bool cUpgrade::apply(cUpgradeKind& kind, cLevel& level, const aVector2& moneyPoint)
{
    if (level.money < kind.cost || kind.cooldownLeft > 0.0f)
        return false;
    level.spendMoney(kind.cost);
    kind.cooldownLeft = kind.cooldown;
    if (kind.type == cUpgradeKind::COLLECT_COINS) {
        // Collecting credits the level; a copy, as crediting may not change the list.
        const std::vector<cBonus*> coins = level.bonuses;
        for (cBonus* coin : coins)
            coin->collect(moneyPoint);
    } else if (kind.type == cUpgradeKind::FEED_ANIMALS) {
        for (cAnimal* animal : level.animals)
            if (animal->isLiving())
                animal->feed();
    }
    return true;
}

bool cUpgrade::isOffered(const cUpgradeKind& kind, const std::vector<int32_t>& parkStages)
{
    if (!kind.buttonImage)
        return false;
    if (kind.upgradeTypeNeeded < 0)
        return true;
    const size_t i = static_cast<size_t>(kind.upgradeTypeNeeded);
    const int32_t stage = i < parkStages.size() ? parkStages[i] : 0;
    return stage >= kind.upgradeStageNeeded;
}

void cUpgrade::releaseAll()
{
    for (cUpgradeKind* kind : g_kinds)
        delete kind;
    g_kinds.clear();
}

void cUpgrade::draw()
{
    const uint32_t color = static_cast<uint32_t>(glow * 255.0f) << 24 | 0xFFFFFF;
    for (size_t i = 0; i < layerA.size() && i < layerAPositions.size(); ++i)
        layerA[i]->draw(layerAPositions[i].x, layerAPositions[i].y, color);
    for (size_t i = 0; i < layerB.size() && i < layerBPositions.size(); ++i)
        layerB[i]->draw(layerBPositions[i].x, layerBPositions[i].y, color);
    hovered = false;
}

void cUpgrade::update(float dt)
{
    for (auto& anim : layerB)
        anim->update(dt);
    for (auto& anim : layerA)
        anim->update(dt);
    glow = std::clamp(glow + (hovered ? 4.0f : -4.0f) * dt, 0.0f, 1.0f);
}
