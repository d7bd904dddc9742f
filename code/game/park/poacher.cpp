// cPoacher: creation, the pool, appearing, hunting, shooting, being hit,
// the reward, vanishing and drawing.
#include "game/park/poacher.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "game/app/game.h"
#include "game/park/animal.h"
#include "game/park/bonus.h"
#include "game/park/level.h"
#include "game/park/parkeffects.h"
#include "game/park/parkupgrades.h"
#include "game/park/shadow.h"
#include "game/screens/awardprogress.h"
#include "orvo/gfx/a_advanim.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_particlesystem.h"
#include "orvo/sound/a_sound.h"
#include "orvo/util/a_random.h"

aImageManager* poacherImages();

std::vector<cPoacher*>& poacherPool()
{
    static std::vector<cPoacher*> pool;
    return pool;
}

namespace {

constexpr const char* kSoundNames[cPoacher::SND_COUNT] = {"appear", "hit_01", "hit_02", "disappear", "shoot", "walk"};

std::string withIniExtension(const std::string& path)
{
    const size_t slash = path.find_last_of("/\\:");
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return path + ".ini";
    return path.substr(0, dot) + ".ini";
}

bool living(const cAnimal* a)
{
    return a && a->health > 0.0f && a->presence > 0.0f;
}

} // namespace

cPoacher::cPoacher(cPoacherKind* k) : kind(k)
{
    resetFields();
}

cPoacher::~cPoacher()
{
    releaseSounds();
    park_removeEffect(park_findEffect(waterEffect));
}

size_t cPoacher::pooledCount()
{
    return poacherPool().size();
}

void cPoacher::preallocate(size_t n)
{
    // NOTE: filled up to n, not by n: every level load asks again, and the
    // pool only empties when the level's kinds go.
    auto& pool = poacherPool();
    if (pool.size() >= n)
        return;
    pool.reserve(n);
    while (pool.size() < n)
        pool.push_back(new cPoacher(nullptr));
}

void cPoacher::resetFields()
{
    fade = std::numeric_limits<float>::min();
    target = nullptr;
    state = WALK;
    direction = 0;
    hovered = false;
    level = nullptr;
    obstacles = nullptr;
    area = 2;
    kills = 0;
    health = kind ? kind->maxHealth : 0.0f;
    glow = 0.0f;
    shotClock = 0.0f;
    shotDone = false;
    soundsPaused = false;
    mirrored = false;
    frameWidth = frameHeight = 0;
    indicator = cStatusIndicator();
    indicator.colour = kIndicatorColour;
    releaseSounds();
    loadSounds();
    refinePath = false;
}

void cPoacher::loadSounds()
{
    if (!kind)
        return;
    for (int i = 0; i < SND_COUNT; ++i)
        sounds[i] = park_cloneSound(kSoundNames[i], kind->name);
}

void cPoacher::releaseSounds()
{
    for (aSound*& s : sounds)
        park_releaseSound(s);
}

void cPoacher::loadAnimations()
{
    for (int s = 0; s < cPoacherKind::kSets; ++s)
        for (int d = 0; d < cPoacherKind::kDirections; ++d) {
            auto& slot = animations[static_cast<size_t>(s * cPoacherKind::kDirections + d)];
            slot.reset();
            aImage* sheet = kind->animations[s][d];
            if (!sheet)
                continue;
            auto anim = std::make_unique<aAdvAnim>();
            if (!anim->Load(withIniExtension(sheet->getFileName()), poacherImages(), kind->name))
                continue;
            anim->setLooping(true);
            anim->play();
            slot = std::move(anim);
        }
}

cPoacher* cPoacher::create(cPoacherKind* kind)
{
    if (!kind)
        return nullptr;
    auto& pool = poacherPool();
    if (pool.capacity() == 0)
        pool.reserve(16);
    cPoacher* p = nullptr;
    if (!pool.empty()) {
        p = pool.back();
        pool.pop_back();
        p->reset(true);
        p->kind = kind;
        p->resetFields();
    } else {
        p = new cPoacher(kind);
    }
    p->active = true;
    p->loadAnimations();
    if (const aAdvAnim* anim = p->currentAnimation()) {
        p->width = static_cast<uint16_t>(anim->getWidth());
        p->height = static_cast<uint16_t>(anim->getHeight());
    }
    p->baseScale = kind->baseScale;
    p->updateScale();
    p->area = kind->animalType > 1 ? (a_rand() & 1) : kind->animalType;
    park_playOnce(p->sounds[SND_APPEAR]);
    park_playOnce(p->sounds[SND_WALK], true);
    return p;
}

