// Hit tests, hot keys and the event operations of GUI::Widget.
#include <algorithm>
#include <cstdint>

#include "gui/region.h"
#include "gui/server.h"
#include "gui/widget.h"

namespace GUI {

namespace {

// A point of the widget scaled onto its region's mask. A widget without width
// or height covers no point, so nothing is ever divided by 0; a point just
// left of or above the widget would truncate onto the mask's first column or
// row, so points outside the rectangle are refused first.
bool regionContains(const Region& region, int32_t x, int32_t y, uint16_t width, uint16_t height)
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return false;
    const int64_t mx = int64_t(x) * region.GetWidth() / width;
    const int64_t my = int64_t(y) * region.GetHeight() / height;
    if (mx < 0 || my < 0 || mx > INT32_MAX || my > INT32_MAX)
        return false;
    return region.Contains(static_cast<int32_t>(mx), static_cast<int32_t>(my));
}

} // namespace

bool Widget::IsTransparentAt(int32_t x, int32_t y) const
{
    (void)x;
    (void)y;
    return false;
}

bool Widget::HitTest(int32_t x, int32_t y) const
{
    if (m_region)
        return regionContains(*m_region, x, y, m_area.width, m_area.height);
    return x >= 0 && x < m_area.width && y >= 0 && y < m_area.height;
}

bool Widget::hitsChildShape(const Widget* child, int32_t x, int32_t y)
{
    if (child->m_region)
        return regionContains(*child->m_region, x, y, child->m_area.width, child->m_area.height);
    return !child->IsTransparentAt(x, y);
}

Widget* Widget::HitTestTree(int32_t x, int32_t y, bool recursive, bool skipStatic) const
{
    // A hidden ancestor hides every child; asked once for the whole walk.
    return IsVisible() ? hitTestVisible(x, y, recursive, skipStatic) : nullptr;
}

Widget* Widget::hitTestVisible(int32_t x, int32_t y, bool recursive, bool skipStatic) const
{
    for (size_t i = m_zOrder.size(); i-- > 0;) {
        const Widget* child = m_zOrder[i];
        if (!child->m_visible || (skipStatic && child->m_static))
            continue;
        const int32_t cx = child->GetXInParent();
        const int32_t cy = child->GetYInParent();
        if (recursive)
            if (Widget* deeper = child->hitTestVisible(x - cx, y - cy, true, skipStatic))
                return deeper;

        // The child's rectangle, cut to this widget's when it is clipped by it
        // (16-bit signed, as screen coordinates are).
        int32_t left = static_cast<int16_t>(cx);
        int32_t top = static_cast<int16_t>(cy);
        int32_t right = left + child->m_area.width;
        int32_t bottom = top + child->m_area.height;
        if (child->m_clipByParent) {
            left = std::max(left, 0);
            top = std::max(top, 0);
            right = std::min(right, int32_t(m_area.width));
            bottom = std::min(bottom, int32_t(m_area.height));
        }
        const int32_t px = static_cast<int16_t>(x);
        const int32_t py = static_cast<int16_t>(y);
        if (px >= left && px < right && py >= top && py < bottom && hitsChildShape(child, x - cx, y - cy))
            return const_cast<Widget*>(child);
        if (child->m_modal)
            return nullptr;
    }
    return nullptr;
}

bool Widget::DispatchHotkey(uint32_t key, uint32_t modifiers)
{
    for (size_t i = m_zOrder.size(); i-- > 0;) {
        if (i >= m_zOrder.size())
            continue; // a handler took children away
        Widget* child = m_zOrder[i];
        if (!child->m_visible)
            continue;
        if (child->m_enabled && child->DispatchHotkey(key, modifiers))
            return true;
        if (child->m_modal)
            break;
    }
    if (m_hotkey != 0 && m_hotkey == key && (modifiers & 7) == m_hotkeyModifiers) {
        // Defined arguments for a click that no mouse made.
        MouseEventArgs args;
        args.handled = true;
        args.widget = this;
        args.modifiers = modifiers;
        args.button = BUTTON_LEFT;
        OnClick(args);
        return true;
    }
    return false;
}

