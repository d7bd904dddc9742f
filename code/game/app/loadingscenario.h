// The little scene at the bottom of the loading screen: savanna creatures
// crossing the screen in states 0, 1, 2 until the scene is finished (3).
// Built on the loading thread (init), moved and drawn by update on the main
// thread; the loading screen's lock keeps the two apart.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "orvo/gfx/a_imagemanager.h"

class cRunningAnimal;

class cLoadingScenario {
public:
    static constexpr uint32_t STATE_FINISHED = 3;

    // `shared` holds the shadows (may be null: no shadows).
    explicit cLoadingScenario(aImageManager* shared);
    virtual ~cLoadingScenario();
    cLoadingScenario(const cLoadingScenario&) = delete;
    cLoadingScenario& operator=(const cLoadingScenario&) = delete;

    // Moves and draws the scene by dt seconds.
    virtual void update(float dt) = 0;
    virtual void init() = 0;
    bool isFinished() const { return m_state == STATE_FINISHED; }

    uint32_t getState() const { return m_state; }
    uint8_t getDirection() const { return m_direction; }
    const std::vector<std::unique_ptr<cRunningAnimal>>& getRunners() const { return m_runners; }

    // A new runner on the walk animation `path`, placed just outside the
    // edge it starts from (direction 0 the left edge), away from the runners
    // already in the scene. A scale of 0 or less picks one of 1.0 to 1.1.
    std::unique_ptr<cRunningAnimal> addRunner(const std::string& path, float scale, uint8_t direction);
    // The shadow of that name from the shared manager; null (logged) when missing.
    aImage* findShadow(const std::string& name) const;

protected:
    // Moves a runner by `pixels` towards the far edge of `direction`.
    static void move(cRunningAnimal& runner, float pixels, uint8_t direction);
    // Past the edge opposite to where `direction` starts.
    static bool isPastFarEdge(const cRunningAnimal& runner, uint8_t direction);
    // The animation `name` of the animal `kind` ("animals:<kind>/animations/<name>").
    static std::string animation(const char* kind, const char* name);

    aImageManager m_images;
    aImageManager* m_shared;
    uint32_t m_state = 0;
    uint8_t m_direction = 0;
    std::vector<std::unique_ptr<cRunningAnimal>> m_runners;
};
