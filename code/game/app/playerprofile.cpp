#include "game/app/playerprofile.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "orvo/util/a_math.h"

namespace {

cAwardHooks s_hooks;

} // namespace

cPlayerProfile::cPlayerProfile(std::wstring name)
    : m_name(std::move(name))
{
    upgradeStages.reserve(8);
    awardProgress.reserve(16);
}

void cPlayerProfile::setAwardHooks(const cAwardHooks& hooks)
{
    s_hooks = hooks;
}

const cAwardHooks& cPlayerProfile::awardHooks()
{
    return s_hooks;
}

void cPlayerProfile::setSoundVolume(float v)
{
    m_soundVolume = aMath::clampUnit(v);
}

void cPlayerProfile::setMusicVolume(float v)
{
    m_musicVolume = aMath::clampUnit(v);
}

bool cPlayerProfile::hasLevel(const std::string& levelName) const
{
    return levelResults.count(levelName) != 0;
}

int32_t cPlayerProfile::getLevelReward(const std::string& levelName) const
{
    const auto it = levelResults.find(levelName);
    return it == levelResults.end() ? 0 : it->second;
}

void cPlayerProfile::setLevelReward(const std::string& levelName, int32_t value)
{
    levelResults[levelName] = value;
}

int32_t cPlayerProfile::getUpgradeStage(uint16_t i) const
{
    return i < upgradeStages.size() ? upgradeStages[i] : 0;
}

void cPlayerProfile::setUpgradeStage(uint16_t i, int32_t stage)
{
    if (upgradeStages.size() <= i)
        upgradeStages.resize(size_t(i) + 1, 0);
    upgradeStages[i] = stage;
}

int32_t cPlayerProfile::getAwardProgress(uint16_t i) const
{
    return i < awardProgress.size() ? awardProgress[i] : 0;
}

void cPlayerProfile::setAwardProgress(uint16_t i, int32_t value, bool notify)
{
    if (awardProgress.size() <= i)
        awardProgress.resize(size_t(i) + 1, 0);
    const int32_t goal = s_hooks.goal ? s_hooks.goal(i) : 0;
    if (goal <= 0) {
        awardProgress[i] = value;
        return;
    }
    const int32_t current = awardProgress[i];
    if (current >= goal || current >= value)
        return;
    awardProgress[i] = value;
    if (!notify || value < goal)
        return;
    if (s_hooks.announce)
        s_hooks.announce(i);
    // Ends once AWARDS_EARNED itself stands at its goal.
    addAwardProgress(AWARDS_EARNED, 1, true);
    newAwards.push_back(i);
}

void cPlayerProfile::addStars(int64_t amount)
{
    stars = static_cast<int32_t>(std::clamp<int64_t>(int64_t(stars) + amount, INT32_MIN, INT32_MAX));
}

void cPlayerProfile::addAwardProgress(uint16_t i, int32_t delta, bool notify)
{
    if (i >= awardProgress.size())
        setAwardProgress(i, delta, notify);
    else
        setAwardProgress(i, int32_t(uint32_t(awardProgress[i]) + uint32_t(delta)), notify);
}
