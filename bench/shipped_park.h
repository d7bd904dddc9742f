// The shipped park data for the benchmarks that step a real level without
// the game object.
#pragma once

#include <initializer_list>
#include <string>

#include "game/park/animal.h"
#include "support/app_fixture.h"

// Points each "name:Folder/" assign at that folder of the shipped data, then
// loads the warthog and zebra kinds.
inline void bench_useShippedPark(kbtest::TestApp& app, std::initializer_list<const char*> assigns)
{
    const std::string data = std::string(KB_TEST_DATA_DIR) + "/../../data/";
    for (const char* assign : assigns) {
        const std::string a(assign);
        app.getFileServer().setAssign(a.substr(0, a.find(':')), data + a.substr(a.find(':') + 1));
    }
    cAnimal::loadKindFile("animals:warthog/warthog.ini", cAnimalKind::MASK_ALL);
    cAnimal::loadKindFile("animals:zebra/zebra.ini", cAnimalKind::MASK_ALL);
}
