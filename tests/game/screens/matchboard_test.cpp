// The match-three board's rules on kind numbers: lines, fills and the move search.
#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "game/screens/matchboard.h"
#include "orvo/util/a_random.h"

namespace {

// Six rows of a letter per column ('.' empty).
cMatchBoard board(const char* const (&rows)[6])
{
    cMatchBoard b;
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 6; ++c)
            b.set(c, r, rows[r][c] == '.' ? cMatchBoard::kEmpty : rows[r][c] - 'a');
    return b;
}

} // namespace

TEST(MatchBoard, LinesFillsAndTheMoveSearch)
{
    const cMatchBoard lines = board({"aaabcd", "bcdbdc", "cdabcd", "ddddcb", "abcabc", "cabcab"});
    // Cells (column * 6 + row) of the top row's three, the column of three at x 3 and row 3's four.
    const std::vector<int> found = lines.findMatches();
    EXPECT_EQ(std::set<int>(found.begin(), found.end()), (std::set<int>{0, 6, 12, 18, 19, 20, 3, 9, 15, 21}));

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

    // The only move swaps (4, 4) and (5, 4), on the right border; then a board without moves.
    cMatchBoard border = board({"abcdab", "cdabcd", "abcdab", "cdabcd", "abcdac", "cdabca"});
    int c = -1, r = -1, d = -1;
    ASSERT_TRUE(border.findMove(c, r, d));
    EXPECT_EQ(std::make_tuple(c, r, d), std::make_tuple(4, 4, 1));
    EXPECT_FALSE(border.hasLine()) << "the tries leave the board as it was";

    cMatchBoard none = board({"abcdab", "cdabcd", "abcdab", "cdabcd", "abcdab", "cdabcd"});
    EXPECT_FALSE(none.findMove(c, r, d));
    EXPECT_FALSE(none.swap(5, 5, 1)) << "no neighbour to the right";
}
