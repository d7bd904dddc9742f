#include <gtest/gtest.h>

#include "gui_fixture.h"

using namespace GUI;

namespace {

class StaticTextTest : public kbtest::GuiTest {
protected:
    StaticTextTest()
    {
        loadScript("fontlist\n{\n  grid " + kbtest::writeGridFont(dir, "grid") + "\n  tall " +
                   kbtest::writeGridFont(dir, "tall", 8, 32) + "\n}\n");
        font = server->GetFont("grid");
    }

    StaticText* text(const std::wstring& content, aRect area = aRect(0, 0, 100, 100))
    {
        auto* t = add<StaticText>("T" + std::to_string(++count), area);
        t->SetFont(font);
        t->SetText(content);
        t->Update(0.0f);
        return t;
    }
    // The words of each line, joined by "|".
    static std::string lines(const StaticText* t)
    {
        std::string out;
        for (uint32_t l = 0; l < t->GetLineCount(); ++l) {
            if (l)
                out += "|";
            const StaticText::Line& line = t->GetLine(l);
            for (uint32_t p = 0; p < line.pieceCount; ++p) {
                const std::wstring& w = t->GetPieces()[line.firstPiece + p].text;
                out += (p ? " " : "") + std::string(w.begin(), w.end());
            }
        }
        return out;
    }

    static float pieceX(const StaticText* t, size_t i) { return t->GetPieces()[i].x; }

    aFont* font = nullptr;
    int count = 0;
};

} // namespace

TEST_F(StaticTextTest, TagsInARowMergeAndUnknownOrUnclosedTagsAreDropped)
{
    StaticText* t = text(L"<#size=2#><#font=tall#>A<#COLOR=FF00FF00#>b<#font=nope#>c<#size=x#>d <#color=FF");
    EXPECT_EQ(t->GetText(), L"Abcd ");
    const auto& runs = t->GetStyleRuns();
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].font, server->GetFont("tall"));
    EXPECT_EQ(runs[0].color, StaticText::RUN_WIDGET_COLOR) << "the upper-case tag changes nothing";
    EXPECT_EQ(runs[1].font, nullptr) << "a missing font means the widget's";
    EXPECT_FLOAT_EQ(runs[1].size, 2.0f) << "a run keeps what earlier tags set";
    EXPECT_FLOAT_EQ(runs[2].size, 1.0f) << "an unreadable size is 1";
    EXPECT_FLOAT_EQ(t->GetMaxWidth(), 16.0f + 16 + 16 + 8) << "A, b and c at twice the width, d at its own";
}

TEST_F(StaticTextTest, PlainTextKeepsTagMarkersAsTheyStand)
{
    StaticText* t = text(L"<#size=2#>big");
    for (const std::wstring name : {L"A<#B", L"Al<#size=3#>ex", L"<#color=FF00FF00#>"}) {
        t->SetPlainText(name);
        t->Update(0.0f);
        EXPECT_EQ(t->GetText(), name);
        EXPECT_TRUE(t->GetStyleRuns().empty()) << "no run of an earlier text stays";
        EXPECT_FLOAT_EQ(t->GetMaxWidth(), 8.0f * static_cast<float>(name.size()));
    }
    t->SetText(L"<#size=2#>x");
    EXPECT_EQ(t->GetText(), L"x") << "tags are read again afterwards";
}

TEST_F(StaticTextTest, WordWrapBreaksAtSpacesAndAWideFirstWordOverflows)
{
    StaticText* t = text(L"Supercalifragilistic is a word\r\nnext  line");
    EXPECT_EQ(lines(t), "Supercalifragilistic|is a word|next line");

    t->SetWordWrap(false);
    t->Update(0.0f);
    EXPECT_EQ(lines(t), "Supercalifragilistic is a word|next line");

    StaticText* blanks = text(L"   \n  ");
    EXPECT_EQ(blanks->GetLineCount(), 2u);
    EXPECT_TRUE(blanks->GetPieces().empty());
}

TEST_F(StaticTextTest, ScrolledTextStartsAtWholeLinesKeepsItsColoursAndEndsOnAWholeLastLine)
{
    // Five lines of 16 in 40 pixels: the range of 40 is two and a half lines.
    loadScript("statictext Log\n{\n  AreaRect 0 0 100 40\n  Font grid\n"
               "  scrollbar Log_auto_vscroll\n  {\n    AreaRect 90 0 10 40\n    Vertical 1\n  }\n}\n",
               true);
    auto* t = find<StaticText>("Log");
    auto* bar = find<Scrollbar>("Log_auto_vscroll");
    ASSERT_TRUE(t && bar);
    t->SetText(L"<#color=FF00FF00#>aa\nbb\ncc\ndd\nee");
    t->Update(0.0f);
    ASSERT_FLOAT_EQ(bar->GetMaxValue(), 40.0f);
    auto lineYs = [&](float value) {
        bar->SetValue(value);
        beginDraws();
        t->Draw();
        const auto d = draws();
        std::vector<float> ys;
        for (size_t i = 0; i < d.size(); i += 2)
            ys.push_back(atY(d[i]));
        return ys;
    };
    EXPECT_EQ(lineYs(0.0f), (std::vector<float>{0, 16, 32})) << "the third line is cut by the clip";
    EXPECT_EQ(lineYs(16.0f * 1.6f), (std::vector<float>{0, 16, 32})) << "from bb, at a whole line";
    EXPECT_FLOAT_EQ(t->GetVertScroll(), 25.6f);
    EXPECT_EQ(draws()[0].u[4], 0xFF00FF00u) << "the run that began on a line scrolled away still colours";
    const std::vector<float> atEnd = lineYs(bar->GetMaxValue());
    ASSERT_EQ(atEnd.size(), 2u) << "dd and ee";
    EXPECT_LE(atEnd.back() + 16.0f, 40.0f) << "the last line's bottom is inside the widget";
    EXPECT_EQ(rig.graph->getViewport(), aRect(0, 0, 1024, 768)) << "the clip is put back";
}

