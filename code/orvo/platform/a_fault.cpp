#include "orvo/platform/a_fault.h"

#include <setjmp.h>
#include <signal.h>
#include <sys/mman.h>
#include <time.h>
#include <ucontext.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <exception>
#include <iterator>
#include <mutex>

#include "orvo/platform/a_stackwalk.h"

namespace {

constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGABRT};
// Room for the report, the symbol reader and a message box.
constexpr size_t kAltStackSize = size_t(1) << 20;
// A fault this close to the stack pointer hit the guard below the stack.
constexpr uint64_t kStackReach = 64 * 1024;
constexpr unsigned kWatchdogSeconds = 60;

std::mutex g_installLock;
bool g_installed = false;
std::atomic<aFaultFilter> g_filter{nullptr};
struct sigaction g_previous[std::size(kSignals)];
std::terminate_handler g_previousTerminate = nullptr;
// The thread that is reporting a fault, 0 when none.
std::atomic<pid_t> g_reporter{0};

// Plain thread-locals: read inside the signal handler without any call.
thread_local sigjmp_buf* t_recovery = nullptr;
thread_local int t_depth = 0;

class AltStack {
public:
    AltStack() = default;
    AltStack(const AltStack&) = delete;
    AltStack& operator=(const AltStack&) = delete;
    ~AltStack()
    {
        if (!m_base)
            return;
        stack_t off{};
        off.ss_flags = SS_DISABLE;
        sigaltstack(&off, nullptr);
        munmap(m_base, m_size);
    }

    void prepare()
    {
        if (m_base)
            return;
        stack_t current{};
        if (sigaltstack(nullptr, &current) == 0 && !(current.ss_flags & SS_DISABLE))
            return; // someone gave this thread one already
        const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        const size_t size = kAltStackSize + page;
        void* base = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (base == MAP_FAILED)
            return;
        // A guard page below, so that running out of this stack faults instead of overwriting memory.
        mprotect(base, page, PROT_NONE);
        stack_t stack{};
        stack.ss_sp = static_cast<char*>(base) + page;
        stack.ss_size = kAltStackSize;
        if (sigaltstack(&stack, nullptr) != 0) {
            munmap(base, size);
            return;
        }
        m_base = base;
        m_size = size;
    }

private:
    void* m_base = nullptr;
    size_t m_size = 0;
};

thread_local AltStack t_altStack;

bool wouldRepeat(int signal, int signalCode)
{
    // The kernel raised it for the instruction at hand, which runs again on return.
    return (signal == SIGSEGV || signal == SIGBUS || signal == SIGFPE || signal == SIGILL) && signalCode > 0;
}

void restore(int signal)
{
    for (size_t i = 0; i < std::size(kSignals); ++i)
        if (kSignals[i] == signal)
            sigaction(signal, &g_previous[i], nullptr);
}

void restoreAll()
{
    for (int signal : kSignals)
        restore(signal);
}

// One report at a time: a second faulting thread waits until the first is done.
void claimReporter()
{
    const pid_t self = gettid();
    pid_t expected = 0;
    while (!g_reporter.compare_exchange_strong(expected, self)) {
        expected = 0;
        const timespec pause{0, 10 * 1000 * 1000};
        nanosleep(&pause, nullptr);
    }
}

void releaseReporter()
{
    g_reporter.store(0);
}

void readContext(const void* native, aFaultContext& context, bool& write)
{
    write = false;
    context.threadId = static_cast<uint32_t>(gettid());
    if (!native)
        return;
    const mcontext_t& m = static_cast<const ucontext_t*>(native)->uc_mcontext;
#if defined(__x86_64__)
    context.ip = static_cast<uint64_t>(m.gregs[REG_RIP]);
    context.sp = static_cast<uint64_t>(m.gregs[REG_RSP]);
    context.fp = static_cast<uint64_t>(m.gregs[REG_RBP]);
    context.registerCount = NGREG;
    for (int i = 0; i < NGREG; ++i)
        context.registers[i] = static_cast<uint64_t>(m.gregs[i]);
    // Page faults (trap 14) tell a write by bit 1 of their error code.
    write = m.gregs[REG_TRAPNO] == 14 && (m.gregs[REG_ERR] & 2) != 0;
#elif defined(__aarch64__)
    context.ip = m.pc;
    context.sp = m.sp;
    context.fp = m.regs[29];
    context.registerCount = 31;
    for (int i = 0; i < 31; ++i)
        context.registers[i] = m.regs[i];
#endif
}

