// cBonus: a coin (four denominations, types 0 to 3) that animals, poachers
// and the mini-games drop. It is thrown along an arc, lies for its stay time
// (blinking in its last 3 seconds) and, once clicked, flies to the money
// display and credits its value. Kinds are cBonus objects themselves, read
// once from the bonuses file; live coins come from a free pool and keep
// their own copies of their kind's sounds, per type. Main thread (kinds:
// the loading thread at start-up).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "game/park/drawelement.h"
#include "orvo/gfx/a_curve.h"

class aAnim;
class aImage;
class aSound;
class cLevel;

class cBonus : public cDrawElement {
public:
    static constexpr float kSpeed = 250.0f;
    // Coin types are small numbers (0 to 3 in the shipped file); each live
    // coin keeps sound copies for every type up to its own.
    static constexpr int32_t kMaxType = 63;
    static constexpr float kArcHeight = 50.0f;

    explicit cBonus(int32_t type);
    ~cBonus() override;

    static void loadKinds(const std::string& path);
    static void releaseKinds();
    static cBonus* findKind(int32_t type);
    static const std::vector<cBonus*>& kinds();
    static size_t pooledCount();
    // A bonus ready to be launched; null when there is no kind of that type.
    static cBonus* create(int32_t type);
    // Throws a coin from p to a random point of the square of half side r
    // round it, folded back into the 1024 x 768 screen, and adds it to the
    // level's bonuses. The coin, or null without a kind.
    static cBonus* dropNear(cLevel* level, const aVector2& p, float r, int32_t type, int32_t value);

    void reset(int32_t type, bool resetBase);
    void launch(const aVector2& from, const aVector2& to, float arcHeight);
    // Ignored once collected; credits the level it lies in, or else the
    // current player's money (the mini-games).
    void collect(const aVector2& flyTo);
    void update(float dt) override;
    void draw() override;
    bool isAlive() override { return stayLeft > 0.0f; }
    void release() override;

    // Kind: the picture and its frame cut.
    aImage* picture = nullptr; // the image manager's
    int32_t vFrames = 1;
    int32_t hFrames = 1;
    int32_t totalFrames = 1;
    float frameTime = 0.1f;

    std::unique_ptr<aAnim> anim;
    int32_t type = 0;
    int32_t value = 0;
    float stayLeft = 0.0f;
    float stayTime = 0.0f;
    bool landed = false;
    float speed = kSpeed;
    aVector2 collectTarget;
    // Kind: one pair (appear, take) of the sound manager's sounds. Live
    // coin: own copies, indexed by type.
    std::vector<std::pair<aSound*, aSound*>> sounds;
    bool collected = false;
    bool hovered = false;
    aCurve arc;
    cLevel* level = nullptr; // the level it lies in; null in the mini-games

private:
    void releaseCopies();
};
