#include "orvo/app/a_crash.h"

#include <limits.h>
#include <time.h>

#include <atomic>
#include <cstring>

#include "orvo/app/a_application.h"
#include "orvo/app/a_file.h"
#include "orvo/platform/a_dumpfile.h"
#include "orvo/platform/a_messagebox.h"
#include "orvo/platform/a_rawfile.h"
#include "orvo/platform/a_stackwalk.h"
#include "orvo/platform/a_window.h"
#include "orvo/util/a_fixedtext.h"

namespace {

constexpr const char* kDashes = "-----------------------------------------------------------------------";
constexpr const char* kUnhandled = "Unhandled Exception";

char g_name[256] = "Unnamed";
char g_userFolder[PATH_MAX] = "";
std::vector<crashFrame> g_frames;
char g_condition[sizeof(crashFrame::file) + 64] = "";
std::atomic<bool> g_installed{false};
aFaultFilter g_previous = nullptr;
aCrashClock g_clock = nullptr;

void copyText(char* out, size_t size, const char* text)
{
    const size_t n = text ? strnlen(text, size - 1) : 0;
    if (n)
        std::memcpy(out, text, n);
    out[n] = '\0';
}

// "%Y-%m-%d %H-%M-%S" followed by the tail.
aFixedText<64> timeName(const std::tm& t, const char* tail)
{
    aFixedText<64> name;
    name.decimal(t.tm_year + 1900).append("-");
    auto two = [&name](int value) { name.append(value < 10 ? "0" : "").decimal(value); };
    two(t.tm_mon + 1);
    name.append("-");
    two(t.tm_mday);
    name.append(" ");
    two(t.tm_hour);
    name.append("-");
    two(t.tm_min);
    name.append("-");
    two(t.tm_sec);
    name.append(tail);
    return name;
}

void writeReport(const char* path, const char* description)
{
    aRawFile file;
    if (!file.create(path))
        return;
    file.text(kDashes).text("\n").text(g_name).text("\n").text(kDashes).text("\n\n");
    file.text(g_condition).text("\n");
    file.text("Description: ").text(description).text("\n\n");
    file.text("Call stack:\n");
    for (const crashFrame& f : g_frames) {
        aFixedText<32> line;
        line.decimal(f.line);
        file.text(f.file).text("(").text(line.c_str()).text("): ").text(f.function).text("();\n");
    }
    file.close();
}

} // namespace

void crash_prepare(const std::string& applicationName, const std::string& userFolder)
{
    copyText(g_name, sizeof g_name, applicationName.c_str());
    copyText(g_userFolder, sizeof g_userFolder, userFolder.c_str());
    if (g_frames.capacity() < A_CRASH_MAX_FRAMES)
        g_frames.reserve(A_CRASH_MAX_FRAMES);
    stackwalk_init();
    // The time zone is read now: at crash time the local time needs no file.
    tzset();
}

const char* crash_userFolder()
{
    return g_userFolder;
}

void crash_install()
{
    if (g_installed)
        return;
    if (aApplication* app = aApplication::get())
        crash_prepare(app->getName(), app->getFileServer().manglePath(app->getUserDir()));
    else
        crash_prepare(g_name, g_userFolder);
    g_previous = fault_setFilter(&crash_exceptionFilter);
    g_installed = true;
}

void crash_restore()
{
    if (!g_installed)
        return;
    fault_setFilter(g_previous);
    g_installed = false;
}

