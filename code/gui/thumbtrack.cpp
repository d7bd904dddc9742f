#include "gui/thumbtrack.h"

#include <algorithm>

namespace GUI {

bool DragThumb(const Widget& thumb, bool vertical, int32_t grab, int32_t trackLength, const MouseEventArgs& args,
               int32_t& position)
{
    const int32_t pointer = vertical ? args.y : args.x;
    const int32_t d = vertical ? args.dy : args.dx;
    const int32_t range = trackLength - (vertical ? thumb.GetHeight() : thumb.GetWidth());
    const int32_t p = vertical ? thumb.GetArea().y : thumb.GetArea().x;
    if (d < 0) {
        if (pointer > grab || p < 1)
            return false;
        position = std::max(0, p + d);
        return true;
    }
    if (d > 0) {
        if (pointer < grab || p >= range)
            return false;
        position = std::min(range, p + d);
        return true;
    }
    return false;
}

void PlaceThumb(Widget& thumb, bool vertical, int32_t position)
{
    const aRect& a = thumb.GetArea();
    if (vertical)
        thumb.SetPosition(a.x, static_cast<int16_t>(position));
    else
        thumb.SetPosition(static_cast<int16_t>(position), a.y);
}

} // namespace GUI
