#include "orvo/platform/a_system.h"

#include <SDL.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "orvo/platform/a_sdlshared.h"

namespace {

void realSleep(uint32_t ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::atomic<aSleepFunction> g_sleep{&realSleep};
std::atomic<int> g_baseNice{0};

bool setOwnNice(int nice)
{
    nice = std::clamp(nice, -20, 19);
    // Niceness is per thread on Linux: the thread id addresses the calling thread only.
    const id_t tid = static_cast<id_t>(syscall(SYS_gettid));
    errno = 0;
    return setpriority(PRIO_PROCESS, tid, nice) == 0;
}

} // namespace

bool system_quitSignalPending()
{
    sigset_t pending;
    sigemptyset(&pending);
    if (sigpending(&pending) != 0)
        return false;
    return sigismember(&pending, SIGTERM) == 1 || sigismember(&pending, SIGINT) == 1;
}

void system_sleepMs(uint32_t ms)
{
    g_sleep.load()(ms);
}

void system_setSleepFunction(aSleepFunction sleep)
{
    g_sleep = sleep ? sleep : &realSleep;
}

bool system_desktopWorkArea(aWorkArea& area)
{
    area = {};
    if (!sdlshared::ensureVideo())
        return false;
    SDL_Rect r;
    if (SDL_GetDisplayUsableBounds(0, &r) != 0 || r.w <= 0 || r.h <= 0)
        return false;
    area = {r.x, r.y, r.x + r.w, r.y + r.h};
    return true;
}

bool system_setPriorityClass(uint32_t priorityClass)
{
    int nice;
    switch (priorityClass) {
    case A_PRIORITY_IDLE:
        nice = 19;
        break;
    case A_PRIORITY_BELOW_NORMAL:
        nice = 10;
        break;
    case A_PRIORITY_NORMAL:
        nice = 0;
        break;
    case A_PRIORITY_ABOVE_NORMAL:
        nice = -5;
        break;
    case A_PRIORITY_HIGH:
        nice = -10;
        break;
    case A_PRIORITY_REALTIME:
        nice = -20;
        break;
    default:
        return false;
    }
    if (!setOwnNice(nice))
        return false;
    g_baseNice = nice;
    return true;
}

bool system_setThreadPriority(int32_t priority)
{
    switch (priority) {
    case A_THREAD_IDLE:
        return setOwnNice(19);
    case A_THREAD_TIME_CRITICAL:
        return setOwnNice(-20);
    case A_THREAD_LOWEST:
    case A_THREAD_BELOW_NORMAL:
    case A_THREAD_NORMAL:
    case A_THREAD_ABOVE_NORMAL:
    case A_THREAD_HIGHEST:
        return setOwnNice(g_baseNice - 2 * priority);
    default:
        return false;
    }
}

uint32_t system_doubleClickTimeMs()
{
    // The same setting SDL's own double clicks follow; 500 ms (SDL's and the
    // usual desktop default) unless the user sets it.
    const char* hint = SDL_GetHint(SDL_HINT_MOUSE_DOUBLE_CLICK_TIME);
    if (hint) {
        char* end = nullptr;
        const long ms = std::strtol(hint, &end, 10);
        if (end != hint && ms > 0 && ms < 60000)
            return static_cast<uint32_t>(ms);
    }
    return 500;
}
