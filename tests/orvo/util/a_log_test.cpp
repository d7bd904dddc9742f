#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "orvo/util/a_assert.h"
#include "orvo/util/a_log.h"
#include "support/log_capture.h"

using Lines = std::vector<std::string>;

TEST(Log, ExactLineFormsOnlyWhileOpen)
{
    static double fakeSeconds = 0.0;
    a_logClose();
    a_log("nobody hears %d", 1);
    a_logText("this");
    kbtest::LogCapture log;
    a_logSetClock([] { return fakeSeconds; });
    // Hours go past 99; milliseconds are cut, never rounded up to 1000.
    for (double seconds : {3600.0 + 2 * 60 + 3.0456, 100 * 3600.0 + 59 * 60 + 59.9999, 0.0}) {
        fakeSeconds = seconds;
        a_log("%d", 7);
    }
    a_log("one\ntwo"); // stamped once
    a_log(nullptr);
    a_logText("file 100%s done %d"); // the text is no format
    a_logSetClock(nullptr);
    EXPECT_EQ(log.raw(), "01:02:03.045\t7\n100:59:59.999\t7\n00:00:00.000\t7\n00:00:00.000\tone\ntwo\n"
                         "00:00:00.000\ta_log. NULL log string\n00:00:00.000\tfile 100%s done %d\n");
}

TEST(Log, LongMessagesAndLocationsAreCutAtCharacterBoundaries)
{
    kbtest::LogCapture log;
    // 1998 ASCII bytes, then a two-byte character that no longer fits whole.
    a_logText((std::string(1998, 'x') + "\xC3\xA9" + std::string(50, 'y')).c_str());
    // Three- and four-byte characters cut in half go too; one that ends exactly at the limit stays.
    a_logText((std::string(1997, 'x') + "\xE2\x82\xAC" + "y").c_str());
    a_logText((std::string(1996, 'x') + "\xF0\x9F\x98\x80" + "y").c_str());
    a_logText((std::string(1997, 'x') + "\xC3\xA9" + "y").c_str());
    EXPECT_EQ(log.messages(), (Lines{std::string(1998, 'x'), std::string(1997, 'x'), std::string(1996, 'x'),
                                     std::string(1997, 'x') + "\xC3\xA9"}));
    // Source locations take the text after the last backslash, cut to fit.
    EXPECT_STREQ(a_logLocation("C:\\src\\orvo\\util/a_log.cpp", 12), "(util/a_log.cpp, line 12)");
    EXPECT_EQ(std::string(a_logLocation(std::string(400, 'p').c_str(), 1)).size(), 299u);
}

TEST(Log, UrgentTextIsWrittenOnlyWhileTheLogIsOpen)
{
    {
        kbtest::LogCapture log;
        EXPECT_TRUE(a_logTextUrgent("the crash report follows"));
        a_logText(nullptr);
        EXPECT_EQ(log.messages(), (Lines{"the crash report follows", "a_log. NULL log string"}));
    }
    EXPECT_FALSE(a_logTextUrgent("nobody hears this"));
}

TEST(Log, TwoThreadsKeepMessagesWhole)
{
    kbtest::LogCapture log;
    auto writer = [](char c) {
        for (int i = 0; i < 200; ++i)
            a_logText(std::string(300, c).c_str());
    };
    std::thread a(writer, 'a'), b(writer, 'b');
    a.join();
    b.join();
    const auto lines = log.messages();
    EXPECT_EQ(lines.size(), 400u);
    for (const auto& l : lines)
        ASSERT_TRUE(l == std::string(300, 'a') || l == std::string(300, 'b')) << l;
}

namespace ns {
struct Thing {
    bool check(int t) { return A_ASSERT(t > 0); }
    void mustHold(int t) { A_VERIFY(t > 0); }
};
} // namespace ns

TEST(Assert, FailedChecksLogAndFatalOnesThrowTheExactTextWithTheEnginesFunctionNames)
{
    kbtest::LogCapture log;
    ns::Thing thing;
    EXPECT_TRUE(thing.check(1) && !thing.check(0));
    try {
        thing.mustHold(0);
        ADD_FAILURE() << "no exception";
    } catch (const aException& e) {
        EXPECT_EQ(std::string(e.getText())
                      .rfind("Application generated exception!\nt > 0\n\nCatch stack:\n"
                             "ns::Thing::mustHold (util/a_log_test.cpp, line ",
                             0),
                  0u);
    }
    EXPECT_EQ(log.messages().at(0).rfind("ns::Thing::check: t > 0 (util/a_log_test.cpp, line ", 0), 0u);
    EXPECT_EQ(std::string(aException("%s", std::string(5000, 'z').c_str()).getText()).size(), 4095u);
}
