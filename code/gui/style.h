// GUI::Style: a nine-slice skin defined by a "style" block of a layout
// script, owned by the GUI server and drawn by windows and style buttons.
// FIXME: only the property records exist so far; slicing and drawing come
// with the window and button classes.
#pragma once

#include "gui/propertyset.h"

namespace GUI {

class Style : public PropertySet {
public:
    Style();

    void EndFillProperties() override {}

protected:
    Property m_propFillType;
    Property m_propAutoSlice;
    Property m_propEdgeGlobal;
    Property m_propImage;
    Property m_propSlices[9]; // TopLeft, TopRight, BottomLeft, BottomRight, Left, Top, Right, Bottom, Interior
    Property m_propEdgeLeft;
    Property m_propEdgeTop;
    Property m_propEdgeRight;
    Property m_propEdgeBottom;
};

} // namespace GUI
