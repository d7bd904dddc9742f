#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <tuple>
#include <utility>

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

std::set<int> cells(const std::vector<int>& found)
{
    return std::set<int>(found.begin(), found.end());
}

int cell(int c, int r)
{
    return cMatchBoard::index(c, r);
}

// Fills the board as the game's first fill does: column by column from the
// top, a random kind unless it makes a line.
void firstFill(cMatchBoard& b, int kinds)
{
    for (int c = 0; c < 6; ++c)
        for (int r = b.topEmptyRow(c); r >= 0; r = b.topEmptyRow(c)) {
            const int k = b.fillKind(c, r, a_rand() % kinds, kinds, -1);
            b.set(c, r, k < 0 ? a_rand() % kinds : k);
        }
}

} // namespace

TEST(MatchBoard, FindsEveryLineOfASeededBoard)
{
    const cMatchBoard b = board({
        "aaabcd", // a row of three at the top left
        "bcdbdc", // b column at x 3, rows 0..2
        "cdabcd", //
        "ddddcb", // a row of four
        "abcabc", //
        "cabcab", //
    });
    const std::vector<int> found = b.findMatches();
    const std::set<int> expected = {cell(0, 0), cell(1, 0), cell(2, 0), cell(3, 0), cell(3, 1),
                                    cell(3, 2), cell(0, 3), cell(1, 3), cell(2, 3), cell(3, 3)};
    EXPECT_EQ(cells(found), expected);
    // The run of four is found from its first and its second cell: a cell of
    // several runs is listed more than once.
    EXPECT_GT(found.size(), expected.size());
    EXPECT_TRUE(b.hasLine());

    // An L of five and a line of five tag five cells each; a board without lines none.
    EXPECT_EQ(cells(board({"abcabc", "abcabc", "aaacab", "bcabca", "cabcab", "bcabca"}).findMatches()).size(), 5u);
    EXPECT_EQ(cells(board({"abcabc", "bcabca", "eeeeeb", "abcabc", "bcabca", "cabcab"}).findMatches()).size(), 5u);
    const cMatchBoard none = board({"abcabc", "bcabca", "cabcab", "abcabc", "bcabca", "cabcab"});
    EXPECT_TRUE(none.findMatches().empty());
    EXPECT_FALSE(none.hasLine());
}

TEST(MatchBoard, WouldMatchLooksTwoCellsEachWayAndStopsAtGaps)
{
    const cMatchBoard b = board({"aa.b..", "......", "a.....", "a.....", "b.....", "......"});
    EXPECT_TRUE(b.wouldMatch(2, 0, 0));  // a a [a]
    EXPECT_FALSE(b.wouldMatch(2, 0, 1)); // a a [b] b
    EXPECT_TRUE(b.wouldMatch(0, 1, 0));  // a [a] a a downwards
    EXPECT_FALSE(b.wouldMatch(4, 0, 1)); // b . [b]: the gap ends the scan
    EXPECT_FALSE(b.wouldMatch(0, 5, 0)); // a a b [a]: another kind after a run ends it
}

TEST(MatchBoard, TheFirstFillLeavesNoLineWhileSomeKindFits)
{
    for (uint32_t seed = 1; seed <= 50; ++seed) {
        a_srand(seed);
        cMatchBoard b;
        firstFill(b, 5);
        EXPECT_FALSE(b.hasLine()) << "seed " << seed;
        EXPECT_EQ(b.topEmptyRow(5), -1);
    }
    // Two kinds: a cell whose upper pair is one kind and whose left pair is
    // the other fits neither; the fill then takes a second random draw.
    const cMatchBoard corner = board({"..a...", "..a...", "bb....", "......", "......", "......"});
    EXPECT_EQ(corner.fillKind(2, 2, 0, 2, 7), 7);
    EXPECT_EQ(corner.fillKind(2, 3, 0, 2, 7), 0); // the empty (2, 2) ends the scan
}

TEST(MatchBoard, RefillAfterACollapseTakesAFittingKind)
{
    cMatchBoard b = board({"abcabc", "cabcab", "dddbca", "abcabc", "cabcab", "bcabca"});
    for (int i : b.findMatches())
        b.set(i / 6, i % 6, cMatchBoard::kEmpty);
    const auto moves = b.collapse();
    // Columns 0..2 fell by one cell: two moves each, the top cells empty.
    EXPECT_EQ(moves.size(), 6u);
    EXPECT_EQ(moves.front(), std::make_pair(cell(0, 1), cell(0, 2)));
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(b.topEmptyRow(c), 0);
    EXPECT_EQ(b.at(0, 2), 2); // the 'c' of row 1
    EXPECT_EQ(b.at(0, 1), 0); // the 'a' of row 0
    // A drawn kind that would line up is replaced by the first that does not.
    cMatchBoard lined = board({"......", "a.....", "a.....", "bcabca", "cabcab", "bcabca"});
    EXPECT_EQ(lined.fillKind(0, 0, 0, 5, -1), 1);
    for (int c = 0; c < 3; ++c) {
        const int k = b.fillKind(c, 0, 2, 5, -1);
        ASSERT_GE(k, 0);
        b.set(c, 0, k);
    }
    EXPECT_FALSE(b.hasLine());
}

TEST(MatchBoard, FindsTheOnlyMoveOnTheBorderAndTheNoMoveCase)
{
    // The only move swaps (4, 4) and (5, 4), on the right border.
    cMatchBoard border = board({"abcdab", "cdabcd", "abcdab", "cdabcd", "abcdac", "cdabca"});
    ASSERT_FALSE(border.hasLine());
    int c = -1, r = -1, d = -1;
    ASSERT_TRUE(border.findMove(c, r, d));
    EXPECT_EQ(std::make_tuple(c, r, d), std::make_tuple(4, 4, 1));
    EXPECT_TRUE(border.hasMatchAfterSwap(5, 4, 3));
    EXPECT_FALSE(border.hasLine()); // the tries leave the board as it was

    cMatchBoard none = board({"abcdab", "cdabcd", "abcdab", "cdabcd", "abcdab", "cdabcd"});
    EXPECT_FALSE(none.findMove(c, r, d));
    // A swap towards the outside is not made.
    EXPECT_FALSE(none.swap(0, 0, 0));
    EXPECT_FALSE(none.swap(5, 5, 1));
    EXPECT_TRUE(none.swap(0, 0, 2));
    EXPECT_EQ(none.at(0, 0), 2);
}
