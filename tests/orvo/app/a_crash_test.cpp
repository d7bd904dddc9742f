// The crash filter in this process, no real fault (see a_crashchild_test.cpp): files, frames, texts, answers,
// returns.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "orvo/app/a_crash.h"
#include "orvo/platform/a_messagebox.h"
#include "support/dump_reader.h"
#include "support/temp_dir.h"
#include "support/text_lines.h"

namespace {

__attribute__((noinline, noipa)) void reportedFunction()
{
    asm volatile("");
}

aExceptionRecord recordOf(uint32_t code, uint32_t flags = 0, uint64_t write = 0, uint64_t address = 0)
{
    return {.code = code, .flags = flags, .parameterCount = 2, .parameters = {write, address}};
}

// 2009-03-14 15:09:26 local time, whatever the zone.
std::time_t fixedTime()
{
    std::tm t{};
    strptime("2009-03-14 15:09:26", "%Y-%m-%d %H:%M:%S", &t);
    t.tm_isdst = -1;
    return std::mktime(&t);
}

// The game filter over a stand-in engine filter, writing into a temporary folder.
class CrashFilter : public testing::Test {
protected:
    static int32_t engineStandIn(aExceptionPointers*) { return A_FILTER_EXECUTE_HANDLER; }
    void SetUp() override
    {
        m_outer = fault_setFilter(&engineStandIn);
        crash_prepare("Kesterby", m_dir.path() + "/");
        crash_setClock(&fixedTime);
        crash_install();
        messagebox_setSink([this](aMessageBoxRecord& box) {
            boxes.push_back(box);
            box.choice = answer;
        });
    }
    void TearDown() override
    {
        messagebox_setSink({});
        crash_restore();
        crash_setClock(nullptr);
        fault_setFilter(m_outer);
    }
    int32_t crashAt(uint64_t ip, aExceptionRecord record)
    {
        aFaultContext context;
        context.ip = ip;
        context.sp = reinterpret_cast<uint64_t>(__builtin_frame_address(0));
        aExceptionPointers pointers{&record, &context};
        return crash_exceptionFilter(&pointers);
    }
    std::string errors() const { return m_dir.path() + "/Errors/"; }
    static constexpr const char* kStamp = "2009-03-14 15-09-26 Exception";
    int32_t answer = A_CRASH_BUTTON_DEBUG;
    std::vector<aMessageBoxRecord> boxes;
    kbtest::TempDir m_dir{"crashfilter"};
    aFaultFilter m_outer = nullptr;
};

} // namespace

TEST_F(CrashFilter, ALaterCrashInTheSameSecondWinsDebugHandsOverAndContinueGoesOnWhereTheFaultAllows)
{
    // Without frames: an unhandled exception. The names are the same and the later crash wins.
    for (uint32_t code : {A_EXCEPTION_ACCESS_VIOLATION, A_EXCEPTION_CPP})
        EXPECT_EQ(crashAt(0, recordOf(code, A_EXCEPTION_NONCONTINUABLE)), A_FILTER_CONTINUE_SEARCH);
    const auto files = std::filesystem::directory_iterator(errors());
    EXPECT_EQ(std::distance(begin(files), end(files)), 2);
    EXPECT_EQ(kbtest::splitLines(kbtest::readFile(errors() + kStamp + ".txt")).at(4), "Unhandled Exception");
    EXPECT_EQ(kbtest::parseDump(kbtest::readFile(errors() + kStamp + ".dmp")).read<uint32_t>("EXCP", 0),
              A_EXCEPTION_CPP);
    crash_install(); // Debug put the stand-in back
    answer = A_CRASH_BUTTON_CONTINUE;
    EXPECT_EQ(crashAt(0, recordOf(A_EXCEPTION_BREAKPOINT)), A_FILTER_CONTINUE_EXECUTION);
    EXPECT_EQ(fault_filter(), &crash_exceptionFilter);
    // Not continuable: the system's handling, and the game filter stays.
    EXPECT_EQ(crashAt(0, recordOf(A_EXCEPTION_ACCESS_VIOLATION, A_EXCEPTION_NONCONTINUABLE)), A_FILTER_CONTINUE_SEARCH);
    EXPECT_EQ(fault_filter(), &crash_exceptionFilter);
    crash_install(); // already installed: keeps the stand-in as the one to restore
    // Debug restores the previous filter and hands over.
    answer = A_CRASH_BUTTON_DEBUG;
    EXPECT_EQ(crashAt(0, recordOf(A_EXCEPTION_BREAKPOINT)), A_FILTER_CONTINUE_SEARCH);
    EXPECT_EQ(fault_filter(), &engineStandIn);
    // A folder that cannot be written still shows the dialog.
    kbtest::writeFile(m_dir.file("blocker"), "a file where the folder should be");
    crash_prepare("Kesterby", m_dir.file("blocker") + "/");
    crash_install();
    answer = A_CRASH_BUTTON_CONTINUE;
    EXPECT_EQ(crashAt(0, recordOf(A_EXCEPTION_BREAKPOINT)), A_FILTER_CONTINUE_EXECUTION);
    EXPECT_EQ(boxes.size(), 6u);
    EXPECT_FALSE(std::filesystem::exists(m_dir.file("blocker/Errors")));
    // An answer that is no button aborts.
    answer = 12345;
    EXPECT_EQ(crash_showDialog("desc"), A_CRASH_ABORT);
    // Access violations give the whole 64-bit address.
    EXPECT_STREQ(crash_describeException(recordOf(0xC0000005, 0, 1, 0x7FFD12345678ABCDull)).text,
                 "Access violation writing location 0x7FFD12345678ABCD.");
}

