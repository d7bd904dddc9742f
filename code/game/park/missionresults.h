// cMissionResults: what a won level was worth. It slides in after the final
// goals window and counts the time reward and the money left in the level
// down, side by side, while the player's total counts up by the reward that
// was granted; its Close button leads to the next state. One at a time
// (singleton), deleted by itself once it has slid out; main thread.
#pragma once

#include <cstdint>

#include "orvo/util/a_singleton.h"
#include "orvo/util/a_vector2.h"

class aParticleSystem;
class cLevel;
namespace GUI {
class EventArgs;
class Widget;
} // namespace GUI

class cMissionResults : public aSingleton<cMissionResults> {
public:
    // `timeRewardOfRun`: the time reward this win earned (the level's reward for its time).
    cMissionResults(GUI::Widget* window, cLevel* level, int32_t timeRewardOfRun);
    ~cMissionResults() override;
    cMissionResults(const cMissionResults&) = delete;
    cMissionResults& operator=(const cMissionResults&) = delete;

    static cMissionResults* get() { return getSingletonPtr(); }
    // Deletes the open results, if any (leaving the level).
    static void destroy();
    // The mini-game of the level, the park when it has something to build, else the map.
    static void goToNextState(const cLevel& level);

    void update(float dt);
    bool onClose(const GUI::EventArgs& args);
    void transferStep(int32_t step);
    void updatePiles();
    void startSparkles();
    void moveSparkles(float dt);
    void removeSparkles();

    int32_t timeLeft = 0;
    int32_t timeReward = 0;
    int32_t moneyLeft = 0;
    int32_t levelMoney = 0;
    int32_t transferred = 0;
    int32_t playerBefore = 0;
    int32_t granted = 0; // what the profile received: max(time reward, level money)
    GUI::Widget* window = nullptr;
    GUI::Widget* timeRewardWidget = nullptr;
    GUI::Widget* levelMoneyWidget = nullptr;
    GUI::Widget* playerMoneyWidget = nullptr;
    GUI::Widget* arrow1 = nullptr;
    GUI::Widget* arrow2 = nullptr;
    cLevel* level = nullptr;
    float speed = 10.0f;
    float alpha = 0.0f;
    bool opening = true;
    aVector2 corners[4];
    uint16_t cornerIndex[2] = {1, 3};
    aParticleSystem* sparkles[2] = {nullptr, nullptr};
};
