// cCreditsState (state 5): the credits. The lines of "Credits.txt" of the
// game's language scroll up over a loading-screen picture and its little
// scene, growing and fading in at the bottom and fading out at the top; a
// line that starts with "+" is a heading in yellow. "Back" or Escape leads
// to the main menu. Main thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "game/app/gamestate.h"
#include "orvo/util/a_stringlist.h"

class aFont;
class cLoadingScreen;
namespace GUI {
class EventArgs;
class Server;
} // namespace GUI

class cCreditsState : public cGameState {
public:
    static constexpr float START_Y = 768.0f;
    static constexpr float SCROLL_SPEED = 50.0f; // pixels a second

    // How a line at height y is drawn: alpha 0..255 (0: not drawn) and font size.
    struct LineLook {
        uint32_t alpha = 0;
        float size = 1.0f;
    };
    static LineLook lineLook(float y);

    cCreditsState();
    ~cCreditsState() override;

    void update(float dt) override;
    void draw() override;
    void init() override;
    void release() override;

    bool onBack(const GUI::EventArgs& args);

    float getScrollY() const { return m_scrollY; }
    void setScrollY(float y) { m_scrollY = y; }
    const aStringList& getLines() const { return m_lines; }
    // The height of one line (1 without a font, so the text still restarts).
    float lineHeight() const;

private:
    std::unique_ptr<cLoadingScreen> m_scene;
    std::unique_ptr<GUI::Server> m_gui;
    float m_scrollY = START_Y;
    aStringList m_lines;
    aFont* m_font = nullptr;
    std::string m_lineBuffer;
};
