// cTip: a one-time hint over a gameplay screen (the park, the mini-games):
// a window of the screen's layout that appears after half a second, blocks
// the screen until the player clicks it, and is never shown again to that
// player (its bit goes into the profile's tips mask). One at a time; the
// owning screen runs updateCurrent every frame and destroys it on release.
// Main thread.
#pragma once

#include <cstdint>
#include <string>

class cGameState;
namespace GUI {
class Widget;
}

class cTip {
public:
    static constexpr float DELAY = 0.5f;

    // False while a tip exists or a tutorial runs; else whether the current
    // player has not seen every tip of `bits` yet.
    static bool shouldShow(uint32_t bits);
    // Opens the hint `window` with the localised text of `textKey` in its
    // "Description" child; replaces the current tip.
    static cTip* create(GUI::Widget* window, const std::string& textKey, uint32_t bit);
    static cTip* get();
    static void updateCurrent(float dt);
    static void destroy();

    ~cTip();

    GUI::Widget* getWindow() const { return m_window; }
    bool isOpen() const { return m_open; }
    float getDelay() const { return m_delay; }

private:
    cTip(GUI::Widget* window, const std::string& textKey, uint32_t bit);
    void setText(GUI::Widget* window, const std::string& textKey);
    // False once the tip has faded out.
    bool update(float dt);
    void giveBackModal();

    GUI::Widget* m_window = nullptr;
    bool m_open = false;
    uint32_t m_bit = 0;
    float m_delay = DELAY;
    cGameState* m_modalState = nullptr; // the state whose modal count the tip raised
};
