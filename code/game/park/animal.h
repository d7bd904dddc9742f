// cAnimal: one animal of the park (or of a mini-game screen). It appears,
// wanders, idles, gets hungry and walks to food, eats, grows from child to
// adult, produces coins, grows old (and joins the level's sale queue), may
// fall sick and be healed, and dies when its health runs out. Objects are
// pooled: release puts them on a free pool that create reuses by kind.
// The kinds (cAnimalKind) are read and released through the static
// operations here. Main thread, except the kind loading (loading thread).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/park/animalkind.h"
#include "game/park/movableelement.h"
#include "game/park/statusindicator.h"

class aAdvAnim;
class aImageManager;
class aOptionsFile;
class aParticleSystem;
class aSound;
class cFood;
class cLevel;

class cAnimal : public cMovableElement {
public:
    using State = cAnimalKind::State;
    enum Direction : uint16_t { UP = 0, UP_RIGHT = 1, RIGHT = 2, DOWN_RIGHT = 3, DOWN = 4 };
    enum Sound : int {
        SND_APPEAR,
        SND_GROWN,
        SND_READY_TO_SELL,
        SND_DISAPPEAR,
        SND_HUNGER,
        SND_WALK,
        SND_PRODUCE,
        SND_EAT,
        SND_CHILD_IDLE,
        SND_ADULT_IDLE_01,
        SND_ADULT_IDLE_02,
        SND_SICK,
        SND_EASTER_EGG,
        SND_COUNT
    };
    static constexpr int kMaxFoodRetries = 4;
    // The status bubble's icons in the "AnimalGUI" sheet.
    static inline const aRect kGrassIcon{80, 0, 42, 36};
    static inline const aRect kMeatIcon{122, 0, 42, 28};
    static inline const aRect kSickIcon{122, 28, 27, 26};
    static inline const aRect kHeldIcon{122, 54, 42, 36};
    static constexpr float kSickCheckSeconds = 3.0f;

    struct AttachedEffect {
        aParticleSystem* effect = nullptr;
        float dx = 0.0f;
        float dy = 0.0f;
        bool restart = false;
    };

    // What the body draws this frame: the current frame of the current
    // animation on the screen, and the cell of the water's animal mask
    // (column: direction, row: 0 adult, 1 child) for drawing it in water.
    struct BodyFrame {
        aImage* image = nullptr;
        aRect source;
        float placeX = 0.0f; // the animation's point; its frame's displacement, scaled, leads to x, y
        float placeY = 0.0f;
        float x = 0.0f;
        float y = 0.0f;
        float scaleX = 1.0f;
        float scaleY = 1.0f;
        int maskColumn = 0;
        int maskRow = 0;
    };

    ~cAnimal() override;

    // Draws a water animal's body in the level's water (masked by the cell
    // of the water's animal mask); set by the water while a level has one.
    // False: the body is drawn as usual.
    static inline bool (*drawInWater)(cAnimal& animal, const BodyFrame& body) = nullptr;

    // --- kinds (animalkind.cpp) ---
    // Reads one kind file with an animation mask; nothing when the file is
    // missing, has no "DATA" or names a kind already read.
    static void loadKindFile(const std::string& path, uint32_t mask);
    static void loadKind(aOptionsFile& file, cAnimalKind& kind, uint32_t mask);
    static cAnimalKind* findKind(uint32_t nameHash);
    static cAnimalKind* findKindByName(const std::string& name);
    static const std::vector<cAnimalKind*>& kinds();
    // Frees every kind and every pooled animal and the animal image manager.
    static void releaseKinds();
    static aImageManager* imageManager();
    static int32_t producingCount() { return s_producing; }
    static size_t pooledCount() { return s_pool.size(); }

    // --- life (animal.cpp) ---
    // A ready animal (pooled or new), or null (logged) when its row has no animation.
    static cAnimal* create(bool adult, cAnimalKind* kind);
    void setLevel(cLevel* level);
    void update(float dt) override;
    void draw() override;
    // The kind's shadow under the animal (none when the kind has no Shadow).
    void drawShadow();
    // The shadow pass of the level and the mini-game screens: each animal's
    // shadow, in list order.
    static void drawShadows(const std::vector<cAnimal*>& animals);
    bool isAlive() override { return presence > 0.0f; }
    void release() override;
    void setDirection(const aVector2& dir) override;
    bool canStandAt(const aVector2& p) override;

