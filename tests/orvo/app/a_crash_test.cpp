// The crash report's pieces in this process: descriptions, the report and the
// dump the filter writes, the dialog's answers and what each answer returns.
// No real fault happens here (see a_crashchild_test.cpp).
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

__attribute__((noinline, noipa)) void reportedFunction()
{
    asm volatile("");
}

aExceptionRecord recordOf(uint32_t code, uint32_t flags = 0, uint64_t write = 0, uint64_t address = 0)
{
    aExceptionRecord r;
    r.code = code;
    r.flags = flags;
    r.parameterCount = 2;
    r.parameters[0] = write;
    r.parameters[1] = address;
    return r;
}

// 2009-03-14 15:09:26 local time, whatever the zone.
std::time_t fixedTime()
{
    std::tm t{};
    strptime("2009-03-14 15:09:26", "%Y-%m-%d %H:%M:%S", &t);
    t.tm_isdst = -1;
    return std::mktime(&t);
}

// The game filter installed over a stand-in engine filter, writing into a
// temporary folder; the dialog answered by the test.
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
    std::vector<std::string> report() const { return kbtest::splitLines(kbtest::readFile(errors() + kStamp + ".txt")); }
    kbtest::Dump dump() const { return kbtest::parseDump(kbtest::readFile(errors() + kStamp + ".dmp")); }
    std::string errors() const { return m_dir.path() + "/Errors/"; }

    static constexpr const char* kStamp = "2009-03-14 15-09-26 Exception";
    int32_t answer = A_CRASH_BUTTON_DEBUG;
    std::vector<aMessageBoxRecord> boxes;
    kbtest::TempDir m_dir{"crashfilter"};
    aFaultFilter m_outer = nullptr;
};

} // namespace

TEST(CrashDialog, DescriptionsGiveTheWholeAddressAndAnUnknownAnswerAborts)
{
    // Access violations give the whole 64-bit address (real faults are in a_crashchild_test.cpp).
    EXPECT_STREQ(crash_describeException(recordOf(0xC0000005, 0, 1, 0x7FFD12345678ABCDull)).text,
                 "Access violation writing location 0x7FFD12345678ABCD.");

    // An answer that is no button aborts (the dialog's text is checked with real crashes).
    messagebox_setSink([](aMessageBoxRecord& box) { box.choice = 12345; });
    EXPECT_EQ(crash_showDialog("desc"), A_CRASH_ABORT);
    messagebox_setSink({});
}

TEST_F(CrashFilter, WritesTheReportAndTheDumpUnderErrorsAndALaterCrashInTheSameSecondWins)
{
    const uint64_t ip = reinterpret_cast<uint64_t>(&reportedFunction);
    EXPECT_EQ(crashAt(ip, recordOf(A_EXCEPTION_ACCESS_VIOLATION, A_EXCEPTION_NONCONTINUABLE, 1, 0x10)),
              A_FILTER_CONTINUE_SEARCH);
    // The report's lines are checked on real crashes (a_crashchild_test.cpp); here its name and frame.
    const crashFrame& f = crash_frames().at(0);
    EXPECT_EQ(f.address, ip);
    EXPECT_EQ(report().at(8), std::string(f.file) + "(" + std::to_string(f.line) + "): reportedFunction();");
    EXPECT_EQ(dump().read<uint64_t>("EXCP", 32), 0x10u); // the dump's own contents are checked with the dump writer
    ASSERT_EQ(boxes.size(), 1u);

    // No frames give an unhandled exception; the names are the same and the later crash wins.
    EXPECT_EQ(crashAt(0, recordOf(A_EXCEPTION_CPP, A_EXCEPTION_NONCONTINUABLE)), A_FILTER_CONTINUE_SEARCH);
    const auto files = std::filesystem::directory_iterator(errors());
    EXPECT_EQ(std::distance(begin(files), end(files)), 2);
    EXPECT_EQ(report().at(4), "Unhandled Exception");
    EXPECT_EQ(dump().read<uint32_t>("EXCP", 0), A_EXCEPTION_CPP);
}

TEST_F(CrashFilter, DebugHandsOverContinueGoesOnWhereTheFaultAllowsAndInstallHappensOnce)
{
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
    EXPECT_EQ(boxes.size(), 4u);
    EXPECT_FALSE(std::filesystem::exists(m_dir.file("blocker/Errors")));
}
