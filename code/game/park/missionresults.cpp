#include "game/park/missionresults.h"

#include <algorithm>
#include <cmath>

#include "game/app/game.h"
#include "game/app/gamestate.h"
#include "game/app/playerprofile.h"
#include "game/app/tutorialflag.h"
#include "game/park/flyawaytext.h"
#include "game/park/level.h"
#include "game/park/playstate.h"
#include "game/screens/parkstate.h"
#include "gui/server.h"
#include "gui/subscriber.h"
#include "gui/widget.h"
#include "orvo/gfx/a_particlesmanager.h"
#include "orvo/gfx/a_particlesystem.h"
#include "orvo/sound/a_sound.h"
#include "orvo/sound/a_soundmanager.h"

namespace {

using Binder = GUI::_memberBinder<cMissionResults, bool, const GUI::EventArgs&>;

cPlayerProfile* profile()
{
    cGame* game = cGame::get();
    return game ? game->getCurrentProfile() : nullptr;
}

cGameState* currentState()
{
    cGame* game = cGame::get();
    return game ? game->getCurrentState() : nullptr;
}

GUI::Widget* thirdChild(GUI::Widget* w)
{
    return w && w->GetChildren().size() > 2 ? w->GetChildren()[2] : nullptr;
}

void showPile(GUI::Widget* w, int index, bool on)
{
    if (w && w->GetChildren().size() > static_cast<size_t>(index))
        w->GetChildren()[index]->SetVisible(on);
}

// One side of the transfer: its counter, its arrow and its amount left.
void drain(int32_t& left, int32_t step, GUI::Widget* money, GUI::Widget* arrow, float pulse)
{
    cGame* game = cGame::get();
    if (left > 0) {
        left = std::max(left - step, 0);
        if (GUI::Widget* text = thirdChild(money); text && game)
            text->SetText(game->formatMoney(left));
        if (arrow) {
            arrow->SetAlpha(pulse);
            if (left == 0)
                arrow->SetVisible(false);
        }
    } else if (arrow) {
        arrow->SetVisible(false);
    }
}

} // namespace

int32_t cPlayState::grantLevelReward()
{
    cPlayerProfile* player = profile();
    if (!player || !level)
        return 0;
    const cLevelRewards& r = level->rewards;
    const float t = elapsed;
    const int32_t reward = std::max(r.forTime(t), level->money);
    const auto it = player->levelResults.find(level->name);
    const int32_t before = it == player->levelResults.end() ? -1 : it->second;
    // An earlier, better medal stays on the record.
    const int32_t medal = r.medalFor(t);
    if (before < medal)
        player->levelResults[level->name] = medal;
    player->addStars(reward);
    player->doneUpgrades = 0;
    return reward;
}

cMissionResults::cMissionResults(GUI::Widget* w, cLevel* l, int32_t timeRewardOfRun) : window(w), level(l)
{
    if (cGameState* state = currentState())
        state->addModal();
    window->SetAlpha(0.0f);
    window->SetVisible(true);
    window->SetPosition(window->GetArea().x, static_cast<int16_t>(window->GetHeight()));
    if (GUI::Widget* close = window->FindChild("CloseBtn", true))
        close->SubscribeEvent(GUI::Widget::EventClick, new Binder(this, &cMissionResults::onClose));
    timeRewardWidget = window->FindChild("TimeReward", true);
    levelMoneyWidget = window->FindChild("LevelMoney", true);
    playerMoneyWidget = window->FindChild("PlayerMoney", true);
    arrow1 = window->FindChild("Arrow01", true);
    arrow2 = window->FindChild("Arrow02", true);

    const cPlayerProfile* player = profile();
    // NOTE: the reward of this run's time, as it was granted; a better medal
    // won on an earlier run is on the record but was not paid again.
    timeReward = std::max(timeRewardOfRun, 0);
    timeLeft = timeReward;
    levelMoney = moneyLeft = level->money;
    transferred = 0;
    // NOTE: the counters show the amount the profile was actually given,
    // which is the larger of the two sides, never their sum.
    granted = std::max(timeReward, levelMoney);
    playerBefore = (player ? player->stars : 0) - granted;
    speed = static_cast<float>(granted);
    cGame* game = cGame::get();
    if (game) {
        if (GUI::Widget* t = thirdChild(timeRewardWidget))
            t->SetText(game->formatMoney(timeLeft));
        if (GUI::Widget* t = thirdChild(levelMoneyWidget))
            t->SetText(game->formatMoney(moneyLeft));
        if (GUI::Widget* t = thirdChild(playerMoneyWidget))
            t->SetText(game->formatMoney(playerBefore));
    }
    showPile(playerMoneyWidget, 0, false);
    showPile(playerMoneyWidget, 1, false);
}

