// The world map between levels (state 2): one button per level of the level
// chain in "data:Map/config.ini", its status worked out from the player's
// profile on every entry, the level tooltip beside the selected level, and
// the way to the level, the mini-games, the park, the awards and the menu.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/app/gamestate.h"

class aImage;
class aOptionsFile;
class cActiveButtonEffect;
class cPlayerProfile;
namespace GUI {
class Checkbox;
class EventArgs;
class Server;
class Widget;
} // namespace GUI

enum cMapStatus : int32_t {
    MAP_LOCKED = 0,
    MAP_OPEN = 1,
    MAP_COMPLETED = 2,
    MAP_SILVER = 3,
    MAP_GOLD = 4,
    MAP_TUTORIAL = 5,
    MAP_MINI_GAME = 6, // 6, 7, 8: mini-games 0, 1, 2
};

struct cMapLevel {
    std::string name;
    std::string neededLevel;
    GUI::Checkbox* button = nullptr;
    int32_t status = MAP_OPEN;
    int16_t x = 0; // the button's bottom centre
    int16_t y = 0;
};

class cMapState : public cGameState {
public:
    static constexpr const char* MAP_FILE = "data:Map/config.ini";

    cMapState();
    ~cMapState() override;

    void update(float dt) override;
    void draw() override;
    void init() override;
    void release() override;
    void loadResources() override;
    void freeResources() override;

    // The shown levels of a map file for a profile, in file order, buttons not made.
    static std::vector<std::unique_ptr<cMapLevel>> readLevels(aOptionsFile& map, const cPlayerProfile* profile,
                                                              bool hideUnreached);
    // Award counts of a level list: completed levels and the tutorial, and gold medals.
    static void countAwards(const std::vector<std::unique_ptr<cMapLevel>>& levels, int32_t& completed, int32_t& gold);

    const std::vector<std::unique_ptr<cMapLevel>>& levels() const { return m_levels; }
    const cMapLevel* getSelected() const { return m_selected; }
    bool getParkFlag() const { return m_parkFlag; }
    cActiveButtonEffect* getStartHighlight() const { return m_startHighlight.get(); }
    cActiveButtonEffect* getAwardsHighlight() const { return m_awardsHighlight.get(); }
    GUI::Server* getServer() const { return m_server.get(); }

    bool onPlay(const GUI::EventArgs& args);
    bool onMenu(const GUI::EventArgs& args);
    bool onPark(const GUI::EventArgs& args);
    bool onAwards(const GUI::EventArgs& args);
    bool onLevelSelect(const GUI::EventArgs& args);

private:
    void loadConfig(bool hideUnreached);
    GUI::Checkbox* createLevelButton(int32_t status, cMapLevel& level, int16_t x, int16_t y);
    void subscribeClick(const std::string& name, bool (cMapState::*handler)(const GUI::EventArgs&));
    void followPlayButton();

    std::unique_ptr<aImage> m_mapImage;
    std::unique_ptr<GUI::Server> m_server;
    GUI::Widget* m_playButton = nullptr;
    std::unique_ptr<cActiveButtonEffect> m_startHighlight;
    std::unique_ptr<cActiveButtonEffect> m_awardsHighlight;
    bool m_parkFlag = false;
    bool m_hideUnreached = true;
    std::vector<std::unique_ptr<cMapLevel>> m_levels;
    cMapLevel* m_selected = nullptr;
    bool m_startStopped = false;
};
