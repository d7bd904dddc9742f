// What the slider and the scroll bar share: binding their automatic parts
// (thumb, increment and decrement buttons) to their handlers, and the thumb
// drag along the track. Main thread.
#pragma once

#include <cstdint>
#include <string>

#include "gui/subscriber.h"
#include "gui/widget.h"

namespace GUI {

// The parts of a track widget, found by its name and a suffix among its descendants.
struct ThumbTrackParts {
    Widget* thumb = nullptr;
    Widget* incButton = nullptr;
    Widget* decButton = nullptr;
};

// Finds the parts and subscribes the handlers of `owner` to them: the
// thumb's MouseDown, MouseUp and MouseMove, the buttons' Click. Parts that
// were bound before (a second initialisation) are not bound again.
template <class C> void BindThumbTrack(C* owner, ThumbTrackParts& parts)
{
    const std::string& name = owner->GetName();
    Widget* thumb = owner->FindChild(name + "_auto_thumb", true);
    Widget* inc = owner->FindChild(name + "_auto_incbtn", true);
    Widget* dec = owner->FindChild(name + "_auto_decbtn", true);
    using Binder = _memberBinder<C, bool, const EventArgs&>;
    if (thumb && thumb != parts.thumb) {
        thumb->SubscribeEvent(Widget::EventMouseDown, new Binder(owner, &C::ThumbPressedHandler));
        thumb->SubscribeEvent(Widget::EventMouseUp, new Binder(owner, &C::ThumbReleasedHandler));
        thumb->SubscribeEvent(Widget::EventMouseMove, new Binder(owner, &C::ThumbMovedHandler));
    }
    if (inc && inc != parts.incButton)
        inc->SubscribeEvent(Widget::EventClick, new Binder(owner, &C::OnIncrement));
    if (dec && dec != parts.decButton)
        dec->SubscribeEvent(Widget::EventClick, new Binder(owner, &C::OnDecrement));
    parts.thumb = thumb;
    parts.incButton = inc;
    parts.decButton = dec;
}

// The thumb's new position along a track of `trackLength` for a move of the
// pointer that grabbed it at `grab`; false when the move is ignored (the
// pointer is on the far side of the grab point, or the thumb is at the end).
bool DragThumb(const Widget& thumb, bool vertical, int32_t grab, int32_t trackLength, const MouseEventArgs& args,
               int32_t& position);

// Moves the thumb along the track, the other coordinate unchanged.
void PlaceThumb(Widget& thumb, bool vertical, int32_t position);

} // namespace GUI
