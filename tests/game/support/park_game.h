// A loaded game (recording device, fake time) with a small test level: a
// 256 x 192 mask whose top 40 rows are blocked, herbivore ground on the left
// half and predator ground on the right, money 1000. The park's lists are
// stepped here as the level's frame steps them, without drawing.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "game/park/animal.h"
#include "game/park/bonus.h"
#include "game/park/food.h"
#include "game/park/level.h"
#include "game/support/loading_game.h"
#include "game/support/scene_elements.h"
#include "orvo/util/a_random.h"
#include "support/image_files.h"
#include "support/temp_dir.h"

namespace kbtest {

class ParkGame : public ::testing::Test {
protected:
    static constexpr float kDt = 1.0f / 30.0f;

    void SetUp() override
    {
        game->start();
        loadParkKinds();
        a_srand(7);
    }
    void TearDown() override
    {
        level.reset();
        cAnimal::releaseKinds();
    }
    // The test level with extra DATA lines.
    void makeLevel(const std::string& data = "")
    {
        std::vector<uint32_t> pixels;
        for (uint32_t y = 0; y < 192; ++y)
            for (uint32_t x = 0; x < 256; ++x)
                pixels.push_back(y < 40 ? 0xFF000000 : x < 128 ? 0xFFFFFFFF : 0xFF808080);
        writeFile(dir.file("walk.png"), encodePng(pixels, 256, 192));
        writeFile(dir.file("back.png"), encodePng(std::vector<uint32_t>(16, 0xFF5A7A3A), 4, 4));
        writeFile(dir.file("Park.ini"), "[DATA]\nWalkableMask=" + dir.file("walk.png") + "\nMoney=1000\n" + data +
                                            "\n[BACKGROUND]\nBackground=" + dir.file("back.png") + "\n");
        level = std::make_unique<cLevel>(dir.file("Park.ini"), true);
        ASSERT_TRUE(level->loaded);
    }
    // One step of the park's lists: foods, animals, coins, each updated and swept.
    void step()
    {
        level_updateList(level->foods, kDt);
        level_updateList(level->animals, kDt);
        level_updateList(level->bonuses, kDt);
    }
    void run(float seconds)
    {
        for (float t = 0.0f; t < seconds; t += kDt)
            step();
    }
    cAnimal* spawn(const std::string& kind, float x, float y, bool adult)
    {
        EXPECT_TRUE(level->spawnAnimal(kind, aVector2(x, y), true)) << kind;
        cAnimal* animal = level->animals.back();
        if (adult)
            animal->makeGrown(false);
        return animal;
    }

    TempDir dir{"park"};
    std::unique_ptr<LoadedGame> game = std::make_unique<LoadedGame>(true);
    std::unique_ptr<cLevel> level;
};

} // namespace kbtest
