// The frame the three mini-games share: the settings section of the level,
// the animal kinds and goals, the screen's GUI (money, Skip, tip), the
// count-down clock with its lose box, the timer, the coins a mini-game
// drops (credited straight to the player's money), the goal icon row, the
// win box with its reward and the skip question. Each game derives from
// cMiniGameState and adds its own rules.
// Threads: startLoading on the main thread, init on the loading thread,
// the rest on the main thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/app/gamestate.h"
#include "orvo/util/a_vector2.h"

class aFont;
class aImage;
class aOptionsFile;
class aSound;
class cAnimal;
class cAnimalKind;
class cBonus;
namespace GUI {
class EventArgs;
class Server;
class Widget;
} // namespace GUI

struct cMiniGoal {
    uint32_t collected = 0;
    uint32_t needed = 0;
    cAnimalKind* kind = nullptr;
};

constexpr int16_t kMiniGoalY = 715;
constexpr float kMiniCoinTargetX = 927.0f;
constexpr float kMiniCoinTargetY = 711.0f;

// x of goal icon i of n.
int16_t miniGameGoalX(uint32_t i, uint32_t n);
// The timer's two texts: "mm:ss." and the hundredths "hh".
void miniGameTimerText(float timeLeft, std::string& clock, std::string& hundredths);
// Runs the clock; true when it ran out in this call (the lose box is open).
bool miniGameUpdateCountdown(float* timeLeft, float dt);
// The clock ran out: time 0, the lose box, "loose_level".
void miniGameLose(float* timeLeft);
void miniGameDrawTimer(aFont* font, float timeLeft);
void miniGameDropCoin(const aVector2& p, std::vector<cBonus*>& coins);
// Moves, picks up and sweeps the coins (drawn when asked); true when the
// pointer is over one of them.
bool miniGameUpdateObjects(std::vector<cBonus*>& coins, float dt, bool won, aFont* font, bool draw);
// A rising, fading text (money gains, time penalties), drawn by miniGameUpdateTexts.
void miniGameAddText(aFont* font, const std::wstring& text, const aVector2& p);
void miniGameUpdateTexts(float dt);
void miniGameClearTexts();
// A silent adult of the kind for a mini-game board (no park life, no
// perspective, no obstacles; long oblique walks go in staircase steps),
// base scale = the kind's times `scale`; null when it cannot be made.
cAnimal* miniGameCreateAnimal(cAnimalKind* kind, float scale);
// A one-shot particle effect on layer 0.
void miniGameEffect(const char* name, const aVector2& p);

class cMiniGameState : public cGameState {
public:
    struct Setup {
        const char* file;    // settings file
        const char* tipKey;  // one-time tip
        uint32_t tipBit;     // its bit in the tips mask
        const char* winKey;  // text of the win box
        bool goals;          // the game has a goal row
    };

    cMiniGameState(int32_t id, const Setup& setup);
    ~cMiniGameState() override;

    void setLevel(const std::string& level) override { m_section = level; }
    bool startLoading() override;
    bool askSkip(const GUI::EventArgs& args);

    const std::string& section() const { return m_section; }
    float getTimeLeft() const { return m_timeLeft; }
    void setTimeLeft(float t) { m_timeLeft = t; }
    int32_t getReward() const { return m_reward; }
    bool isWon() const { return m_won; }
    std::vector<cMiniGoal>& goals() { return m_goals; }
    std::vector<cAnimalKind*>& kinds() { return m_kinds; }
    std::vector<cBonus*>& coins() { return m_coins; }

protected:
    // GUI server, font, money label, Skip.
    void initFrame();
    // Reads the section (the common keys, then `extra`); false without one.
    bool readSettings(void (*extra)(cMiniGameState&, aOptionsFile&) = nullptr);
    void showTip();
    // GUI, tip, money label.
    void updateFrame(float dt);
    // Ambient loop and Escape.
    void updateTail();
    // The clock, when it runs.
    void runClock(float dt);
    void win();
    void releaseFrame();
    void drawBackground();
    void drawGoals();
    // The goal of a kind (first in order), or null.
    cMiniGoal* goalOf(const cAnimalKind* kind);
    int32_t goalIndexOf(const cAnimalKind* kind) const;
    bool goalsFull() const;
    bool modalOpen() const { return getModalCount() >= 1; }
    bool pointer(int32_t& x, int32_t& y, uint32_t& left) const;

    Setup m_setup;
    std::string m_section;
    aFont* m_font = nullptr;
    std::unique_ptr<GUI::Server> m_gui;
    GUI::Widget* m_moneyLabel = nullptr;
    std::unique_ptr<aImage> m_background;
    bool m_won = false;
    float m_timeLeft = 0.0f;
    int32_t m_reward = 0;
    std::vector<cBonus*> m_coins;
    aSound* m_ambient = nullptr;
    std::vector<cAnimalKind*> m_kinds;
    std::vector<cMiniGoal> m_goals;
    // False until the left button has been up once: the click that ends the
    // loading screen is no click on the board.
    bool m_inputReady = false;
};
