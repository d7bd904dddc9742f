#include <gtest/gtest.h>

#include <cstdint>

#include "orvo/util/a_fixedtext.h"

TEST(FixedText, NumbersInEveryWidthAndTextThatDoesNotFitIsCut)
{
    aFixedText<128> t;
    t.decimal(0).append(" ").decimal(-1).append(" ").decimal(INT64_MAX).append(" ").decimal(INT64_MIN);
    EXPECT_STREQ(t.c_str(), "0 -1 9223372036854775807 -9223372036854775808");
    t.clear();
    EXPECT_TRUE(t.empty());
    t.hex(0xC0000005, 8).append(" ").hex(5, 8).append(" ").hex(0, 16).append(" ").hex(UINT64_MAX, 0);
    t.append(" ").hex(0xABC, 0).append(" ").hex(1, 40);
    EXPECT_STREQ(t.c_str(), "C0000005 00000005 0000000000000000 FFFFFFFFFFFFFFFF ABC 0000000000000001");

    aFixedText<8> cut("abc");
    cut.append(nullptr).append("defgh").append("ijk");
    EXPECT_STREQ(cut.c_str(), "abcdefg");
    EXPECT_EQ(cut.size(), 7u);
    cut.decimal(12345).hex(0xFF, 2);
    EXPECT_STREQ(cut.c_str(), "abcdefg");
}
