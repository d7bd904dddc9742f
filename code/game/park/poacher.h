// cPoacher: a hunter that comes into the park, wanders its own ground
// (herbivore or predator), walks up to the nearest living animal there and
// shoots it; after its quota it leaves. Clicks take its hit points; driven
// off, it drops a coin. Objects are pooled like the animals; the kinds
// (cPoacherKind) are read once from their files. Main thread, except the
// kind loading (loading thread).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/park/movableelement.h"
#include "game/park/statusindicator.h"

class aAdvAnim;
class aImage;
class aImageManager;
class aOptionsFile;
class aParticleSystem;
class aSound;
class cAnimal;
class cLevel;

struct cPoacherKind {
    static constexpr int kSets = 4;
    static constexpr int kDirections = 5;

    std::string name;
    uint32_t nameCrc = 0;
    int32_t animalType = 0; // above 1: a ground drawn for each poacher
    int32_t animalsCount = 0;
    int32_t bonus = 0;
    float maxHealth = 0.0f;
    float moveSpeed = 0.0f;
    float baseScale = 1.0f;
    aImage* shadow = nullptr;                     // the game's image manager's
    aImage* animations[kSets][kDirections] = {}; // sheets of the poachers' image manager
};

class cPoacher : public cMovableElement {
public:
    enum State : int32_t { WALK = 0, HIT_01 = 1, HIT_02 = 2, SHOOT = 3 };
    enum Sound : int { SND_APPEAR, SND_HIT_01, SND_HIT_02, SND_DISAPPEAR, SND_SHOOT, SND_WALK, SND_COUNT };
    static constexpr float kShotReadySeconds = 2.0f;
    static constexpr uint32_t kKillFrame = 38;
    static constexpr float kShootDistanceSq = 40000.0f;
    static constexpr float kAppearedFade = 0.5f;
    static constexpr uint32_t kIndicatorColour = 0xFF4C3615;

    ~cPoacher() override;

    // --- kinds ---
    // Reads one kind file (nothing without "DATA" or when the name is known).
    static void loadKinds(const std::string& path);
    static void loadKind(cPoacherKind& kind, aOptionsFile& file);
    static cPoacherKind* findKind(const std::string& name);
    static const std::vector<cPoacherKind*>& kinds();
    // Frees the kinds, the pooled poachers and the poachers' images.
    static void releaseKinds();
    // Fills the free pool up to n poachers (nothing when it holds as many).
    static void preallocate(size_t n);
    static size_t pooledCount();

    // --- life ---
    static cPoacher* create(cPoacherKind* kind);
    void setLevel(cLevel* l);
    void hit(float damage);
    aRect getHitRect();
    void drawGui();
    void draw() override;
    // The kind's shadow under the poacher (none when the kind has no Shadow).
    void drawShadow();
    // Each poacher's shadow, in list order.
    static void drawShadows(const std::vector<cPoacher*>& poachers);
    void update(float dt) override;
    bool isAlive() override { return fade > 0.0f; }
    void release() override;
    void setDirection(const aVector2& dir) override;
    bool canStandAt(const aVector2& p) override;
    // The level forgets an animal: a poacher aiming at it lets it go.
    void dropTarget(const cAnimal* animal);
    aAdvAnim* currentAnimation() const;
    // The value of the coin a driven-off poacher of this bonus drops (at
    // least 1 when the bonus is positive).
    static uint16_t rewardValue(int32_t bonus, int32_t factor);

    int32_t state = WALK;
    std::array<std::unique_ptr<aAdvAnim>, cPoacherKind::kSets * cPoacherKind::kDirections> animations;
    float shotClock = 0.0f;
    cAnimal* target = nullptr;
    cLevel* level = nullptr;
    int32_t area = 2;
    float health = 0.0f;
    float fade = 0.0f;
    int32_t kills = 0;
    bool shotDone = false;
    bool hovered = false;
    float glow = 0.0f;
    uint16_t frameWidth = 0;
    uint16_t frameHeight = 0;
    bool mirrored = false;
    uint16_t direction = 0;
    cPoacherKind* kind = nullptr;
    // The "WATER_WAVE" effect while it wades, by its number: the particle
    // manager removes it on its own once it is finished (0 for none).
    uint64_t waterEffect = 0;
    cStatusIndicator indicator;
    bool soundsPaused = false;
    aSound* sounds[SND_COUNT] = {};

private:
    explicit cPoacher(cPoacherKind* kind);
    void resetFields();
    void loadSounds();
    void releaseSounds();
    void loadAnimations();
    void setAnimation(int32_t s);
    void behave(float dt);
    void vanishStep(float dt);
    void findTarget();
    // Starts the shot when the target lives, stands within the shooting
    // distance and the shot clock allows; false when it does not start.
    bool shootWhenReady();
    void approachTarget(float dt);
    // The shot is over: out once his quota is met (without coins), else back to walking.
    void endShot();
    // After a hit animation: back to walking, to the shot he may take, or out once his quota is met.
    void recover();
    void wander(float dt);
    void loseTarget();
    void dropReward();
    bool animationDone() const;
};