void cPoacher::setLevel(cLevel* l)
{
    level = l;
    obstacles = l ? &l->obstacles : nullptr;
}

aAdvAnim* cPoacher::currentAnimation() const
{
    if (state < 0 || state >= cPoacherKind::kSets || direction >= cPoacherKind::kDirections)
        return nullptr;
    return animations[static_cast<size_t>(state * cPoacherKind::kDirections + direction)].get();
}

bool cPoacher::animationDone() const
{
    // A set without an animation counts as played, so nothing waits on it.
    const aAdvAnim* anim = currentAnimation();
    return !anim || !anim->isPlaying() || anim->isFinished();
}

void cPoacher::setAnimation(int32_t s)
{
    if (s == state)
        return;
    state = s;
    if (sounds[SND_WALK])
        sounds[SND_WALK]->stop();
    if (s == WALK)
        park_playOnce(sounds[SND_WALK], true);
    else if (s == HIT_01 || s == HIT_02)
        park_playOnce(sounds[health <= 0.0f ? SND_DISAPPEAR : (s == HIT_01 ? SND_HIT_01 : SND_HIT_02)]);
    // Every set but walking plays once each time it is entered: the hunter
    // waits on its end to go on.
    for (int d = 0; d < cPoacherKind::kDirections; ++d)
        if (auto& anim = animations[static_cast<size_t>(s * cPoacherKind::kDirections + d)]) {
            if (s == WALK) {
                anim->setFrame(0);
            } else {
                anim->setLooping(false);
                anim->play();
            }
        }
    frameWidth = frameHeight = 0;
}

void cPoacher::update(float dt)
{
    if (health > 0.0f && fade < kAppearedFade) {
        fade = std::min(kAppearedFade, fade + dt);
        if (aAdvAnim* anim = currentAnimation())
            anim->update(0.0f);
        return;
    }
    if (dt > 0.0f) {
        if (health <= 0.0f)
            vanishStep(dt);
        else
            behave(dt);
    }
    if (state == WALK || state == SHOOT) {
        for (int d = 0; d < cPoacherKind::kDirections; ++d)
            if (auto& anim = animations[static_cast<size_t>(state * cPoacherKind::kDirections + d)])
                anim->update(dt);
    } else if (aAdvAnim* anim = currentAnimation()) {
        anim->update(dt);
    }

    const bool wading =
        !path.empty() && level && level->waterAt(static_cast<int32_t>(anchor.x), static_cast<int32_t>(anchor.y));
    if (wading) {
        const float y = anchor.y - height * scale * 0.2f;
        aParticleSystem* wave = park_findEffect(waterEffect);
        if (!wave) {
            wave = park_startEffect("WATER_WAVE", anchor.x, y, 2, true, true);
            waterEffect = park_effectId(wave);
        }
        if (wave)
            wave->moveTo(anchor.x, y);
    } else if (waterEffect) {
        park_removeEffect(park_findEffect(waterEffect));
        waterEffect = 0;
    }

    glow = std::clamp(glow + (hovered ? 10.0f : -10.0f) * dt, 0.0f, 1.0f);
    const aRect& r = getScreenRect();
    indicator.x = static_cast<int16_t>(r.x + r.width / 2);
    indicator.y = static_cast<int16_t>(r.y + r.height / 3);
    indicator.update(dt);

    const bool pause = dt <= 0.0f;
    if (pause != soundsPaused) {
        soundsPaused = pause;
        for (aSound* s : sounds)
            if (s && (pause ? s->isPlaying() : s->isPaused()))
                s->pause(pause);
    }
}

void cPoacher::behave(float dt)
{
    if (shotClock < kShotReadySeconds)
        shotClock = std::min(kShotReadySeconds, shotClock + dt);

    if (state == HIT_01 || state == HIT_02) {
        if (animationDone())
            recover();
        return;
    }
    if (state == SHOOT) {
        // NOTE: a target that died, was sold or left never comes back here:
        // it is dropped before anything else looks at it.
        if (!shotDone && !living(target)) {
            target = nullptr;
            indicator.hide();
            state = WALK;
            return;
        }
        if (target)
            setDirection((target->anchor - anchor).normalised());
        const aAdvAnim* anim = currentAnimation();
        if (!shotDone && target && anim && anim->getFrameCounter() >= kKillFrame) {
            target->health = 0.0f;
            target->freeRunning = true;
            ++kills;
            target = nullptr;
            indicator.hide();
            shotDone = true;
            park_playOnce(sounds[SND_SHOOT]);
        }
        if (animationDone())
            endShot();
        return;
    }
    if (!target) {
        findTarget();
        if (!target)
            wander(dt);
        return;
    }
    approachTarget(dt);
}

