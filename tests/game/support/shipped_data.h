// The shipped data read straight from data/ (the level files, their grounds
// and the creature sheets), for the tests that judge the art and the levels
// without running a level.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "game/park/level.h"
#include "orvo/app/a_optionsfile.h"
#include "orvo/platform/gpu/a_gpuimage.h"

namespace kbtest {

// data/ of the repository, with a trailing "/".
const std::string& shippedData();

// A picture decoded as the game decodes it; a failure is a test failure.
aGpuPicture decodePicture(const std::string& path);

// One section of an INI file; a missing section reads as empty.
aOptionsFile iniSection(const std::string& path, const char* section);

// The file under data/ that a game path ("levels:park_01.jpg",
// "sprites:Water/river.png") names.
std::string shippedFile(const std::string& gamePath);

// How far from its feet a creature of the shipped data (an animal kind or a
// poacher kind) reaches at its largest: half its frame width, a grown animal
// a tenth larger. Its coins land that far away, its shadow reaches that far
// sideways and 1.3 times as far up.
float creatureReach(const std::string& name);

// A shipped level: its ground picture, its walkable grid and the names of the
// creatures that walk it (the kinds it offers, starts with or sends as poachers).
struct ShippedLevel {
    std::string path, background;
    std::vector<std::string> walkers;
    std::unique_ptr<cLevel> grid;
};

// Every level file under data/Levels, in no particular order.
std::vector<ShippedLevel> shippedLevels();

} // namespace kbtest
