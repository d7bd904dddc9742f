// The loading scene of a lead animal that walks to the middle of the screen,
// stops for one idle, leaves, and then its young (or one other animal) run
// across. Eight variants.
#pragma once

#include <memory>

#include "game/app/loadingscenario.h"
#include "game/app/runninganimal.h"

class cAnimalRun : public cLoadingScenario {
public:
    using cRunningAnimal = ::cRunningAnimal;

    struct Variant {
        const char* leadKind;
        const char* leadIdle;
        const char* youngKind;
        const char* youngWalk;
        const char* shadow;
        float speed;
        int youngCount;
    };
    static constexpr int VARIANT_COUNT = 8;
    static const Variant& variant(int index);

    explicit cAnimalRun(aImageManager* shared);
    ~cAnimalRun() override;

    void update(float dt) override;
    void init() override;
    // Builds the given variant (init picks one at random).
    void initVariant(int index);

    const cRunningAnimal* getLead() const { return m_lead.get(); }
    float getSpeed() const { return m_speed; }

private:
    float m_speed = 0.0f;
    std::unique_ptr<cRunningAnimal> m_lead;
};
