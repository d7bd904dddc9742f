// cTutorial: the teaching script of a level whose file names a tutorial
// type. Each script is a small step machine: a step waits a fixed time and a
// condition in the park, then shows a hint bubble at an animal, a coin, a
// poacher or a HUD button. Beside the steps, hint bits put follow-the-object
// bubbles and pulsing "SIGN" effects (particle layer 1) over HUD buttons.
// The first script steers the animals so that what it explains happens
// soon; the poacher script lowers two game settings, which the game reads
// again from "data:game.ini" when the tutorial ends. Made on the loading
// thread with the level, used on the main thread.
#pragma once

#include <cstdint>
#include <string>

#include "orvo/util/a_vector2.h"

class aParticleSystem;
class cAnimal;
class cLevel;
class cPlayState;
class cPoacher;
class cTutorialTooltip;
namespace GUI {
class Widget;
}

class cTutorial {
public:
    enum Script : int32_t { FIRST_LEVEL = 0, POACHERS = 1, ZEBRA = 2, HEAL = 3 };
    enum Hint : uint32_t {
        COIN = 0x1,
        BUY_FOOD = 0x2,
        SELL = 0x4,
        PRODUCING = 0x8,
        HELICOPTER = 0x10,
        POACHER = 0x20,
        SIGN_ANIMAL = 0x40,
        SIGN_SELL = 0x80,
        SIGN_HEAL = 0x100,
        ALL_HINTS = 0x1FF
    };
    static constexpr float kSignWait = 3.0f;

    // Sets the tutorial-running flag. A type above 3 runs only the SIGN hints.
    cTutorial(int32_t type, cLevel* level);
    // Removes its SIGN effects; touches neither the level nor the bubbles
    // (the play state may have released both first).
    ~cTutorial();
    cTutorial(const cTutorial&) = delete;
    cTutorial& operator=(const cTutorial&) = delete;

    // One frame (the play state skips it while a box or its menu shows).
    // When the running flag is clear afterwards the tutorial is over: the
    // game settings have been read again and the owner deletes it.
    void update(float dt);
    // The buy-food hint: shown when the player has nothing to feed with.
    void showFirstMessage();
    // The player bought food: the buy-food bubble has done its work.
    void forgetFoodHint();

    int32_t getType() const { return type; }
    uint16_t getStep() const { return step; }
    float getTimer() const { return timer; }
    uint32_t getHints() const { return hints; }
    aParticleSystem* getSign(int index) const { return signs[index]; }

private:
    // --- steps (tutorialscripts.cpp) ---
    void firstLevelScript(float dt);
    void steerAnimals();
    void firstLevelHints();
    void poacherScript(float dt);
    void poacherHints(float dt);
    void zebraScript();
    void healScript();
    void signHints(float dt);

    // --- helpers (tutorial.cpp) ---
    void nextStep();
    // Logs why the current step is passed over and moves on.
    void skipStep(const char* why);
    // A bubble at a point; null (logged) when the text or the bubble picture is missing.
    cTutorialTooltip* say(const aVector2& at, const char* key, bool plain);
    // At the centre of the widget's absolute rectangle.
    cTutorialTooltip* sayAtWidget(GUI::Widget* widget, const char* key, bool plain);
    // Forgets a handle whose bubble is closed or gone.
    static bool live(cTutorialTooltip*& tip);
    static void hide(cTutorialTooltip*& tip);
    static void follow(cTutorialTooltip* tip, const aVector2& at);
    void retire(uint32_t hint) { hints &= ~hint; }
    bool armed(uint32_t hint) const { return (hints & hint) != 0; }
    // One SIGN hint's effect: shown (restarted when it has stopped) or removed.
    void showSign(int index, float x, float y);
    void removeSign(int index);
    void removeSigns();
    GUI::Widget* firstAnimalButton() const;
    cAnimal* firstAnimal() const;
    cAnimal* firstChild() const;
    cPoacher* firstPoacher() const;
    bool anyAnimal() const;
    bool canStillProduceCoins() const;

    int32_t type = 0;
    cLevel* level = nullptr;
    float timer = 0.0f;
    uint16_t step = 0;
    cPlayState* playState = nullptr;
    uint32_t hints = ALL_HINTS;
    cTutorialTooltip* stepTip = nullptr;
    cTutorialTooltip* coinTip = nullptr;
    cTutorialTooltip* foodTip = nullptr;
    cTutorialTooltip* sellTip = nullptr;
    cTutorialTooltip* poacherTip = nullptr;
    cTutorialTooltip* produceTip = nullptr;
    cTutorialTooltip* heloTip = nullptr;
    const cPoacher* followedPoacher = nullptr;
    aParticleSystem* signs[3] = {};
    float signTimers[3] = {};
    float holdTimer = 0.0f;
};
