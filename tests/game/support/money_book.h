// Where a played level's money came from and where it went, watched from
// outside the game frame by frame (the rules are not touched): coins by who
// dropped them (an animal, by kind, or a driven-off poacher), sales by
// helicopter, the food bill (portions bought less the ones handed back), and
// what the food each kind ate was worth. Call before() and after() around
// every frame of the play state.
#pragma once

#include <cstdint>
#include <map>
#include <string>

class cBonus;
class cPlayState;

namespace kbtest {

class MoneyBook {
public:
    struct KindBook {
        int32_t coins = 0;
        float foodEaten = 0.0f; // what the food the kind ate cost, in money
    };

    void before(const cPlayState& state);
    void after(const cPlayState& state);

    int32_t animalCoins = 0;
    int32_t poacherCoins = 0;
    int32_t sales = 0;
    int32_t foodBill = 0;
    std::map<std::string, KindBook> kinds;

private:
    struct Coin {
        std::string source; // an animal's kind; empty for a poacher's coin
        bool collected = false;
        float stayLeft = 0.0f;
    };
    // Who dropped a coin that has just been thrown: it leaves from the dropper's anchor.
    std::string sourceOf(const cPlayState& state, const cBonus* coin) const;

    std::map<const cBonus*, Coin> m_coins;
    std::map<const void*, float> m_hunger; // eating animals' hunger before the frame
    int32_t m_money = 0;
    bool m_saleUnderWay = false;
    int32_t m_portions = 0;
    int32_t m_foodCount = 0;
    int32_t m_portionCost[2] = {0, 0}; // what the last bought portion of each food cost
};

} // namespace kbtest
