// Drawing text on the recording device: far-off pens and the narrow and
// formatted forms (the golden frame shows the rest).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "gfx_fixture.h"
#include "orvo/gfx/a_font.h"
#include "orvo/gfx/a_gdi.h"

namespace {

constexpr const char* kFont = "[General]\nFormat16=4444\nFormat32=8888\nTexture=glyphs.png\nCharSpacing=2\n"
                              "UnderlineDY=15\nUnderlineThickness=2\nUnderlineColor=0\n[Charlist]\n"
                              "41=0 0 12 18 1 0.5\n56=12 0 10 18 0.25 1\n5F=30 0 8 18 0 0\n4F=40 0 11 16 0 0\n"
                              "416=52 0 9 18 0 0\n[KerningPairs]\n0=41 56 -1.5\n";

struct Point {
    float x, y;
};

class FontDrawTest : public kbtest::GfxTest {
protected:
    void SetUp() override
    {
        write("glyphs.png", kbtest::encodePng(kbtest::solidPixels(64, 32, ~0u), 64, 32));
        font = std::make_unique<aFont>(write("font.ini", kFont).c_str());
        GfxTest::SetUp();
    }

    // Corners of every filled quad drawn since the last call; `colour` is what each vertex must carry.
    std::vector<std::vector<Point>> quads(uint32_t colour = 0xFFFFFFFF)
    {
        std::vector<std::vector<Point>> out;
        for (const aGpuRecord& r : device->records(aGpuCall::DrawPrimitiveUP)) {
            out.emplace_back();
            for (const aGpuVertex& v : kbtest::verticesOf(r)) {
                out.back().push_back({v.x, v.y});
                EXPECT_EQ(v.color, colour);
            }
        }
        return out;
    }
    std::vector<aGpuRecord> glyphs()
    {
        const auto out = sprites();
        device->clearRecords();
        return out;
    }

    std::unique_ptr<aFont> font;
};

} // namespace

TEST_F(FontDrawTest, WholePixelsFarOffScreenStayInTheSigned16BitRange)
{
    font->drawText(-1e9f, 1e9f, L"A", A_FONT_WHOLE_PIXEL);
    const auto far = glyphs();
    ASSERT_EQ(far.size(), 1u);
    EXPECT_EQ(far[0].f[5], -32768.0f);
    EXPECT_EQ(far[0].f[6], 32767.0f);
}

TEST_F(FontDrawTest, NarrowAndFormattedFormsDrawTheSameTextWholeHoweverLong)
{
    // The right end of the one underline each form draws.
    auto underlineEnd = [this] {
        const auto drawn = quads();
        device->clearRecords();
        return drawn.size() == 1 ? drawn[0][1].x : -1.0f;
    };
    font->drawText(10, 20, L"AV_O");
    const float end = underlineEnd();
    ASSERT_GT(end, 0.0f);
    font->drawTextA(10, 20, "AV_O");
    EXPECT_EQ(sprites().size(), 3u);
    EXPECT_FLOAT_EQ(underlineEnd(), end);
    font->drawTextFormatA(10, 20, 0, "%s_%c", "AV", 'O');
    EXPECT_FLOAT_EQ(underlineEnd(), end);
    // Narrow text is read in the system's code page: 0xC6 is the Cyrillic Zhe.
    font->drawTextA(10, 20, "\xC6");
    ASSERT_EQ(sprites().size(), 1u);
    EXPECT_EQ(glyphs()[0].text().rfind("SpriteDraw(src 52 0 61 18,", 0), 0u);

    // Nothing for an empty result or a failed conversion.
    font->drawTextFormat(10, 20, 0, L"%ls", L"");
    font->drawTextFormat(10, 20, 0, L"%s_O", "\xFF\xFE");
    font->drawTextFormatA(10, 20, 0, "%s", "");
    font->drawTextFormat(10, 20, 0, nullptr);
    EXPECT_TRUE(quads().empty());
    EXPECT_TRUE(sprites().empty());

    // Formatted text longer than any buffer is drawn whole: every O advances 13.
    font->drawTextFormat(0, 0, 0, L"%ls_O", std::wstring(50000, L'O').c_str());
    font->drawTextFormatA(0, 0, 0, "%s_O", std::string(50000, 'O').c_str());
    const auto drawn = quads();
    ASSERT_EQ(drawn.size(), 2u);
    for (const auto& quad : drawn)
        EXPECT_FLOAT_EQ(quad[0].x, 50000 * 13.0f - 0.5f);
}
