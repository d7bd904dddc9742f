// Fake time for the loading tests: aTimer's counter and the engine's sleep,
// shared by the main and the loading thread. A sleep moves the clock by its
// length at once (after a short real pause, so that a waiting loop does not
// hog the machine) and is counted per thread kind. The loading screen's
// progress values are recorded in order.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "game/app/loadingscreen.h"
#include "orvo/platform/a_system.h"
#include "orvo/util/a_timer.h"

namespace kbtest {

class LoadingClock {
public:
    LoadingClock()
    {
        s_micros = 0;
        s_loaderSleeps = 0;
        s_loaderSleptMs = 0;
        s_mainThread = std::this_thread::get_id();
        {
            std::lock_guard lock(s_mutex);
            s_progress.clear();
        }
        aTimer::setCounterSource(&counter, 1000000);
        system_setSleepFunction(&sleep);
        cLoadingScreen::setProgressObserver(&record);
    }
    ~LoadingClock()
    {
        cLoadingScreen::setProgressObserver(nullptr);
        system_setSleepFunction(nullptr);
        aTimer::setCounterSource(nullptr, 0);
    }
    LoadingClock(const LoadingClock&) = delete;
    LoadingClock& operator=(const LoadingClock&) = delete;

    static double seconds() { return static_cast<double>(s_micros.load()) / 1e6; }
    // Sleeps of threads other than the test's own.
    static int loaderSleeps() { return s_loaderSleeps.load(); }
    static int64_t loaderSleptMs() { return s_loaderSleptMs.load(); }
    // The progress values reported so far; cleared by take.
    static std::vector<uint16_t> takeProgress()
    {
        std::lock_guard lock(s_mutex);
        std::vector<uint16_t> out;
        out.swap(s_progress);
        return out;
    }

private:
    static int64_t counter() { return s_micros.load(); }
    static void sleep(uint32_t ms)
    {
        if (std::this_thread::get_id() != s_mainThread) {
            ++s_loaderSleeps;
            s_loaderSleptMs += ms;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        s_micros += int64_t(ms) * 1000;
    }
    static void record(uint16_t percent)
    {
        std::lock_guard lock(s_mutex);
        s_progress.push_back(percent);
    }

    static inline std::atomic<int64_t> s_micros{0};
    static inline std::atomic<int> s_loaderSleeps{0};
    static inline std::atomic<int64_t> s_loaderSleptMs{0};
    static inline std::thread::id s_mainThread;
    static inline std::mutex s_mutex;
    static inline std::vector<uint16_t> s_progress;
};

} // namespace kbtest
