#include "game/support/humanplayer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "game/app/playerprofile.h"
#include "game/app/tutorialtooltip.h"
#include "game/park/animal.h"
#include "game/park/bonus.h"
#include "game/park/food.h"
#include "game/park/goalswindow.h"
#include "game/park/helicopter.h"
#include "game/park/level.h"
#include "game/park/poacher.h"
#include "game/park/tutorial.h"
#include "gui/server.h"
#include "gui/statictext.h"
#include "gui/widget.h"
#include "orvo/platform/gpu/a_gpudevicerecorder.h"
#include "orvo/util/a_random.h"

namespace kbtest {

namespace {

constexpr float kFoodRange = 150.0f;   // food this near an animal is its own
constexpr int32_t kHerdSize = 3;       // the least herd the player keeps earning
constexpr int32_t kUpgradeSpare = 200; // money kept after a food upgrade
// A creature drawn at half strength or more is seen.
constexpr float kSeenPresence = 1.0f;
constexpr float kSeenPoacherFade = 0.25f;
constexpr float kSettle = 8.0f; // pixels a frame the hand still moves when it presses
// Seconds after the money hint in which the player buys the animal it speaks of.
constexpr float kFollowMoneyHint = 5.0f;

float distance(float x, float y, const aPoint& p)
{
    return std::hypot(static_cast<float>(p.x) - x, static_cast<float>(p.y) - y);
}

aPoint centreOf(const aRect& r)
{
    return {r.x + r.width / 2, r.y + r.height / 2};
}

bool usable(const GUI::Widget* w)
{
    return w && w->IsVisible() && w->IsEnabled() && w->GetAlpha() > 0.9f;
}

} // namespace

// --- what has shown, and for how long ---

void Sightings::look()
{
    for (auto& [key, seen] : m_seen)
        seen.now = false;
}

void Sightings::see(const void* thing, Aspect aspect, float now)
{
    auto [it, added] = m_seen.try_emplace({thing, aspect}, Seen{now, true});
    it->second.now = true;
}

void Sightings::forgetUnseen()
{
    std::erase_if(m_seen, [](const auto& entry) { return !entry.second.now; });
}

float Sightings::age(const void* thing, Aspect aspect, float now) const
{
    const auto it = m_seen.find({thing, aspect});
    return it == m_seen.end() ? -1.0f : now - it->second.since;
}

// --- the player ---

HumanPlayer::HumanPlayer(GameHarness& h, cPlayState& state, Style style, float frameTime, Habits habits)
    : m_h(h), m_state(state), m_style(style), m_habits(habits), m_dt(frameTime), m_upgrades(parkConfig::readUpgrades())
{
    h.input().setCursor(static_cast<int32_t>(m_x), static_cast<int32_t>(m_y));
}

void HumanPlayer::frame()
{
    m_now += m_dt;
    if (m_buttonDown) {
        // A click is a press and a let-go on the next frame, the hand still.
        m_h.input().setButton(0, false);
        m_buttonDown = false;
        m_h.frame();
        return;
    }
    look();
    if (const std::optional<Aim> aim = decide()) {
        const float dx = static_cast<float>(aim->at.x) - m_x, dy = static_cast<float>(aim->at.y) - m_y;
        const float left = std::hypot(dx, dy), step = kPointerSpeed * m_dt;
        if (left <= step) {
            m_x = static_cast<float>(aim->at.x);
            m_y = static_cast<float>(aim->at.y);
            // The hand comes to rest on the target before it presses.
            const bool resting = left <= kSettle && m_lastStep <= kSettle;
            m_lastStep = left;
            if (resting && aim->click && m_now - m_lastPress >= m_habits.clickGap) {
                m_h.input().setButton(0, true);
                m_buttonDown = true;
                m_lastPress = m_now;
                ++m_clicks;
                if (std::getenv("KB_HUMAN_TRACE"))
                    std::printf("%7.2f play %7.2f click %d,%d %s money %d\n", m_now, m_state.getElapsed(), aim->at.x,
                                aim->at.y, m_move, m_state.getLevel()->money);
                if (aim->upgradeType >= 0)
                    ++m_foodStage[aim->upgradeType];
            }
        } else {
            m_x += dx / left * step;
            m_y += dy / left * step;
            m_lastStep = step;
        }
    } else {
        m_lastStep = 0.0f;
    }
    m_h.input().setCursor(static_cast<int32_t>(std::lround(m_x)), static_cast<int32_t>(std::lround(m_y)));
    m_h.frame();
}

bool HumanPlayer::noticed(const void* thing, Sightings::Aspect aspect) const
{
    return m_sightings.age(thing, aspect, m_now) >= m_habits.reaction;
}

GUI::Widget* HumanPlayer::widget(const char* name) const
{
    // The layout stays for the level's life; a name is looked up once.
    const auto [it, added] = m_widgets.try_emplace(name, nullptr);
    if (added)
        if (const GUI::Server* gui = m_state.getGui())
            it->second = gui->GetRoot()->FindChild(name, true);
    return it->second;
}

bool HumanPlayer::hintShows(const char* key) const
{
    const std::wstring text = m_h.game().getText(key);
    for (const auto& hint : cTutorialTooltip::all())
        if (hint->isOpen() && hint->getAlpha() >= 1.0f && hint->getTextWindow()->GetText() == text &&
            noticed(hint.get(), Sightings::SHOWN))
            return true;
    return false;
}

bool HumanPlayer::onScreen(const cAnimal* a) const
{
    return a->isLiving() && a->presence >= kSeenPresence &&
           m_view->visiblePoint(const_cast<cAnimal*>(a)->getScreenRect()).has_value();
}

void HumanPlayer::look()
{
    m_view = std::make_unique<ScreenView>(m_state);
    m_sightings.look();
    const cLevel* level = m_state.getLevel();
    for (cAnimal* a : level->animals) {
        if (!onScreen(a))
            continue;
        m_sightings.see(a, Sightings::SHOWN, m_now);
        // A bubble shows its icon once it has grown to full size.
        const cStatusIndicator& bubble = a->indicator;
        if (bubble.shown && bubble.step == cStatusIndicator::kSteps && bubble.frameCount == 1) {
            if (bubble.frames[0] == (a->kind->foodType == 0 ? cAnimal::kGrassIcon : cAnimal::kMeatIcon))
                m_sightings.see(a, Sightings::HUNGRY, m_now);
            else if (bubble.frames[0] == cAnimal::kSickIcon)
                m_sightings.see(a, Sightings::SICK, m_now);
        }
        if (a->state == cAnimalKind::PRODUCE)
            m_sightings.see(a, Sightings::PRODUCING, m_now);
    }
    for (cBonus* c : level->bonuses)
        if (c->active && c->landed && !c->collected && m_view->visiblePoint(c->getScreenRect()))
            m_sightings.see(c, Sightings::SHOWN, m_now);
    for (cPoacher* p : level->poachers)
        if (p->health > 0.0f && p->fade >= kSeenPoacherFade && m_view->visiblePoint(p->getHitRect()))
            m_sightings.see(p, Sightings::SHOWN, m_now);
    for (const auto& hint : cTutorialTooltip::all())
        if (hint->isOpen())
            m_sightings.see(hint.get(), Sightings::SHOWN, m_now);
    if (const aParticleSystem* sign = sellSign())
        m_sightings.see(sign, Sightings::SHOWN, m_now);
    std::vector<GUI::Widget*> buttons = m_state.getAnimalButtons();
    for (const char* name : {"Grass", "Meat", "Sell", "Heal", "Grass_upgrade", "Meat_upgrade"})
        buttons.push_back(widget(name));
    if (const GUI::Widget* award = widget("NewAward"); award && award->IsVisible())
        m_sightings.see(award, Sightings::SHOWN, m_now);
    if (const cGoalsWindow* goals = m_state.getGoalsWindow(); goals && goals->isVisible())
        buttons.push_back(goals->getWindow()->FindChild("Close", true));
    for (GUI::Widget* w : buttons)
        if (usable(w))
            m_sightings.see(w, Sightings::ENABLED, m_now);
    if (const cHelicopter* helo = m_state.getHelicopter();
        helo && helo->underWay() && helo->state == cHelicopter::DELIVERING)
        m_sightings.see(helo->panel, Sightings::ENABLED, m_now);
    m_sightings.forgetUnseen();
}

std::optional<HumanPlayer::Aim> HumanPlayer::decide()
{
    const cLevel* level = m_state.getLevel();
    if (!level || level->state != 0)
        return std::nullopt;
    if (std::optional<Aim> a = clearWindows()) {
        if (!a->click)
            return std::nullopt; // waiting for a window to be readable
        return a;
    }
    if (m_state.getModalCount() > 0)
        return std::nullopt;
    using Move = std::optional<Aim> (HumanPlayer::*)();
    static const std::pair<const char*, Move> kMoves[] = {{"poacher", &HumanPlayer::hitPoacher},
                                                          {"heal", &HumanPlayer::heal},
                                                          {"feed", &HumanPlayer::feed},
                                                          {"coin", &HumanPlayer::collectCoin},
                                                          {"worker", &HumanPlayer::clickWorker},
                                                          {"sell", &HumanPlayer::sell},
                                                          {"buy", &HumanPlayer::buy},
                                                          {"food upgrade", &HumanPlayer::raiseFood},
                                                          {"helicopter", &HumanPlayer::hurryHelicopter}};
    for (const auto& [name, move] : kMoves) {
        if (m_style == Style::FeedOnly && move != &HumanPlayer::feed)
            continue;
        if (std::optional<Aim> a = (this->*move)()) {
            m_move = name;
            return a;
        }
    }
    return std::nullopt;
}

std::optional<HumanPlayer::Aim> HumanPlayer::at(const aRect& r) const
{
    const std::optional<aPoint> p = m_view->visiblePoint(r);
    return p ? std::optional<Aim>(Aim{*p}) : std::nullopt;
}

std::optional<HumanPlayer::Aim> HumanPlayer::press(GUI::Widget* button) const
{
    if (!usable(button) || !noticed(button, Sightings::ENABLED))
        return std::nullopt;
    const std::optional<aPoint> p = m_view->visiblePoint(button);
    return p ? std::optional<Aim>(Aim{*p}) : std::nullopt;
}

// --- the moves, most urgent first ---

std::optional<HumanPlayer::Aim> HumanPlayer::clearWindows()
{
    // A pointer hint stops the game until it is clicked away (once it is read).
    for (const auto& hint : cTutorialTooltip::all())
        if (hint->isOpen() && !hint->isPlain()) {
            if (hint->getAlpha() < 1.0f || !noticed(hint.get(), Sightings::SHOWN))
                return Aim{{}, false};
            m_move = "hint";
            // It says to spend the money on food and new animals: one is bought next.
            if (hint->getTextWindow()->GetText() == m_h.game().getText("tutorial.msg09"))
                m_buyAfterHint = m_now + kFollowMoneyHint;
            return Aim{centreOf(ScreenView::bubbleRect(hint.get()))};
        }
    // A new award waits for a click (it takes one only after a while).
    if (GUI::Widget* award = widget("NewAward"); award && award->IsVisible()) {
        m_move = "award";
        return noticed(award, Sightings::SHOWN) ? Aim{centreOf(award->GetAbsoluteRect())} : Aim{{}, false};
    }
    const cGoalsWindow* goals = m_state.getGoalsWindow();
    if (goals && goals->isVisible() && !goals->isFinal()) {
        std::optional<Aim> close = press(goals->getWindow()->FindChild("Close", true));
        m_move = "goals";
        return close ? close : Aim{{}, false};
    }
    return std::nullopt;
}

std::optional<HumanPlayer::Aim> HumanPlayer::hitPoacher()
{
    std::optional<Aim> best;
    for (cPoacher* p : m_state.getLevel()->poachers) {
        if (p->health <= 0.0f || p->fade != cPoacher::kAppearedFade || !noticed(p, Sightings::SHOWN))
            continue;
        const std::optional<Aim> a = at(p->getHitRect());
        if (a && (!best || distance(m_x, m_y, a->at) < distance(m_x, m_y, best->at)))
            best = a;
    }
    return best;
}

std::optional<HumanPlayer::Aim> HumanPlayer::heal()
{
    for (cAnimal* a : m_state.getLevel()->animals)
        if (noticed(a, Sightings::SICK))
            return m_state.getCursorMode() == cPlayState::MODE_HEAL ? at(a->getScreenRect())
                                                                    : press(m_state.getHealButton());
    return std::nullopt;
}

bool HumanPlayer::foodNear(const cAnimal* a) const
{
    return std::any_of(m_state.getLevel()->foods.begin(), m_state.getLevel()->foods.end(), [a](const cFood* f) {
        return f->isPresent() && (f->anchor - a->anchor).lengthSq() < kFoodRange * kFoodRange;
    });
}

int32_t HumanPlayer::foodCost(int32_t type) const
{
    const cFood* kind = cFood::findKind(type, m_foodStage[type] + 1);
    return kind ? kind->cost : 0;
}

std::optional<HumanPlayer::Aim> HumanPlayer::putFoodBeside(const cAnimal* a, int32_t type) const
{
    // Beside the animal, on the ground that takes this food, where it shows.
    const cLevel* level = m_state.getLevel();
    for (float dy : {20.0f, 0.0f, 40.0f})
        for (float dx : {60.0f, -60.0f, 0.0f, 30.0f, -30.0f, 90.0f, -90.0f}) {
            const aPoint p{static_cast<int32_t>(a->anchor.x + dx), static_cast<int32_t>(a->anchor.y + dy)};
            if (level->walkableAt(p.x, p.y) == type && m_view->open(p.x, p.y))
                return Aim{p};
        }
    return std::nullopt;
}

std::optional<HumanPlayer::Aim> HumanPlayer::feed()
{
    const cLevel* level = m_state.getLevel();
    const int32_t mode = m_state.getCursorMode();
    const int32_t held = mode == cPlayState::MODE_GRASS ? 0 : mode == cPlayState::MODE_MEAT ? 1 : -1;
    if (held < 0 && hintShows("tutorial.msg01"))
        return press(widget("Grass"));
    // The hungry that no food lies near, by the food they eat.
    int32_t waiting[2] = {0, 0};
    for (const cAnimal* a : level->animals)
        if (a->kind->foodType >= 0 && a->kind->foodType <= 1 && noticed(a, Sightings::HUNGRY) && !foodNear(a))
            ++waiting[a->kind->foodType];
    // One portion in hand for each of them, as far as the money goes.
    for (int32_t type = 0; type < 2; ++type) {
        const int32_t inHand = held == type ? m_state.getPortions() : 0;
        const cFood* kind = cFood::findKind(type, m_foodStage[type] + 1);
        if (waiting[type] > inHand && level->foodStock[type] > 0 && kind &&
            inHand + kind->countOnClick <= kind->countInStock && level->money >= kind->cost &&
            (held < 0 || held == type))
            if (std::optional<Aim> buy = press(widget(type == 0 ? "Grass" : "Meat")))
                return buy;
    }
    if (held < 0 || m_state.getPortions() == 0)
        return std::nullopt;
    // Food in hand goes beside the hungry first, then the young, then anyone without food.
    const cAnimal* best = nullptr;
    int rank = 0;
    for (const cAnimal* a : level->animals) {
        if (a->kind->foodType != held || !noticed(a, Sightings::SHOWN) || foodNear(a))
            continue;
        const int r = noticed(a, Sightings::HUNGRY) ? 3 : a->child ? 2 : 1;
        if (r > rank)
            best = a, rank = r;
    }
    return best ? putFoodBeside(best, held) : std::nullopt;
}

std::optional<HumanPlayer::Aim> HumanPlayer::collectCoin()
{
    std::optional<Aim> best;
    for (cBonus* c : m_state.getLevel()->bonuses) {
        if (c->collected || !noticed(c, Sightings::SHOWN))
            continue;
        const std::optional<Aim> a = at(c->getScreenRect());
        if (a && (!best || distance(m_x, m_y, a->at) < distance(m_x, m_y, best->at)))
            best = a;
    }
    return best;
}

std::optional<HumanPlayer::Aim> HumanPlayer::clickWorker()
{
    for (cAnimal* a : m_state.getLevel()->animals)
        if (a->state == cAnimalKind::PRODUCE && noticed(a, Sightings::PRODUCING))
            if (std::optional<Aim> aim = at(a->getScreenRect()))
                return aim;
    return std::nullopt;
}

const aParticleSystem* HumanPlayer::sellSign() const
{
    const cTutorial* tutorial = m_state.getTutorial();
    return tutorial ? tutorial->getSign(1) : nullptr;
}

bool HumanPlayer::sellingAsked() const
{
    const aParticleSystem* sign = sellSign();
    if (hintShows("tutorial.msg06") || (sign && noticed(sign, Sightings::SHOWN)))
        return true;
    const cLevel* level = m_state.getLevel();
    return std::any_of(level->saleQueue.begin(), level->saleQueue.end(), [level](const cAnimal* a) {
        return std::any_of(level->goals.begin(), level->goals.end(), [a](const cGoal& g) {
            return !g.done && g.type == cGoal::SOLD && g.kindName == a->kind->name;
        });
    });
}

std::optional<HumanPlayer::Aim> HumanPlayer::sell()
{
    if (!m_habits.sellsUnasked && !sellingAsked())
        return std::nullopt;
    return press(m_state.getSellButton());
}

int32_t HumanPlayer::livingAnimals() const
{
    const auto& animals = m_state.getLevel()->animals;
    return static_cast<int32_t>(
        std::count_if(animals.begin(), animals.end(), [this](auto* a) { return noticed(a, Sightings::SHOWN); }));
}

std::optional<HumanPlayer::Aim> HumanPlayer::buy()
{
    const cLevel* level = m_state.getLevel();
    const std::vector<GUI::Widget*>& buttons = m_state.getAnimalButtons();
    if (hintShows("tutorial.msg08") && !buttons.empty())
        return press(buttons.front());
    if (m_now < m_buyAfterHint && !buttons.empty())
        if (std::optional<Aim> a = press(buttons.front())) {
            m_buyAfterHint = -1.0f;
            return a;
        }
    // Money kept back to feed the herd for a while.
    const int32_t reserve = 6 * std::max(foodCost(0), foodCost(1));
    auto affordable = [level](const GUI::Widget* b, int32_t extra) {
        return level->money >= level->animalPrice(b->GetName()) + extra;
    };
    // The buttons' marks count the animals the goals still ask for.
    for (GUI::Widget* b : buttons)
        if (level->goalRemaining(b->GetName()) > 0 && affordable(b, reserve))
            if (std::optional<Aim> a = press(b))
                return a;
    if (livingAnimals() >= kHerdSize)
        return std::nullopt;
    // Near an open money goal a new animal would only put it off.
    for (const cGoal& goal : level->goals)
        if (!goal.done && goal.type == cGoal::MONEY && level->money + 200 >= goal.target)
            return std::nullopt;
    const auto cheapest = std::min_element(buttons.begin(), buttons.end(), [level](auto* a, auto* b) {
        return level->animalPrice(a->GetName()) < level->animalPrice(b->GetName());
    });
    if (cheapest == buttons.end() || !affordable(*cheapest, reserve + level->animalPrice((*cheapest)->GetName()) / 2))
        return std::nullopt;
    return press(*cheapest);
}

std::optional<HumanPlayer::Aim> HumanPlayer::raiseFood()
{
    if (!m_habits.upgrades)
        return std::nullopt;
    const cLevel* level = m_state.getLevel();
    for (int32_t type = 0; type < 2; ++type) {
        const int32_t price = parkConfig::foodUpgradePrice(m_upgrades, m_foodStage[type]);
        if (level->money < price + kUpgradeSpare)
            continue;
        if (std::optional<Aim> a = press(widget(type == 0 ? "Grass_upgrade" : "Meat_upgrade"))) {
            a->upgradeType = type;
            return a;
        }
    }
    return std::nullopt;
}

std::optional<HumanPlayer::Aim> HumanPlayer::hurryHelicopter()
{
    const cHelicopter* helo = m_state.getHelicopter();
    if (!helo || !helo->panel || !noticed(helo->panel, Sightings::ENABLED))
        return std::nullopt;
    const aRect shown =
        rect_intersect(helo->panel->GetAbsoluteRect(), aRect(0, 0, ScreenView::kWidth, ScreenView::kHeight));
    return shown.width > 0 ? std::optional<Aim>(Aim{centreOf(shown)}) : std::nullopt;
}

// --- the fixture ---

void HumanPlayGame::SetUp()
{
    game.start();
    player = game.h.makePlayer();
}

cPlayState* HumanPlayGame::enter(const std::string& levelName, uint32_t seed)
{
    GameHarness& h = game.h;
    giveMapUpgrades(*player, levelName);
    h.game().setFixedLoaderSeed(seed);
    auto* state = dynamic_cast<cPlayState*>(cGameState::getOrCreate(STATE_PLAY));
    state->levelPath = "levels:" + levelName + ".ini";
    h.game().requestState(STATE_PLAY);
    EXPECT_TRUE(h.waitForState(STATE_PLAY)) << levelName;
    a_srand(seed);
    return state->getLevel() ? state : nullptr;
}

void HumanPlayGame::leave()
{
    game.h.game().requestState(STATE_MENU);
    EXPECT_TRUE(game.h.waitForState(STATE_MENU));
}

HumanPlayResult HumanPlayGame::play(const std::string& levelName, uint32_t seed, HumanPlayer::Style style,
                                    Habits habits)
{
    GameHarness& h = game.h;
    HumanPlayResult result;
    if (cPlayState* state = enter(levelName, seed)) {
        result.rewards = state->getLevel()->rewards;
        const float maxSeconds = std::max(600.0f, 2.0f * static_cast<float>(result.rewards.silverTime));
        HumanPlayer person(h, *state, style, kDt, habits);
        // Hints stop the level's clock, so the player's own clock has a bound too.
        while (state->getLevel() && state->getLevel()->state == 0 && state->getElapsed() < maxSeconds &&
               person.clock() < 2.0f * maxSeconds) {
            result.book.before(*state);
            person.frame();
            result.book.after(*state);
            h.recorder()->clearRecords();
            if (cLevel* running = state->getLevel())
                letDrivenOffPoachersGo(*running);
            if (watch)
                watch(person);
        }
        if (const cLevel* end = state->getLevel())
            result.state = end->state, result.money = end->money;
        result.seconds = state->getElapsed();
        result.clicks = person.clicks();
    }
    leave();
    return result;
}

} // namespace kbtest
