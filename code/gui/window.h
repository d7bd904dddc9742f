// GUI::Window: a panel drawn with up to three styles (normal, a hover overlay
// that fades in and out, disabled) that the user may drag inside its parent
// with the left button. Made by the widget factory ("window"); the styles
// belong to the GUI server. Main thread once built.
#pragma once

#include "gui/widget.h"

namespace GUI {

class Style;

class Window : public Widget {
public:
    static constexpr const char* EventDragStarted = "DragStarted";
    static constexpr const char* EventDragging = "Dragging";
    static constexpr const char* EventDragFinished = "DragFinished";

    explicit Window(const std::string& name);
    ~Window() override;

    void EndFillProperties() override;
    const char* GetType() const override { return "Window"; }
    bool IsKindOf(const std::string& className) const override;
    void Draw() override;
    void OnMouseMove(const MouseEventArgs& args) override;
    void OnMouseDown(const MouseEventArgs& args) override;
    void OnMouseUp(const MouseEventArgs& args) override;
    virtual void OnDragStarted(const WidgetEventArgs& args);
    virtual void OnDragging(const WidgetEventArgs& args);
    virtual void OnDragFinished(const WidgetEventArgs& args);

    void SetDrag(bool drag) { m_drag = drag; }
    bool IsDragging() const { return m_dragging; }
    // Styles of the GUI server (GUI::Server::GetStyle); null draws nothing for that state.
    void SetNormalStyle(Style* style) { m_normalStyle = style; }
    void SetHoverStyle(Style* style) { m_hoverStyle = style; }
    void SetDisabledStyle(Style* style) { m_disabledStyle = style; }
    Style* GetNormalStyle() const { return m_normalStyle; }
    Style* GetHoverStyle() const { return m_hoverStyle; }
    Style* GetDisabledStyle() const { return m_disabledStyle; }

protected:
    bool m_drag = false;
    bool m_dragging = false;
    Style* m_normalStyle = nullptr;
    Style* m_hoverStyle = nullptr;
    Style* m_disabledStyle = nullptr;
    // The grab point in the parent's coordinates at the last drag step.
    int32_t m_dragX = 0;
    int32_t m_dragY = 0;

    Property m_propDrag;
    Property m_propNormalStyle;
    Property m_propHoverStyle;
    Property m_propDisabledStyle;
};

} // namespace GUI
