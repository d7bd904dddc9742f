// cHelpState (state 6): the help screen. One picture that explains play,
// brought to life by two idling warthogs, a hunter, a spinning coin, effects
// and pointer pictures placed on it; "CloseHelp" or Escape leads to the menu.
// Threads: loadResources and freeResources run with the screens' resources
// (loading thread); the rest on the main thread.
#pragma once

#include <memory>

#include "game/app/gamestate.h"

class aAdvAnim;
class aAnim;
class aImage;
namespace GUI {
class EventArgs;
class Server;
} // namespace GUI

class cHelpState : public cGameState {
public:
    cHelpState();
    ~cHelpState() override;

    void update(float dt) override;
    void draw() override;
    void init() override;
    void release() override;
    void loadResources() override;
    void freeResources() override;

    bool onClose(const GUI::EventArgs& args);

    float getTimer() const { return m_timer; }
    bool hasBackground() const { return m_background != nullptr; }
    const aAdvAnim* getAnimation(int index) const;

private:
    enum { WARTHOG_A, WARTHOG_B, HUNTER, ANIMATION_COUNT };

    void drawAnimation(int index, float x, float y, bool shadow);
    void findPictures();

    std::unique_ptr<aImage> m_background;
    std::unique_ptr<GUI::Server> m_gui;
    std::unique_ptr<aAdvAnim> m_animations[ANIMATION_COUNT];
    std::unique_ptr<aAnim> m_coin;
    float m_timer = 0.0f;
    bool m_picturesFound = false;
    aImage* m_cursors = nullptr;
    aImage* m_shadow = nullptr;
};
