#include "orvo/util/a_timer.h"

#include <atomic>
#include <chrono>

namespace {

int64_t realCounter()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

uint32_t realMs()
{
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

std::atomic<aTimer::CounterSource> g_counter{&realCounter};
std::atomic<int64_t> g_frequency{1000000000};
std::atomic<aTimer::MsSource> g_ms{&realMs};

int64_t counterNow() { return g_counter.load()(); }
uint32_t msNow() { return g_ms.load()(); }

// A 32-bit difference read as signed; a negative one is a wrap of the tick.
double wrappedMsSeconds(uint32_t now, uint32_t then)
{
    int64_t diff = static_cast<int32_t>(now - then);
    if (diff < 0)
        diff += int64_t(1) << 32;
    return static_cast<double>(diff) / 1000.0;
}

} // namespace

aTimer::aTimer(uint8_t mode)
    : m_mode(mode)
{
    reset();
}

void aTimer::reset()
{
    if (m_mode == 0) {
        m_startCount = m_lastCount = counterNow();
    } else {
        m_startMs = m_lastMs = msNow();
    }
}

double aTimer::getSecondsPrecise() const
{
    if (m_mode == 0)
        return static_cast<double>(counterNow() - m_startCount) / static_cast<double>(g_frequency.load());
    return wrappedMsSeconds(msNow(), m_startMs);
}

float aTimer::getSeconds() const
{
    return static_cast<float>(getSecondsPrecise());
}

uint32_t aTimer::getMs() const
{
    if (m_mode == 0)
        return static_cast<uint32_t>(getSeconds() * 1000.0f);
    return msNow() - m_startMs;
}

float aTimer::getDelta()
{
    if (m_mode == 0) {
        const int64_t now = counterNow();
        const double delta = static_cast<double>(now - m_lastCount) / static_cast<double>(g_frequency.load());
        m_lastCount = now;
        return static_cast<float>(delta);
    }
    const uint32_t now = msNow();
    const double delta = wrappedMsSeconds(now, m_lastMs);
    m_lastMs = now;
    return static_cast<float>(delta);
}

void aTimer::wait(uint32_t ms) const
{
    // Double precision: a timer alive for hours would otherwise wait in ~2 ms steps.
    const double start = getSecondsPrecise();
    const double target = static_cast<double>(ms) / 1000.0;
    while (getSecondsPrecise() - start < target) {
    }
}

void aTimer::setCounterSource(CounterSource counter, int64_t frequency)
{
    g_counter = counter ? counter : &realCounter;
    g_frequency = (counter && frequency > 0) ? frequency : 1000000000;
}

void aTimer::setMsSource(MsSource ms)
{
    g_ms = ms ? ms : &realMs;
}

uint32_t aTimer::tickCount()
{
    return msNow();
}
