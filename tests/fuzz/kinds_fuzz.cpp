#include "fuzz/game_world.h"

KB_GAME_FUZZ_TARGET(kbfuzz::kinds)
