#include "game/park/parkeffects.h"

#include <set>

#include "game/app/game.h"
#include "orvo/gfx/a_particlesmanager.h"
#include "orvo/sound/a_sound.h"
#include "orvo/sound/a_soundmanager.h"
#include "orvo/util/a_log.h"

namespace {

aParticlesManager* particles()
{
    cGame* game = cGame::get();
    return game ? game->getParticles() : nullptr;
}

aSoundManager* soundManager()
{
    cGame* game = cGame::get();
    return game ? game->getSoundManager() : nullptr;
}

} // namespace

aParticleSystem* park_startEffect(const std::string& name, float x, float y, int32_t layer, bool removeWhenFinished,
                                  bool restart)
{
    aParticlesManager* manager = particles();
    if (!manager)
        return nullptr;
    if (!manager->getTemplate(name)) {
        // NOTE: effects start every frame in some states; one line per name is enough.
        static std::set<std::string> logged;
        if (logged.insert(name).second)
            a_log("Park. No particle effect \"%s\"; it is left out", name.c_str());
        return nullptr;
    }
    return manager->Add(name, x, y, layer, removeWhenFinished, restart);
}

void park_removeEffect(aParticleSystem* effect)
{
    if (aParticlesManager* manager = particles(); manager && effect)
        manager->remove(effect);
}

uint64_t park_effectId(const aParticleSystem* effect)
{
    aParticlesManager* manager = particles();
    return manager && effect ? manager->idOf(effect) : 0;
}

aParticleSystem* park_findEffect(uint64_t id)
{
    aParticlesManager* manager = particles();
    return manager ? manager->findLive(id) : nullptr;
}

void park_updateEffectLayer(int32_t layer, float dt)
{
    if (aParticlesManager* manager = particles())
        manager->updateLayers(dt, layer);
}

void park_renderEffectLayer(int32_t layer)
{
    if (aParticlesManager* manager = particles())
        manager->renderLayers(layer);
}

aSound* park_cloneSound(const std::string& name, const std::string& listName)
{
    aSoundManager* sounds = soundManager();
    if (!sounds || !sounds->hasSound(name, listName))
        return nullptr;
    return sounds->cloneSound(sounds->getSound(name, listName));
}

void park_releaseSound(aSound*& copy)
{
    if (!copy)
        return;
    copy->stop();
    if (aSoundManager* sounds = soundManager())
        sounds->releaseClone(copy);
    copy = nullptr;
}

void park_playOnce(aSound* sound, bool loop)
{
    if (sound && !sound->isPlaying())
        sound->play(loop, -1.0f, -2.0f);
}
