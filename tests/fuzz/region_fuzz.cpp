#include "fuzz/fuzz_target.h"
#include "fuzz/gui_entries.h"

KB_FUZZ_TARGET(kbfuzz::region)
