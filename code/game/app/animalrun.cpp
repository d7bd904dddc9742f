#include "game/app/animalrun.h"

#include <algorithm>
#include <string>

#include "game/app/spriteloader.h"
#include "orvo/gfx/a_advanim.h"
#include "orvo/util/a_random.h"

namespace {

constexpr float kMiddle = 512.0f;

const cAnimalRun::Variant kVariants[cAnimalRun::VARIANT_COUNT] = {
    {"warthog", "adult_idle_02_down_right", "warthog", "child_walk_right", "shadow_warthog", 75.0f, 5},
    {"zebra", "adult_idle_02_down_right", "zebra", "child_walk_right", "shadow_zebra", 75.0f, 5},
    {"hippo", "adult_idle_01_down_right", "hippo", "child_walk_right", "shadow_hippo", 70.0f, 4},
    {"rhino", "adult_idle_02_down_right", "rhino", "child_walk_right", "shadow_rhino", 75.0f, 4},
    {"lion", "adult_idle_02_down_right", "lion", "child_walk_right", "shadow_lion", 80.0f, 4},
    {"cheetah", "adult_idle_02_down_right", "cheetah", "child_walk_right", "shadow_cheetah", 80.0f, 4},
    {"zebra", "adult_idle_02_down_right", "lion", "adult_walk_right", "shadow_zebra", 80.0f, 1},
    {"warthog", "adult_idle_02_down_right", "cheetah", "adult_walk_right", "shadow_warthog", 80.0f, 1},
};

} // namespace

const cAnimalRun::Variant& cAnimalRun::variant(int index)
{
    return kVariants[index & (VARIANT_COUNT - 1)];
}

cAnimalRun::cAnimalRun(aImageManager* shared) : cLoadingScenario(shared) {}

cAnimalRun::~cAnimalRun() = default;

void cAnimalRun::init()
{
    initVariant(a_rand() & 7);
}

void cAnimalRun::initVariant(int index)
{
    const Variant& v = variant(index);
    m_speed = v.speed;
    aImage* shadow = findShadow(v.shadow);

    m_lead = addRunner(animation(v.leadKind, "adult_walk_right"), 1.0f, m_direction);
    m_lead->second = sprite_loadByName(&m_images, animation(v.leadKind, v.leadIdle));
    m_lead->shadow = shadow;

    for (int i = 0; i < v.youngCount; ++i) {
        auto young = addRunner(animation(v.youngKind, v.youngWalk), 0.0f, m_direction);
        young->shadow = shadow;
        m_runners.push_back(std::move(young));
    }
    if (m_runners.size() == 1)
        m_runners.front()->position.y = m_lead->position.y + 20.0f;
    std::stable_sort(m_runners.begin(), m_runners.end(),
                     [](const auto& a, const auto& b) { return a->position.y < b->position.y; });
    m_state = 0;
}

void cAnimalRun::update(float dt)
{
    switch (m_state) {
    case 0: {
        if (!m_lead) {
            m_state = 2;
            break;
        }
        const float step = m_lead->speedFactor * dt * m_speed;
        move(*m_lead, step, m_direction);
        if (m_direction ? m_lead->position.x <= kMiddle : m_lead->position.x >= kMiddle) {
            m_state = 1;
            m_lead->showSecond = true;
            if (m_lead->second)
                m_lead->second->play();
        }
        m_lead->walk->update(m_lead->speedFactor * dt);
        m_lead->draw();
        break;
    }
    case 1: {
        aAdvAnim* idle = m_lead->second.get();
        if (idle)
            idle->update(dt);
        m_lead->draw();
        if (!idle || !idle->isPlaying()) {
            m_lead.reset();
            m_state = 2;
        }
        break;
    }
    case 2: {
        bool anyActive = false;
        for (const auto& runner : m_runners) {
            if (!runner->active)
                continue;
            move(*runner, runner->speedFactor * dt * m_speed, m_direction);
            runner->walk->update(runner->speedFactor * dt);
            runner->draw();
            if (isPastFarEdge(*runner, m_direction))
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
