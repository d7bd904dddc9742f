// cAnimal: creation, the pool, the frame step with its living, life and
// death steps, states, sounds and effects.
#include "game/park/animal.h"

#include <algorithm>
#include <set>

#include "game/app/game.h"
#include "game/app/spriteregistry.h"
#include "game/app/tutorialflag.h"
#include "game/park/food.h"
#include "game/park/level.h"
#include "game/park/parkeffects.h"
#include "orvo/gfx/a_advanim.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_particlesystem.h"
#include "orvo/sound/a_sound.h"
#include "orvo/util/a_log.h"
#include "orvo/util/a_random.h"

namespace {

constexpr const char* kSoundNames[cAnimal::SND_COUNT] = {
    "appear", "grown",      "ready_to_sell", "disappear",     "hunger", "walk",      "produce",
    "eat",    "child_idle", "adult_idle_01", "adult_idle_02", "sick",   "easter_egg"};

// Counts read from the game's settings; safe values without a game.
const cSettings& settings()
{
    static const cSettings kDefaults;
    cGame* game = cGame::get();
    return game ? game->settings() : kDefaults;
}

// The "mouse" sprite of the registry (its two halves are two frames); null without it.
aImage* mouseImage()
{
    cGame* game = cGame::get();
    const cSpriteEntry* entry = game ? game->spriteRegistry().findSprite("mouse") : nullptr;
    return entry ? entry->image.get() : nullptr;
}

std::string withExtension(const std::string& path, const char* ext)
{
    const size_t slash = path.find_last_of("/\\:");
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return path + "." + ext;
    return path.substr(0, dot + 1) + ext;
}

} // namespace

int32_t bonusTypeForValue(int32_t value)
{
    if (value <= 25)
        return 0;
    if (value <= 50)
        return 1;
    if (value <= 75)
        return 2;
    return 3;
}

cAnimal::cAnimal(cAnimalKind* k) : kind(k)
{
    effectLayer = s_effectLayers++ + 10;
    loadSounds();
    loadAnimations();
}

cAnimal::~cAnimal()
{
    releaseSounds();
}

void cAnimal::loadSounds()
{
    cGame* game = cGame::get();
    const bool haveSounds = game && game->getSoundManager();
    for (int i = 0; i < SND_COUNT; ++i) {
        sounds[i] = park_cloneSound(kSoundNames[i], kind->name);
        // NOTE: animals are made all the time; a sound the kind lacks is told once.
        static std::set<std::string> told;
        if (!sounds[i] && haveSounds && told.insert(kind->name + ":" + kSoundNames[i]).second)
            a_log("cAnimal. Kind \"%s\" has no sound \"%s\"", kind->name.c_str(), kSoundNames[i]);
    }
}

void cAnimal::releaseSounds()
{
    for (aSound*& sound : sounds)
        park_releaseSound(sound);
}

void cAnimal::loadAnimations()
{
    for (int s = 0; s < cAnimalKind::kStates; ++s) {
        for (int d = 0; d < cAnimalKind::kDirections; ++d) {
            for (bool isChild : {true, false}) {
                aImage* sheet = isChild ? kind->childAnims[s][d] : kind->adultAnims[s][d];
                if (!sheet)
                    continue;
                auto anim = std::make_unique<aAdvAnim>();
                if (!anim->Load(withExtension(sheet->getFileName(), "ini"), imageManager(), kind->name))
                    continue;
                anim->play();
                (isChild ? childAnims : adultAnims)[s][d] = std::move(anim);
            }
        }
    }
}

void cAnimal::initialise()
{
    health = kind->maxHealth;
    direction = DOWN;
    mirrored = false;
    state = 0;
    clickAsked = false;
    hunger = 0.0f;
    hovered = false;
    hoverAlpha = 0.0f;
    level = nullptr;
    obstacles = nullptr;
    presence = 2.0f;
    child = true;
    sick = false;
    freeRunning = true;
    held = false;
    foodTarget = nullptr;
    foodSide = foodRetries = 0;
    ageOrProduced = reproduceTimer = produceTimer = clickTextTime = walkTime = 0.0f;
    productionClicks = idleLoops = eggClicks = tag = 0;
    eggClickWindow = immunity = 0.0f;
    sickCheckTimer = kSickCheckSeconds;
    baseSpeed = 1.0f;
    actionTime = actionDuration = 0.0f;
    highlight = 0xFFFFFFFF;
    soundsPaused = false;
    stateEffect = waterEffect = nullptr;
    indicator = cStatusIndicator();
    m_dying = false;
    m_vanished = false;
    m_noPlaceLogged = false;
}

