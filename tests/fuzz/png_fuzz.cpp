// The picture decoders from PNG seeds; the entry picks the decoder by the first bytes.
#include "fuzz/fuzz_target.h"
#include "fuzz/reader_entries.h"

KB_FUZZ_TARGET(kbfuzz::picture)
