// cCatchAnimalState: the catch-animal mini-game. Animals run across a band
// of the screen one after another, all the same way, under drifting clouds;
// the player clicks those the goals ask for and each caught one runs to its
// goal icon. A click on an animal no goal wants costs a second.
#pragma once

#include <memory>
#include <vector>

#include "game/screens/minigame.h"

class cCatchAnimalState : public cMiniGameState {
public:
    cCatchAnimalState();
    ~cCatchAnimalState() override;

    void update(float dt) override;
    void draw() override;
    void init() override;
    void release() override;

    bool isWanted(const cAnimalKind* kind) const;
    const std::vector<cAnimal*>& runners() const { return m_runners; }
    bool runsLeftToRight() const { return m_leftToRight; }
    float getWantedInterval() const { return m_wantedInterval; }
    void spawnRunner(float dt);

private:
    struct Cloud {
        std::unique_ptr<aImage> image;
        float x = 0.0f;
        float speed = 0.0f;
    };

    static void readArea(cMiniGameState& state, aOptionsFile& file);
    bool onClick(cAnimal* a);
    bool checkWin();
    void drawClouds();

    bool m_leftToRight = true;
    int16_t m_areaX = 0;
    int16_t m_areaY = 0;
    uint16_t m_areaWidth = 0;
    uint16_t m_areaHeight = 0;
    float m_spawnTimer = 0.0f;
    float m_wantedTimer = 0.0f;
    float m_wantedInterval = 0.0f;
    std::vector<cAnimal*> m_runners;
    const cAnimalKind* m_lastKind = nullptr;
    Cloud m_clouds[2];
    std::wstring m_penaltyFormat;
};
