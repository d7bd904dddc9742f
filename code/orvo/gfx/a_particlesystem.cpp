#include "orvo/gfx/a_particlesystem.h"

#include <algorithm>
#include <cmath>

#include "orvo/app/a_application.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/gfx/a_image.h"
#include "orvo/util/a_random.h"

namespace {

constexpr float kPi = 3.1415927f;
constexpr float kTwoPi = 6.2831855f;

float randomRange(const float range[2])
{
    return a_randFloat(range[0], range[1]);
}

} // namespace

aParticleSystem::aParticleSystem(const std::string& path, aImageManager* images, const std::string& listName)
{
    setDefaults();
    createSharedBuffers();
    readDefinition(path, images, listName);
}

aParticleSystem::aParticleSystem(const aParticleSystem& templateSystem)
{
    setDefaults();
    createSharedBuffers();
    copyFrom(templateSystem);
}

aParticleSystem::~aParticleSystem()
{
    setImage(nullptr, nullptr);
    releaseSharedBuffers();
}

void aParticleSystem::setDefaults()
{
    m_live = nullptr;
    m_pool = nullptr;
    m_records.clear();
    m_liveCount = 0;
    m_clock = m_lastEmission = m_emissionStart = m_accumulator = 0.0f;
    m_active = m_finished = false;
    m_x = m_y = m_prevX = m_prevY = 0.0f;
    m_currentLife = -1.0f;
    m_currentRestartTime = 0.0f;
    m_currentRate = 0.0f;
    m_delayCountdown = -1.0f;
    m_params = Params();
    m_textureName.clear();
    m_screen = aRect();
    const aApplication* app = aApplication::get();
    if (const aGraphServer* graph = app ? app->getGraphServer() : nullptr)
        m_screen = aRect(0, 0, graph->getGameWidth(), graph->getGameHeight());
}

void aParticleSystem::copyFrom(const aParticleSystem& templateSystem)
{
    m_params = templateSystem.m_params;
    m_textureName = templateSystem.m_textureName;
    m_currentRestartTime = templateSystem.m_currentRestartTime;
    m_currentRate = templateSystem.m_currentRate;
    m_currentLife = 0.0f;
    m_delayCountdown = 0.0f;
    copyImageFrom(templateSystem);
}

void aParticleSystem::restart()
{
    // A negative delay would read as "never started" and freeze the effect.
    m_delayCountdown = m_params.startDelay < 0.0f ? 0.0f : m_params.startDelay;
    if (m_params.emitterLife[0] < 0.0f || m_params.emitterLife[1] < 0.0f) {
        m_currentLife = -1.0f;
        m_currentRestartTime = -1.0f;
    } else {
        m_currentLife = randomRange(m_params.emitterLife);
        m_currentRestartTime = randomRange(m_params.emitterRestartTime);
    }
    m_currentRate = randomRange(m_params.emitPerSec);
    if (m_currentLife != 0.0f) {
        if (!m_active) {
            m_active = true;
            m_emissionStart = m_clock;
        }
    } else {
        emit(std::trunc(m_currentRate));
    }
    m_finished = false;
    m_lastEmission = m_clock;
}

void aParticleSystem::restartAt(float x, float y)
{
    m_x = m_prevX = x;
    m_y = m_prevY = y;
    restart();
}

void aParticleSystem::setPosition(float x, float y)
{
    m_prevX = m_x;
    m_prevY = m_y;
    m_x = x;
    m_y = y;
}

void aParticleSystem::moveTo(float x, float y)
{
    const float dx = x - m_x;
    const float dy = y - m_y;
    for (aParticle* p = m_live; p; p = p->next) {
        p->posX += dx;
        p->posY += dy;
        p->originX += dx;
        p->originY += dy;
        for (aParticle::Corner& corner : p->corners) {
            corner.x += dx;
            corner.y += dy;
        }
    }
    setPosition(x, y);
}

void aParticleSystem::stop()
{
    m_active = false;
    m_finished = true;
}

void aParticleSystem::reset()
{
    while (aParticle* p = m_live) {
        m_live = p->next;
        p->next = m_pool;
        m_pool = p;
    }
    m_liveCount = 0;
    m_clock = 0.0f;
    m_accumulator = 0.0f;
    m_active = false;
    m_finished = false;
}

