// cSimpleTooltip: the hover tooltip of buttons and items (play state, park,
// awards screen). One at a time: show replaces the current one, which
// appears after half a second of hovering, fades in, and after hide fades
// out and deletes itself. The owning screen runs update from its draw and
// destroys the tooltip when it goes. Main thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class aImage;
namespace GUI {
class StaticText;
}

class cSimpleTooltip {
public:
    static constexpr float HOVER_DELAY = 0.5f;

    ~cSimpleTooltip();

    // (x, y) is the point the bubble stands on.
    static void show(int16_t x, int16_t y, const std::wstring& text);
    static void hide();
    // Waits, fades and draws the current tooltip.
    static void update(float dt);
    static void destroy();
    // Null when none is shown.
    static cSimpleTooltip* get();
    static float getHoverTimer();

    int16_t getX() const { return m_x; }
    int16_t getY() const { return m_y; }
    bool isFlippedLeft() const { return m_flipLeft; }
    bool isFlippedDown() const { return m_flipDown; }
    bool isVisible() const { return m_visible; }
    float getAlpha() const { return m_alpha; }
    GUI::StaticText* getTextWindow() const { return m_text.get(); }

private:
    cSimpleTooltip(int16_t x, int16_t y, const std::wstring& text);
    // False once it has faded out.
    bool step(float dt);

    int16_t m_x = 0;
    int16_t m_y = 0;
    bool m_flipLeft = false;
    bool m_flipDown = false;
    bool m_visible = true;
    float m_alpha = 0.0f;
    std::unique_ptr<GUI::StaticText> m_text;
    aImage* m_image = nullptr;
};
