// cHelicopter: takes sold animals out of the park. It flies in from the
// right along a curve over the animals aboard (they vanish as it passes),
// turns and leaves at the left; then the map panel slides in, a small
// helicopter crosses it and comes back (clicks on the panel hurry it), the
// panel slides out and the price of every passenger is credited to the
// level. One instance, made with the play state; main thread only.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "game/park/drawelement.h"
#include "orvo/gfx/a_curve.h"
#include "orvo/util/a_singleton.h"

class aAdvAnim;
class aImage;
class aSound;
class cAnimal;
class cLevel;
struct cAnimalKind;
namespace GUI {
class EventArgs;
class Widget;
} // namespace GUI

class cHelicopter : public aSingleton<cHelicopter>, public cDrawElement {
public:
    enum State : int32_t { FLYING = 0, PANEL_IN = 1, DELIVERING = 2, PANEL_OUT = 3 };
    enum Anim : int32_t { APPEAR = 0, TURN_START = 1, TURN_END = 2, AWAY = 3 };
    static constexpr const char* kSpriteList = "sprites:Helo/helo.list";
    static constexpr float kFlightSpeed = 300.0f;

    // The helicopter's sheets into the game's image manager: the play state
    // calls it while it loads its resources (nothing else loads the list).
    static void loadSprites();

    // `gui`: the play state's window tree holding "Helo_map" and
    // "Click_text" (null: the panel steps run without a panel).
    explicit cHelicopter(GUI::Widget* gui = nullptr);
    ~cHelicopter() override;

    // Boards the queued animals that fit (capacity from the park upgrades)
    // and starts a flight over them; false, and no flight, when none fits.
    bool sellQueued(cLevel& level);
    // Seats a kind takes aboard (at least one).
    static int32_t slotsOf(const cAnimalKind* kind);
    // Puts one animal aboard: held (unless it already is) and no longer
    // counted as living; the caller takes it off the sale queue.
    void boardAnimal(cAnimal* a);
    // Starts a flight over the animals aboard; nothing without passengers.
    void sellAnimals(const aVector2& p);
    int32_t countKindAboard(const cAnimalKind* kind) const;
    // An animal released before it was picked up (the level ended) is never touched again.
    void forget(const cAnimal* a);
    bool underWay() const { return !inactive; }

    // Where the credit of a sale is shown: below the middle of the panel.
    aVector2 saleTextPoint() const;

    void update(float dt) override;
    void draw() override;
    bool onClick(const GUI::EventArgs& args);
    bool onMouseEnter(const GUI::EventArgs& args);
    bool onMouseLeave(const GUI::EventArgs& args);
    bool drawPanel(const GUI::EventArgs& args);

    // The level credited when the delivery ends; null: the current play state's.
    cLevel* level = nullptr;

    int32_t state = FLYING;
    int32_t animIndex = APPEAR;
    bool inactive = true;
    bool clicked = false;
    bool ownsSpriteList = true;
    std::array<std::unique_ptr<aAdvAnim>, 4> animations;
    GUI::Widget* panel = nullptr;
    GUI::Widget* clickText = nullptr;
    aSound* rotorSound = nullptr;
    float rotorVolume = 0.0f;
    aCurve path;
    aVector2 landingPoint;
    std::vector<cAnimal*> toPickUp;
    std::vector<const cAnimalKind*> aboard;
    float baseSpeed = 0.2f;
    float speed = 0.2f;
    float delivery = 0.0f;
    float panelShown = 0.0f;
    float pulseTime = 0.0f;

private:
    void flightStep(float dt);
    void panelStep(float dt);
    void completeSale();
};
