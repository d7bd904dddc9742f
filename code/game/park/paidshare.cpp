#include "game/park/paidshare.h"

#include <cstdint>
#include <numeric>

namespace {

// A denominator of at most 2^15, held counts below 2^16 and no more than
// 2^31 coins keep every product below 2^63.
constexpr int64_t kMaxDen = int64_t(1) << 15;
constexpr int64_t kMaxCoins = INT32_MAX;

} // namespace

void cPaidShare::add(int32_t coins)
{
    if (coins <= 0)
        return;
    m_num += static_cast<int64_t>(coins) * m_den;
    if (m_num / m_den >= kMaxCoins)
        m_num = kMaxCoins * m_den;
}

void cPaidShare::takeShare(uint16_t held)
{
    if (held == 0)
        return;
    const auto n = static_cast<int64_t>(held);
    m_num *= n - 1;
    m_den *= n;
    reduce();
}

void cPaidShare::reduce()
{
    if (m_num == 0) {
        m_den = 1;
        return;
    }
    const int64_t g = std::gcd(m_num, m_den);
    m_num /= g;
    m_den /= g;
    // NOTE: a share that no longer fits is settled up to whole coins: a
    // little more than the portions cost, never more than was paid.
    if (m_den > kMaxDen) {
        m_num = (m_num + m_den - 1) / m_den;
        m_den = 1;
    }
}
