#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "fontgen.h"
#include "support/temp_dir.h"

namespace {

constexpr const char* kSans = "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf";

fontgen::Options sans(int pixels = 14)
{
    fontgen::Options o;
    o.facePath = kSans;
    o.pixelSize = pixels;
    o.codes = fontgen::defaultCodes();
    return o;
}

uint32_t alphaAt(const fontgen::Font& f, int x, int y)
{
    return f.pixels[static_cast<size_t>(y) * f.atlasWidth + x] >> 24;
}

} // namespace

TEST(FontGen, GlyphCellsShareOneHeightAndNeverOverlapOrTouch)
{
    fontgen::Font font;
    std::string error;
    ASSERT_TRUE(fontgen::render(sans(), font, error)) << error;
    EXPECT_TRUE(font.missing.empty());
    EXPECT_EQ(font.glyphs.size(), fontgen::defaultCodes().size());
    EXPECT_GE(font.lineHeight, 14);
    EXPECT_EQ(static_cast<size_t>(font.atlasWidth) * font.atlasHeight, font.pixels.size());
    for (size_t i = 0; i < font.glyphs.size(); ++i) {
        const auto& a = font.glyphs[i];
        EXPECT_EQ(a.height, font.lineHeight);
        ASSERT_GE(a.x, 1);
        ASSERT_GE(a.y, 1);
        ASSERT_LE(a.x + a.width + 1, font.atlasWidth);
        ASSERT_LE(a.y + a.height + 1, font.atlasHeight);
        // A transparent gap of at least one texel to every other cell with ink.
        for (size_t j = i + 1; j < font.glyphs.size(); ++j) {
            const auto& b = font.glyphs[j];
            if (a.width == 0 || b.width == 0)
                continue;
            const bool apart =
                a.x + a.width < b.x || b.x + b.width < a.x || a.y + a.height < b.y || b.y + b.height < a.y;
            EXPECT_TRUE(apart) << a.code << " and " << b.code;
        }
    }
    // Ink only inside cells: the gap column left of the first cell is clear.
    for (int y = 0; y < font.atlasHeight; ++y)
        EXPECT_EQ(alphaAt(font, 0, y), 0u);
}

TEST(FontGen, SpacingMatchesTheFaceAdvanceAndKerningComesFromTheFace)
{
    fontgen::Font font;
    std::string error;
    ASSERT_TRUE(fontgen::render(sans(), font, error)) << error;
    const auto glyph = [&font](uint32_t c) {
        return *std::find_if(font.glyphs.begin(), font.glyphs.end(), [c](const auto& g) { return g.code == c; });
    };
    // Before + width + after is the pen advance; at 14 px Liberation Sans' space is 4 px.
    const auto space = glyph(' ');
    EXPECT_EQ(space.width, 0);
    EXPECT_EQ(space.before + space.after, 4.0f);
    const auto a = glyph('A'), l = glyph('l');
    EXPECT_EQ(a.before + a.width + a.after, 9.0f);
    EXPECT_GT(a.width, 0);
    EXPECT_GT(l.width, 0);
    // The cell's ink is there.
    uint32_t ink = 0;
    for (int y = a.y; y < a.y + a.height; ++y)
        for (int x = a.x; x < a.x + a.width; ++x)
            ink = std::max(ink, alphaAt(font, x, y));
    EXPECT_EQ(ink, 255u);

    const auto pair = std::find_if(font.kerning.begin(), font.kerning.end(),
                                   [](const auto& k) { return k.first == 'A' && k.second == 'V'; });
    ASSERT_NE(pair, font.kerning.end());
    EXPECT_LT(pair->amount, 0.0f);
    for (const auto& k : font.kerning)
        EXPECT_NE(k.amount, 0.0f);

    auto options = sans();
    options.kerning = false;
    ASSERT_TRUE(fontgen::render(options, font, error));
    EXPECT_TRUE(font.kerning.empty());
}

TEST(FontGen, TheDescriptionListsEveryGlyphInHexAndIsReproducible)
{
    auto options = sans();
    options.codes = {0x41, 0x56, 0x416, 0x5F, 0x1F600, 0x4E00};
    options.charSpacing = 1.5f;
    fontgen::Font font;
    std::string error;
    ASSERT_TRUE(fontgen::render(options, font, error)) << error;
    // Liberation has no CJK and nothing can be above the wide table.
    EXPECT_EQ(font.missing, (std::vector<uint32_t>{0x4E00, 0x1F600}));
    const std::string text = fontgen::description(options, font, "x.png");
    EXPECT_NE(text.find("[General]\nFormat16=4444\nFormat32=8888\nTexture=x.png\nCharSpacing=1.5\n"),
              std::string::npos);
    EXPECT_NE(text.find("UnderlineColor=0\n"), std::string::npos);
    EXPECT_NE(text.find("\n416="), std::string::npos);
    EXPECT_NE(text.find("\n5F="), std::string::npos);
    EXPECT_NE(text.find("[KerningPairs]\n0=41 56 -1\n"), std::string::npos) << text;

    kbtest::TempDir one("fg1"), two("fg2");
    ASSERT_TRUE(fontgen::writeFont(options, font, one.path(), "f", error));
    fontgen::Font again;
    ASSERT_TRUE(fontgen::render(options, again, error));
    ASSERT_TRUE(fontgen::writeFont(options, again, two.path(), "f", error));
    EXPECT_EQ(kbtest::readFile(one.file("f.png")), kbtest::readFile(two.file("f.png")));
    EXPECT_EQ(kbtest::readFile(one.file("f.ini")), kbtest::readFile(two.file("f.ini")));
    EXPECT_EQ(kbtest::readFile(one.file("f.png")).substr(1, 3), "PNG");
}

