#include "fontgen.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GLYPH_H
#include FT_OUTLINE_H
#include FT_STROKER_H

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>

namespace fontgen {

namespace {

// One rendered glyph before packing: coverage of the ink (and of the
// outline when there is one), placed relative to the pen on the baseline.
struct Bitmap {
    uint32_t code = 0;
    int left = 0, top = 0, width = 0, rows = 0;
    int advance = 0;
    std::vector<uint8_t> fill, border; // width x rows each; border empty without outline
};

struct Library {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    FT_Stroker stroker = nullptr;
    ~Library()
    {
        if (stroker)
            FT_Stroker_Done(stroker);
        if (face)
            FT_Done_Face(face);
        if (library)
            FT_Done_FreeType(library);
    }
};

// Copies a rendered 8-bit bitmap into `out` at (dx, dy) of a width-`w` canvas.
void blit(const FT_Bitmap& bitmap, std::vector<uint8_t>& out, int w, int dx, int dy)
{
    for (unsigned row = 0; row < bitmap.rows; ++row) {
        const uint8_t* src = bitmap.buffer + static_cast<long>(row) * bitmap.pitch;
        for (unsigned col = 0; col < bitmap.width; ++col) {
            uint8_t& d = out[static_cast<size_t>(dy + static_cast<int>(row)) * w + dx + static_cast<int>(col)];
            d = std::max(d, src[col]);
        }
    }
}

bool renderGlyph(Library& lib, const Options& options, FT_UInt index, uint32_t code, Bitmap& out, std::string& error)
{
    FT_Face face = lib.face;
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP)) {
        error = "cannot load the glyph of U+" + std::to_string(code);
        return false;
    }
    out.code = code;
    FT_Pos advance = face->glyph->advance.x;
    if (options.embolden > 0.0f && face->glyph->format == FT_GLYPH_FORMAT_OUTLINE) {
        // The outline grows to the right and up: its bearing and baseline stay.
        const auto strength = static_cast<FT_Pos>(std::lround(options.embolden * 64.0f));
        FT_Outline_Embolden(&face->glyph->outline, strength);
        advance += strength;
    }
    out.advance = static_cast<int>(std::lround(advance / 64.0));

    FT_Glyph border = nullptr;
    if (lib.stroker && face->glyph->format == FT_GLYPH_FORMAT_OUTLINE) {
        if (FT_Get_Glyph(face->glyph, &border) || FT_Glyph_StrokeBorder(&border, lib.stroker, 0, 1) ||
            FT_Glyph_To_Bitmap(&border, FT_RENDER_MODE_NORMAL, nullptr, 1)) {
            if (border)
                FT_Done_Glyph(border);
            error = "cannot outline the glyph of U+" + std::to_string(code);
            return false;
        }
    }
    std::unique_ptr<FT_GlyphRec_, void (*)(FT_Glyph)> borderOwner(border, [](FT_Glyph g) {
        if (g)
            FT_Done_Glyph(g);
    });

    if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL)) {
        error = "cannot render the glyph of U+" + std::to_string(code);
        return false;
    }
    const FT_GlyphSlot slot = face->glyph;
    int left = slot->bitmap_left, top = slot->bitmap_top;
    int right = left + static_cast<int>(slot->bitmap.width), bottom = top - static_cast<int>(slot->bitmap.rows);
    const FT_BitmapGlyph bb = reinterpret_cast<FT_BitmapGlyph>(border);
    if (bb && bb->bitmap.width > 0 && bb->bitmap.rows > 0) {
        left = std::min(left, bb->left);
        top = std::max(top, bb->top);
        right = std::max(right, bb->left + static_cast<int>(bb->bitmap.width));
        bottom = std::min(bottom, bb->top - static_cast<int>(bb->bitmap.rows));
    }
    out.left = left;
    out.top = top;
    out.width = std::max(0, right - left);
    out.rows = std::max(0, top - bottom);
    out.fill.assign(static_cast<size_t>(out.width) * out.rows, 0);
    if (out.width == 0 || out.rows == 0) {
        out.width = out.rows = 0;
        out.left = 0;
        return true;
    }
    blit(slot->bitmap, out.fill, out.width, slot->bitmap_left - left, top - slot->bitmap_top);
    if (bb) {
        out.border.assign(out.fill.size(), 0);
        blit(bb->bitmap, out.border, out.width, bb->left - left, top - bb->top);
    }
    return true;
}

