// The crash filter in this process, no real fault (see a_crashchild_test.cpp): files, answers, returns.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "orvo/app/a_crash.h"
#include "orvo/platform/a_messagebox.h"
#include "support/dump_reader.h"
#include "support/temp_dir.h"
#include "support/text_lines.h"

namespace {

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