cAnimal* cAnimal::create(bool adult, cAnimalKind* kind)
{
    if (!kind)
        return nullptr;
    if (s_pool.empty())
        s_pool.reserve(32);
    cAnimal* animal = nullptr;
    const auto pooled = std::find_if(s_pool.begin(), s_pool.end(), [kind](cAnimal* a) { return a->kind == kind; });
    if (pooled != s_pool.end()) {
        animal = *pooled;
        s_pool.erase(pooled);
        animal->reset(true);
        // NOTE: release gave the sounds back; a reused animal needs its own again.
        if (std::none_of(std::begin(animal->sounds), std::end(animal->sounds), [](aSound* s) { return s; }))
            animal->loadSounds();
    } else {
        animal = new cAnimal(kind);
    }
    animal->initialise();
    animal->active = true;
    animal->child = !adult;

    if (!animal->currentAnimation()) {
        for (int s = 1; s < cAnimalKind::kStates && !animal->currentAnimation(); ++s)
            animal->state = s;
        if (!animal->currentAnimation()) {
            a_log("Create animal failed. (%s)", kind->name.c_str());
            animal->release();
            return nullptr;
        }
    }
    if (animal->child) {
        animal->offset = aVector2(0.0f, static_cast<float>(kind->childVertOffset));
        animal->baseScale = kind->childBaseScale;
        animal->recomputeSize();
    } else {
        animal->makeGrown(false);
    }
    animal->drawPace();
    return animal;
}

void cAnimal::drawPace()
{
    pace = kind->randomFactor * a_randFloat(0.0f, 1.0f) + (1.0f - kind->randomFactor);
}

void cAnimal::recomputeSize()
{
    if (const aAdvAnim* anim = currentAnimation()) {
        width = static_cast<uint16_t>(anim->getWidth());
        height = static_cast<uint16_t>(anim->getHeight());
    }
    setPosition(anchor);
}

void cAnimal::setLevel(cLevel* l)
{
    level = l;
    obstacles = l ? &l->obstacles : nullptr;
}

aAdvAnim* cAnimal::currentAnimation() const
{
    if (state < 0 || state >= cAnimalKind::kStates || direction >= cAnimalKind::kDirections)
        return nullptr;
    return (child ? childAnims : adultAnims)[state][direction].get();
}

bool cAnimal::animationFinished() const
{
    // A state without an animation counts as played, so nothing waits on it forever.
    const aAdvAnim* anim = currentAnimation();
    return !anim || !anim->isPlaying();
}

void cAnimal::restartAnimation()
{
    if (aAdvAnim* anim = currentAnimation())
        anim->play();
}

bool cAnimal::isOld() const
{
    return !child && static_cast<int32_t>(ageOrProduced) >= kind->numOfProducing;
}

bool cAnimal::isHungry() const
{
    return isLiving() && hunger > kind->criticalHungerLevel && !foodTarget && state >= 2;
}

void cAnimal::playSound(int which, bool loop)
{
    park_playOnce(sounds[which], loop);
}

void cAnimal::stopSound(int which)
{
    if (sounds[which])
        sounds[which]->stop();
}

void cAnimal::setState(int32_t s)
{
    if (s == state)
        return;
    if (state == cAnimalKind::PRODUCE)
        --s_producing;
    if (s == cAnimalKind::PRODUCE)
        ++s_producing;
    path.clear();
    stopStateEffect();
    state = s;
    for (auto& anim : (child ? childAnims : adultAnims)[s])
        if (anim)
            anim->play();
    if (s == cAnimalKind::IDLE_01 || s == cAnimalKind::IDLE_02)
        drawPace();
    stopSound(SND_WALK);
    stopSound(SND_PRODUCE);
    stopSound(SND_EAT);
    switch (s) {
    case cAnimalKind::IDLE_01:
        playSound(child ? SND_CHILD_IDLE : SND_ADULT_IDLE_01);
        break;
    case cAnimalKind::IDLE_02:
        playSound(SND_ADULT_IDLE_02);
        break;
    case cAnimalKind::PRODUCE:
        playSound(SND_PRODUCE, true);
        break;
    case cAnimalKind::EAT:
        playSound(SND_EAT, true);
        break;
    case cAnimalKind::DEATH:
        playSound(SND_DISAPPEAR);
        break;
    case cAnimalKind::WALK:
        playSound(SND_WALK, true);
        break;
    default:
        break;
    }
}

