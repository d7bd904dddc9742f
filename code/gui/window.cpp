#include "gui/window.h"

#include <algorithm>

#include "gui/color.h"
#include "gui/server.h"
#include "gui/style.h"

namespace GUI {

Window::Window(const std::string& name) : Widget(name)
{
    AddProperty("Drag", &m_propDrag);
    AddProperty("NormalStyle", &m_propNormalStyle);
    AddProperty("HoverStyle", &m_propHoverStyle);
    AddProperty("DisabledStyle", &m_propDisabledStyle);
    AddEvent(EventDragStarted);
    AddEvent(EventDragging);
    AddEvent(EventDragFinished);
}

Window::~Window() = default;

bool Window::IsKindOf(const std::string& className) const
{
    return className == "Window";
}

void Window::EndFillProperties()
{
    Widget::EndFillProperties();
    const Server* server = Server::getSingletonPtr();
    auto style = [server](const Property& p, Style*& field) {
        if (p.changed)
            field = server ? server->GetStyle(p.value) : nullptr;
    };
    style(m_propNormalStyle, m_normalStyle);
    style(m_propHoverStyle, m_hoverStyle);
    style(m_propDisabledStyle, m_disabledStyle);
    if (m_propDrag.changed)
        m_drag = m_propDrag.AsBool();
}

void Window::Draw()
{
    const aRect r = GetAbsoluteRect();
    const float alpha = GetAlpha();
    if (!IsEnabled() && m_disabledStyle) {
        m_disabledStyle->Draw(r, AlphaWhite(alpha));
        return;
    }
    if (m_normalStyle)
        m_normalStyle->Draw(r, AlphaWhite(alpha));
    if (m_hoverStyle)
        m_hoverStyle->Draw(r, AlphaWhite(alpha * m_hoverFade));
}

void Window::OnMouseDown(const MouseEventArgs& args)
{
    Widget::OnMouseDown(args);
    if (!m_drag || args.button != BUTTON_LEFT)
        return;
    m_dragX = GetXInParent() + args.x;
    m_dragY = GetYInParent() + args.y;
    // A window without a parent is dragged over the whole screen.
    if (!m_parent || m_parent->HitTest(m_dragX, m_dragY)) {
        m_dragging = true;
        OnDragStarted(WidgetEventArgs(this));
    }
}

void Window::OnMouseMove(const MouseEventArgs& args)
{
    Widget::OnMouseMove(args);
    if (!m_dragging || (args.dx == 0 && args.dy == 0))
        return;
    int32_t x = GetXInParent() + args.x;
    int32_t y = GetYInParent() + args.y;
    // The grab point stays inside the parent.
    if (m_parent) {
        x = std::clamp<int32_t>(x, 0, std::max<int32_t>(0, m_parent->GetWidth() - 1));
        y = std::clamp<int32_t>(y, 0, std::max<int32_t>(0, m_parent->GetHeight() - 1));
    }
    SetPosition(static_cast<int16_t>(m_area.x + x - m_dragX), static_cast<int16_t>(m_area.y + y - m_dragY));
    m_dragX = x;
    m_dragY = y;
    OnDragging(WidgetEventArgs(this));
}

void Window::OnMouseUp(const MouseEventArgs& args)
{
    Widget::OnMouseUp(args);
    if (m_dragging && args.button == BUTTON_LEFT) {
        m_dragging = false;
        OnDragFinished(WidgetEventArgs(this));
    }
}

void Window::OnDragStarted(const WidgetEventArgs& args)
{
    LaunchEvent(EventDragStarted, args);
}

void Window::OnDragging(const WidgetEventArgs& args)
{
    LaunchEvent(EventDragging, args);
}

void Window::OnDragFinished(const WidgetEventArgs& args)
{
    LaunchEvent(EventDragFinished, args);
}

} // namespace GUI