std::string number(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

void pngWrite(png_structp png, png_bytep data, png_size_t size)
{
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), size);
}

void pngFlush(png_structp)
{
}

} // namespace

std::vector<uint32_t> defaultCodes()
{
    std::vector<uint32_t> codes;
    for (uint32_t c = 0x20; c <= 0x7E; ++c)
        codes.push_back(c);
    for (uint32_t c = 0xA0; c <= 0xFF; ++c)
        codes.push_back(c);
    for (uint32_t c = 0x400; c <= 0x45F; ++c)
        codes.push_back(c);
    for (uint32_t c : {0x490u,  0x491u,  0x2013u, 0x2014u, 0x2018u, 0x2019u, 0x201Au, 0x201Cu, 0x201Du, 0x201Eu,
                       0x2020u, 0x2021u, 0x2022u, 0x2026u, 0x2030u, 0x2039u, 0x203Au, 0x20ACu, 0x2116u, 0x2122u})
        codes.push_back(c);
    return codes;
}

bool render(const Options& options, Font& out, std::string& error)
{
    out = Font{};
    if (options.pixelSize < 4 || options.pixelSize > 256) {
        error = "pixel size out of range (4..256)";
        return false;
    }
    if (!(options.embolden >= 0.0f && options.embolden <= options.pixelSize / 4.0f)) {
        error = "embolden out of range (0 to a quarter of the pixel size)";
        return false;
    }
    if (options.atlasWidth < 16 || options.atlasWidth > 4096) {
        error = "atlas width out of range (16..4096)";
        return false;
    }
    Library lib;
    if (FT_Init_FreeType(&lib.library)) {
        error = "FreeType did not start";
        return false;
    }
    if (FT_New_Face(lib.library, options.facePath.c_str(), 0, &lib.face)) {
        error = "cannot open the face " + options.facePath;
        return false;
    }
    if (!options.metricsPath.empty() && FT_Attach_File(lib.face, options.metricsPath.c_str())) {
        error = "cannot read the metrics " + options.metricsPath;
        return false;
    }
    if (FT_Set_Pixel_Sizes(lib.face, 0, static_cast<FT_UInt>(options.pixelSize))) {
        error = "the face has no size " + std::to_string(options.pixelSize);
        return false;
    }
    if (options.outline > 0.0f) {
        if (FT_Stroker_New(lib.library, &lib.stroker)) {
            error = "FreeType has no stroker";
            return false;
        }
        FT_Stroker_Set(lib.stroker, static_cast<FT_Fixed>(std::lround(options.outline * 64.0f)),
                       FT_STROKER_LINECAP_ROUND, FT_STROKER_LINEJOIN_ROUND, 0);
    }

    const std::set<uint32_t> wanted(options.codes.begin(), options.codes.end());
    std::vector<Bitmap> bitmaps;
    std::vector<FT_UInt> indexes;
    for (uint32_t code : wanted) {
        const FT_UInt index = code <= 0xFFFF ? FT_Get_Char_Index(lib.face, code) : 0;
        if (index == 0) {
            out.missing.push_back(code);
            continue;
        }
        Bitmap bitmap;
        if (!renderGlyph(lib, options, index, code, bitmap, error))
            return false;
        bitmaps.push_back(std::move(bitmap));
        indexes.push_back(index);
    }
    if (bitmaps.empty()) {
        error = "the face has none of the wanted characters";
        return false;
    }

    // One cell height for every glyph: from the highest ink (or the ascender)
    // down to the lowest ink (or the descender).
    const FT_Size_Metrics& metrics = lib.face->size->metrics;
    int top = static_cast<int>(std::ceil(metrics.ascender / 64.0));
    int bottom = static_cast<int>(std::floor(metrics.descender / 64.0));
    int widest = 0;
    for (const Bitmap& b : bitmaps) {
        if (b.width == 0)
            continue;
        top = std::max(top, b.top);
        bottom = std::min(bottom, b.top - b.rows);
        widest = std::max(widest, b.width);
    }
    out.lineHeight = top - bottom;
    out.atlasWidth = std::max(options.atlasWidth, widest + 2);

    // Shelf packing with a transparent gap of one texel around every cell, so
    // filtering a scaled or rotated glyph never picks up its neighbour.
    const int extraAdvance = static_cast<int>(std::lround(options.outline));
    int x = 1, y = 1;
    for (const Bitmap& b : bitmaps) {
        if (x + b.width + 1 > out.atlasWidth) {
            x = 1;
            y += out.lineHeight + 1;
        }
        Glyph g;
        g.code = b.code;
        g.x = x;
        g.y = y;
        g.width = b.width;
        g.height = out.lineHeight;
        g.before = static_cast<float>(b.left);
        g.after = static_cast<float>(b.advance + extraAdvance - b.left - b.width);
        out.glyphs.push_back(g);
        x += b.width + (b.width > 0 ? 1 : 0);
    }
    out.atlasHeight = y + out.lineHeight + 1;

    // Texels outside the ink carry the colour of the glyph's edge, so that
    // filtering does not pull a light or dark fringe into the edge.
    const uint32_t edge = options.outline > 0.0f ? (options.outlineColor & 0x00FFFFFF) : 0x00FFFFFF;
    out.pixels.assign(static_cast<size_t>(out.atlasWidth) * out.atlasHeight, edge);
    const int outlineR = (options.outlineColor >> 16) & 0xFF, outlineG = (options.outlineColor >> 8) & 0xFF,
              outlineB = options.outlineColor & 0xFF;
    for (size_t i = 0; i < bitmaps.size(); ++i) {
        const Bitmap& b = bitmaps[i];
        const Glyph& g = out.glyphs[i];
        const int dy = top - b.top;
        for (int row = 0; row < b.rows; ++row) {
            for (int col = 0; col < b.width; ++col) {
                const size_t at = static_cast<size_t>(row) * b.width + col;
                const int f = b.fill[at];
                const int o = b.border.empty() ? 0 : b.border[at];
                const int a = std::max(f, o);
                uint32_t texel;
                if (b.border.empty()) {
                    texel = (static_cast<uint32_t>(a) << 24) | 0x00FFFFFF;
                } else {
                    // White ink over the outline colour, mixed by ink coverage.
                    const auto mix = [f](int c) {
                        return static_cast<uint32_t>((c * (255 - f) + 255 * f + 127) / 255);
                    };
                    texel =
                        (static_cast<uint32_t>(a) << 24) | (mix(outlineR) << 16) | (mix(outlineG) << 8) | mix(outlineB);
                }
                out.pixels[static_cast<size_t>(g.y + dy + row) * out.atlasWidth + g.x + col] = texel;
            }
        }
    }

    if (options.underline) {
        const FT_Face face = lib.face;
        const double position = FT_MulFix(face->underline_position, metrics.y_scale) / 64.0;
        const double thickness = FT_MulFix(face->underline_thickness, metrics.y_scale) / 64.0;
        out.underlineThickness = std::max(1.0f, static_cast<float>(std::lround(thickness)));
        // The quad hangs from this offset below the cell's top.
        long offset = std::lround(top - position - out.underlineThickness / 2.0);
        offset = std::clamp(offset, 1L, static_cast<long>(out.lineHeight - 1));
        out.underlineOffset = static_cast<float>(offset);
    }

    if (options.kerning && FT_HAS_KERNING(lib.face)) {
        for (size_t a = 0; a < indexes.size(); ++a) {
            for (size_t b = 0; b < indexes.size(); ++b) {
                FT_Vector amount{};
                if (FT_Get_Kerning(lib.face, indexes[a], indexes[b], FT_KERNING_DEFAULT, &amount) == 0 && amount.x != 0)
                    out.kerning.push_back({bitmaps[a].code, bitmaps[b].code, static_cast<float>(amount.x / 64.0)});
            }
        }
    }
    return true;
}