int32_t runFilter(aExceptionRecord& record, aFaultContext& context)
{
    const aFaultFilter filter = g_filter.load();
    if (!filter)
        return A_FILTER_CONTINUE_SEARCH;
    aExceptionPointers pointers{&record, &context};
    fault_watchdog(kWatchdogSeconds);
    const int32_t result = filter(&pointers);
    fault_watchdog(0);
    return result;
}

void onSignal(int signal, siginfo_t* info, void* native)
{
    if (sigjmp_buf* recovery = t_recovery) {
        t_recovery = nullptr;
        siglongjmp(*recovery, 1);
    }
    const int code = info ? info->si_code : 0;
    if (t_depth > 0) {
        // The report itself failed: nothing more is tried, the system takes over.
        restoreAll();
        if (!wouldRepeat(signal, code))
            raise(signal);
        return;
    }
    const int savedErrno = errno;
    claimReporter();
    ++t_depth;
    aFaultContext context;
    bool write = false;
    readContext(native, context, write);
    const uint64_t dataAddress = info ? reinterpret_cast<uint64_t>(info->si_addr) : 0;
    aExceptionRecord record = fault_recordFor(signal, code, dataAddress, write, context.sp, context.ip);
    const int32_t result = runFilter(record, context);
    --t_depth;
    releaseReporter();

    if (result == A_FILTER_EXECUTE_HANDLER)
        fault_exitNow(A_FAULT_EXIT_CODE);
    const bool repeats = wouldRepeat(signal, code);
    if (result == A_FILTER_CONTINUE_EXECUTION && !repeats && signal != SIGABRT) {
        errno = savedErrno;
        return;
    }
    // The system's handling: the disposition from before the hooks. A fault
    // that repeats meets it as soon as this handler returns.
    restore(signal);
    if (!repeats)
        raise(signal);
    errno = savedErrno;
}

[[noreturn]] void onTerminate()
{
    if (t_depth == 0) {
        claimReporter();
        ++t_depth;
        aExceptionRecord record;
        record.code = std::current_exception() ? A_EXCEPTION_CPP : A_EXCEPTION_FATAL_EXIT;
        record.flags = A_EXCEPTION_NONCONTINUABLE;
        aFaultContext context;
        context.threadId = static_cast<uint32_t>(gettid());
        context.sp = reinterpret_cast<uint64_t>(__builtin_frame_address(0));
        // The walk starts at the code that threw, not inside the runtime.
        static const char* const kThrowers[] = {"__cxa_throw", "__cxa_rethrow",
                                                "_ZSt17rethrow_exceptionNSt15__exception_ptr13exception_ptrE"};
        context.ip = stackwalk_callerOf(kThrowers, std::size(kThrowers));
        if (!context.ip)
            context.ip = reinterpret_cast<uint64_t>(__builtin_return_address(0)) - 1;
        record.address = context.ip;
        const int32_t result = runFilter(record, context);
        --t_depth;
        releaseReporter();
        if (result == A_FILTER_EXECUTE_HANDLER)
            fault_exitNow(A_FAULT_EXIT_CODE);
    }
    // The runtime's own handling; its abort() must not be reported a second time.
    restore(SIGABRT);
    if (g_previousTerminate)
        g_previousTerminate();
    std::abort();
}

void install()
{
    std::lock_guard<std::mutex> lock(g_installLock);
    if (g_installed)
        return;
    stackwalk_init();
    fault_prepareThread();
    struct sigaction action {};
    action.sa_sigaction = onSignal;
    // NODEFER: a fault inside the report reaches the handler again (and its
    // recovery point) instead of killing the process outright.
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < std::size(kSignals); ++i)
        sigaction(kSignals[i], &action, &g_previous[i]);
    g_previousTerminate = std::set_terminate(onTerminate);
    g_installed = true;
}

} // namespace

