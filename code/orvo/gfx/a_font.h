// A bitmap font: measures and draws wide (UTF-16) text with glyphs cut from
// one texture, as a font description file describes them. Fonts are scaled
// (a negative size asks for a height in pixels), rotated, coloured, spaced
// per character, aligned around the given point, and underline the single
// character after a "_" when the font has an underline offset.
// Owned by whoever creates it (the toolkit's server, the game); loading and
// measuring may run on any one thread at a time, drawing on the main thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "orvo/gfx/a_fontdataloader.h"
#include "orvo/gfx/a_image.h"
#include "orvo/util/a_geometry.h"

class aGDI;

// Alignment of drawText around its point; without any, the point is the text's top-left.
enum aFontFlags : uint32_t {
    A_FONT_CENTER_X = 0x01,
    A_FONT_RIGHT = 0x02, // wins over A_FONT_CENTER_X
    A_FONT_CENTER_Y = 0x04,
    A_FONT_BOTTOM = 0x08,      // wins over A_FONT_CENTER_Y
    A_FONT_WHOLE_PIXEL = 0x10, // each glyph on a whole pixel
};

struct aTextSize {
    float width = 0.0f;
    float height = 0.0f;
};

class aFont {
public:
    explicit aFont(const char* path);
    ~aFont();
    aFont(const aFont&) = delete;
    aFont& operator=(const aFont&) = delete;

    // Reads a description file ("ini" is the only kind there is); any other
    // is logged and leaves the font empty. False when no loader was made.
    [[nodiscard]] bool load(const char* path);

    // size >= 0 scales by size; size < 0 scales the font to -size pixels high.
    void setSize(float size);
    float getSize() const { return m_size; }
    float getScale() const { return m_scale; }
    // Radians, clockwise on screen (y grows downward).
    void setRotation(float angle);
    float getRotation() const { return m_rotation; }

    aRect getCharRect(uint32_t c) const;
    float getCharOffsetBefore(uint32_t c) const;
    float getCharOffsetAfter(uint32_t c) const;
    float getNativeHeight() const { return m_nativeHeight; }
    float getCharSpacing() const { return m_charSpacing; }
    float getUnderlineOffset() const { return m_underlineOffset; }

    // Width and height of the text in pixels, at the current scale.
    aTextSize getTextSize(std::wstring_view text) const;
    // Narrow text, converted from the system's narrow code page.
    aTextSize getTextSizeA(std::string_view text) const;

    // Draws inside a frame of the graph server, aligned around (x, y) by the
    // flags (aFontFlags). Main thread only.
    void drawText(float x, float y, std::wstring_view text, uint32_t flags = 0);
    void drawTextA(float x, float y, std::string_view text, uint32_t flags = 0);
    // printf-style forms; the wide one takes "%ls" for wide strings. Nothing
    // is drawn when formatting fails or gives no text; any length is drawn whole.
    void drawTextFormat(float x, float y, uint32_t flags, const wchar_t* format, ...);
    void drawTextFormatA(float x, float y, uint32_t flags, const char* format, ...)
        __attribute__((format(printf, 5, 6)));

    // Shared by every font, for underlines; null while no font is loaded.
    static aGDI* getSharedGDI();

    aColor color = 0xFFFFFFFF;

private:
    const aFontGlyph* glyph(uint32_t c) const
    {
        return c < A_FONT_GLYPH_TABLE_SIZE && m_glyphs ? (*m_glyphs)[c].get() : nullptr;
    }
    // Amount for `c` following `previous`; only glyphs flagged for kerning have any.
    float kerningAmount(uint32_t previous, uint32_t c, const aFontGlyph& g) const;
    void releaseShared();

    std::unique_ptr<aFontDataLoader> m_loader;
    aImage m_texture;
    float m_size = 1.0f;
    float m_rotation = 0.0f;
    float m_nativeHeight = 0.0f;
    float m_charSpacing = 0.0f;
    float m_scale = 1.0f;
    float m_underlineOffset = 0.0f;
    float m_underlineThickness = 1.0f;
    aColor m_underlineColor = 0xFFFFFFFF;
    const aFontGlyphTable* m_glyphs = nullptr; // the loader's table
    aFontKerningMap m_kerning;
    float m_cos = 1.0f;
    float m_sin = 0.0f;
    bool m_counted = false; // this font holds one count of the shared aGDI
};
