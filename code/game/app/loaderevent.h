// The hand-over between the frame loop and a loading routine: a manual-reset
// event. The main thread resets it before a frame it draws and sets it after;
// the loading routine waits on it. Cancelling (at quit) releases every wait
// for good, so a routine waiting for a frame that will never come ends.
// Shared by the main and the loading thread.
#pragma once

#include <condition_variable>
#include <mutex>

class cLoaderEvent {
public:
    void set();
    void reset();
    bool isSet() const;
    // Blocks until set or cancelled; false when cancelled.
    bool wait();
    void cancel();
    bool isCancelled() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_set = false;
    bool m_cancelled = false;
};
