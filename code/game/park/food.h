// cFood: a portion of food the player laid out (grass, meat) or a medicine
// kind. Kinds are cFood objects themselves, read once from the foods file
// and found by type and level; placed portions come from a free pool and
// copy what they need from their kind. A portion appears, shows a picture
// that follows what is left, and fades out when eaten up or expired.
// Kinds: loading thread at start-up, then read-only. Portions: main thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/park/drawelement.h"

class aAnim;
class aSound;
struct cSpriteEntry;

class cFood : public cDrawElement {
public:
    enum Type : int32_t { GRASS = 0, MEAT = 1, MEDICINE = 3 };

    cFood(int32_t type, int32_t level);
    ~cFood() override;

    static void loadKinds(const std::string& path);
    static void releaseKinds();
    static cFood* findKind(int32_t type, int32_t level);
    static const std::vector<cFood*>& kinds();
    // A ready portion of that kind, without a position; null when there is no such kind.
    static cFood* place(int32_t type, int32_t level);

    void reset(int32_t type, int32_t level, bool resetBase);
    void consume(float amount);
    void update(float dt) override;
    void draw() override;
    bool isAlive() override { return !(fadeOut <= 0.0f && eaters < 1); }
    void release() override;
    // Appeared, with portions and life left: animals may walk to it.
    bool isPresent() const;

    int32_t eaters = 0;
    std::vector<cSpriteEntry*> staySprites;
    std::vector<cSpriteEntry*> appearSprites;
    std::unique_ptr<aAnim> stayAnim;
    std::unique_ptr<aAnim> appearAnim;
    bool mirrored = false;
    float fadeIn = 0.0f;
    int32_t type = 0;
    float amountLeft = 0.0f; // portions left
    float count = 0.0f;
    int32_t cost = 0;
    float lifeLeft = 20.0f;
    float fadeOut = 2.0f;
    int32_t level = 0;
    int32_t countInStock = 0;
    int32_t countOnClick = 0;
    float cooldown = 0.0f;
    float lifeTime = 20.0f;
    aSound* appearSound = nullptr; // the sound manager's

private:
    bool appearing() const;
};

// A new animation from a registry sprite: its frame grid, frame time and play order.
std::unique_ptr<aAnim> initAnimFromSprite(const cSpriteEntry* sprite);
