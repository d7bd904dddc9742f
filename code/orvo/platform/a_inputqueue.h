// The presses and releases of keys or buttons that came between two polls,
// in the order they came. A poll takes them into a device state one change
// per key at a time, so a key pressed and released before the poll is still
// seen down for one poll and up at the next, and keys typed quickly arrive
// in order. Filled by the event source, read by the input device; main
// thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

class aInputQueue {
public:
    // More changes than this waiting (a long stall) are dropped: the device
    // reads its whole state afresh instead.
    static constexpr size_t kMaxWaiting = 512;
    // Codes a state holds at most (the keyboard's 256).
    static constexpr size_t kMaxCodes = 256;

    void push(uint16_t code, bool down);
    // Applies the waiting changes to `state` (one byte per code, bit 7 =
    // down) in order, stopping before the second change of any code; codes
    // at or past `count` (or kMaxCodes) are dropped. False when changes were dropped since
    // the last call (the caller should read the real state).
    bool apply(uint8_t* state, size_t count);
    void clear();
    bool empty() const { return m_waiting.empty(); }
    size_t size() const { return m_waiting.size(); }

private:
    struct Change {
        uint16_t code;
        bool down;
    };
    std::deque<Change> m_waiting;
    bool m_dropped = false;
};
