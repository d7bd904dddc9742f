#include "fuzz/fuzz_target.h"

KB_FUZZ_TARGET(kbfuzz::optionsFile)
