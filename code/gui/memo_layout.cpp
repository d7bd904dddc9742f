// The memo's layout into lines, its scrolling and its drawing.
#include <algorithm>
#include <cmath>

#include "gui/memo.h"
#include "gui/scrollbar.h"
#include "gui/viewportclip.h"
#include "orvo/app/a_application.h"
#include "orvo/gfx/a_font.h"
#include "orvo/gfx/a_graphserver.h"

namespace GUI {

float Memo::GetLineHeight() const
{
    const aFont* font = GetFont(true);
    return font ? m_fontSize * font->getNativeHeight() + m_lineSpacing : 0.0f;
}

int32_t Memo::GetLineOfPosition(uint32_t position) const
{
    if (m_lines.empty())
        return -1;
    if (position == m_lines.back().end)
        return static_cast<int32_t>(m_lines.size() - 1);
    const auto it = std::upper_bound(m_lines.begin(), m_lines.end(), position,
                                     [](uint32_t p, const Line& line) { return p < line.start; });
    if (it == m_lines.begin())
        return -1;
    const Line& line = *(it - 1);
    return position < line.end ? static_cast<int32_t>(it - 1 - m_lines.begin()) : -1;
}

bool Memo::dropUndrawable(aFont& font)
{
    std::wstring kept;
    kept.reserve(m_text.size());
    for (const wchar_t c : m_text) {
        if (c != L'\n') {
            const aRect glyph = font.getCharRect(c);
            // No glyph at all, or one without width that cannot take a caret
            // place (a blank's width lies in its advance).
            if (glyph == aRect() || (glyph.width == 0 && c != L' '))
                continue;
        }
        kept += c;
    }
    if (kept.size() == m_text.size())
        return false;
    m_text.swap(kept);
    return true;
}

void Memo::layOut(aFont& font)
{
    m_lines.clear();
    m_widestLine = 0.0f;
    if (m_text.empty())
        return;
    const float scale = font.getScale();
    const auto width = static_cast<float>(m_area.width);
    const auto length = static_cast<uint32_t>(m_text.size());
    // Lines wrap by the glyphs' own rectangles; blanks take no room, so they
    // hang at a line's end however narrow the memo.
    auto glyphWidth = [&](wchar_t c) {
        return c == L' ' ? 0.0f : static_cast<float>(font.getCharRect(c).width) * scale;
    };

    Line line;
    float lineWidth = 0.0f;
    int64_t lastSpace = -1;
    auto finish = [&](uint32_t end) {
        line.end = end;
        m_widestLine = std::max(m_widestLine, font.getTextSize(line.text).width);
        m_lines.push_back(std::move(line));
        line = Line{end, end, {}};
        lineWidth = 0.0f;
        lastSpace = -1;
    };
    auto append = [&](wchar_t c) {
        lineWidth += glyphWidth(c);
        line.text += c;
    };
    for (uint32_t i = 0; i < length; ++i) {
        const wchar_t c = m_text[i];
        if (c == L'\n') {
            line.text += c;
            finish(i + 1);
            continue;
        }
        if (c == L' ') {
            lastSpace = i;
        } else if (m_wordWrap && !line.text.empty() && width <= lineWidth + glyphWidth(c)) {
            // NOTE: a line keeps at least one character, so a glyph as wide
            // as the memo (or a memo without width) still moves the layout on.
            if (lastSpace >= 0 && static_cast<uint32_t>(lastSpace) + 1 < i) {
                const auto cut = static_cast<uint32_t>(lastSpace) + 1;
                line.text.resize(cut - line.start);
                finish(cut);
                for (uint32_t j = cut; j < i; ++j)
                    append(m_text[j]);
            } else {
                finish(i);
            }
        }
        append(c);
    }
    finish(length);
}

void Memo::RebuildLayout()
{
    m_layoutDirty = false;
    aFont* font = sizedFont();
    if (!font) {
        m_lines.clear();
        m_contentHeight = 0.0f;
        m_widestLine = 0.0f;
        return;
    }
    if (dropUndrawable(*font)) {
        ++m_dropCount;
        // The undo steps name positions in the text as it was.
        if (m_history)
            m_history->ClearAll();
    }
    const uint32_t length = textLength();
    SetSelection(std::min(m_selStart, length), std::min(m_selEnd, length));
    if (m_caret > length)
        Editbox::SetPosition(length);

    layOut(*font);
    const float lineHeight = GetLineHeight();
    m_contentHeight = m_lines.empty() ? 0.0f : static_cast<float>(m_lines.size() + 1) * lineHeight;
    UpdateScrollbar(m_horzBar, m_widestLine + font->getNativeHeight());
    UpdateScrollbar(m_vertBar, m_contentHeight);
    LaunchEvent(EventRebuildLayout, WidgetEventArgs(this));
}

void Memo::UpdateScrollbar(Scrollbar* bar, float total)
{
    if (!bar || bar->GetTotalSize() == total)
        return;
    const bool onLastLine = !m_lines.empty() && GetLineOfPosition(m_caret) == static_cast<int32_t>(m_lines.size() - 1);
    const float value = bar->GetTotalSize() != 0.0f && onLastLine ? total : bar->GetValue();
    bar->SetTotalSize(total);
    bar->SetValue(value);
}

void Memo::ScrollToLine(int32_t line)
{
    if (!m_vertBar || !m_vertBar->IsVisible() || line < 0 || static_cast<size_t>(line) >= m_lines.size())
        return;
    const float lineHeight = GetLineHeight();
    const float top = static_cast<float>(line) * lineHeight;
    const float d = top - m_vertBar->GetValue();
    const auto height = static_cast<float>(m_area.height);
    if (d < 0.0f)
        m_vertBar->SetValue(top);
    else if (d >= height - lineHeight)
        m_vertBar->SetValue(m_vertBar->GetValue() + d - height + 2.0f * lineHeight);
}

float Memo::lineWidthTo(aFont& font, size_t line, uint32_t position) const
{
    const Line& l = m_lines[line];
    const uint32_t count = position > l.start ? position - l.start : 0;
    return font.getTextSize(std::wstring_view(l.text).substr(0, count)).width;
}

void Memo::ScrollToCaretX(uint32_t position)
{
    if (!m_horzBar || !m_horzBar->IsVisible())
        return;
    const int32_t line = GetLineOfPosition(position);
    aFont* font = sizedFont();
    if (line < 0 || !font)
        return;
    const float w = lineWidthTo(*font, static_cast<size_t>(line), position);
    const float d = w - m_horzBar->GetValue();
    if (d < 0.0f)
        m_horzBar->SetValue(w);
    else if (d >= static_cast<float>(m_area.width) - font->getNativeHeight())
        m_horzBar->SetValue(w - m_horzBar->GetPageSize() + font->getNativeHeight());
}

void Memo::DrawCaret(uint32_t lineStart, float x, float y)
{
    if (!m_focused || !IsEnabled() || !m_caretVisible)
        return;
    aFont* font = GetFont(true);
    if (!font)
        return;
    const uint32_t from = std::min(lineStart, textLength());
    const float w =
        font->getTextSize(std::wstring_view(m_text).substr(from, m_caret > from ? m_caret - from : 0)).width;
    const wchar_t cursor = WideFromByte(static_cast<uint8_t>(m_cursorChar));
    font->color = drawColor(m_cursorColor);
    font->drawText(x + w, y, std::wstring_view(&cursor, 1), 16);
    font->color = textColor();
}

void Memo::DrawSelection(uint32_t lineStart, uint32_t from, uint32_t to, float x, float y)
{
    aFont* font = GetFont(true);
    if (!font)
        return;
    fillRect(x + textWidth(*font, lineStart, from), y, textWidth(*font, from, to),
             font->getNativeHeight() * font->getScale(), drawColor(m_selectionColor));
}

void Memo::Draw()
{
    aFont* font = sizedFont();
    if (!font)
        return;
    const aRect screen = GetAbsoluteRect();
    aRect clip = screen;
    aApplication* app = aApplication::get();
    const aGraphServer* graph = app ? app->getGraphServer() : nullptr;
    if (!m_horzBar) {
        clip.x = 0;
        clip.width = graph ? graph->getGameWidth() : 0;
    }
    if (!m_vertBar) {
        clip.y = 0;
        clip.height = graph ? graph->getGameHeight() : 0;
    }
    const ViewportClip clipping(clip);
    const aColor color = textColor();
    font->color = color;

    const float x = static_cast<float>(screen.x) - m_scrollX;
    const auto top = static_cast<float>(screen.y);
    if (m_lines.empty()) {
        DrawCaret(0, x, top);
        return;
    }
    const float lineHeight = GetLineHeight();
    // The view moves in whole lines; without line height there is one place only.
    size_t first = 0;
    if (lineHeight > 0.0f && m_scrollY > 0.0f)
        first = static_cast<size_t>(std::min(m_scrollY / lineHeight, static_cast<float>(m_lines.size())));
    const bool selecting = m_allowCopyPaste && HasSelection() && m_focused && IsEnabled();
    for (size_t i = first; i < m_lines.size(); ++i) {
        const float offset = static_cast<float>(i - first) * lineHeight;
        if (offset >= static_cast<float>(m_area.height))
            break;
        const Line& line = m_lines[i];
        const float y = top + offset;
        font->color = color;
        font->drawText(x, y, line.text, 16);
        const bool last = i + 1 == m_lines.size();
        if (line.start <= m_caret && (m_caret < line.end || (last && m_caret <= line.end)))
            DrawCaret(line.start, x, y);
        if (selecting) {
            const uint32_t from = std::max(m_selStart, line.start);
            const uint32_t to = std::min(m_selEnd, line.end);
            if (from < to)
                DrawSelection(line.start, from, to, x, y);
        }
    }
}

} // namespace GUI
