#include "game/park/goalswindow.h"

#include <algorithm>
#include <cstdio>

#include "game/app/activebuttoneffect.h"
#include "game/app/game.h"
#include "game/app/gamestate.h"
#include "game/park/animal.h"
#include "game/park/animalkind.h"
#include "game/park/level.h"
#include "game/park/missionresults.h"
#include "gui/server.h"
#include "gui/subscriber.h"
#include "gui/widget.h"
#include "orvo/gfx/a_font.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_imagemanager.h"
#include "orvo/gfx/a_particlesmanager.h"
#include "orvo/sound/a_musicmanager.h"

namespace {

using Binder = GUI::_memberBinder<cGoalsWindow, bool, const GUI::EventArgs&>;

aImage* image(const char* name)
{
    cGame* game = cGame::get();
    aImageManager* images = game ? game->getImageManager() : nullptr;
    return images && images->hasImage(name) ? images->getImage(name) : nullptr;
}

uint32_t withAlpha(uint32_t colour, float alpha)
{
    return (colour & 0x00FFFFFF) | (static_cast<uint32_t>(alpha * 255.0f) << 24);
}

void addEffect(const char* name, float x, float y)
{
    cGame* game = cGame::get();
    if (game && game->getParticles())
        game->getParticles()->Add(name, x, y, 0, true, true);
}

cGameState* currentState()
{
    cGame* game = cGame::get();
    return game ? game->getCurrentState() : nullptr;
}

bool guiHas(const char* name)
{
    GUI::Server* server = GUI::Server::getSingletonPtr();
    return server && server->GetRoot()->FindChild(name, true);
}

// A won level whose layout has no results window: the map, or the level's mini-game.
void goStraightOn(const cLevel& level)
{
    cGame* game = cGame::get();
    if (!game)
        return;
    if (level.miniGameType < 0) {
        game->requestState(STATE_MAP);
    } else if (level.miniGameType <= 2) {
        if (cGameState* miniGame = cGameState::find(STATE_CATCH_ANIMAL + level.miniGameType))
            miniGame->setLevel(level.name);
        game->requestState(STATE_CATCH_ANIMAL + level.miniGameType);
        if (aMusicManager* music = game->getMusicManager()) {
            std::string list;
            const std::string track = music->getCurrentName(list);
            music->stop(false);
            if (!track.empty())
                music->play(track, list);
        }
    }
}

} // namespace

cGoalsWindow::cGoalsWindow(GUI::Widget* w, cLevel* l) : window(w), level(l)
{
    if (GUI::Server* server = GUI::Server::getSingletonPtr())
        font = server->GetFont("mistral24");
    if (GUI::Widget* close = window->FindChild("Close", true))
        close->SubscribeEvent(GUI::Widget::EventClick,
                              new Binder(this, static_cast<bool (cGoalsWindow::*)(const GUI::EventArgs&)>(&cGoalsWindow::close)));
    window->SubscribeEvent(GUI::Widget::EventEndRender, new Binder(this, &cGoalsWindow::drawRows));
    // The same height in every mode: the layout keeps Close clear of the
    // final window's third medal row.
    const auto goals = static_cast<int32_t>(level ? level->goals.size() : 0);
    window->SetSize(window->GetWidth(), static_cast<uint16_t>(kRowHeight * goals + 345));
    if (GUI::Widget* close = window->FindChild("Close", true))
        close->SetPosition(close->GetArea().x, static_cast<int16_t>(window->GetHeight() - close->GetHeight() - 50));
    if (GUI::Widget* medals = window->FindChild("Medals", true))
        medals->SetPosition(medals->GetArea().x, static_cast<int16_t>(kRowHeight * goals + 120));
    timeWidget = window->FindChild("Time", true);
    window->SetVisible(false);
}

cGoalsWindow::~cGoalsWindow() = default;

bool cGoalsWindow::isVisible() const
{
    return window && window->IsVisible();
}

void cGoalsWindow::setCaption(const char* child, const char* key)
{
    cGame* game = cGame::get();
    if (GUI::Widget* w = window->FindChild(child, true); w && game)
        w->SetText(game->getText(key));
}

