// cMenuState: the main menu (state 1). An animated title scene (sky picture
// or looping sky clip, four drifting cloud strips, the rock, the title that
// zooms in on the first entry of a run, the warthog at random intervals, an
// optional car, fireflies), the player's name, and the buttons that request
// the other screens. It owns the options and profile windows, asks for a
// name when no player exists, and tells once when the players' file was set
// aside. Resources are loaded by the screens' load; everything else runs on
// the main thread.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "game/app/gamestate.h"

class aAdvAnim;
class aImage;
class aTheoraVideo;
class cGame;
class cOptionsWindow;
class cProfileWindow;
namespace GUI {
class EventArgs;
class Server;
class Widget;
} // namespace GUI

class cMenuState : public cGameState {
public:
    // The level a newcomer's Play starts.
    static constexpr const char* TUTORIAL_LEVEL = "Level00";

    cMenuState();
    ~cMenuState() override;

    void update(float dt) override;
    void draw() override;
    void init() override;
    void release() override;
    void loadResources() override;
    void freeResources() override;

    bool onPlay(const GUI::EventArgs& args);
    bool onHelp(const GUI::EventArgs& args);
    bool onPedia(const GUI::EventArgs& args);
    bool onExtras(const GUI::EventArgs& args);
    bool onOptions(const GUI::EventArgs& args);
    bool onCredits(const GUI::EventArgs& args);
    bool onAwards(const GUI::EventArgs& args);
    bool onProfiles(const GUI::EventArgs& args);
    bool onQuit(const GUI::EventArgs& args);
    bool onCloseExtras(const GUI::EventArgs& args);

    float getTitleScale() const { return m_titleScale; }
    bool isExtrasOpen() const { return m_extrasOpen; }
    GUI::Widget* getExtrasMenu() const { return m_extrasMenu; }
    cOptionsWindow* getOptionsWindow() const { return m_optionsWindow.get(); }
    cProfileWindow* getProfileWindow() const { return m_profileWindow.get(); }

private:
    struct CloudLayer {
        aImage* image = nullptr; // shared with the other layers cut from the same picture
        int16_t top = 0;         // the strip's row in the picture
        int16_t height = 0;
        float x = 0.0f;
        float speed = 0.0f; // pixels a second
    };

    void bindButtons();
    // Once a run: the players' file was set aside as a copy, and by which
    // name; or no copy could be made, so progress is not saved to it.
    void tellOfPlayersFile(cGame& game);
    void handleEscape();
    void updateExtras(float dt);
    void drawClouds();
    void drawTitle();

    std::unique_ptr<GUI::Server> m_server;
    bool m_listLoaded = false; // the language's menu list is in the game's image manager
    GUI::Widget* m_welcomeText = nullptr;
    float m_titleScale = 0.0f;
    std::unique_ptr<aImage> m_sky;
    std::unique_ptr<aImage> m_rock;
    std::unique_ptr<aImage> m_title;
    std::unique_ptr<aImage> m_clouds01;
    std::unique_ptr<aImage> m_clouds02;
    std::unique_ptr<cProfileWindow> m_profileWindow;
    std::unique_ptr<cOptionsWindow> m_optionsWindow;
    std::unique_ptr<aAdvAnim> m_warthog;
    float m_warthogTimer = 0.0f;
    std::unique_ptr<aAdvAnim> m_car;
    bool m_extrasOpen = false;
    GUI::Widget* m_extrasMenu = nullptr;
    std::unique_ptr<aTheoraVideo> m_skyVideo;
    std::array<CloudLayer, 4> m_clouds;
};
