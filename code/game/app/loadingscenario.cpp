#include "game/app/loadingscenario.h"

#include "game/app/runninganimal.h"
#include "game/app/spriteloader.h"
#include "orvo/gfx/a_advanim.h"
#include "orvo/util/a_log.h"
#include "orvo/util/a_random.h"

namespace {

constexpr float kScreenWidth = 1024.0f;
constexpr int kPlacementTries = 99;
constexpr float kMinDistanceSq = 10000.0f;

} // namespace

cLoadingScenario::cLoadingScenario(aImageManager* shared) : m_shared(shared)
{
    m_direction = static_cast<uint8_t>(a_rand() & 1);
}

cLoadingScenario::~cLoadingScenario() = default;

aImage* cLoadingScenario::findShadow(const std::string& name) const
{
    if (!m_shared) {
        a_log("cLoadingScenario. No image manager for the shadow \"%s\"", name.c_str());
        return nullptr;
    }
    return m_shared->getImage(name);
}

std::unique_ptr<cRunningAnimal> cLoadingScenario::addRunner(const std::string& path, float scale, uint8_t direction)
{
    auto runner = std::make_unique<cRunningAnimal>();
    runner->walk = sprite_loadByName(&m_images, path);
    runner->walk->play();
    // Out of step with the others.
    runner->walk->update(static_cast<float>(a_rand()) / A_RAND_MAX);
    runner->width = static_cast<uint16_t>(runner->walk->getWidth());
    runner->height = static_cast<uint16_t>(runner->walk->getHeight());

    runner->scale = scale > 0.0f ? scale : 1.0f + a_rand() * 0.100000024f / A_RAND_MAX;
    runner->speedFactor = 2.0f + static_cast<float>(a_rand() * 0.40000009536743164 / A_RAND_MAX);
    runner->mirrored = direction != 0;

    const float w = runner->drawnWidth();
    for (int attempt = 0; attempt < kPlacementTries; ++attempt) {
        const float y = 470.0f + (a_rand() % 6) * runner->drawnHeight() * 0.25f;
        float x = scale > 0.0f ? -w : -(a_rand() % 3 + 1) * w;
        if (direction)
            x = kScreenWidth - x;
        runner->position = aVector2(x, y);
        bool apart = true;
        for (const auto& other : m_runners) {
            const float dx = other->position.x - x;
            const float dy = other->position.y - y;
            if (dx * dx + dy * dy < kMinDistanceSq) {
                apart = false;
                break;
            }
        }
        if (apart)
            break;
    }
    return runner;
}

void cLoadingScenario::move(cRunningAnimal& runner, float pixels, uint8_t direction)
{
    runner.position.x += direction ? -pixels : pixels;
}

bool cLoadingScenario::isPastFarEdge(const cRunningAnimal& runner, uint8_t direction)
{
    return direction ? runner.position.x < -runner.drawnWidth() : runner.position.x > kScreenWidth + runner.drawnWidth();
}

std::string cLoadingScenario::animation(const char* kind, const char* name)
{
    return std::string("animals:") + kind + "/animations/" + name;
}
