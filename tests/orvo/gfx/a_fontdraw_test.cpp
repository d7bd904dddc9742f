// Drawing text on the recording device: where the pen goes (alignment,
// rotation, scale, kerning) as the underline quads show it, and the narrow
// and formatted forms.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "orvo/gfx/a_font.h"
#include "orvo/gfx/a_gdi.h"
#include "support/app_fixture.h"
#include "support/image_files.h"
#include "support/temp_dir.h"

namespace {

constexpr const char* kFont = "[General]\n"
                              "Format16=4444\n"
                              "Format32=8888\n"
                              "Texture=glyphs.png\n"
                              "CharSpacing=2\n"
                              "UnderlineDY=15\n"
                              "UnderlineThickness=2\n"
                              "UnderlineColor=0\n"
                              "[Charlist]\n"
                              "41=0 0 12 18 1 0.5\n"
                              "56=12 0 10 18 0.25 1\n"
                              "5F=30 0 8 18 0 0\n"
                              "4F=40 0 11 16 0 0\n"
                              "416=52 0 9 18 0 0\n"
                              "[KerningPairs]\n"
                              "0=41 56 -1.5\n";

struct Point {
    float x, y;
};

class FontDrawTest : public testing::Test {
protected:
    void SetUp() override
    {
        auto d = kbtest::recorder();
        device = d.get();
        graph = std::make_unique<aGraphServer>(1024, 768, false, false, true, "t", 0, false, true, std::move(d));
        kbtest::writeFile(dir.file("font.ini"), kFont);
        kbtest::writeFile(dir.file("glyphs.png"),
                          kbtest::encodePng(std::vector<uint32_t>(64 * 32, 0xFFFFFFFF), 64, 32));
        font = std::make_unique<aFont>(dir.file("font.ini").c_str());
        ASSERT_TRUE(graph->beginScene());
        device->clearRecords();
    }
    void TearDown() override
    {
        graph->endScene();
        font.reset();
        graph.reset();
    }

    // Corners of every filled quad drawn since the records were cleared.
    std::vector<std::vector<Point>> quads()
    {
        std::vector<std::vector<Point>> out;
        for (const aGpuRecord& r : device->records(aGpuCall::DrawPrimitiveUP)) {
            std::vector<aGpuVertex> v(r.vertices.size() / sizeof(aGpuVertex));
            std::memcpy(v.data(), r.vertices.data(), v.size() * sizeof(aGpuVertex));
            colors.clear();
            std::vector<Point> corners;
            for (const auto& vertex : v) {
                corners.push_back({vertex.x, vertex.y});
                colors.push_back(vertex.color);
            }
            out.push_back(corners);
        }
        return out;
    }

    struct Sprite {
        aRect source;
        float scaleX, scaleY, centreX, centreY, rotation, x, y;
        uint32_t color;
    };
    // Every glyph drawn since the records were cleared.
    std::vector<Sprite> sprites()
    {
        std::vector<Sprite> out;
        for (const aGpuRecord& r : device->records(aGpuCall::SpriteDraw))
            out.push_back({aRect(static_cast<int16_t>(r.u[0]), static_cast<int16_t>(r.u[1]),
                                 static_cast<uint16_t>(r.u[2] - r.u[0]), static_cast<uint16_t>(r.u[3] - r.u[1])),
                           r.f[0], r.f[1], r.f[2], r.f[3], r.f[4], r.f[5], r.f[6], r.u[4]});
        return out;
    }

    // The quad the font draws under a character from `start` to `end` along
    // the writing direction (wx, wy), d and t already scaled as the font scales them.
    static std::vector<Point> underline(Point start, Point end, float wx, float wy, float d, float t)
    {
        const float dx = -wy, dy = wx; // down is the writing direction turned a quarter clockwise
        const Point p0{start.x - 0.5f * wx + d * dx, start.y - 0.5f * wy + d * dy};
        const Point p1{end.x + 0.5f * wx + d * dx, end.y + 0.5f * wy + d * dy};
        return {p0, p1, {p1.x + t * dx, p1.y + t * dy}, {p0.x + t * dx, p0.y + t * dy}};
    }

    static void expectQuad(const std::vector<Point>& actual, const std::vector<Point>& expected)
    {
        // aGDI draws a filled quad as a strip: 0, 1, 3, 2.
        ASSERT_EQ(actual.size(), 4u);
        const Point order[4] = {expected[0], expected[1], expected[3], expected[2]};
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(actual[i].x, order[i].x, 1e-3f) << "corner " << i;
            EXPECT_NEAR(actual[i].y, order[i].y, 1e-3f) << "corner " << i;
        }
    }

    kbtest::TestApp app;
    kbtest::TempDir dir{"fontdraw"};
    aGpuDeviceRecorder* device = nullptr;
    std::unique_ptr<aGraphServer> graph;
    std::unique_ptr<aFont> font;
    std::vector<uint32_t> colors;
};

} // namespace

