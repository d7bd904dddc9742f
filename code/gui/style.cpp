#include "gui/style.h"

namespace GUI {

Style::Style()
{
    static const char* const kSliceNames[9] = {"TopLeft", "TopRight", "BottomLeft", "BottomRight", "Left",
                                               "Top",     "Right",    "Bottom",     "Interior"};
    AddProperty("Image", &m_propImage);
    AddProperty("AutoSlice", &m_propAutoSlice);
    AddProperty("EdgeGlobal", &m_propEdgeGlobal);
    AddProperty("FillType", &m_propFillType);
    for (int i = 0; i < 9; ++i)
        AddProperty(kSliceNames[i], &m_propSlices[i]);
    AddProperty("EdgeLeft", &m_propEdgeLeft);
    AddProperty("EdgeTop", &m_propEdgeTop);
    AddProperty("EdgeRight", &m_propEdgeRight);
    AddProperty("EdgeBottom", &m_propEdgeBottom);
}

} // namespace GUI
