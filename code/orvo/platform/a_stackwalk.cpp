#include "orvo/platform/a_stackwalk.h"

#include <backtrace.h>
#include <cxxabi.h>
#include <dlfcn.h>
#include <errno.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "orvo/platform/a_fault.h"

namespace {

std::once_flag g_initOnce;
std::atomic<backtrace_state*> g_state{nullptr};
// The executable under its real path: the loader only knows it by argv[0].
char g_executable[256] = "";
const void* g_executableBase = nullptr;

void ignoreError(void* /*data*/, const char* /*message*/, int /*error*/)
{
}

void copyText(char* out, size_t size, const char* text)
{
    if (!text)
        text = "";
    const size_t n = strnlen(text, size - 1);
    std::memcpy(out, text, n);
    out[n] = '\0';
}

backtrace_state* state()
{
    backtrace_state* s = g_state.load();
    if (!s && stackwalk_init())
        s = g_state.load();
    return s;
}

struct Capture {
    backtrace_state* state = nullptr;
    uint64_t start = 0;
    uint64_t* out = nullptr;
    size_t max = 0;
    size_t count = 0;
    bool started = false;
};

int onCapturePc(void* data, uintptr_t pc)
{
    Capture& c = *static_cast<Capture*>(data);
    if (!c.started) {
        if (pc != c.start)
            return 0;
        c.started = true;
    }
    if (pc == 0 || pc == UINTPTR_MAX)
        return 1;
    c.out[c.count++] = pc;
    return c.count >= c.max ? 1 : 0;
}

void capture(void* data)
{
    Capture& c = *static_cast<Capture*>(data);
    backtrace_simple(c.state, 0, onCapturePc, ignoreError, data);
}

struct Caller {
    backtrace_state* state = nullptr;
    const char* const* symbols = nullptr;
    size_t count = 0;
    bool hit = false;
    uint64_t result = 0;
};

void onCallerSymbol(void* data, uintptr_t /*pc*/, const char* name, uintptr_t /*value*/, uintptr_t /*size*/)
{
    Caller& c = *static_cast<Caller*>(data);
    for (size_t i = 0; name && i < c.count; ++i)
        if (std::strcmp(name, c.symbols[i]) == 0)
            c.hit = true;
}

int onCallerPc(void* data, uintptr_t pc)
{
    Caller& c = *static_cast<Caller*>(data);
    if (pc == 0 || pc == UINTPTR_MAX)
        return 1;
    if (c.hit) {
        c.result = pc;
        return 1;
    }
    backtrace_syminfo(c.state, pc, onCallerSymbol, ignoreError, data);
    return 0;
}

void findCaller(void* data)
{
    Caller& c = *static_cast<Caller*>(data);
    backtrace_simple(c.state, 0, onCallerPc, ignoreError, data);
}

struct Locate {
    backtrace_state* state = nullptr;
    uint64_t address = 0;
    aCodeLocation* out = nullptr;
};

int onPcInfo(void* data, uintptr_t /*pc*/, const char* file, int line, const char* function)
{
    aCodeLocation& out = *static_cast<Locate*>(data)->out;
    if (file && *file) {
        copyText(out.file, sizeof out.file, file);
        out.line = line > 0 ? line : -1;
    }
    if (function)
        copyText(out.function, sizeof out.function, function);
    return 1; // the innermost (inlined) function is the one that ran
}

void onSymInfo(void* data, uintptr_t /*pc*/, const char* name, uintptr_t /*value*/, uintptr_t /*size*/)
{
    aCodeLocation& out = *static_cast<Locate*>(data)->out;
    if (name && !out.function[0])
        copyText(out.function, sizeof out.function, name);
}

void findModule(void* data)
{
    Locate& l = *static_cast<Locate*>(data);
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(l.address), &info) || !info.dli_fname)
        return;
    const bool executable = g_executableBase && info.dli_fbase == g_executableBase && g_executable[0];
    copyText(l.out->module, sizeof l.out->module, executable ? g_executable : info.dli_fname);
}

