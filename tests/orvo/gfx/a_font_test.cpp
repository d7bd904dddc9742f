#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "orvo/gfx/a_font.h"
#include "orvo/gfx/a_fontdataloaderini.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

namespace {

// Two letters with spacing and a kerning pair, an underscore and an O.
constexpr const char* kFont = "[General]\nFormat16=4444\nFormat32=8888\nTexture=glyphs.png\nCharSpacing=2\n"
                              "[Charlist]\n41=0 0 12 18 1 0.5\n56=12 0 10 18 0.25 1\n5F=30 0 8 18 0 0\n"
                              "4F=40 0 11 16 0 0\n[KerningPairs]\n0=41 56 -1.5\n";

class FontTest : public testing::Test {
protected:
    std::string write(const std::string& name, const std::string& text)
    {
        const std::string path = dir.file(name);
        kbtest::writeFile(path, text);
        return path;
    }
    std::unique_ptr<aFont> make(const std::string& text, const std::string& name = "font.ini")
    {
        return std::make_unique<aFont>(write(name, text).c_str());
    }

    kbtest::TempDir dir{"font"};
};

// The lines of the font's own loading: those of aFont and of the INI reader.
std::vector<std::string> loadLines(const kbtest::LogCapture& log)
{
    std::vector<std::string> out;
    for (const auto& m : log.messages())
        if (m.rfind("aFont", 0) == 0 || m.rfind("aOptionsFile", 0) == 0)
            out.push_back(m);
    return out;
}

std::string withUnderline(const std::string& font)
{
    const std::string general = "[General]\n";
    return general + "UnderlineDY=15\nUnderlineThickness=2\n" + font.substr(general.size());
}

} // namespace

TEST_F(FontTest, TextMeasuresByGlyphsSpacingKerningScaleAndTheUnderlineMarker)
{
    auto plain = make(kFont, "plain.ini");
    auto underlined = make(withUnderline(kFont), "underlined.ini");
    const struct {
        aFont* font;
        float size;
        std::wstring text;
        float width, height;
    } cases[] = {
        // A: 12 + after 0.5 + spacing 2; V: before 0.25 + kerning -1.5 + 10. The pair is kept for A then V only.
        {plain.get(), 1, L"AV", 23.25f, 18},
        {plain.get(), -36, L"AV", 46.5f, 36}, // a negative size is a pixel height
        // The marker adds nothing; the O after it is not the first character, so its before counts.
        {underlined.get(), 1, L"_O", 11, 18},
        // After the marker the V follows "_", not the A: no kerning.
        {underlined.get(), 1, L"A_V", 12 + 0.5f + 2 + 0.25f + 10, 18},
        // "?" has no glyph: the V after it is not kerned against the A. Units outside the table
        // (and the highest one) are simply absent.
        {plain.get(), 1, L"A?V", 12 + 0.5f + 2 + 0.25f + 10, 18},
        {plain.get(), 1, std::wstring(L"A") + wchar_t(0x1F600) + wchar_t(0xFFFF), 14.5f, 18},
        // Text longer than any buffer is measured whole; each O but the last adds its spacing.
        {plain.get(), 1, std::wstring(100000, L'O'), 100000.0f * 11 + 99999.0f * 2, 18},
    };
    for (const auto& c : cases) {
        c.font->setSize(c.size);
        const std::string text(c.text.begin(), c.text.begin() + std::min<size_t>(c.text.size(), 8));
        EXPECT_FLOAT_EQ(c.font->getTextSize(c.text).width, c.width) << text << " at " << c.size;
        EXPECT_FLOAT_EQ(c.font->getTextSize(c.text).height, c.height) << text << " at " << c.size;
    }
    EXPECT_EQ(plain->getCharRect(0x1F600), aRect());
}

TEST_F(FontTest, CharlistCodesAreHexRepeatsReuseTheRecordAndWideCodesAreSkipped)
{
    kbtest::LogCapture log;
    auto font = make("[General]\nFormat16=4444\nFormat32=8888\nTexture=t.png\nCharSpacing=0\n[Charlist]\n"
                     "0x42=1 2 3 4 5 6\n"
                     "42=7 8\n"             // x and y only: the rest stays
                     "10041=0 0 9 40 0 0\n" // beyond the table: not even the height counts
                     "zz=0 0 9 40 0 0\n"
                     "44f=0 0 -3 -2 0 0\n"
                     "[KerningPairs]\n"
                     "a=41 42 -1\n" // the first character needs no glyph
                     "b=42 43 -1\n" // the second one does
                     "c=42\n");
    EXPECT_EQ(font->getCharRect('B'), aRect(7, 8, 3, 4));
    EXPECT_FLOAT_EQ(font->getNativeHeight(), 4.0f);
    EXPECT_EQ(font->getCharRect(0x44F), aRect(0, 0, 0, 0));
    EXPECT_TRUE(log.contains("aFont. Bad character code \"zz\" in " + dir.file("font.ini")));
    EXPECT_TRUE(log.contains("aFont. Bad kerning pair \"42\" in " + dir.file("font.ini")));
    // B is not first, so its before counts, and it is kerned after the glyph-less A; it is last: no after.
    EXPECT_FLOAT_EQ(font->getTextSize(L"AB").width, 3 + 5 - 1);
}

