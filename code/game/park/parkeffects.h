// Particle effects and sound copies of the park's creatures and objects,
// through the game's managers. A missing template or sound is logged once
// per name for the whole run, never once a frame. Main thread (the sound
// copies also on the loading thread while a level is built).
#pragma once

#include <cstdint>
#include <string>

class aParticleSystem;
class aSound;

// A new live effect of the named template, or null (logged once per name)
// without the template or without a particle manager.
aParticleSystem* park_startEffect(const std::string& name, float x, float y, int32_t layer, bool removeWhenFinished,
                                  bool restart);
// Removes a live effect of the game's particle manager (null is ignored).
void park_removeEffect(aParticleSystem* effect);
// The number that finds a live effect again (0 for none), for holders of an
// effect the manager removes on its own once it is finished; the effect of
// such a number, null once it is gone.
uint64_t park_effectId(const aParticleSystem* effect);
aParticleSystem* park_findEffect(uint64_t id);
// Advances or draws one particle layer of the game's particle manager.
void park_updateEffectLayer(int32_t layer, float dt);
void park_renderEffectLayer(int32_t layer);

// An own copy of the named sound of a list; null, silently, when there is none.
aSound* park_cloneSound(const std::string& name, const std::string& listName);
void park_releaseSound(aSound*& copy);
// Plays a one-shot sound unless it is null or already playing.
void park_playOnce(aSound* sound, bool loop = false);
