// The automatic player of the level tests: one level file played through the
// real park objects (the level with its animals, foods, coins and poachers,
// the helicopter, the current player's park upgrades) on a fixed seed and
// frame time, without drawing. The keeper plays as a careful player would, one
// click at a time at a human pace: drives poachers off, heals the sick, feeds
// the hungry, picks up coins, sends the old animals away, buys what the goals
// need (and a small herd that earns), raises the food in the level when the
// park allows it and clicks animals while they produce.
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

// One section of the world map file.
struct MapEntry {
    std::string name;
    std::string needLevel;
    int32_t miniGame = -1;
    std::vector<int32_t> stages; // NeedUpgradeStages, by upgrade type
};

// The map's entries in order, read as the game reads the map file but without
// a running game (so tests can be listed before any game runs).
std::vector<MapEntry> readMapEntries();
// The names of the map's normal levels (not the tutorial, not the mini-games).
std::vector<std::string> normalLevelNames();
bool levelFileExists(const std::string& name);

struct AutoPlayResult {
    int16_t state = 0; // 1 won, -1 lost, 0 still running when the time ran out
    float seconds = 0.0f;
    int32_t money = 0;
    cLevelRewards rewards;
    int bought = 0, sold = 0, heals = 0, hits = 0, meals = 0, coins = 0;
};

class AutoPlayer {
public:
    AutoPlayer(cLevel& level, cHelicopter& helo);
    // The keeper's decision for the frame at simulated time t.
    void act(float t);
    const AutoPlayResult& counts() const { return m_counts; }

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
    AutoPlayResult m_counts;
};

// A loaded game with every animal kind, the poachers, the helicopter's
// pictures and a player whose park is built as a level asks.
class AutoPlayGame : public ParkGame {
protected:
    void SetUp() override;
    void TearDown() override;

    // The player's park holds exactly the stages the map asks of the level.
    void giveMapUpgrades(const std::string& levelName);
    // Plays "levels:<name>.ini" until it ends or maxSeconds have passed
    // (0: twice the level's SilverTime, at least 10 minutes).
    AutoPlayResult play(const std::string& levelName, uint32_t seed, bool keeper, float maxSeconds = 0.0f);

    cPlayerProfile* player = nullptr;
    std::unique_ptr<cHelicopter> helo;
};

} // namespace kbtest
