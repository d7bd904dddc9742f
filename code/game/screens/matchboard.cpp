#include "game/screens/matchboard.h"

#include <algorithm>

int cMatchBoard::topEmptyRow(int c) const
{
    for (int r = 0; r < kSize; ++r)
        if (at(c, r) == kEmpty)
            return r;
    return -1;
}

bool cMatchBoard::wouldMatch(int c, int r, int kind) const
{
    // Two cells either way; (c, r) itself counts as the kind.
    auto scan = [&](bool vertical) {
        const int self = vertical ? r : c;
        int count = 0;
        for (int i = std::max(0, self - 2); i < std::min(kSize, self + 3); ++i) {
            const int k = i == self ? kind : vertical ? at(c, i) : at(i, r);
            if (k == kEmpty)
                break;
            if (k == kind)
                ++count;
            else if (count > 0)
                break;
        }
        return count >= 3;
    };
    return scan(true) || scan(false);
}

int cMatchBoard::fillKind(int c, int r, int drawn, int kindCount, int redrawn) const
{
    if (!wouldMatch(c, r, drawn))
        return drawn;
    for (int k = 0; k < kindCount; ++k)
        if (!wouldMatch(c, r, k))
            return k;
    return redrawn;
}

std::vector<int> cMatchBoard::findMatches() const
{
    std::vector<int> found;
    for (int c = 0; c < kSize; ++c) {
        for (int r = 0; r < kSize; ++r) {
            const int k = at(c, r);
            if (k == kEmpty)
                continue;
            bool line = false;
            for (const bool down : {false, true}) {
                int n = 0;
                while (true) {
                    const int cc = down ? c : c + n + 1;
                    const int rr = down ? r + n + 1 : r;
                    if (!inside(cc, rr) || at(cc, rr) != k)
                        break;
                    ++n;
                }
                if (n >= 2) {
                    for (int i = 1; i <= n; ++i)
                        found.push_back(down ? index(c, r + i) : index(c + i, r));
                    line = true;
                }
            }
            if (line)
                found.push_back(index(c, r));
        }
    }
    return found;
}

bool cMatchBoard::hasLine() const
{
    for (int c = 0; c < kSize; ++c)
        for (int r = 0; r < kSize; ++r) {
            const int k = at(c, r);
            if (k == kEmpty)
                continue;
            if ((at(c + 1, r) == k && at(c + 2, r) == k) || (at(c, r + 1) == k && at(c, r + 2) == k))
                return true;
        }
    return false;
}

bool cMatchBoard::swap(int c, int r, int d)
{
    if (d < 0 || d > 3 || !inside(c, r))
        return false;
    const int c2 = c + kColumnStep[d];
    const int r2 = r + kRowStep[d];
    if (!inside(c2, r2))
        return false;
    std::swap(m_cells[static_cast<size_t>(index(c, r))], m_cells[static_cast<size_t>(index(c2, r2))]);
    return true;
}

bool cMatchBoard::hasMatchAfterSwap(int c, int r, int d)
{
    if (!swap(c, r, d))
        return false;
    const bool found = hasLine();
    swap(c, r, d);
    return found;
}

bool cMatchBoard::findMove(int& c, int& r, int& d)
{
    for (int cc = 0; cc < kSize; ++cc)
        for (int rr = 0; rr < kSize; ++rr)
            for (int dd = 0; dd < 4; ++dd)
                if (hasMatchAfterSwap(cc, rr, dd)) {
                    c = cc;
                    r = rr;
                    d = dd;
                    return true;
                }
    return false;
}

std::vector<std::pair<int, int>> cMatchBoard::collapse()
{
    std::vector<std::pair<int, int>> moves;
    for (int c = 0; c < kSize; ++c) {
        int to = kSize - 1;
        for (int r = kSize - 1; r >= 0; --r) {
            const int k = at(c, r);
            if (k == kEmpty)
                continue;
            if (r != to) {
                set(c, to, k);
                set(c, r, kEmpty);
                moves.emplace_back(index(c, r), index(c, to));
            }
            --to;
        }
    }
    return moves;
}
