// GUI::StaticImage: one tinted, optionally rotated picture with a separate
// picture for the disabled state, optionally letting the mouse through where
// it is transparent. Made by the widget factory ("staticimage"); holds its
// own counted image handles. Main thread once built.
#pragma once

#include <memory>

#include "gui/color.h"
#include "gui/widget.h"

class aImage;

namespace GUI {

class StaticImage : public Widget {
public:
    explicit StaticImage(const std::string& name);
    ~StaticImage() override;

    void EndFillProperties() override;
    const char* GetType() const override { return "StaticImage"; }
    bool IsKindOf(const std::string& className) const override;
    void Draw() override;
    bool IsTransparentAt(int32_t x, int32_t y) const override;

    void SetColor(aColor argb) { m_color = ColorF::FromARGB(argb); }
    const ColorF& GetColor() const { return m_color; }
    // A null rectangle means the whole image.
    void SetNormalImage(const aImage* image, const aRect* rect = nullptr);
    void SetDisabledImage(const aImage* image, const aRect* rect = nullptr);
    const aImage* GetNormalImage() const { return m_normalImage.get(); }
    const aImage* GetDisabledImage() const { return m_disabledImage.get(); }
    const aRect& GetNormalRect() const { return m_normalRect; }
    const aRect& GetDisabledRect() const { return m_disabledRect; }
    // Degrees.
    void SetRotAngle(float degrees) { m_rotAngle = degrees; }
    float GetRotAngle() const { return m_rotAngle; }

protected:
    std::unique_ptr<aImage> m_normalImage;
    std::unique_ptr<aImage> m_disabledImage;
    aRect m_normalRect;
    aRect m_disabledRect;
    ColorF m_color;
    float m_rotAngle = 0.0f;
    float m_rotCenter[2] = {0.0f, 0.0f};
    const float* m_rotCenterPtr = nullptr;
    uint8_t m_transparentAlpha = 0;

    Property m_propNormalImage;
    Property m_propNormalRect;
    Property m_propDisabledImage;
    Property m_propDisabledRect;
    Property m_propColor;
    Property m_propRotAngle;
    Property m_propRotCenter;
    Property m_propTransparentAlpha;
};

} // namespace GUI