void aParticleSystem::update(float dt)
{
    if (m_delayCountdown < 0.0f)
        return;
    if (m_params.fps <= 0) {
        m_accumulator = 0.0f;
        return;
    }
    // A time that is not a number or infinite would never be used up.
    if (!std::isfinite(dt))
        return;
    const float stepLength = 1.0f / static_cast<float>(m_params.fps);
    m_accumulator = std::min(m_accumulator + dt, stepLength * static_cast<float>(MAX_STEPS_PER_UPDATE));
    while (m_accumulator >= stepLength) {
        m_clock += stepLength;
        step(stepLength);
        const float rest = m_accumulator - stepLength;
        if (rest == m_accumulator) { // too large to count down in steps
            m_accumulator = 0.0f;
            break;
        }
        m_accumulator = rest;
    }
}

void aParticleSystem::step(float dt)
{
    // The particles.
    aParticle** link = &m_live;
    while (aParticle* p = *link) {
        const float age = m_clock - p->birth;
        const bool offScreen = m_params.killOffScreen && isOffScreen(*p);
        if (age >= p->life || offScreen) {
            *link = p->next;
            if (m_params.loopPs && !offScreen) {
                const bool wasHead = link == &m_live;
                spawnParticle(p, 0.0f, 0.0f, 0.0f, false);
                // NOTE: a reborn head is at the head again; it starts moving
                // with the next step like every other reborn particle.
                if (wasHead)
                    link = &p->next;
            } else {
                p->next = m_pool;
                m_pool = p;
                --m_liveCount;
            }
            continue;
        }
        updateParticle(*p, dt, age);
        link = &p->next;
    }

    // The emitter.
    if (m_delayCountdown > 0.0f) {
        m_delayCountdown -= dt;
        if (m_delayCountdown <= 0.0f) {
            m_emissionStart = m_clock;
            m_lastEmission = m_clock;
            m_delayCountdown = 0.0f;
        }
    } else if (m_active) {
        if (m_currentRate == 0.0f) {
            m_lastEmission = m_clock;
        } else {
            // The fraction of a particle carries over to later steps.
            const float n = std::trunc((m_clock - m_lastEmission) * m_currentRate);
            m_lastEmission += n / m_currentRate;
            emit(n);
        }
        if (m_currentLife > 0.0f && m_clock - m_emissionStart >= m_currentLife)
            stop();
    } else if (!m_finished && m_currentRestartTime >= 0.0f && m_clock - m_lastEmission >= m_currentRestartTime) {
        restart();
        m_delayCountdown = 0.0f; // automatic restarts are not delayed
    }
    m_prevX = m_x;
    m_prevY = m_y;
}

uint32_t aParticleSystem::emissionLimit() const
{
    const uint32_t limit = static_cast<uint32_t>(m_params.maxParticles);
    return limit >= MAX_PARTICLES ? MAX_PARTICLES : limit;
}

void aParticleSystem::emit(float count)
{
    // Counts come from float products: never convert one out of range.
    const uint32_t n = count > 0.0f ? (count >= MAX_PARTICLES ? MAX_PARTICLES : static_cast<uint32_t>(count)) : 0;
    if (n == 0)
        return;
    const uint32_t limit = emissionLimit();
    const float base = m_params.spreadRelative ? std::atan2(m_y - m_prevY, m_x - m_prevX) + kPi : 0.0f;
    float c = 0.0f, s = 0.0f;
    if (m_params.emitterType != 0) {
        c = std::cos(m_params.emitterAngle);
        s = std::sin(m_params.emitterAngle);
    }
    for (uint32_t i = 0; i < n && m_liveCount < limit; ++i) {
        spawnParticle(nullptr, c, s, base, true);
        ++m_liveCount;
    }
}

