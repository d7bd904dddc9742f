#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "orvo/util/a_crc32.h"
#include "orvo/util/a_criticalsection.h"
#include "orvo/util/a_format.h"
#include "orvo/util/a_geometry.h"
#include "orvo/util/a_random.h"

TEST(Crc32, EmptyIsZeroOthersStandard)
{
    EXPECT_EQ(crc32_string(""), 0u);
    EXPECT_EQ(crc32_string(static_cast<const char*>(nullptr)), 0u);
    EXPECT_EQ(crc32_string("123456789"), 0xCBF43926u);
    EXPECT_EQ(crc32_string("The quick brown fox jumps over the lazy dog"), 0x414FA339u);
    EXPECT_EQ(crc32_bytes("123456789", 9), 0xCBF43926u);
}

TEST(Geometry, ParsingKeepsMissingFieldsAndExtendToGrows)
{
    aRect r(1, 2, 3, 4);
    string_toRect(r, "10 -20");
    EXPECT_EQ(r, aRect(10, -20, 3, 4));
    string_toRect(r, "5 6 700 800");
    string_toRect(r, "junk");
    EXPECT_EQ(r, aRect(5, 6, 700, 800));
    EXPECT_EQ(string_toPoint("-2147483648 2147483647"), (aPoint{-2147483647 - 1, 2147483647}));
    EXPECT_EQ(string_toPoint("7"), (aPoint{7, 0}));
    EXPECT_EQ(string_toPoint("x y"), (aPoint{0, 0}));
    EXPECT_EQ(string_toPoint(nullptr), (aPoint{0, 0}));

    r = aRect(10, 10, 20, 20);
    r.extendTo(15, 15);
    EXPECT_EQ(r, aRect(10, 10, 20, 20));
    r.extendTo(4, 10);
    EXPECT_EQ(r, aRect(4, 10, 26, 20));
    r.extendTo(40, 50);
    r.extendTo(-5, -5);
    EXPECT_EQ(r, aRect(-5, -5, 45, 55));
}

TEST(Format, BufferFormatIsBoundedAndDataFormatsFillOnlyMatchingConversions)
{
    char buffer[A_FORMAT_BUFFER];
    EXPECT_EQ(buffer_format(buffer, "%s-%d", "ab", 7), 4);
    EXPECT_STREQ(buffer, "ab-7");
    EXPECT_EQ(buffer_format(buffer, "%s", std::string(400, 'q').c_str()), 400);
    EXPECT_EQ(std::strlen(buffer), 255u);

    EXPECT_EQ(string_formatData(std::string("%05.1f%%"), {3.14159}), "003.1%");
    EXPECT_EQ(string_formatData(std::wstring(L"Level %s: %i/%i"), {std::wstring(L"One"), 3, 5}), L"Level One: 3/5");
    EXPECT_EQ(string_formatData(std::string("[%-4s|%.2s]"), {"ab", "xyz"}), "[ab  |xy]");
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
    EXPECT_EQ(a_rand(), 41);
    EXPECT_EQ(a_rand(), 18467);
    EXPECT_EQ(a_rand(), 6334);
    int otherFirst = -1;
    std::thread([&] {
        a_srand(1);
        otherFirst = a_rand();
    }).join();
    EXPECT_EQ(otherFirst, 41);
    EXPECT_EQ(a_rand(), 26500) << "the other thread left this one's state alone";
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
    aCriticalSectionHolder none(nullptr);
}
