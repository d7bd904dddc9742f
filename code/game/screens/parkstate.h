// The player's own park between levels (state 3): the background, little
// decorations, up to three grazing animals, and the park's upgrades, whose
// next stages the player buys through buttons on the scene. The rules the
// play state and the map take from the built stages are in parkconfig.h.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/app/gamestate.h"
#include "game/screens/parkconfig.h"
#include "orvo/util/a_geometry.h"

class aAdvAnim;
class aAnim;
class aImage;
class aSound;
class cActiveButtonEffect;
class cParkStage;
class cUpgrade;
namespace GUI {
class EventArgs;
class Server;
class Widget;
} // namespace GUI

class cParkState : public cGameState {
public:
    struct StaticAnim {
        int16_t x = 0;
        int16_t y = 0;
        uint32_t blendMode = 0;
        std::unique_ptr<aAnim> anim;
        aSound* sound = nullptr;
    };

    struct ParkAnimal {
        float x = 0.0f;
        float y = 0.0f;
        bool mirrored = false;
        float scale = 0.7f;
        int32_t currentIdle = 0;
        std::unique_ptr<aAdvAnim> idle[2];
        aImage* shadow = nullptr;
        float timer = 0.0f;
        aSound* sounds[2] = {nullptr, nullptr};
    };

    static constexpr float CONTINUE_DELAY = 7.0f;

    cParkState();
    ~cParkState() override;

    void update(float dt) override;
    void draw() override;
    void init() override;
    void release() override;
    void loadResources() override;
    void freeResources() override;

    // The rules of the park file, for the map, the results and the play state.
    static int32_t getStageCost(int32_t stage);
    static bool hasUpgradeToBuild();
    static bool canBuyUpgrade();
    // Kinds of the three park animals for a built stage of upgrade 0; empty when none.
    static std::vector<std::string> animalKinds(int32_t stage);

    bool onUpgradeClick(const GUI::EventArgs& args);
    bool onContinue(const GUI::EventArgs& args);
    bool onMenu(const GUI::EventArgs& args);

    const std::vector<std::unique_ptr<cParkStage>>& stages() const { return m_upgrades; }
    const std::vector<ParkAnimal>& animals() const { return m_animals; }
    cActiveButtonEffect* getNeedHighlight(int type) const;
    cActiveButtonEffect* getContinueHighlight() const { return m_continueHighlight.get(); }
    float getContinueTimer() const { return m_continueTimer; }
    GUI::Server* getServer() const { return m_server.get(); }

private:
    void createGui();
    void loadConfig();
    void getMapUpgradeNeeds();
    void createParkAnimals();
    void releaseParkAnimals();
    void updateParkAnimals(float dt);
    void updateUpgradeButton(cParkStage& stage);
    void updateHover();
    void drawParkAnimals();
    cParkStage* findUpgrade(int32_t type, int32_t stage) const;
    void fillDrawList();

    std::unique_ptr<aImage> m_background;
    std::vector<std::string> m_sheets;   // queued in the screens' image manager
    std::vector<std::string> m_guiLists; // loaded into the game's image manager
    std::unique_ptr<GUI::Server> m_server;
    GUI::Widget* m_moneyLabel = nullptr;
    std::vector<cUpgradeSection> m_sections;
    std::vector<std::unique_ptr<cParkStage>> m_upgrades;
    std::vector<StaticAnim> m_staticAnims;
    std::vector<ParkAnimal> m_animals;
    aRect m_areas[3];
    std::vector<cUpgrade*> m_drawList;
    aSound* m_ambient = nullptr;
    GUI::Widget* m_hoveredButton = nullptr;
    std::unique_ptr<aAnim> m_idleEgg;
    std::unique_ptr<aAnim> m_jumpEgg;
    float m_continueTimer = 0.0f;
    std::unique_ptr<cActiveButtonEffect> m_continueHighlight;
    std::unique_ptr<cActiveButtonEffect> m_needHighlights[parkConfig::UPGRADE_TYPES];
};
