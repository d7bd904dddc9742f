// What the player's park upgrades give the running level, for the current
// player (stage 0 without one). The rules themselves live with the park's
// configuration, where the map and the park screen read them too.
#pragma once

#include <cstdint>

#include "game/app/game.h"
#include "game/screens/parkconfig.h"

namespace parkUpgrades {

inline const cPlayerProfile* currentPlayer()
{
    const cGame* game = cGame::get();
    return game ? game->getCurrentProfile() : nullptr;
}

inline int32_t helicopterCapacity() { return parkConfig::helicopterCapacity(currentPlayer()); }
inline float helicopterSpeed() { return parkConfig::helicopterSpeed(currentPlayer()); }
inline float poacherHitDamage() { return parkConfig::poacherHitDamage(currentPlayer()); }
inline int32_t poacherCoinFactor() { return parkConfig::poacherCoinFactor(currentPlayer()); }

} // namespace parkUpgrades