void Widget::OnMouseEnter(const WidgetEventArgs& args)
{
    if (m_hovered)
        return;
    playSound(m_moveSound);
    m_hovered = true;
    LaunchEvent(EventMouseEnter, args);
}

void Widget::OnMouseLeave(const WidgetEventArgs& args)
{
    m_hovered = false;
    LaunchEvent(EventMouseLeave, args);
}

void Widget::OnMouseMove(const MouseEventArgs& args)
{
    if (Server* server = Server::getSingletonPtr())
        server->SetMouseCursor(m_cursorName);
    LaunchEvent(EventMouseMove, args);
    m_timeSincePress = m_multiClickTime + 1.0f;
}

void Widget::OnMouseDown(const MouseEventArgs& args)
{
    LaunchEvent(EventMouseDown, args);
    if (args.button == BUTTON_LEFT) {
        if (!m_multiClick || m_clickCount >= 3 || m_timeSincePress > m_multiClickTime)
            m_clickCount = 0;
        ++m_clickCount;
        if (m_clickCount == 2)
            OnDoubleClick(args);
        else if (m_clickCount == 3)
            OnTripleClick(args);
        m_timeSincePress = 0.0f;
    }
    if (Server* server = Server::getSingletonPtr())
        server->SetFocus(this);
}

void Widget::OnMouseUp(const MouseEventArgs& args)
{
    LaunchEvent(EventMouseUp, args);
    if (args.button == BUTTON_LEFT && m_clickCount == 1 && HitTest(args.x, args.y))
        OnClick(args);
}

void Widget::OnMouseWheel(const MouseEventArgs& args)
{
    LaunchEvent(EventMouseWheel, args);
}

void Widget::OnClick(const MouseEventArgs& args)
{
    playSound(m_clickSound);
    LaunchEvent(EventClick, args);
}

void Widget::OnDoubleClick(const MouseEventArgs& args)
{
    playSound(m_clickSound);
    LaunchEvent(EventDoubleClick, args);
}

void Widget::OnTripleClick(const MouseEventArgs& args)
{
    LaunchEvent(EventTripleClick, args);
}

void Widget::OnFocusGain(const WidgetEventArgs& args)
{
    m_focused = true;
    LaunchEvent(EventFocusGain, args);
}

void Widget::OnFocusLost(const WidgetEventArgs& args)
{
    m_focused = false;
    LaunchEvent(EventFocusLost, args);
}

void Widget::OnKeyDown(const KeybEventArgs& args)
{
    LaunchEvent(EventKeyDown, args);
}

void Widget::OnKeyUp(const KeybEventArgs& args)
{
    LaunchEvent(EventKeyUp, args);
}

void Widget::OnKeyPress(const KeybEventArgs& args)
{
    LaunchEvent(EventKeyPress, args);
}

void Widget::OnEnabled(const WidgetEventArgs& args)
{
    LaunchEvent(EventEnabled, args);
}

void Widget::OnDisabled(const WidgetEventArgs& args)
{
    LaunchEvent(EventDisabled, args);
}

void Widget::OnShow(const WidgetEventArgs& args)
{
    LaunchEvent(EventShow, args);
}

void Widget::OnHide(const WidgetEventArgs& args)
{
    LaunchEvent(EventHide, args);
}

void Widget::OnTextChanged(const WidgetEventArgs& args)
{
    LaunchEvent(EventTextChanged, args);
}

void Widget::OnFontChanged(const WidgetEventArgs& args)
{
    LaunchEvent(EventFontChanged, args);
}

void Widget::OnMoved(const WidgetEventArgs& args)
{
    LaunchEvent(EventMoved, args);
}

void Widget::OnSized(const WidgetEventArgs& args)
{
    LaunchEvent(EventSized, args);
}

void Widget::OnBeginRender(const WidgetEventArgs& args)
{
    if (m_notifyRender)
        LaunchEvent(EventBeginRender, args);
}

void Widget::OnEndRender(const WidgetEventArgs& args)
{
    if (m_notifyRender)
        LaunchEvent(EventEndRender, args);
}

} // namespace GUI
