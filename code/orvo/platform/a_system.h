// Process-level services: sleeping, the desktop's work area, scheduling
// priority. Sleeping may be replaced by tests that run a fake clock.
#pragma once

#include <cstdint>

// Sleeps the calling thread (any thread).
void system_sleepMs(uint32_t ms);
using aSleepFunction = void (*)(uint32_t ms);
// Null puts back the real sleep.
void system_setSleepFunction(aSleepFunction sleep);

// True when a termination request (SIGTERM or SIGINT) waits while the
// calling thread holds such signals back (as the program does during its
// start-up): long work can stop early instead of keeping the user waiting.
bool system_quitSignalPending();

// The usable part of the primary display (without panels and docks); right
// and bottom lie just past the area. False (and all zero) when unknown.
struct aWorkArea {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};
bool system_desktopWorkArea(aWorkArea& area);

// Priority classes and thread priorities in the engine's numbering.
constexpr uint32_t A_PRIORITY_IDLE = 0x40;
constexpr uint32_t A_PRIORITY_BELOW_NORMAL = 0x4000;
constexpr uint32_t A_PRIORITY_NORMAL = 0x20;
constexpr uint32_t A_PRIORITY_ABOVE_NORMAL = 0x8000;
constexpr uint32_t A_PRIORITY_HIGH = 0x80;
constexpr uint32_t A_PRIORITY_REALTIME = 0x100;
constexpr int32_t A_THREAD_IDLE = -15;
constexpr int32_t A_THREAD_LOWEST = -2;
constexpr int32_t A_THREAD_BELOW_NORMAL = -1;
constexpr int32_t A_THREAD_NORMAL = 0;
constexpr int32_t A_THREAD_ABOVE_NORMAL = 1;
constexpr int32_t A_THREAD_HIGHEST = 2;
constexpr int32_t A_THREAD_TIME_CRITICAL = 15;

// The class sets the base niceness that thread priorities are counted from;
// both apply to the calling thread. False for unknown values or when the
// system refuses (raising priority needs privileges).
bool system_setPriorityClass(uint32_t priorityClass);
bool system_setThreadPriority(int32_t priority);

// The longest time between the presses of a double click, in milliseconds:
// SDL's double-click-time hint when set, else 500.
uint32_t system_doubleClickTimeMs();

// Opens a web address in the desktop's browser: the desktop opener
// ("xdg-open") runs as a detached child with the address as its one
// argument, never through a shell. Only "http://" and "https://" addresses
// without blanks or control characters are accepted; a refused address or an
// opener that cannot be started is logged and answers false.
bool system_openUrl(const char* url);
// The program that opens addresses (tests put a recorder here); null or ""
// puts back "xdg-open". Looked up on PATH unless it holds a "/".
void system_setUrlOpener(const char* program);
