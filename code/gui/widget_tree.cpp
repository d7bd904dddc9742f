// Geometry, anchors, the tree and the z-order of GUI::Widget.
#include <algorithm>

#include "gui/widget.h"
#include "orvo/app/a_caselessless.h"
#include "orvo/util/a_log.h"

namespace GUI {

namespace {

int32_t anchor(uint32_t align, int32_t parentSize)
{
    switch (align) {
    case 1:
        return parentSize / 2;
    case 2:
        return parentSize;
    default:
        return 0;
    }
}

} // namespace

void Widget::SetArea(const aRect& area)
{
    const aRect before = m_area;
    m_area = area;
    if (m_area.width < m_minWidth)
        m_area.width = m_minWidth;
    else if (m_maxWidth != 0 && m_area.width > m_maxWidth)
        m_area.width = m_maxWidth;
    if (m_area.height < m_minHeight)
        m_area.height = m_minHeight;
    else if (m_maxHeight != 0 && m_area.height > m_maxHeight)
        m_area.height = m_maxHeight;

    if (m_area.x != before.x || m_area.y != before.y)
        OnMoved(WidgetEventArgs(this));
    if (m_area.width != before.width || m_area.height != before.height)
        OnSized(WidgetEventArgs(this));
}

void Widget::SetPosition(int16_t x, int16_t y)
{
    SetArea(aRect(x, y, m_area.width, m_area.height));
}

void Widget::SetSize(uint16_t width, uint16_t height)
{
    SetArea(aRect(m_area.x, m_area.y, width, height));
}

void Widget::SetWidth(uint16_t width)
{
    SetSize(width, m_area.height);
}

void Widget::SetHeight(uint16_t height)
{
    SetSize(m_area.width, height);
}

int32_t Widget::GetXInParent() const
{
    return m_area.x + (m_parent ? anchor(m_horizontalAlign, m_parent->m_area.width) : 0);
}

int32_t Widget::GetYInParent() const
{
    return m_area.y + (m_parent ? anchor(m_verticalAlign, m_parent->m_area.height) : 0);
}

int32_t Widget::GetAbsoluteX() const
{
    int32_t x = 0;
    for (const Widget* w = this; w; w = w->m_parent)
        x += w->GetXInParent();
    return x;
}

int32_t Widget::GetAbsoluteY() const
{
    int32_t y = 0;
    for (const Widget* w = this; w; w = w->m_parent)
        y += w->GetYInParent();
    return y;
}

aRect Widget::GetAbsoluteRect() const
{
    return aRect(static_cast<int16_t>(GetAbsoluteX()), static_cast<int16_t>(GetAbsoluteY()), m_area.width,
                 m_area.height);
}

void Widget::AddChild(Widget* child)
{
    if (!child)
        return;
    // Adopting itself or an ancestor would close a loop in the tree. Only a
    // widget with children can be an ancestor, so a new leaf (every widget a
    // layout adds) costs no walk up a deep tree.
    for (const Widget* w = this; w; w = child->m_children.empty() ? nullptr : w->m_parent) {
        if (w == child) {
            a_log("Widget::AddChild - '%s' cannot become a child of '%s'", child->m_name.c_str(), m_name.c_str());
            return;
        }
    }
    if (child->m_parent)
        child->m_parent->RemoveChild(child);
    child->m_parent = this;
    m_children.push_back(child);
    InsertIntoZOrder(child, false);
}

void Widget::RemoveChild(Widget* child)
{
    if (!child)
        return;
    RemoveFromZOrder(child);
    const auto it = std::find(m_children.begin(), m_children.end(), child);
    if (it != m_children.end()) {
        m_children.erase(it);
        child->m_parent = nullptr;
    }
}

void Widget::RemoveAllChildren()
{
    while (!m_children.empty()) {
        Widget* child = m_children.front();
        RemoveChild(child);
        if (child->m_deleteWithParent)
            delete child;
    }
}

void Widget::SetParent(Widget* parent)
{
    if (parent == m_parent)
        return;
    if (!parent) {
        m_parent->RemoveChild(this);
        return;
    }
    parent->AddChild(this);
}

void Widget::BringToFront()
{
    if (!m_parent)
        return;
    m_parent->RemoveFromZOrder(this);
    m_parent->InsertIntoZOrder(this, false);
}

void Widget::RiseToFront()
{
    for (Widget* w = this; w; w = w->m_parent)
        if (w->m_riseOnClick)
            w->BringToFront();
}

Widget* Widget::FindChild(const std::string& name, bool recursive) const
{
    for (Widget* child : m_children) {
        if (caseless_equal(child->m_name, name))
            return child;
        if (recursive)
            if (Widget* found = child->FindChild(name, true))
                return found;
    }
    return nullptr;
}

void Widget::InsertIntoZOrder(Widget* child, bool atBottom)
{
    if (!child)
        return;
    auto& z = m_zOrder;
    if (!atBottom) {
        if (child->m_alwaysOnTop) {
            z.push_back(child);
            return;
        }
        // Below the run of always-on-top widgets at the top end.
        size_t i = z.size();
        while (i > 0 && z[i - 1]->m_alwaysOnTop)
            --i;
        z.insert(z.begin() + static_cast<std::ptrdiff_t>(i), child);
        return;
    }
    if (!child->m_alwaysOnTop) {
        z.insert(z.begin(), child);
        return;
    }
    const auto first = std::find_if(z.begin(), z.end(), [](const Widget* w) { return w->m_alwaysOnTop; });
    z.insert(first, child);
}

void Widget::RemoveFromZOrder(Widget* child)
{
    const auto it = std::find(m_zOrder.begin(), m_zOrder.end(), child);
    if (it != m_zOrder.end())
        m_zOrder.erase(it);
}

} // namespace GUI
