// cMatchBoard: the rules of the match-three board, on kind numbers only
// (an index into the mini-game's kind list, -1 for an empty cell). The
// state keeps the animals that show the board in a grid of its own and
// moves them as the model says. Cell (column c, row r) is index c * 6 + r;
// columns run left to right, rows top to bottom.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

class cMatchBoard {
public:
    static constexpr int kSize = 6;
    static constexpr int kCells = kSize * kSize;
    static constexpr int kEmpty = -1;
    static constexpr int kColumnStep[4] = {0, 1, 0, -1}; // directions 0 up, 1 right, 2 down, 3 left
    static constexpr int kRowStep[4] = {-1, 0, 1, 0};

    cMatchBoard() { clear(); }

    static int index(int c, int r) { return c * kSize + r; }
    static bool inside(int c, int r) { return c >= 0 && c < kSize && r >= 0 && r < kSize; }

    void clear() { m_cells.fill(kEmpty); }
    int at(int c, int r) const { return inside(c, r) ? m_cells[static_cast<size_t>(index(c, r))] : kEmpty; }
    void set(int c, int r, int kind)
    {
        if (inside(c, r))
            m_cells[static_cast<size_t>(index(c, r))] = kind;
    }

    // The first empty row from the top, or -1 when the column is full.
    int topEmptyRow(int c) const;
    // Whether `kind` in (c, r) makes three in a line with the cells present,
    // looking two cells either way.
    bool wouldMatch(int c, int r, int kind) const;
    // The kind a fill puts into (c, r): `drawn` unless it makes a line, then
    // the first of `kindCount` kinds that does not; `redrawn` when every kind would.
    int fillKind(int c, int r, int drawn, int kindCount, int redrawn) const;
    // Every cell of every line of three or more, scanning each cell's run to
    // the right and downwards; a cell of several runs is listed more than once.
    std::vector<int> findMatches() const;
    bool hasLine() const;
    // Exchanges (c, r) with its neighbour in direction d; false (nothing done)
    // when the neighbour lies outside.
    bool swap(int c, int r, int d);
    // Whether that swap would make a line; the board is left as it was.
    bool hasMatchAfterSwap(int c, int r, int d);
    // The first move in search order (columns, rows, directions); false when none.
    bool findMove(int& c, int& r, int& d);
    // Closes the gaps of every column by letting the cells above fall;
    // the moves as (from index, to index), bottom first.
    std::vector<std::pair<int, int>> collapse();

private:
    std::array<int, kCells> m_cells{};
};
