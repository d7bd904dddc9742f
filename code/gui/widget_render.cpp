// Per-frame update and drawing of GUI::Widget.
#include <algorithm>

#include "gui/widget.h"
#include "orvo/app/a_application.h"
#include "orvo/gfx/a_graphserver.h"

namespace GUI {

namespace {

aGraphServer* graphServer()
{
    aApplication* app = aApplication::get();
    return app ? app->getGraphServer() : nullptr;
}

// The widget whose children are being drawn: it and its ancestors were found
// visible, so its children need not walk up the tree again (which made a
// frame cost the square of the tree's depth).
thread_local const Widget* s_drawingChildrenOf = nullptr;

} // namespace

void Widget::Update(float dt)
{
    UpdateSelf(dt);
    // By index: an update may add or remove children.
    for (size_t i = 0; i < m_children.size(); ++i)
        m_children[i]->Update(dt);
}

void Widget::UpdateSelf(float dt)
{
    if (m_hovered) {
        if (m_fadeInTime == 0.0f)
            m_hoverFade = 1.0f;
        else
            m_hoverFade = std::clamp(m_hoverFade + dt / m_fadeInTime, 0.0f, 1.0f);
    } else {
        if (m_fadeOutTime == 0.0f)
            m_hoverFade = 0.0f;
        else
            m_hoverFade = std::clamp(m_hoverFade - dt / m_fadeOutTime, 0.0f, 1.0f);
    }
    m_timeSincePress += dt;
}

void Widget::Render()
{
    if (!m_visible)
        return;
    if (m_parent && !(m_parent == s_drawingChildrenOf && m_parent->m_visible) && !m_parent->IsVisible())
        return;
    aGraphServer* graph = graphServer();
    const aRect outer = graph ? graph->getViewport() : aRect();

    OnBeginRender(WidgetEventArgs(this));
    Draw();

    bool clipping = false;
    const Widget* outerDrawing = s_drawingChildrenOf;
    for (size_t i = 0; i < m_zOrder.size(); ++i) {
        s_drawingChildrenOf = this;
        Widget* child = m_zOrder[i];
        if (child->m_clipByParent != clipping) {
            clipping = child->m_clipByParent;
            if (graph)
                graph->setViewport(clipping ? rect_intersect(outer, GetAbsoluteRect()) : outer);
        }
        child->Render();
    }
    s_drawingChildrenOf = outerDrawing;
    if (clipping && graph)
        graph->setViewport(outer);

    OnEndRender(WidgetEventArgs(this));
}

} // namespace GUI