TEST_F(StaticTextTest, AlignmentsAndJustificationPlaceTheWords)
{
    StaticText* t = text(L"aa bb cc\ndd ee", aRect(0, 0, 50, 100));
    t->SetHorzFormatting(StaticText::HF_WIDTH);
    t->Update(0.0f);
    ASSERT_EQ(lines(t), "aa bb|cc|dd ee");
    EXPECT_FLOAT_EQ(pieceX(t, 1), 34.0f) << "14 spare pixels go into the one space";
    EXPECT_FLOAT_EQ(pieceX(t, 4), 20.0f) << "the paragraph's last line is not justified";

    t->SetHorzFormatting(StaticText::HF_CENTER);
    t->Update(0.0f);
    EXPECT_FLOAT_EQ(pieceX(t, 2), 17.0f);

    t->SetVertFormatting(StaticText::VF_BOTTOM);
    beginDraws();
    t->Draw();
    ASSERT_FALSE(draws().empty());
    EXPECT_EQ(atY(draws()[0]), 52.0f) << "three lines of 16 end at the bottom";
    // The same from a script, its words read in any case; line spacing goes between the lines.
    set(t, {"HorzFormatting RIGHT", "VertFormatting Bottom", "LineSpacing 4"});
    t->Update(0.0f);
    EXPECT_EQ(std::pair(t->GetHorzFormatting(), t->GetVertFormatting()),
              std::pair(int32_t(StaticText::HF_RIGHT), int32_t(StaticText::VF_BOTTOM)));
    rig.device_->clearRecords();
    t->Draw();
    ASSERT_FALSE(draws().empty());
    EXPECT_EQ(atY(draws()[0]), 44.0f) << "three lines of 16 and two gaps of 4 end at the bottom";
}

TEST_F(StaticTextTest, RunsWithoutFontFollowTheWidgetsFontAndNoHeightNeverDivides)
{
    auto* t = add<StaticText>("Late", aRect(0, 0, 100, 100));
    t->SetText(L"<#color=FFFF0000#>ab");
    t->SetFont(font);
    t->Update(0.0f);
    beginDraws();
    t->Draw();
    ASSERT_EQ(draws().size(), 2u);
    EXPECT_EQ(draws()[1].u[4], 0xFFFF0000u);

    StaticText* flat = text(L"<#size=0#>aa\nbb");
    EXPECT_FLOAT_EQ(flat->GetTotalHeight(), 0.0f);
    flat->OnVertScroll(EventArgs()); // no bar: stays 0
    rig.device_->clearRecords();
    flat->Draw();
    EXPECT_EQ(draws().size(), 4u);
}

// A script face: letters overhang their neighbours (ink starting after the
// pen and ending before the advance, 'g' reaching back under the space), and
// the space is advance only.
TEST_F(StaticTextTest, WordsDrawWhereOneDrawOfTheirWholeLinePutsThem)
{
    std::string ini = "[General]\nFormat16=8888\nFormat32=8888\nTexture=script.png\nCharSpacing=1\n\n[Charlist]\n"
                      "20=0 0 0 16 0 5\n";
    char line[64];
    for (uint32_t c = '.'; c <= 'z'; ++c) {
        const int before = c == 'g' ? -2 : c < 'a' ? 1 : 2;
        const int after = c == '.' ? -1 : c < 'a' ? -3 : -2;
        std::snprintf(line, sizeof line, "%X=%u 0 8 16 %d %d\n", c, (c - '.') * 8, before, after);
        ini += line;
    }
    kbtest::writeFile(dir.file("script.png"),
                      kbtest::encodePng(std::vector<uint32_t>(size_t(8 * 80) * 16, 0xFFFFFFFF), 8 * 80, 16));
    kbtest::writeFile(dir.file("script.ini"), ini);
    loadScript("fontlist\n{\n  script " + dir.file("script.ini") + "\n}\n");
    aFont* script = server->GetFont("script");
    ASSERT_NE(script, nullptr);

    // The x of every glyph with ink, in drawing order.
    const auto inkX = [this] {
        std::vector<float> xs;
        for (const aGpuRecord& r : draws())
            if (r.u[2] != r.u[0])
                xs.push_back(atX(r));
        return xs;
    };
    const std::vector<std::wstring> expected = {L"These are your", L"goals. Click", L"here to look", L"  at them."};
    for (const float size : {1.0f, 0.5f}) {
        SCOPED_TRACE(size);
        auto* t =
            add<StaticText>("Script" + std::to_string(++count), aRect(0, 0, static_cast<uint16_t>(124 * size), 200));
        t->SetFont(script);
        t->SetFontSize(size);
        t->SetText(L"These are your goals. Click here to look\n  at them.");
        t->Update(0.0f);
        ASSERT_EQ(lines(t), "These are your|goals. Click|here to look|at them.");
        beginDraws();
        t->Draw();
        const std::vector<float> drawn = inkX();

        rig.device_->clearRecords();
        script->setSize(size);
        for (const std::wstring& whole : expected)
            script->drawText(0.0f, 0.0f, whole, A_FONT_WHOLE_PIXEL);
        EXPECT_EQ(drawn, inkX());
    }
}
