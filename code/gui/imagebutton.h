// GUI::ImageButton: a button with one picture per state (normal, disabled,
// hover, pushed), cut from a glyph strip or given one by one, optionally
// rotated, fading from normal to hover, and optionally letting the mouse
// through where its normal picture is transparent. Made by the widget
// factory ("imagebutton"); holds its own counted image handles. Main thread once built.
#pragma once

#include <memory>

#include "gui/buttonbase.h"

class aImage;

namespace GUI {

class ImageButton : public ButtonBase {
public:
    enum State : int32_t { STATE_NORMAL = 0, STATE_DISABLED, STATE_HOVER, STATE_PUSHED, STATE_COUNT };

    explicit ImageButton(const std::string& name);
    ~ImageButton() override;

    void EndFillProperties() override;
    const char* GetType() const override { return "ImageButton"; }
    bool IsKindOf(const std::string& className) const override;
    void Draw() override;
    bool IsTransparentAt(int32_t x, int32_t y) const override;

    // Replace one state's picture; a null rectangle means the whole image.
    void SetNormalImage(const aImage* image, const aRect* rect = nullptr);
    void SetDisabledImage(const aImage* image, const aRect* rect = nullptr);
    void SetHoverImage(const aImage* image, const aRect* rect = nullptr);
    void SetPushedImage(const aImage* image, const aRect* rect = nullptr);

    const aImage* GetImage(State state) const { return m_images[state].get(); }
    const aRect& GetImageRect(State state) const { return m_rects[state]; }
    float GetRotAngle() const { return m_rotAngle; }
    uint8_t GetTransparentAlpha() const { return m_transparentAlpha; }

protected:
    std::unique_ptr<aImage> m_images[STATE_COUNT];
    float m_rotAngle = 0.0f; // degrees
    float m_rotCenter[2] = {0.0f, 0.0f};
    const float* m_rotCenterPtr = nullptr;
    aRect m_rects[STATE_COUNT];
    uint8_t m_transparentAlpha = 0;

    Property m_propImage;
    Property m_propImageRect;
    Property m_propLayout;
    Property m_propGlyphCount;
    Property m_propStateImages[STATE_COUNT]; // NormalImage, DisabledImage, HoverImage, PushedImage
    Property m_propStateRects[STATE_COUNT];  // NormalRect, DisabledRect, HoverRect, PushedRect
    Property m_propRotAngle;
    Property m_propRotCenter;
    Property m_propTransparentAlpha;

private:
    void applyGlyphStrip();
    void drawImage(State state, aColor color);
};

} // namespace GUI
