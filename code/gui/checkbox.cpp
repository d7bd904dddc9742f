#include "gui/checkbox.h"

#include "orvo/util/a_log.h"

namespace GUI {

Checkbox::Checkbox(const std::string& name) : ImageButton(name)
{
    AddProperty("Checked", &m_propChecked);
    AddProperty("RightAlign", &m_propRightAlign);
    AddEvent(EventCheckChanged);
}

Checkbox::~Checkbox() = default;

bool Checkbox::IsKindOf(const std::string& className) const
{
    return className == "Checkbox" || ImageButton::IsKindOf(className);
}

void Checkbox::EndFillProperties()
{
    ImageButton::EndFillProperties();
    if (m_propChecked.changed)
        SetChecked(m_propChecked.AsBool());
    if (m_propRightAlign.changed)
        m_rightAlign = m_propRightAlign.AsBool();
}

void Checkbox::Initialize()
{
    ImageButton::Initialize();
    m_checkWidget = FindChild(m_name + "_auto_check", true);
    if (m_checkWidget)
        m_checkWidget->SetVisible(m_checked);
    else
        a_log("Checkbox::Initialize - Check widget for checkbox '%s' not found", m_name.c_str());
}

void Checkbox::SetChecked(bool checked)
{
    if (m_checkWidget)
        m_checkWidget->SetVisible(checked);
    if (checked == m_checked)
        return;
    m_checked = checked;
    OnCheckChanged(WidgetEventArgs(this));
}

void Checkbox::OnCheckChanged(const WidgetEventArgs& args)
{
    LaunchEvent(EventCheckChanged, args);
}

void Checkbox::OnClick(const MouseEventArgs& args)
{
    if (args.button == BUTTON_LEFT)
        SetChecked(!m_checked);
    ImageButton::OnClick(args);
}

void Checkbox::OnDoubleClick(const MouseEventArgs& args)
{
    if (args.button == BUTTON_LEFT)
        SetChecked(!m_checked);
    ImageButton::OnDoubleClick(args);
}

} // namespace GUI
