#include "gui/staticimage.h"

#include "gui/imagedraw.h"
#include "gui/server.h"
#include "orvo/gfx/a_image.h"

namespace GUI {

StaticImage::StaticImage(const std::string& name) : Widget(name)
{
    AddProperty("NormalImage", &m_propNormalImage);
    AddProperty("NormalRect", &m_propNormalRect);
    AddProperty("DisabledImage", &m_propDisabledImage);
    AddProperty("DisabledRect", &m_propDisabledRect);
    AddProperty("Color", &m_propColor);
    AddProperty("RotAngle", &m_propRotAngle);
    AddProperty("RotCenter", &m_propRotCenter);
    AddProperty("TransparentAlpha", &m_propTransparentAlpha);
}

StaticImage::~StaticImage()
{
    if (m_normalImage)
        m_normalImage->release();
    if (m_disabledImage)
        m_disabledImage->release();
}

bool StaticImage::IsKindOf(const std::string& className) const
{
    return className == "StaticImage";
}

void StaticImage::SetNormalImage(const aImage* image, const aRect* rect)
{
    SetImage(image, rect, &m_normalImage, &m_normalRect);
}

void StaticImage::SetDisabledImage(const aImage* image, const aRect* rect)
{
    SetImage(image, rect, &m_disabledImage, &m_disabledRect);
}

void StaticImage::EndFillProperties()
{
    Widget::EndFillProperties();
    const Server* server = Server::getSingletonPtr();
    if (m_propColor.changed)
        SetColor(m_propColor.AsColor());
    if (m_propRotAngle.changed)
        m_rotAngle = m_propRotAngle.AsFloat();
    if (m_propRotCenter.changed)
        ReadRotCenter(m_propRotCenter, m_rotCenter, m_rotCenterPtr);
    if (m_propNormalImage.changed) {
        const aRect rect = m_propNormalRect.AsRect();
        SetNormalImage(server ? server->GetImage(m_propNormalImage.value) : nullptr,
                       m_propNormalRect.changed ? &rect : nullptr);
    }
    if (m_propDisabledImage.changed) {
        const aRect rect = m_propDisabledRect.AsRect();
        SetDisabledImage(server ? server->GetImage(m_propDisabledImage.value) : nullptr,
                         m_propDisabledRect.changed ? &rect : nullptr);
    }
    if (m_area.width == 0)
        m_area.width = m_normalRect.width;
    if (m_area.height == 0)
        m_area.height = m_normalRect.height;
    if (m_propTransparentAlpha.changed)
        m_transparentAlpha = static_cast<uint8_t>(m_propTransparentAlpha.AsInt());
}

void StaticImage::Draw()
{
    const aRect destination = GetAbsoluteRect();
    const float rotation = m_rotAngle * kDegreesToRadians;
    const uint32_t alpha = ColorByte(GetAlpha());
    if (!IsEnabled() && m_disabledImage) {
        DrawImageStretched(m_disabledImage.get(), m_disabledRect, destination, alpha << 24 | 0x00FFFFFFu, rotation,
                           m_rotCenterPtr);
        return;
    }
    // The tint's own alpha takes no part: transparency comes from the widget's.
    const aColor color = alpha << 24 | ColorByte(m_color.r) << 16 | ColorByte(m_color.g) << 8 | ColorByte(m_color.b);
    DrawImageStretched(m_normalImage.get(), m_normalRect, destination, color, rotation, m_rotCenterPtr);
}

bool StaticImage::IsTransparentAt(int32_t x, int32_t y) const
{
    if (m_rotAngle != 0.0f)
        return false;
    return IsImageTransparentAt(m_normalImage.get(), m_normalRect, m_area.width, m_area.height, x, y,
                                m_transparentAlpha, GetAlpha());
}

} // namespace GUI
