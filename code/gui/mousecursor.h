// GUI::MouseCursor: a pointer defined by a "cursor" block of a layout script,
// owned by the GUI server, which shows one cursor at a time through the input
// server. Main thread only once built.
// FIXME: the animation frames (Image, ImageRect, NumFrames, FrameSize, FPS)
// are read once the animation classes exist; until then a shown cursor is the
// system arrow.
#pragma once

#include <cstdint>

#include "gui/propertyset.h"

namespace GUI {

class MouseCursor : public PropertySet {
public:
    MouseCursor();

    void EndFillProperties() override;

    // Showing hands the cursor to the input server; hiding removes the application's cursor.
    void SetVisible(bool visible);
    bool IsVisible() const { return m_visible; }
    // The hot spot; a shown cursor is shown again with it.
    void SetPosition(int32_t x, int32_t y);

protected:
    bool m_visible = false;
    int32_t m_hotSpotX = 0;
    int32_t m_hotSpotY = 0;

    Property m_propImage;
    Property m_propImageRect;
    Property m_propNumFrames;
    Property m_propFrameSize;
    Property m_propFPS;
    Property m_propHotSpot;
};

} // namespace GUI
