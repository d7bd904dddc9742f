// Scene tests: the animal kinds a park needs.
#pragma once

#include <string>

#include "game/park/animal.h"

namespace kbtest {

inline void loadParkKinds()
{
    for (const char* kind : {"warthog", "zebra", "rhino", "hippo", "cheetah", "lion"})
        cAnimal::loadKindFile(std::string("animals:") + kind + "/" + kind + ".ini", cAnimalKind::MASK_ALL);
}

} // namespace kbtest
