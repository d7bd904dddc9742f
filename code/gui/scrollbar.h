// GUI::Scrollbar: a scroll position in content pixels from 0 to (total size
// - page size), shown by a thumb child whose length can follow the
// page-to-total ratio; the bar can hide itself while everything fits. Text
// and list widgets drive it and copy its value on PositionChanged. The parts
// are children named after the bar with "_auto_thumb", "_auto_incbtn" and
// "_auto_decbtn". Made by the widget factory ("scrollbar"). Main thread once built.
#pragma once

#include "gui/thumbtrack.h"
#include "gui/widget.h"

namespace GUI {

class Scrollbar : public Widget {
public:
    static constexpr const char* EventPositionChanged = "PositionChanged";
    static constexpr const char* EventThumbTrackStarted = "ThumbTrackStarted";
    static constexpr const char* EventThumbTrackFinished = "ThumbTrackFinished";

    explicit Scrollbar(const std::string& name);
    ~Scrollbar() override;

    void EndFillProperties() override;
    const char* GetType() const override { return "Scrollbar"; }
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

    // Clamps to 0..GetMaxValue(); on a change moves the thumb and fires PositionChanged.
    void SetValue(float value);
    float GetValue() const { return m_value; }
    // Total - page, never below 0.
    float GetMaxValue() const;
    void SetTotalSize(float size);
    void SetPageSize(float size);
    float GetTotalSize() const { return m_totalSize; }
    float GetPageSize() const { return m_pageSize; }
    void SetStep(float step) { m_step = step; }
    float GetStep() const { return m_step; }
    bool IsVertical() const { return m_vertical; }
    bool IsTracking() const { return m_tracking; }
    Widget* GetThumb() const { return m_parts.thumb; }
    // Sizes the thumb to the page-to-total ratio, hides or shows the bar, and
    // puts the thumb where the (re-clamped) value is.
    void UpdateThumb();

    // The thumb's events as the subscriber sees them.
    bool ThumbPressedHandler(const EventArgs& args);
    bool ThumbReleasedHandler(const EventArgs& args);
    bool ThumbMovedHandler(const EventArgs& args);

protected:
    int32_t trackLength() const { return m_vertical ? m_area.height : m_area.width; }
    int32_t thumbLength() const;
    // The thumb's place for the current value.
    void placeThumb();

    ThumbTrackParts m_parts;
    float m_pageSize = 0.0f;
    float m_totalSize = 0.0f;
    float m_value = 0.0f;
    float m_step = 0.0f;
    bool m_vertical = false;
    bool m_autoHide = false;
    bool m_stretch = true;
    bool m_tracking = false;
    int32_t m_grab = 0;

    Property m_propVertical;
    Property m_propStepValue;
    Property m_propStretch;
    Property m_propAutoHide;
};

} // namespace GUI
