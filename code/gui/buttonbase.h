// GUI::ButtonBase: the abstract base of every button. It keeps the pushed
// state (a left press sets it, any release clears it) and draws a caption of
// one or more lines in one of four state colours, aligned inside the button.
// The image, check, radio, option and style buttons derive from it; the
// slider, scroll bar and spinner use buttons as their parts. Main thread once built.
#pragma once

#include "gui/color.h"
#include "gui/widget.h"

namespace GUI {

class ButtonBase : public Widget {
public:
    // Text flags: each glyph on a whole pixel.
    static constexpr uint32_t TEXT_WHOLE_PIXEL = 16;

    explicit ButtonBase(const std::string& name);
    ~ButtonBase() override = 0;

    void EndFillProperties() override;
    const char* GetType() const override { return "ButtonBase"; }
    bool IsKindOf(const std::string& className) const override;
    // The caption; buttons draw it last, over their pictures.
    void Draw() override;
    void OnMouseDown(const MouseEventArgs& args) override;
    void OnMouseUp(const MouseEventArgs& args) override;

    void SetTextNormalColor(aColor argb) { m_normalColor = ColorF::FromARGB(argb); }
    void SetTextDisabledColor(aColor argb) { m_disabledColor = ColorF::FromARGB(argb); }
    void SetTextHoverColor(aColor argb) { m_hoverColor = ColorF::FromARGB(argb); }
    void SetTextPushedColor(aColor argb) { m_pushedColor = ColorF::FromARGB(argb); }
    void SetTextColors(aColor normal, aColor hover, aColor pushed, aColor disabled);
    // The caption colour of the current state, with the widget's alpha, as ARGB.
    aColor GetTextColor() const;

    bool IsPushed() const { return m_pushed; }
    void SetPushed(bool pushed) { m_pushed = pushed; }
    // A selected button keeps the pushed look (picture, caption colour and
    // offset) until it is deselected; presses do not change it.
    void SetSelected(bool selected) { m_selected = selected; }
    bool IsSelected() const { return m_selected; }
    // Pushed now, or selected.
    bool ShowsPushed() const { return m_pushed || m_selected; }
    uint32_t GetTextHorzAlign() const { return m_textHorzAlign; }
    uint32_t GetTextVertAlign() const { return m_textVertAlign; }
    // The HorizontalAlign and VerticalAlign values of the "TextHorzAlign" and "TextVertAlign" properties.
    void SetTextHorzAlign(uint32_t align) { m_textHorzAlign = align <= HA_RIGHT ? align : HA_LEFT; }
    void SetTextVertAlign(uint32_t align) { m_textVertAlign = align <= VA_BOTTOM ? align : VA_TOP; }
    // The caption's distance from the aligned edges ("TextExtent").
    void SetTextOffset(float x, float y)
    {
        m_textExtent[0] = x;
        m_textExtent[1] = y;
    }
    // How far the caption moves while pushed ("TextPushOffset").
    void SetPushOffset(float x, float y)
    {
        m_pushOffset[0] = x;
        m_pushOffset[1] = y;
    }
    uint32_t GetTextFlags() const { return m_textFlags; }
    float GetTextAngle() const { return m_textAngle; }
    float GetLineSpacing() const { return m_lineSpacing; }

protected:
    ColorF m_normalColor;
    ColorF m_disabledColor;
    ColorF m_hoverColor;
    ColorF m_pushedColor;
    float m_pushOffset[2] = {0.0f, 0.0f};
    float m_textExtent[2] = {0.0f, 0.0f};
    uint32_t m_textHorzAlign = HA_CENTER;
    uint32_t m_textVertAlign = VA_CENTER;
    float m_lineSpacing = 0.0f;
    bool m_pushed = false;
    bool m_selected = false;
    uint32_t m_textFlags = TEXT_WHOLE_PIXEL;
    float m_textAngle = 0.0f; // radians

    Property m_propTextHorzAlign;
    Property m_propTextVertAlign;
    Property m_propTextPushOffset;
    Property m_propTextExtent;
    Property m_propTextColor;
    Property m_propTextNormalColor;
    Property m_propTextDisabledColor;
    Property m_propTextHoverColor;
    Property m_propTextPushedColor;
    Property m_propLineSpacing;
    Property m_propForceIntXY;
    Property m_propTextAngle;
};

} // namespace GUI