void cAnimal::setDirection(const aVector2& dir)
{
    float a = dir.angleDeg() + 22.5f;
    if (a < 0.0f)
        a += 360.0f;
    const int o = static_cast<int>(a / 45.0f);
    mirrored = o > 4;
    direction = static_cast<uint16_t>(std::clamp(mirrored ? 8 - o : o, 0, 4));
}

bool cAnimal::canStandAt(const aVector2& p)
{
    if (!level)
        return true;
    return level->canStandAt(kind->foodType, static_cast<int32_t>(width * scale), static_cast<int32_t>(p.x),
                             static_cast<int32_t>(p.y), kind->liveInWater);
}

void cAnimal::update(float dt)
{
    if (m_vanished)
        return;
    float f = baseSpeed;
    if (health > 0.0f && presence > 0.0f && hunger > kind->criticalHungerLevel)
        f *= 1.5f;
    if (sick)
        f *= 0.8f;
    if (path.empty()) {
        if (aAdvAnim* anim = currentAnimation())
            anim->update(dt * f);
    } else {
        step(kind->moveSpeed * dt * f);
        for (auto& anim : (child ? childAnims : adultAnims)[cAnimalKind::WALK])
            if (anim)
                anim->update(dt * f);
    }

    if (dt > 0.0f) {
        if (!freeRunning) {
            if (held && animationFinished()) {
                actionTime += dt;
                if (actionTime > actionDuration)
                    chooseNextAction();
            }
            // NOTE: only sickness ends a hold in death; an animal sold has no
            // health either, and it waits for the helicopter to take it.
            if (sick) {
                health = std::max(0.0f, health - (100.0f - kind->endurance) * dt * 0.1f);
                if (health <= 0.0f || presence <= 0.0f)
                    freeRunning = true;
            }
        } else if (health <= 0.0f || presence <= 0.0f) {
            deathStep(dt);
        } else {
            livingStep(dt);
        }
    }

    effectsStep(dt);
    hoverAlpha = std::clamp(hoverAlpha + (hovered ? 10.0f : -10.0f) * dt, 0.0f, 1.0f);
    clickTextTime += dt;
    chooseIndicator();
    indicator.update(dt);

    if (dt == 0.0f) {
        if (!soundsPaused) {
            for (aSound* sound : sounds)
                if (sound && sound->isPlaying())
                    sound->pause(true);
            soundsPaused = true;
        }
    } else if (soundsPaused) {
        for (aSound* sound : sounds)
            if (sound && sound->isPaused())
                sound->pause(false);
        soundsPaused = false;
    }
    if (dt > 0.0f && isHungry())
        playSound(SND_HUNGER);

    if (eggClickWindow > 0.0f) {
        eggClickWindow -= dt;
        if (eggClickWindow <= 0.0f)
            eggClicks = 0, eggClickWindow = 0.0f;
    }
}

void cAnimal::livingStep(float dt)
{
    if (presence < 2.0f) {
        presence = std::min(2.0f, presence + dt);
        return;
    }
    lifeStep(dt);
    if (state == cAnimalKind::PRODUCE)
        return;

    const bool hungry = hunger > kind->criticalHungerLevel;
    if ((hungry || foodTarget) && (state >= 2 || animationFinished())) {
        if (foodRetries < kMaxFoodRetries && foodTarget && foodTarget->eaters > 1) {
            cFood* old = foodTarget;
            --old->eaters;
            cFood* found = findFoodTarget();
            if (!found || found == old || found->eaters == old->eaters + 1) {
                ++old->eaters;
            } else {
                foodTarget = nullptr;
                goToFood(found);
                ++foodRetries;
            }
        }
        if (!foodTarget) {
            if (cFood* found = findFoodTarget())
                goToFood(found);
            else if (path.empty())
                walkToRandomPlace();
        } else if (state != cAnimalKind::EAT) {
            if (!foodTarget->isPresent()) {
                leaveFood();
            } else if (path.empty()) {
                setState(cAnimalKind::EAT);
                mirrored = foodSide > 4;
                direction = static_cast<uint16_t>(foodSide > 4 ? 8 - foodSide : foodSide);
            }
        }
        return;
    }
    if (state == cAnimalKind::IDLE_01 || state == cAnimalKind::IDLE_02) {
        if (animationFinished()) {
            if (idleLoops > 0)
                --idleLoops;
            if (idleLoops > 0) {
                restartAnimation();
            } else {
                actionTime += dt;
                if (actionTime > actionDuration)
                    walkToRandomPlace();
            }
        }
    } else if (state == cAnimalKind::WALK && path.empty()) {
        if (walkTime > kind->timeBetweenIdles)
            chooseNextAction();
        else
            walkToRandomPlace();
    }
}

