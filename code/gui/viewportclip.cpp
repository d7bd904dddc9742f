#include "gui/viewportclip.h"

#include "orvo/app/a_application.h"
#include "orvo/gfx/a_graphserver.h"

namespace GUI {

ViewportClip::ViewportClip(const aRect& rect)
{
    aApplication* app = aApplication::get();
    m_graph = app ? app->getGraphServer() : nullptr;
    if (!m_graph)
        return;
    m_previous = m_graph->getViewport();
    m_graph->setViewport(rect_intersect(rect, m_previous));
}

ViewportClip::~ViewportClip()
{
    if (m_graph)
        m_graph->setViewport(m_previous);
}

} // namespace GUI
