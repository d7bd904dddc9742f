// What the food portions on the play state's pointer were paid, kept as an
// exact fraction of coins: a portion put down takes its share, so what is
// left is what the held portions cost, refunded in whole coins when the tool
// is left. Owned by the play state; main thread.
#pragma once

#include <cstdint>

class cPaidShare {
public:
    // A purchase of `coins` (nothing for 0 or less).
    void add(int32_t coins);
    // One of the `held` portions leaves with its share (nothing when none is held).
    void takeShare(uint16_t held);
    // The whole coins of what is left, never above what was paid.
    int32_t whole() const { return static_cast<int32_t>(m_num / m_den); }
    void clear() { *this = cPaidShare(); }

private:
    void reduce();

    int64_t m_num = 0; // what is left is m_num / m_den coins
    int64_t m_den = 1;
};
