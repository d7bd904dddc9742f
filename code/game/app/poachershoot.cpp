#include "game/app/poachershoot.h"

#include <string>

#include "game/app/spriteloader.h"
#include "orvo/gfx/a_advanim.h"
#include "orvo/util/a_random.h"

namespace {

constexpr float kMiddle = 512.0f;
constexpr float kAnimalSpeed = 80.0f;
constexpr float kPoacherSpeed = 70.0f;
constexpr float kPoacherBackSpeed = kPoacherSpeed * 1.5f;
constexpr int kYoungCount = 3;

const char* const kKinds[cPoacherShoot::VARIANT_COUNT] = {"hippo", "rhino", "lion", "cheetah"};

} // namespace

const char* cPoacherShoot::kind(int index)
{
    return kKinds[index & (VARIANT_COUNT - 1)];
}

cPoacherShoot::cPoacherShoot(aImageManager* shared) : cLoadingScenario(shared) {}

cPoacherShoot::~cPoacherShoot() = default;

void cPoacherShoot::init()
{
    initVariant(a_rand() & 3);
}

void cPoacherShoot::initVariant(int index)
{
    const char* k = kind(index);
    aImage* shadow = findShadow(std::string("shadow_") + k);

    m_chased = addRunner(animation(k, "adult_walk_right"), 1.0f, m_direction);
    m_chased->shadow = shadow;
    m_poacher = addRunner("sprites:LoadScreen/poacher_run", 1.0f, m_direction);
    m_poacher->second = sprite_loadByName(&m_images, "sprites:LoadScreen/poacher_shoot");
    m_poacher->shadow = findShadow("shadow_poacher");

    const uint8_t back = m_direction ? 0 : 1;
    for (int i = 0; i < kYoungCount; ++i) {
        auto young = addRunner(animation(k, "child_walk_right"), 0.0f, back);
        young->shadow = shadow;
        m_runners.push_back(std::move(young));
    }
    m_state = 0;
}

void cPoacherShoot::update(float dt)
{
    const uint8_t back = m_direction ? 0 : 1;
    switch (m_state) {
    case 0:
        move(*m_chased, kAnimalSpeed * m_chased->speedFactor * dt, m_direction);
        move(*m_poacher, kPoacherSpeed * m_poacher->speedFactor * dt, m_direction);
        m_chased->walk->update(m_chased->speedFactor * dt);
        m_poacher->walk->update(m_poacher->speedFactor * dt);
        m_chased->draw();
        m_poacher->draw();
        if (m_direction ? m_poacher->position.x <= kMiddle : m_poacher->position.x >= kMiddle) {
            m_state = 1;
            m_poacher->showSecond = true;
            if (m_poacher->second)
                m_poacher->second->play();
        }
        break;
    case 1: {
        move(*m_chased, kAnimalSpeed * m_chased->speedFactor * dt, m_direction);
        m_chased->walk->update(m_chased->speedFactor * dt);
        m_chased->draw();
        if (aAdvAnim* shoot = m_poacher->second.get()) {
            shoot->update(dt);
            if (!shoot->isPlaying())
                shoot->play();
        }
        m_poacher->draw();
        if (isPastFarEdge(*m_chased, m_direction)) {
            m_chased->active = false;
            m_poacher->mirrored = !m_poacher->mirrored;
            m_poacher->showSecond = false;
            m_state = 2;
        }
        break;
    }
    case 2: {
        move(*m_poacher, kPoacherBackSpeed * m_poacher->speedFactor * dt, back);
        m_poacher->walk->update(m_poacher->speedFactor * dt);
        m_poacher->draw();
        bool anyActive = false;
        for (const auto& runner : m_runners) {
            if (!runner->active)
                continue;
            move(*runner, kAnimalSpeed * runner->speedFactor * dt, back);
            runner->walk->update(runner->speedFactor * dt);
            runner->draw();
            if (isPastFarEdge(*runner, back))
                runner->active = false;
            else
                anyActive = true;
        }
        if (!anyActive)
            m_state = STATE_FINISHED;
        break;
    }
    default:
        break;
    }
}
