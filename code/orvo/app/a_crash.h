// The crash report of a running game. crash_exceptionFilter is the fault
// filter while the game runs (from crash_install, right after
// aApplication::init, until crash_restore at the end of shutdown; the engine's
// aApplication::crashHandler is active before and after). It walks the
// faulting thread's stack, writes a text report and a dump under "Errors/" in
// the per-user folder and asks the user, in the "Unhandled exception" dialog,
// whether to debug, abort or continue.
// Threads: crash_prepare, crash_install and crash_restore on the main thread;
// the filter on the faulting thread (main or loading thread) while the others
// keep running. The report and the dump are written without the heap; only
// deleting the input server and the dialog use it.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "orvo/platform/a_fault.h"

constexpr size_t A_CRASH_MAX_FRAMES = 256;

// Results of the crash dialog.
constexpr int32_t A_CRASH_DEBUG = 0;
constexpr int32_t A_CRASH_ABORT = 1;
constexpr int32_t A_CRASH_CONTINUE = 2;

// Commands of the crash dialog's buttons.
constexpr uint32_t A_CRASH_BUTTON_CONTINUE = 108;
constexpr uint32_t A_CRASH_BUTTON_DEBUG = 109;
constexpr uint32_t A_CRASH_BUTTON_ABORT = 110;

// One frame of the faulting thread's stack; empty texts and line -1 where the
// symbols do not tell.
struct crashFrame {
    uint64_t address = 0;
    char module[256] = "";
    char file[256] = "";
    int32_t line = -1;
    char function[512] = "";
};

// A text of fixed size (made without the heap).
struct aCrashText {
    char text[320] = "";
};

// What the filters need at crash time, taken in normal context: the
// application's name and its per-user folder as a disk path ending in '/'.
// Called by aApplication::init and again by crash_install.
void crash_prepare(const std::string& applicationName, const std::string& userFolder);
const char* crash_userFolder();

int32_t crash_exceptionFilter(aExceptionPointers* pointers);
void crash_install();
void crash_restore();

// Refills the frame list from the faulting instruction outward; 0 (and no
// frames) when the symbol reader cannot work.
int32_t crash_walkStack(aExceptionPointers* pointers);
void crash_resolveFrame(uint64_t address, crashFrame& record);
aCrashText crash_describeException(const aExceptionRecord& record);

// Shows the dialog with the condition and the frame list; A_CRASH_ABORT when
// it cannot be shown (no display) or is closed without a choice.
int32_t crash_showDialog(const char* description);
// The dialog's answer to a button's command; -1 for commands it does not handle.
int32_t crash_dialogProc(uint32_t command);
// What the dialog shows: condition, description and one row per frame.
std::string crash_dialogText(const char* condition, const char* description);

// The frame list and the condition of the latest report.
const std::vector<crashFrame>& crash_frames();
const char* crash_condition();

// The clock that names the report and the dump; null puts back the real one.
using aCrashClock = std::time_t (*)();
void crash_setClock(aCrashClock clock);
