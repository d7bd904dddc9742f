#include "game/app/simpletooltip.h"

#include <algorithm>
#include <cmath>

#include "game/app/game.h"
#include "game/app/tooltipbubble.h"
#include "gui/statictext.h"
#include "orvo/gfx/a_image.h"

namespace {

constexpr float kFadeSpeed = 4.0f;

std::unique_ptr<cSimpleTooltip> g_tooltip;
float g_hoverTimer = 0.0f;

} // namespace

cSimpleTooltip::cSimpleTooltip(int16_t x, int16_t y, const std::wstring& text)
{
    if (cGame* game = cGame::get())
        game->playSound("tip");
    m_image = tooltip_image("tooltip");
    const int32_t w = m_image ? m_image->getWidth() : 0;
    const int32_t h = m_image ? m_image->getHeight() : 0;
    m_x = x;
    m_y = static_cast<int16_t>(y - h);
    m_flipLeft = x + w > 999;
    m_flipDown = m_y < 25;
    const int32_t left = m_flipLeft ? m_x - w : m_x;
    const int32_t top = m_flipDown ? m_y + 20 + h : m_y;
    m_text = tooltip_makeText(text, 0.75f);
    m_text->SetArea(static_cast<int16_t>(left + 40), static_cast<int16_t>(top + 5),
                    static_cast<uint16_t>(std::lround(0.75 * w)), static_cast<uint16_t>(std::lround(0.75 * h)));
}

cSimpleTooltip::~cSimpleTooltip() = default;

void cSimpleTooltip::show(int16_t x, int16_t y, const std::wstring& text)
{
    g_tooltip.reset();
    g_hoverTimer = 0.0f;
    g_tooltip.reset(new cSimpleTooltip(x, y, text));
}

void cSimpleTooltip::hide()
{
    g_hoverTimer = 0.0f;
    if (g_tooltip)
        g_tooltip->m_visible = false;
}

void cSimpleTooltip::destroy()
{
    g_tooltip.reset();
}

cSimpleTooltip* cSimpleTooltip::get()
{
    return g_tooltip.get();
}

float cSimpleTooltip::getHoverTimer()
{
    return g_hoverTimer;
}

void cSimpleTooltip::update(float dt)
{
    if (!g_tooltip)
        return;
    if (g_tooltip->m_visible && g_hoverTimer <= HOVER_DELAY) {
        g_hoverTimer += dt;
        return;
    }
    if (!g_tooltip->step(dt))
        g_tooltip.reset();
}

bool cSimpleTooltip::step(float dt)
{
    if (m_visible) {
        m_alpha = std::min(m_alpha + kFadeSpeed * dt, 1.0f);
    } else {
        m_alpha -= kFadeSpeed * dt;
        if (m_alpha < 0.0f)
            return false;
    }
    if (!m_image)
        return true;
    const int32_t w = m_image->getWidth();
    const int32_t h = m_image->getHeight();
    tooltip_drawMirrored(*m_image, static_cast<float>(m_flipLeft ? m_x - w : m_x),
                         static_cast<float>(m_flipDown ? m_y + h : m_y), m_flipLeft, m_flipDown, m_alpha);
    m_text->SetAlpha(m_alpha);
    m_text->Update(dt);
    m_text->Render();
    return true;
}