void aParticleSystem::spawnParticle(aParticle* p, float c, float s, float base, bool full)
{
    const Params& par = m_params;
    if (!p) {
        if (m_pool) {
            p = m_pool;
            m_pool = p->next;
        } else {
            p = &m_records.emplace_back();
        }
    }
    p->birth = m_clock;
    p->life = randomRange(par.particleLife);
    if (!(p->life >= MIN_PARTICLE_LIFE)) // also catches NaN
        p->life = MIN_PARTICLE_LIFE;
    p->halfLife = p->life * 0.5f;
    const float halfLife = p->halfLife;

    if (full) {
        p->radialAcc = randomRange(par.radialAcc);
        p->tangentialAcc = randomRange(par.tangentialAcc);
        p->accX = randomRange(par.wind);
        p->accY = randomRange(par.gravity);
        p->mirrored = par.randFlip ? a_randFloat(0.0f, 1.0f) < 0.5f : par.defFlip;
    }

    // Size keys.
    float start[2] = {par.sizeMin[0], par.sizeMin[1]};
    float mid[2] = {par.sizeMid[0], par.sizeMid[1]};
    float end[2] = {par.sizeMax[0], par.sizeMax[1]};
    if (par.sizeVar != 0.0f) {
        auto vary = [&par](float key[2]) {
            const float factor = 1.0f - a_randFloat(0.0f, par.sizeVar);
            key[0] *= factor;
            key[1] *= factor;
        };
        if (!par.loopPs)
            vary(start);
        vary(mid);
        if (!par.loopPs)
            vary(end);
    }
    p->width = start[0];
    p->height = start[1];
    for (int i = 0; i < 2; ++i) {
        p->sizeRate1[i] = (mid[i] - start[i]) / halfLife;
        p->sizeRate2[i] = (end[i] - mid[i]) / halfLife;
    }

    // Colour keys.
    float cStart[4], cMid[4], cEnd[4];
    for (int i = 0; i < 4; ++i) {
        cStart[i] = par.colorStart[i];
        cMid[i] = par.colorMid[i];
        cEnd[i] = par.colorEnd[i];
    }
    if (par.alphaVar != 0.0f) {
        cMid[3] *= a_randFloat(1.0f - par.alphaVar, 1.0f);
        if (!par.loopPs) {
            cStart[3] *= a_randFloat(1.0f - par.alphaVar, 1.0f);
            cEnd[3] *= a_randFloat(1.0f - par.alphaVar, 1.0f);
        }
    }
    if (!par.oldColorRnd) {
        auto brighten = [&par](float key[4]) {
            const float factor = a_randFloat(1.0f - par.colorVar, 1.0f);
            for (int i = 0; i < 3; ++i)
                key[i] *= factor;
        };
        if (!par.loopPs) {
            brighten(cStart);
            brighten(cEnd);
        }
        brighten(cMid);
        for (int i = 0; i < 4; ++i) {
            p->color[i] = cStart[i];
            p->colorRate1[i] = (cMid[i] - cStart[i]) / halfLife;
            p->colorRate2[i] = (cEnd[i] - cMid[i]) / halfLife;
        }
    } else {
        // A random point on the gradient instead of a brightness factor.
        float t = a_randFloat(0.0f, par.colorVar);
        for (int i = 0; i < 3; ++i) {
            cMid[i] = cMid[i] + t * (cEnd[i] - cMid[i]);
            p->colorRate2[i] = (cEnd[i] - cMid[i]) / halfLife;
        }
        p->colorRate2[3] = (cEnd[3] - cMid[3]) / halfLife;
        if (par.loopPs)
            t = 0.0f;
        for (int i = 0; i < 3; ++i) {
            p->color[i] = cStart[i] + t * (cMid[i] - cStart[i]);
            p->colorRate1[i] = (cMid[i] - p->color[i]) / halfLife;
        }
        p->color[3] = cStart[3];
        p->colorRate1[3] = (cMid[3] - cStart[3]) / halfLife;
    }

    if (full) {
        const float theta = base + randomRange(par.spread);
        p->dirX = std::cos(theta);
        p->dirY = std::sin(theta);
        const float speed = randomRange(par.velocity);
        p->velX = speed * p->dirX;
        p->velY = speed * p->dirY;
        p->alignToDirection = par.spinByDir;
        if (p->alignToDirection) {
            p->angle = std::atan2(p->dirY, p->dirX);
            p->spin = 0.0f;
        } else {
            p->angle = 0.0f;
            p->spin = a_randFloat(par.spin[0], par.spin[1]);
            if (a_randFloat(0.0f, 1.0f) <= par.spin[2])
                p->spin = -p->spin;
        }
        const float a = par.emitterSize[0];
        const float b = par.emitterSize[1];
        switch (par.emitterType) {
        case 1: { // rectangle along the emitter direction
            const float u = a_randFloat(-a, a);
            const float w = a_randFloat(-b, b);
            p->posX = m_x - u * c + w * s;
            p->posY = m_y - u * s - w * c;
            p->originX = p->posX;
            p->originY = p->posY;
            break;
        }
        case 2: { // line from a behind to b ahead
            const float u = a_randFloat(-a, b);
            p->posX = m_x + u * c;
            p->posY = m_y + u * s;
            p->originX = p->posX;
            p->originY = p->posY;
            break;
        }
        default: { // point or ring
            const float r = a_randFloat(a, b);
            p->posX = m_x + r * p->dirX;
            p->posY = m_y + r * p->dirY;
            p->originX = m_x;
            p->originY = m_y;
            break;
        }
        }
    }

    computeCorners(*p);
    p->next = m_live;
    m_live = p;
}

