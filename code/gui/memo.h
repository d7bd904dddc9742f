// GUI::Memo: the multi-line text entry. An edit box whose text is laid out
// into lines at hard breaks and (optionally) at the widget's width, with line
// and page moves of the caret, two optional scroll bars among its children
// ("_auto_hscroll", "_auto_vscroll"), the mouse wheel, and undo and redo
// through an owned GUI::History. The layout is rebuilt lazily: changes mark
// it dirty and the next frame or caret move rebuilds it. Made by the widget
// factory ("memo"); main thread once built.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gui/editbox.h"
#include "gui/history.h"

namespace GUI {

class Scrollbar;

class Memo : public Editbox {
public:
    static constexpr const char* EventRebuildLayout = "RebuildLayout";

    struct Line {
        uint32_t start = 0; // index of the line's first character
        uint32_t end = 0;   // one past its last; the next line starts there
        std::wstring text;  // its characters, its line break included
    };

    explicit Memo(const std::string& name);
    ~Memo() override;

    void EndFillProperties() override;
    const char* GetType() const override { return "Memo"; }
    bool IsKindOf(const std::string& className) const override;
    // Finds the scroll bars and makes them its children.
    void Initialize() override;
    void Draw() override;
    // Rebuilds a dirty layout, then blinks.
    void UpdateSelf(float dt) override;
    void OnMouseWheel(const MouseEventArgs& args) override;
    void OnKeyDown(const KeybEventArgs& args) override;
    // Marks the layout dirty; a text replaced from outside also empties the history.
    void OnTextChanged(const WidgetEventArgs& args) override;
    void OnFontChanged(const WidgetEventArgs& args) override;
    void OnSized(const WidgetEventArgs& args) override;
    using Editbox::SetPosition;
    // The edit box's caret move, then the layout and the view follow the caret.
    void SetPosition(uint32_t position) override;
    // Also takes line breaks; records undo steps; no width limit.
    bool InsertChar(wchar_t ch) override;
    // Records the erased text as an undo step.
    void EraseText(uint32_t start, uint32_t count) override;
    // One undo step for the whole paste.
    void PasteFromClipboard() override;
    // The caret's line start and end.
    void MoveToStart(uint32_t modifiers) override;
    void MoveToEnd(uint32_t modifiers) override;

    virtual bool OnHorzScroll(const EventArgs& args);
    virtual bool OnVertScroll(const EventArgs& args);

    // Needs the own font; without one nothing is laid out.
    void RebuildLayout();
    // Font size times the font's native height, plus the line spacing; 0 without a font.
    float GetLineHeight() const;
    // The line holding the position (the last line also holds its end), or -1.
    int32_t GetLineOfPosition(uint32_t position) const;
    void ScrollToLine(int32_t line);
    void ScrollToCaretX(uint32_t position);
    // Moves the caret n lines, keeping its column where the line is long enough.
    void MoveLines(uint32_t modifiers, int32_t n);
    // Above 0: a history with that limit; otherwise none.
    void SetHistorySize(int32_t size);
    // Gives the bar a new total; the view follows text added at the end.
    void UpdateScrollbar(Scrollbar* bar, float total);

    const std::vector<Line>& GetLines() const { return m_lines; }
    float GetContentHeight() const { return m_contentHeight; }
    float GetWidestLine() const { return m_widestLine; }
    bool IsLayoutDirty() const { return m_layoutDirty; }
    History* GetHistory() const { return m_history.get(); }
    Scrollbar* GetHorzScrollbar() const { return m_horzBar; }
    Scrollbar* GetVertScrollbar() const { return m_vertBar; }
    float GetScrollX() const { return m_scrollX; }
    float GetScrollY() const { return m_scrollY; }
    void SetWordWrap(bool on);
    void SetLineSpacing(float spacing);

    // Used by the history's records: the text changes at once and the layout with it.
    void historyErase(uint32_t position, uint32_t count);
    void historyInsert(uint32_t position, const std::wstring& text, bool select);

protected:
    void DrawCaret(uint32_t lineStart, float x, float y);
    void DrawSelection(uint32_t lineStart, uint32_t from, uint32_t to, float x, float y);
    // The last place the caret can stand on the line.
    uint32_t lastCaretPosition(size_t line) const;
    // Width of the line's characters from its start up to the position.
    float lineWidthTo(aFont& font, size_t line, uint32_t position) const;

    std::vector<Line> m_lines;
    float m_contentHeight = 0.0f;
    float m_widestLine = 0.0f;
    bool m_layoutDirty = false;
    float m_scrollX = 0.0f;
    float m_scrollY = 0.0f;
    Scrollbar* m_horzBar = nullptr;
    Scrollbar* m_vertBar = nullptr;
    bool m_wordWrap = true;
    float m_lineSpacing = 0.0f;
    std::unique_ptr<History> m_history;
    bool m_historyPaused = false;

    Property m_propLineSpacing;
    Property m_propWordWrap;
    Property m_propHistorySize;

private:
    // Removes the characters the font cannot show; true when any went.
    bool dropUndrawable(aFont& font);
    void layOut(aFont& font);
    Scrollbar* bindScrollbar(const char* suffix, bool vertical);

    uint32_t m_dropCount = 0; // layouts that dropped characters
};

} // namespace GUI
