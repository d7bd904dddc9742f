#include "gui/mousecursor.h"

#include "orvo/app/a_application.h"
#include "orvo/app/a_inputserver.h"
#include "orvo/platform/a_window.h"

namespace GUI {

namespace {

aInputServer* inputServer()
{
    aApplication* app = aApplication::get();
    return app ? app->getInputServer() : nullptr;
}

} // namespace

MouseCursor::MouseCursor()
{
    AddProperty("NumFrames", &m_propNumFrames);
    AddProperty("FrameSize", &m_propFrameSize);
    AddProperty("FPS", &m_propFPS);
    AddProperty("Image", &m_propImage);
    AddProperty("ImageRect", &m_propImageRect);
    AddProperty("HotSpot", &m_propHotSpot);
}

void MouseCursor::EndFillProperties()
{
    if (m_propHotSpot.changed) {
        float x = 0.0f, y = 0.0f;
        m_propHotSpot.AsPoint(x, y);
        SetPosition(static_cast<int32_t>(x), static_cast<int32_t>(y));
    }
}

void MouseCursor::SetVisible(bool visible)
{
    m_visible = visible;
    aInputServer* input = inputServer();
    if (!input)
        return;
    if (!visible)
        input->setCursor(nullptr, 0, 0);
    else
        input->setSystemCursor(A_CURSOR_ARROW); // a cursor without frames
}

void MouseCursor::SetPosition(int32_t x, int32_t y)
{
    m_hotSpotX = x;
    m_hotSpotY = y;
    if (m_visible)
        SetVisible(true);
}

} // namespace GUI
