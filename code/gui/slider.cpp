#include "gui/slider.h"

#include "orvo/util/a_log.h"

namespace GUI {

Slider::Slider(const std::string& name) : Widget(name)
{
    AddProperty("Vertical", &m_propVertical);
    AddProperty("StepValue", &m_propStepValue);
    AddEvent(EventThumbTrackStarted);
    AddEvent(EventThumbTrackFinished);
    AddEvent(EventPositionChanged);
}

Slider::~Slider() = default;

bool Slider::IsKindOf(const std::string& className) const
{
    return className == "Slider";
}

void Slider::EndFillProperties()
{
    Widget::EndFillProperties();
    if (m_propVertical.changed)
        m_vertical = m_propVertical.AsBool();
    if (m_propStepValue.changed)
        m_step = m_propStepValue.AsFloat();
}

void Slider::Initialize()
{
    Widget::Initialize();
    BindThumbTrack(this, m_parts);
    if (!m_parts.thumb)
        a_log("Slider::Initialize - Thumb for slider '%s' not found", m_name.c_str());
}

void Slider::SetValue(float value)
{
    if (value != m_value) {
        m_value = value <= 0.0f ? 0.0f : (value > 1.0f ? 1.0f : value);
        if (Widget* thumb = m_parts.thumb) {
            const int32_t track = m_vertical ? m_area.height - thumb->GetHeight() : m_area.width - thumb->GetWidth();
            PlaceThumb(*thumb, m_vertical, static_cast<int32_t>(m_value * static_cast<float>(track)));
        }
    }
    OnPositionChanged(WidgetEventArgs(this));
}

bool Slider::ThumbPressedHandler(const EventArgs& args)
{
    const auto* mouse = dynamic_cast<const MouseEventArgs*>(&args);
    return mouse ? OnThumbPressed(*mouse) : false;
}

bool Slider::ThumbReleasedHandler(const EventArgs& args)
{
    const auto* mouse = dynamic_cast<const MouseEventArgs*>(&args);
    return mouse ? OnThumbReleased(*mouse) : false;
}

bool Slider::ThumbMovedHandler(const EventArgs& args)
{
    const auto* mouse = dynamic_cast<const MouseEventArgs*>(&args);
    return mouse ? OnThumbMoved(*mouse) : false;
}

bool Slider::OnThumbPressed(const MouseEventArgs& args)
{
    if (args.button == BUTTON_LEFT) {
        m_tracking = true;
        m_grab = m_vertical ? args.y : args.x;
        OnThumbTrackStarted(WidgetEventArgs(this));
    }
    return true;
}

bool Slider::OnThumbReleased(const MouseEventArgs& args)
{
    if (args.button == BUTTON_LEFT) {
        m_tracking = false;
        OnThumbTrackFinished(WidgetEventArgs(this));
    }
    return true;
}

bool Slider::OnThumbMoved(const MouseEventArgs& args)
{
    Widget* thumb = m_parts.thumb;
    int32_t position = 0;
    const int32_t length = m_vertical ? m_area.height : m_area.width;
    if (!m_tracking || !thumb || !DragThumb(*thumb, m_vertical, m_grab, length, args, position))
        return true;
    PlaceThumb(*thumb, m_vertical, position);
    const int32_t range = length - (m_vertical ? thumb->GetHeight() : thumb->GetWidth());
    // A thumb as long as the track has nowhere to go: the value is 0.
    m_value = range > 0 ? static_cast<float>(position) / static_cast<float>(range) : 0.0f;
    OnPositionChanged(WidgetEventArgs(this));
    return true;
}

bool Slider::OnIncrement(const EventArgs& args)
{
    (void)args;
    SetValue(m_value + m_step);
    return true;
}

bool Slider::OnDecrement(const EventArgs& args)
{
    (void)args;
    SetValue(m_value - m_step);
    return true;
}

void Slider::OnThumbTrackStarted(const WidgetEventArgs& args)
{
    LaunchEvent(EventThumbTrackStarted, args);
}

void Slider::OnThumbTrackFinished(const WidgetEventArgs& args)
{
    LaunchEvent(EventThumbTrackFinished, args);
}

void Slider::OnPositionChanged(const WidgetEventArgs& args)
{
    LaunchEvent(EventPositionChanged, args);
}

} // namespace GUI
