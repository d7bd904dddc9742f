// The loading scene of an animal chased by a poacher, who stops in the
// middle and shoots after it, then runs back while young animals cross the
// other way. Four variants (the chased kind).
#pragma once

#include <memory>

#include "game/app/loadingscenario.h"
#include "game/app/runninganimal.h"

class cPoacherShoot : public cLoadingScenario {
public:
    static constexpr int VARIANT_COUNT = 4;
    static const char* kind(int index);

    explicit cPoacherShoot(aImageManager* shared);
    ~cPoacherShoot() override;

    void update(float dt) override;
    void init() override;
    void initVariant(int index);

    const cRunningAnimal* getPoacher() const { return m_poacher.get(); }
    const cRunningAnimal* getChased() const { return m_chased.get(); }

private:
    std::unique_ptr<cRunningAnimal> m_poacher;
    std::unique_ptr<cRunningAnimal> m_chased;
};
