// Real crashes, each in a child process: the filters report them and end the process as the user chose.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "orvo/app/a_application.h"
#include "orvo/app/a_crash.h"
#include "orvo/platform/a_messagebox.h"
#include "support/child_process.h"
#include "support/dump_reader.h"
#include "support/temp_dir.h"
#include "support/text_lines.h"

namespace {

volatile bool g_keepGoing = true;

// The faults, each in a function of its own so that the report can name it.
// They fault on purpose: a sanitized build's checks must not stop them first.
__attribute__((noinline, noipa, no_sanitize("undefined"))) int crashNull()
{
    int* volatile p = nullptr;
    return *p;
}

__attribute__((noinline, noipa, no_sanitize("undefined"))) int divideByZero()
{
    volatile int a = 1;
    volatile int b = 0;
    return a / b;
}

__attribute__((noinline, noipa)) void throwUncaught()
{
    throw std::runtime_error("nobody catches this");
}

__attribute__((noinline, noipa)) int overflowStack(int depth)
{
    volatile char frame[512];
    frame[0] = static_cast<char>(depth);
    if (g_keepGoing)
        return overflowStack(depth + 1) + frame[0];
    return frame[0];
}

__attribute__((noinline, noipa)) int crashThroughNull()
{
    return crashNull() + 1;
}

#if defined(__x86_64__)
// Loses the stack pointer, then reads an unmapped address: the walk cannot
// go past the faulting frame and must survive trying.
__attribute__((noinline, noipa)) void crashWithLostStack()
{
    asm volatile("movq $8, %%rsp\n\t"
                 "movq $0x12345678, %%rax\n\t"
                 "movl (%%rax), %%eax\n\t" ::
                     : "rax", "memory");
}

__attribute__((noinline, noipa)) void breakHere()
{
    asm volatile("int3");
}
#endif

uint32_t overflowOnLoadingThread(void*)
{
    return static_cast<uint32_t>(overflowStack(0));
}

class CrashChild : public testing::Test {
protected:
    // A child that starts the engine as "Kesterby" in the temporary home, installs the game filter unless
    // told not to, answers every box with `answer` (unless kNoAnswer) and runs `fault`.
    static constexpr int32_t kNoAnswer = -2;
    kbtest::ChildResult run(const std::function<void()>& fault, int32_t answer = kNoAnswer, bool gameFilter = true)
    {
        return kbtest::runChild([&] {
            setenv("HOME", m_home.path().c_str(), 1);
            setenv("XDG_DATA_HOME", dataHome().c_str(), 1);
            aApplication* app = new aApplication(); // leaked on purpose: the process ends inside a filter
            app->setLockFolder(m_home.path());
            if (app->init("Kesterby", nullptr, "", "") != 0)
                _exit(90);
            if (gameFilter)
                crash_install();
            if (answer != kNoAnswer)
                answerBoxes(answer);
            fault();
        });
    }
    // Answers every box with `choice` and notes each one in a file.
    void answerBoxes(int32_t choice)
    {
        messagebox_setSink([notes = boxNotes(), choice](aMessageBoxRecord& box) {
            std::ofstream(notes, std::ios::app) << "caption=" << box.caption << "\n" << box.text << "\n<end>\n";
            box.choice = choice;
        });
    }
    std::string dataHome() const { return m_home.path() + "/data"; }
    std::string userFolder() const { return dataHome() + "/Kesterby/"; }
    std::string errorsFolder() const { return userFolder() + "Errors/"; }
    std::string boxNotes() const { return m_home.file("boxes.txt"); }
    // The one file in the errors folder whose name ends with `tail`.
    std::string errorFile(const std::string& tail) const
    {
        std::vector<std::string> found;
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(errorsFolder(), ec))
            if (entry.path().filename().string().ends_with(tail))
                found.push_back(entry.path().string());
        return found.size() == 1 ? found.front() : std::string();
    }
    long boxCount() const { return std::ranges::count(kbtest::splitLines(kbtest::readFile(boxNotes())), "<end>"); }
    // Checks the report's condition and description lines and returns its lines.
    std::vector<std::string> expectReportHead(const char* code, const std::string& description)
    {
        const auto report = kbtest::splitLines(kbtest::readFile(errorFile(" Exception.txt")));
        EXPECT_GE(report.size(), 9u);
        if (report.size() >= 9) {
            EXPECT_NE(report[4].find(std::string(": ") + code + "."), std::string::npos) << report[4];
            EXPECT_EQ(report[5], "Description: " + description);
        }
        return report;
    }
    kbtest::TempDir m_home{"crash"};
};

// A fault, its report's code and description, and its first frame's function (none for an abort).
struct Fault {
    const char* name;
    void (*body)();
    const char* code;
    const char* description;
    const char* frame;
};

class CrashChildFaults : public CrashChild, public testing::WithParamInterface<Fault> {};

TEST_P(CrashChildFaults, AreReportedWithTheirCodesAndTheFaultingFunction)
{
    const auto r = run(GetParam().body);
    ASSERT_TRUE(r.exited && r.code == 3) << r.describe();
    const auto report = expectReportHead(GetParam().code, GetParam().description);
    if (*GetParam().frame) {
        ASSERT_GE(report.size(), 9u);
        EXPECT_NE(report[8].find(std::string(GetParam().frame) + "();"), std::string::npos) << report[8];
    }
    EXPECT_TRUE(kbtest::parseDump(kbtest::readFile(errorFile(" Exception.dmp"))).complete);
    // The walk of an overflowed stack stops at the frame limit instead of following every call.
    if (std::string(GetParam().name) == "StackOverflow") {
        EXPECT_EQ(report.size(), 8u + A_CRASH_MAX_FRAMES);
    }
}

