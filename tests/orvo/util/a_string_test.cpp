#include <gtest/gtest.h>

#include <climits>

#include "orvo/util/a_string.h"
#include "support/log_capture.h"

TEST(String, ToLowerOnlyChangesAsciiCapitals)
{
    EXPECT_EQ(string_toLower("MiXeD 123_Z"), "mixed 123_z");
    EXPECT_EQ(string_toLower("\xC0\xDF"), "\xC0\xDF"); // Windows-1251 capitals stay
}

TEST(String, FormatAndFloatText)
{
    EXPECT_EQ(string_format("%02d:%02d.", 3, 7), "03:07.");
    EXPECT_EQ(string_format("%s", ""), "");
    const std::string big(5000, 'x');
    EXPECT_EQ(string_format("%s!", big.c_str()).size(), 5001u);
    EXPECT_EQ(string_fromFloat(0.5f), "0.500000");
    EXPECT_EQ(string_fromFloat(-2.25f), "-2.250000");
    // Past 31 characters the text is kept whole.
    EXPECT_EQ(string_fromFloat(1e30f).size(), 38u);
}

TEST(String, ToIntReadsLikeAtoiAndClamps)
{
    EXPECT_EQ(string_toInt("  42abc"), 42);
    EXPECT_EQ(string_toInt("-17"), -17);
    EXPECT_EQ(string_toInt("+5"), 5);
    EXPECT_EQ(string_toInt("abc"), 0);
    EXPECT_EQ(string_toInt(""), 0);
    EXPECT_EQ(string_toInt("- 5"), 0);
    EXPECT_EQ(string_toInt("2147483647"), INT_MAX);
    EXPECT_EQ(string_toInt("-2147483648"), INT_MIN);
    EXPECT_EQ(string_toInt("99999999999999999999999"), INT_MAX);
    EXPECT_EQ(string_toInt("-99999999999999999999999"), INT_MIN);
}

TEST(String, Utf8ToWide)
{
    EXPECT_EQ(string_utf8ToWide("A\xD0\x96z"), L"A\x0416z");
    EXPECT_EQ(string_utf8ToWide("\xE2\x82\xAC"), L"\x20AC");
    // A lead byte without its continuation ends the text.
    EXPECT_EQ(string_utf8ToWide("\x41\xD0\x41"), L"A");
    EXPECT_EQ(string_utf8ToWide("ab\xE2\x82"), L"ab");
    EXPECT_EQ(string_utf8ToWide("ab\xD0"), L"ab");
    // Beyond the Basic Multilingual Plane: one replacement unit, and the text goes on.
    EXPECT_EQ(string_utf8ToWide("a\xF0\x9F\x98\x80"
                                "b"),
              L"a\xFFFD"
              L"b");
    EXPECT_EQ(string_utf8ToWide("a\xF0\x9F\x98"
                                "b"),
              L"a");
    // Every unit stays within 16 bits.
    for (wchar_t w : string_utf8ToWide("\xFF\xBF\xBF\xFE\xBF\xBF"))
        EXPECT_LE(w, 0xFFFF);
}

TEST(String, Cp1251BothWays)
{
    EXPECT_EQ(string_cp1251ToWide("a\xC0\xFF\xA8\x98"), L"a\x0410\x044F\x0401\xFFFD");
    EXPECT_EQ(string_wideToCp1251(L"a\x0410\x044F\x0401\x20AC"), "a\xC0\xFF\xA8\x88");
    EXPECT_EQ(string_wideToCp1251(L"\x4E2D-\x00E9"), "?-?");
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(string_wideToCp1251(string_cp1251ToWide(all)), all);
    // Texts past 65535 characters are converted whole.
    const std::string longText(70000, '\xC1');
    EXPECT_EQ(string_wideToCp1251(string_cp1251ToWide(longText)), longText);
}

TEST(String, MultiByteToWideByCodePage)
{
    kbtest::LogCapture log;
    EXPECT_EQ(string_multiByteToWide("\xC0", A_CP_ACP, 0), L"\x0410");
    EXPECT_EQ(string_multiByteToWide("\xC0", A_CP_1251, 0), L"\x0410");
    EXPECT_EQ(string_multiByteToWide("\xD0\x96", A_CP_UTF8, 0), L"\x0416");
    EXPECT_EQ(string_multiByteToWide(std::string("ab\0cd", 5), A_CP_ACP, 0), L"ab");
    EXPECT_EQ(string_multiByteToWide("abc", 437, 0), L"");
    EXPECT_TRUE(log.contains("string_multiByteToWide. Unsupported code page 437"));
}
