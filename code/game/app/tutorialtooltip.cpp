#include "game/app/tutorialtooltip.h"

#include <algorithm>
#include <cmath>

#include "game/app/game.h"
#include "game/app/gamestate.h"
#include "game/app/tooltipbubble.h"
#include "gui/server.h"
#include "gui/statictext.h"
#include "orvo/app/a_inputserver.h"
#include "orvo/gfx/a_font.h"
#include "orvo/gfx/a_image.h"

namespace {

std::vector<std::unique_ptr<cTutorialTooltip>> g_hints;

GUI::Widget* blocker()
{
    const GUI::Server* server = GUI::Server::getSingletonPtr();
    return server ? server->GetRoot()->FindChild("TutorialTooltip", true) : nullptr;
}

cGameState* currentState()
{
    const cGame* game = cGame::get();
    return game ? game->getCurrentState() : nullptr;
}

// Text heights: a pointer hint keeps room for its pointer line; a plain
// bubble is cut less when made than when moved later.
constexpr int32_t kPointerCut = 45;
constexpr int32_t kPlainCutMade = 35;
constexpr int32_t kPlainCutMoved = 55;

} // namespace

cTutorialTooltip::~cTutorialTooltip() = default;

const std::vector<std::unique_ptr<cTutorialTooltip>>& cTutorialTooltip::all()
{
    return g_hints;
}

cTutorialTooltip* cTutorialTooltip::add(int16_t x, int16_t y, const std::string& textKey, bool plain, float duration)
{
    aImage* image = tooltip_image("tooltip");
    cGame* game = cGame::get();
    if (!image || !game)
        return nullptr;
    std::unique_ptr<cTutorialTooltip> hint(new cTutorialTooltip());
    hint->m_image = image;
    hint->m_plain = plain;
    hint->m_duration = duration;
    hint->m_text = tooltip_makeText(game->getText(textKey), 0.7f);
    hint->place(x, y, plain ? kPlainCutMade : kPointerCut);
    if (!plain) {
        hint->m_line = tooltip_image("tooltip_line");
        if (GUI::Widget* block = blocker())
            block->SetVisible(true);
        if (cGameState* state = currentState()) {
            state->addModal();
            hint->m_modal = true;
        }
    }
    game->playSound("tip");
    g_hints.push_back(std::move(hint));
    return g_hints.back().get();
}

void cTutorialTooltip::setPosition(int16_t x, int16_t y)
{
    place(x, y, m_plain ? kPlainCutMoved : kPointerCut);
}

void cTutorialTooltip::place(int16_t x, int16_t y, int32_t textHeightCut)
{
    const int32_t w = m_image ? m_image->getWidth() : 0;
    const int32_t h = m_image ? m_image->getHeight() : 0;
    int32_t top = y - h;
    m_flipLeft = x + w > 1024;
    m_flipDown = top < 0;
    const int32_t left = m_flipLeft ? x - w : x;
    if (m_flipDown)
        top = top + h + 26;
    m_x = static_cast<int16_t>(left);
    m_y = static_cast<int16_t>(top);
    if (m_text)
        m_text->SetArea(static_cast<int16_t>(left + 10), static_cast<int16_t>(top + 5),
                        static_cast<uint16_t>(std::max(w - 20, 0)), static_cast<uint16_t>(std::max(h - textHeightCut, 0)));
}

bool cTutorialTooltip::update(float dt)
{
    if (m_open) {
        m_alpha = std::min(m_alpha + FADE_SPEED * dt, 1.0f);
        if (m_alpha >= 1.0f && m_duration > 0.0f) {
            m_duration -= dt;
            if (m_duration <= 0.0f)
                m_open = false;
        }
    } else {
        m_alpha -= FADE_SPEED * dt;
        if (m_alpha < 0.0f) {
            m_alpha = 0.0f;
            return false;
        }
    }
    draw(dt);
    return true;
}

void cTutorialTooltip::draw(float dt)
{
    if (m_image)
        tooltip_drawMirrored(*m_image, m_x, m_y, m_flipLeft, m_flipDown, m_alpha);
    m_text->SetAlpha(m_alpha);
    m_text->Update(dt);
    m_text->Render();
    if (m_plain || !m_open)
        return;

    // Where the pointer line and "click here" go: the same offsets from the
    // bubble's top in every orientation, lower when it hangs upside down.
    const float base = static_cast<float>(m_y + (m_flipDown ? 46 : 20));
    const cGame* game = cGame::get();
    const float t = game ? static_cast<float>(game->getTotalTime()) : 0.0f;
    // A pulse between 0.35 and 1 of the bubble's alpha, about 1.57 s long.
    if (m_line)
        m_line->drawAtF(m_x + 11.0f, base + 58.0f,
                        tooltip_color(m_alpha * ((std::sin(4.0f * t) + 1.0f) * 0.325f + 0.35f)));
    if (aFont* font = m_text->GetFont()) {
        font->setSize(0.65f);
        font->color = tooltip_color(m_alpha);
        const float w = m_image ? m_image->getWidth() : 0.0f;
        font->drawText(m_x + w / 2.0f, base + 57.0f, game ? game->getText("click_here") : L"", A_FONT_CENTER_X);
    }
}

void cTutorialTooltip::dismiss(bool withSound)
{
    cGame* game = cGame::get();
    if (withSound && game)
        game->playSound("button_click");
    if (m_modal) {
        if (cGameState* state = currentState())
            state->removeModal();
        m_modal = false;
    }
    if (GUI::Widget* block = blocker())
        block->SetVisible(false);
    m_open = false;
}

void cTutorialTooltip::updateAll(float dt)
{
    const cGame* game = cGame::get();
    const aInputServer* input = game ? game->getInputServer() : nullptr;
    for (size_t i = 0; i < g_hints.size();) {
        cTutorialTooltip& hint = *g_hints[i];
        if (!hint.update(dt)) {
            g_hints.erase(g_hints.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        // Only a fully shown pointer hint can be dismissed.
        if (!hint.m_plain && hint.m_open && hint.m_alpha >= 1.0f) {
            const int32_t w = hint.m_image ? hint.m_image->getWidth() : 0;
            const int32_t h = hint.m_image ? hint.m_image->getHeight() : 0;
            if (tooltip_clickedInside(hint.m_x, hint.m_y, w, h))
                hint.dismiss(true);
            else if (input && (input->keyStates[A_KEY_ESCAPE] == A_STATE_RELEASED ||
                               input->keyStates[A_KEY_SPACE] == A_STATE_RELEASED))
                hint.dismiss(false);
        }
        ++i;
    }
}

void cTutorialTooltip::removeAll()
{
    g_hints.clear();
}

bool cTutorialTooltip::anyUnflagged()
{
    return std::any_of(g_hints.begin(), g_hints.end(), [](const auto& hint) { return !hint->m_plain; });
}

bool cTutorialTooltip::anyActive()
{
    return std::any_of(g_hints.begin(), g_hints.end(), [](const auto& hint) { return hint->m_open; });
}
