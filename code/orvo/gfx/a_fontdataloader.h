// What a font is made of, and the abstract loader that reads it from a
// description file: glyph records in a table indexed by UTF-16 code unit,
// and kerning entries keyed by the second character of a pair. A loader is
// owned by the font it was made for; loading runs on the thread that
// constructs the font.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "orvo/util/a_root.h"

// A glyph: its rectangle in the font texture and the space around it.
struct aFontGlyph {
    int16_t x = 0;
    int16_t y = 0;
    int16_t width = 0;
    int16_t height = 0;
    float before = 0.0f; // added before the glyph, except at the start of a text
    float after = 0.0f;
    uint8_t kerning = 0; // some kerning pair has this character second
};

struct aFontKerning {
    uint32_t first = 0;
    float amount = 0.0f;
};

// Second character -> (first character, amount), in file order among equal keys.
using aFontKerningMap = std::multimap<uint32_t, aFontKerning>;

// One entry per UTF-16 code unit; null where the font has no glyph.
using aFontGlyphTable = std::vector<std::unique_ptr<aFontGlyph>>;
constexpr size_t A_FONT_GLYPH_TABLE_SIZE = 0x10000;

class aFontDataLoader : public aRoot {
public:
    [[nodiscard]] virtual bool load(const char* path) = 0;
};