TEST_F(FontDrawTest, GlyphsAreDrawnAtThePenScaledTurnedAboutTheirCornerAndColoured)
{
    font->color = 0x80FF8040;
    font->setSize(2.0f);
    font->setRotation(0.25f);
    device->clearRecords();
    font->drawText(10.3f, 20.6f, L"A?V");
    const auto drawn = sprites();
    ASSERT_EQ(drawn.size(), 2u); // no glyph for "?"
    EXPECT_EQ(drawn[0].source, aRect(0, 0, 12, 18));
    EXPECT_EQ(drawn[1].source, aRect(12, 0, 10, 18));
    for (const auto& s : drawn) {
        EXPECT_EQ(s.scaleX, 2.0f);
        EXPECT_EQ(s.scaleY, 2.0f);
        EXPECT_EQ(s.centreX, 0.0f);
        EXPECT_EQ(s.centreY, 0.0f);
        EXPECT_EQ(s.rotation, 0.25f);
        EXPECT_EQ(s.color, 0x80FF8040u);
    }
    EXPECT_FLOAT_EQ(drawn[0].x, 10.3f);
    EXPECT_FLOAT_EQ(drawn[0].y, 20.6f);
    // A's width, after and spacing, then V's before; "?" breaks the kerning pair.
    const float along = (12 + 0.5f + 2 + 0.25f) * 2;
    EXPECT_NEAR(drawn[1].x, 10.3f + along * std::cos(0.25f), 1e-4f);
    EXPECT_NEAR(drawn[1].y, 20.6f - along * std::sin(0.25f), 1e-4f);
}

TEST_F(FontDrawTest, WholePixelsRoundEachGlyphButThePenKeepsItsFractions)
{
    device->clearRecords();
    font->drawText(10.3f, 20.6f, L"AVAV", A_FONT_WHOLE_PIXEL);
    const auto drawn = sprites();
    ASSERT_EQ(drawn.size(), 4u);
    // Pen x: 10.3, then + 14.5 - 1.25 (kerned), + 13 + 1, + 14.5 - 1.25.
    const float pens[4] = {10.3f, 23.55f, 37.55f, 50.8f};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(drawn[i].x, std::trunc(pens[i] + 0.5f)) << i;
        EXPECT_EQ(drawn[i].y, 21.0f) << i;
    }
    // Far off screen, positions stay in the signed 16-bit range.
    device->clearRecords();
    font->drawText(-1e9f, 1e9f, L"A", A_FONT_WHOLE_PIXEL);
    const auto far = sprites();
    ASSERT_EQ(far.size(), 1u);
    EXPECT_EQ(far[0].x, -32768.0f);
    EXPECT_EQ(far[0].y, 32767.0f);
}

TEST_F(FontDrawTest, TheMarkerUnderlinesTheNextCharacterInTheTextColour)
{
    font->color = 0xFF112233;
    device->clearRecords();
    font->drawText(100, 50, L"_O");
    auto drawn = quads();
    ASSERT_EQ(drawn.size(), 1u);
    // O: 11 wide plus 2 spacing; offset 15, thickness 2.
    expectQuad(drawn[0], underline({100, 50}, {113, 50}, 1, 0, 15, 2));
    for (uint32_t c : colors)
        EXPECT_EQ(c, 0xFF112233u);

    // The marker itself is not drawn.
    EXPECT_EQ(sprites().size(), 1u);

    // Without an underline offset nothing is underlined and the underscore is a glyph.
    kbtest::writeFile(dir.file("plain.ini"), "[General]\nFormat16=4444\nFormat32=8888\nTexture=glyphs.png\n"
                                             "CharSpacing=0\n[Charlist]\n5F=0 0 4 4 0 0\n4F=0 0 4 4 0 0\n");
    aFont plain(dir.file("plain.ini").c_str());
    device->clearRecords();
    plain.drawText(0, 0, L"_O");
    EXPECT_TRUE(quads().empty());
    EXPECT_EQ(sprites().size(), 2u);
}

