// Call stacks and symbols of this process, read from the program's own
// unwind tables, DWARF line tables and ELF symbol tables (GCC's libbacktrace,
// which takes its memory from mmap). Nothing here allocates from the heap
// except the demangling of C++ names, so a fault filter may use it.
// stackwalk_init belongs in normal context (install time); the rest runs on
// any thread, several at once.
#pragma once

#include <cstddef>
#include <cstdint>

// Prepares the symbol reader once; false when it cannot work here.
bool stackwalk_init();

// The return addresses of the calling thread's stack, outermost last,
// starting with the frame whose address is `start` (a faulting instruction,
// as the unwinder reports it) and skipping the frames above it. When the walk
// never meets `start`, the list is just `start`. A walk that faults stops
// there. Returns how many addresses were stored.
size_t stackwalk_capture(uint64_t start, uint64_t* addresses, size_t maxCount);

// The address of the frame that called the innermost frame whose symbol is
// one of `symbols` (raw, as the symbol table spells them); 0 when none is on
// the stack.
uint64_t stackwalk_callerOf(const char* const* symbols, size_t count);

struct aCodeLocation {
    char module[256] = "";   // path of the executable or library
    char file[256] = "";     // source file
    int32_t line = -1;       // source line
    char function[512] = ""; // demangled, without its parameter list
};

// Fills what the symbols know of the address; the rest stays empty (-1).
// Names that do not fit are cut.
void stackwalk_locate(uint64_t address, aCodeLocation& out);

// Cuts the parameter list (and qualifiers and clone suffixes) off a demangled
// name in place: "ns::K::run(int) const" becomes "ns::K::run".
void stackwalk_plainName(char* name);
