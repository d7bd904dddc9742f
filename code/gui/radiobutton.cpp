#include "gui/radiobutton.h"

namespace GUI {

RadioButton::RadioButton(const std::string& name) : Checkbox(name)
{
    AddProperty("GroupID", &m_propGroupID);
}

RadioButton::~RadioButton() = default;

bool RadioButton::IsKindOf(const std::string& className) const
{
    return className == "RadioButton" || Checkbox::IsKindOf(className);
}

void RadioButton::EndFillProperties()
{
    Checkbox::EndFillProperties();
    if (m_propGroupID.changed)
        m_groupID = m_propGroupID.AsInt();
}

void RadioButton::OnClick(const MouseEventArgs& args)
{
    if (args.button == BUTTON_LEFT && !m_checked)
        SetChecked(true);
    Widget::OnClick(args);
}

void RadioButton::OnDoubleClick(const MouseEventArgs& args)
{
    if (args.button == BUTTON_LEFT && !m_checked)
        SetChecked(true);
    Widget::OnDoubleClick(args);
}

void RadioButton::OnCheckChanged(const WidgetEventArgs& args)
{
    (void)args;
    if (!m_checked || m_groupID == 0 || !m_parent)
        return;
    // By index: unchecking a sibling runs its handlers, which must not upset the walk.
    const auto& siblings = m_parent->GetChildren();
    for (size_t i = 0; i < siblings.size(); ++i) {
        Widget* w = siblings[i];
        if (w == this || !w->IsKindOf("RadioButton"))
            continue;
        auto* radio = dynamic_cast<RadioButton*>(w);
        if (radio && radio->m_groupID == m_groupID && radio->m_checked)
            radio->SetChecked(false);
    }
}

} // namespace GUI