TEST_F(CrashFilter, TheReportAndTheDialogNameTheFaultingFrameAndEachCodeHasItsText)
{
    // A fault at a known function: the first frame names it in the report and in the dialog.
    const uint64_t ip = reinterpret_cast<uint64_t>(&reportedFunction);
    EXPECT_EQ(crashAt(ip, recordOf(A_EXCEPTION_ACCESS_VIOLATION, A_EXCEPTION_NONCONTINUABLE, 1, 0x10)),
              A_FILTER_CONTINUE_SEARCH);
    ASSERT_EQ(crash_frames().size(), 1u);
    const crashFrame& f = crash_frames()[0];
    EXPECT_NE(std::string(f.file).find("a_crash_test.cpp"), std::string::npos) << f.file;
    EXPECT_GT(f.line, 0);
    EXPECT_EQ(f.address, ip);
    const std::string condition = std::string("First-chance exception in ") + f.file + ": 0xC0000005.";
    const std::string description = "Access violation writing location 0x0000000000000010.";
    const std::string dashes(71, '-');
    EXPECT_EQ(kbtest::splitLines(kbtest::readFile(errors() + kStamp + ".txt")),
              (std::vector<std::string>{
                  dashes, "Kesterby", dashes, "", condition, "Description: " + description, "",
                  "Call stack:", std::string(f.file) + "(" + std::to_string(f.line) + "): reportedFunction();"}));
    EXPECT_EQ(crash_condition(), condition);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Unhandled exception");
    EXPECT_EQ(boxes[0].text,
              "Condition:\n" + condition + "\n\nDescription:\n" + description +
                  "\n\nCall stack:\nFile | Method | Line | Module\na_crash_test.cpp | reportedFunction | " +
                  std::to_string(f.line) + " | " + f.module + "\n");

    const std::pair<uint32_t, const char*> texts[] = {
        {A_EXCEPTION_INT_DIVIDE_BY_ZERO, "The thread tried to divide an integer value by an integer divisor of zero."},
        {A_EXCEPTION_STACK_OVERFLOW, "The thread used up its stack."},
        {A_EXCEPTION_CPP, "Microsoft C++ Exception"},
        {A_EXCEPTION_FATAL_EXIT, "Unknown exception."},
        {0, "Unknown exception."}};
    for (const auto& [code, text] : texts)
        EXPECT_STREQ(crash_describeException(recordOf(code)).text, text) << std::hex << code;

    // The dialog's buttons and what they answer; anything else is no answer, and no answer aborts.
    const std::pair<uint32_t, int32_t> answers[] = {{A_CRASH_BUTTON_CONTINUE, A_CRASH_CONTINUE},
                                                    {A_CRASH_BUTTON_DEBUG, A_CRASH_DEBUG},
                                                    {A_CRASH_BUTTON_ABORT, A_CRASH_ABORT},
                                                    {2, -1}};
    for (const auto& [button, result] : answers)
        EXPECT_EQ(crash_dialogProc(button), result) << button;
    answer = A_CRASH_BUTTON_ABORT;
    EXPECT_EQ(crash_showDialog("desc"), A_CRASH_ABORT);
    messagebox_setSink([](aMessageBoxRecord&) {});
    EXPECT_EQ(crash_showDialog("desc"), A_CRASH_ABORT);
}
