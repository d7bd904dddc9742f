// The entries of the game's own readers (level files; food, coin, ability,
// animal and poacher kind files), shared by their fuzz programs and by the
// replay of their corpora in game_tests. They need a started game whose
// initial load has run (sprites, sounds, particles, the shipped animal kinds
// where a level asks for them): a fuzz program makes one for its whole run
// (fuzz/game_world.h), the replay takes the test harness's. Each entry reads
// the bytes through the game's own operations, plays what came out for a
// second in a park and answers false when a bound the reader promises breaks.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/text_format_entries.h"
#include "game/app/game.h"
#include "game/park/animal.h"
#include "game/park/animalkind.h"
#include "game/park/bonus.h"
#include "game/park/food.h"
#include "game/park/level.h"
#include "game/park/poacher.h"
#include "game/park/upgrade.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/gfx/a_particlesmanager.h"
#include "orvo/platform/gpu/a_gpudevicerecorder.h"
#include "orvo/platform/gpu/a_gpuimage.h"

namespace kbfuzz {

// The running game and the recording device it draws on.
struct GameStage {
    cGame& game;
    aGpuDeviceRecorder* device = nullptr;
};

constexpr float kParkStep = 1.0f / 30.0f;
// Animation rows the kind files are read with: walking, child and adult
// (every row would decode all the pictures of a kind at every input).
constexpr uint32_t kFuzzAnimalMask = (1u << cAnimalKind::WALK) | cAnimalKind::MASK_CHILD | cAnimalKind::MASK_ADULT;

// A small park to put the kinds' objects in: herbivore ground on the left,
// predator ground on the right, a blocked band on top; written once.
inline const std::string& smallPark()
{
    static const std::string path = [] {
        std::vector<uint32_t> mask;
        for (uint32_t y = 0; y < 48; ++y)
            for (uint32_t x = 0; x < 64; ++x)
                mask.push_back(y < 10 ? 0xFF000000 : x < 32 ? 0xFFFFFFFF : 0xFF808080);
        const std::vector<uint8_t> maskBytes = gpu_encodeBmp(mask.data(), 64, 48);
        writeScratch("small_walk.bmp", maskBytes.data(), maskBytes.size());
        const std::vector<uint32_t> ground(16, 0xFF5A7A3A);
        const std::vector<uint8_t> groundBytes = gpu_encodeBmp(ground.data(), 4, 4);
        writeScratch("small_back.bmp", groundBytes.data(), groundBytes.size());
        const std::string text = "[DATA]\nWalkableMask=" + scratchDir() + "/small_walk.bmp\nMoney=1000\n\n" +
                                 "[BACKGROUND]\nBackground=" + scratchDir() + "/small_back.bmp\n";
        return writeScratch("small_park.ini", reinterpret_cast<const uint8_t*>(text.data()), text.size());
    }();
    return path;
}

// A second of the park, drawn at its end; then the level goes with what it made.
inline void playAndRelease(GameStage& stage, cLevel& level)
{
    if (level.loaded) {
        for (int i = 0; i < 30; ++i)
            level.frameStep(kParkStep);
        if (aGraphServer* graph = stage.game.getGraphServer(); graph && graph->beginScene()) {
            level.draw();
            level.drawOverlays();
            graph->endScene();
        }
    }
    level.release();
    if (aParticlesManager* particles = stage.game.getParticles())
        particles->killAll();
    // The pool of hunters a level fills goes with the level's kinds, as at a state switch.
    cPoacher::releaseKinds();
    if (stage.device)
        stage.device->clearRecords();
}

// The shipped animals, which the level files name.
inline void ensureShippedAnimals()
{
    if (!cAnimal::kinds().empty())
        return;
    for (const char* kind : {"warthog", "zebra", "rhino", "hippo", "cheetah", "lion"})
        cAnimal::loadKindFile(std::string("animals:") + kind + "/" + kind + ".ini", kFuzzAnimalMask);
}

// Any bytes as a level file: a load ends with its counts within their bounds
// and the percentages in range; what loads plays for a second.
inline bool level(GameStage& stage, const uint8_t* data, size_t size)
{
    ensureShippedAnimals();
    const std::string path = writeScratch("Fuzz.ini", data, size);
    cLevel level(path, true);
    bool ok = true;
    if (level.loaded) {
        ok = level.entities.size() <= size_t(cLevel::kMaxEntities) &&
             level.animals.size() <= size_t(cLevel::kMaxInitialAnimals) &&
             level.waveMaxCount <= cLevel::kMaxWavePoachers + 1 && level.goals.size() <= cLevel::kMaxGoals &&
             level.animalsSickPossibility >= 0 && level.animalsSickPossibility <= 100 &&
             level.adultAnimalsPercent >= 0 && level.adultAnimalsPercent <= 100;
    }
    playAndRelease(stage, level);
    return ok;
}

// Any bytes as each of the kind files the game reads: foods, coins, abilities,
// an animal and a poacher. Their objects are made in a small park, played for
// a second, coins collected and abilities used; coin types stay in their range.
inline bool kinds(GameStage& stage, const uint8_t* data, size_t size)
{
    const std::string path = writeScratch("kinds.ini", data, size);
    cFood::releaseKinds();
    cBonus::releaseKinds();
    cUpgrade::releaseAll();
    cAnimal::releaseKinds();
    cPoacher::releaseKinds();
    cFood::loadKinds(path);
    cBonus::loadKinds(path);
    cUpgrade::loadKinds(path);
    cAnimal::loadKindFile(path, kFuzzAnimalMask);
    cPoacher::loadKinds(path);
    bool ok = std::all_of(cBonus::kinds().begin(), cBonus::kinds().end(),
                          [](const cBonus* k) { return k->type >= 0 && k->type <= cBonus::kMaxType; });

    cLevel level(smallPark(), true);
    if (level.loaded) {
        const aVector2 left(200.0f, 400.0f), right(800.0f, 400.0f);
        for (const cFood* food : cFood::kinds())
            level.placeFood(food->type, food->level, food->type == 1 ? right : left);
        for (const cBonus* coin : cBonus::kinds())
            level.addBonus(coin->type, left, right, 5);
        for (const cAnimalKind* kind : cAnimal::kinds())
            level.spawnAnimals(kind->name, true);
        for (const cPoacherKind* kind : cPoacher::kinds())
            level.spawnPoacherWave(kind->name);
        for (cUpgradeKind* ability : cUpgrade::kinds())
            cUpgrade::apply(*ability, level, left);
        for (cBonus* coin : level.bonuses)
            coin->collect(right);
        ok = ok && std::isfinite(static_cast<float>(level.money));
    }
    playAndRelease(stage, level);
    cUpgrade::updateCooldowns(kParkStep);
    return ok;
}

} // namespace kbfuzz
