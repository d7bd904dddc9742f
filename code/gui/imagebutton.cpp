#include "gui/imagebutton.h"

#include "gui/imagedraw.h"
#include "gui/server.h"
#include "orvo/app/a_caselessless.h"
#include "orvo/gfx/a_image.h"
#include "orvo/util/a_log.h"

namespace GUI {

namespace {

const aImage* lookUp(const std::string& name)
{
    const Server* server = Server::getSingletonPtr();
    return server ? server->GetImage(name) : nullptr;
}

} // namespace

ImageButton::ImageButton(const std::string& name) : ButtonBase(name)
{
    AddProperty("Image", &m_propImage);
    AddProperty("ImageRect", &m_propImageRect);
    AddProperty("Layout", &m_propLayout);
    AddProperty("GlyphCount", &m_propGlyphCount);
    AddProperty("NormalImage", &m_propStateImages[STATE_NORMAL]);
    AddProperty("DisabledImage", &m_propStateImages[STATE_DISABLED]);
    AddProperty("HoverImage", &m_propStateImages[STATE_HOVER]);
    AddProperty("PushedImage", &m_propStateImages[STATE_PUSHED]);
    AddProperty("NormalRect", &m_propStateRects[STATE_NORMAL]);
    AddProperty("DisabledRect", &m_propStateRects[STATE_DISABLED]);
    AddProperty("HoverRect", &m_propStateRects[STATE_HOVER]);
    AddProperty("PushedRect", &m_propStateRects[STATE_PUSHED]);
    AddProperty("RotAngle", &m_propRotAngle);
    AddProperty("RotCenter", &m_propRotCenter);
    AddProperty("TransparentAlpha", &m_propTransparentAlpha);
}

ImageButton::~ImageButton()
{
    for (auto& image : m_images)
        if (image)
            image->release();
}

bool ImageButton::IsKindOf(const std::string& className) const
{
    return className == "ImageButton" || ButtonBase::IsKindOf(className);
}

void ImageButton::SetNormalImage(const aImage* image, const aRect* rect)
{
    SetImage(image, rect, &m_images[STATE_NORMAL], &m_rects[STATE_NORMAL]);
}

void ImageButton::SetDisabledImage(const aImage* image, const aRect* rect)
{
    SetImage(image, rect, &m_images[STATE_DISABLED], &m_rects[STATE_DISABLED]);
}

void ImageButton::SetHoverImage(const aImage* image, const aRect* rect)
{
    SetImage(image, rect, &m_images[STATE_HOVER], &m_rects[STATE_HOVER]);
}

void ImageButton::SetPushedImage(const aImage* image, const aRect* rect)
{
    SetImage(image, rect, &m_images[STATE_PUSHED], &m_rects[STATE_PUSHED]);
}

void ImageButton::applyGlyphStrip()
{
    const aImage* image = lookUp(m_propImage.value);
    aRect strip;
    if (m_propImageRect.changed)
        strip = m_propImageRect.AsRect();
    else if (image)
        strip = aRect(0, 0, image->getWidth(), image->getHeight());

    bool vertical = true;
    if (m_propLayout.changed) {
        if (caseless_equal(m_propLayout.value, "horizontal"))
            vertical = false;
        else if (!caseless_equal(m_propLayout.value, "vertical"))
            a_log("ImageButton::EndFillProperties - invalid layout type '%s'", m_propLayout.value.c_str());
    }

    const int32_t n = m_propGlyphCount.changed ? m_propGlyphCount.AsInt() : 4;
    if (n < 1)
        return;
    aRect glyph = strip;
    int32_t stepX = 0, stepY = 0;
    if (vertical) {
        glyph.height = static_cast<uint16_t>(strip.height / n);
        stepY = glyph.height;
    } else {
        glyph.width = static_cast<uint16_t>(strip.width / n);
        stepX = glyph.width;
    }
    // Strip order: normal, pushed, hover, disabled.
    static const State kOrder[4] = {STATE_NORMAL, STATE_PUSHED, STATE_HOVER, STATE_DISABLED};
    for (int32_t i = 0; i < n && i < 4; ++i) {
        SetImage(image, &glyph, &m_images[kOrder[i]], &m_rects[kOrder[i]]);
        glyph.x = static_cast<int16_t>(glyph.x + stepX);
        glyph.y = static_cast<int16_t>(glyph.y + stepY);
    }
}

void ImageButton::EndFillProperties()
{
    ButtonBase::EndFillProperties();
    if (m_propImage.changed)
        applyGlyphStrip();
    for (int s = 0; s < STATE_COUNT; ++s) {
        if (!m_propStateImages[s].changed)
            continue;
        const aRect rect = m_propStateRects[s].AsRect();
        SetImage(lookUp(m_propStateImages[s].value), m_propStateRects[s].changed ? &rect : nullptr, &m_images[s],
                 &m_rects[s]);
    }
    // A script that gives no size takes the normal picture's.
    if (m_area.width == 0)
        m_area.width = m_rects[STATE_NORMAL].width;
    if (m_area.height == 0)
        m_area.height = m_rects[STATE_NORMAL].height;
    if (m_propRotAngle.changed)
        m_rotAngle = m_propRotAngle.AsFloat();
    if (m_propRotCenter.changed)
        ReadRotCenter(m_propRotCenter, m_rotCenter, m_rotCenterPtr);
    if (m_propTransparentAlpha.changed)
        m_transparentAlpha = static_cast<uint8_t>(m_propTransparentAlpha.AsInt());
}

void ImageButton::drawImage(State state, aColor color)
{
    DrawImageStretched(m_images[state].get(), m_rects[state], GetAbsoluteRect(), color, m_rotAngle * kDegreesToRadians,
                       m_rotCenterPtr);
}

void ImageButton::Draw()
{
    const float alpha = GetAlpha();
    const aColor white = AlphaWhite(alpha);
    if (!IsEnabled() && m_images[STATE_DISABLED])
        drawImage(STATE_DISABLED, white);
    else if (ShowsPushed() && m_images[STATE_PUSHED])
        drawImage(STATE_PUSHED, white);
    else if (m_fadeInTime == 0.0f && m_fadeOutTime == 0.0f)
        drawImage(m_hoverFade == 1.0f && m_images[STATE_HOVER] ? STATE_HOVER : STATE_NORMAL, white);
    else {
        drawImage(STATE_NORMAL, white);
        drawImage(STATE_HOVER, AlphaWhite(alpha * m_hoverFade));
    }
    ButtonBase::Draw();
}

bool ImageButton::IsTransparentAt(int32_t x, int32_t y) const
{
    if (m_rotAngle != 0.0f)
        return false;
    return IsImageTransparentAt(m_images[STATE_NORMAL].get(), m_rects[STATE_NORMAL], m_area.width, m_area.height, x, y,
                                m_transparentAlpha, GetAlpha());
}

} // namespace GUI
