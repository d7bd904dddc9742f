// GUI::Editbox: the one-line text entry. It edits the widget's own text with
// a blinking caret and a selection, filters typed characters through an
// allowed table and a case rule, holds at most a number of characters (or as
// many as its width shows), scrolls to keep the caret in view, copies, cuts
// and pastes through the clipboard, and may type Cyrillic letters from the US
// key characters. It measures and draws with its own font only. The memo
// derives from it and the spinner shows its value in one. Made by the widget
// factory ("editbox"); main thread once built.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "gui/color.h"
#include "gui/widget.h"

class aFont;
class aGDI;

namespace GUI {

class Editbox : public Widget {
public:
    static constexpr const char* EventPositionChanged = "PositionChanged";
    static constexpr const char* EventEditboxFull = "EditboxFull";

    enum CharCase : uint32_t {
        CASE_UPPER = 0,
        CASE_LOWER = 1,
        CASE_AS_TYPED = 2,
    };

    explicit Editbox(const std::string& name);
    ~Editbox() override;

    void EndFillProperties() override;
    const char* GetType() const override { return "Editbox"; }
    bool IsKindOf(const std::string& className) const override;
    void Draw() override;
    // The caret blink, then the widget's.
    void UpdateSelf(float dt) override;
    bool IsFocusable() const override { return true; }
    // Selects everything (with copy and paste on) and puts the caret at the end.
    void OnFocusGain(const WidgetEventArgs& args) override;
    // The editing keys, then the widget's KeyDown.
    void OnKeyDown(const KeybEventArgs& args) override;
    // Keeps the caret and the selection inside a text replaced from outside.
    void OnTextChanged(const WidgetEventArgs& args) override;

    // The widget's SetPosition(x, y) moves the widget; this one moves the caret.
    using Widget::SetPosition;
    // Caret = min(position, length); PositionChanged when it moved.
    virtual void SetPosition(uint32_t position);
    // Types one character at the caret; false when the box is full (a paste stops there).
    virtual bool InsertChar(wchar_t ch);
    // Erases characters without notifying; caret and selection stay.
    virtual void EraseText(uint32_t start, uint32_t count);
    // Gives the clipboard's characters to InsertChar until one is refused for room.
    virtual void PasteFromClipboard();
    // Home and End with the shift rule of the modifiers.
    virtual void MoveToStart(uint32_t modifiers);
    virtual void MoveToEnd(uint32_t modifiers);
    virtual void OnPositionChanged(const WidgetEventArgs& args);
    // Fires EditboxFull; the box itself never calls it.
    virtual void OnEditboxFull(const WidgetEventArgs& args);

    // Stores the ordered pair, each end kept within the text.
    void SetSelection(uint32_t a, uint32_t b);
    void DeleteSelection();
    void DeleteBackward(uint32_t modifiers);
    void DeleteForward(uint32_t modifiers);
    // The character after the case rule, or 0 when the allowed table refuses it.
    wchar_t FilterChar(wchar_t ch) const;
    // Allows exactly the bytes of `chars` (characters above 255 stay allowed).
    void SetCharset(const std::string& chars);

    uint32_t GetCaret() const { return m_caret; }
    uint32_t GetSelectionStart() const { return m_selStart; }
    uint32_t GetSelectionEnd() const { return m_selEnd; }
    bool HasSelection() const { return m_selStart != m_selEnd; }
    float GetScrollOffset() const { return m_scrollOffset; }
    bool IsCaretVisible() const { return m_caretVisible; }
    void SetMaxLength(int32_t length) { m_maxLength = length; }
    int32_t GetMaxLength() const { return m_maxLength; }
    void SetCharCase(CharCase charCase) { m_charCase = charCase; }
    void SetAllowCopyPaste(bool on) { m_allowCopyPaste = on; }
    void SetAllowCyrillic(bool on) { m_allowCyrillic = on; }
    void SetCentered(bool on) { m_centered = on; }
    void SetNormalTextColor(aColor argb) { m_normalTextColor = ColorF::FromARGB(argb); }
    void SetSelectionColor(aColor argb) { m_selectionColor = ColorF::FromARGB(argb); }

    // Word positions with the blank as the only separator: the start of the
    // word before p, and the start of the word after the one at p (or the end).
    static uint32_t WordStartBefore(const std::wstring& text, uint32_t p);
    static uint32_t NextWordAfter(const std::wstring& text, uint32_t p);
    // A Windows-1251 byte as a wide character.
    static wchar_t WideFromByte(uint8_t byte);

protected:
    // Fires the widget's TextChanged for an edit of the box's own.
    void notifyTextChanged();
    // True while notifyTextChanged runs: the text changed through the box's own edits.
    bool isOwnTextChange() const { return m_ownTextChange > 0; }
    // The drawing colour of a float colour with the widget's alpha.
    aColor drawColor(const ColorF& color) const;
    aColor textColor() const { return drawColor(IsEnabled() ? m_normalTextColor : m_disabledTextColor); }
    // The own font at the own size, or null.
    aFont* sizedFont() const;
    float textWidth(aFont& font, uint32_t from, uint32_t to) const;
    float cursorWidth(aFont& font) const;
    void fillRect(float x, float y, float width, float height, aColor color);
    void copySelection() const;
    // The shift rule of Home for a move from `oldCaret` to the caret.
    void selectAfterLineStart(uint32_t oldCaret, uint32_t modifiers);
    void selectAfterLineEnd(uint32_t oldCaret, uint32_t modifiers);
    uint32_t textLength() const { return static_cast<uint32_t>(m_text.size()); }

    char m_cursorChar = '|';
    ColorF m_normalTextColor{1.0f, 1.0f, 1.0f, 1.0f};
    ColorF m_disabledTextColor{128.0f / 255.0f, 128.0f / 255.0f, 128.0f / 255.0f, 1.0f};
    ColorF m_cursorColor{1.0f, 1.0f, 1.0f, 1.0f};
    ColorF m_selectionColor{0.0f, 0.0f, 1.0f, 128.0f / 255.0f};
    bool m_centered = false;
    int32_t m_maxLength = 0;
    uint32_t m_caret = 0;
    float m_cursorOnTime = 0.7f;
    float m_cursorOffTime = 0.7f;
    float m_blinkTimer = 0.0f;
    bool m_caretVisible = true;
    bool m_allowed[256] = {};
    uint32_t m_charCase = CASE_AS_TYPED;
    uint32_t m_selStart = 0;
    uint32_t m_selEnd = 0;
    bool m_allowCopyPaste = false;
    float m_scrollOffset = 0.0f;
    uint32_t m_drawFlags = 16;
    bool m_allowCyrillic = false;

    Property m_propCentered;
    Property m_propMaxLength;
    Property m_propCharset;
    Property m_propCharCase;
    Property m_propNormalTextColor;
    Property m_propDisabledTextColor;
    Property m_propCursorOnTime;
    Property m_propCursorOffTime;
    Property m_propCursorChar;
    Property m_propCursorColor;
    Property m_propSelectionColor;
    Property m_propAllowCopyPaste;
    Property m_propForceIntXY;
    Property m_propAllowCyrillic;

private:
    void moveLeft(uint32_t modifiers);
    void moveRight(uint32_t modifiers);
    void typeCharacter(KeybEventArgs& args);
    void scrollCaretIntoView();

    std::unique_ptr<aGDI> m_gdi; // made at the first selection drawn
    int32_t m_ownTextChange = 0;
};

} // namespace GUI
