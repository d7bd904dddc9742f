#include "gui/scrollcontainer.h"

#include <algorithm>

#include "gui/scrollbar.h"

namespace GUI {

ScrollContainer::ScrollContainer(const std::string& name) : Widget(name)
{
    AddEvent(EventPositionChanged);
}

ScrollContainer::~ScrollContainer() = default;

bool ScrollContainer::IsKindOf(const std::string& className) const
{
    return className == "ScrollContainer";
}

Scrollbar* ScrollContainer::bindScrollbar(const char* suffix, Scrollbar* kept, bool vertical)
{
    Widget* found = FindChild(m_name + suffix, true);
    if (!found || !found->IsKindOf("Scrollbar"))
        return nullptr;
    auto* bar = static_cast<Scrollbar*>(found);
    if (bar != kept)
        bar->SubscribeEvent(Scrollbar::EventPositionChanged,
                            new _memberBinder<ScrollContainer, bool, const EventArgs&>(
                                this, vertical ? &ScrollContainer::OnVertScroll : &ScrollContainer::OnHorzScroll));
    bar->SetClipByParent(false);
    return bar;
}

void ScrollContainer::Initialize()
{
    Widget::Initialize();
    m_horzBar = bindScrollbar("_auto_hscroll", m_horzBar, false);
    m_vertBar = bindScrollbar("_auto_vscroll", m_vertBar, true);
}

void ScrollContainer::updatePageSizes()
{
    if (m_horzBar)
        m_horzBar->SetPageSize(m_area.width);
    if (m_vertBar)
        m_vertBar->SetPageSize(m_area.height);
}

void ScrollContainer::OnSized(const WidgetEventArgs& args)
{
    updatePageSizes();
    Widget::OnSized(args);
}

bool ScrollContainer::OnHorzScroll(const EventArgs& args)
{
    (void)args;
    if (m_updating || !m_horzBar)
        return false;
    m_scrollX = m_horzBar->GetValue();
    OnPositionChanged(WidgetEventArgs(this));
    return true;
}

bool ScrollContainer::OnVertScroll(const EventArgs& args)
{
    (void)args;
    if (m_updating || !m_vertBar)
        return false;
    m_scrollY = m_vertBar->GetValue();
    OnPositionChanged(WidgetEventArgs(this));
    return true;
}

void ScrollContainer::OnPositionChanged(const WidgetEventArgs& args)
{
    LaunchEvent(EventPositionChanged, args);
}

void ScrollContainer::SetScrollPosition(float x, float y)
{
    const float maxX = m_contentWidth - static_cast<float>(m_area.width);
    const float maxY = m_contentHeight - static_cast<float>(m_area.height);
    const float nx = maxX < 0.0f || !(x >= 0.0f) ? 0.0f : std::min(x, maxX);
    const float ny = maxY < 0.0f || !(y >= 0.0f) ? 0.0f : std::min(y, maxY);
    if (nx == m_scrollX && ny == m_scrollY)
        return;
    m_updating = true;
    if (m_horzBar)
        m_horzBar->SetValue(nx);
    if (m_vertBar)
        m_vertBar->SetValue(ny);
    m_scrollX = nx;
    m_scrollY = ny;
    m_updating = false;
    OnPositionChanged(WidgetEventArgs(this));
}

void ScrollContainer::setContentSize(float width, float height)
{
    m_contentWidth = width;
    m_contentHeight = height;
    m_updating = true;
    if (m_horzBar)
        m_horzBar->SetTotalSize(width);
    if (m_vertBar)
        m_vertBar->SetTotalSize(height);
    m_updating = false;
    SetScrollPosition(m_scrollX, m_scrollY);
}

} // namespace GUI
