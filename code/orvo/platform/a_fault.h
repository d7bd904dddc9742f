// Fault hooks: one process-wide unhandled-fault filter. Hardware faults
// (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP), abort() (SIGABRT) and C++
// exceptions that nobody catches (std::terminate) become an exception record
// with a 32-bit code from the engine's table, and the installed filter decides
// what happens. The filter runs on the faulting thread; signals are taken on
// the thread's own alternate stack, so a stack overflow is reported too.
// Only one thread reports at a time: a second faulting thread waits.
// fault_setFilter is called on the main thread; fault_prepareThread on the
// thread it prepares; the rest on the faulting thread inside a filter.
#pragma once

#include <cstdint>

// Exception codes.
constexpr uint32_t A_EXCEPTION_DATATYPE_MISALIGNMENT = 0x80000002;
constexpr uint32_t A_EXCEPTION_BREAKPOINT = 0x80000003;
constexpr uint32_t A_EXCEPTION_SINGLE_STEP = 0x80000004;
constexpr uint32_t A_EXCEPTION_ACCESS_VIOLATION = 0xC0000005;
constexpr uint32_t A_EXCEPTION_IN_PAGE_ERROR = 0xC0000006;
constexpr uint32_t A_EXCEPTION_ILLEGAL_INSTRUCTION = 0xC000001D;
constexpr uint32_t A_EXCEPTION_NONCONTINUABLE_EXCEPTION = 0xC0000025;
constexpr uint32_t A_EXCEPTION_INVALID_DISPOSITION = 0xC0000026;
constexpr uint32_t A_EXCEPTION_ARRAY_BOUNDS_EXCEEDED = 0xC000008C;
constexpr uint32_t A_EXCEPTION_FLT_DENORMAL_OPERAND = 0xC000008D;
constexpr uint32_t A_EXCEPTION_FLT_DIVIDE_BY_ZERO = 0xC000008E;
constexpr uint32_t A_EXCEPTION_FLT_INEXACT_RESULT = 0xC000008F;
constexpr uint32_t A_EXCEPTION_FLT_INVALID_OPERATION = 0xC0000090;
constexpr uint32_t A_EXCEPTION_FLT_OVERFLOW = 0xC0000091;
constexpr uint32_t A_EXCEPTION_FLT_STACK_CHECK = 0xC0000092;
constexpr uint32_t A_EXCEPTION_FLT_UNDERFLOW = 0xC0000093;
constexpr uint32_t A_EXCEPTION_INT_DIVIDE_BY_ZERO = 0xC0000094;
constexpr uint32_t A_EXCEPTION_INT_OVERFLOW = 0xC0000095;
constexpr uint32_t A_EXCEPTION_PRIV_INSTRUCTION = 0xC0000096;
constexpr uint32_t A_EXCEPTION_STACK_OVERFLOW = 0xC00000FD;
constexpr uint32_t A_EXCEPTION_CPP = 0xE06D7363;
// abort() and std::terminate without an exception: the program ended itself.
constexpr uint32_t A_EXCEPTION_FATAL_EXIT = 0x40000015;

// Record flag: execution cannot go on at the fault (it would only fault again).
constexpr uint32_t A_EXCEPTION_NONCONTINUABLE = 1;

struct aExceptionRecord {
    uint32_t code = 0;
    uint32_t flags = 0;
    uint64_t address = 0; // the instruction that faulted
    // Access violations, in-page errors and stack overflows: [0] 0 read / 1
    // write, [1] the data address that could not be reached.
    uint32_t parameterCount = 0;
    uint64_t parameters[2] = {};
    int32_t signal = 0;     // 0 for an uncaught exception
    int32_t signalCode = 0; // the signal's si_code
};

constexpr uint32_t A_FAULT_MAX_REGISTERS = 32;

struct aFaultContext {
    uint64_t ip = 0; // where the walk of the call stack starts
    uint64_t sp = 0;
    uint64_t fp = 0;
    uint32_t threadId = 0;
    uint32_t registerCount = 0; // general registers in the machine's own order; 0 when unknown
    uint64_t registers[A_FAULT_MAX_REGISTERS] = {};
};

struct aExceptionPointers {
    aExceptionRecord* record = nullptr;
    aFaultContext* context = nullptr;
};

// Filter results.
constexpr int32_t A_FILTER_EXECUTE_HANDLER = 1;     // the process ends at once with A_FAULT_EXIT_CODE
constexpr int32_t A_FILTER_CONTINUE_SEARCH = 0;     // the system's own handling (core dump, debugger)
constexpr int32_t A_FILTER_CONTINUE_EXECUTION = -1; // go on at the fault; a fault that would only repeat
                                                    // gets the system's handling instead
constexpr int A_FAULT_EXIT_CODE = 3;

using aFaultFilter = int32_t (*)(aExceptionPointers* pointers);

// Makes the filter the active one (null: the system's handling) and returns
// the one it replaces. The first call installs the hooks and gives the
// calling thread its alternate stack.
aFaultFilter fault_setFilter(aFaultFilter filter);
aFaultFilter fault_filter();

// Gives the calling thread its own alternate signal stack (released when the
// thread ends), so that it too can report its stack overflow. Repeat calls do nothing.
void fault_prepareThread();

// Runs fn(data); a fault inside it makes fault_guard return false instead of
// ending the process. Only while the hooks are installed.
bool fault_guard(void (*fn)(void* data), void* data);

// A filter that stalls (a lock held by the faulting code) ends the process
// with the signal's default action after this many seconds; 0 disarms it
// (a dialog waiting for the user). The hooks arm it before each filter.
void fault_watchdog(unsigned seconds);

// Ends the process at once: no exit-time destructors, no buffers flushed.
[[noreturn]] void fault_exitNow(int code);

// The record of a signal; `stackPointer` tells a stack overflow from other
// access violations, `instruction` is where it faulted.
aExceptionRecord fault_recordFor(int signal, int signalCode, uint64_t dataAddress, bool write, uint64_t stackPointer,
                                 uint64_t instruction);
