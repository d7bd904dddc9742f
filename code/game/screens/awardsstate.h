// cAwardsState (state 4): the awards screen. Earned awards are drawn in
// full, unearned ones as a faint shape under the pointer, each with a
// tooltip saying what it is for and how much is missing; awards earned since
// the last visit fade in with a sparkle. It also owns the awards table of
// "awards:config.ini", read with the first screen resources and kept to the
// end of the run, so the profile knows the goals during play too.
// Threads: loadResources runs on the loading thread, the rest on the main thread.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "game/app/gamestate.h"
#include "game/screens/award.h"

namespace GUI {
class EventArgs;
class Server;
} // namespace GUI

class cAwardsState : public cGameState {
public:
    cAwardsState();
    ~cAwardsState() override;

    void update(float dt) override;
    void draw() override;
    void init() override;
    void release() override;
    void loadResources() override { loadConfig(); }
    void freeResources() override;

    // Reads the screen's pictures; the awards themselves only the first time
    // (later loads only bring their pictures back).
    void loadConfig(const std::string& path = "awards:config.ini");
    // Null past the end.
    const cAward* getAward(int32_t index) const;
    size_t getAwardCount() const { return m_awards.size(); }
    // The plate drawn under every award; null when the file names none.
    const aImage* getPlate() const { return m_plate.get(); }
    int32_t getHovered() const { return m_hovered; }
    float getFadeIn() const { return m_fadeIn; }
    bool isEarned(int32_t index) const;

    bool onBack(const GUI::EventArgs& args);

    // The profile's goal and announcement hooks, answered by the registered awards screen.
    static void installAwardHooks();

private:
    void updateHover();
    void sparkleNewAwards();
    bool isNew(int32_t index) const;

    std::unique_ptr<aImage> m_background;
    std::unique_ptr<aImage> m_plate;
    std::unique_ptr<GUI::Server> m_gui;
    float m_fadeIn = 0.0f;
    std::vector<cAward> m_awards;
    int32_t m_hovered = -1;
};
