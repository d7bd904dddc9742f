// The automatic player of the level tests: a level played through the real
// park objects on a fixed seed and frame time, without drawing. The keeper
// plays as a careful player would, one click at a time at a human pace.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/park/helicopter.h"
#include "game/park/level.h"
#include "game/screens/parkconfig.h"
#include "game/support/park_game.h"

class cPlayerProfile;

namespace kbtest {

struct MapEntry { // one section of the world map file
    std::string name;
    std::string needLevel;
    int32_t miniGame = -1;
    std::vector<int32_t> stages; // NeedUpgradeStages, by upgrade type
};

// The map's entries in order, read without a running game (so tests can be listed before any game runs).
std::vector<MapEntry> readMapEntries();
std::vector<std::string> normalLevelNames(); // not the tutorial, not the mini-games
bool levelFileExists(const std::string& name);
// A driven-off poacher stays until his last sound has ended, and sounds move
// only with the harness's frames (a level stepped on its own holds them
// still): he is let go once he has faded.
void letDrivenOffPoachersGo(cLevel& level);
// Exactly the park stages the map asks of the level, and nothing more.
void giveMapUpgrades(cPlayerProfile& player, const std::string& levelName);

struct AutoPlayResult {
    int16_t state = 0; // 1 won, -1 lost, 0 still running when the time ran out
    float seconds = 0.0f;
    int32_t money = 0;
    cLevelRewards rewards;
};

class AutoPlayer {
public:
    AutoPlayer(cLevel& level, cHelicopter& helo);
    void act(float t); // the keeper's decision for the frame at simulated time t

private:
    bool hitPoacher();
    bool heal();
    bool feed();
    bool collectCoin();
    bool sell();
    bool buy();
    bool raiseFood();
    bool clickProducer();
    bool buyKind(const std::string& kind, int32_t reserve);
    int32_t foodCost(int32_t type) const;

    cLevel& m_level;
    cHelicopter& m_helo;
    float m_now = 0.0f;
    float m_nextClick = 0.0f; // a hand makes one click at a time
    float m_clickWait = 0.0f; // the play state's wait after hits and production clicks
    float m_healReady = 0.0f;
    std::vector<cUpgradeSection> m_upgrades; // the park's stages price the food upgrades
    int32_t m_foodStage[2] = {0, 0};
};

// A loaded game with the poachers, the helicopter's pictures and a player.
class AutoPlayGame : public ParkGame {
protected:
    void SetUp() override;
    void TearDown() override;

    void giveMapUpgrades(const std::string& levelName) { kbtest::giveMapUpgrades(*player, levelName); }
    // Plays "levels:<name>.ini" until it ends, for twice its SilverTime and at least 10 minutes.
    AutoPlayResult play(const std::string& levelName, uint32_t seed, bool keeper);

    cPlayerProfile* player = nullptr;
    std::unique_ptr<cHelicopter> helo;
};

} // namespace kbtest
