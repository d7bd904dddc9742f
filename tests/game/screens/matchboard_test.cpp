// The match-three board's rules on kind numbers: lines, fills, falls, moves.
#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "game/screens/matchboard.h"
#include "orvo/util/a_random.h"

namespace {

// A board from six strings, one per row, a letter per column ('.' empty).
cMatchBoard board(const char* const (&rows)[6])
{
    cMatchBoard b;
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 6; ++c)
            b.set(c, r, rows[r][c] == '.' ? cMatchBoard::kEmpty : rows[r][c] - 'a');
    return b;
}

std::set<int> matched(const cMatchBoard& b)
{
    const std::vector<int> found = b.findMatches();
    return {found.begin(), found.end()};
}

} // namespace

TEST(MatchBoard, LinesAndWhatWouldMakeOne)
{
    const cMatchBoard b = board({"aaabcd", "bcdbdc", "cdabcd", "ddddcb", "abcabc", "cabcab"});
    // Cells (column * 6 + row) of the top row's three, the column of three at x 3 and row 3's four.
    EXPECT_EQ(matched(b), (std::set<int>{0, 6, 12, 18, 19, 20, 3, 9, 15, 21}));
    // An L of five tags five cells.
    EXPECT_EQ(matched(board({"abcabc", "abcabc", "aaacab", "bcabca", "cabcab", "bcabca"})).size(), 5u);

    // wouldMatch looks two cells each way and stops at gaps and other kinds.
    const cMatchBoard gaps = board({"aa.b..", "......", "a.....", "a.....", "b.....", "......"});
    EXPECT_TRUE(gaps.wouldMatch(2, 0, 0));  // a a [a]
    EXPECT_FALSE(gaps.wouldMatch(4, 0, 1)); // b . [b]
    EXPECT_FALSE(gaps.wouldMatch(0, 5, 0)); // a a b [a]
}

TEST(MatchBoard, FillsFallsAndTheMoveSearch)
{
    // The first fill, column by column from the top, as the game makes it.
    for (uint32_t seed = 1; seed <= 50; ++seed) {
        a_srand(seed);
        cMatchBoard b;
        for (int c = 0; c < 6; ++c)
            for (int r = b.topEmptyRow(c); r >= 0; r = b.topEmptyRow(c)) {
                const int k = b.fillKind(c, r, a_rand() % 5, 5, -1);
                b.set(c, r, k < 0 ? a_rand() % 5 : k);
            }
        EXPECT_FALSE(b.hasLine()) << "seed " << seed;
    }
    // Two kinds, the upper pair one and the left pair the other: neither fits, the redraw is taken.
    const cMatchBoard corner = board({"..a...", "..a...", "bb....", "......", "......", "......"});
    EXPECT_EQ(corner.fillKind(2, 2, 0, 2, 7), 7);
    EXPECT_EQ(board({"......", "a.....", "a.....", "bcabca", "cabcab", "bcabca"}).fillKind(0, 0, 0, 5, -1), 1);

    // A line taken out: the columns above fall by one cell and the refill makes no new line.
    cMatchBoard b = board({"abcabc", "cabcab", "dddbca", "abcabc", "cabcab", "bcabca"});
    for (int i : b.findMatches())
        b.set(i / 6, i % 6, cMatchBoard::kEmpty);
    EXPECT_EQ(b.collapse().size(), 6u);
    EXPECT_EQ(b.at(0, 2), 2);
    EXPECT_EQ(b.at(0, 1), 0);
    for (int c = 0; c < 3; ++c) {
        ASSERT_EQ(b.topEmptyRow(c), 0);
        const int k = b.fillKind(c, 0, 2, 5, -1);
        ASSERT_GE(k, 0);
        b.set(c, 0, k);
    }
    EXPECT_FALSE(b.hasLine());

    // The only move swaps (4, 4) and (5, 4), on the right border; then a board without moves.
    cMatchBoard border = board({"abcdab", "cdabcd", "abcdab", "cdabcd", "abcdac", "cdabca"});
    int c = -1, r = -1, d = -1;
    ASSERT_TRUE(border.findMove(c, r, d));
    EXPECT_EQ(std::make_tuple(c, r, d), std::make_tuple(4, 4, 1));
    EXPECT_FALSE(border.hasLine()) << "the tries leave the board as it was";

    cMatchBoard none = board({"abcdab", "cdabcd", "abcdab", "cdabcd", "abcdab", "cdabcd"});
    EXPECT_FALSE(none.findMove(c, r, d));
    EXPECT_FALSE(none.swap(5, 5, 1)) << "no neighbour to the right";
    EXPECT_TRUE(none.swap(0, 0, 2));
    EXPECT_EQ(none.at(0, 0), 2);
}
