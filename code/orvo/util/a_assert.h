// Assertions: a failed check logs "%s: %s %s" (function, condition, location)
// and execution goes on with a safe default; a fatal check throws aException.
#pragma once

#include <string>

#include "orvo/util/a_exception.h"

// "Class::method" from GCC's __PRETTY_FUNCTION__, with template parameters
// written out as "class Name" ("aSingleton<class GUI::Server>::getSingleton").
std::string a_functionName(const char* prettyFunction);

// The source path from the area folder on ("util/a_singleton.h").
const char* a_sourceArea(const char* sourcePath);

void a_assertFailed(const char* function, const char* condition, const char* file, unsigned line);
[[noreturn]] void a_fatalAssertFailed(const char* function, const char* condition, const char* file, unsigned line);

// Evaluates to the condition, so callers can write `if (!A_ASSERT(p)) return;`.
#define A_ASSERT(cond)                                                                                         \
    ((cond) ? true                                                                                             \
            : (a_assertFailed(a_functionName(__PRETTY_FUNCTION__).c_str(), #cond, __FILE__, __LINE__), false))

#define A_VERIFY(cond)                                                                                         \
    do {                                                                                                       \
        if (!(cond))                                                                                           \
            a_fatalAssertFailed(a_functionName(__PRETTY_FUNCTION__).c_str(), #cond, __FILE__, __LINE__);     \
    } while (0)
