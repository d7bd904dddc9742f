#include "game/park/bonus.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "game/app/game.h"
#include "game/app/playerprofile.h"
#include "game/park/level.h"
#include "game/park/parkeffects.h"
#include "orvo/app/a_file.h"
#include "orvo/app/a_optionsfile.h"
#include "orvo/gfx/a_anim.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_imagemanager.h"
#include "orvo/sound/a_sound.h"
#include "orvo/sound/a_soundmanager.h"
#include "orvo/util/a_log.h"
#include "orvo/util/a_random.h"

namespace {

std::vector<cBonus*> g_kinds;
std::vector<cBonus*> g_pool;

aSoundManager* soundManager()
{
    cGame* game = cGame::get();
    return game ? game->getSoundManager() : nullptr;
}

aSound* kindSound(const aOptionsFile& file, const char* key)
{
    aSoundManager* sounds = soundManager();
    if (!file.findKey(key) || !sounds)
        return nullptr;
    const std::string name = file.getString(key);
    return sounds->hasSound(name) ? sounds->getSound(name) : nullptr;
}

aSound* copyOf(aSound* sound)
{
    aSoundManager* sounds = soundManager();
    return sound && sounds ? sounds->cloneSound(sound) : nullptr;
}

float fold(float v, float limit)
{
    if (v < 0.0f)
        return -v;
    if (v > limit)
        return 2.0f * limit - v;
    return v;
}

} // namespace

cBonus::cBonus(int32_t t)
{
    reset(t, false);
}

cBonus::~cBonus()
{
    releaseCopies();
}

void cBonus::releaseCopies()
{
    for (auto& [appear, take] : sounds) {
        park_releaseSound(appear);
        park_releaseSound(take);
    }
    sounds.clear();
}

void cBonus::reset(int32_t t, bool resetBase)
{
    if (resetBase)
        resetDrawElement();
    anim.reset();
    type = t;
    stayLeft = stayTime = 0.0f;
    value = 0;
    landed = collected = hovered = false;
    speed = kSpeed;
    collectTarget = aVector2();
    arc.clearPoints();
    level = nullptr;
    perspective = false;
}

const std::vector<cBonus*>& cBonus::kinds()
{
    return g_kinds;
}

size_t cBonus::pooledCount()
{
    return g_pool.size();
}

void cBonus::loadKinds(const std::string& path)
{
    if (!file_exists(path.c_str()))
        return;
    aOptionsFile file(path.c_str());
    cGame* game = cGame::get();
    aImageManager* images = game ? game->getImageManager() : nullptr;
    for (file.firstSection(); !file.isSectionEnd(); file.nextSection()) {
        const int32_t t = file.getInt("Type");
        if (t < 0 || t > kMaxType) {
            a_log("cBonus. Coin type %d in \"%s\" is not one of 0 to %d; the section is left out", static_cast<int>(t),
                  path.c_str(), static_cast<int>(kMaxType));
            continue;
        }
        if (findKind(t))
            continue;
        auto* kind = new cBonus(t);
        if (file.findKey("Image") && images) {
            const std::string image = file.getString("Image");
            if (images->hasImage(image))
                kind->picture = images->getImage(image);
            else
                a_log("cBonus. Coin %d: no image \"%s\"", static_cast<int>(t), image.c_str());
        }
        if (file.findKey("VFrames"))
            kind->vFrames = file.getInt("VFrames");
        if (file.findKey("HFrames"))
            kind->hFrames = file.getInt("HFrames");
        if (file.findKey("TotalFrames"))
            kind->totalFrames = file.getInt("TotalFrames");
        if (file.findKey("FrameTime"))
            kind->frameTime = std::strtof(file.getString("FrameTime").c_str(), nullptr);
        if (file.findKey("StayTime"))
            kind->stayTime = std::strtof(file.getString("StayTime").c_str(), nullptr);
        kind->sounds.emplace_back(kindSound(file, "AppearSound"), kindSound(file, "TakeSound"));
        g_kinds.push_back(kind);
    }
}

void cBonus::releaseKinds()
{
    for (cBonus* kind : g_kinds) {
        // The kind's sounds belong to the sound manager.
        kind->sounds.clear();
        delete kind;
    }
    g_kinds.clear();
    for (cBonus* bonus : g_pool)
        delete bonus;
    g_pool.clear();
}

cBonus* cBonus::findKind(int32_t t)
{
    for (cBonus* kind : g_kinds)
        if (kind->type == t)
            return kind;
    return nullptr;
}

