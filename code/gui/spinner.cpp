#include "gui/spinner.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cwchar>
#include <sstream>

#include "gui/editbox.h"
#include "orvo/util/a_log.h"

namespace GUI {

Spinner::Spinner(const std::string& name) : Widget(name)
{
    AddProperty("Minimum", &m_propMinimum);
    AddProperty("Maximum", &m_propMaximum);
    AddProperty("Value", &m_propValue);
    AddProperty("Step", &m_propStep);
    AddProperty("InputMode", &m_propInputMode);
    AddEvent(EventMinimumValueChanged);
    AddEvent(EventMaximumValueChanged);
    AddEvent(EventValueChanged);
    AddEvent(EventStepChanged);
    AddEvent(EventInputModeChanged);
}

Spinner::~Spinner() = default;

bool Spinner::IsKindOf(const std::string& className) const
{
    return className == "Spinner";
}

void Spinner::EndFillProperties()
{
    Widget::EndFillProperties();
    if (m_propMinimum.changed)
        SetMinimum(m_propMinimum.AsFloat());
    if (m_propMaximum.changed)
        SetMaximum(m_propMaximum.AsFloat());
    if (m_propStep.changed)
        SetStep(m_propStep.AsFloat());
    if (m_propInputMode.changed)
        SetInputMode(static_cast<uint32_t>(m_propInputMode.AsInt()));
    if (m_propValue.changed)
        SetValue(m_propValue.AsFloat());
}

void Spinner::Initialize()
{
    Widget::Initialize();
    using Binder = _memberBinder<Spinner, bool, const EventArgs&>;

    Widget* found = FindChild(m_name + "_auto_editbox", true);
    Editbox* editbox = found && found->IsKindOf("Editbox") ? static_cast<Editbox*>(found) : nullptr;
    if (!editbox)
        a_log("Spinner::Initialize - Editbox for spinner '%s' not found", m_name.c_str());
    else if (editbox != m_editbox)
        editbox->SubscribeEvent(Widget::EventTextChanged, new Binder(this, &Spinner::OnEditTextChanged));
    m_editbox = editbox;

    Widget* inc = FindChild(m_name + "_auto_incbtn", true);
    if (!inc)
        a_log("Spinner::Initialize - Increment button for spinner '%s' not found", m_name.c_str());
    else if (inc != m_incButton) {
        inc->SetMouseAutoRepeat(true);
        inc->SubscribeEvent(Widget::EventMouseDown, new Binder(this, &Spinner::OnIncrement));
    }
    m_incButton = inc;

    Widget* dec = FindChild(m_name + "_auto_decbtn", true);
    if (!dec)
        a_log("Spinner::Initialize - Decrement button for spinner '%s' not found", m_name.c_str());
    else if (dec != m_decButton) {
        dec->SetMouseAutoRepeat(true);
        dec->SubscribeEvent(Widget::EventMouseDown, new Binder(this, &Spinner::OnDecrement));
    }
    m_decButton = dec;

    showValue();
}

float Spinner::GetEditValue() const
{
    if (!m_editbox)
        return 0.0f;
    const wchar_t* text = m_editbox->GetText().c_str();
    wchar_t* end = nullptr;
    errno = 0;
    switch (m_inputMode) {
    case MODE_DECIMAL: {
        const long v = std::wcstol(text, &end, 10);
        return end == text ? 0.0f : static_cast<float>(std::clamp<long>(v, INT32_MIN, INT32_MAX));
    }
    case MODE_HEXADECIMAL: {
        const unsigned long v = std::wcstoul(text, &end, 16);
        return end == text ? 0.0f : static_cast<float>(std::min<unsigned long>(v, UINT32_MAX));
    }
    case MODE_FLOAT: {
        const float v = std::wcstof(text, &end);
        return end == text || std::isnan(v) ? 0.0f : v;
    }
    default:
        return 0.0f;
    }
}

std::wstring Spinner::FormatValue() const
{
    // Integers stay within what the edit box reads back (32 bits).
    const double whole = std::trunc(static_cast<double>(m_value));
    wchar_t buffer[32] = {};
    switch (m_inputMode) {
    case MODE_DECIMAL:
        std::swprintf(buffer, 32, L"%d", static_cast<int32_t>(std::clamp<double>(whole, INT32_MIN, INT32_MAX)));
        return buffer;
    case MODE_HEXADECIMAL:
        std::swprintf(buffer, 32, L"%X",
                      static_cast<uint32_t>(static_cast<int64_t>(std::clamp<double>(whole, INT32_MIN, UINT32_MAX))));
        return buffer;
    case MODE_FLOAT: {
        std::wostringstream out;
        out << m_value;
        return out.str();
    }
    default:
        return std::wstring();
    }
}

void Spinner::showValue()
{
    if (m_editbox)
        m_editbox->SetText(FormatValue());
}

void Spinner::SetValue(float value)
{
    if (value == m_value || std::isnan(value))
        return;
    if (value < m_minimum)
        value = m_minimum;
    else if (value > m_maximum)
        value = m_maximum;
    m_value = value;
    showValue();
    OnValueChanged(WidgetEventArgs(this));
}

void Spinner::SetMinimum(float minimum)
{
    if (minimum == m_minimum || std::isnan(minimum))
        return;
    m_minimum = minimum;
    OnMinimumValueChanged(WidgetEventArgs(this));
    if (m_value < m_minimum)
        SetValue(m_minimum);
}

void Spinner::SetMaximum(float maximum)
{
    if (maximum == m_maximum || std::isnan(maximum))
        return;
    m_maximum = maximum;
    OnMaximumValueChanged(WidgetEventArgs(this));
    if (m_value > m_maximum)
        SetValue(m_maximum);
}

void Spinner::SetStep(float step)
{
    if (step == m_step || std::isnan(step))
        return;
    m_step = step;
    OnStepChanged(WidgetEventArgs(this));
}

void Spinner::SetInputMode(uint32_t mode)
{
    if (mode == m_inputMode)
        return;
    m_inputMode = mode;
    showValue();
    OnInputModeChanged(WidgetEventArgs(this));
}

bool Spinner::OnIncrement(const EventArgs& args)
{
    (void)args;
    SetValue(GetEditValue() + m_step);
    return true;
}

bool Spinner::OnDecrement(const EventArgs& args)
{
    (void)args;
    SetValue(GetEditValue() - m_step);
    return true;
}

bool Spinner::OnEditTextChanged(const EventArgs& args)
{
    (void)args;
    return true;
}

void Spinner::OnMinimumValueChanged(const WidgetEventArgs& args)
{
    LaunchEvent(EventMinimumValueChanged, args);
}

void Spinner::OnMaximumValueChanged(const WidgetEventArgs& args)
{
    LaunchEvent(EventMaximumValueChanged, args);
}

void Spinner::OnValueChanged(const WidgetEventArgs& args)
{
    LaunchEvent(EventValueChanged, args);
}

void Spinner::OnStepChanged(const WidgetEventArgs& args)
{
    LaunchEvent(EventStepChanged, args);
}

void Spinner::OnInputModeChanged(const WidgetEventArgs& args)
{
    LaunchEvent(EventInputModeChanged, args);
}

} // namespace GUI
