#include "orvo/gfx/a_fontdataloaderini.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "orvo/app/a_file.h"
#include "orvo/app/a_optionsfile.h"
#include "orvo/platform/gpu/a_gpuformat.h"
#include "orvo/util/a_log.h"

namespace {

// The texture format a description names by its bit layout.
aGpuFormat textureFormat(int32_t name)
{
    switch (name) {
    case 565:
        return aGpuFormat::R5G6B5;
    case 1555:
        return aGpuFormat::A1R5G5B5;
    case 4444:
        return aGpuFormat::A4R4G4B4;
    case 8888:
        return aGpuFormat::A8R8G8B8;
    default:
        return aGpuFormat::Unknown;
    }
}

// Leading number of the text as a float; 0 when there is none.
float toFloat(const std::string& text)
{
    return std::strtof(text.c_str(), nullptr);
}

// Reads a number of the description into `out`. NaN, an infinity or a value
// past float's range would make every text size that meets it NaN, so such a
// number is refused (logged, `out` unchanged).
void readFinite(const std::string& key, const std::string& value, float& out, const char* path)
{
    const float number = toFloat(value);
    if (std::isfinite(number))
        out = number;
    else
        a_log("aFont. Bad number in \"%s=%s\" in %s", key.c_str(), value.c_str(), path);
}

// Hexadecimal number at `text` (blanks and "0x" allowed); false when there is none.
bool toHex(const char*& text, uint32_t& out)
{
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 16);
    if (end == text)
        return false;
    text = end;
    out = value > 0xFFFFFFFFul ? 0xFFFFFFFFu : static_cast<uint32_t>(value);
    return true;
}

} // namespace

aFontDataLoaderINI::aFontDataLoaderINI(const char* path)
{
    (void)load(path);
}

bool aFontDataLoaderINI::load(const char* path)
{
    nativeHeight = 0.0f;
    kerning.clear();
    aOptionsFile file;
    const bool read = file.loadFile(path);
    readGeneral(file, path);
    readCharlist(file, path);
    readKerningPairs(file, path);
    return read;
}

void aFontDataLoaderINI::readGeneral(aOptionsFile& file, const char* path)
{
    // NOTE: without the section nothing else may be read in its place (the
    // current section would still be the first one), so it reads as all missing.
    const bool general = file.setSection("General");
    format16 = general ? textureFormat(file.getInt("Format16")) : aGpuFormat::Unknown;
    format32 = general ? textureFormat(file.getInt("Format32")) : aGpuFormat::Unknown;
    if (format16 == aGpuFormat::Unknown || format32 == aGpuFormat::Unknown)
        a_log("aFont. Unknown texture format: %s", path);
    if (!general)
        return;

    texturePath = file_getPath(path) + file.getString("Texture");
    texture.load(texturePath, format16, format32);
    readFinite("CharSpacing", file.getString("CharSpacing"), charSpacing, path);
    if (file.findKey("UnderlineDY"))
        readFinite("UnderlineDY", file.getString("UnderlineDY"), underlineOffset, path);
    if (file.findKey("UnderlineThickness"))
        readFinite("UnderlineThickness", file.getString("UnderlineThickness"), underlineThickness, path);
    if (file.findKey("UnderlineColor")) {
        const std::string value = file.getString("UnderlineColor");
        const char* text = value.c_str();
        uint32_t colour = 0;
        if (toHex(text, colour))
            underlineColor = colour;
    }
}

void aFontDataLoaderINI::readCharlist(aOptionsFile& file, const char* path)
{
    for (auto& glyph : glyphs)
        glyph.reset();
    if (!file.setSection("Charlist"))
        return;
    for (file.firstKey(); !file.isKeyEnd(); file.nextKey()) {
        const std::string key = file.getKeyName();
        const char* text = key.c_str();
        uint32_t code = 0;
        if (!toHex(text, code)) {
            a_log("aFont. Bad character code \"%s\" in %s", key.c_str(), path);
            continue;
        }
        if (code >= A_FONT_GLYPH_TABLE_SIZE)
            continue;
        auto& glyph = glyphs[code];
        if (!glyph)
            glyph = std::make_unique<aFontGlyph>();
        const std::string value = file.getKeyValue();
        // Fields the value does not supply keep what they held (a repeated code
        // reuses its record); so does an offset that is not a finite number.
        int used = 0;
        if (std::sscanf(value.c_str(), "%hi %hi %hi %hi%n", &glyph->x, &glyph->y, &glyph->width, &glyph->height,
                        &used) == 4) {
            const char* text = value.c_str() + used;
            bool refused = false;
            for (float* offset : {&glyph->before, &glyph->after}) {
                char* end = nullptr;
                const float number = std::strtof(text, &end);
                if (end == text)
                    break;
                text = end;
                if (std::isfinite(number))
                    *offset = number;
                else
                    refused = true;
            }
            if (refused)
                a_log("aFont. Bad number in \"%s=%s\" in %s", key.c_str(), value.c_str(), path);
        }
        // A rectangle cannot be negative; such a glyph is kept but takes no room.
        if (glyph->width < 0)
            glyph->width = 0;
        if (glyph->height < 0)
            glyph->height = 0;
        glyph->kerning = 0;
        if (glyph->height > nativeHeight)
            nativeHeight = glyph->height;
    }
}

void aFontDataLoaderINI::readKerningPairs(aOptionsFile& file, const char* path)
{
    if (!file.setSection("KerningPairs"))
        return;
    for (file.firstKey(); !file.isKeyEnd(); file.nextKey()) {
        const std::string value = file.getKeyValue();
        const char* text = value.c_str();
        uint32_t first = 0, second = 0;
        char* end = nullptr;
        bool complete = toHex(text, first) && toHex(text, second);
        const float amount = complete ? std::strtof(text, &end) : 0.0f;
        complete = complete && end != text && std::isfinite(amount);
        if (!complete) {
            a_log("aFont. Bad kerning pair \"%s\" in %s", value.c_str(), path);
            continue;
        }
        if (second >= A_FONT_GLYPH_TABLE_SIZE || !glyphs[second])
            continue;
        glyphs[second]->kerning = 1;
        kerning.insert({second, aFontKerning{first, amount}});
    }
}
