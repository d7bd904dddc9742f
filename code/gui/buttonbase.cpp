#include "gui/buttonbase.h"

#include <algorithm>
#include <string_view>

#include "gui/imagedraw.h"
#include "orvo/gfx/a_font.h"

namespace GUI {

ButtonBase::ButtonBase(const std::string& name) : Widget(name)
{
    AddProperty("TextHorzAlign", &m_propTextHorzAlign);
    AddProperty("TextVertAlign", &m_propTextVertAlign);
    AddProperty("TextPushOffset", &m_propTextPushOffset);
    AddProperty("TextExtent", &m_propTextExtent);
    AddProperty("TextColor", &m_propTextColor);
    AddProperty("TextNormalColor", &m_propTextNormalColor);
    AddProperty("TextDisabledColor", &m_propTextDisabledColor);
    AddProperty("TextHoverColor", &m_propTextHoverColor);
    AddProperty("TextPushedColor", &m_propTextPushedColor);
    AddProperty("LineSpacing", &m_propLineSpacing);
    AddProperty("ForceIntXY", &m_propForceIntXY);
    AddProperty("TextAngle", &m_propTextAngle);
    SetTextColors(0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF);
}

ButtonBase::~ButtonBase() = default;

bool ButtonBase::IsKindOf(const std::string& className) const
{
    return className == "ButtonBase";
}

void ButtonBase::SetTextColors(aColor normal, aColor hover, aColor pushed, aColor disabled)
{
    SetTextNormalColor(normal);
    SetTextHoverColor(hover);
    SetTextPushedColor(pushed);
    SetTextDisabledColor(disabled);
}

void ButtonBase::EndFillProperties()
{
    Widget::EndFillProperties();
    if (m_propTextHorzAlign.changed)
        m_textHorzAlign = ParseHorizontalAlign(m_propTextHorzAlign.value);
    if (m_propTextVertAlign.changed)
        m_textVertAlign = ParseVerticalAlign(m_propTextVertAlign.value);
    if (m_propTextPushOffset.changed)
        m_propTextPushOffset.AsPoint(m_pushOffset[0], m_pushOffset[1]);
    if (m_propTextExtent.changed)
        m_propTextExtent.AsPoint(m_textExtent[0], m_textExtent[1]);
    if (m_propTextColor.changed) {
        aColor c[4];
        m_propTextColor.AsColors(c);
        SetTextColors(c[0], c[1], c[2], c[3]);
    }
    if (m_propTextNormalColor.changed)
        SetTextNormalColor(m_propTextNormalColor.AsColor());
    if (m_propTextDisabledColor.changed)
        SetTextDisabledColor(m_propTextDisabledColor.AsColor());
    if (m_propTextHoverColor.changed)
        SetTextHoverColor(m_propTextHoverColor.AsColor());
    if (m_propTextPushedColor.changed)
        SetTextPushedColor(m_propTextPushedColor.AsColor());
    if (m_propLineSpacing.changed)
        m_lineSpacing = m_propLineSpacing.AsFloat();
    if (m_propForceIntXY.changed)
        m_textFlags = m_propForceIntXY.AsBool() ? TEXT_WHOLE_PIXEL : 0;
    if (m_propTextAngle.changed)
        m_textAngle = m_propTextAngle.AsFloat() * kDegreesToRadians;
}

aColor ButtonBase::GetTextColor() const
{
    ColorF c;
    if (!IsEnabled())
        c = m_disabledColor;
    else if (ShowsPushed())
        c = m_pushedColor;
    else {
        const float f = m_hoverFade;
        c.r = m_normalColor.r + (m_hoverColor.r - m_normalColor.r) * f;
        c.g = m_normalColor.g + (m_hoverColor.g - m_normalColor.g) * f;
        c.b = m_normalColor.b + (m_hoverColor.b - m_normalColor.b) * f;
        c.a = m_normalColor.a + (m_hoverColor.a - m_normalColor.a) * f;
    }
    c.a *= GetAlpha();
    return c.ToARGB();
}

void ButtonBase::Draw()
{
    aFont* font = GetFont();
    if (m_text.empty() || !font)
        return;
    font->setSize(GetFontSize());
    font->setRotation(m_textAngle);

    size_t lines = 1;
    for (wchar_t ch : m_text)
        lines += ch == L'\n';
    const float step = font->getNativeHeight() * font->getScale() + m_lineSpacing;
    const float absX = static_cast<float>(GetAbsoluteX());
    const float absY = static_cast<float>(GetAbsoluteY());
    const float width = m_area.width;
    const float height = m_area.height;
    const float blockHeight = static_cast<float>(lines) * step;

    float y = absY + m_textExtent[1];
    if (m_textVertAlign == VA_CENTER)
        y = absY + (height - blockHeight) * 0.5f;
    else if (m_textVertAlign == VA_BOTTOM)
        y = absY + height - m_textExtent[1] - blockHeight;

    font->color = GetTextColor();
    const std::wstring_view text(m_text);
    size_t start = 0;
    for (size_t i = 0; i < lines; ++i) {
        const size_t end = std::min(text.find(L'\n', start), text.size());
        const std::wstring_view line = text.substr(start, end - start);
        start = end + 1;
        const float w = font->getTextSize(line).width;
        float x = absX + m_textExtent[0];
        if (m_textHorzAlign == HA_CENTER)
            x = absX + (width - w) * 0.5f + m_textExtent[0];
        else if (m_textHorzAlign == HA_RIGHT)
            x = absX + width - m_textExtent[0] - w;
        float lineY = y + static_cast<float>(i) * step;
        if (ShowsPushed()) {
            x += m_pushOffset[0];
            lineY += m_pushOffset[1];
        }
        font->drawText(x, lineY, line, m_textFlags);
    }
}

void ButtonBase::OnMouseDown(const MouseEventArgs& args)
{
    m_pushed = args.button == BUTTON_LEFT;
    Widget::OnMouseDown(args);
}

void ButtonBase::OnMouseUp(const MouseEventArgs& args)
{
    m_pushed = false;
    Widget::OnMouseUp(args);
}

} // namespace GUI
