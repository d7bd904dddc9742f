#include "gui/scrollbar.h"

#include "orvo/util/a_log.h"

namespace GUI {

Scrollbar::Scrollbar(const std::string& name) : Widget(name)
{
    AddProperty("Vertical", &m_propVertical);
    AddProperty("StepValue", &m_propStepValue);
    AddProperty("Stretch", &m_propStretch);
    AddProperty("AutoHide", &m_propAutoHide);
    AddEvent(EventThumbTrackStarted);
    AddEvent(EventThumbTrackFinished);
    AddEvent(EventPositionChanged);
}

Scrollbar::~Scrollbar() = default;

bool Scrollbar::IsKindOf(const std::string& className) const
{
    return className == "Scrollbar";
}

void Scrollbar::EndFillProperties()
{
    Widget::EndFillProperties();
    if (m_propVertical.changed)
        m_vertical = m_propVertical.AsBool();
    if (m_propStepValue.changed)
        m_step = m_propStepValue.AsFloat();
    if (m_propStretch.changed)
        m_stretch = m_propStretch.AsBool();
    if (m_propAutoHide.changed)
        m_autoHide = m_propAutoHide.AsBool();
}

void Scrollbar::Initialize()
{
    Widget::Initialize();
    BindThumbTrack(this, m_parts);
    if (!m_parts.thumb)
        a_log("Scrollbar::Initialize - Thumb for scrollbar '%s' not found", m_name.c_str());
}

float Scrollbar::GetMaxValue() const
{
    const float max = m_totalSize - m_pageSize;
    return max > 0.0f ? max : 0.0f;
}

int32_t Scrollbar::thumbLength() const
{
    const Widget* thumb = m_parts.thumb;
    return thumb ? (m_vertical ? thumb->GetHeight() : thumb->GetWidth()) : 0;
}

void Scrollbar::placeThumb()
{
    Widget* thumb = m_parts.thumb;
    if (!thumb)
        return;
    const float max = GetMaxValue();
    const int32_t range = trackLength() - thumbLength();
    PlaceThumb(*thumb, m_vertical, max > 0.0f ? static_cast<int32_t>(m_value / max * static_cast<float>(range)) : 0);
}

void Scrollbar::SetValue(float value)
{
    const float max = GetMaxValue();
    const float v = value < 0.0f ? 0.0f : (value >= max ? max : value);
    if (v == m_value)
        return;
    m_value = v;
    placeThumb();
    OnPositionChanged(WidgetEventArgs(this));
}

void Scrollbar::SetTotalSize(float size)
{
    m_totalSize = size;
    UpdateThumb();
}

void Scrollbar::SetPageSize(float size)
{
    m_pageSize = size;
    UpdateThumb();
}

void Scrollbar::UpdateThumb()
{
    Widget* thumb = m_parts.thumb;
    // Without a page the ratio cannot be computed; that counts as content that does not fit.
    const bool computable = m_pageSize > 0.0f;
    const float ratio = computable ? m_totalSize / m_pageSize : 0.0f;
    if (computable && ratio <= 1.0f) {
        if (m_autoHide) {
            SetVisible(false);
        } else if (thumb) {
            if (m_stretch) {
                if (m_vertical)
                    thumb->SetHeight(static_cast<uint16_t>(trackLength()));
                else
                    thumb->SetWidth(static_cast<uint16_t>(trackLength()));
            } else {
                thumb->SetVisible(false);
                if (m_parts.incButton)
                    m_parts.incButton->SetEnabled(false);
                if (m_parts.decButton)
                    m_parts.decButton->SetEnabled(false);
            }
        }
    } else {
        // A ratio that cannot be computed leaves the thumb's length.
        if (thumb && m_stretch && computable) {
            const auto length = static_cast<uint16_t>(static_cast<float>(trackLength()) / ratio);
            if (m_vertical)
                thumb->SetHeight(length);
            else
                thumb->SetWidth(length);
        }
        // A thumb taken away while the content fitted comes back with content to scroll.
        if (thumb && !m_stretch) {
            thumb->SetVisible(true);
            if (m_parts.incButton)
                m_parts.incButton->SetEnabled(true);
            if (m_parts.decButton)
                m_parts.decButton->SetEnabled(true);
        }
        SetVisible(true);
    }

    // The value stays inside the new range, and the thumb shows it.
    const float max = GetMaxValue();
    if (m_value > max || m_value < 0.0f) {
        m_value = m_value < 0.0f ? 0.0f : max;
        placeThumb();
        OnPositionChanged(WidgetEventArgs(this));
    } else {
        placeThumb();
    }
}

bool Scrollbar::ThumbPressedHandler(const EventArgs& args)
{
    const auto* mouse = dynamic_cast<const MouseEventArgs*>(&args);
    return mouse ? OnThumbPressed(*mouse) : false;
}

bool Scrollbar::ThumbReleasedHandler(const EventArgs& args)
{
    const auto* mouse = dynamic_cast<const MouseEventArgs*>(&args);
    return mouse ? OnThumbReleased(*mouse) : false;
}

bool Scrollbar::ThumbMovedHandler(const EventArgs& args)
{
    const auto* mouse = dynamic_cast<const MouseEventArgs*>(&args);
    return mouse ? OnThumbMoved(*mouse) : false;
}

bool Scrollbar::OnThumbPressed(const MouseEventArgs& args)
{
    if (args.button == BUTTON_LEFT) {
        m_tracking = true;
        m_grab = m_vertical ? args.y : args.x;
        OnThumbTrackStarted(WidgetEventArgs(this));
    }
    return true;
}

bool Scrollbar::OnThumbReleased(const MouseEventArgs& args)
{
    if (args.button == BUTTON_LEFT) {
        m_tracking = false;
        OnThumbTrackFinished(WidgetEventArgs(this));
    }
    return true;
}

bool Scrollbar::OnThumbMoved(const MouseEventArgs& args)
{
    Widget* thumb = m_parts.thumb;
    int32_t position = 0;
    if (!m_tracking || !thumb || !DragThumb(*thumb, m_vertical, m_grab, trackLength(), args, position))
        return true;
    PlaceThumb(*thumb, m_vertical, position);
    const int32_t range = trackLength() - thumbLength();
    m_value = range > 0 ? GetMaxValue() * static_cast<float>(position) / static_cast<float>(range) : 0.0f;
    OnPositionChanged(WidgetEventArgs(this));
    return true;
}

bool Scrollbar::OnIncrement(const EventArgs& args)
{
    (void)args;
    SetValue(m_value + m_step);
    return true;
}

bool Scrollbar::OnDecrement(const EventArgs& args)
{
    (void)args;
    SetValue(m_value - m_step);
    return true;
}

void Scrollbar::OnThumbTrackStarted(const WidgetEventArgs& args)
{
    LaunchEvent(EventThumbTrackStarted, args);
}

void Scrollbar::OnThumbTrackFinished(const WidgetEventArgs& args)
{
    LaunchEvent(EventThumbTrackFinished, args);
}

void Scrollbar::OnPositionChanged(const WidgetEventArgs& args)
{
    LaunchEvent(EventPositionChanged, args);
}

} // namespace GUI
