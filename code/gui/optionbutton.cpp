#include "gui/optionbutton.h"

#include "orvo/gfx/a_font.h"

namespace GUI {

OptionButton::OptionButton(const std::string& name) : ButtonBase(name)
{
    AddEvent(EventOptionChanged);
}

OptionButton::~OptionButton() = default;

bool OptionButton::IsKindOf(const std::string& className) const
{
    return className == "OptionButton" || ButtonBase::IsKindOf(className);
}

void OptionButton::OnClick(const MouseEventArgs& args)
{
    Widget::OnClick(args);
    const auto size = static_cast<int32_t>(m_options.size());
    if (size == 0)
        return;
    if (args.button == BUTTON_LEFT)
        m_currentOption = m_currentOption + 1 >= size || m_currentOption + 1 < 0 ? 0 : m_currentOption + 1;
    else if (args.button == BUTTON_RIGHT)
        m_currentOption = m_currentOption - 1 < 0 || m_currentOption - 1 >= size ? size - 1 : m_currentOption - 1;
    else
        return;
    OnOptionChanged(WidgetEventArgs(this));
}

void OptionButton::OnOptionChanged(const WidgetEventArgs& args)
{
    LaunchEvent(EventOptionChanged, args);
}

void OptionButton::Draw()
{
    aFont* font = GetFont();
    if (!font)
        return;
    font->setSize(GetFontSize());
    font->setRotation(0.0f);
    const float absX = static_cast<float>(GetAbsoluteX());
    const float absY = static_cast<float>(GetAbsoluteY());
    const float textHeight = font->getTextSize(m_text).height;
    float y = absY + m_textExtent[1];
    if (m_textVertAlign == VA_CENTER)
        y = absY + (static_cast<float>(m_area.height) - textHeight) * 0.5f;
    else if (m_textVertAlign == VA_BOTTOM)
        y = absY + static_cast<float>(m_area.height) - m_textExtent[1] - textHeight;
    float dx = 0.0f, dy = 0.0f;
    if (IsEnabled() && ShowsPushed()) {
        dx = m_pushOffset[0];
        dy = m_pushOffset[1];
    }
    font->color = GetTextColor();
    font->drawText(absX + m_textExtent[0] + dx, y + dy, m_text, m_textFlags);
    if (m_currentOption >= 0 && m_currentOption < static_cast<int32_t>(m_options.size())) {
        const std::wstring& option = m_options[static_cast<size_t>(m_currentOption)];
        const float w = font->getTextSize(option).width;
        font->drawText(absX + static_cast<float>(m_area.width) - m_textExtent[0] - w + dx, y + dy, option, m_textFlags);
    }
}

} // namespace GUI
