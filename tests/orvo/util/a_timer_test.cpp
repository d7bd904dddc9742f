#include <gtest/gtest.h>

#include "orvo/util/a_timer.h"

namespace {

uint32_t g_ms = 0;
int64_t g_count = 0;

struct FakeSources {
    FakeSources()
    {
        aTimer::setMsSource([] { return g_ms; });
        aTimer::setCounterSource([] { return g_count; }, 1000000);
    }
    ~FakeSources()
    {
        aTimer::setMsSource(nullptr);
        aTimer::setCounterSource(nullptr, 0);
    }
};

} // namespace

TEST(Timer, DeltasSpanAWrapOfTheMsCounter)
{
    FakeSources sources;
    g_ms = 0xFFFFFF00u;
    aTimer multimedia(1);
    g_ms = 0x00000010u; // wrapped: 0x110 ms later
    EXPECT_FLOAT_EQ(multimedia.getSeconds(), 0.272f);
    EXPECT_EQ(multimedia.getMs(), 0x110u);
    EXPECT_FLOAT_EQ(multimedia.getDelta(), 0.272f);
    // The counter's milliseconds follow its seconds.
    g_count = 5000000;
    aTimer counter(0);
    g_count += 1500000;
    EXPECT_EQ(counter.getMs(), 1500u);
}

TEST(Timer, WaitsMeasureInDoublePrecisionAndEndOnTime)
{
    FakeSources sources;
    aTimer::setCounterSource([] { return g_count += 100; }, 1000000); // every reading 0.1 ms later
    g_count = 0;
    aTimer waiting(0);
    waiting.wait(5);
    EXPECT_TRUE(g_count >= 5000 && g_count <= 5300) << g_count;

    // Hours into the timer's life a 1 ms wait still takes 1 ms, not a float step of ~2 ms.
    g_count = 0;
    aTimer old(0);
    g_count = 16384LL * 1000000;
    const int64_t before = g_count;
    old.wait(1);
    EXPECT_LE(g_count - before, 1200);
}