aFaultFilter fault_setFilter(aFaultFilter filter)
{
    install();
    return g_filter.exchange(filter);
}

aFaultFilter fault_filter()
{
    return g_filter.load();
}

void fault_prepareThread()
{
    t_altStack.prepare();
}

bool fault_guard(void (*fn)(void* data), void* data)
{
    sigjmp_buf here;
    sigjmp_buf* const outer = t_recovery;
    if (sigsetjmp(here, 1) != 0) {
        t_recovery = outer;
        return false;
    }
    t_recovery = &here;
    fn(data);
    t_recovery = outer;
    return true;
}

void fault_watchdog(unsigned seconds)
{
    if (seconds) {
        struct sigaction fallback {};
        fallback.sa_handler = SIG_DFL;
        sigemptyset(&fallback.sa_mask);
        sigaction(SIGALRM, &fallback, nullptr);
        sigset_t alarmOnly;
        sigemptyset(&alarmOnly);
        sigaddset(&alarmOnly, SIGALRM);
        pthread_sigmask(SIG_UNBLOCK, &alarmOnly, nullptr);
    }
    alarm(seconds);
}

void fault_exitNow(int code)
{
    _exit(code);
}

aExceptionRecord fault_recordFor(int signal, int signalCode, uint64_t dataAddress, bool write, uint64_t stackPointer,
                                 uint64_t instruction)
{
    aExceptionRecord record;
    record.signal = signal;
    record.signalCode = signalCode;
    record.address = instruction;
    if (wouldRepeat(signal, signalCode) || signal == SIGABRT)
        record.flags = A_EXCEPTION_NONCONTINUABLE;
    auto withAddress = [&](uint32_t code) {
        record.code = code;
        record.parameterCount = 2;
        record.parameters[0] = write ? 1 : 0;
        record.parameters[1] = dataAddress;
    };
    switch (signal) {
    case SIGSEGV: {
        const uint64_t distance = dataAddress > stackPointer ? dataAddress - stackPointer : stackPointer - dataAddress;
        const bool overflow = signalCode > 0 && stackPointer != 0 && distance <= kStackReach;
        withAddress(overflow ? A_EXCEPTION_STACK_OVERFLOW : A_EXCEPTION_ACCESS_VIOLATION);
        break;
    }
    case SIGBUS:
        if (signalCode == BUS_ADRALN)
            record.code = A_EXCEPTION_DATATYPE_MISALIGNMENT;
        else
            withAddress(A_EXCEPTION_IN_PAGE_ERROR);
        break;
    case SIGFPE:
        switch (signalCode) {
        case FPE_INTDIV:
            record.code = A_EXCEPTION_INT_DIVIDE_BY_ZERO;
            break;
        case FPE_INTOVF:
            record.code = A_EXCEPTION_INT_OVERFLOW;
            break;
        case FPE_FLTDIV:
            record.code = A_EXCEPTION_FLT_DIVIDE_BY_ZERO;
            break;
        case FPE_FLTOVF:
            record.code = A_EXCEPTION_FLT_OVERFLOW;
            break;
        case FPE_FLTUND:
            record.code = A_EXCEPTION_FLT_UNDERFLOW;
            break;
        case FPE_FLTRES:
            record.code = A_EXCEPTION_FLT_INEXACT_RESULT;
            break;
        case FPE_FLTSUB:
            record.code = A_EXCEPTION_ARRAY_BOUNDS_EXCEEDED;
            break;
        default:
            record.code = A_EXCEPTION_FLT_INVALID_OPERATION;
            break;
        }
        break;
    case SIGILL:
        record.code = (signalCode == ILL_PRVOPC || signalCode == ILL_PRVREG) ? A_EXCEPTION_PRIV_INSTRUCTION
                                                                             : A_EXCEPTION_ILLEGAL_INSTRUCTION;
        break;
    case SIGTRAP:
        record.code = signalCode == TRAP_TRACE ? A_EXCEPTION_SINGLE_STEP : A_EXCEPTION_BREAKPOINT;
        break;
    default:
        record.code = A_EXCEPTION_FATAL_EXIT;
        break;
    }
    return record;
}