cMissionResults::~cMissionResults()
{
    removeSparkles();
}

void cMissionResults::destroy()
{
    delete get();
}

void cMissionResults::update(float dt)
{
    if (!opening) {
        if (alpha <= 0.05f) {
            alpha = 0.0f;
            window->SetVisible(false);
            goToNextState(*level);
            if (cGameState* state = currentState())
                state->removeModal();
            delete this;
            return;
        }
        alpha -= dt * alpha * 6.0f;
    } else if (alpha >= 0.999f) {
        alpha = 1.0f;
    } else {
        alpha += (1.0f - alpha) * dt * 6.0f;
    }
    const int32_t h = window->GetHeight();
    window->SetPosition(window->GetArea().x, static_cast<int16_t>(static_cast<int32_t>((h + 150.0f) * alpha) - h));
    window->SetAlpha(alpha);
    if (alpha > 0.9f && (moneyLeft > 0 || timeLeft > 0)) {
        const auto step = std::max<int32_t>(1, static_cast<uint16_t>(static_cast<int32_t>(speed * dt)));
        transferStep(step);
        updatePiles();
        cGame* game = cGame::get();
        aSoundManager* sounds = game ? game->getSoundManager() : nullptr;
        if (sounds && !game->loadingThreadRuns() && sounds->hasSound("coin_appear")) {
            aSound* coin = sounds->getSound("coin_appear");
            if (coin && !coin->isPlaying())
                coin->play(false, -1.0f, -2.0f);
        }
    }
    if (sparkles[0] && alpha == 1.0f)
        moveSparkles(dt);
}

void cMissionResults::transferStep(int32_t step)
{
    cGame* game = cGame::get();
    const float pulse =
        (std::sin(static_cast<float>(game ? game->getTotalTime() : 0.0) * 10.0f) + 1.0f) * 0.5f * 0.5f + 0.5f;
    if (timeLeft < step && moneyLeft < step)
        step = std::max(timeLeft, moneyLeft);
    drain(timeLeft, step, timeRewardWidget, arrow1, pulse);
    drain(moneyLeft, step, levelMoneyWidget, arrow2, pulse);
    // NOTE: the total never counts past what was granted.
    transferred = std::min(transferred + step, granted);
    GUI::Widget* total = thirdChild(playerMoneyWidget);
    if (total && game)
        total->SetText(game->formatMoney(playerBefore + transferred));
    if (timeLeft != 0 || moneyLeft != 0 || !game)
        return;
    transferred = granted;
    if (total)
        total->SetText(game->formatMoney(playerBefore + transferred));
    const aRect r = total ? total->GetAbsoluteRect() : aRect(512, 384, 0, 0);
    if (game->getParticles())
        game->getParticles()->Add("GOAL_DONE_FINAL", r.x + r.width / 2.0f, r.y + 15.0f, 0, true, true);
    game->playSound("goal_done");
    GUI::Server* server = GUI::Server::getSingletonPtr();
    cFlyAwayText::add(server ? server->GetFont("title_s") : nullptr, game->formatMoneyGain(granted), 1.2f,
                      aVector2(r.x + r.width / 2.0f, static_cast<float>(r.y)), 50.0f, 0.7f);
    if (!sparkles[0])
        startSparkles();
}

