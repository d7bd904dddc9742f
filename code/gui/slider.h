// GUI::Slider: a value from 0 to 1 shown by the position of a thumb child
// along the slider; dragging the thumb or clicking the increment and
// decrement buttons changes it. The parts are ordinary children of the
// layout named after the slider with "_auto_thumb", "_auto_incbtn" and
// "_auto_decbtn". Made by the widget factory ("slider"). Main thread once built.
#pragma once

#include "gui/thumbtrack.h"
#include "gui/widget.h"

namespace GUI {

class Slider : public Widget {
public:
    static constexpr const char* EventThumbTrackStarted = "ThumbTrackStarted";
    static constexpr const char* EventThumbTrackFinished = "ThumbTrackFinished";
    static constexpr const char* EventPositionChanged = "PositionChanged";

    explicit Slider(const std::string& name);
    ~Slider() override;

    void EndFillProperties() override;
    const char* GetType() const override { return "Slider"; }
    bool IsKindOf(const std::string& className) const override;
    // Finds and binds the thumb and the buttons.
    void Initialize() override;

    virtual bool OnThumbPressed(const MouseEventArgs& args);
    virtual bool OnThumbReleased(const MouseEventArgs& args);
    virtual bool OnThumbMoved(const MouseEventArgs& args);
    virtual bool OnIncrement(const EventArgs& args);
    virtual bool OnDecrement(const EventArgs& args);
    virtual void OnThumbTrackStarted(const WidgetEventArgs& args);
    virtual void OnThumbTrackFinished(const WidgetEventArgs& args);
    virtual void OnPositionChanged(const WidgetEventArgs& args);

    // Clamps to 0..1 and moves the thumb; fires PositionChanged even when the value stays.
    void SetValue(float value);
    float GetValue() const { return m_value; }
    void SetStep(float step) { m_step = step; }
    float GetStep() const { return m_step; }
    void SetVertical(bool vertical) { m_vertical = vertical; }
    bool IsVertical() const { return m_vertical; }
    bool IsTracking() const { return m_tracking; }
    Widget* GetThumb() const { return m_parts.thumb; }

    // The thumb's events as the subscriber sees them.
    bool ThumbPressedHandler(const EventArgs& args);
    bool ThumbReleasedHandler(const EventArgs& args);
    bool ThumbMovedHandler(const EventArgs& args);

protected:
    ThumbTrackParts m_parts;
    int32_t m_grab = 0;
    bool m_tracking = false;
    bool m_vertical = false;
    float m_value = 0.0f;
    float m_step = 0.1f;

    Property m_propVertical;
    Property m_propStepValue;
};

} // namespace GUI
