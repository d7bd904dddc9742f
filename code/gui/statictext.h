// GUI::StaticText: a block of wide text with inline tags that change colour
// ("<#color=AARRGGBB#>"), size ("<#size=1.5#>") and font ("<#font=name#>")
// mid-text, broken into lines (word wrap, justification), aligned across and
// down, and scrolled through up to two automatic scroll bars (children named
// after it with "_auto_hscroll" and "_auto_vscroll"). The widget's text holds
// the plain text once the tags are taken out. The layout is rebuilt in the
// update after a change. Made by the widget factory ("statictext"). Main thread once built.
#pragma once

#include <vector>

#include "gui/color.h"
#include "gui/tagparser.h"
#include "gui/widget.h"

namespace GUI {

class Scrollbar;

class StaticText : public Widget {
public:
    enum HorzFormatting : int32_t { HF_CENTER = 0, HF_LEFT = 1, HF_RIGHT = 2, HF_WIDTH = 5 };
    enum VertFormatting : int32_t { VF_CENTER = 0, VF_TOP = 3, VF_BOTTOM = 4 };
    // The colour of a run that shows the widget's own text colour.
    static constexpr aColor RUN_WIDGET_COLOR = 1;

    // A style change made by tags, from `start` non-blank characters of the plain text on.
    struct StyleRun {
        uint32_t start = 0;
        aColor color = RUN_WIDGET_COLOR;
        float size = 1.0f;
        aFont* font = nullptr; // null: the widget's font at the time it is laid out and drawn
    };
    // One word of a line, drawn on its own: x (from the text's origin) is where its first glyph goes.
    struct Piece {
        std::wstring text;
        float x = 0.0f;
    };
    struct Line {
        uint32_t firstPiece = 0;
        uint32_t pieceCount = 0;
        float height = 0.0f;
    };

    explicit StaticText(const std::string& name);
    ~StaticText() override;

    void EndFillProperties() override;
    const char* GetType() const override { return "StaticText"; }
    bool IsKindOf(const std::string& className) const override;
    void Initialize() override;
    void Draw() override;
    void UpdateSelf(float dt) override;
    void OnTextChanged(const WidgetEventArgs& args) override;
    // Without tags: "<#" and what follows are shown as they stand.
    void SetPlainText(const std::wstring& text) override;
    void OnFontChanged(const WidgetEventArgs& args) override;
    void OnSized(const WidgetEventArgs& args) override;
    // The scroll bars' PositionChanged: copy the bar's value.
    virtual bool OnHorzScroll(const EventArgs& args);
    virtual bool OnVertScroll(const EventArgs& args);

    void SetTextColor(aColor argb) { m_normalColor = ColorF::FromARGB(argb); }
    void SetTextDisabledColor(aColor argb) { m_disabledColor = ColorF::FromARGB(argb); }
    void SetHorzFormatting(int32_t formatting);
    void SetVertFormatting(int32_t formatting);
    void SetLineSpacing(float spacing);
    void SetWordWrap(bool wrap);
    int32_t GetHorzFormatting() const { return m_horzFormatting; }
    int32_t GetVertFormatting() const { return m_vertFormatting; }

    // Breaks the text into lines and places the words; run by the update when the layout is dirty.
    void UpdateLayout();

    const std::vector<StyleRun>& GetStyleRuns() const { return m_runs; }
    const std::vector<Piece>& GetPieces() const { return m_pieces; }
    uint32_t GetLineCount() const { return m_lineCount; }
    const Line& GetLine(uint32_t i) const { return m_lines[i]; }
    float GetTotalHeight() const { return m_totalHeight; }
    float GetMaxWidth() const { return m_maxWidth; }
    bool IsLayoutDirty() const { return m_layoutDirty; }
    float GetHorzScroll() const { return m_horzScroll; }
    float GetVertScroll() const { return m_vertScroll; }

    // "left", "center", "right", "width" (any case); anything else is left.
    static int32_t ParseHorzFormatting(const std::string& word);
    // "top", "center", "bottom" (any case); anything else is top.
    static int32_t ParseVertFormatting(const std::string& word);

protected:
    // The font and scale that the runs up to a number of non-blank characters give.
    struct RunCursor {
        size_t next = 0;
        aFont* font = nullptr;
        float size = 1.0f; // run size x the widget's font size
    };
    void advanceRuns(RunCursor& cursor, uint32_t nonBlank, aFont* widgetFont, float baseSize) const;
    void applyTag(const std::wstring& name, const std::wstring& value, StyleRun& style) const;

    TagParser m_parser{L"<#", L"#>", L"="};
    std::vector<StyleRun> m_runs;
    std::vector<Piece> m_pieces;
    std::vector<Line> m_lines;
    uint32_t m_lineCount = 0;
    float m_totalHeight = 0.0f;
    float m_maxWidth = 0.0f;
    bool m_layoutDirty = false;
    float m_horzScroll = 0.0f;
    float m_vertScroll = 0.0f;
    Scrollbar* m_horzBar = nullptr;
    Scrollbar* m_vertBar = nullptr;
    int32_t m_horzFormatting = HF_LEFT;
    int32_t m_vertFormatting = VF_TOP;
    uint32_t m_textFlags = 16; // each glyph on a whole pixel
    bool m_wordWrap = true;
    bool m_plainText = false; // the text being set is shown as it stands
    float m_lineSpacing = 0.0f;
    ColorF m_normalColor;
    ColorF m_disabledColor;

    Property m_propTextNormalColor;
    Property m_propTextDisabledColor;
    Property m_propHorzFormatting;
    Property m_propVertFormatting;
    Property m_propLineSpacing;
    Property m_propWordWrap;
};

} // namespace GUI
