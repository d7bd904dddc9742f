// Reads a font description file in the INI form: the "General" section
// (texture, its formats, character spacing, underline), the "Charlist"
// section (one glyph per hexadecimal character code) and the optional
// "KerningPairs" section. Made and owned by aFont; the font takes its data
// over after loading. Runs on the thread that constructs the font.
#pragma once

#include <cstdint>
#include <string>

#include "orvo/gfx/a_fontdataloader.h"
#include "orvo/gfx/a_image.h"
#include "orvo/platform/gpu/a_gpuformat.h"
#include "orvo/util/a_geometry.h"

class aOptionsFile;

class aFontDataLoaderINI : public aFontDataLoader {
public:
    // Reads the file at once.
    explicit aFontDataLoaderINI(const char* path);

    // False when the file gave no bytes; the data read so far stays.
    [[nodiscard]] bool load(const char* path) override;

    // The texture, loaded from the description's folder plus "Texture" in
    // its formats for 16- and 32-bit displays.
    aImage texture;
    std::string texturePath;
    aGpuFormat format16 = aGpuFormat::Unknown;
    aGpuFormat format32 = aGpuFormat::Unknown;

    float size = 1.0f;
    float rotation = 0.0f;
    aColor color = 0xFFFFFFFF;
    float nativeHeight = 0.0f; // the largest glyph height
    float charSpacing = 0.0f;
    aFontGlyphTable glyphs = aFontGlyphTable(A_FONT_GLYPH_TABLE_SIZE);
    float underlineOffset = 0.0f;
    float underlineThickness = 1.0f;
    aColor underlineColor = 0xFFFFFFFF;
    aFontKerningMap kerning;

private:
    void readGeneral(aOptionsFile& file, const char* path);
    void readCharlist(aOptionsFile& file, const char* path);
    void readKerningPairs(aOptionsFile& file, const char* path);
};