int32_t crash_exceptionFilter(aExceptionPointers* pointers)
{
    aFixedText<PATH_MAX> folder(g_userFolder);
    folder.append("Errors/");
    rawfile_makeFolders(folder.c_str());

    crash_walkStack(pointers);

    const std::time_t now = g_clock ? g_clock() : std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);

    const aExceptionRecord record = pointers && pointers->record ? *pointers->record : aExceptionRecord{};
    const aCrashText description = crash_describeException(record);

    if (g_frames.empty()) {
        copyText(g_condition, sizeof g_condition, kUnhandled);
    } else {
        aFixedText<sizeof g_condition> condition("First-chance exception in ");
        condition.append(g_frames.front().file).append(": 0x").hex(record.code, 8).append(".");
        copyText(g_condition, sizeof g_condition, condition.c_str());
    }

    aFixedText<PATH_MAX> report(folder.c_str());
    report.append(timeName(local, " Exception.txt").c_str());
    writeReport(report.c_str(), description.text);

    aFixedText<PATH_MAX> dump(folder.c_str());
    dump.append(timeName(local, " Exception.dmp").c_str());
    dumpfile_write(dump.c_str(), pointers);

    if (aApplication* app = aApplication::get())
        app->deleteInput();

    const int32_t result = crash_showDialog(description.text);
    if (result == A_CRASH_ABORT) {
        crash_restore();
        fault_exitNow(A_FAULT_EXIT_CODE);
    }
    if (result == A_CRASH_DEBUG) {
        crash_restore();
        return A_FILTER_CONTINUE_SEARCH;
    }
    if (result == A_CRASH_CONTINUE && record.flags == 0)
        return A_FILTER_CONTINUE_EXECUTION;
    return A_FILTER_CONTINUE_SEARCH;
}

int32_t crash_walkStack(aExceptionPointers* pointers)
{
    g_frames.clear();
    if (!stackwalk_init())
        return 0;
    if (g_frames.capacity() < A_CRASH_MAX_FRAMES)
        g_frames.reserve(A_CRASH_MAX_FRAMES);
    const uint64_t start = pointers && pointers->context ? pointers->context->ip : 0;
    uint64_t addresses[A_CRASH_MAX_FRAMES];
    const size_t count = start ? stackwalk_capture(start, addresses, A_CRASH_MAX_FRAMES) : 0;
    for (size_t i = 0; i < count; ++i) {
        g_frames.emplace_back();
        g_frames.back().address = addresses[i];
        crash_resolveFrame(addresses[i], g_frames.back());
    }
    return 1;
}

void crash_resolveFrame(uint64_t address, crashFrame& record)
{
    aCodeLocation where;
    stackwalk_locate(address, where);
    copyText(record.module, sizeof record.module, where.module);
    copyText(record.file, sizeof record.file, where.file);
    record.line = where.line;
    copyText(record.function, sizeof record.function, where.function);
}

aCrashText crash_describeException(const aExceptionRecord& record)
{
    aCrashText out;
    const char* text = nullptr;
    switch (record.code) {
    case A_EXCEPTION_ACCESS_VIOLATION: {
        aFixedText<sizeof out.text> access("Access violation ");
        access.append(record.parameters[0] ? "writing" : "reading").append(" location 0x");
        access.hex(record.parameters[1], 16).append(".");
        copyText(out.text, sizeof out.text, access.c_str());
        return out;
    }
    case A_EXCEPTION_DATATYPE_MISALIGNMENT:
        text = "The thread tried to read or write data that is misaligned on hardware that does not provide "
               "alignment. For example, 16-bit values must be aligned on 2-byte boundaries; 32-bit values on "
               "4-byte boundaries, and so on.";
        break;
    case A_EXCEPTION_BREAKPOINT:
        text = "A breakpoint was encountered.";
        break;
    case A_EXCEPTION_SINGLE_STEP:
        text = "A trace trap or other single-instruction mechanism signaled that one instruction has been executed.";
        break;
    case A_EXCEPTION_IN_PAGE_ERROR:
        text = "The thread tried to access a page that was not present, and the system was unable to load the page. "
               "For example, this exception might occur if a network connection is lost while running a program "
               "over the network.";
        break;
    case A_EXCEPTION_ILLEGAL_INSTRUCTION:
        text = "The thread tried to execute an invalid instruction.";
        break;
    case A_EXCEPTION_NONCONTINUABLE_EXCEPTION:
        text = "The thread tried to continue execution after a noncontinuable exception occurred.";
        break;
    case A_EXCEPTION_INVALID_DISPOSITION:
        text = "An exception handler returned an invalid disposition to the exception dispatcher.";
        break;
    case A_EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
        text = "The thread attempts to access an array element that is out of bounds, and the underlying hardware "
               "supports bounds checking.";
        break;
    case A_EXCEPTION_FLT_DENORMAL_OPERAND:
        text = "One of the operands in a floating-point operation is denormal. A denormal value is one that is too "
               "small to represent as a standard floating-point value.";
        break;
    case A_EXCEPTION_FLT_DIVIDE_BY_ZERO:
        text = "The thread tried to divide a floating-point value by a floating-point divisor of zero.";
        break;
    case A_EXCEPTION_FLT_INEXACT_RESULT:
        text = "The result of a floating-point operation cannot be represented exactly as a decimal fraction.";
        break;
    case A_EXCEPTION_FLT_INVALID_OPERATION:
        text = "This exception represents any floating-point exception not included in this list.";
        break;
    case A_EXCEPTION_FLT_OVERFLOW:
        text = "The exponent of a floating-point operation is greater than the magnitude allowed by the "
               "corresponding type.";
        break;
    case A_EXCEPTION_FLT_STACK_CHECK:
        text = "The stack overflowed or underflowed as the result of a floating-point operation.";
        break;
    case A_EXCEPTION_FLT_UNDERFLOW:
        text = "The exponent of a floating-point operation is less than the magnitude allowed by the corresponding "
               "type.";
        break;
    case A_EXCEPTION_INT_DIVIDE_BY_ZERO:
        text = "The thread tried to divide an integer value by an integer divisor of zero.";
        break;
    case A_EXCEPTION_INT_OVERFLOW:
        text = "The result of an integer operation caused a carry out of the most significant bit of the result.";
        break;
    case A_EXCEPTION_PRIV_INSTRUCTION:
        text = "The thread tried to execute an instruction whose operation is not allowed in the current machine "
               "mode.";
        break;
    case A_EXCEPTION_STACK_OVERFLOW:
        text = "The thread used up its stack.";
        break;
    case A_EXCEPTION_CPP:
        text = "Microsoft C++ Exception";
        break;
    default:
        text = "Unknown exception.";
        break;
    }
    copyText(out.text, sizeof out.text, text);
    return out;
}

