// cPlayState (state 8): one level being played. It owns the level, the play
// layout's GUI server with the HUD, the in-game menu, the goals window, the
// helicopter, the tutorial, the options window and the tools of the pointer.
// Every frame it steps the level (with 0 while a window blocks the game),
// reads the pointer over the park, counts the level time and reacts to a won
// or lost level.
// init runs on the loading thread (the level loads there); everything else
// on the main thread.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "game/app/gamestate.h"
#include "game/park/paidshare.h"
#include "orvo/util/a_vector2.h"

class aFont;
class aParticleSystem;
class cActiveButtonEffect;
class cAnimal;
class cBonus;
class cFood;
class cGoalsWindow;
class cHelicopter;
class cLevel;
class cOptionsWindow;
class cPoacher;
class cTutorial;
namespace GUI {
class EventArgs;
class Server;
class Widget;
} // namespace GUI

class cPlayState : public cGameState {
public:
    enum CursorMode : int32_t { MODE_NONE = 0, MODE_GRASS = 2, MODE_MEAT = 3, MODE_HEAL = 4, MODE_HIT = 5 };
    static constexpr float kIntroSeconds = 0.4f;
    static constexpr float kClickWait = 0.5f;
    // An ability button's price: its face and size, and its distance from the button's foot.
    static constexpr const char* kAbilityPriceFont = "text14";
    static constexpr float kAbilityPriceTextSize = 1.0f;
    static constexpr float kAbilityPriceBottom = 4.0f;
    // The timer box along the top, and the medal box drawn left of it: at the
    // top left, where neither the goals strip nor the helicopter's delivery
    // panel (sliding down the top right corner) passes.
    static constexpr int16_t kTimerBoxX = 100;
    static constexpr int16_t kTimerBoxY = 0;
    static constexpr int16_t kMedalBoxX = kTimerBoxX - 92;

    cPlayState();
    ~cPlayState() override;

    void update(float dt) override;
    void draw() override;
    void init() override;
    void release() override;
    bool startLoading() override;
    // The level file to play (the map and the menu set it before the switch).
    void setLevel(const std::string& path) override { levelPath = path; }

    // The registered play state, or null.
    static cPlayState* find();

    // --- the level's calls ---
    void setMoney(int32_t value);
    void showMoneyChange(const aVector2& at, int32_t amount);
    void addAnimalButton(const std::string& kindName);
    void showRefusal(const aVector2& at, GUI::Widget* widget);
    // Centres of the money label and the Grass button, kept after the first call.
    aVector2 moneyLabelCentre();
    aVector2 tutorialPointCentre();

    // --- the tools (playtools.cpp) ---
    void handleParkInput();
    void updateCursor();
    void onParkClick(int32_t x, int32_t y);
    void leaveCursorMode();
    bool onHudButton(const GUI::EventArgs& args);
    bool onHudButtonEnter(const GUI::EventArgs& args);
    bool onHudButtonLeave(const GUI::EventArgs& args);
    bool buyIngameUpgrade(const GUI::EventArgs& args);
    bool onUpgradeButtonEnter(const GUI::EventArgs& args);
    bool onUpgradeButtonLeave(const GUI::EventArgs& args);
    void sendHelicopter();

    // --- the HUD (playhud.cpp) ---
    void addAbilityButton(int32_t index);
    bool onAnimalButton(const GUI::EventArgs& args);
    bool onAnimalButtonEnter(const GUI::EventArgs& args);
    bool onAbilityButton(const GUI::EventArgs& args);
    void updateHudButtons();
    void drawFoodUpgradePips();
    void updateHud();
    void updateTimerText();
    void drawAnimalButtons();
    void drawCooldown(float cx, float cy, float fraction);
    // "%02d:%02d" below an hour, "%d:%02d:%02d" from one hour on.
    static std::wstring formatTime(int32_t seconds);
    // The medal box's text while `elapsed` is within `limit` seconds.
    static std::wstring formatMedalLeft(float elapsed, int32_t limit);

    // --- the in-game menu and the end of the level ---
    bool onMenuClose(const GUI::EventArgs& args);
    bool askRestart(const GUI::EventArgs& args);
    bool onMenuOptions(const GUI::EventArgs& args);
    bool askAbort(const GUI::EventArgs& args);
    bool askQuit(const GUI::EventArgs& args);
    bool onMenuQuit(const GUI::EventArgs& args);
    static void requestRestart();
    void onEscape(bool boxVisible);
    void fadeIngameMenu(float dt);
    void openIngameMenu();
    void onLevelEnd();
    // Credits the won level's reward to the current player; returns it.
    int32_t grantLevelReward();