void cAnimal::lifeStep(float dt)
{
    const float d = state == cAnimalKind::PRODUCE ? dt : dt * pace;
    const float critical = kind->criticalHungerLevel;

    if (!child && reproduceTimer >= kind->reproduceTime) {
        // NOTE: checked after the step too, so a ProduceTime of 0 still ends.
        if (produceTimer < kind->produceTime)
            produceTimer += d;
        if (produceTimer >= kind->produceTime)
            finishProducing();
    } else {
        if (state == cAnimalKind::WALK && hunger <= critical)
            walkTime += d;
        if (!foodTarget) {
            bool mayHunger = hunger <= critical;
            if (!mayHunger) {
                const cSettings& s = settings();
                const int32_t poachers = level ? static_cast<int32_t>(level->poachers.size()) : 0;
                mayHunger = poachers < s.poachersCount && s_producing < s.producingAnimalsCount;
            }
            if (mayHunger)
                hunger = std::min(100.0f, hunger + kind->foodNeed * d);
        } else if (state == cAnimalKind::EAT) {
            eatingStep(d);
        }

        if (hunger >= 100.0f) {
            if (!foodTarget)
                health = std::max(0.0f, health - (100.0f - kind->endurance) * d);
        } else {
            health = std::min(kind->maxHealth, health + kind->endurance * d);
        }

        if (!child) {
            reproduceTimer += d;
            if (reproduceTimer >= kind->reproduceTime) {
                const bool allowed = s_producing < settings().maxProducingCount && !path.empty() &&
                                     hunger <= critical && direction >= 2 && (!level || level->eventAllowed(1));
                if (allowed) {
                    leaveFood();
                    setState(cAnimalKind::PRODUCE);
                    produceTimer = 0.0f;
                } else {
                    reproduceTimer = kind->reproduceTime - 1.0f;
                }
            }
        }

        immunity = std::max(0.0f, immunity - d);
        if (immunity == 0.0f && hunger <= critical && !path.empty() && !isOld() && level) {
            sickCheckTimer -= d;
            if (sickCheckTimer <= 0.0f) {
                if (a_rand() % 100 < level->animalsSickPossibility)
                    getSick();
                sickCheckTimer = kSickCheckSeconds;
            }
        }
    }

    if (child && ageOrProduced > kind->childAge && isLiving())
        makeGrown(true);
}

void cAnimal::eatingStep(float d)
{
    if (hunger == 0.0f || !foodTarget->isPresent()) {
        foodRetries = 0;
        leaveFood();
        if (a_rand() & 1)
            chooseNextAction();
        else
            walkToRandomPlace();
        return;
    }
    const float e = kind->foodEating * d;
    hunger = std::max(0.0f, hunger - e);
    if (child) {
        ageOrProduced += e;
        if (kind->childAge > 0.0f)
            baseScale = ageOrProduced / kind->childAge * 0.2f + kind->childBaseScale;
        updateScale();
    }
    foodTarget->consume(e);
}

void cAnimal::deathStep(float dt)
{
    if (!m_dying) {
        m_dying = true;
        setState(cAnimalKind::DEATH);
        leaveFood();
        sick = false;
        restartAnimation();
        presence = 2.0f;
        clearEffects();
        if (level)
            level->forgetAnimal(this);
    }
    if (!animationFinished())
        return;
    if (presence == 2.0f) {
        playEffect("DISAPPEAR_01", centre.x - anchor.x, centre.y - anchor.y);
        playEffect("DISAPPEAR_02", centre.x - anchor.x, centre.y - anchor.y);
    }
    presence -= dt;
    if (presence <= 0.0f && level)
        level->checkLost();
}

void cAnimal::leaveFood()
{
    if (!foodTarget)
        return;
    --foodTarget->eaters;
    foodTarget = nullptr;
}

void cAnimal::stopStateEffect()
{
    park_removeEffect(stateEffect);
    stateEffect = nullptr;
}

aParticleSystem* cAnimal::playEffect(const std::string& name, float dx, float dy, bool restart)
{
    aParticleSystem* effect = park_startEffect(name, anchor.x + dx, anchor.y + dy, effectLayer, false, true);
    if (effect)
        attachedEffects.push_back({effect, dx, dy, restart});
    return effect;
}

