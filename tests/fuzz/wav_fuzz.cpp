// The sound layer (sample and stream) from WAV seeds.
#include "fuzz/fuzz_target.h"
#include "fuzz/reader_entries.h"

KB_FUZZ_TARGET(kbfuzz::sound)
