// The human-paced player of the balance tests: it plays the real play state
// through the headless harness with a person's limits. It acts only on what
// shows on screen (ScreenView), reacts to a thing only once it has shown for
// kReaction seconds, moves the pointer at most kPointerSpeed pixels a second,
// presses the button at most once every kClickGap seconds, and plays as the
// hints and tips say: food beside the hungry, coins picked up, poachers
// clicked until they go, the sick healed, working animals clicked, grown
// ones sold, animals bought when a hint asks, for the goals and the herd. The feed-only style
// does nothing but clear the hints away and feed. The newcomer's habits make
// the same player slower, without the level's food upgrades, selling only
// what a hint or the goals ask for. KB_HUMAN_TRACE=1 prints every click with
// the move that made it.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "game/park/playstate.h"
#include "game/screens/parkconfig.h"
#include "game/support/autoplayer.h"
#include "game/support/loading_game.h"
#include "game/support/money_book.h"
#include "game/support/screen_view.h"
#include "orvo/util/a_geometry.h"

class aParticleSystem;
class cAnimal;
namespace GUI {
class Widget;
}

namespace kbtest {

// How long each thing has shown without a break, in the player's own time.
class Sightings {
public:
    enum Aspect : int { SHOWN, HUNGRY, SICK, PRODUCING, ENABLED };

    void look();
    void see(const void* thing, Aspect aspect, float now);
    // Forgets what did not show in this look.
    void forgetUnseen();
    // Seconds it has shown so; -1 when it does not show so now.
    float age(const void* thing, Aspect aspect, float now) const;

private:
    struct Seen {
        float since = 0.0f;
        bool now = false;
    };
    std::map<std::pair<const void*, int>, Seen> m_seen;
};

// What sets one player apart from another beyond the moves it knows.
struct Habits {
    float reaction = 0.6f;    // seconds a thing has shown before it is acted on
    float clickGap = 0.5f;    // the least seconds between two presses
    bool upgrades = true;     // buys the food upgrades the level offers
    bool sellsUnasked = true; // sells what has grown, asked or not
};
inline constexpr Habits kPerson{};
inline constexpr Habits kNewcomer{1.2f, 1.0f, false, false};

class HumanPlayer {
public:
    enum class Style { Full, FeedOnly };
    static constexpr float kReaction = kPerson.reaction;
    static constexpr float kClickGap = kPerson.clickGap;
    static constexpr float kPointerSpeed = 2000.0f;

    HumanPlayer(GameHarness& h, cPlayState& state, Style style, float frameTime, Habits habits = kPerson);
    // One frame: look, decide, move the hand, maybe press or let go, and the game's frame.
    void frame();

    float clock() const { return m_now; }
    int32_t clicks() const { return m_clicks; }

private:
    // Where the hand goes this frame and whether it clicks there.
    struct Aim {
        aPoint at;
        bool click = true;
        int32_t upgradeType = -1; // the food whose in-level upgrade this click buys
    };

    void look();
    bool noticed(const void* thing, Sightings::Aspect aspect) const;
    std::optional<Aim> decide();
    // Each answers the aim of one kind of move, or none.
    std::optional<Aim> clearWindows();
    std::optional<Aim> hitPoacher();
    std::optional<Aim> heal();
    std::optional<Aim> feed();
    std::optional<Aim> collectCoin();
    std::optional<Aim> clickWorker();
    std::optional<Aim> sell();
    // A hint, the pulsing sign over the Sell button or an open sell goal asks for a sale.
    bool sellingAsked() const;
    const aParticleSystem* sellSign() const;
    std::optional<Aim> buy();
    std::optional<Aim> raiseFood();
    std::optional<Aim> hurryHelicopter();

    std::optional<Aim> at(const aRect& r) const;
    // A usable HUD button that has shown for the reaction time.
    std::optional<Aim> press(GUI::Widget* button) const;
    std::optional<Aim> putFoodBeside(const cAnimal* animal, int32_t type) const;
    bool foodNear(const cAnimal* animal) const;
    bool onScreen(const cAnimal* animal) const;
    int32_t foodCost(int32_t type) const;
    int32_t livingAnimals() const;
    GUI::Widget* widget(const char* name) const;
    bool hintShows(const char* key) const;

    GameHarness& m_h;
    cPlayState& m_state;
    Style m_style;
    Habits m_habits;
    float m_dt;
    float m_now = 0.0f;
    Sightings m_sightings;
    std::unique_ptr<ScreenView> m_view;
    float m_x = 512.0f, m_y = 384.0f;
    float m_lastStep = 0.0f; // pixels the hand moved in its last frame
    float m_lastPress = -1.0f;
    bool m_buttonDown = false;
    int32_t m_clicks = 0;
    const char* m_move = "";                               // the last move chosen, for the trace
    mutable std::map<std::string, GUI::Widget*> m_widgets; // by name
    std::vector<cUpgradeSection> m_upgrades;
    int32_t m_foodStage[2] = {0, 0};
    float m_buyAfterHint = -1.0f; // until when the money hint's purchase is still to come
};

struct HumanPlayResult : AutoPlayResult {
    int32_t clicks = 0;
    MoneyBook book;
};

// A game on fake time with the real play state, in which the human-paced
// player plays the shipped levels with the park stages the map asks for.
class HumanPlayGame : public ::testing::Test {
protected:
    static constexpr float kDt = 1.0f / 30.0f;

    void SetUp() override;
    // The level entered as the map enters it, with that seed for its load
    // and its play; null when it did not load.
    cPlayState* enter(const std::string& levelName, uint32_t seed);
    // Back to the menu; the level is released.
    void leave();
    // Plays "levels:<name>.ini" until it ends, for twice its SilverTime and
    // at least 10 minutes of play.
    HumanPlayResult play(const std::string& levelName, uint32_t seed, HumanPlayer::Style style,
                         Habits habits = kPerson);

    ScopedStateClass playClass{STATE_PLAY, [] { return new cPlayState(); }};
    LoadedGame game{true};
    cPlayerProfile* player = nullptr;
    // Called after every frame of a play.
    std::function<void(const HumanPlayer&)> watch;
};

} // namespace kbtest
