// Built without debug information (see tests/CMakeLists.txt): code whose
// frames have a name from the symbol table but no source line.
#include "a_stackwalk_nolines.h"

namespace kbtest {

__attribute__((noinline, noipa)) int withoutLines(int value)
{
    asm volatile("");
    return value + 1;
}

} // namespace kbtest
