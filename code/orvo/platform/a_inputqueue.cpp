#include "orvo/platform/a_inputqueue.h"

#include <algorithm>
#include <bitset>

void aInputQueue::push(uint16_t code, bool down)
{
    if (m_waiting.size() >= kMaxWaiting) {
        m_waiting.clear();
        m_dropped = true;
    }
    m_waiting.push_back({code, down});
}

bool aInputQueue::apply(uint8_t* state, size_t count)
{
    if (m_dropped) {
        m_dropped = false;
        m_waiting.clear();
        return false;
    }
    count = std::min(count, kMaxCodes);
    std::bitset<kMaxCodes> changed;
    while (!m_waiting.empty()) {
        const Change c = m_waiting.front();
        if (c.code >= count) {
            m_waiting.pop_front();
            continue;
        }
        const uint8_t now = c.down ? 0x80 : 0x00;
        if ((state[c.code] & 0x80) != now) {
            // A second change of one key waits for the next poll.
            if (changed[c.code])
                break;
            changed[c.code] = true;
            state[c.code] = now;
        }
        m_waiting.pop_front();
    }
    return true;
}

void aInputQueue::clear()
{
    m_waiting.clear();
    m_dropped = false;
}