void cPoacher::findTarget()
{
    cAnimal* best = nullptr;
    float bestDistance = 0.0f;
    if (level)
        for (cAnimal* a : level->animals) {
            if (!living(a) || a->kind->foodType != area)
                continue;
            const float d = (a->anchor - anchor).lengthSq();
            if (!best || d < bestDistance) {
                best = a;
                bestDistance = d;
            }
        }
    target = best;
    if (target && target->kind->icon) {
        const aRect icon(0, 0, target->kind->icon->getWidth(), target->kind->icon->getHeight());
        indicator.show(&icon, 1, 0.2f, target->kind->icon.get());
    } else {
        indicator.hide();
    }
}

void cPoacher::wander(float dt)
{
    if (step(kind->moveSpeed * dt))
        return;
    if (!level)
        return;
    int32_t x = static_cast<int32_t>(anchor.x), y = static_cast<int32_t>(anchor.y);
    level->randomPointInArea(area, x, y, 0, cLevel::ANY_GROUND);
    moveTo(aVector2(static_cast<float>(x), static_cast<float>(y)));
}

void cPoacher::loseTarget()
{
    target = nullptr;
    indicator.hide();
}

bool cPoacher::shootWhenReady()
{
    if (!living(target) || (target->anchor - anchor).lengthSq() >= kShootDistanceSq || shotClock < kShotReadySeconds)
        return false;
    path.clear();
    setAnimation(SHOOT);
    return true;
}

void cPoacher::approachTarget(float dt)
{
    if (!living(target)) {
        loseTarget();
        wander(dt);
        return;
    }
    if (shootWhenReady())
        return;
    moveTo(target->anchor);
    step(kind->moveSpeed * dt);
}

void cPoacher::endShot()
{
    shotDone = false;
    if (kills >= kind->animalsCount)
        health = 0.0f;
    else
        setAnimation(WALK);
}

void cPoacher::recover()
{
    // A hit after the kill frame ends that shot as its own end would, or
    // with his quota met the hunter would never leave.
    if (shotDone) {
        endShot();
        return;
    }
    // NOTE: a hit while he walked up to his target must not let him shoot
    // from where he stands; the approach takes over again.
    if (!shootWhenReady())
        setAnimation(WALK);
}

void cPoacher::dropTarget(const cAnimal* animal)
{
    if (!animal || target != animal)
        return;
    loseTarget();
    if (state == SHOOT) {
        shotDone = false;
        state = WALK;
    }
}

void cPoacher::hit(float damage)
{
    if (health <= 0.0f)
        return;
    health -= damage;
    if (health <= 0.0f) {
        health = 0.0f;
        loseTarget();
        if (kind->bonus > 0)
            dropReward();
        award_poacherDrivenOff();
    }
    if (state == WALK || state == SHOOT)
        setAnimation(HIT_01 + (a_rand() & 1));
}

uint16_t cPoacher::rewardValue(int32_t bonus, int32_t factor)
{
    // NOTE: worked in 64 bits and kept to the coin's 16 bits, so a large
    // bonus or upgrade gives the largest coin instead of a wrapped one.
    const int64_t v = std::clamp<int64_t>(static_cast<int64_t>(factor) * bonus, 0, 0xFFFF);
    int64_t twentyFives = v / 25, fives = (v / 5) % 5;
    int64_t ones = v - 25 * twentyFives - 5 * fives;
    if (fives > 0 && a_rand() % 100 < 11) {
        --fives;
        ++twentyFives;
    }
    if (ones > 0 && a_rand() % 100 < 11) {
        --ones;
        ++fives;
    }
    return static_cast<uint16_t>(std::min<int64_t>(0xFFFF, ones + 5 * (fives + 5 * twentyFives)));
}

void cPoacher::dropReward()
{
    const uint16_t t = rewardValue(kind->bonus, parkUpgrades::poacherCoinFactor());
    if (t == 0 || !level)
        return;
    cBonus::dropNear(level, anchor, width * scale * 0.5f, bonusTypeForValue(t), t);
}

