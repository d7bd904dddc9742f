// Elapsed-time source. Mode 0 reads the high-resolution counter; any other
// mode reads the millisecond tick, whose 32-bit wrap (every 49.7 days) is
// passed over. Each timer is used by one thread at a time.
#pragma once

#include <cstdint>

class aTimer {
public:
    using CounterSource = int64_t (*)();
    using MsSource = uint32_t (*)();

    explicit aTimer(uint8_t mode = 0);

    void reset();
    // Seconds since the start time, as the float the engine's callers expect.
    float getSeconds() const;
    // The same reading in double precision (the log's clock).
    double getSecondsPrecise() const;
    // Whole milliseconds since the start time (counter mode: from the float seconds).
    uint32_t getMs() const;
    // Seconds since the previous getDelta (or construction, or reset).
    float getDelta();
    // Busy-waits for ms milliseconds: precise short waits at the price of a core.
    void wait(uint32_t ms) const;

    // Process-wide time sources, replaceable so tests can run the clock;
    // null puts back the real ones. The counter ticks `frequency` times a second.
    static void setCounterSource(CounterSource counter, int64_t frequency);
    static void setMsSource(MsSource ms);
    static uint32_t tickCount();

private:
    uint8_t m_mode = 0;
    uint32_t m_startMs = 0;
    uint32_t m_lastMs = 0;
    int64_t m_startCount = 0;
    int64_t m_lastCount = 0;
};
