// What held food was paid: exact shares, whole coins back, and no share
// that grows past what was paid, however the portions come and go.
#include <gtest/gtest.h>

#include <cstdint>

#include "game/park/paidshare.h"

TEST(PaidShare, SharesStayExactAndTheRestNeverPassesWhatWasPaid)
{
    cPaidShare paid;
    paid.add(2);
    paid.add(2); // six portions for 4 coins
    for (uint16_t held = 6; held > 3; --held)
        paid.takeShare(held);
    EXPECT_EQ(paid.whole(), 2) << "three of six held: half of 4";
    paid.takeShare(3);
    paid.takeShare(2);
    EXPECT_EQ(paid.whole(), 0) << "two thirds of a coin";
    paid.takeShare(1);
    paid.takeShare(0); // none held: nothing to take
    paid.add(0);
    paid.add(-5);
    EXPECT_EQ(paid.whole(), 0);

    // Buying and putting down in turn with awkward counts, for a long while:
    // the rest stays between what the held portions cost and what was paid.
    cPaidShare mixed;
    int64_t spent = 0;
    double exact = 0.0;
    uint16_t held = 0;
    for (int round = 0; round < 5000; ++round) {
        const int32_t cost = 7 + round % 13;
        mixed.add(cost);
        spent += cost;
        exact += cost;
        held = static_cast<uint16_t>(held + 1 + round % 5);
        for (int i = 0; i < 1 + round % 4 && held > 1; ++i, --held) {
            exact -= exact / held;
            mixed.takeShare(held);
        }
        ASSERT_GE(mixed.whole(), static_cast<int32_t>(exact - 1e-6)) << "round " << round;
        ASSERT_LE(mixed.whole(), spent) << "round " << round;
    }

    // A dear stock: the coins saturate, never wrap.
    cPaidShare dear;
    for (int i = 0; i < 4; ++i)
        dear.add(INT32_MAX);
    EXPECT_EQ(dear.whole(), INT32_MAX);
    dear.takeShare(65535);
    EXPECT_EQ(dear.whole(), 2147450879) << "settled up to whole coins";
    dear.clear();
    EXPECT_EQ(dear.whole(), 0);
}
