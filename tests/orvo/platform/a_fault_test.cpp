#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "orvo/platform/a_fault.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace {

constexpr uint64_t kStack = 0x7FFD00000000ull;
constexpr uint64_t kIp = 0x555500001234ull;

aExceptionRecord fromKernel(int signal, int code, uint64_t address = 0x10, bool write = false)
{
    return fault_recordFor(signal, code, address, write, kStack, kIp);
}

// Faults on purpose: a sanitized build's checks must not stop it first.
__attribute__((noinline, noipa, no_sanitize("undefined"))) int readAt(uint64_t address)
{
    return *reinterpret_cast<volatile int*>(address);
}

void readNull(void*)
{
    readAt(0);
}

// Each filter call notes the exception code in this file, one a line.
std::string g_notes;
int g_calls = 0;

template <int32_t Answer> int32_t noteAndAnswer(aExceptionPointers* pointers)
{
    ++g_calls;
    std::ofstream(g_notes, std::ios::app) << std::hex << pointers->record->code << "\n";
    return Answer;
}
constexpr aFaultFilter endProcess = noteAndAnswer<A_FILTER_EXECUTE_HANDLER>;
constexpr aFaultFilter continueSearch = noteAndAnswer<A_FILTER_CONTINUE_SEARCH>;
constexpr aFaultFilter continueExecution = noteAndAnswer<A_FILTER_CONTINUE_EXECUTION>;

int32_t faultItself(aExceptionPointers* p)
{
    noteAndAnswer<0>(p);
    return readAt(0) + A_FILTER_EXECUTE_HANDLER;
}
// Notes when it starts and ends; a second thread inside at once would show.
int32_t slowNotes(aExceptionPointers*)
{
    std::ofstream(g_notes, std::ios::app) << "enter\n";
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::ofstream(g_notes, std::ios::app) << "leave\n";
    return A_FILTER_CONTINUE_EXECUTION;
}

} // namespace

TEST(FaultRecord, SignalsMapOntoExceptionCodesOnlyRepeatingFaultsAreNoncontinuableAndNearTheStackMeanOverflow)
{
    constexpr uint32_t kStop = A_EXCEPTION_NONCONTINUABLE;
    constexpr uint64_t kFar = 0x10;
    const struct {
        int signal, code;
        uint64_t address;
        uint32_t expected, flags;
    } cases[] = {
        {SIGSEGV, SEGV_MAPERR, kFar, A_EXCEPTION_ACCESS_VIOLATION, kStop},
        {SIGBUS, BUS_ADRALN, kFar, A_EXCEPTION_DATATYPE_MISALIGNMENT, kStop},
        {SIGBUS, BUS_ADRERR, kFar, A_EXCEPTION_IN_PAGE_ERROR, kStop},
        {SIGFPE, FPE_INTDIV, kFar, A_EXCEPTION_INT_DIVIDE_BY_ZERO, kStop},
        {SIGFPE, FPE_FLTDIV, kFar, A_EXCEPTION_FLT_DIVIDE_BY_ZERO, kStop},
        {SIGFPE, FPE_FLTSUB, kFar, A_EXCEPTION_ARRAY_BOUNDS_EXCEEDED, kStop},
        {SIGILL, ILL_ILLOPN, kFar, A_EXCEPTION_ILLEGAL_INSTRUCTION, kStop},
        {SIGILL, ILL_PRVOPC, kFar, A_EXCEPTION_PRIV_INSTRUCTION, kStop},
        // Any other signal ends the program; an abort is never continued.
        {SIGABRT, SI_TKILL, kFar, A_EXCEPTION_FATAL_EXIT, kStop},
        // Sent by a program, not raised by an instruction: nothing repeats.
        {SIGSEGV, SI_USER, kFar, A_EXCEPTION_ACCESS_VIOLATION, 0},
        {SIGFPE, SI_USER, kFar, A_EXCEPTION_FLT_INVALID_OPERATION, 0},
        {SIGTRAP, TRAP_BRKPT, kFar, A_EXCEPTION_BREAKPOINT, 0},
        {SIGTRAP, TRAP_TRACE, kFar, A_EXCEPTION_SINGLE_STEP, 0},
        // The guard just below the stack pointer, or a frame that reached past it, mean an overflow.
        {SIGSEGV, SEGV_MAPERR, kStack - 8, A_EXCEPTION_STACK_OVERFLOW, kStop},
        {SIGSEGV, SEGV_MAPERR, kStack + 4096, A_EXCEPTION_STACK_OVERFLOW, kStop},
        {SIGSEGV, SEGV_MAPERR, kStack - 64 * 1024 - 1, A_EXCEPTION_ACCESS_VIOLATION, kStop},
        {SIGSEGV, SI_USER, kStack, A_EXCEPTION_ACCESS_VIOLATION, 0},
    };
    for (const auto& c : cases) {
        const aExceptionRecord r = fromKernel(c.signal, c.code, c.address);
        EXPECT_TRUE(r.code == c.expected && r.flags == c.flags)
            << "signal " << c.signal << " code " << c.code << " at " << std::hex << c.address;
        EXPECT_TRUE(r.address == kIp && r.signal == c.signal && r.signalCode == c.code);
    }
    // Access violations carry their kind and address.
    const aExceptionRecord write = fromKernel(SIGSEGV, SEGV_ACCERR, 0xFFFF800000000000ull, true);
    EXPECT_TRUE(write.parameterCount == 2 && write.parameters[0] == 1 && write.parameters[1] == 0xFFFF800000000000ull);
    EXPECT_EQ(fault_recordFor(SIGSEGV, SEGV_MAPERR, 8, false, 0, kIp).code, A_EXCEPTION_ACCESS_VIOLATION);
}

