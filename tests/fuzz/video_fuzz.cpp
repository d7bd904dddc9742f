#include "fuzz/fuzz_target.h"
#include "fuzz/video_entry.h"

KB_FUZZ_TARGET(kbfuzz::video)