    // What the tools and the HUD read (tests read them too).
    cLevel* getLevel() const { return level; }
    GUI::Server* getGui() const { return gui; }
    cGoalsWindow* getGoalsWindow() const { return goalsWindow; }
    float getElapsed() const { return elapsed; }
    int32_t getCursorMode() const { return cursorMode; }
    uint16_t getPortions() const { return portions; }
    cTutorial* getTutorial() const { return tutorial; }
    cHelicopter* getHelicopter() const { return helicopter; }
    GUI::Widget* getGrassButton() const { return grassButton; }
    GUI::Widget* getSellButton() const { return sellButton; }
    GUI::Widget* getHealButton() const { return healButton; }
    GUI::Widget* getGoalsButton() const { return goalsButton; }
    GUI::Widget* getMoneyLabel() const { return moneyLabel; }
    const std::vector<GUI::Widget*>& getAnimalButtons() const { return animalButtons; }
    const std::vector<GUI::Widget*>& getAbilityButtons() const { return abilityButtons; }
    // Puts `count` grass portions on the pointer, as a bought portion does.
    void handFood(uint16_t count);
    // The kind a click on that food's button buys now (at the level's stage of
    // it); null when there is none.
    const cFood* foodKind(int32_t type) const;

    std::string levelPath;

private:
    void createGui();
    bool loadLevel();
    void bindHud(GUI::Widget* widget);
    void bindMenuButton(const char* name, bool (cPlayState::*handler)(const GUI::EventArgs&));
    void setToolCursor(GUI::Widget* button, const char* cursor);
    void pickAnimals(int32_t x, int32_t y);
    void pickBonuses(int32_t x, int32_t y);
    void pickPoachers(int32_t x, int32_t y);
    void healAnimal(cAnimal* animal);
    void showHint(GUI::Widget* widget, const char* key, uint32_t bit);
    int32_t foodStage(int32_t type) const { return type == 0 ? grassStage : meatStage; }

    int32_t cursorMode = MODE_NONE;
    aFont* hudFont = nullptr;
    cLevel* level = nullptr;
    std::vector<GUI::Widget*> animalButtons;
    std::vector<GUI::Widget*> abilityButtons;
    bool rewardOnWin = true;
    float elapsed = 0.0f;
    float clickWait = 0.0f;
    GUI::Server* gui = nullptr;
    GUI::Widget* hudRoot = nullptr;
    GUI::Widget* grassButton = nullptr;
    GUI::Widget* meatButton = nullptr;
    GUI::Widget* moneyLabel = nullptr;
    GUI::Widget* sellButton = nullptr;
    GUI::Widget* healButton = nullptr;
    GUI::Widget* hitButton = nullptr;
    GUI::Widget* menuButton = nullptr;
    GUI::Widget* goalsButton = nullptr;
    bool menuShown = false;
    GUI::Widget* ingameMenu = nullptr;
    bool restartPending = false;
    bool overHud = false;
    bool foodCursorOff = false;
    bool foodBlocked = false;
    float healWait = 0.0f;
    uint16_t grassStage = 0;
    uint16_t meatStage = 0;
    GUI::Widget* grassUpgradeButton = nullptr;
    GUI::Widget* meatUpgradeButton = nullptr;
    bool grassUpgradeOn = false;
    bool meatUpgradeOn = false;
    uint16_t portions = 0;
    cPaidShare portionsPaid; // what the held portions cost, refunded when the tool is left
    cGoalsWindow* goalsWindow = nullptr;
    float introTimer = 0.0f;
    uint16_t goalsDoneMask = 0;
    cHelicopter* helicopter = nullptr;
    cTutorial* tutorial = nullptr;
    cOptionsWindow* optionsWindow = nullptr;
    std::unique_ptr<cActiveButtonEffect> sellHighlight;
    std::map<GUI::Widget*, aParticleSystem*> signEffects;
    bool firstStart = true;
    bool m_loadFailed = false; // the failure is told on the first update
    int16_t m_endTold = 0;     // the level's end (1 won, -1 lost) whose sound and window came

    std::vector<cAnimal*> m_pickedAnimals;
    std::vector<cBonus*> m_pickedBonuses;
    std::vector<cPoacher*> m_pickedPoachers;
    std::optional<aVector2> m_moneyCentre;
    std::optional<aVector2> m_grassCentre;
};

// Registers cPlayState as the class of state 8.
void park_registerPlayState();
