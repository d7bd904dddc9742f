// The hand-over between the frame loop and a loading routine: a manual-reset
// event that lives as long as the game. A starter opens it (not signalled);
// while it is open, the main thread resets it before a frame it draws and
// sets it after, and sets it without drawing while drawing is forbidden. The
// routine forbids drawing and waits for the event in one step, then closes
// it; a closed event ignores the frame loop. Cancelling (at quit) releases
// every wait for good, so a routine waiting for a frame that will never come
// ends.
// Shared by the main and the loading thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

class cLoaderEvent {
public:
    // Starter (main thread): a load begins.
    void open();
    bool isOpen() const;

    // Frame side. beginFrame answers whether the frame may draw (the draw
    // bit of `flags`), resetting the open event when it may; endFrame sets
    // the open event. Both leave a closed event alone.
    bool beginFrame(const std::atomic<uint32_t>& flags, uint32_t drawBit);
    void endFrame();

    // Routine side: clears the draw bit, waits until no frame is drawing,
    // then closes the event. False when the wait was cancelled.
    bool closeAfterFrame(std::atomic<uint32_t>& flags, uint32_t drawBit);

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
    bool m_open = false;
    bool m_set = false;
    bool m_cancelled = false;
};
