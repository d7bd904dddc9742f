#include "game/app/activebuttoneffect.h"

#include <cmath>

#include "game/app/game.h"
#include "orvo/gfx/a_particlesmanager.h"
#include "orvo/gfx/a_particlesystem.h"

namespace {

constexpr const char* kTemplate = "ACTIVE_BTN";
constexpr int32_t kLayer = 1;

aParticlesManager* particles()
{
    cGame* game = cGame::get();
    return game ? game->getParticles() : nullptr;
}

// A screen switch kills every live system: a handle is used only while the
// manager still holds it.
bool isLive(const aParticleSystem* system)
{
    const aParticlesManager* manager = particles();
    if (!manager || !system)
        return false;
    for (const auto& entry : manager->getLiveSystems())
        if (entry.system.get() == system)
            return true;
    return false;
}

} // namespace

void cActiveButtonEffect::createEmitters(const aVector2& first, const aVector2& second)
{
    destroy();
    if (aParticlesManager* manager = particles()) {
        m_emitters[0] = manager->Add(kTemplate, first.x, first.y, kLayer, false, true);
        m_emitters[1] = manager->Add(kTemplate, second.x, second.y, kLayer, false, true);
    }
}

void cActiveButtonEffect::initCircle(float centreX, float centreY, float radius, float speed)
{
    m_mode = MODE_CIRCLE;
    m_angle = 0.0f;
    m_paused = false;
    m_radius = radius;
    m_speed = speed;
    m_corners[0] = {centreX, centreY};
    createEmitters(m_corners[0], m_corners[0]);
}

void cActiveButtonEffect::initRect(float x, float y, float w, float h, float speed)
{
    m_mode = MODE_RECT;
    m_paused = false;
    m_speed = speed;
    m_corners[0] = {x, y};
    m_corners[1] = {x, y + h};
    m_corners[2] = {x + w, y + h};
    m_corners[3] = {x + w, y};
    m_target[0] = 1;
    m_target[1] = 3;
    createEmitters(m_corners[0], m_corners[2]);
}

void cActiveButtonEffect::update(float dt)
{
    for (aParticleSystem*& emitter : m_emitters)
        if (emitter && !isLive(emitter))
            emitter = nullptr;
    if (m_mode == MODE_CIRCLE) {
        stepCircle(dt);
    } else {
        stepRect(0, dt);
        stepRect(1, dt);
    }
}

void cActiveButtonEffect::stepCircle(float dt)
{
    m_angle += m_speed * dt;
    const float a = m_angle * 0.017453292f;
    const float vx = -std::sin(a) * m_radius;
    const float vy = std::cos(a) * m_radius;
    // Moving only the emitter leaves the sparkles already out as a trail.
    if (m_emitters[0])
        m_emitters[0]->setPosition(m_corners[0].x + vx, m_corners[0].y + vy);
    if (m_emitters[1])
        m_emitters[1]->setPosition(m_corners[0].x - vx, m_corners[0].y - vy);
}

void cActiveButtonEffect::stepRect(int i, float dt)
{
    aParticleSystem* emitter = m_emitters[i];
    if (!emitter)
        return;
    const float x = emitter->getX();
    const float y = emitter->getY();
    // Standing on its corner (or on a zero-length edge), the emitter heads for
    // the next corner at once; a button of no size keeps it where it is.
    float dx = 0.0f;
    float dy = 0.0f;
    float length = 0.0f;
    for (int turns = 0; turns < 4; ++turns) {
        const aVector2& target = m_corners[m_target[i]];
        dx = target.x - x;
        dy = target.y - y;
        length = std::sqrt(dx * dx + dy * dy);
        if (length > 0.0f)
            break;
        m_target[i] = static_cast<uint16_t>((m_target[i] + 1) % 4);
    }
    if (!(length > 0.0f))
        return;
    aVector2 next(x + dx / length * dt * m_speed, y + dy / length * dt * m_speed);
    if (next.x < m_corners[0].x || next.x > m_corners[2].x || next.y < m_corners[0].y || next.y > m_corners[2].y) {
        next = m_corners[m_target[i]];
        m_target[i] = static_cast<uint16_t>((m_target[i] + 1) % 4);
    }
    emitter->setPosition(next.x, next.y);
}

void cActiveButtonEffect::setPaused(bool paused)
{
    if (paused == m_paused)
        return;
    for (aParticleSystem* emitter : m_emitters) {
        if (!isLive(emitter))
            continue;
        if (paused)
            emitter->stop();
        else
            emitter->restart();
    }
    m_paused = paused;
}

void cActiveButtonEffect::destroy()
{
    for (aParticleSystem*& emitter : m_emitters) {
        if (isLive(emitter))
            particles()->remove(emitter);
        emitter = nullptr;
    }
}
