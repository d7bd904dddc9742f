// Line breaking, placement and drawing of GUI::StaticText.
#include <algorithm>
#include <cmath>

#include "gui/scrollbar.h"
#include "gui/statictext.h"
#include "gui/viewportclip.h"
#include "orvo/app/a_application.h"
#include "orvo/gfx/a_font.h"
#include "orvo/gfx/a_graphserver.h"

namespace GUI {

namespace {

// Rounding of line counts worked out in floats: a hair below a whole line is that line.
constexpr float kLineSlack = 1e-4f;

bool isLineEnd(wchar_t c)
{
    return c == L'\n' || c == L'\r';
}

// The advance of one character at a scale, with the offset before it unless it starts the line.
float advance(const aFont& font, wchar_t c, bool first, float scale)
{
    const auto code = static_cast<uint32_t>(c);
    float a = static_cast<float>(font.getCharRect(code).width) + font.getCharOffsetAfter(code) + font.getCharSpacing();
    if (!first)
        a += font.getCharOffsetBefore(code);
    return a * scale;
}

float scaleOf(aFont& font, float size)
{
    font.setSize(size);
    return font.getScale();
}

} // namespace

void StaticText::advanceRuns(RunCursor& cursor, uint32_t nonBlank, aFont* widgetFont, float baseSize) const
{
    while (cursor.next < m_runs.size() && m_runs[cursor.next].start <= nonBlank) {
        const StyleRun& run = m_runs[cursor.next++];
        cursor.font = run.font ? run.font : widgetFont;
        cursor.size = run.size * baseSize;
    }
}

void StaticText::UpdateLayout()
{
    aFont* widgetFont = GetFont();
    if (!widgetFont)
        return;
    const float baseSize = GetFontSize();
    widgetFont->setRotation(0.0f);
    const bool wrap = m_horzFormatting == HF_WIDTH || m_wordWrap;
    const float width = m_area.width;
    m_lineCount = 0;
    m_totalHeight = 0.0f;
    m_maxWidth = 0.0f;
    m_pieces.clear();

    const std::wstring& text = m_text;
    const size_t length = text.size();
    RunCursor cursor{0, widgetFont, baseSize};
    uint32_t consumed = 0; // non-blank characters before the line
    size_t pos = 0;
    while (pos < length) {
        // Measure up to the line's end or the first character that does not fit.
        RunCursor measure = cursor;
        advanceRuns(measure, consumed, widgetFont, baseSize);
        float heightNative = measure.font->getNativeHeight();
        float heightScale = scaleOf(*measure.font, measure.size);
        float x = 0.0f;
        bool seenWord = false, haveBreak = false, overflow = false;
        size_t breakAt = pos;
        uint32_t nonBlank = consumed;
        size_t i = pos;
        for (; i < length && !isLineEnd(text[i]); ++i) {
            const wchar_t c = text[i];
            advanceRuns(measure, nonBlank, widgetFont, baseSize);
            const float scale = scaleOf(*measure.font, measure.size);
            heightNative = std::max(heightNative, measure.font->getNativeHeight());
            heightScale = std::max(heightScale, scale);
            if (c == L' ' && seenWord && text[i - 1] != L' ') {
                haveBreak = true;
                breakAt = i;
            }
            const float a = advance(*measure.font, c, i == pos, scale);
            if (wrap && haveBreak && x + a > width) {
                overflow = true;
                break;
            }
            x += a;
            if (c != L' ') {
                seenWord = true;
                ++nonBlank;
            }
        }
        size_t end = i;
        // Inside a word: back to the last break.
        if (overflow && text[end] != L' ')
            end = breakAt;
        const bool endsParagraph = end >= length || isLineEnd(text[end]);

        // Place the words: measure the line's width and spaces, then the pieces.
        float lineWidth = 0.0f;
        uint32_t spaces = 0;
        {
            RunCursor place = cursor;
            uint32_t counted = consumed;
            float px = 0.0f;
            uint32_t pendingSpaces = 0;
            bool word = false;
            for (size_t k = pos; k < end; ++k) {
                advanceRuns(place, counted, widgetFont, baseSize);
                px += advance(*place.font, text[k], k == pos, scaleOf(*place.font, place.size));
                if (text[k] == L' ') {
                    pendingSpaces += word;
                    continue;
                }
                if (word)
                    spaces += pendingSpaces;
                pendingSpaces = 0;
                word = true;
                ++counted;
                lineWidth = px;
            }
        }
        float extra = 0.0f;
        if (m_horzFormatting == HF_WIDTH && spaces > 0 && width - lineWidth > 0.0f && !endsParagraph)
            extra = (width - lineWidth) / static_cast<float>(spaces);
        float offset = 0.0f;
        if (m_horzFormatting == HF_CENTER)
            offset = (width - (lineWidth + extra * static_cast<float>(spaces))) * 0.5f;
        else if (m_horzFormatting == HF_RIGHT)
            offset = width - (lineWidth + extra * static_cast<float>(spaces));

        Line line;
        line.firstPiece = static_cast<uint32_t>(m_pieces.size());
        float px = 0.0f;
        bool word = false;
        for (size_t k = pos; k < end; ++k) {
            advanceRuns(cursor, consumed, widgetFont, baseSize);
            const float scale = scaleOf(*cursor.font, cursor.size);
            const float a = advance(*cursor.font, text[k], k == pos, scale);
            if (text[k] == L' ') {
                px += a + (word ? extra : 0.0f);
                continue;
            }
            if (k == pos || text[k - 1] == L' ') {
                // A piece is drawn on its own, its first glyph at the piece's x without
                // the offset before it: that offset is part of where the word starts.
                const float before = k == pos ? 0.0f : cursor.font->getCharOffsetBefore(text[k]) * scale;
                m_pieces.push_back(Piece{std::wstring(), offset + px + before});
            }
            m_pieces.back().text += text[k];
            word = true;
            px += a;
            ++consumed;
        }
        line.pieceCount = static_cast<uint32_t>(m_pieces.size()) - line.firstPiece;
        line.height = heightNative * heightScale;
        if (m_lines.size() <= m_lineCount)
            m_lines.resize(m_lineCount + 1);
        m_lines[m_lineCount++] = line;
        m_totalHeight += line.height;
        m_maxWidth = std::max(m_maxWidth, lineWidth + extra * static_cast<float>(spaces));

        pos = end;
        if (pos < length && isLineEnd(text[pos])) {
            // A carriage return followed by a line feed ends one line.
            if (text[pos] == L'\r' && pos + 1 < length && text[pos + 1] == L'\n')
                ++pos;
            ++pos;
        } else {
            while (pos < length && text[pos] == L' ')
                ++pos;
        }
    }
    if (m_lineCount > 0)
        m_totalHeight += static_cast<float>(m_lineCount - 1) * m_lineSpacing;
    widgetFont->setSize(baseSize);

    if (m_horzBar)
        m_horzBar->SetTotalSize(m_maxWidth);
    if (m_vertBar)
        m_vertBar->SetTotalSize(m_totalHeight);
}

void StaticText::Draw()
{
    aFont* widgetFont = GetFont();
    if (!widgetFont || m_lineCount == 0)
        return;
    aApplication* app = aApplication::get();
    aGraphServer* graph = app ? app->getGraphServer() : nullptr;
    const aRect abs = GetAbsoluteRect();

    // Clip across the directions that scroll; elsewhere the whole screen.
    aRect clip(0, 0, graph ? graph->getGameWidth() : uint16_t(0), graph ? graph->getGameHeight() : uint16_t(0));
    if (m_horzBar) {
        clip.x = abs.x;
        clip.width = abs.width;
    }
    if (m_vertBar) {
        clip.y = abs.y;
        clip.height = abs.height;
    }
    const ViewportClip clipScope(clip);

    const float baseSize = GetFontSize();
    widgetFont->setSize(baseSize);
    widgetFont->setRotation(0.0f);
    ColorF c = IsEnabled() ? m_normalColor : m_disabledColor;
    c.a *= GetAlpha();
    const aColor textColor = c.ToARGB();

    const float xOrigin = static_cast<float>(abs.x) - m_horzScroll;
    // Vertical scrolling moves by whole lines; a text without height has one place only.
    const float lineStep = m_totalHeight / static_cast<float>(m_lineCount) + m_lineSpacing;
    uint32_t first = 0;
    if (lineStep > 0.0f && m_vertScroll > 0.0f) {
        // The scroll range spreads over the first lines that can start the
        // view, up to the one after which the last line shows whole.
        const float range = m_vertBar ? m_vertBar->GetMaxValue() : 0.0f;
        const float starts = std::ceil(range / lineStep - kLineSlack);
        const float line = range > 0.0f ? m_vertScroll / range * starts : m_vertScroll / lineStep;
        first = static_cast<uint32_t>(std::min(std::floor(line + kLineSlack), static_cast<float>(m_lineCount - 1)));
    }
    float yOrigin = abs.y;
    if (m_vertFormatting == VF_CENTER)
        yOrigin = static_cast<float>(abs.y) + (static_cast<float>(abs.height) - m_totalHeight) * 0.5f;
    else if (m_vertFormatting == VF_BOTTOM)
        yOrigin = static_cast<float>(abs.y) + static_cast<float>(abs.height) - m_totalHeight;

    // The runs of the lines scrolled away still apply to the first line shown.
    uint32_t drawn = 0;
    for (uint32_t l = 0; l < first; ++l)
        for (uint32_t p = 0; p < m_lines[l].pieceCount; ++p)
            drawn += static_cast<uint32_t>(m_pieces[m_lines[l].firstPiece + p].text.size());
    size_t nextRun = 0;
    aFont* font = widgetFont;
    aColor color = textColor;
    float size = baseSize;
    float offset = 0.0f;
    for (uint32_t l = first; l < m_lineCount && offset < static_cast<float>(abs.height); ++l) {
        const Line& line = m_lines[l];
        for (uint32_t p = 0; p < line.pieceCount; ++p) {
            const Piece& piece = m_pieces[line.firstPiece + p];
            while (nextRun < m_runs.size() && m_runs[nextRun].start <= drawn) {
                const StyleRun& run = m_runs[nextRun++];
                font = run.font ? run.font : widgetFont;
                color = run.color == RUN_WIDGET_COLOR ? textColor : run.color;
                size = run.size * baseSize;
            }
            font->setSize(size);
            font->setRotation(0.0f);
            font->color = color;
            font->drawText(xOrigin + piece.x, yOrigin + offset, piece.text, m_textFlags);
            drawn += static_cast<uint32_t>(piece.text.size());
        }
        offset += line.height + m_lineSpacing;
    }
    widgetFont->setSize(baseSize);
}

} // namespace GUI