void aParticleSystem::updateParticle(aParticle& p, float dt, float age)
{
    const float radial = p.radialAcc * dt;
    p.velX += radial * p.dirX;
    p.velY += radial * p.dirY;
    const float tangential = p.tangentialAcc * dt;
    p.velX += tangential * -p.dirY;
    p.velY += tangential * p.dirX;
    p.velX += p.accX * dt;
    p.velY += p.accY * dt;

    const float* sizeRate = age < p.halfLife ? p.sizeRate1 : p.sizeRate2;
    const float* colorRate = age < p.halfLife ? p.colorRate1 : p.colorRate2;
    p.width += sizeRate[0] * dt;
    p.height += sizeRate[1] * dt;
    for (int i = 0; i < 4; ++i)
        p.color[i] += colorRate[i] * dt;

    p.posX += p.velX * dt;
    p.posY += p.velY * dt;

    const float dx = p.posX - p.originX;
    const float dy = p.posY - p.originY;
    const float length = std::sqrt(dx * dx + dy * dy);
    if (length != 0.0f) {
        p.dirX = dx / length;
        p.dirY = dy / length;
    }

    if (p.alignToDirection) {
        p.angle = std::atan2(p.dirY, p.dirX);
    } else {
        p.angle += p.spin * dt;
        if (p.angle >= kTwoPi)
            p.angle -= kTwoPi;
        else if (p.angle <= -kTwoPi)
            p.angle += kTwoPi;
    }
    computeCorners(p);
}

void aParticleSystem::computeCorners(aParticle& p) const
{
    const float pivotX = (p.mirrored ? 1.0f - m_params.rotCenter[0] : m_params.rotCenter[0]) * p.width;
    const float pivotY = m_params.rotCenter[1] * p.height;
    const float offsets[4][2] = {
        {-pivotX, -pivotY},
        {p.width - pivotX, -pivotY},
        {-pivotX, p.height - pivotY},
        {p.width - pivotX, p.height - pivotY},
    };
    if (p.angle == 0.0f) {
        for (int i = 0; i < 4; ++i) {
            p.corners[i].x = p.posX + offsets[i][0];
            p.corners[i].y = p.posY + offsets[i][1];
        }
        return;
    }
    const float cosA = std::cos(p.angle);
    const float sinA = std::sin(p.angle);
    for (int i = 0; i < 4; ++i) {
        const float ox = offsets[i][0];
        const float oy = offsets[i][1];
        p.corners[i].x = p.posX + (ox * cosA - oy * sinA);
        p.corners[i].y = p.posY + (ox * sinA + oy * cosA);
    }
}

bool aParticleSystem::isOffScreen(const aParticle& p) const
{
    aRect r;
    getParticleRect(p, r);
    const bool meets = m_screen.x < r.x + r.width && m_screen.y < r.y + r.height && r.x < m_screen.x + m_screen.width &&
                       r.y < m_screen.y + m_screen.height;
    return !meets;
}