// Each case runs in a child with its filter installed: how the child ends and
// what the filter noted.
TEST(FaultHooks, FiltersAnswersDecideHowTheProcessGoesOn)
{
    const struct {
        const char* what;
        aFaultFilter filter;
        void (*body)();
        int signal; // 0: the child exits with `code`
        int code;
        std::string notes;
    } cases[] = {
        {"guarded faults return false; after the guards the filter takes faults again", endProcess,
         [] {
             bool reached = false;
             bool inner = true; // nested: the inner fault returns to the inner guard only
             if (fault_guard(readNull, nullptr) ||
                 !fault_guard([](void* in) { *static_cast<bool*>(in) = fault_guard(readNull, nullptr); }, &inner) ||
                 inner || !fault_guard([](void* r) { *static_cast<bool*>(r) = true; }, &reached) || !reached)
                 _exit(10);
             readAt(0);
         },
         0, A_FAULT_EXIT_CODE, "c0000005\n"},
        {"continue search gives the system's handling", continueSearch, [] { readAt(0); }, SIGSEGV, 0, "c0000005\n"},
        {"no filter gives the system's handling", nullptr, [] { readAt(0); }, SIGSEGV, 0, ""},
        {"continue on a fault that would repeat does not loop", continueExecution, [] { readAt(0); }, SIGSEGV, 0,
         "c0000005\n"},
        {"continue after signals that were sent goes on", continueExecution,
         [] {
             raise(SIGSEGV);
             raise(SIGTRAP);
             _exit(g_calls == 2 ? 0 : 21);
         },
         0, 0, "c0000005\n80000003\n"},
        {"continue cannot undo an abort", continueExecution, [] { abort(); }, SIGABRT, 0, "40000015\n"},
        // Reported once: the runtime's abort afterwards is not a second crash.
        {"an uncaught exception ends in the runtime's abort", continueSearch,
         [] { std::thread([] { throw 42; }).join(); }, SIGABRT, 0, "e06d7363\n"},
        {"a filter that faults itself ends in the system's handling", faultItself, [] { readAt(0); }, SIGSEGV, 0,
         "c0000005\n"},
        {"threads that fault together are reported one after the other", slowNotes,
         [] {
             std::atomic<int> ready{0};
             std::vector<std::thread> threads;
             for (int i = 0; i < 4; ++i)
                 threads.emplace_back([&ready] {
                     for (++ready; ready < 4;)
                         std::this_thread::yield();
                     raise(SIGSEGV);
                 });
             for (std::thread& t : threads)
                 t.join();
         },
         0, 0, "enter\nleave\nenter\nleave\nenter\nleave\nenter\nleave\n"},
    };
    kbtest::TempDir dir("fault");
    for (const auto& c : cases) {
        g_notes = dir.file(std::to_string(&c - cases) + ".txt");
        const kbtest::ChildResult r = kbtest::runChild([&c] {
            fault_setFilter(c.filter);
            c.body();
        });
        EXPECT_TRUE(c.signal ? r.signal == c.signal : r.exited && r.code == c.code) << c.what << ": " << r.describe();
        EXPECT_EQ(kbtest::readFile(g_notes), c.notes) << c.what;
    }
}