std::string description(const Options& options, const Font& font, const std::string& textureName)
{
    std::string text;
    text += "; made by tools/fontgen: " + std::filesystem::path(options.facePath).filename().string() + ", " +
            std::to_string(options.pixelSize) + " px\n";
    text += "[General]\nFormat16=4444\nFormat32=8888\n";
    text += "Texture=" + textureName + "\n";
    text += "CharSpacing=" + number(options.charSpacing) + "\n";
    if (options.underline) {
        text += "UnderlineDY=" + number(font.underlineOffset) + "\n";
        text += "UnderlineThickness=" + number(font.underlineThickness) + "\n";
        // Zero: the underline takes the colour of the text.
        text += "UnderlineColor=0\n";
    }
    text += "\n[Charlist]\n";
    char line[128];
    for (const Glyph& g : font.glyphs) {
        std::snprintf(line, sizeof line, "%X=%d %d %d %d %s %s\n", g.code, g.x, g.y, g.width, g.height,
                      number(g.before).c_str(), number(g.after).c_str());
        text += line;
    }
    if (!font.kerning.empty()) {
        text += "\n[KerningPairs]\n";
        for (size_t i = 0; i < font.kerning.size(); ++i) {
            const KerningPair& k = font.kerning[i];
            std::snprintf(line, sizeof line, "%zu=%X %X %s\n", i, k.first, k.second, number(k.amount).c_str());
            text += line;
        }
    }
    return text;
}