void cGoalsWindow::show(float time, bool isFinal, bool intro)
{
    cGame* game = cGame::get();
    if (isFinal) {
        rowTimer = 0.0f;
        introFlag = false;
        final = true;
        rowsTicked = 0;
        setCaption("Close", "close");
        const cLevelRewards& r = level->rewards;
        if (time < static_cast<float>(r.goldTime)) {
            addEffect("GOLD_MEDAL_01", 512.0f, 384.0f);
            addEffect("GOLD_MEDAL_02", 512.0f, 384.0f);
            addEffect("GOLD_MEDAL_03", 512.0f, 384.0f);
            if (game)
                game->playSound("medal");
        } else if (time < static_cast<float>(r.silverTime)) {
            addEffect("SILVER_MEDAL_01", 512.0f, 384.0f);
            addEffect("SILVER_MEDAL_02", 512.0f, 384.0f);
            if (game)
                game->playSound("medal");
        }
    } else {
        introFlag = intro;
        if (game)
            game->playSound("open_goals");
    }
    if (intro) {
        setCaption("Caption", "goals");
        setCaption("Medals", "medals");
    } else {
        setCaption("Caption", "progress");
        setCaption("Medals", isFinal ? "time_medals" : "medals");
    }
    // NOTE: a window already on screen (or sliding out) is turned round; only
    // one that was hidden raises the modal count, so closing balances it.
    const bool wasHidden = !window->IsVisible();
    opening = true;
    window->SetVisible(true);
    shownTime = time;
    if (wasHidden)
        if (cGameState* state = currentState())
            state->addModal();
}

void cGoalsWindow::update(float dt)
{
    const auto goals = static_cast<int32_t>(level->goals.size());
    if (!opening) {
        if (alpha <= 0.05f) {
            alpha = 0.0f;
            window->SetVisible(false);
            if (final && !guiHas("MissionResults"))
                goStraightOn(*level);
            if (cGameState* state = currentState())
                state->removeModal();
            return;
        }
        alpha -= dt * alpha * 6.0f;
    } else if (alpha >= 0.999f) {
        alpha = 1.0f;
    } else {
        alpha += (1.0f - alpha) * dt * 6.0f;
    }
    const int32_t h = window->GetHeight();
    window->SetPosition(window->GetArea().x, static_cast<int16_t>(static_cast<int32_t>((384.0f + h / 2.0f) * alpha) - h));
    window->SetAlpha(alpha);
    if (alpha == 1.0f && (introFlag || (final && rowsTicked > goals))) {
        if (!closeHighlight)
            highlightClose();
        if (closeHighlight)
            closeHighlight->update(dt);
    }
    if (final && rowsTicked <= goals) {
        rowTimer += dt;
        if (rowTimer >= 0.5f) {
            if (rowsTicked < goals) {
                const aRect r = window->GetAbsoluteRect();
                addEffect("GOAL_DONE_FINAL", r.x + 240.0f, r.y + 137.0f + kRowHeight * rowsTicked);
                addEffect("GOAL_DONE_FINAL", r.x + 240.0f, r.y + 224.0f + kRowHeight * rowsTicked);
            }
            ++rowsTicked;
            rowTimer = 0.0f;
        }
    }
}

void cGoalsWindow::highlightClose()
{
    GUI::Widget* close = window->FindChild("Close", true);
    if (!close)
        return;
    const aRect r = close->GetAbsoluteRect();
    closeHighlight = std::make_unique<cActiveButtonEffect>();
    closeHighlight->initRect(r.x, r.y, r.width, r.height, 70.0f);
}

bool cGoalsWindow::close(const GUI::EventArgs&)
{
    close();
    return true;
}

void cGoalsWindow::close()
{
    closeHighlight.reset();
    if (final && !cMissionResults::get())
        if (GUI::Server* server = GUI::Server::getSingletonPtr())
            if (GUI::Widget* results = server->GetRoot()->FindChild("MissionResults", true))
                new cMissionResults(results, level, level->rewards.forTime(shownTime));
    opening = false;
}

bool cGoalsWindow::showsRewards() const
{
    return final && level && rowsTicked > level->goals.size();
}

float cGoalsWindow::nameSize(aFont& font, const std::wstring& name)
{
    // Measured at the font's own size: a name wider than the cell is drawn
    // at 0.7 of the cell's width, which leaves the kind's icon clear.
    font.setSize(1.0f);
    const float width = font.getTextSize(name).width;
    return width > kCellWidth ? 0.7f * kCellWidth / width : 0.7f;
}

// "%02d:%02d" of whole seconds (none below 0).
std::wstring cGoalsWindow::clockText(int32_t seconds)
{
    seconds = std::max(seconds, 0);
    wchar_t text[16];
    std::swprintf(text, 16, L"%02d:%02d", seconds / 60, seconds % 60);
    return text;
}