void findLines(void* data)
{
    Locate& l = *static_cast<Locate*>(data);
    backtrace_pcinfo(l.state, l.address, onPcInfo, ignoreError, data);
    if (!l.out->function[0])
        backtrace_syminfo(l.state, l.address, onSymInfo, ignoreError, data);
}

void demangle(void* data)
{
    char* function = static_cast<Locate*>(data)->out->function;
    if (std::strncmp(function, "_Z", 2) != 0)
        return;
    int status = -1;
    char* plain = abi::__cxa_demangle(function, nullptr, nullptr, &status);
    if (plain && status == 0) {
        copyText(function, sizeof(aCodeLocation::function), plain);
        stackwalk_plainName(function);
    }
    std::free(plain);
}

bool endsWith(const char* text, size_t length, const char* tail)
{
    const size_t n = std::strlen(tail);
    return length >= n && std::memcmp(text + length - n, tail, n) == 0;
}

} // namespace

bool stackwalk_init()
{
    std::call_once(g_initOnce, [] {
        const int savedErrno = errno;
        const ssize_t n = readlink("/proc/self/exe", g_executable, sizeof g_executable - 1);
        g_executable[n > 0 ? n : 0] = '\0';
        // This code is linked into the executable when the loader names its
        // module by the program's invocation name.
        Dl_info info{};
        if (dladdr(reinterpret_cast<void*>(&stackwalk_init), &info) && info.dli_fname &&
            std::strcmp(info.dli_fname, program_invocation_name) == 0)
            g_executableBase = info.dli_fbase;
        g_state.store(backtrace_create_state(nullptr, 1, ignoreError, nullptr));
        errno = savedErrno;
    });
    return g_state.load() != nullptr;
}

size_t stackwalk_capture(uint64_t start, uint64_t* addresses, size_t maxCount)
{
    if (!addresses || maxCount == 0)
        return 0;
    Capture c;
    c.state = state();
    c.start = start;
    c.out = addresses;
    c.max = maxCount;
    if (c.state)
        fault_guard(capture, &c);
    if (!c.started && start != 0) {
        addresses[0] = start;
        return 1;
    }
    return c.count;
}

uint64_t stackwalk_callerOf(const char* const* symbols, size_t count)
{
    Caller c;
    c.state = state();
    c.symbols = symbols;
    c.count = count;
    if (!c.state || !symbols)
        return 0;
    fault_guard(findCaller, &c);
    return c.result;
}

void stackwalk_locate(uint64_t address, aCodeLocation& out)
{
    out = aCodeLocation{};
    Locate l;
    l.state = state();
    l.address = address;
    l.out = &out;
    fault_guard(findModule, &l);
    if (l.state && fault_guard(findLines, &l))
        fault_guard(demangle, &l);
}

void stackwalk_plainName(char* name)
{
    if (!name)
        return;
    size_t n = std::strlen(name);
    for (bool changed = true; changed;) {
        changed = false;
        if (n > 0 && name[n - 1] == ']') {
            const char* clone = nullptr;
            for (const char* p = std::strstr(name, " [clone "); p; p = std::strstr(p + 1, " [clone "))
                clone = p;
            if (clone) {
                n = static_cast<size_t>(clone - name);
                name[n] = '\0';
                changed = true;
            }
        }
        for (const char* tail : {" const", " volatile", " &&", " &", " noexcept"}) {
            if (endsWith(name, n, tail)) {
                n -= std::strlen(tail);
                name[n] = '\0';
                changed = true;
            }
        }
    }
    if (n == 0 || name[n - 1] != ')')
        return;
    int depth = 0;
    for (size_t i = n; i-- > 0;) {
        if (name[i] == ')') {
            ++depth;
        } else if (name[i] == '(' && --depth == 0) {
            if (i > 0)
                name[i] = '\0';
            return;
        }
    }
}
