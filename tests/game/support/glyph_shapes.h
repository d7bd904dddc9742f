// How a line of text falls apart into glyphs on the screen, as a reader's
// eye parts ink from ground: a pixel of the frame is ink where its lightness
// (CIE L*) lies nearer the letters' than the ground's. The test draws each
// glyph's whole shape (outline too) on its own, in a scene of its own after
// the frame, to learn which glyph each piece of ink belongs to; a piece that
// belongs to two glyphs joins them, and the ground a glyph encloses (where a
// flood from outside its box does not reach) is its counters.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/support/harness.h"

class aFont;

namespace kbtest {

struct GlyphShape {
    wchar_t c = 0;
    int inkPixels = 0;
    // Enclosed pieces of ground (4-connected) and the pixels of the smallest.
    int holes = 0;
    int smallestHole = 0;
};

struct TextShapes {
    std::vector<GlyphShape> glyphs; // one per character of the text, spaces too
    // Pairs of glyph indexes whose ink touches (8-connected).
    std::vector<std::pair<size_t, size_t>> joins;
    // The fewest ground pixels between neighbouring glyphs with ink (Chebyshev
    // distance less one: 0 where they touch); -1 with fewer than two glyphs.
    int smallestGap = -1;
    double textL = 0.0, groundL = 0.0; // L* of the letters and of the clean ground
};

// The text as the font, at `size`, lays it out from (x, y) with `flags`
// (aFontFlags; no rotation), over `frame` (the game's last frame, where the
// game drew it).
TextShapes textShapes(GameHarness& h, const std::vector<uint32_t>& frame, aFont* font, float size, float x, float y,
                      const std::wstring& text, uint32_t flags);

// The enclosed counters that must stay open in the common glyphs (0, 4, 6,
// 8, 9, $, ...); 0 for any other.
int countersOf(wchar_t c);

// "'1''4''0''$'... joined 0-$; holes $:1/2" and the figures, for failure messages.
std::string describeShapes(const TextShapes& shapes);

} // namespace kbtest
