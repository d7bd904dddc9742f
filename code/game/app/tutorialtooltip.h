// cTutorialTooltip: the hint bubbles of the tutorial and the world map, any
// number at a time, each standing on a point. A pointer hint (the tutorial's)
// shows a pulsing line and the "click_here" text and blocks the screen until
// the player clicks it away; a plain bubble stays for its duration or until
// it is closed. The play state and the world map update them from their draw
// and remove them on release. Main thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class aImage;
namespace GUI {
class StaticText;
}

class cTutorialTooltip {
public:
    static constexpr float FADE_SPEED = 2.5f;

    ~cTutorialTooltip();

    // `plain` false makes a pointer hint; a duration of 0 keeps it until it
    // is dismissed. Null (nothing shown) without the "tooltip" picture.
    static cTutorialTooltip* add(int16_t x, int16_t y, const std::string& textKey, bool plain, float duration);
    static void updateAll(float dt);
    static void removeAll();
    // A pointer hint exists.
    static bool anyUnflagged();
    // Some hint is open.
    static bool anyActive();
    static const std::vector<std::unique_ptr<cTutorialTooltip>>& all();

    // Moves the bubble so that it stands on (x, y): above the point, mirrored
    // to its left near the right edge and hung below it near the top.
    void setPosition(int16_t x, int16_t y);
    // Starts the fade-out.
    void close() { m_open = false; }

    int16_t getX() const { return m_x; }
    int16_t getY() const { return m_y; }
    bool isFlippedLeft() const { return m_flipLeft; }
    bool isFlippedDown() const { return m_flipDown; }
    bool isOpen() const { return m_open; }
    bool isPlain() const { return m_plain; }
    float getAlpha() const { return m_alpha; }
    GUI::StaticText* getTextWindow() const { return m_text.get(); }

private:
    cTutorialTooltip() = default;
    void place(int16_t x, int16_t y, int32_t textHeightCut);
    // False once it has faded out.
    bool update(float dt);
    void draw(float dt);
    // The player closed a pointer hint.
    void dismiss(bool withSound);

    int16_t m_x = 0;
    int16_t m_y = 0;
    bool m_flipLeft = false;
    bool m_flipDown = false;
    bool m_open = true;
    float m_alpha = 0.0f;
    std::unique_ptr<GUI::StaticText> m_text;
    float m_duration = 0.0f;
    bool m_plain = false;
    aImage* m_image = nullptr;
    aImage* m_line = nullptr;
    bool m_modal = false; // this hint raised the current state's modal count
};
