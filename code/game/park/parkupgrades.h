// What the player's park upgrades give a level: the helicopter's capacity
// and speed, the damage of a click on a poacher and the poachers' coins.
// Read from the current player's upgrade stages; stage 0 without a player.
#pragma once

#include <algorithm>
#include <cstdint>

#include "game/app/game.h"
#include "game/app/playerprofile.h"

namespace parkUpgrades {

inline int32_t builtStage(int32_t type)
{
    const cGame* game = cGame::get();
    const cPlayerProfile* profile = game ? game->getCurrentProfile() : nullptr;
    return profile ? profile->getUpgradeStage(static_cast<uint16_t>(type)) : 0;
}

inline int32_t helicopterCapacity()
{
    return std::clamp(builtStage(3) + 1, 1, 3);
}

inline float helicopterSpeed()
{
    return (1.0f + 0.25f * static_cast<float>(builtStage(3))) * 0.2f;
}

inline float poacherHitDamage()
{
    return 1.0f + 0.25f * static_cast<float>(builtStage(4));
}

inline int32_t poacherCoinFactor()
{
    return builtStage(4) + 1;
}

} // namespace parkUpgrades