cBonus* cBonus::create(int32_t t)
{
    const cBonus* kind = findKind(t);
    if (!kind)
        return nullptr;
    if (g_pool.empty())
        g_pool.reserve(32);
    cBonus* bonus = nullptr;
    if (g_pool.empty()) {
        bonus = new cBonus(t);
    } else {
        bonus = g_pool.back();
        g_pool.pop_back();
        bonus->reset(t, true);
    }
    bonus->active = true;
    bonus->stayLeft = bonus->stayTime = kind->stayTime;
    bonus->anim = std::make_unique<aAnim>();
    if (kind->picture)
        bonus->anim->addGridFrames(1, kind->picture, static_cast<uint32_t>(std::max(kind->totalFrames, 1)),
                                   static_cast<uint32_t>(std::max(kind->hFrames, 1)),
                                   static_cast<uint32_t>(std::max(kind->vFrames, 1)));
    bonus->anim->firstFrame();
    if (kind->frameTime > 0.0f)
        bonus->anim->setFrameTime(kind->frameTime);
    bonus->anim->setPlayFlags(aAnim::PLAY_LOOP);
    bonus->anim->play();
    bonus->setRect(0, 0, bonus->anim->getFrameWidth(), bonus->anim->getFrameHeight());
    if (bonus->sounds.size() < static_cast<size_t>(t) + 1)
        bonus->sounds.resize(static_cast<size_t>(t) + 1, {nullptr, nullptr});
    auto& [appear, take] = bonus->sounds[static_cast<size_t>(t)];
    if (!appear)
        appear = copyOf(kind->sounds.front().first);
    if (!take)
        take = copyOf(kind->sounds.front().second);
    return bonus;
}

cBonus* cBonus::dropNear(cLevel* level, const aVector2& p, float r, int32_t t, int32_t value)
{
    const float x = fold(p.x - r + static_cast<float>(a_rand()) * (2.0f * r) / 32767.0f, cLevel::kScreenWidth);
    const float y = fold(p.y - r + static_cast<float>(a_rand()) * (2.0f * r) / 32767.0f, cLevel::kScreenHeight);
    cBonus* bonus = create(t);
    if (!bonus)
        return nullptr;
    bonus->launch(p, aVector2(x, y), kArcHeight);
    bonus->value = value;
    bonus->level = level;
    if (level)
        level->bonuses.push_back(bonus);
    return bonus;
}

void cBonus::launch(const aVector2& from, const aVector2& to, float arcHeight)
{
    setPosition(from);
    aVector2 middle = from + (to - from) * 0.5f;
    middle.y -= arcHeight;
    arc.clearPoints();
    for (const aVector2& point : {from, middle, to})
        arc.addPoint(std::trunc(point.x), std::trunc(point.y));
    arc.start();
    landed = false;
    baseScale = 0.0f;
    updateScale();
    if (static_cast<size_t>(type) < sounds.size())
        park_playOnce(sounds[static_cast<size_t>(type)].first);
}

void cBonus::collect(const aVector2& flyTo)
{
    if (collected)
        return;
    collected = true;
    collectTarget = flyTo;
    stayLeft = stayTime;
    if (static_cast<size_t>(type) < sounds.size())
        park_playOnce(sounds[static_cast<size_t>(type)].second);
    if (level) {
        level->addMoney(value);
    } else if (cGame* game = cGame::get()) {
        // The mini-games: straight to the player's money.
        if (cPlayerProfile* profile = game->getCurrentProfile())
            profile->addStars(value);
    }
}

void cBonus::update(float dt)
{
    if (anim)
        anim->update(dt);
    if (!collected) {
        stayLeft -= dt;
        if (!landed) {
            const int32_t status = arc.update(dt * speed);
            landed = status != aCurve::MOVING && status != aCurve::STOP_REACHED;
            float x = anchor.x, y = anchor.y;
            arc.getPosition(x, y, nullptr);
            setPosition(aVector2(x, y));
        }
        if (baseScale < 1.0f) {
            baseScale = std::min(1.0f, baseScale + 4.0f * dt);
            updateScale();
        }
        return;
    }
    const aVector2 d = collectTarget - anchor;
    const aVector2 next = anchor + d * (4.0f * dt);
    const aVector2 r = collectTarget - next;
    if (r.length() > 5.0f && r.dot(d) > 0.0f) {
        setPosition(next);
        if (r.length() < 50.0f) {
            baseScale = r.length() / 50.0f;
            updateScale();
        }
    } else {
        stayLeft = 0.0f;
    }
}

void cBonus::draw()
{
    if (!anim)
        return;
    uint32_t alpha = 255;
    if (stayLeft < 3.0f && std::sin(10.0f * stayLeft) < 0.0f)
        alpha = 0x40;
    if (collected && baseScale <= 1.0f)
        alpha = static_cast<uint32_t>(baseScale * 255.0f);
    if (hovered) {
        cGame* game = cGame::get();
        aGraphServer* graph = game ? game->getGraphServer() : nullptr;
        const uint32_t previous = graph ? graph->getBlendMode() : 0;
        if (graph)
            graph->setBlendMode(0x400);
        const float grown[2] = {scale + 0.1f, scale + 0.1f};
        anim->drawFrame(std::trunc(left - width * scale * 0.05f), std::trunc(top - height * scale * 0.05f),
                        alpha << 24 | 0x57D403, grown);
        if (graph)
            graph->setBlendMode(previous);
    }
    const float scales[2] = {scale, scale};
    anim->drawFrame(left, top, alpha << 24 | 0xFFFFFF, scales);
}

void cBonus::release()
{
    anim.reset();
    if (static_cast<size_t>(type) < sounds.size()) {
        auto& [appear, take] = sounds[static_cast<size_t>(type)];
        if (appear)
            appear->stop();
        if (take)
            take->stop();
    }
    active = false;
    level = nullptr;
    g_pool.push_back(this);
}
