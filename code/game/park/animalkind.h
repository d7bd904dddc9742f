// cAnimalKind: the tuning values, pictures and animation templates of one
// species, read from its kind file. Kinds live in one process-wide list
// (cAnimal::findKind and friends) from the level load that reads them until
// cAnimal::releaseKinds. Filled on the loading thread, read on the main
// thread afterwards.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class aImage;

struct cAnimalKind {
    // The animation states, in the order of the kind file's rows.
    enum State : int32_t { IDLE_01 = 0, IDLE_02 = 1, PRODUCE = 2, EAT = 3, DEATH = 4, WALK = 5 };
    static constexpr int kStates = 6;
    static constexpr int kDirections = 5;
    static constexpr const char* kStateKeys[kStates] = {"Idle_01", "Idle_02", "Produce", "Eat", "Death", "Walk"};

    // Bits of the animation mask.
    static constexpr uint32_t MASK_CHILD = 64;
    static constexpr uint32_t MASK_ADULT = 128;
    static constexpr uint32_t MASK_ALL = 0xFFFF;

    cAnimalKind();
    ~cAnimalKind();
    cAnimalKind(const cAnimalKind&) = delete;
    cAnimalKind& operator=(const cAnimalKind&) = delete;

    std::unique_ptr<aImage> icon;
    std::unique_ptr<aImage> buttonImage;
    aImage* shadow = nullptr; // the image manager's
    std::string name;
    uint32_t nameHash = 0;
    int32_t foodType = 0; // also the area it lives in
    int32_t liveInWater = 0;
    int32_t cost = 0;
    int32_t bonusProduce = 0;
    int32_t bonusAddedOnClick = 0;
    float foodNeed = 0.0f;
    float foodEating = 0.0f;
    float waterNeed = 0.0f;
    float maxHealth = 0.0f;
    float endurance = 0.0f;
    float childAge = 0.0f;
    float moveSpeed = 0.0f;
    float criticalHungerLevel = 0.0f;
    float produceTime = 0.0f;
    float reproduceTime = 0.0f;
    float randomFactor = 0.0f;
    float cooldownOnBuy = 0.0f;
    float timeBetweenIdles = 0.0f;
    int32_t idle01PlayCount = 0;
    int32_t idle02PlayCount = 0;
    int32_t childIdlePlayCount = 0;
    int32_t numOfProducing = 0;
    float childBaseScale = 1.0f;
    int32_t childVertOffset = 0;
    float adultBaseScale = 1.0f;
    int32_t adultVertOffset = 0;
    int32_t slotsInHelo = 1;
    // Sheets of the animal image manager (null: no such animation).
    aImage* childAnims[kStates][kDirections] = {};
    aImage* adultAnims[kStates][kDirections] = {};
};