void cGoalsWindow::drawRow(float x, float y, const char* labelKey, const std::wstring& value, uint32_t colour)
{
    cGame* game = cGame::get();
    const std::string label = labelKey;
    // The gold and silver cells show their medal, the others a stopwatch.
    const int16_t cell = label == "gold" ? 0 : label == "silver" ? 116 : 232;
    if (aImage* sheet = image("goals"))
        sheet->drawRegionAt(static_cast<int16_t>(x), static_cast<int16_t>(y), aRect(cell, 356, 116, 35), colour);
    if (!font || !game)
        return;
    font->setSize(0.7f);
    font->color = withAlpha(0xFF5A2A08, alpha);
    font->drawText(x + kLabelX, y + 17.0f, game->getText(labelKey), A_FONT_CENTER_Y);
    font->drawText(x + 186.0f, y + 17.0f, value, A_FONT_CENTER_Y);
}

bool cGoalsWindow::drawMedalRow(float x, float y, int32_t limit, const char* labelKey, int32_t reward, uint32_t colour)
{
    if (shownTime >= static_cast<float>(limit))
        return false;
    cGame* game = cGame::get();
    if (showsRewards() && reward >= 0 && game)
        drawRow(x, y, labelKey, game->formatMoney(reward), colour);
    else
        drawRow(x, y, labelKey, clockText(limit), colour);
    return true;
}

bool cGoalsWindow::drawRows(const GUI::EventArgs&)
{
    cGame* game = cGame::get();
    aImage* sheet = image("goals");
    if (!game || !level)
        return true;
    const aRect w = window->GetAbsoluteRect();
    const uint32_t white = withAlpha(0xFFFFFFFF, alpha);
    float x = w.x + 54.0f, y = w.y + 120.0f;
    for (size_t i = 0; i < level->goals.size(); ++i, y += kRowHeight) {
        const cGoal& goal = level->goals[i];
        if (sheet) {
            sheet->drawRegionAt(static_cast<int16_t>(x), static_cast<int16_t>(y), aRect(0, 321, 116, 35), white);
            sheet->drawRegionAt(static_cast<int16_t>(x + 128), static_cast<int16_t>(y), aRect(116, 321, 116, 35), white);
        }
        if (!font)
            continue;
        font->color = withAlpha(0xFF5A2A08, alpha);
        font->setSize(0.7f);
        std::wstring name;
        if (goal.type == cGoal::MONEY) {
            name = game->getText("money") + L" " + std::to_wstring(goal.target);
        } else {
            const cAnimalKind* kind = cAnimal::findKindByName(goal.kindName);
            if (kind && kind->icon)
                kind->icon->drawAt(static_cast<int16_t>(x + 2), static_cast<int16_t>(y + 2), white);
            name = game->getText(goal.kindName);
        }
        font->setSize(nameSize(*font, name));
        font->drawText(x + kNameX, y + 17.0f, name, A_FONT_CENTER_Y);
        font->setSize(0.7f);
        std::wstring progress = game->getText("done");
        if (!goal.done) {
            wchar_t text[32];
            std::swprintf(text, 32, L"%d/%d", goal.progress, goal.target);
            progress = text;
        }
        font->drawText(x + 128.0f + 58.0f, y + 17.0f, progress, A_FONT_CENTER_X | A_FONT_CENTER_Y);
    }
    // Below the goal rows: the medal times, or their rewards once every row is ticked.
    y = w.y + kRowHeight * static_cast<float>(level->goals.size()) + 160.0f;
    const cLevelRewards& r = level->rewards;
    if (drawMedalRow(x, y, r.goldTime, "gold", r.goldReward, white))
        y += kRowHeight;
    if (drawMedalRow(x, y, r.silverTime, "silver", r.silverReward, white))
        y += kRowHeight;
    // The final window adds the time played, which turns into the reward
    // paid without a medal once the goals are ticked off.
    if (final) {
        if (showsRewards())
            drawRow(x, y, "reward", game->formatMoney(r.baseReward), white);
        else
            drawRow(x, y, "time", clockText(static_cast<int32_t>(shownTime)), white);
    }
    if (timeWidget && font)
        timeWidget->SetText(game->getText("time") + L" " + clockText(static_cast<int32_t>(shownTime)));
    return true;
}
