#include "gui/mousecursor.h"

#include "gui/server.h"
#include "gui/staticanim.h"
#include "orvo/app/a_application.h"
#include "orvo/app/a_inputserver.h"
#include "orvo/gfx/a_image.h"
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
    const int32_t frames = m_propNumFrames.changed ? m_propNumFrames.AsInt() : 1;
    const float fps = ReadFramesPerSecond(m_propFPS, "MouseCursor::EndFillProperties");
    float frameW = 1.0f, frameH = 1.0f;
    if (m_propFrameSize.changed)
        m_propFrameSize.AsPoint(frameW, frameH);

    if (m_propImage.changed) {
        const Server* server = Server::getSingletonPtr();
        const aImage* image = server ? server->GetImage(m_propImage.value) : nullptr;
        aRect strip;
        if (m_propImageRect.changed)
            strip = m_propImageRect.AsRect();
        else if (image)
            strip = aRect(0, 0, image->getWidth(), image->getHeight());
        // Frame sizes below a pixel (or past 16 bits) and counts below one cut nothing.
        const bool fits = frameW >= 1.0f && frameH >= 1.0f && frameW < 65536.0f && frameH < 65536.0f;
        m_animation.setStripFrames(fits ? image : nullptr, &strip, static_cast<uint16_t>(frameW),
                                   static_cast<uint16_t>(frameH), frames > 0 ? static_cast<uint32_t>(frames) : 0u);
        m_animation.setFrameTime(1.0f / fps);
    }
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
    else if (m_animation.getFrameCount() > 0)
        input->setCursor(&m_animation, static_cast<uint16_t>(m_hotSpotX), static_cast<uint16_t>(m_hotSpotY));
    else
        input->setSystemCursor(A_CURSOR_ARROW);
}

void MouseCursor::SetPosition(int32_t x, int32_t y)
{
    m_hotSpotX = x;
    m_hotSpotY = y;
    if (m_visible)
        SetVisible(true);
}

} // namespace GUI
