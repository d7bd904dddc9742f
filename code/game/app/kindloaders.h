// The readers of the kind files that the loading routines call: animal kind
// files (by the level load), poacher kinds (by a level load with poacher
// waves) and whether the entered level will see poachers (waves left, or
// the tutorial that brings one). The park's
// code sets them at start-up, so the loading code needs none of its headers;
// an empty one is skipped without a word.
// Called on the loading thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

struct cKindLoaders {
    std::function<void(const std::string& path, uint32_t mask)> animalKindFile;
    std::function<void(const std::string& path)> poacherKinds;
    std::function<bool()> poacherWavesLeft;
};
