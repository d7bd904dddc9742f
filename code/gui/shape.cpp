#include "gui/shape.h"

#include <memory>
#include <mutex>

#include "orvo/app/a_caselessless.h"
#include "orvo/gfx/a_gdi.h"

namespace GUI {

namespace {

// One primitive drawer for all shapes, made at the first draw and dropped
// with the last shape (it remembers the graph server it was made under).
struct SharedGDI {
    std::mutex mutex;
    std::unique_ptr<aGDI> gdi;
    uint32_t shapes = 0;
};

SharedGDI& shared()
{
    static SharedGDI s;
    return s;
}

aGDI* sharedGDI()
{
    SharedGDI& s = shared();
    std::lock_guard lock(s.mutex);
    if (!s.gdi)
        s.gdi = std::make_unique<aGDI>();
    return s.gdi.get();
}

} // namespace

Shape::Shape(const std::string& name) : Widget(name)
{
    AddProperty("ShapeStyle", &m_propShapeStyle);
    AddProperty("PenWidth", &m_propPenWidth);
    AddProperty("PenColor", &m_propPenColor);
    AddProperty("FillColor", &m_propFillColor);
    std::lock_guard lock(shared().mutex);
    ++shared().shapes;
}

Shape::~Shape()
{
    SharedGDI& s = shared();
    std::lock_guard lock(s.mutex);
    if (--s.shapes == 0)
        s.gdi.reset();
}

bool Shape::IsKindOf(const std::string& className) const
{
    return className == "Shape";
}

void Shape::EndFillProperties()
{
    Widget::EndFillProperties();
    if (m_propShapeStyle.changed)
        m_shapeStyle = caseless_equal(m_propShapeStyle.value, "ellipse") ? SHAPE_ELLIPSE : SHAPE_RECTANGLE;
    if (m_propPenWidth.changed)
        m_penWidth = m_propPenWidth.AsFloat();
    if (m_propPenColor.changed)
        SetPenColor(m_propPenColor.AsColor());
    if (m_propFillColor.changed)
        SetFillColor(m_propFillColor.AsColor());
}

void Shape::Draw()
{
    aGDI* gdi = sharedGDI();
    const float x = static_cast<float>(GetAbsoluteX());
    const float y = static_cast<float>(GetAbsoluteY());
    const float w = m_area.width;
    const float h = m_area.height;
    const float p = m_penWidth;
    const aColor fill = m_fillColor.ToARGB();
    if ((fill >> 24) != 0) {
        gdi->color = fill;
        if (m_shapeStyle == SHAPE_ELLIPSE)
            gdi->drawEllipse(x + w / 2, y + h / 2, w / 2 - p, h / 2 - p, true);
        else
            gdi->drawRect(x + p, y + p, w - 2 * p, h - 2 * p, true);
    }
    gdi->color = m_penColor.ToARGB();
    if (m_shapeStyle == SHAPE_ELLIPSE) {
        gdi->drawRing(x + w / 2, y + h / 2, w / 2 - p, h / 2 - p, x + w / 2, y + h / 2, w / 2, h / 2);
        return;
    }
    gdi->drawRect(x, y, p, h, true);
    gdi->drawRect(x, y, w, p, true);
    gdi->drawRect(x + w - p, y, p, h, true);
    gdi->drawRect(x, y + h - p, w, p, true);
}

} // namespace GUI
