#include "gui/viewportclip.h"

#include <algorithm>
#include <cstdint>

#include "orvo/app/a_application.h"
#include "orvo/gfx/a_graphserver.h"

namespace GUI {

aRect ViewportClip::Intersect(const aRect& a, const aRect& b)
{
    const int32_t left = std::max<int32_t>(a.x, b.x);
    const int32_t top = std::max<int32_t>(a.y, b.y);
    const int32_t right = std::min<int32_t>(a.x + a.width, b.x + b.width);
    const int32_t bottom = std::min<int32_t>(a.y + a.height, b.y + b.height);
    if (right <= left || bottom <= top)
        return aRect();
    return aRect(static_cast<int16_t>(left), static_cast<int16_t>(top), static_cast<uint16_t>(right - left),
                 static_cast<uint16_t>(bottom - top));
}

ViewportClip::ViewportClip(const aRect& rect)
{
    aApplication* app = aApplication::get();
    m_graph = app ? app->getGraphServer() : nullptr;
    if (!m_graph)
        return;
    m_previous = m_graph->getViewport();
    m_graph->setViewport(Intersect(rect, m_previous));
}

ViewportClip::~ViewportClip()
{
    if (m_graph)
        m_graph->setViewport(m_previous);
}

} // namespace GUI
