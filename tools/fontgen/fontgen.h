// The bitmap-font generator: renders the characters of a TrueType, OpenType
// or Type 1 face with FreeType into one atlas image (white glyphs whose alpha
// is their coverage, so the engine's colour tints them) and writes the font
// description file the engine's fonts read beside it. Every glyph sits in a
// cell of the full line height, so glyphs drawn at the pen line up on one
// baseline. Kerning pairs come from the face (or from an AFM metrics file for
// Type 1 faces). The same face file and options always give the same bytes.
// Used by the fontgen command, the tests and the benchmarks; single-threaded.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fontgen {

struct Options {
    std::string facePath;
    // Optional metrics file attached to the face (kerning of Type 1 faces).
    std::string metricsPath;
    int pixelSize = 14;
    // Characters wanted; those the face lacks are left out.
    std::vector<uint32_t> codes;
    int atlasWidth = 256;
    // Width in pixels of a dark outline baked around every glyph; 0 for none.
    float outline = 0.0f;
    uint32_t outlineColor = 0xFF000000;
    // Pixels by which every glyph is made bolder (a weight between the
    // face's own); its advance grows by as much, its bearing stays.
    float embolden = 0.0f;
    // Extra space added to every glyph's advance.
    float charSpacing = 0.0f;
    bool kerning = true;
    // Writes the underline keys, which turn "_" into the underline marker.
    bool underline = true;
};

struct Glyph {
    uint32_t code = 0;
    int x = 0, y = 0, width = 0, height = 0;
    float before = 0.0f, after = 0.0f;
};

struct KerningPair {
    uint32_t first = 0, second = 0;
    float amount = 0.0f;
};

struct Font {
    std::vector<Glyph> glyphs; // in code order
    std::vector<KerningPair> kerning;
    std::vector<uint32_t> missing; // wanted codes the face has no glyph for
    int lineHeight = 0;
    float underlineOffset = 0.0f, underlineThickness = 0.0f;
    int atlasWidth = 0, atlasHeight = 0;
    std::vector<uint32_t> pixels; // atlas, ARGB, row after row
};

// ASCII, Latin-1 and Cyrillic, with the punctuation of the Cyrillic narrow code page.
std::vector<uint32_t> defaultCodes();

// Renders the font; false with a message in `error` when the face cannot be used.
bool render(const Options& options, Font& out, std::string& error);

// The description file for a font whose atlas is the file `textureName`.
std::string description(const Options& options, const Font& font, const std::string& textureName);

// The atlas as a PNG file (no time stamp, fixed compression: reproducible).
std::string png(const Font& font);

// A picture of UTF-8 `text` laid out with the font's glyphs, kerning and
// spacing as the engine lays it out, over a dark background; for a look at a
// font without running the game.
Font preview(const Font& font, const Options& options, const std::string& text);

// Writes a rendered font as `folder`/`name`.ini and `folder`/`name`.png.
bool writeFont(const Options& options, const Font& font, const std::string& folder, const std::string& name,
               std::string& error);

} // namespace fontgen
