// The contrast of a text against what is behind it, as a reader meets it on
// the screen. The test draws the text's ink on its own (white over black, in
// a scene of its own after the game's frame) to learn which pixels the text
// covers; in the game's frame the covered pixels show the text and the clean
// pixels right around them show what lies behind: the ground, a bubble's
// strip, or the text's own outline where its font has one.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "game/support/harness.h"

class aFont;

namespace kbtest {

// The frame the game drew last and the ink of a text over it: `draw` draws
// the text in white (the test sets the font's size and colour), in a scene of
// its own after the frame, which it overwrites; the ink is each pixel's
// coverage, 0 to 255, row by row over the 1024 x 768 screen.
struct TextOnScreen {
    std::vector<uint32_t> frame;
    std::vector<uint8_t> ink;
};
TextOnScreen textOnScreen(GameHarness& h, const std::function<void()>& draw);
// The same over a frame taken before (several texts of one frame).
TextOnScreen textOnScreen(GameHarness& h, const std::vector<uint32_t>& frame, const std::function<void()>& draw);

// The contrast ratio (relative luminances L, (Lhi + 0.05) / (Llo + 0.05)) of
// the text against what surrounds its ink: the median of the (nearly) fully covered
// pixels against the clean pixels next to the ink, taken at the quartile
// nearest to the text (the lighter quarter around a light text, the darker
// around a dark one), so that a drop shadow on one side does not count as
// what the text stands on. 0 when the ink covers too few pixels to judge.
double textContrast(const TextOnScreen& text);

// A description of the measure for failure messages.
std::string describeContrast(const TextOnScreen& text);

// Draws a line of text in white, as the game places it (for `textOnScreen`);
// nothing without a font.
std::function<void()> ink(aFont* font, float size, float x, float y, const std::wstring& text, uint32_t flags);
// The same for the text's whole shape, its outline too: the letters a dark
// text with a dark outline reads by.
std::function<void()> silhouette(aFont* font, float size, float x, float y, const std::wstring& text, uint32_t flags);

// The relative luminance (0 to 1) of an sRGB colour.
double relativeLuminance(uint32_t argb);

} // namespace kbtest
