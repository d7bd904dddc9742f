#include "fuzz/fuzz_target.h"
#include "fuzz/profiles_entry.h"

KB_FUZZ_TARGET(kbfuzz::profiles)
