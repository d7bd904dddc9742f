#include "gui/stylebutton.h"

#include "gui/server.h"
#include "gui/style.h"

namespace GUI {

StyleButton::StyleButton(const std::string& name) : ButtonBase(name)
{
    AddProperty("NormalStyle", &m_propStyles[STATE_NORMAL]);
    AddProperty("DisabledStyle", &m_propStyles[STATE_DISABLED]);
    AddProperty("HoverStyle", &m_propStyles[STATE_HOVER]);
    AddProperty("PushedStyle", &m_propStyles[STATE_PUSHED]);
}

StyleButton::~StyleButton() = default;

bool StyleButton::IsKindOf(const std::string& className) const
{
    return className == "StyleButton" || ButtonBase::IsKindOf(className);
}

void StyleButton::EndFillProperties()
{
    ButtonBase::EndFillProperties();
    const Server* server = Server::getSingletonPtr();
    for (int s = 0; s < STATE_COUNT; ++s)
        if (m_propStyles[s].changed)
            m_styles[s] = server ? server->GetStyle(m_propStyles[s].value) : nullptr;
}

void StyleButton::Draw()
{
    const aRect r = GetAbsoluteRect();
    const float alpha = GetAlpha();
    const aColor white = AlphaWhite(alpha);
    auto draw = [&r](Style* style, aColor color) {
        if (style)
            style->Draw(r, color);
    };
    if (!IsEnabled() && m_styles[STATE_DISABLED])
        draw(m_styles[STATE_DISABLED], white);
    else if (ShowsPushed() && m_styles[STATE_PUSHED])
        draw(m_styles[STATE_PUSHED], white);
    else if (m_fadeInTime == 0.0f && m_fadeOutTime == 0.0f)
        draw(m_hoverFade == 1.0f && m_styles[STATE_HOVER] ? m_styles[STATE_HOVER] : m_styles[STATE_NORMAL], white);
    else {
        draw(m_styles[STATE_NORMAL], white);
        draw(m_styles[STATE_HOVER], AlphaWhite(alpha * m_hoverFade));
    }
    ButtonBase::Draw();
}

} // namespace GUI