int32_t crash_showDialog(const char* description)
{
    aApplication* app = aApplication::get();
    const aWindowHandle window = app ? app->getWindow() : nullptr;
    window_minimize(window);
    const uint32_t cursor = cursor_current();
    // The user takes their time: nothing may end the process under the dialog.
    fault_watchdog(0);
    const std::vector<aMessageBoxButton> buttons = {
        {A_CRASH_BUTTON_DEBUG, "Debug"}, {A_CRASH_BUTTON_ABORT, "Abort"}, {A_CRASH_BUTTON_CONTINUE, "Continue"}};
    const std::string text = crash_dialogText(g_condition, description);
    const int32_t pressed =
        messagebox_choose(nullptr, "Unhandled exception", text.c_str(), A_MB_ICONERROR | A_MB_SYSTEMMODAL, buttons,
                          A_CRASH_BUTTON_DEBUG, A_CRASH_BUTTON_ABORT);
    int32_t result = pressed < 0 ? -1 : crash_dialogProc(static_cast<uint32_t>(pressed));
    if (result < 0)
        result = A_CRASH_ABORT;
    cursor_set(cursor);
    window_restore(window);
    return result;
}

int32_t crash_dialogProc(uint32_t command)
{
    switch (command) {
    case A_CRASH_BUTTON_CONTINUE:
        return A_CRASH_CONTINUE;
    case A_CRASH_BUTTON_DEBUG:
        return A_CRASH_DEBUG;
    case A_CRASH_BUTTON_ABORT:
        return A_CRASH_ABORT;
    default:
        return -1;
    }
}

std::string crash_dialogText(const char* condition, const char* description)
{
    std::string text = "Condition:\n";
    text += condition ? condition : "";
    text += "\n\nDescription:\n";
    text += description ? description : "";
    text += "\n\nCall stack:\nFile | Method | Line | Module\n";
    for (const crashFrame& f : g_frames) {
        text += file_getName(f.file);
        text += " | ";
        text += f.function;
        text += " | ";
        text += std::to_string(f.line);
        text += " | ";
        text += f.module;
        text += "\n";
    }
    return text;
}

const std::vector<crashFrame>& crash_frames()
{
    return g_frames;
}

const char* crash_condition()
{
    return g_condition;
}

void crash_setClock(aCrashClock clock)
{
    g_clock = clock;
}
