// cLevel: the scene's drawing and the scenery's frame step.
#include <algorithm>

#include "game/app/game.h"
#include "game/app/gamestate.h"
#include "game/park/animal.h"
#include "game/park/bonus.h"
#include "game/park/clouds.h"
#include "game/park/food.h"
#include "game/park/level.h"
#include "game/park/poacher.h"
#include "game/park/water.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_particlesmanager.h"

namespace {

template <typename Element> void drawSorted(std::vector<Element*>& elements)
{
    std::sort(elements.begin(), elements.end(), compareDepth);
    for (cDrawElement* element : elements)
        element->draw();
}

// The clouds stand still while a window is open over the scene.
float cloudStep(const cGame* game)
{
    if (!game)
        return 0.0f;
    const cGameState* state = game->getCurrentState();
    return state && state->getModalCount() > 0 ? 0.0f : game->getFrameTime();
}

} // namespace

void cLevel::draw()
{
    cGame* game = cGame::get();
    aGraphServer* graph = game ? game->getGraphServer() : nullptr;
    aParticlesManager* particles = game ? game->getParticles() : nullptr;

    if (g_levelBackground) {
        const bool linear = graph && graph->getTextureFilter();
        if (graph)
            graph->setTextureFilter(false);
        g_levelBackground->drawAt(0, 0);
        if (graph)
            graph->setTextureFilter(linear);
    }
    if (water) {
        water->drawSurface();
        if (particles)
            particles->renderLayers(2);
    }
    cAnimal::drawShadows(animals);
    cPoacher::drawShadows(poachers);
    cClouds::draw(cloudStep(game));
    drawSorted(foods);
    drawSorted(entities);
    for (cDrawElement* creature : g_drawList)
        creature->draw();
    g_drawList.clear();
    drawSorted(bonuses);
    for (const cButterfly& butterfly : butterflies)
        butterfly.draw();
}

void cLevel::drawOverlays()
{
    for (cAnimal* animal : animals)
        animal->drawInfoPanel();
    for (cPoacher* poacher : poachers)
        poacher->drawGui();
}

void cLevel::updateScenery(float dt)
{
    for (cDrawElement* entity : entities)
        entity->update(dt);
    updateWaterAndButterflies(dt);
}

void cLevel::updateWaterAndButterflies(float dt)
{
    if (water)
        water->advance(dt);
    for (cButterfly& butterfly : butterflies)
        butterfly.update(dt);
}