const Fault kFaults[] = {
    {"DivisionByZero", [] { divideByZero(); }, "0xC0000094",
     "The thread tried to divide an integer value by an integer divisor of zero.", "divideByZero"},
    // A thread of its own: nothing up its stack catches.
    {"UncaughtException", [] { std::thread(throwUncaught).join(); }, "0xE06D7363", "Microsoft C++ Exception",
     "throwUncaught"},
    {"StackOverflow", [] { overflowStack(0); }, "0xC00000FD", "The thread used up its stack.", "overflowStack"},
    {"StackOverflowOnTheLoadingThread",
     [] {
         aApplication::get()->startLoadingThread(overflowOnLoadingThread, nullptr);
         for (;;)
             pause();
     },
     "0xC00000FD", "The thread used up its stack.", "overflowStack"},
    {"Abort", [] { std::abort(); }, "0x40000015", "Unknown exception.", ""},
#if defined(__x86_64__)
    {"LostStackPointer", [] { crashWithLostStack(); }, "0xC0000005",
     "Access violation reading location 0x0000000012345678.", "crashWithLostStack"},
#endif
};

INSTANTIATE_TEST_SUITE_P(Faults, CrashChildFaults, testing::ValuesIn(kFaults),
                         [](const testing::TestParamInfo<Fault>& info) { return std::string(info.param.name); });

TEST_F(CrashChild, ANullReadIsReportedAndEndsHeadlessOrAsTheDialogSaysWithoutLooping)
{
    // Headless nobody answers: abort. Continue or Debug on a fault that would only repeat hands over.
    for (int32_t answer : {kNoAnswer, int32_t(A_CRASH_BUTTON_CONTINUE), int32_t(A_CRASH_BUTTON_DEBUG)}) {
        // Reports are named by the second: two crashes may or may not share a name.
        std::filesystem::remove(boxNotes());
        std::filesystem::remove_all(errorsFolder());
        const auto r = run([] { crashThroughNull(); }, answer);
        if (answer == kNoAnswer) {
            EXPECT_TRUE(r.exited && r.code == 3) << r.describe();
            continue;
        }
        EXPECT_TRUE(!r.exited && r.signal == SIGSEGV) << r.describe();
        EXPECT_EQ(boxCount(), 1) << answer;
    }
    // The box names the fault and its function.
    const std::string notes = kbtest::readFile(boxNotes());
    EXPECT_TRUE(std::regex_search(notes, std::regex("\nAccess violation reading location 0x0{16}\\.\n[\\s\\S]*"
                                                    "a_crashchild_test\\.cpp \\| crashNull \\| \\d+ \\|")))
        << notes;
    const auto report = expectReportHead("0xC0000005", "Access violation reading location 0x0000000000000000.");
    ASSERT_GE(report.size(), 10u);
    // The walk goes past the faulting frame, naming the source line of each.
    EXPECT_TRUE(std::regex_match(report[9], std::regex(R"(.*a_crashchild_test\.cpp\(\d+\): .*crashThroughNull\(\);)")))
        << report[9];
    const kbtest::Dump dump = kbtest::parseDump(kbtest::readFile(errorFile(" Exception.dmp")));
    ASSERT_TRUE(dump.valid && dump.complete);
    EXPECT_EQ(dump.read<uint32_t>("EXCP", 0), A_EXCEPTION_ACCESS_VIOLATION);
    EXPECT_EQ(dump.read<uint64_t>("STAK", 8), dump.read<uint64_t>("CTXT", 8)); // first frame = fault ip
    EXPECT_GT(dump.sections.at("MEMS").size(), 1024u);                         // the stack memory was copied
}

#if defined(__x86_64__)
TEST_F(CrashChild, ContinueAfterABreakpointGoesOnWithTheGameFilterInPlace)
{
    const auto r = run(
        [] {
            breakHere();
            _exit(fault_filter() == &crash_exceptionFilter ? 0 : 7);
        },
        A_CRASH_BUTTON_CONTINUE);
    ASSERT_TRUE(r.exited && r.code == 0) << r.describe();
    EXPECT_EQ(boxCount(), 1);
    const auto report = expectReportHead("0x80000003", "A breakpoint was encountered.");
    ASSERT_GE(report.size(), 9u);
    EXPECT_NE(report[8].find("breakHere();"), std::string::npos) << report[8];
}
#endif

TEST_F(CrashChild, TheEngineFilterWritesCrashDmpLogsAndShowsTheBoxAlsoAfterRestore)
{
    for (bool restore : {false, true}) {
        std::filesystem::remove_all(userFolder());
        std::filesystem::remove(boxNotes());
        const auto r = run(
            [restore] {
                if (restore)
                    crash_restore();
                crashNull();
            },
            -1, restore);
        ASSERT_TRUE(r.exited && r.code == 3) << r.describe();
        EXPECT_TRUE(kbtest::parseDump(kbtest::readFile(userFolder() + "crash.dmp")).complete);
        EXPECT_FALSE(std::filesystem::exists(errorsFolder()));
        const std::string log = kbtest::readFile(userFolder() + "orvo.log");
        EXPECT_NE(log.find("\t\n\nCritical Error. File \"crash.dmp\" has been saved to\n" + userFolder() + "\n\n"),
                  std::string::npos)
            << log;
        const std::string notes = kbtest::readFile(boxNotes());
        EXPECT_EQ(boxCount(), 1) << notes;
        EXPECT_NE(notes.find("caption=Error!\n" + aApplication::errorText(A_ERROR_CRASH_DUMP, userFolder())),
                  std::string::npos)
            << notes;
    }
}

} // namespace
