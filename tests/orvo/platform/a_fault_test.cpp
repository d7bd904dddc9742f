#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <algorithm>
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

__attribute__((noinline, noipa)) int readAt(uint64_t address)
{
    return *reinterpret_cast<volatile int*>(address);
}

void readNull(void*)
{
    readAt(0);
}

void touchFlag(void* flag)
{
    *static_cast<bool*>(flag) = true;
}

std::string g_notes;
int g_calls = 0;

int32_t noteAndAnswer(aExceptionPointers* pointers, int32_t answer)
{
    ++g_calls;
    std::ofstream(g_notes, std::ios::app) << std::hex << pointers->record->code << "\n";
    return answer;
}

int32_t endProcess(aExceptionPointers* p)
{
    return noteAndAnswer(p, A_FILTER_EXECUTE_HANDLER);
}
int32_t continueSearch(aExceptionPointers* p)
{
    return noteAndAnswer(p, A_FILTER_CONTINUE_SEARCH);
}
int32_t continueExecution(aExceptionPointers* p)
{
    return noteAndAnswer(p, A_FILTER_CONTINUE_EXECUTION);
}

int32_t faultItself(aExceptionPointers* p)
{
    noteAndAnswer(p, 0);
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

TEST(FaultRecord, SignalsMapOntoTheExceptionCodes)
{
    struct Case {
        int signal;
        int code;
        uint32_t expected;
    };
    const Case cases[] = {
        {SIGSEGV, SEGV_MAPERR, A_EXCEPTION_ACCESS_VIOLATION}, {SIGBUS, BUS_ADRALN, A_EXCEPTION_DATATYPE_MISALIGNMENT},
        {SIGBUS, BUS_ADRERR, A_EXCEPTION_IN_PAGE_ERROR},      {SIGFPE, FPE_INTDIV, A_EXCEPTION_INT_DIVIDE_BY_ZERO},
        {SIGFPE, FPE_FLTDIV, A_EXCEPTION_FLT_DIVIDE_BY_ZERO}, {SIGFPE, FPE_FLTSUB, A_EXCEPTION_ARRAY_BOUNDS_EXCEEDED},
        {SIGFPE, SI_USER, A_EXCEPTION_FLT_INVALID_OPERATION}, {SIGILL, ILL_ILLOPN, A_EXCEPTION_ILLEGAL_INSTRUCTION},
        {SIGILL, ILL_PRVOPC, A_EXCEPTION_PRIV_INSTRUCTION},   {SIGTRAP, SI_KERNEL, A_EXCEPTION_BREAKPOINT},
        {SIGTRAP, TRAP_TRACE, A_EXCEPTION_SINGLE_STEP},       {SIGABRT, SI_TKILL, A_EXCEPTION_FATAL_EXIT},
    };
    for (const Case& c : cases) {
        const aExceptionRecord r = fromKernel(c.signal, c.code);
        EXPECT_EQ(r.code, c.expected) << "signal " << c.signal << " code " << c.code;
        EXPECT_EQ(r.address, kIp);
        EXPECT_EQ(r.signal, c.signal);
        EXPECT_EQ(r.signalCode, c.code);
    }
}

TEST(FaultRecord, OnlyFaultsThatWouldRepeatAndAbortAreNoncontinuable)
{
    EXPECT_EQ(fromKernel(SIGSEGV, SEGV_MAPERR).flags, A_EXCEPTION_NONCONTINUABLE);
    EXPECT_EQ(fromKernel(SIGSEGV, SI_KERNEL).flags, A_EXCEPTION_NONCONTINUABLE);
    EXPECT_EQ(fromKernel(SIGFPE, FPE_INTDIV).flags, A_EXCEPTION_NONCONTINUABLE);
    EXPECT_EQ(fromKernel(SIGILL, ILL_ILLOPN).flags, A_EXCEPTION_NONCONTINUABLE);
    EXPECT_EQ(fromKernel(SIGBUS, BUS_ADRERR).flags, A_EXCEPTION_NONCONTINUABLE);
    EXPECT_EQ(fromKernel(SIGABRT, SI_TKILL).flags, A_EXCEPTION_NONCONTINUABLE);
    // Sent by a program, not raised by an instruction: nothing repeats.
    EXPECT_EQ(fromKernel(SIGSEGV, SI_USER).flags, 0u);
    EXPECT_EQ(fromKernel(SIGTRAP, SI_KERNEL).flags, 0u);
    EXPECT_EQ(fromKernel(SIGTRAP, TRAP_BRKPT).flags, 0u);
}

TEST(FaultRecord, AccessViolationsCarryKindAndAddressAndNearTheStackMeanOverflow)
{
    const aExceptionRecord read = fromKernel(SIGSEGV, SEGV_MAPERR, 0, false);
    EXPECT_EQ(read.parameterCount, 2u);
    EXPECT_EQ(read.parameters[0], 0u);
    EXPECT_EQ(read.parameters[1], 0u);
    const aExceptionRecord write = fromKernel(SIGSEGV, SEGV_ACCERR, 0xFFFF800000000000ull, true);
    EXPECT_EQ(write.parameters[0], 1u);
    EXPECT_EQ(write.parameters[1], 0xFFFF800000000000ull);

    // The guard just below the stack pointer, or a frame that reached past it.
    EXPECT_EQ(fromKernel(SIGSEGV, SEGV_MAPERR, kStack - 8, true).code, A_EXCEPTION_STACK_OVERFLOW);
    EXPECT_EQ(fromKernel(SIGSEGV, SEGV_ACCERR, kStack - 64 * 1024).code, A_EXCEPTION_STACK_OVERFLOW);
    EXPECT_EQ(fromKernel(SIGSEGV, SEGV_MAPERR, kStack + 4096).code, A_EXCEPTION_STACK_OVERFLOW);
    EXPECT_EQ(fromKernel(SIGSEGV, SEGV_MAPERR, kStack - 64 * 1024 - 1).code, A_EXCEPTION_ACCESS_VIOLATION);
    EXPECT_EQ(fromKernel(SIGSEGV, SI_USER, kStack).code, A_EXCEPTION_ACCESS_VIOLATION);
    EXPECT_EQ(fromKernel(SIGSEGV, SEGV_MAPERR, kStack - 8).parameters[1], kStack - 8);
    EXPECT_EQ(fault_recordFor(SIGSEGV, SEGV_MAPERR, 8, false, 0, kIp).code, A_EXCEPTION_ACCESS_VIOLATION);
}

class FaultHooks : public testing::Test {
protected:
    void SetUp() override { g_notes = m_dir.file("filter.txt"); }
    int filterCalls() const
    {
        const std::string text = kbtest::readFile(g_notes);
        return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    }
    kbtest::TempDir m_dir{"fault"};
};

TEST_F(FaultHooks, AGuardedFaultReturnsFalseAndTheProgramGoesOn)
{
    const kbtest::ChildResult r = kbtest::runChild([] {
        fault_setFilter(&endProcess);
        bool reached = false;
        if (fault_guard(readNull, nullptr))
            _exit(10);
        // Nested guards: the inner fault returns to the inner guard only.
        struct Nest {
            bool inner = true;
        } nest;
        const bool outer =
            fault_guard([](void* data) { static_cast<Nest*>(data)->inner = fault_guard(readNull, nullptr); }, &nest);
        if (!outer || nest.inner)
            _exit(11);
        if (!fault_guard(touchFlag, &reached) || !reached)
            _exit(12);
        // After the guards the filter takes faults again.
        readAt(0);
        _exit(13);
    });
    EXPECT_TRUE(r.exited && r.code == A_FAULT_EXIT_CODE) << r.describe();
    EXPECT_EQ(filterCalls(), 1);
}

TEST_F(FaultHooks, ContinueSearchGivesTheSystemsHandling)
{
    const kbtest::ChildResult r = kbtest::runChild([] {
        fault_setFilter(&continueSearch);
        readAt(0);
    });
    EXPECT_FALSE(r.exited) << r.describe();
    EXPECT_EQ(r.signal, SIGSEGV);
    EXPECT_EQ(filterCalls(), 1);
}

TEST_F(FaultHooks, NoFilterGivesTheSystemsHandling)
{
    const kbtest::ChildResult r = kbtest::runChild([] {
        fault_setFilter(nullptr);
        readAt(0);
    });
    EXPECT_EQ(r.signal, SIGSEGV) << r.describe();
}

TEST_F(FaultHooks, ContinueExecutionOnARepeatingFaultDoesNotLoop)
{
    const kbtest::ChildResult r = kbtest::runChild([] {
        fault_setFilter(&continueExecution);
        readAt(0);
        _exit(20);
    });
    EXPECT_EQ(r.signal, SIGSEGV) << r.describe();
    EXPECT_EQ(filterCalls(), 1);
}

TEST_F(FaultHooks, ContinueExecutionAfterASignalThatWasSentGoesOn)
{
    const kbtest::ChildResult r = kbtest::runChild([] {
        fault_setFilter(&continueExecution);
        raise(SIGSEGV);
        raise(SIGTRAP);
        _exit(g_calls == 2 ? 0 : 21);
    });
    EXPECT_TRUE(r.exited && r.code == 0) << r.describe();
    EXPECT_EQ(kbtest::readFile(g_notes), "c0000005\n80000003\n");
}

TEST_F(FaultHooks, ContinueExecutionCannotUndoAnAbort)
{
    const kbtest::ChildResult r = kbtest::runChild([] {
        fault_setFilter(&continueExecution);
        abort();
    });
    EXPECT_EQ(r.signal, SIGABRT) << r.describe();
    EXPECT_EQ(kbtest::readFile(g_notes), "40000015\n");
}

TEST_F(FaultHooks, UncaughtExceptionWithoutAnAnswerEndsInTheRuntimesAbort)
{
    const kbtest::ChildResult r = kbtest::runChild([] {
        fault_setFilter(&continueSearch);
        std::thread([] { throw 42; }).join();
    });
    EXPECT_EQ(r.signal, SIGABRT) << r.describe();
    // Reported once: the runtime's abort afterwards is not a second crash.
    EXPECT_EQ(kbtest::readFile(g_notes), "e06d7363\n");
}

TEST_F(FaultHooks, AFilterThatFaultsItselfEndsInTheSystemsHandling)
{
    const kbtest::ChildResult r = kbtest::runChild([] {
        fault_setFilter(&faultItself);
        readAt(0);
    });
    EXPECT_EQ(r.signal, SIGSEGV) << r.describe();
    EXPECT_EQ(filterCalls(), 1);
}

TEST_F(FaultHooks, ThreadsThatFaultTogetherAreReportedOneAfterTheOther)
{
    const kbtest::ChildResult r = kbtest::runChild([] {
        fault_setFilter(&slowNotes);
        std::atomic<int> ready{0};
        std::vector<std::thread> threads;
        for (int i = 0; i < 4; ++i)
            threads.emplace_back([&ready] {
                ++ready;
                while (ready < 4)
                    std::this_thread::yield();
                raise(SIGSEGV);
            });
        for (std::thread& t : threads)
            t.join();
    });
    EXPECT_TRUE(r.exited && r.code == 0) << r.describe();
    std::string expected;
    for (int i = 0; i < 4; ++i)
        expected += "enter\nleave\n";
    EXPECT_EQ(kbtest::readFile(g_notes), expected);
}