TEST(FontGen, AnOutlineDarkensTheEdgeAndWidensTheGlyph)
{
    auto options = sans(22);
    options.codes = {'I'};
    fontgen::Font plain, outlined;
    std::string error;
    ASSERT_TRUE(fontgen::render(options, plain, error));
    options.outline = 1.5f;
    ASSERT_TRUE(fontgen::render(options, outlined, error));
    const auto& p = plain.glyphs[0];
    const auto& o = outlined.glyphs[0];
    EXPECT_GE(o.width, p.width + 2);
    // Advance grows by the rounded outline width.
    EXPECT_EQ(o.before + o.width + o.after, p.before + p.width + p.after + 2);
    // The middle row: dark opaque at the left edge, white inside.
    const int row = o.y + o.height / 2;
    uint32_t leftmostOpaque = 0,
             centre = outlined.pixels[static_cast<size_t>(row) * outlined.atlasWidth + o.x + o.width / 2];
    for (int x = o.x; x < o.x + o.width; ++x) {
        const uint32_t px = outlined.pixels[static_cast<size_t>(row) * outlined.atlasWidth + x];
        if ((px >> 24) == 255) {
            leftmostOpaque = px;
            break;
        }
    }
    EXPECT_EQ(leftmostOpaque, 0xFF000000u);
    EXPECT_EQ(centre, 0xFFFFFFFFu);
}

TEST(FontGen, EmboldeningThickensTheStemsAndKeepsTheBearingAndBaseline)
{
    auto options = sans(22);
    options.codes = {'I', 'o'};
    fontgen::Font plain, bold;
    std::string error;
    ASSERT_TRUE(fontgen::render(options, plain, error));
    options.embolden = 1.0f;
    ASSERT_TRUE(fontgen::render(options, bold, error)) << error;
    const auto opaque = [](const fontgen::Font& f, const fontgen::Glyph& g, int row) {
        int n = 0;
        for (int x = g.x; x < g.x + g.width; ++x)
            n += alphaAt(f, x, g.y + row) >= 128 ? 1 : 0;
        return n;
    };
    for (size_t i = 0; i < 2; ++i) {
        const auto &p = plain.glyphs[i], &b = bold.glyphs[i];
        SCOPED_TRACE(static_cast<char>(p.code));
        EXPECT_EQ(b.before, p.before);
        EXPECT_EQ(b.before + b.width + b.after, p.before + p.width + p.after + 1.0f);
        EXPECT_GE(b.width, p.width);
    }
    // The stem of "I", halfway down its cell, one texel wider; the baseline (its
    // lowest opaque row) where it was.
    const auto &p = plain.glyphs[0], &b = bold.glyphs[0];
    EXPECT_EQ(opaque(bold, b, b.height / 2), opaque(plain, p, p.height / 2) + 1);
    const auto lowest = [&](const fontgen::Font& f, const fontgen::Glyph& g) {
        int row = -1;
        for (int r = 0; r < g.height; ++r)
            row = opaque(f, g, r) > 0 ? r : row;
        return row;
    };
    EXPECT_EQ(lowest(bold, b) - bold.lineHeight, lowest(plain, p) - plain.lineHeight);
}

TEST(FontGen, BadInputIsRefusedWithAReason)
{
    fontgen::Font font;
    std::string error;
    auto options = sans();
    options.facePath = "/nonexistent/face.ttf";
    EXPECT_FALSE(fontgen::render(options, font, error));
    EXPECT_NE(error.find("cannot open the face"), std::string::npos);

    options = sans();
    options.pixelSize = 0;
    EXPECT_FALSE(fontgen::render(options, font, error));

    for (float embolden : {-0.5f, 4.0f, std::nanf("")}) {
        options = sans();
        options.embolden = embolden;
        EXPECT_FALSE(fontgen::render(options, font, error)) << embolden;
        EXPECT_NE(error.find("embolden out of range"), std::string::npos);
    }

    options = sans();
    options.codes = {0x4E00};
    EXPECT_FALSE(fontgen::render(options, font, error));
    EXPECT_EQ(error, "the face has none of the wanted characters");

    kbtest::TempDir dir("fgbad");
    kbtest::writeFile(dir.file("junk.ttf"), std::string(1000, 'x'));
    options = sans();
    options.facePath = dir.file("junk.ttf");
    EXPECT_FALSE(fontgen::render(options, font, error));
}

TEST(FontGen, APreviewLaysTextOutWithTheFontsKerning)
{
    auto options = sans();
    fontgen::Font font;
    std::string error;
    ASSERT_TRUE(fontgen::render(options, font, error));
    const fontgen::Font av = fontgen::preview(font, options, "AV");
    const fontgen::Font aSpaceV = fontgen::preview(font, options, "A V");
    EXPECT_EQ(av.atlasHeight, font.lineHeight + 8);
    EXPECT_LT(av.atlasWidth, aSpaceV.atlasWidth);
    // UTF-8 Cyrillic comes out as glyphs, not as nothing.
    EXPECT_GT(fontgen::preview(font, options, "\xD0\x96").atlasWidth, 8);
}