std::string png(const Font& font)
{
    std::string bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return {};
    }
    std::vector<uint8_t> row(static_cast<size_t>(font.atlasWidth) * 4);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &bytes, pngWrite, pngFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(font.atlasWidth), static_cast<png_uint_32>(font.atlasHeight), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    for (int y = 0; y < font.atlasHeight; ++y) {
        for (int x = 0; x < font.atlasWidth; ++x) {
            const uint32_t p = font.pixels[static_cast<size_t>(y) * font.atlasWidth + x];
            row[x * 4 + 0] = static_cast<uint8_t>(p >> 16);
            row[x * 4 + 1] = static_cast<uint8_t>(p >> 8);
            row[x * 4 + 2] = static_cast<uint8_t>(p);
            row[x * 4 + 3] = static_cast<uint8_t>(p >> 24);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return bytes;
}

Font preview(const Font& font, const Options& options, const std::string& text)
{
    std::vector<uint32_t> codes;
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const int length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : 0;
        if (length == 0 || i + length > text.size())
            break;
        uint32_t code = length == 1 ? c : length == 2 ? c & 0x1F : c & 0x0F;
        for (int k = 1; k < length; ++k)
            code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        codes.push_back(code);
        i += length;
    }
    const auto find = [&font](uint32_t code) -> const Glyph* {
        const auto it = std::lower_bound(font.glyphs.begin(), font.glyphs.end(), code,
                                         [](const Glyph& g, uint32_t c) { return g.code < c; });
        return it != font.glyphs.end() && it->code == code ? &*it : nullptr;
    };
    // Pen positions first, then a canvas wide enough for them.
    std::vector<std::pair<const Glyph*, float>> placed;
    float pen = 0.0f;
    uint32_t previous = 0;
    for (size_t i = 0; i < codes.size(); ++i) {
        const Glyph* g = find(codes[i]);
        if (g) {
            if (i > 0) {
                pen += g->before;
                for (const KerningPair& k : font.kerning)
                    if (k.first == previous && k.second == codes[i]) {
                        pen += k.amount;
                        break;
                    }
            }
            placed.push_back({g, pen});
            pen += static_cast<float>(g->width) + g->after + options.charSpacing;
        }
        previous = codes[i];
    }
    Font out;
    out.atlasWidth = std::max(1, static_cast<int>(std::ceil(pen)) + 8);
    out.atlasHeight = font.lineHeight + 8;
    out.pixels.assign(static_cast<size_t>(out.atlasWidth) * out.atlasHeight, 0xFF203040);
    for (const auto& [g, x] : placed) {
        for (int row = 0; row < g->height; ++row) {
            for (int col = 0; col < g->width; ++col) {
                const int tx = 4 + static_cast<int>(x) + col, ty = 4 + row;
                if (tx < 0 || tx >= out.atlasWidth)
                    continue;
                const uint32_t src = font.pixels[static_cast<size_t>(g->y + row) * font.atlasWidth + g->x + col];
                uint32_t& dst = out.pixels[static_cast<size_t>(ty) * out.atlasWidth + tx];
                const uint32_t a = src >> 24;
                uint32_t mixed = 0xFF000000;
                for (int shift = 0; shift < 24; shift += 8) {
                    const uint32_t s = (src >> shift) & 0xFF, d = (dst >> shift) & 0xFF;
                    mixed |= ((s * a + d * (255 - a) + 127) / 255) << shift;
                }
                dst = mixed;
            }
        }
    }
    return out;
}

bool writeFont(const Options& options, const Font& font, const std::string& folder, const std::string& name,
               std::string& error)
{
    const std::string image = png(font);
    if (image.empty()) {
        error = "cannot encode the atlas";
        return false;
    }
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const std::string base = folder + "/" + name;
    const std::pair<std::string, std::string> files[] = {{base + ".png", image},
                                                         {base + ".ini", description(options, font, name + ".png")}};
    for (const auto& [path, bytes] : files) {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!file) {
            error = "cannot write " + path;
            return false;
        }
    }
    return true;
}

} // namespace fontgen
