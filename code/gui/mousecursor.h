// GUI::MouseCursor: a pointer defined by a "cursor" block of a layout script:
// an animation cut from an image strip and a hot spot. Owned by the GUI
// server, which shows one cursor at a time through the input server; a
// cursor without frames shows the system arrow. Main thread only once built.
#pragma once

#include <cstdint>

#include "gui/propertyset.h"
#include "orvo/gfx/a_anim.h"

namespace GUI {

class MouseCursor : public PropertySet {
public:
    MouseCursor();

    // Frames, frame time and hot spot from the script.
    void EndFillProperties() override;

    // Showing hands the animation and the hot spot to the input server;
    // hiding removes the application's cursor.
    void SetVisible(bool visible);
    bool IsVisible() const { return m_visible; }
    // The hot spot; a shown cursor is shown again with it.
    void SetPosition(int32_t x, int32_t y);
    int32_t GetHotSpotX() const { return m_hotSpotX; }
    int32_t GetHotSpotY() const { return m_hotSpotY; }
    const aAnim& GetAnimation() const { return m_animation; }

protected:
    bool m_visible = false;
    aAnim m_animation;
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
