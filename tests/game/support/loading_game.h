// What the loading tests share: fake time for the main and the loading
// thread (aTimer's counter and the engine's sleep: a sleep of the loading
// thread moves the clock by its length at once, after a short real pause so
// a waiting loop does not hog the machine, and is counted; the frames' sleeps
// pause as briefly and move nothing, so a load's time is its own, however
// many frames the machine drew meanwhile), the loading screen's progress
// values in order, a game past its initial load, and gameplay states that
// load themselves.
#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "game/app/loadingscreen.h"
#include "game/support/harness.h"
#include "game/support/test_screen.h"
#include "orvo/app/a_inputserver.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/platform/a_system.h"
#include "orvo/util/a_timer.h"

namespace kbtest {

class LoadingClock {
public:
    LoadingClock()
    {
        s_micros = s_loaderSleeps = s_loaderSleptMs = 0;
        s_mainThread = std::this_thread::get_id();
        (void)takeProgress();
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

    static double seconds() { return static_cast<double>(s_micros.load()) / 1e6; }
    static int64_t loaderSleeps() { return s_loaderSleeps.load(); }
    static int64_t loaderSleptMs() { return s_loaderSleptMs.load(); }
    // The progress values reported since the last call.
    static std::vector<uint16_t> takeProgress()
    {
        std::lock_guard lock(s_mutex);
        return std::exchange(s_progress, {});
    }

private:
    static int64_t counter() { return s_micros.load(); }
    static void sleep(uint32_t ms)
    {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        if (std::this_thread::get_id() == s_mainThread)
            return;
        ++s_loaderSleeps;
        s_loaderSleptMs += ms;
        s_micros += int64_t(ms) * 1000;
    }
    static void record(uint16_t percent)
    {
        std::lock_guard lock(s_mutex);
        s_progress.push_back(percent);
    }

    static inline std::atomic<int64_t> s_micros{0}, s_loaderSleeps{0}, s_loaderSleptMs{0};
    static inline std::thread::id s_mainThread;
    static inline std::mutex s_mutex;
    static inline std::vector<uint16_t> s_progress;
};

inline GameHarness::Options gameOptions(bool recording = true, float frameTime = 1.0f / 30.0f)
{
    return {.recording = recording, .frameTime = frameTime};
}

// A gameplay state whose startLoading starts the level load; the time of its
// first update goes to firstUpdate.
inline ScopedStateClass gameplay(int32_t id, StateCalls& calls, double* firstUpdate = nullptr)
{
    return ScopedStateClass(id, [&calls, id, firstUpdate] {
        auto* state = new TestScreen(id, calls, "", false);
        state->loadsItself = [](TestScreen&) {
            cGame::get()->startLevelLoading();
            return true;
        };
        state->onUpdate = [firstUpdate](float) {
            if (firstUpdate && *firstUpdate < 0)
                *firstUpdate = LoadingClock::seconds();
        };
        return state;
    });
}

// A game on fake time whose menu is a stand-in screen; register other
// states before start(), which ends the initial load.
struct LoadedGame {
    explicit LoadedGame(bool recording = true) : h(gameOptions(recording)) {}
    void start()
    {
        ASSERT_EQ(h.start(), 0);
        ASSERT_TRUE(h.waitForState(STATE_MENU));
        (void)LoadingClock::takeProgress();
        cLoadingScreen::resetCycles();
    }
    // Requests the state and waits for it; the fake seconds it took.
    double enter(int32_t id)
    {
        h.game().requestState(id);
        const double began = LoadingClock::seconds();
        EXPECT_TRUE(h.waitForState(id)) << id;
        return LoadingClock::seconds() - began;
    }
    // One frame of a loading screen alone, with the pointer and the left button as given.
    void draw(cLoadingScreen& screen, float dt, int32_t x = 512, int32_t y = 384, bool down = false)
    {
        h.input().setCursor(x, y);
        h.input().setButton(0, down);
        h.game().getInputServer()->update();
        EXPECT_TRUE(h.game().getGraphServer()->beginScene());
        screen.draw(dt);
        h.game().getGraphServer()->endScene();
    }
    bool loggedMissing() const
    {
        for (const std::string& line : h.log())
            if (line.find("Cannot find") != std::string::npos || line.find("not exist") != std::string::npos)
                return true;
        return false;
    }

    LoadingClock clock; // before the game: its loading thread reads the clock
    GameHarness h;
    StateCalls menuCalls;
    ScopedStateClass menu{STATE_MENU, [this] { return new TestScreen(STATE_MENU, menuCalls, "", false); }};
};

} // namespace kbtest