void cAnimal::clearEffects()
{
    for (AttachedEffect& e : attachedEffects)
        park_removeEffect(e.effect);
    attachedEffects.clear();
}

bool cAnimal::hasActiveEffects() const
{
    return std::any_of(attachedEffects.begin(), attachedEffects.end(),
                       [](const AttachedEffect& e) { return !e.effect->isDone(); });
}

void cAnimal::effectsStep(float dt)
{
    if (!stateEffect && state == cAnimalKind::PRODUCE)
        stateEffect = park_startEffect("PRODUCE_COIN", centre.x, centre.y, effectLayer, false, true);

    const aVector2 w(anchor.x, anchor.y - height * scale * 0.2f);
    if (level && !path.empty() && level->waterAt(static_cast<int32_t>(w.x), static_cast<int32_t>(w.y))) {
        if (!waterEffect)
            waterEffect = park_startEffect("WATER_WAVE", w.x, w.y, 2, false, true);
        else if (waterEffect->isFinished())
            waterEffect->restartAt(w.x, w.y);
        else
            waterEffect->setPosition(w.x, w.y);
    } else if (waterEffect && !waterEffect->isFinished()) {
        waterEffect->stop();
    }

    park_updateEffectLayer(effectLayer, dt);
    for (size_t i = 0; i < attachedEffects.size();) {
        AttachedEffect& e = attachedEffects[i];
        if (e.effect->isDone()) {
            park_removeEffect(e.effect);
            attachedEffects.erase(attachedEffects.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        e.effect->moveTo(anchor.x + e.dx, anchor.y + e.dy);
        ++i;
    }
}

void cAnimal::chooseIndicator()
{
    if (isHungry())
        indicator.show(kind->foodType == 0 ? &kGrassIcon : &kMeatIcon, 1);
    else if (isLiving() && sick)
        indicator.show(&kSickIcon, 1);
    else if (held)
        indicator.show(&kHeldIcon, 1);
    else if (aImage* mouse = clickAsked && state == cAnimalKind::PRODUCE && tutorial_isRunning() ? mouseImage() : nullptr) {
        const int16_t half = static_cast<int16_t>(mouse->getWidth() / 2);
        const aRect frames[2] = {aRect(0, 0, half, static_cast<int16_t>(mouse->getHeight())),
                                 aRect(half, 0, half, static_cast<int16_t>(mouse->getHeight()))};
        indicator.show(frames, 2, 0.2f, mouse);
    } else
        indicator.hide();
    const aRect& r = getScreenRect();
    indicator.x = static_cast<int16_t>(r.x + r.width / 2);
    indicator.y = static_cast<int16_t>(r.y + r.height / 3);
}

void cAnimal::release()
{
    if (!active)
        return;
    if (state == cAnimalKind::PRODUCE) {
        --s_producing;
        state = 0;
    }
    leaveFood();
    stopStateEffect();
    park_removeEffect(waterEffect);
    waterEffect = nullptr;
    clearEffects();
    releaseSounds();
    indicator = cStatusIndicator();
    if (level)
        level->forgetAnimal(this);
    s_pool.push_back(this);
    active = false;
}

void cAnimal::vanish()
{
    health = 0.0f;
    presence = -1.1920929e-7f;
    m_vanished = true;
}

void cAnimal::walkTo(const aVector2& p)
{
    setState(cAnimalKind::WALK);
    moveTo(p);
}

void cAnimal::hold()
{
    if (held)
        return;
    path.clear();
    freeRunning = false;
    held = true;
    chooseNextAction();
}

void cAnimal::onProductionClick()
{
    ++productionClicks;
    clickTextTime = 0.0f;
    playEffect("STRIKE", centre.x - anchor.x, centre.y - anchor.y);
}

void cAnimal::onEasterEggClick()
{
    ++eggClicks;
    eggClickWindow = 1.0f;
    if (eggClicks >= settings().easterEggClickCount) {
        playSound(SND_EASTER_EGG);
        eggClicks = 0;
    }
}

void cAnimal::feed()
{
    if (child) {
        ageOrProduced += hunger;
        if (kind->childAge > 0.0f)
            baseScale = ageOrProduced / kind->childAge * 0.2f + kind->childBaseScale;
        updateScale();
    }
    hunger = 0.0f;
    playEffect("FEED", centre.x - anchor.x, centre.y - anchor.y);
}
