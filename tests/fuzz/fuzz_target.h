// The libFuzzer hooks of one fuzz program. The program works inside the
// scratch folder, so includes of bare names ("s.agui", "saved.ini") reach the
// files the entries write there, a file including itself among them.
#pragma once

#include <unistd.h>

#include "fuzz/text_format_entries.h"

// A reader that needs an application: `World` is made once for the whole
// run, after the move into the scratch folder, and handed to every call.
#define KB_FUZZ_TARGET_IN(World, entry)                                                                                \
    static World* kbFuzzWorld = nullptr;                                                                               \
    extern "C" int LLVMFuzzerInitialize(int*, char***)                                                                 \
    {                                                                                                                  \
        if (chdir(kbfuzz::scratchDir().c_str()) != 0)                                                                  \
            return 1;                                                                                                  \
        kbFuzzWorld = new World;                                                                                       \
        return 0;                                                                                                      \
    }                                                                                                                  \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)                                            \
    {                                                                                                                  \
        if (!entry(*kbFuzzWorld, data, size))                                                                          \
            __builtin_trap();                                                                                          \
        return 0;                                                                                                      \
    }

#define KB_FUZZ_TARGET(entry)                                                                                          \
    extern "C" int LLVMFuzzerInitialize(int*, char***)                                                                 \
    {                                                                                                                  \
        return chdir(kbfuzz::scratchDir().c_str()) == 0 ? 0 : 1;                                                       \
    }                                                                                                                  \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)                                            \
    {                                                                                                                  \
        if (!entry(data, size))                                                                                        \
            __builtin_trap();                                                                                          \
        return 0;                                                                                                      \
    }
