#include <gtest/gtest.h>

#include <set>

#include "orvo/util/a_timer.h"

namespace {

uint32_t g_ms = 0;
uint32_t fakeMs() { return g_ms; }
int64_t g_count = 0;
int64_t fakeCounter() { return g_count; }

struct FakeSources {
    FakeSources()
    {
        aTimer::setMsSource(&fakeMs);
        aTimer::setCounterSource(&fakeCounter, 1000000);
    }
    ~FakeSources()
    {
        aTimer::setMsSource(nullptr);
        aTimer::setCounterSource(nullptr, 0);
    }
};

} // namespace

TEST(Timer, MultimediaModePassesOverTheWrap)
{
    FakeSources sources;
    g_ms = 0xFFFFFF00u;
    aTimer timer(1);
    g_ms = 0x00000010u; // wrapped: 0x110 ms later
    EXPECT_FLOAT_EQ(timer.getSeconds(), 0.272f);
    EXPECT_EQ(timer.getMs(), 0x110u);
    EXPECT_FLOAT_EQ(timer.getDelta(), 0.272f);
    g_ms += 500;
    EXPECT_FLOAT_EQ(timer.getDelta(), 0.5f);
}

TEST(Timer, CounterModeSecondsDeltaAndReset)
{
    FakeSources sources;
    g_count = 5000000;
    aTimer timer(0);
    g_count += 1500000;
    EXPECT_FLOAT_EQ(timer.getSeconds(), 1.5f);
    EXPECT_EQ(timer.getMs(), 1500u);
    EXPECT_FLOAT_EQ(timer.getDelta(), 1.5f);
    g_count += 250000;
    EXPECT_FLOAT_EQ(timer.getDelta(), 0.25f);
    EXPECT_FLOAT_EQ(timer.getSeconds(), 1.75f);
    timer.reset();
    EXPECT_FLOAT_EQ(timer.getSeconds(), 0.0f);
}

TEST(Timer, CounterModeMillisecondsComeFromFloatSeconds)
{
    FakeSources sources;
    g_count = 0;
    aTimer timer(0);
    // Past 2^14 seconds a float holds about 2 ms steps: 1 ms apart readings repeat.
    auto distinctMs = [&](int64_t baseSeconds) {
        std::set<uint32_t> seen;
        for (int k = 0; k <= 10; ++k) {
            g_count = baseSeconds * 1000000 + k * 1000;
            seen.insert(timer.getMs());
        }
        return seen.size();
    };
    EXPECT_GE(distinctMs(1), 9u);
    EXPECT_LE(distinctMs(16384), 6u);
}

TEST(Timer, WaitReturnsAfterTheTime)
{
    aTimer timer(0);
    timer.wait(5);
    EXPECT_GE(timer.getSeconds(), 0.005f);
}
