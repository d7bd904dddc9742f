#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "orvo/util/a_assert.h"
#include "orvo/util/a_log.h"
#include "support/log_capture.h"

namespace {

double g_fakeSeconds = 0.0;
double fakeClock() { return g_fakeSeconds; }

struct FakeClock {
    explicit FakeClock(double seconds)
    {
        g_fakeSeconds = seconds;
        a_logSetClock(&fakeClock);
    }
    ~FakeClock() { a_logSetClock(nullptr); }
};

} // namespace

TEST(Log, WritesNothingWhileClosed)
{
    a_logClose();
    a_log("nobody hears %d", 1);
    a_logText("this");
    kbtest::LogCapture log;
    a_log("first");
    EXPECT_EQ(log.messages(), std::vector<std::string>({"first"}));
}

TEST(Log, TimeStampFields)
{
    kbtest::LogCapture log;
    {
        FakeClock clock(3600.0 + 2 * 60 + 3.0456);
        a_log("a");
    }
    {
        FakeClock clock(100 * 3600.0 + 59 * 60 + 59.9999);
        a_log("b");
    }
    {
        FakeClock clock(0.0);
        a_log("c");
    }
    EXPECT_EQ(log.raw(), "01:02:03.045\ta\n100:59:59.999\tb\n00:00:00.000\tc\n");
}

TEST(Log, NullFormatAndPercentInText)
{
    kbtest::LogCapture log;
    a_log(nullptr);
    a_logText("file 100%s done %d");
    EXPECT_EQ(log.messages(), std::vector<std::string>({"a_log. NULL log string", "file 100%s done %d"}));
}

TEST(Log, LongMessageIsCutAtCharacterBoundary)
{
    kbtest::LogCapture log;
    // 1998 ASCII bytes, then a two-byte character that no longer fits whole.
    const std::string text = std::string(1998, 'x') + "\xC3\xA9" + std::string(50, 'y');
    a_logText(text.c_str());
    const auto lines = log.messages();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], std::string(1998, 'x'));
}

TEST(Log, MultiLineMessageStampedOnce)
{
    kbtest::LogCapture log;
    a_log("one\ntwo");
    const std::string raw = log.raw();
    EXPECT_NE(raw.find("\tone\ntwo\n"), std::string::npos);
}

TEST(Log, TwoThreadsKeepMessagesWhole)
{
    kbtest::LogCapture log;
    auto writer = [](char c) {
        const std::string text(300, c);
        for (int i = 0; i < 200; ++i)
            a_logText(text.c_str());
    };
    std::thread a(writer, 'a');
    std::thread b(writer, 'b');
    a.join();
    b.join();
    const auto lines = log.messages();
    ASSERT_EQ(lines.size(), 400u);
    for (const auto& l : lines)
        EXPECT_TRUE(l == std::string(300, 'a') || l == std::string(300, 'b'));
}

TEST(Log, LocationTakesTextAfterLastBackslash)
{
    EXPECT_STREQ(a_logLocation("C:\\src\\orvo\\util/a_log.cpp", 12), "(util/a_log.cpp, line 12)");
    EXPECT_STREQ(a_logLocation("plain.cpp", 7), "(plain.cpp, line 7)");
    const std::string longPath(400, 'p');
    EXPECT_EQ(std::string(a_logLocation(longPath.c_str(), 1)).size(), 299u);
}

namespace ns {
struct Thing {
    bool check(int t)
    {
        return A_ASSERT(t > 0);
    }
    void mustHold(int t) { A_VERIFY(t>0); }
};
} // namespace ns

TEST(Assert, FailedCheckLogsFunctionConditionAndLocation)
{
    kbtest::LogCapture log;
    ns::Thing thing;
    EXPECT_TRUE(thing.check(1));
    EXPECT_FALSE(thing.check(0));
    const auto lines = log.messages();
    ASSERT_EQ(lines.size(), 1u);
    const std::string expectedStart = "ns::Thing::check: t > 0 (util/a_log_test.cpp, line ";
    EXPECT_EQ(lines[0].substr(0, expectedStart.size()), expectedStart);
}

TEST(Assert, FatalCheckThrowsTheSpecifiedText)
{
    kbtest::LogCapture log;
    ns::Thing thing;
    try {
        thing.mustHold(0);
        FAIL() << "no exception";
    } catch (const aException& e) {
        const std::string text = e.getText();
        const std::string start =
            "Application generated exception!\nt>0\n\nCatch stack:\nns::Thing::mustHold (util/a_log_test.cpp, line ";
        EXPECT_EQ(text.substr(0, start.size()), start);
    }
    EXPECT_EQ(log.messages().size(), 1u);
}

TEST(Assert, ExceptionTextIsCutAt4095)
{
    const std::string big(5000, 'z');
    aException e("%s", big.c_str());
    EXPECT_EQ(std::string(e.getText()).size(), 4095u);
}

TEST(Assert, FunctionNamesAsTheEngineSpellsThem)
{
    EXPECT_EQ(a_functionName("static T* aSingleton<T>::getSingleton() [with T = GUI::Server]"),
              "aSingleton<class GUI::Server>::getSingleton");
    EXPECT_EQ(a_functionName("aSingleton<T>::~aSingleton() [with T = cGame]"), "aSingleton<class cGame>::~aSingleton");
    EXPECT_EQ(a_functionName("bool aOptionsFile::getInt(const char*, int*)"), "aOptionsFile::getInt");
    EXPECT_EQ(a_functionName("void free_function()"), "free_function");
}