TEST_F(FontDrawTest, RightAlignedRotatedScaledTextEndsAtThePointAlongItsDirection)
{
    const float angle = 0.5f;
    font->setRotation(angle);
    font->setSize(-36.0f); // scale 2
    const float wx = std::cos(angle), wy = -std::sin(angle);
    const Point p{300, 200};
    // "AV_O" measures (12 + 2.5) + (0.25 - 1.5 + 10 + 3) + 11 = 37.25, times 2.
    EXPECT_FLOAT_EQ(font->getTextSize(L"AV_O").width, 74.5f);
    device->clearRecords();
    font->drawText(p.x, p.y, L"AV_O", A_FONT_RIGHT);
    auto drawn = quads();
    ASSERT_EQ(drawn.size(), 1u);
    // The O starts 22 before the point and its right edge is the point; the
    // pen ends after its spacing, 4 past it.
    expectQuad(drawn[0], underline({p.x - 22 * wx, p.y - 22 * wy}, {p.x + 4 * wx, p.y + 4 * wy}, wx, wy, 30, 2));

    // Centred on both axes: half the width back, half the height (36) up.
    device->clearRecords();
    font->drawText(p.x, p.y, L"AV_O", A_FONT_CENTER_X | A_FONT_CENTER_Y);
    drawn = quads();
    ASSERT_EQ(drawn.size(), 1u);
    const float dx = -wy, dy = wx;
    const Point start{p.x - 37.25f * wx - 18 * dx, p.y - 37.25f * wy - 18 * dy};
    expectQuad(drawn[0], underline({start.x + 52.5f * wx, start.y + 52.5f * wy},
                                   {start.x + 78.5f * wx, start.y + 78.5f * wy}, wx, wy, 30, 2));

    // Right wins over centre, bottom over middle.
    device->clearRecords();
    font->drawText(p.x, p.y, L"AV_O", A_FONT_RIGHT | A_FONT_CENTER_X | A_FONT_BOTTOM | A_FONT_CENTER_Y);
    drawn = quads();
    ASSERT_EQ(drawn.size(), 1u);
    const Point end{p.x + 4 * wx - 36 * dx, p.y + 4 * wy - 36 * dy};
    EXPECT_NEAR(drawn[0][1].x, end.x + 0.5f * wx + 30 * dx, 1e-3f);
    EXPECT_NEAR(drawn[0][1].y, end.y + 0.5f * wy + 30 * dy, 1e-3f);
}

TEST_F(FontDrawTest, AnUnderlineColourOfItsOwnWinsAndTheThicknessIsNotScaled)
{
    kbtest::writeFile(dir.file("red.ini"), std::string(kFont).replace(std::string(kFont).find("UnderlineColor=0"), 16,
                                                                      "UnderlineColor=ffff0000"));
    aFont red(dir.file("red.ini").c_str());
    red.color = 0xFF00FF00;
    red.setSize(3.0f);
    device->clearRecords();
    red.drawText(0, 0, L"_A");
    auto drawn = quads();
    ASSERT_EQ(drawn.size(), 1u);
    for (uint32_t c : colors)
        EXPECT_EQ(c, 0xFFFF0000u);
    // The A is first after the marker but not at index 0: its before (1) counts.
    expectQuad(drawn[0], underline({0, 0}, {3 * (1 + 12 + 0.5f + 2), 0}, 1, 0, 45, 2));
}

TEST_F(FontDrawTest, NarrowAndFormattedFormsDrawTheSameText)
{
    device->clearRecords();
    font->drawText(10, 20, L"AV_O");
    const auto wide = quads();
    ASSERT_EQ(wide.size(), 1u);

    device->clearRecords();
    font->drawTextA(10, 20, "AV_O");
    EXPECT_EQ(quads().size(), 1u);
    EXPECT_EQ(sprites().size(), 3u);
    // Narrow text is read in the system's code page: 0xC6 is the Cyrillic Zhe.
    device->clearRecords();
    font->drawTextA(10, 20, "\xC6");
    ASSERT_EQ(sprites().size(), 1u);
    EXPECT_EQ(sprites()[0].source, aRect(52, 0, 9, 18));
    device->clearRecords();
    font->drawTextFormat(10, 20, 0, L"%ls_%lc", L"AV", L'O');
    auto drawn = quads();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_FLOAT_EQ(drawn[0][1].x, wide[0][1].x);
    device->clearRecords();
    font->drawTextFormatA(10, 20, 0, "%s_%c", "AV", 'O');
    drawn = quads();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_FLOAT_EQ(drawn[0][1].x, wide[0][1].x);

    // Nothing for an empty result or a failed conversion.
    device->clearRecords();
    font->drawTextFormat(10, 20, 0, L"%ls", L"");
    font->drawTextFormat(10, 20, 0, L"%s_O", "\xFF\xFE");
    font->drawTextFormatA(10, 20, 0, "%s", "");
    font->drawTextFormat(10, 20, 0, nullptr);
    EXPECT_TRUE(quads().empty());
    EXPECT_TRUE(sprites().empty());
}

TEST_F(FontDrawTest, FormattedTextLongerThanAnyBufferIsDrawnWhole)
{
    const std::wstring many(50000, L'O');
    device->clearRecords();
    font->drawTextFormat(0, 0, 0, L"%ls_O", many.c_str());
    auto drawn = quads();
    ASSERT_EQ(drawn.size(), 1u);
    // Every O advances 13.
    EXPECT_FLOAT_EQ(drawn[0][0].x, 50000 * 13.0f - 0.5f);

    const std::string narrow(50000, 'O');
    device->clearRecords();
    font->drawTextFormatA(0, 0, 0, "%s_O", narrow.c_str());
    drawn = quads();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_FLOAT_EQ(drawn[0][0].x, 50000 * 13.0f - 0.5f);
}
