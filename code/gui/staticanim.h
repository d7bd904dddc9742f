// GUI::StaticAnim: a frame animation cut from an image strip, tinted and
// optionally rotated, with a separate animation for the disabled state.
// Both play from the end of the script on and are never paused by the
// widget; screens hand it new animations and turn it. Made by the widget
// factory ("staticanim"). Main thread once built.
#pragma once

#include "gui/color.h"
#include "gui/widget.h"
#include "orvo/gfx/a_anim.h"

namespace GUI {

class StaticAnim : public Widget {
public:
    // Frames per second when a script gives none, or one that is not above 0.
    static constexpr float DEFAULT_FPS = 40.0f;

    explicit StaticAnim(const std::string& name);
    ~StaticAnim() override;

    void EndFillProperties() override;
    const char* GetType() const override { return "StaticAnim"; }
    bool IsKindOf(const std::string& className) const override;
    void Draw() override;
    // Steps both animations.
    void UpdateSelf(float dt) override;

    // Copies the animation into the normal one and restarts both.
    void SetAnim(const aAnim& animation);
    // Each animation with frames back to its first frame (its last when it
    // plays backward), playing.
    void Restart();
    void SetColor(aColor argb) { m_color = ColorF::FromARGB(argb); }
    const ColorF& GetColor() const { return m_color; }
    // Degrees.
    void SetRotAngle(float degrees) { m_rotAngle = degrees; }
    float GetRotAngle() const { return m_rotAngle; }
    const aAnim& GetNormalAnim() const { return m_normalAnim; }
    const aAnim& GetDisabledAnim() const { return m_disabledAnim; }

    // "noloop", "back" and "pingpong" (any case, at most three words) as play flags from loop.
    static uint32_t ParseAnimType(const std::string& text);

protected:
    aAnim m_normalAnim;
    aAnim m_disabledAnim;
    ColorF m_color;
    float m_rotAngle = 0.0f;
    float m_rotCenter[2] = {0.0f, 0.0f};
    const float* m_rotCenterPtr = nullptr;

    Property m_propNormalImage;
    Property m_propNormalRect;
    Property m_propDisabledImage;
    Property m_propDisabledRect;
    Property m_propColor;
    Property m_propRotAngle;
    Property m_propRotCenter;
    Property m_propAnimType;
    Property m_propNumFrames;
    Property m_propFrameSize;
    Property m_propFPS;
    Property m_propStartFrame;
};

// A frames-per-second value of a script: 40 when not given; a value that is
// not above 0 (or not a number) is logged by `origin` and 40 is used.
float ReadFramesPerSecond(const Property& property, const char* origin);

} // namespace GUI
