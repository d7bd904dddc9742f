#include "gui/editbox.h"

#include <algorithm>
#include <cmath>

#include "gui/clipboard.h"
#include "gui/cyrillickey.h"
#include "gui/viewportclip.h"
#include "orvo/app/a_caselessless.h"
#include "orvo/app/a_keys.h"
#include "orvo/gfx/a_font.h"
#include "orvo/gfx/a_gdi.h"
#include "orvo/util/a_string.h"

namespace GUI {

Editbox::Editbox(const std::string& name) : Widget(name)
{
    for (uint32_t c = 32; c <= 127; ++c)
        m_allowed[c] = true;
    for (uint32_t c = 192; c <= 253; ++c)
        m_allowed[c] = true;

    AddProperty("Centered", &m_propCentered);
    AddProperty("MaxLength", &m_propMaxLength);
    AddProperty("Charset", &m_propCharset);
    AddProperty("CharCase", &m_propCharCase);
    AddProperty("NormalTextColor", &m_propNormalTextColor);
    AddProperty("DisabledTextColor", &m_propDisabledTextColor);
    AddProperty("CursorOnTime", &m_propCursorOnTime);
    AddProperty("CursorOffTime", &m_propCursorOffTime);
    AddProperty("CursorChar", &m_propCursorChar);
    AddProperty("CursorColor", &m_propCursorColor);
    AddProperty("SelectionColor", &m_propSelectionColor);
    AddProperty("AllowCopyPaste", &m_propAllowCopyPaste);
    AddProperty("ForceIntXY", &m_propForceIntXY);
    AddProperty("AllowCyrillic", &m_propAllowCyrillic);
    AddEvent(EventPositionChanged);
    AddEvent(EventEditboxFull);
}

Editbox::~Editbox() = default;

bool Editbox::IsKindOf(const std::string& className) const
{
    return className == "Editbox";
}

void Editbox::EndFillProperties()
{
    Widget::EndFillProperties();
    if (m_propCentered.changed)
        m_centered = m_propCentered.AsBool();
    if (m_propMaxLength.changed)
        m_maxLength = m_propMaxLength.AsInt();
    if (m_propCharset.changed)
        SetCharset(m_propCharset.value);
    if (m_propCharCase.changed) {
        const std::string& word = m_propCharCase.value;
        m_charCase = caseless_equal(word, "upper")   ? CASE_UPPER
                     : caseless_equal(word, "lower") ? CASE_LOWER
                                                     : CASE_AS_TYPED;
    }
    if (m_propNormalTextColor.changed)
        m_normalTextColor = ColorF::FromARGB(m_propNormalTextColor.AsColor());
    if (m_propDisabledTextColor.changed)
        m_disabledTextColor = ColorF::FromARGB(m_propDisabledTextColor.AsColor());
    if (m_propCursorOnTime.changed)
        m_cursorOnTime = m_propCursorOnTime.AsFloat();
    if (m_propCursorOffTime.changed)
        m_cursorOffTime = m_propCursorOffTime.AsFloat();
    if (m_propCursorChar.changed)
        m_cursorChar = m_propCursorChar.value.empty() ? '\0' : m_propCursorChar.value[0];
    if (m_propCursorColor.changed)
        m_cursorColor = ColorF::FromARGB(m_propCursorColor.AsColor());
    if (m_propSelectionColor.changed)
        m_selectionColor = ColorF::FromARGB(m_propSelectionColor.AsColor());
    if (m_propAllowCopyPaste.changed)
        m_allowCopyPaste = m_propAllowCopyPaste.AsBool();
    if (m_propForceIntXY.changed)
        m_drawFlags = m_propForceIntXY.AsBool() ? 16 : 0;
    if (m_propAllowCyrillic.changed)
        m_allowCyrillic = m_propAllowCyrillic.AsBool();
}

void Editbox::SetCharset(const std::string& chars)
{
    std::fill(std::begin(m_allowed), std::end(m_allowed), false);
    for (const char c : chars)
        m_allowed[static_cast<uint8_t>(c)] = true;
}

wchar_t Editbox::WideFromByte(uint8_t byte)
{
    if (byte < 0x80)
        return static_cast<wchar_t>(byte);
    const std::wstring wide = string_cp1251ToWide(std::string(1, static_cast<char>(byte)));
    return wide.empty() ? L'\0' : wide[0];
}

uint32_t Editbox::WordStartBefore(const std::wstring& text, uint32_t p)
{
    p = std::min<uint32_t>(p, static_cast<uint32_t>(text.size()));
    // The last non-blank before p, then the blank before that word.
    uint32_t q = p;
    while (q > 0 && text[q - 1] == L' ')
        --q;
    if (q == 0)
        return 0;
    --q;
    while (q > 0 && text[q - 1] != L' ')
        --q;
    return q;
}

uint32_t Editbox::NextWordAfter(const std::wstring& text, uint32_t p)
{
    const auto length = static_cast<uint32_t>(text.size());
    const size_t blank = text.find(L' ', std::min(p, length));
    if (blank == std::wstring::npos)
        return length;
    const size_t word = text.find_first_not_of(L' ', blank);
    return word == std::wstring::npos ? length : static_cast<uint32_t>(word);
}

void Editbox::notifyTextChanged()
{
    ++m_ownTextChange;
    OnTextChanged(WidgetEventArgs(this));
    --m_ownTextChange;
}

void Editbox::OnTextChanged(const WidgetEventArgs& args)
{
    // NOTE: a text set from outside (the spinner's value, game code) may be
    // shorter than the caret and the selection; every edit expects them inside.
    const uint32_t length = textLength();
    m_selStart = std::min(m_selStart, length);
    m_selEnd = std::min(m_selEnd, length);
    if (m_caret > length) {
        m_caret = length;
        OnPositionChanged(WidgetEventArgs(this));
    }
    Widget::OnTextChanged(args);
}

void Editbox::SetPosition(uint32_t position)
{
    const uint32_t caret = std::min(position, textLength());
    if (caret == m_caret)
        return;
    m_caret = caret;
    OnPositionChanged(WidgetEventArgs(this));
}

void Editbox::SetSelection(uint32_t a, uint32_t b)
{
    const uint32_t length = textLength();
    const uint32_t start = std::min({a, b, length});
    const uint32_t end = std::min(std::max(a, b), length);
    if (start == m_selStart && end == m_selEnd)
        return;
    m_selStart = start;
    m_selEnd = end;
}

void Editbox::OnPositionChanged(const WidgetEventArgs& args)
{
    LaunchEvent(EventPositionChanged, args);
}

void Editbox::OnEditboxFull(const WidgetEventArgs& args)
{
    LaunchEvent(EventEditboxFull, args);
}

wchar_t Editbox::FilterChar(wchar_t ch) const
{
    const auto lowered = static_cast<wchar_t>(ch | 0x20);
    if (lowered >= L'a' && lowered <= L'z') {
        if (m_charCase == CASE_UPPER)
            ch = static_cast<wchar_t>(ch & ~0x20);
        else if (m_charCase == CASE_LOWER)
            ch = lowered;
    } else if (ch >= 0x0410 && ch <= 0x044F) {
        // NOTE: the capitals U+0410..U+042F and the small letters U+0430..U+044F
        // lie 0x20 apart, but Р..Я already have bit 0x20 set, so the case
        // moves by adding or subtracting, not by the bit.
        if (m_charCase == CASE_UPPER && ch >= 0x0430)
            ch = static_cast<wchar_t>(ch - 0x20);
        else if (m_charCase == CASE_LOWER && ch < 0x0430)
            ch = static_cast<wchar_t>(ch + 0x20);
    }
    if (static_cast<uint32_t>(ch) > 255)
        return ch;
    return m_allowed[static_cast<uint32_t>(ch)] ? ch : L'\0';
}

aFont* Editbox::sizedFont() const
{
    aFont* font = GetFont(true);
    if (font) {
        font->setSize(m_fontSize);
        font->setRotation(0.0f);
    }
    return font;
}

float Editbox::textWidth(aFont& font, uint32_t from, uint32_t to) const
{
    const uint32_t length = textLength();
    from = std::min(from, length);
    to = std::clamp(to, from, length);
    return font.getTextSize(std::wstring_view(m_text).substr(from, to - from)).width;
}

float Editbox::cursorWidth(aFont& font) const
{
    const wchar_t cursor = WideFromByte(static_cast<uint8_t>(m_cursorChar));
    return font.getTextSize(std::wstring_view(&cursor, 1)).width;
}

bool Editbox::InsertChar(wchar_t ch)
{
    const wchar_t c = FilterChar(ch);
    if (c == L'\0')
        return true;
    if (m_maxLength == 0) {
        if (aFont* font = sizedFont()) {
            std::wstring probe = m_text;
            probe += WideFromByte(static_cast<uint8_t>(m_cursorChar));
            probe += c;
            if (font->getTextSize(probe).width > static_cast<float>(m_area.width))
                return false;
        }
    } else if (m_maxLength > 0 && m_text.size() >= static_cast<size_t>(m_maxLength)) {
        return false;
    }
    DeleteSelection();
    const uint32_t at = std::min(m_caret, textLength());
    m_text.insert(at, 1, c);
    notifyTextChanged();
    SetPosition(at + 1);
    m_selStart = m_selEnd = m_caret;
    return true;
}

void Editbox::EraseText(uint32_t start, uint32_t count)
{
    const uint32_t length = textLength();
    if (start >= length)
        return;
    m_text.erase(start, std::min(count, length - start));
}

void Editbox::DeleteSelection()
{
    if (!HasSelection())
        return;
    const uint32_t start = m_selStart;
    EraseText(start, m_selEnd - start);
    m_selEnd = m_selStart = std::min(start, textLength());
    SetPosition(start);
    notifyTextChanged();
}

void Editbox::DeleteBackward(uint32_t modifiers)
{
    if (HasSelection()) {
        DeleteSelection();
        return;
    }
    const uint32_t c = m_caret;
    if (c == 0)
        return;
    const uint32_t n = (modifiers & MOD_CTRL) ? c - WordStartBefore(m_text, c) : 1;
    SetPosition(c - n);
    m_selStart = m_selEnd = m_caret;
    EraseText(c - n, n);
    notifyTextChanged();
}

void Editbox::DeleteForward(uint32_t modifiers)
{
    if (HasSelection()) {
        DeleteSelection();
        return;
    }
    const uint32_t c = m_caret;
    if (c >= textLength())
        return;
    const uint32_t n = (modifiers & MOD_CTRL) ? NextWordAfter(m_text, c) - c : 1;
    EraseText(c, n);
    notifyTextChanged();
}

void Editbox::PasteFromClipboard()
{
    for (const wchar_t c : Clipboard::GetText())
        if (!InsertChar(c))
            break;
}

void Editbox::copySelection() const
{
    const uint32_t start = std::min(m_selStart, textLength());
    const uint32_t end = std::clamp(m_selEnd, start, textLength());
    Clipboard::SetUnicodeText(m_text.substr(start, end - start));
}

void Editbox::selectAfterLineStart(uint32_t oldCaret, uint32_t modifiers)
{
    if (!(modifiers & MOD_SHIFT))
        SetSelection(m_caret, m_caret);
    else if (oldCaret == m_selStart)
        SetSelection(m_caret, m_selEnd);
    else
        SetSelection(m_caret, m_selStart);
}

void Editbox::selectAfterLineEnd(uint32_t oldCaret, uint32_t modifiers)
{
    if (!(modifiers & MOD_SHIFT))
        SetSelection(m_caret, m_caret);
    else
        SetSelection(oldCaret == m_selEnd ? m_selStart : m_selEnd, m_caret);
}

void Editbox::MoveToStart(uint32_t modifiers)
{
    const uint32_t old = m_caret;
    SetPosition(0);
    selectAfterLineStart(old, modifiers);
}

void Editbox::MoveToEnd(uint32_t modifiers)
{
    const uint32_t old = m_caret;
    SetPosition(textLength());
    selectAfterLineEnd(old, modifiers);
}

void Editbox::moveLeft(uint32_t modifiers)
{
    if (m_caret > 0)
        SetPosition((modifiers & MOD_CTRL) ? WordStartBefore(m_text, m_caret) : m_caret - 1);
    if (!(modifiers & MOD_SHIFT))
        SetSelection(m_caret, m_caret);
    else if (m_caret != 0 && m_caret >= m_selStart)
        SetSelection(m_selStart, m_caret);
    else
        SetSelection(m_caret, m_selEnd);
}

void Editbox::moveRight(uint32_t modifiers)
{
    if (m_caret < textLength())
        SetPosition((modifiers & MOD_CTRL) ? NextWordAfter(m_text, m_caret) : m_caret + 1);
    if (!(modifiers & MOD_SHIFT))
        SetSelection(m_caret, m_caret);
    else if (m_caret != textLength() && m_caret <= m_selEnd)
        SetSelection(m_caret, m_selEnd);
    else
        SetSelection(m_selStart, m_caret);
}

void Editbox::typeCharacter(KeybEventArgs& args)
{
    if (m_allowCyrillic)
        args.character = MapCyrillicKey(args.character);
    (void)InsertChar(WideFromByte(static_cast<uint8_t>(args.character)));
}

void Editbox::OnKeyDown(const KeybEventArgs& args)
{
    KeybEventArgs typed = args; // the typed character may be mapped
    const uint32_t modifiers = args.modifiers;
    const bool clipboardKey = m_allowCopyPaste && (modifiers & MOD_CTRL);
    switch (args.key) {
    case A_KEY_BACKSPACE:
        DeleteBackward(modifiers);
        break;
    case A_KEY_DELETE:
        DeleteForward(modifiers);
        break;
    case A_KEY_LEFT:
        moveLeft(modifiers);
        break;
    case A_KEY_RIGHT:
        moveRight(modifiers);
        break;
    case A_KEY_HOME:
        MoveToStart(modifiers);
        break;
    case A_KEY_END:
        MoveToEnd(modifiers);
        break;
    default:
        if (clipboardKey && args.key == A_KEY_A) {
            SetSelection(0, textLength());
            SetPosition(textLength());
        } else if (clipboardKey && args.key == A_KEY_C) {
            copySelection();
        } else if (clipboardKey && args.key == A_KEY_X) {
            // Cutting nothing must not delete the next word: it was never copied.
            if (HasSelection()) {
                copySelection();
                DeleteForward(modifiers);
            }
        } else if (clipboardKey && args.key == A_KEY_V) {
            PasteFromClipboard();
        } else {
            typeCharacter(typed);
        }
        break;
    }
    m_blinkTimer = 0.0f;
    if (GetFont(true))
        scrollCaretIntoView();
    Widget::OnKeyDown(typed);
    args.handled = typed.handled;
}

void Editbox::scrollCaretIntoView()
{
    aFont* font = sizedFont();
    if (!font)
        return;
    const float w = textWidth(*font, 0, m_caret);
    const float c = cursorWidth(*font);
    const auto width = static_cast<float>(m_area.width);
    if (m_scrollOffset + w + c > width)
        m_scrollOffset = width - w - c;
    else if (m_scrollOffset + w < 0.0f)
        m_scrollOffset = -w;
}

void Editbox::OnFocusGain(const WidgetEventArgs& args)
{
    if (m_allowCopyPaste)
        SetSelection(0, textLength());
    SetPosition(textLength());
    m_blinkTimer = 0.0f;
    m_caretVisible = true;
    Widget::OnFocusGain(args);
}

void Editbox::UpdateSelf(float dt)
{
    if (m_focused) {
        const float period = m_cursorOnTime + m_cursorOffTime;
        // A blink without a period (or a broken one) leaves the caret shown.
        if (period > 0.0f && std::isfinite(period)) {
            m_blinkTimer = std::fmod(m_blinkTimer + dt, period);
            m_caretVisible = m_blinkTimer < m_cursorOnTime;
        } else {
            m_blinkTimer = 0.0f;
            m_caretVisible = true;
        }
    }
    Widget::UpdateSelf(dt);
}

aColor Editbox::drawColor(const ColorF& color) const
{
    ColorF c = color;
    c.a *= GetAlpha();
    return c.ToARGB();
}

void Editbox::fillRect(float x, float y, float width, float height, aColor color)
{
    if (!m_gdi)
        m_gdi = std::make_unique<aGDI>();
    m_gdi->color = color;
    m_gdi->drawRect(x, y, width, height, true);
}

void Editbox::Draw()
{
    aFont* font = sizedFont();
    if (!font)
        return;
    const ViewportClip clip(GetAbsoluteRect());
    const aTextSize size = font->getTextSize(m_text);
    const auto screenX = static_cast<float>(GetAbsoluteX());
    const auto screenY = static_cast<float>(GetAbsoluteY());
    const float y = std::trunc(screenY + (static_cast<float>(m_area.height) - size.height) / 2.0f);
    const float offset =
        m_centered && m_scrollOffset >= 0.0f ? (static_cast<float>(m_area.width) - size.width) / 2.0f : m_scrollOffset;
    const float x = std::trunc(screenX + offset);
    const bool active = m_focused && IsEnabled();

    if (m_allowCopyPaste && HasSelection() && active)
        fillRect(x + textWidth(*font, 0, m_selStart), y, textWidth(*font, m_selStart, m_selEnd),
                 font->getNativeHeight() * font->getScale(), drawColor(m_selectionColor));
    font->color = textColor();
    font->drawText(x, y, m_text, m_drawFlags);
    if (active && m_caretVisible) {
        const wchar_t cursor = WideFromByte(static_cast<uint8_t>(m_cursorChar));
        font->color = drawColor(m_cursorColor);
        font->drawText(x + textWidth(*font, 0, m_caret), y, std::wstring_view(&cursor, 1), m_drawFlags);
    }
}

} // namespace GUI