void cMissionResults::updatePiles()
{
    const auto side = [](GUI::Widget* w, int32_t left, int32_t total) {
        if (total < 1) {
            showPile(w, 0, false);
            showPile(w, 1, false);
            return;
        }
        const float r = static_cast<float>(left) / static_cast<float>(total);
        if (r <= 0.33f) {
            showPile(w, 0, false);
            showPile(w, 1, false);
        } else if (r <= 0.66f) {
            showPile(w, 0, true);
            showPile(w, 1, false);
        }
    };
    side(timeRewardWidget, timeLeft, timeReward);
    side(levelMoneyWidget, moneyLeft, levelMoney);
    if (granted > 0) {
        const float r = static_cast<float>(transferred) / static_cast<float>(granted);
        if (r > 0.33f && r <= 0.66f) {
            showPile(playerMoneyWidget, 0, true);
            showPile(playerMoneyWidget, 1, false);
        } else if (r > 0.66f) {
            showPile(playerMoneyWidget, 0, true);
            showPile(playerMoneyWidget, 1, true);
        }
    }
}

void cMissionResults::startSparkles()
{
    GUI::Widget* close = window->FindChild("CloseBtn", true);
    cGame* game = cGame::get();
    if (!close || !game || !game->getParticles())
        return;
    const aRect r = close->GetAbsoluteRect();
    const float l = r.x + 3.0f, t = r.y + 3.0f, rr = r.x + r.width - 3.0f, b = r.y + r.height - 3.0f;
    corners[0] = aVector2(l, t);
    corners[1] = aVector2(l, b);
    corners[2] = aVector2(rr, b);
    corners[3] = aVector2(rr, t);
    cornerIndex[0] = 1;
    cornerIndex[1] = 3;
    sparkles[0] = game->getParticles()->Add("ACTIVE_BTN", corners[1].x, corners[1].y, 0, false, true);
    sparkles[1] = game->getParticles()->Add("ACTIVE_BTN", corners[3].x, corners[3].y, 0, false, true);
}

void cMissionResults::moveSparkles(float dt)
{
    const float l = corners[0].x, t = corners[0].y, r = corners[2].x, b = corners[2].y;
    for (int i = 0; i < 2; ++i) {
        if (!sparkles[i])
            continue;
        aVector2 p(sparkles[i]->getX(), sparkles[i]->getY());
        const aVector2& target = corners[cornerIndex[i]];
        aVector2 d = target - p;
        const float len = std::sqrt(d.x * d.x + d.y * d.y);
        if (len > 0.0f)
            p = p + d * (70.0f * dt / len);
        if (p.x < l || p.x > r || p.y < t || p.y > b || len <= 70.0f * dt) {
            p = target;
            cornerIndex[i] = static_cast<uint16_t>((cornerIndex[i] + 1) % 4);
        }
        sparkles[i]->moveTo(p.x, p.y);
    }
}

void cMissionResults::removeSparkles()
{
    cGame* game = cGame::get();
    for (aParticleSystem*& s : sparkles) {
        if (s && game && game->getParticles())
            game->getParticles()->remove(s);
        s = nullptr;
    }
}

bool cMissionResults::onClose(const GUI::EventArgs&)
{
    removeSparkles();
    opening = false;
    return true;
}

void cMissionResults::goToNextState(const cLevel& level)
{
    cGame* game = cGame::get();
    if (!game)
        return;
    const int32_t t = level.miniGameType;
    if (t < 0) {
        if (!tutorial_isRunning() && cParkState::hasUpgradeToBuild()) {
            game->playMusicTrack(0);
            game->requestState(STATE_PARK);
        } else {
            game->requestState(STATE_MAP);
        }
    } else if (t <= 2) {
        if (cGameState* miniGame = cGameState::find(STATE_CATCH_ANIMAL + t))
            miniGame->setLevel(level.name);
        game->requestState(STATE_CATCH_ANIMAL + t);
        game->nextMusicTrack();
    }
}
