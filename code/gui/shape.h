// GUI::Shape: a rectangle or an ellipse with a pen border and a fill,
// drawn with untextured primitives. Made by the widget factory ("shape").
// The widget's alpha does not apply to shapes. Main thread once built.
#pragma once

#include "gui/color.h"
#include "gui/widget.h"

namespace GUI {

class Shape : public Widget {
public:
    enum ShapeStyle : int32_t { SHAPE_RECTANGLE = 0, SHAPE_ELLIPSE = 1 };

    explicit Shape(const std::string& name);
    ~Shape() override;

    void EndFillProperties() override;
    const char* GetType() const override { return "Shape"; }
    bool IsKindOf(const std::string& className) const override;
    void Draw() override;

    void SetPenColor(aColor argb) { m_penColor = ColorF::FromARGB(argb); }
    void SetFillColor(aColor argb) { m_fillColor = ColorF::FromARGB(argb); }
    void SetShapeStyle(ShapeStyle style) { m_shapeStyle = style; }
    void SetPenWidth(float width) { m_penWidth = width; }
    const ColorF& GetPenColor() const { return m_penColor; }
    const ColorF& GetFillColor() const { return m_fillColor; }
    ShapeStyle GetShapeStyle() const { return m_shapeStyle; }
    float GetPenWidth() const { return m_penWidth; }

protected:
    ColorF m_penColor;
    ColorF m_fillColor;
    ShapeStyle m_shapeStyle = SHAPE_RECTANGLE;
    float m_penWidth = 1.0f;

    Property m_propShapeStyle;
    Property m_propPenWidth;
    Property m_propPenColor;
    Property m_propFillColor;
};

} // namespace GUI
