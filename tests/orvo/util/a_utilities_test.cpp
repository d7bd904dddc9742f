#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "orvo/util/a_crc32.h"
#include "orvo/util/a_criticalsection.h"
#include "orvo/util/a_fixedtext.h"
#include "orvo/util/a_format.h"
#include "orvo/util/a_geometry.h"
#include "orvo/util/a_random.h"
#include "orvo/util/a_singleton.h"
#include "support/log_capture.h"

namespace GUI {
class Server : public aSingleton<Server> {};
} // namespace GUI

TEST(Crc32, EmptyIsZeroOthersStandard)
{
    EXPECT_EQ(crc32_string(""), 0u);
    EXPECT_EQ(crc32_string(static_cast<const char*>(nullptr)), 0u);
    EXPECT_EQ(crc32_string("123456789"), 0xCBF43926u);
    EXPECT_EQ(crc32_string("The quick brown fox jumps over the lazy dog"), 0x414FA339u);
    EXPECT_EQ(crc32_bytes("123456789", 9), 0xCBF43926u);
}

TEST(Geometry, ParsingKeepsMissingFieldsAndExtendToAndUniteGrow)
{
    aRect r(1, 2, 3, 4);
    string_toRect(r, "10 -20");
    EXPECT_EQ(r, aRect(10, -20, 3, 4));
    string_toRect(r, "5 6 700 800");
    string_toRect(r, "junk");
    EXPECT_EQ(r, aRect(5, 6, 700, 800));
    EXPECT_EQ(string_toPoint("-2147483648 2147483647"), (aPoint{-2147483647 - 1, 2147483647}));
    EXPECT_EQ(string_toPoint(nullptr), (aPoint{0, 0}));

    r = aRect(10, 10, 20, 20);
    r.extendTo(40, 50);
    r.extendTo(-5, -5);
    EXPECT_EQ(r, aRect(-5, -5, 45, 55));
    EXPECT_EQ(aRect(10, 10, 5, 5).unite(aRect(-3, 2, 4, 4)), aRect(-3, 2, 18, 13));
}

TEST(Format, BufferFormatIsBoundedAndDataFormatsFillOnlyMatchingConversions)
{
    char buffer[A_FORMAT_BUFFER];
    EXPECT_EQ(buffer_format(buffer, "%s", std::string(400, 'q').c_str()), 400);
    EXPECT_EQ(std::strlen(buffer), 255u);

    // Flags, width and precision as printf reads them.
    EXPECT_EQ(string_formatData(std::string("%05.1f%%"), {3.14159}), "003.1%");
    EXPECT_EQ(string_formatData(std::wstring(L"Level %s: %i/%i"), {std::wstring(L"One"), 3, 5}), L"Level One: 3/5");
    EXPECT_EQ(string_formatData(std::string("[%-4s|%.2s]"), {"ab", "xyz"}), "[ab  |xy]");
    // A character, a right-aligned wide text in a narrow format (what narrow text cannot hold becomes '?'),
    // and a whole number where a float is asked.
    EXPECT_EQ(string_formatData(std::string("%c|%5ls|%.1f"), {65, std::wstring(L"\u00e9t\u00e9"), 2}), "A|  ?t?|2.0");
    // A string never feeds %d, missing arguments and absurd widths leave the text as written.
    EXPECT_EQ(string_formatData(std::string("%d and %s"), {"x"}), "%d and x");
    EXPECT_EQ(string_formatData(std::string("%d and %s"), {}), "%d and %s");
    EXPECT_EQ(string_formatData(std::string("%s %n %p"), {"a"}), "a %n %p");
    EXPECT_EQ(string_formatData(std::string("100%"), {}), "100%");
    EXPECT_EQ(string_formatData(std::string("%99999d"), {1}), "%99999d");
}

TEST(Random, ClassicSequencePerThreadAndRanges)
{
    a_srand(1);
    EXPECT_TRUE(a_rand() == 41 && a_rand() == 18467);
    int otherFirst = -1;
    std::thread([&] {
        a_srand(1);
        otherFirst = a_rand();
    }).join();
    EXPECT_EQ(otherFirst, 41);
    EXPECT_EQ(a_rand(), 6334) << "the other thread left this one's state alone";
    for (int i = 0; i < 100000; ++i) {
        const int v = a_rand();
        ASSERT_TRUE(v >= 0 && v <= A_RAND_MAX) << v;
        const float f = a_randFloat(-1.0f, 1.0f);
        ASSERT_TRUE(f >= -1.0f && f <= 1.0f) << f;
    }
}

TEST(CriticalSection, ReentrantAndExclusive)
{
    aCriticalSection section;
    int counter = 0;
    auto work = [&] {
        for (int i = 0; i < 10000; ++i) {
            aCriticalSectionHolder outer(&section);
            aCriticalSectionHolder inner(&section); // same thread enters again
            ++counter;
        }
    };
    std::thread a(work), b(work);
    a.join();
    b.join();
    EXPECT_EQ(counter, 20000);
}

TEST(FixedText, NumbersInEveryWidthAndTextThatDoesNotFitIsCut)
{
    aFixedText<128> t;
    t.decimal(0).append(" ").decimal(-1).append(" ").decimal(INT64_MAX).append(" ").decimal(INT64_MIN);
    EXPECT_STREQ(t.c_str(), "0 -1 9223372036854775807 -9223372036854775808");
    t.clear();
    t.hex(UINT64_MAX, 0).append(" ").hex(0xABC, 0).append(" ").hex(1, 40);
    EXPECT_STREQ(t.c_str(), "FFFFFFFFFFFFFFFF ABC 0000000000000001");

    aFixedText<8> cut("abc");
    cut.append(nullptr).append("defgh").append("ijk").decimal(12345).hex(0xFF, 2);
    EXPECT_TRUE(cut.size() == 7 && std::string(cut.c_str()) == "abcdefg");
}

TEST(Singleton, RegistersClearsAndAnOlderInstanceLeavesTheNewerOne)
{
    kbtest::LogCapture log;
    {
        GUI::Server server;
        EXPECT_EQ(GUI::Server::getSingleton(), &server);
    }
    EXPECT_EQ(GUI::Server::getSingleton(), nullptr);
    EXPECT_EQ(log.messages().size(), 1u) << "asking for a missing one is logged";
    auto* first = new GUI::Server;
    GUI::Server second;
    delete first;
    EXPECT_EQ(GUI::Server::getSingleton(), &second);
}
