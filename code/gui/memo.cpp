#include "gui/memo.h"

#include <algorithm>
#include <limits>

#include "gui/clipboard.h"
#include "gui/scrollbar.h"
#include "orvo/app/a_keys.h"
#include "orvo/gfx/a_font.h"

namespace GUI {

Memo::Memo(const std::string& name) : Editbox(name)
{
    AddProperty("LineSpacing", &m_propLineSpacing);
    AddProperty("WordWrap", &m_propWordWrap);
    AddProperty("HistorySize", &m_propHistorySize);
    AddEvent(EventRebuildLayout);
}

Memo::~Memo()
{
    m_history.reset();
}

bool Memo::IsKindOf(const std::string& className) const
{
    return className == "Memo" || className == "Editbox";
}

void Memo::EndFillProperties()
{
    Editbox::EndFillProperties();
    if (m_propLineSpacing.changed)
        SetLineSpacing(m_propLineSpacing.AsFloat());
    if (m_propWordWrap.changed)
        SetWordWrap(m_propWordWrap.AsBool());
    if (m_propHistorySize.changed)
        SetHistorySize(m_propHistorySize.AsInt());
}

void Memo::SetWordWrap(bool on)
{
    if (on != m_wordWrap)
        m_layoutDirty = true;
    m_wordWrap = on;
}

void Memo::SetLineSpacing(float spacing)
{
    if (spacing != m_lineSpacing)
        m_layoutDirty = true;
    m_lineSpacing = spacing;
}

void Memo::SetHistorySize(int32_t size)
{
    if (size <= 0) {
        m_history.reset();
        return;
    }
    if (!m_history)
        m_history = std::make_unique<History>();
    m_history->SetSize(static_cast<uint16_t>(std::min<int32_t>(size, std::numeric_limits<uint16_t>::max())));
}

Scrollbar* Memo::bindScrollbar(const char* suffix, bool vertical)
{
    Widget* found = FindChild(m_name + suffix, true);
    if (!found || !found->IsKindOf("Scrollbar"))
        return nullptr;
    auto* bar = static_cast<Scrollbar*>(found);
    Scrollbar*& kept = vertical ? m_vertBar : m_horzBar;
    if (bar != kept) {
        bar->SetParent(this);
        bar->SubscribeEvent(Scrollbar::EventPositionChanged,
                            new _memberBinder<Memo, bool, const EventArgs&>(this, vertical ? &Memo::OnVertScroll
                                                                                           : &Memo::OnHorzScroll));
    }
    bar->SetPageSize(vertical ? m_area.height : m_area.width);
    return bar;
}

void Memo::Initialize()
{
    Widget::Initialize();
    m_horzBar = bindScrollbar("_auto_hscroll", false);
    m_vertBar = bindScrollbar("_auto_vscroll", true);
}

bool Memo::OnHorzScroll(const EventArgs& args)
{
    (void)args;
    if (!m_horzBar)
        return true;
    m_scrollX = m_horzBar->GetValue();
    if (m_scrollX < 0.0f) {
        m_scrollX = 0.0f;
        m_horzBar->SetValue(0.0f);
    }
    return true;
}

bool Memo::OnVertScroll(const EventArgs& args)
{
    (void)args;
    if (!m_vertBar)
        return true;
    m_scrollY = m_vertBar->GetValue();
    if (m_scrollY < 0.0f) {
        m_scrollY = 0.0f;
        m_vertBar->SetValue(0.0f);
    }
    return true;
}

void Memo::OnTextChanged(const WidgetEventArgs& args)
{
    m_layoutDirty = true;
    // Undo steps name positions in the text they were made for; a text
    // replaced from outside leaves them pointing anywhere.
    if (!isOwnTextChange() && m_history)
        m_history->ClearAll();
    Editbox::OnTextChanged(args);
}

void Memo::OnFontChanged(const WidgetEventArgs& args)
{
    m_layoutDirty = true;
    Widget::OnFontChanged(args);
}

void Memo::OnSized(const WidgetEventArgs& args)
{
    m_layoutDirty = true;
    if (m_horzBar)
        m_horzBar->SetPageSize(m_area.width);
    if (m_vertBar)
        m_vertBar->SetPageSize(m_area.height);
    Widget::OnSized(args);
}

void Memo::UpdateSelf(float dt)
{
    if (m_layoutDirty)
        RebuildLayout();
    Editbox::UpdateSelf(dt);
}

void Memo::SetPosition(uint32_t position)
{
    Editbox::SetPosition(position);
    if (m_layoutDirty)
        RebuildLayout();
    const int32_t line = GetLineOfPosition(m_caret);
    if (line >= 0) {
        ScrollToLine(line);
        ScrollToCaretX(m_caret);
    }
}

bool Memo::InsertChar(wchar_t ch)
{
    wchar_t c = ch;
    if (c != L'\n') {
        c = FilterChar(ch);
        if (c == L'\0')
            return true;
    }
    if (m_maxLength > 0 && m_text.size() >= static_cast<size_t>(m_maxLength))
        return false;
    DeleteSelection();
    const uint32_t at = std::min(m_caret, textLength());
    m_text.insert(at, 1, c);
    if (m_history && !m_historyPaused)
        m_history->Add(new HistoryInsertTextEvent(at, std::wstring(1, c), this, false));
    notifyTextChanged();
    SetPosition(at + 1);
    m_selStart = m_selEnd = m_caret;
    m_layoutDirty = true;
    return true;
}

void Memo::EraseText(uint32_t start, uint32_t count)
{
    if (!m_history || m_historyPaused) {
        Editbox::EraseText(start, count);
        return;
    }
    const uint32_t length = textLength();
    if (start >= length || count == 0)
        return;
    count = std::min(count, length - start);
    auto record = std::make_unique<HistoryInsertTextEvent>(start, m_text.substr(start, count), this, count > 1);
    record->Perform();
    m_history->Add(record.release());
}

void Memo::PasteFromClipboard()
{
    if (!m_history || m_historyPaused) {
        Editbox::PasteFromClipboard();
        return;
    }
    DeleteSelection();
    const uint32_t start = m_caret;
    const uint32_t drops = m_dropCount;
    m_historyPaused = true;
    std::wstring pasted;
    for (const wchar_t c : Clipboard::GetText()) {
        if (!InsertChar(c))
            break;
        const wchar_t kept = c == L'\n' ? c : FilterChar(c);
        if (kept != L'\0')
            pasted += kept;
    }
    m_historyPaused = false;
    // A paste is one undo step, an empty one too. NOTE: a layout that dropped
    // characters the font cannot show emptied the history meanwhile; a step
    // for this paste would erase text that is not there.
    if (drops == m_dropCount)
        m_history->Add(new HistoryInsertTextEvent(start, pasted, this, true));
}

void Memo::historyErase(uint32_t position, uint32_t count)
{
    const uint32_t length = textLength();
    position = std::min(position, length);
    m_text.erase(position, std::min(count, length - position));
    RebuildLayout();
    SetSelection(position, position);
    SetPosition(position);
    notifyTextChanged();
}

void Memo::historyInsert(uint32_t position, const std::wstring& text, bool select)
{
    position = std::min(position, textLength());
    m_text.insert(position, text);
    RebuildLayout();
    const auto end = static_cast<uint32_t>(position + text.size());
    SetSelection(select ? position : end, end);
    SetPosition(end);
    notifyTextChanged();
}

uint32_t Memo::lastCaretPosition(size_t line) const
{
    if (line + 1 >= m_lines.size())
        return textLength();
    return m_lines[line].end > 0 ? m_lines[line].end - 1 : 0;
}

void Memo::MoveToStart(uint32_t modifiers)
{
    if (m_layoutDirty)
        RebuildLayout();
    const uint32_t old = m_caret;
    const int32_t line = GetLineOfPosition(m_caret);
    SetPosition(line >= 0 ? m_lines[static_cast<size_t>(line)].start : 0);
    selectAfterLineStart(old, modifiers);
}

void Memo::MoveToEnd(uint32_t modifiers)
{
    if (m_layoutDirty)
        RebuildLayout();
    const uint32_t old = m_caret;
    const int32_t line = GetLineOfPosition(m_caret);
    SetPosition(line >= 0 ? lastCaretPosition(static_cast<size_t>(line)) : textLength());
    selectAfterLineEnd(old, modifiers);
}

void Memo::MoveLines(uint32_t modifiers, int32_t n)
{
    if (m_layoutDirty)
        RebuildLayout();
    if (m_text.empty() || m_lines.empty())
        return;
    const int32_t found = GetLineOfPosition(m_caret);
    const int64_t current = found >= 0 ? found : 0;
    const int64_t target = std::clamp<int64_t>(current + n, 0, static_cast<int64_t>(m_lines.size()) - 1);
    if (target == current)
        return;
    const uint32_t start = m_lines[static_cast<size_t>(current)].start;
    const uint32_t column = m_caret > start ? m_caret - start : 0;
    const uint32_t last = lastCaretPosition(static_cast<size_t>(target));
    const uint64_t wanted = uint64_t(m_lines[static_cast<size_t>(target)].start) + column;
    const uint32_t old = m_caret;
    SetPosition(wanted < last ? static_cast<uint32_t>(wanted) : last);
    selectAfterLineStart(old, modifiers);
}

void Memo::OnKeyDown(const KeybEventArgs& args)
{
    const uint32_t modifiers = args.modifiers;
    const bool ctrl = (modifiers & MOD_CTRL) != 0;
    const float lineHeight = GetLineHeight();
    // Whole lines per page; a memo without line height has no pages.
    const int32_t page = lineHeight > 0.0f ? static_cast<int32_t>(static_cast<float>(m_area.height) / lineHeight) : 0;
    switch (args.key) {
    case A_KEY_BACKSPACE:
    case A_KEY_DELETE:
    case A_KEY_C:
    case A_KEY_V:
        m_layoutDirty = true;
        break;
    case A_KEY_ENTER:
        (void)InsertChar(L'\n');
        break;
    case A_KEY_Z:
    case A_KEY_Y:
        if (ctrl && m_history) {
            if (args.key == A_KEY_Z)
                m_history->Undo();
            else
                m_history->Redo();
            Widget::OnKeyDown(args);
            return;
        }
        break;
    case A_KEY_HOME:
        if (ctrl)
            Editbox::MoveToStart(modifiers);
        break;
    case A_KEY_END:
        if (ctrl)
            Editbox::MoveToEnd(modifiers);
        break;
    case A_KEY_UP:
        if (!ctrl)
            MoveLines(modifiers, -1);
        else if (m_vertBar)
            m_vertBar->SetValue(m_vertBar->GetValue() + lineHeight);
        break;
    case A_KEY_DOWN:
        if (!ctrl)
            MoveLines(modifiers, 1);
        else if (m_vertBar)
            m_vertBar->SetValue(m_vertBar->GetValue() - lineHeight);
        break;
    case A_KEY_PAGEUP:
        MoveLines(modifiers, -page);
        break;
    case A_KEY_PAGEDOWN:
        MoveLines(modifiers, page);
        break;
    default:
        break;
    }
    Editbox::OnKeyDown(args);
}

void Memo::OnMouseWheel(const MouseEventArgs& args)
{
    if (m_vertBar) {
        if (args.wheel > 0.0f)
            m_vertBar->SetValue(m_vertBar->GetValue() - GetLineHeight());
        else if (args.wheel < 0.0f)
            m_vertBar->SetValue(m_vertBar->GetValue() + GetLineHeight());
    }
    Widget::OnMouseWheel(args);
}

} // namespace GUI
