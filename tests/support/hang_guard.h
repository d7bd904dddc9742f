// The bound of a test's wait on something that ends by itself in real time
// (a loading thread, another thread's answer, a child process): far above
// what the slowest run takes (a sanitizer build on a busy machine), so
// reaching it means a hang, never a slow machine. What a test checks keeps
// the time of its frames; only these waits keep the clock's.
#pragma once

#include <chrono>
#include <thread>

namespace kbtest {

constexpr std::chrono::minutes kHangGuard{5};

class HangGuard {
public:
    bool expired() const { return std::chrono::steady_clock::now() > m_giveUp; }

private:
    const std::chrono::steady_clock::time_point m_giveUp = std::chrono::steady_clock::now() + kHangGuard;
};

// Asks `done` every `poll` until it holds or the guard runs out; whether it holds.
template <class Done> bool waitInRealTime(Done done, std::chrono::milliseconds poll = std::chrono::milliseconds(1))
{
    const HangGuard guard;
    while (!done()) {
        if (guard.expired())
            return done();
        std::this_thread::sleep_for(poll);
    }
    return true;
}

} // namespace kbtest
