// What advances the awards: one call per event of the game, each on the
// current player's profile (nothing without one). The places that see the
// events call these; the profile compares the progress with the goals of the
// awards table and announces what is earned. Main thread.
#pragma once

#include <cstdint>
#include <string>

// The award indices, fixed by the game; goals and pictures come from data.
enum cAwardIndex : uint16_t {
    AWARD_WARTHOGS_SOLD = 0,
    AWARD_ZEBRAS_SOLD = 1,
    AWARD_RHINOS_SOLD = 2,
    AWARD_HIPPOS_SOLD = 3,
    AWARD_CHEETAHS_SOLD = 4,
    AWARD_LIONS_SOLD = 5,
    AWARD_MONEY_1 = 6,
    AWARD_MONEY_2 = 7,
    AWARD_MONEY_3 = 8,
    AWARD_ANIMALS_HEALED = 9,
    AWARD_POACHERS_DRIVEN_OFF = 10,
    AWARD_LEVELS_COMPLETED = 11,
    AWARD_GOLD_MEDALS = 12,
    AWARD_AWARDS_EARNED = 13,
    AWARD_COUNT = 14,
};

// The award for selling an animal of that kind ("warthog" .. "lion"); -1 for other kinds.
int32_t award_forSoldKind(const std::string& kindName);

// An animal of that kind was sold through the helicopter (other kinds count nothing).
void award_animalSold(const std::string& kindName);
// Money was added to the level's money: the three money awards each grow by it.
void award_moneyEarned(int32_t amount);
// A sick animal was healed.
void award_animalHealed();
// A poacher's health reached zero.
void award_poacherDrivenOff();
// The map worked out its level statuses: completed levels (statuses 2..5) and gold medals (status 4).
void award_levelStatuses(int32_t completedLevels, int32_t goldMedals);