    aParticleSystem* playEffect(const std::string& name, float dx, float dy, bool restart = false);
    void releaseSounds();
    void heal(float immunitySeconds);
    void getSick();
    void makeGrown(bool withEffects);
    void feed();
    void onProductionClick();
    void onEasterEggClick();
    void walkTo(const aVector2& p);
    void hold();
    aAdvAnim* currentAnimation() const;
    void vanish();
    void clearEffects();
    bool hasActiveEffects() const;
    void setState(int32_t s);

    bool isOld() const;
    // Alive, hungry above the critical level, no food target, state 2 or above.
    bool isHungry() const;
    bool isLiving() const { return health > 0.0f && presence > 0.0f; }

    // --- actions (animalactions.cpp) ---
    void finishProducing();
    void chooseNextAction();
    void walkToRandomPlace();
    cFood* findFoodTarget() const;
    void goToFood(cFood* food);

    // --- drawing (animaldraw.cpp) ---
    // The coin value floating up for a second after a production click, in the
    // GUI's "arial14" at kClickValueSize: its text (empty while none shows),
    // the point it is centred on across and its colour.
    struct ClickValue {
        std::wstring text;
        float x = 0.0f, y = 0.0f;
        uint32_t colour = 0;
    };
    static constexpr float kClickValueSize = 1.0f;
    ClickValue clickValue() const;

    BodyFrame bodyFrame(float extra) const;
    void drawInfoPanel();

    std::array<std::array<std::unique_ptr<aAdvAnim>, cAnimalKind::kDirections>, cAnimalKind::kStates> childAnims;
    std::array<std::array<std::unique_ptr<aAdvAnim>, cAnimalKind::kDirections>, cAnimalKind::kStates> adultAnims;
    int32_t state = 0;
    bool mirrored = false;
    uint16_t direction = DOWN;
    cFood* foodTarget = nullptr;
    uint16_t foodSide = 0;
    uint16_t foodRetries = 0;
    cLevel* level = nullptr;
    bool freeRunning = true;
    bool held = false;
    float health = 0.0f;
    float hunger = 0.0f;
    float ageOrProduced = 0.0f;
    float presence = 2.0f;
    float reproduceTimer = 0.0f;
    float produceTimer = 0.0f;
    int32_t productionClicks = 0;
    float clickTextTime = 0.0f;
    float pace = 1.0f;
    float walkTime = 0.0f;
    int32_t idleLoops = 0;
    float actionTime = 0.0f;
    float actionDuration = 0.0f;
    float baseSpeed = 1.0f;
    float sickCheckTimer = kSickCheckSeconds;
    bool child = true;
    bool sick = false;
    float immunity = 0.0f;
    int32_t eggClicks = 0;
    float eggClickWindow = 0.0f;
    uint32_t highlight = 0xFFFFFFFF;
    bool hovered = false;
    cAnimalKind* kind = nullptr;
    float hoverAlpha = 0.0f;
    bool soundsPaused = false;
    aParticleSystem* stateEffect = nullptr;
    aParticleSystem* waterEffect = nullptr;
    int32_t effectLayer = 0;
    std::vector<AttachedEffect> attachedEffects;
    int32_t tag = 0;
    // The tutorial asks the player to click this producing animal.
    bool clickAsked = false;
    cStatusIndicator indicator;
    aSound* sounds[SND_COUNT] = {};

private:
    explicit cAnimal(cAnimalKind* kind);
    void initialise();
    void loadAnimations();
    void loadSounds();
    void drawPace();
    void recomputeSize();
    void livingStep(float dt);
    void lifeStep(float dt);
    void deathStep(float dt);
    void eatingStep(float d);
    void effectsStep(float dt);
    void chooseIndicator();
    void leaveFood();
    void stopStateEffect();
    void playSound(int which, bool loop = false);
    void stopSound(int which);
    bool animationFinished() const;
    void restartAnimation();

    static inline std::vector<cAnimal*> s_pool;
    static inline int32_t s_producing = 0;
    static inline int32_t s_effectLayers = 0;
    bool m_dying = false;
    bool m_vanished = false;
    bool m_noPlaceLogged = false;
};

// Coin type of a value: 1..25 -> 0, 26..50 -> 1, 51..75 -> 2, above -> 3.
int32_t bonusTypeForValue(int32_t value);