void cPoacher::vanishStep(float dt)
{
    if (fade == kAppearedFade) {
        park_startEffect("DISAPPEAR_01", centre.x, centre.y, 0, true, true);
        park_startEffect("DISAPPEAR_02", centre.x, centre.y, 0, true, true);
    }
    fade -= dt;
    if (fade <= 0.0f && sounds[SND_DISAPPEAR] && sounds[SND_DISAPPEAR]->isPlaying())
        fade = 0.01f;
}

void cPoacher::setDirection(const aVector2& dir)
{
    // The same eight sectors as the animals, so both turn alike.
    float a = dir.angleDeg() + 22.5f;
    if (a < 0.0f)
        a += 360.0f;
    const int o = static_cast<int>(a / 45.0f);
    mirrored = o > 4;
    direction = static_cast<uint16_t>(std::clamp(mirrored ? 8 - o : o, 0, 4));
    frameWidth = frameHeight = 0;
}

bool cPoacher::canStandAt(const aVector2& p)
{
    return level && level->walkableAt(static_cast<int32_t>(p.x), static_cast<int32_t>(p.y)) == area;
}

aRect cPoacher::getHitRect()
{
    aRect frame;
    if (const aAdvAnim* anim = currentAnimation())
        anim->getCurrentFrameRect(frame);
    frameWidth = std::max<uint16_t>(frameWidth, static_cast<uint16_t>(std::max(0, frame.x + frame.width)));
    frameHeight = std::max<uint16_t>(frameHeight, static_cast<uint16_t>(std::max(0, frame.y + frame.height)));
    const auto w = static_cast<uint16_t>(frameWidth * scale);
    const auto h = static_cast<uint16_t>(frameHeight * scale);
    return aRect(static_cast<int16_t>(static_cast<int32_t>(centre.x) - (w >> 1)),
                 static_cast<int16_t>(static_cast<int32_t>(centre.y) - (h >> 1)), w, h);
}

void cPoacher::draw()
{
    aAdvAnim* anim = currentAnimation();
    if (!anim)
        return;
    const float f = std::max(0.0f, fade);
    const auto alpha = static_cast<uint32_t>(std::min(1.0f, 4.0f * f * f) * 255.0f);
    auto drawFrame = [&](float e, uint32_t colour) {
        const float w = width * scale;
        const float x = mirrored ? left + w + w * e * 0.5f : left - w * e * 0.5f;
        const float y = top - height * scale * e * 0.5f;
        const float s[2] = {mirrored ? -(scale + e) : scale + e, scale + e};
        anim->draw(x, y, colour, s);
    };
    if (glow > 0.0f && health > 0.0f) {
        cGame* game = cGame::get();
        aGraphServer* graph = game ? game->getGraphServer() : nullptr;
        const uint32_t previous = graph ? graph->getBlendMode() : 0;
        if (graph)
            graph->setBlendMode(0x400);
        drawFrame(0.05f, static_cast<uint32_t>(glow * 255.0f) << 24 | 0xFF0000);
        if (graph)
            graph->setBlendMode(previous);
    }
    drawFrame(0.0f, alpha << 24 | 0xFFFFFF);
}

void cPoacher::drawShadow()
{
    if (kind && kind->shadow)
        shadow_drawPoacher(*kind->shadow, anchor, scale, width, direction, mirrored, fade);
}

void cPoacher::drawShadows(const std::vector<cPoacher*>& poachers)
{
    for (cPoacher* poacher : poachers)
        poacher->drawShadow();
}

void cPoacher::drawGui()
{
    indicator.draw();
    const auto a = static_cast<uint32_t>(glow * 255.0f);
    aImage* gui = animalGuiImage();
    if (health <= 0.0f || a == 0 || !gui || kind->maxHealth <= 0.0f)
        return;
    const uint32_t colour = a << 24 | 0xFFFFFF;
    const float fx = left + (width * scale - 119.0f) / 2.0f;
    const float frame[2] = {fx, static_cast<float>(top)};
    gui->draw(frame, aRect(0, 53, 119, 23), colour, nullptr, 0.0f, nullptr, true);
    const float fill[2] = {fx + 19.0f, top + 5.0f};
    const auto w = static_cast<uint16_t>(std::clamp(health / kind->maxHealth, 0.0f, 1.0f) * 100.0f);
    gui->draw(fill, aRect(0, 76, w, 14), colour, nullptr, 0.0f, nullptr, true);
}

void cPoacher::release()
{
    for (auto& anim : animations)
        anim.reset();
    park_removeEffect(park_findEffect(waterEffect));
    waterEffect = 0;
    releaseSounds();
    indicator = cStatusIndicator();
    target = nullptr;
    level = nullptr;
    poacherPool().push_back(this);
}
