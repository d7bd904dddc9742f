#include <gtest/gtest.h>

#include <climits>

#include "orvo/util/a_string.h"
#include "support/log_capture.h"

TEST(String, LowerFormatFloatAndInt)
{
    EXPECT_EQ(string_toLower("MiXeD 123_Z"), "mixed 123_z");
    EXPECT_EQ(string_toLower("\xC0\xDF"), "\xC0\xDF"); // Windows-1251 capitals stay
    EXPECT_EQ(string_format("%s!", std::string(5000, 'x').c_str()).size(), 5001u);
    EXPECT_EQ(string_fromFloat(1e30f).size(), 38u); // past 31 characters the text is kept whole
    // Read like atoi, clamped to 32 bits.
    for (auto [text, value] : {std::pair{"  42abc", 42},
                               {"abc", 0},
                               {"- 5", 0},
                               {"-2147483648", INT_MIN},
                               {"99999999999999999999999", INT_MAX},
                               {"-99999999999999999999999", INT_MIN}})
        EXPECT_EQ(string_toInt(text), value) << text;
}

TEST(String, Utf8ToWide)
{
    EXPECT_EQ(string_utf8ToWide("A\xD0\x96z\xE2\x82\xAC"), L"A\x0416z\x20AC");
    // A lead byte without its continuation ends the text.
    for (const char* cut : {"A\xD0\x41", "A\xE2\x82", "A\xF0\x9F\x98\x62"}) // \x62 is b
        EXPECT_EQ(string_utf8ToWide(cut), L"A") << cut;
    // Beyond the Basic Multilingual Plane: one replacement unit, and the text goes on.
    EXPECT_EQ(string_utf8ToWide("a\xF0\x9F\x98\x80\x62"), L"a\xFFFD\x62");
    for (wchar_t w : string_utf8ToWide("\xFF\xBF\xBF\xFE\xBF\xBF"))
        EXPECT_LE(w, 0xFFFF);
}

TEST(String, CodePages)
{
    EXPECT_EQ(string_cp1251ToWide("a\xC0\xFF\xA8\x98"), L"a\x0410\x044F\x0401\xFFFD");
    EXPECT_EQ(string_wideToCp1251(L"\x20AC\x4E2D-\x00E9"), "\x88?-?");
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(string_wideToCp1251(string_cp1251ToWide(all)), all);
    const std::string longText(70000, '\xC1'); // past 65535 characters, converted whole
    EXPECT_EQ(string_wideToCp1251(string_cp1251ToWide(longText)), longText);

    kbtest::LogCapture log;
    EXPECT_EQ(string_multiByteToWide("\xC0", A_CP_ACP, 0) + string_multiByteToWide("\xD0\x96", A_CP_UTF8, 0),
              L"\x0410\x0416");
    EXPECT_EQ(string_multiByteToWide(std::string("ab\0cd", 5), A_CP_ACP, 0), L"ab");
    EXPECT_EQ(string_multiByteToWide("abc", 437, 0), L"");
    EXPECT_TRUE(log.contains("string_multiByteToWide. Unsupported code page 437"));
}