TEST_F(FontTest, BadDescriptionsAreLoggedAndNeverCrash)
{
    kbtest::LogCapture log;
    // An unknown texture format is logged and the glyphs still load; no kerning section is normal.
    const std::string odd = write("odd.ini", "[General]\nFormat16=999\nFormat32=8888\nTexture=t.png\n"
                                             "CharSpacing=0\n[Charlist]\n41=0 0 5 9 0 0\n");
    EXPECT_EQ(aFont(odd.c_str()).getCharRect('A'), aRect(0, 0, 5, 9));
    EXPECT_EQ(loadLines(log), std::vector<std::string>{"aFont. Unknown texture format: " + odd});

    // No loader for the extension: an empty font.
    const std::string fnt = write("font.fnt", kFont);
    aFont font(fnt.c_str());
    EXPECT_TRUE(log.contains("aFont. No loader for font description: " + fnt));
    font.setSize(-20.0f);
    EXPECT_TRUE(std::isfinite(font.getScale()));
    EXPECT_EQ(font.getTextSize(L"AV").height, 0.0f);

    aFont missing(dir.file("none.ini").c_str());
    EXPECT_EQ(missing.getTextSize(L"AV").width, 0.0f);
    EXPECT_TRUE(log.contains("aFont. Unknown texture format: " + dir.file("none.ini")));
    std::string junk;
    for (int i = 0; i < 4096; ++i)
        junk += static_cast<char>((i * 7919 + 13) & 0xFF);
    (void)aFont(write("junk.ini", junk).c_str()).getTextSize(L"junk text");
    // A Charlist before any General section: nothing is read from the wrong section.
    auto noGeneral = make("[Charlist]\nFormat16=4444\n41=0 0 4 4 0 0\n", "nogeneral.ini");
    EXPECT_EQ(noGeneral->getCharRect('A'), aRect(0, 0, 4, 4));
    EXPECT_EQ(noGeneral->getCharSpacing(), 0.0f);
}

TEST_F(FontTest, NumbersThatAreNotFiniteAreRefusedWithALogLine)
{
    // Each one would make every text size that meets it NaN or infinite; a
    // refused number keeps the value it replaces.
    kbtest::LogCapture log;
    const char* bad[] = {"CharSpacing=nan",           "UnderlineDY=1e999",    "UnderlineThickness=-inf",
                         "41=0 0 12 18 nan infinity", "56=12 0 10 18 -INF 1", "4F=40 0 11 16 nan(0x7) 3"};
    std::string text = "[General]\nFormat16=4444\nFormat32=8888\nTexture=t.png\n";
    for (int i = 0; i < 6; ++i)
        text += (i == 3 ? "[Charlist]\n" : "") + std::string(bad[i]) + "\n";
    const std::string path = write("font.ini", text + "[KerningPairs]\n0=41 56 nan\n1=56 41 inf\n");
    aFont font(path.c_str());
    EXPECT_EQ(font.getCharSpacing(), 0.0f);
    EXPECT_EQ(font.getUnderlineOffset(), aFontDataLoaderINI(path.c_str()).underlineOffset);
    EXPECT_TRUE(std::isfinite(font.getUnderlineOffset()));
    EXPECT_EQ(font.getCharOffsetAfter('V'), 1.0f) << "the finite number of a line is kept";
    EXPECT_EQ(font.getTextSize(L"AVO").width, 12 + 10 + 1 + 11);
    std::vector<std::string> expected;
    for (const char* line : bad)
        expected.push_back("aFont. Bad number in \"" + std::string(line) + "\" in " + path);
    for (const char* pair : {"41 56 nan", "56 41 inf"})
        expected.push_back("aFont. Bad kerning pair \"" + std::string(pair) + "\" in " + path);
    std::vector<std::string> lines = loadLines(log);
    lines.resize(std::min(lines.size(), expected.size()));
    EXPECT_EQ(lines, expected);
}

TEST_F(FontTest, TheSharedGDILivesFromTheFirstLoadToTheLastFont)
{
    EXPECT_EQ(aFont::getSharedGDI(), nullptr);
    auto first = make(kFont);
    aGDI* gdi = aFont::getSharedGDI();
    ASSERT_NE(gdi, nullptr);
    auto second = make(kFont, "second.ini");
    // Loading again does not count the font twice.
    EXPECT_TRUE(second->load(dir.file("font.ini").c_str()));
    EXPECT_FALSE(second->load(dir.file("font.txt").c_str()));
    first.reset();
    EXPECT_EQ(aFont::getSharedGDI(), gdi);
    second.reset();
    EXPECT_EQ(aFont::getSharedGDI(), nullptr);
}
