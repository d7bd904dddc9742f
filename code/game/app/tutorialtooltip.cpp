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

// The pulsing arrow of a pointer hint stands this far in from the bubble's
// side and down from its top.
constexpr int32_t kLineLeft = 11;
constexpr int32_t kLineTop = 78;
// Where the tail of the bubble picture ends, and how tall it is.
constexpr int32_t kTailTipX = 30;
constexpr int32_t kTailHeight = 26;
// The dark strip along the bubble's foot (from its top down), where the
// "click here" line is written.
constexpr int32_t kStripTop = 74;
constexpr int32_t kClickTop = 77;
constexpr int32_t kClickBottom = 95;

} // namespace

cTutorialTooltip::~cTutorialTooltip() = default;

const std::vector<std::unique_ptr<cTutorialTooltip>>& cTutorialTooltip::all()
{
    return g_hints;
}

cTutorialTooltip* cTutorialTooltip::make(const std::string& textKey, bool plain, float duration)
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

cTutorialTooltip* cTutorialTooltip::add(int16_t x, int16_t y, const std::string& textKey, bool plain, float duration)
{
    cTutorialTooltip* hint = make(textKey, plain, duration);
    if (hint)
        hint->place(x, y, hint->textHeightCut(false));
    return hint;
}

cTutorialTooltip* cTutorialTooltip::addOver(const aRect& target, const std::string& textKey, bool plain,
                                            float duration)
{
    cTutorialTooltip* hint = make(textKey, plain, duration);
    if (hint)
        hint->standOver(target, hint->textHeightCut(false));
    return hint;
}

int32_t cTutorialTooltip::textHeightCut(bool moved) const
{
    if (!m_plain)
        return kPointerCut;
    return moved ? kPlainCutMoved : kPlainCutMade;
}

void cTutorialTooltip::setPosition(int16_t x, int16_t y)
{
    place(x, y, textHeightCut(true));
}

void cTutorialTooltip::place(int16_t x, int16_t y, int32_t textHeightCut)
{
    const int32_t w = m_image ? m_image->getWidth() : 0;
    const int32_t h = m_image ? m_image->getHeight() : 0;
    int32_t top = y - h;
    const bool flipLeft = x + w > 1024;
    const bool flipDown = top < 0;
    if (flipDown)
        top = top + h + 26;
    layout(flipLeft ? x - w : x, top, flipLeft, flipDown, textHeightCut);
}

void cTutorialTooltip::standOver(const aRect& target)
{
    standOver(target, textHeightCut(true));
}

void cTutorialTooltip::standOver(const aRect& target, int32_t textHeightCut)
{
    const int32_t w = m_image ? m_image->getWidth() : 0;
    const int32_t h = m_image ? m_image->getHeight() : 0;
    const int32_t lineW = m_line ? m_line->getWidth() : 0;
    const int32_t lineH = m_line ? m_line->getHeight() : 0;
    // How far the pointer reaches past the bubble, and how far in from the
    // bubble's side it touches.
    const int32_t reach = m_line ? std::max(kLineTop + lineH - h, 0) : 0;
    const int32_t inset = m_line ? kLineLeft + lineW / 2 : kTailTipX;
    const int32_t middle = target.x + target.width / 2;
    int32_t top = target.y - reach - h;
    const bool flipDown = top < 0;
    if (flipDown)
        top = target.y + target.height + reach;
    const bool flipLeft = middle - inset + w > 1024;
    // At the very edges the bubble stays on the screen and its pointer moves off the middle.
    const int32_t left = std::clamp(flipLeft ? middle + inset - w : middle - inset, 0, std::max(1024 - w, 0));
    layout(left, top, flipLeft, flipDown, textHeightCut);
}

void cTutorialTooltip::layout(int32_t left, int32_t top, bool flipLeft, bool flipDown, int32_t textHeightCut)
{
    const int32_t w = m_image ? m_image->getWidth() : 0;
    const int32_t h = m_image ? m_image->getHeight() : 0;
    m_flipLeft = flipLeft;
    m_flipDown = flipDown;
    m_x = static_cast<int16_t>(left);
    m_y = static_cast<int16_t>(top);
    // Turned upside down the bubble's tail and strip are at its top: the text goes below them.
    const int32_t textTop = top + 5 + (flipDown ? std::max(h - kStripTop, kTailHeight) : 0);
    if (m_text)
        m_text->SetArea(static_cast<int16_t>(left + 10), static_cast<int16_t>(textTop),
                        static_cast<uint16_t>(std::max(w - 20, 0)), static_cast<uint16_t>(std::max(h - textHeightCut, 0)));
}

aPoint cTutorialTooltip::linePosition() const
{
    const int32_t w = m_image ? m_image->getWidth() : 0;
    const int32_t h = m_image ? m_image->getHeight() : 0;
    const int32_t lineW = m_line ? m_line->getWidth() : 0;
    const int32_t lineH = m_line ? m_line->getHeight() : 0;
    // Mirrored with the bubble, so that it always leaves from the tail's side.
    const int32_t x = m_flipLeft ? m_x + w - kLineLeft - lineW : m_x + kLineLeft;
    const int32_t y = m_flipDown ? m_y + h - kLineTop - lineH : m_y + kLineTop;
    return {x, y};
}

aPoint cTutorialTooltip::tip() const
{
    const int32_t w = m_image ? m_image->getWidth() : 0;
    const int32_t h = m_image ? m_image->getHeight() : 0;
    if (m_line) {
        const aPoint at = linePosition();
        const int32_t lineW = m_line->getWidth();
        const int32_t lineH = m_line->getHeight();
        return {at.x + lineW / 2, m_flipDown ? at.y : at.y + lineH};
    }
    return {m_flipLeft ? m_x + w - kTailTipX : m_x + kTailTipX, m_flipDown ? m_y : m_y + h};
}

aRect cTutorialTooltip::area() const
{
    const int32_t w = m_image ? m_image->getWidth() : 0;
    const int32_t h = m_image ? m_image->getHeight() : 0;
    return aRect(m_x, m_y, static_cast<uint16_t>(w), static_cast<uint16_t>(h));
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

    const cGame* game = cGame::get();
    const float t = game ? static_cast<float>(game->getTotalTime()) : 0.0f;
    // A pulse between 0.35 and 1 of the bubble's alpha, about 1.57 s long.
    if (m_line) {
        const aPoint at = linePosition();
        const float scale[2] = {1.0f, m_flipDown ? -1.0f : 1.0f};
        m_line->drawAtF(static_cast<float>(at.x), static_cast<float>(at.y + (m_flipDown ? m_line->getHeight() : 0)),
                        tooltip_color(m_alpha * ((std::sin(4.0f * t) + 1.0f) * 0.325f + 0.35f)), scale);
    }
    if (aFont* font = m_text->GetFont()) {
        font->setSize(0.65f);
        font->color = tooltip_color(m_alpha);
        const float w = m_image ? m_image->getWidth() : 0.0f;
        const int32_t h = m_image ? m_image->getHeight() : 0;
        // On the strip, which a bubble turned upside down has at its top.
        const int32_t top = m_flipDown ? m_y + h - kClickBottom : m_y + kClickTop;
        font->drawText(m_x + w / 2.0f, static_cast<float>(top), game ? game->getText("click_here") : L"", A_FONT_CENTER_X);
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
