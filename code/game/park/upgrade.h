// The in-level abilities (cUpgradeKind: collect every coin, feed every
// animal; read once from the abilities file and kept for the whole run) and
// cUpgrade, the drawable object of one upgrade of the player's park:
// animation layers that fade in while the park screen marks it. Main thread
// (kinds: the loading thread at start-up).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/park/drawelement.h"

class aAdvAnim;
class aImage;
class cLevel;

struct cUpgradeKind {
    enum Type : int32_t { COLLECT_COINS = 0, FEED_ANIMALS = 1 };

    int32_t type = 0;
    float cooldown = 0.0f;
    float cooldownLeft = 0.0f;
    float value = 0.0f;
    int32_t cost = 0;
    int32_t upgradeTypeNeeded = -1;
    int32_t upgradeStageNeeded = -1;
    std::unique_ptr<aImage> buttonImage;
};

class cUpgrade : public cDrawElement {
public:
    cUpgrade();
    ~cUpgrade() override;

    static void loadKinds(const std::string& path);
    static cUpgradeKind* findKind(int32_t type);
    static const std::vector<cUpgradeKind*>& kinds();
    static void resetCooldowns();
    static void updateCooldowns(float dt);
    // Uses the ability when the level has the money and it is not cooling
    // down; false when nothing happened. Collected coins fly to `moneyPoint`.
    static bool apply(cUpgradeKind& kind, cLevel& level, const aVector2& moneyPoint);
    // Whether the HUD offers the kind: it has a button picture and the
    // player's park has the upgrade stage it needs (stage 0 where the park
    // has no such upgrade yet).
    static bool isOffered(const cUpgradeKind& kind, const std::vector<int32_t>& parkStages);
    static void releaseAll();

    void draw() override;
    void update(float dt) override;

    bool hovered = false;
    float glow = 0.0f;
    int32_t parkValues[3] = {0, 0, 0};
    std::string name = "Level01";
    std::vector<std::unique_ptr<aAdvAnim>> layerA;
    std::vector<std::unique_ptr<aAdvAnim>> layerB;
    std::vector<aVector2> layerBPositions;
    std::vector<aVector2> layerAPositions;
    int32_t extra = 0;
};
