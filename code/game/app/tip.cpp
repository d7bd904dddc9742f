#include "game/app/tip.h"

#include <algorithm>
#include <memory>

#include "game/app/game.h"
#include "game/app/gamestate.h"
#include "game/app/messagebox.h"
#include "game/app/playerprofile.h"
#include "game/app/tooltipbubble.h"
#include "game/app/tutorialflag.h"
#include "gui/widget.h"

namespace {

constexpr float kFadeSpeed = 4.0f;

std::unique_ptr<cTip> g_tip;

} // namespace

bool cTip::shouldShow(uint32_t bits)
{
    if (g_tip || tutorial_isRunning())
        return false;
    const cGame* game = cGame::get();
    const cPlayerProfile* profile = game ? game->getCurrentProfile() : nullptr;
    return profile && (profile->tipsMask & bits) != bits;
}

cTip* cTip::create(GUI::Widget* window, const std::string& textKey, uint32_t bit)
{
    g_tip.reset();
    g_tip.reset(new cTip(window, textKey, bit));
    return g_tip.get();
}

cTip* cTip::get()
{
    return g_tip.get();
}

void cTip::updateCurrent(float dt)
{
    if (g_tip && !g_tip->update(dt))
        g_tip.reset();
}

void cTip::destroy()
{
    g_tip.reset();
}

cTip::cTip(GUI::Widget* window, const std::string& textKey, uint32_t bit) : m_bit(bit)
{
    setText(window, textKey);
}

cTip::~cTip()
{
    giveBackModal();
}

void cTip::setText(GUI::Widget* window, const std::string& textKey)
{
    m_window = window;
    m_open = true;
    if (!m_window)
        return;
    if (GUI::Widget* description = m_window->FindChild("Description", true))
        if (const cGame* game = cGame::get())
            description->SetText(game->getText(textKey));
    m_window->SetAlpha(0.0f);
    m_window->SetVisible(true);
}

void cTip::giveBackModal()
{
    // Only to the state that took it, and only while it still exists.
    if (m_modalState && cGameState::find(m_modalState->getId()) == m_modalState)
        m_modalState->removeModal();
    m_modalState = nullptr;
}

bool cTip::update(float dt)
{
    cGame* game = cGame::get();
    if (!m_window || !game)
        return false;
    if (m_delay > 0.0f) {
        m_delay -= dt;
        if (m_delay > 0.0f)
            return true;
        game->playSound("tip");
        if (cGameState* state = game->getCurrentState()) {
            state->addModal();
            m_modalState = state;
        }
    }

    float alpha = m_window->GetAlpha(true);
    if (m_open) {
        alpha = std::min(alpha + kFadeSpeed * dt, 1.0f);
        const aRect area = m_window->GetAbsoluteRect();
        if (!cMessageBox::isShown() && tooltip_clickedInside(area.x, area.y, area.width, area.height)) {
            cPlayerProfile* profile = game->getCurrentProfile();
            if (profile && !tutorial_isRunning())
                profile->tipsMask |= m_bit;
            game->playSound("button_click");
            m_open = false;
        }
    } else {
        alpha -= kFadeSpeed * dt;
        if (alpha < 0.0f) {
            m_window->SetVisible(false);
            m_window = nullptr;
            giveBackModal();
            return false;
        }
    }
    m_window->SetAlpha(alpha);
    return true;
}
