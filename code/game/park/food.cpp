#include "game/park/food.h"

#include <algorithm>
#include <cstdlib>

#include "game/app/game.h"
#include "game/app/spriteregistry.h"
#include "orvo/app/a_file.h"
#include "orvo/app/a_optionsfile.h"
#include "orvo/gfx/a_anim.h"
#include "orvo/gfx/a_image.h"
#include "orvo/sound/a_sound.h"
#include "orvo/sound/a_soundmanager.h"
#include "orvo/util/a_log.h"
#include "orvo/util/a_random.h"

namespace {

std::vector<cFood*> g_kinds;
std::vector<cFood*> g_pool;

void readSprites(const aOptionsFile& file, const char* key, std::vector<cSpriteEntry*>& out)
{
    if (!file.findKey(key))
        return;
    std::vector<std::string> names;
    file.getStringList(key, names);
    cGame* game = cGame::get();
    for (const std::string& name : names)
        out.push_back(game ? game->spriteRegistry().findSprite(name) : nullptr);
}

} // namespace

std::unique_ptr<aAnim> initAnimFromSprite(const cSpriteEntry* sprite)
{
    auto anim = std::make_unique<aAnim>();
    if (!sprite || !sprite->image)
        return anim;
    const uint32_t columns = static_cast<uint32_t>(std::max(sprite->hFrames, 1));
    const uint32_t rows = static_cast<uint32_t>(std::max(sprite->vFrames, 1));
    const uint32_t total = static_cast<uint32_t>(std::max(sprite->totalFrames, 1));
    // Hold 1 throughout: with hold 0 a play-once pass (an appearing portion, the park's egg jump) would wrap.
    if (sprite->frames.empty()) {
        anim->addGridFrames(1, sprite->image.get(), total, columns, rows);
    } else {
        const uint16_t w = static_cast<uint16_t>(sprite->image->getWidth() / columns);
        const uint16_t h = static_cast<uint16_t>(sprite->image->getHeight() / rows);
        for (int32_t f : sprite->frames) {
            const uint32_t i = static_cast<uint32_t>(std::max(f, 0)) % (columns * rows);
            anim->addFrame(1, sprite->image.get(),
                           aRect(static_cast<int16_t>(i % columns * w), static_cast<int16_t>(i / columns * h), w, h));
        }
    }
    if (sprite->frameTime > 0.0f)
        anim->setFrameTime(sprite->frameTime);
    return anim;
}

cFood::cFood(int32_t t, int32_t l)
{
    reset(t, l, false);
}

cFood::~cFood() = default;

void cFood::reset(int32_t t, int32_t l, bool resetBase)
{
    if (resetBase)
        resetDrawElement();
    eaters = 0;
    staySprites.clear();
    appearSprites.clear();
    stayAnim.reset();
    appearAnim.reset();
    amountLeft = count = 0.0f;
    cost = 0;
    cooldown = 0.0f;
    fadeOut = 2.0f;
    lifeLeft = lifeTime = 20.0f;
    fadeIn = 0.0f;
    mirrored = a_rand() & 1;
    appearSound = nullptr;
    type = t;
    level = l;
}

const std::vector<cFood*>& cFood::kinds()
{
    return g_kinds;
}

void cFood::loadKinds(const std::string& path)
{
    if (!file_exists(path.c_str()))
        return;
    aOptionsFile file(path.c_str());
    for (file.firstSection(); !file.isSectionEnd(); file.nextSection()) {
        const int32_t t = file.getInt("Type");
        const int32_t l = file.getInt("Level");
        if (findKind(t, l))
            continue;
        auto* kind = new cFood(t, l);
        readSprites(file, "StaySprite", kind->staySprites);
        readSprites(file, "AppearSprite", kind->appearSprites);
        if (file.findKey("Count"))
            kind->count = std::strtof(file.getString("Count").c_str(), nullptr);
        if (file.findKey("Cost"))
            kind->cost = file.getInt("Cost");
        if (file.findKey("CountInStock"))
            kind->countInStock = file.getInt("CountInStock");
        if (file.findKey("CountOnClick"))
            kind->countOnClick = file.getInt("CountOnClick");
        if (file.findKey("Cooldown"))
            kind->cooldown = std::strtof(file.getString("Cooldown").c_str(), nullptr);
        if (file.findKey("LifeTime"))
            kind->lifeTime = std::strtof(file.getString("LifeTime").c_str(), nullptr);
        if (file.findKey("AppearSound")) {
            cGame* game = cGame::get();
            aSoundManager* sounds = game ? game->getSoundManager() : nullptr;
            const std::string sound = file.getString("AppearSound");
            if (sounds && sounds->hasSound(sound))
                kind->appearSound = sounds->getSound(sound);
        }
        g_kinds.push_back(kind);
    }
}

void cFood::releaseKinds()
{
    for (cFood* kind : g_kinds)
        delete kind;
    g_kinds.clear();
    for (cFood* food : g_pool)
        delete food;
    g_pool.clear();
}

cFood* cFood::findKind(int32_t t, int32_t l)
{
    for (cFood* kind : g_kinds)
        if (kind->type == t && kind->level == l)
            return kind;
    return nullptr;
}

cFood* cFood::place(int32_t t, int32_t l)
{
    const cFood* kind = findKind(t, l);
    if (!kind)
        return nullptr;
    // NOTE: a kind without pictures (or with unknown sprite names) cannot be shown.
    if (kind->staySprites.empty() || kind->appearSprites.size() != kind->staySprites.size() ||
        std::find(kind->staySprites.begin(), kind->staySprites.end(), nullptr) != kind->staySprites.end() ||
        std::find(kind->appearSprites.begin(), kind->appearSprites.end(), nullptr) != kind->appearSprites.end()) {
        static bool logged = false;
        if (!logged)
            a_log("cFood. Food kind %d of level %d has no usable sprites", static_cast<int>(t), static_cast<int>(l));
        logged = true;
        return nullptr;
    }
    if (g_pool.empty())
        g_pool.reserve(32);
    cFood* food = nullptr;
    if (g_pool.empty()) {
        food = new cFood(t, l);
    } else {
        food = g_pool.back();
        g_pool.pop_back();
        food->reset(t, l, true);
    }
    food->active = true;
    food->amountLeft = food->count = kind->count;
    food->lifeLeft = food->lifeTime = kind->lifeTime;
    food->cost = kind->cost;
    food->cooldown = kind->cooldown;
    food->countInStock = kind->countInStock;
    food->countOnClick = kind->countOnClick;
    const size_t i = kind->staySprites.size() > 1 ? static_cast<size_t>(a_rand()) % kind->staySprites.size() : 0;
    food->appearAnim = initAnimFromSprite(kind->appearSprites[i]);
    food->appearAnim->setPlayFlags(0);
    food->appearAnim->firstFrame();
    food->appearAnim->play();
    food->fadeIn = 0.0f;
    food->setRect(0, 0, food->appearAnim->getFrameWidth(), food->appearAnim->getFrameHeight());
    food->baseScale = 0.8f + static_cast<float>(a_rand()) * 0.2f / 32767.0f;
    food->updateScale();
    food->stayAnim = initAnimFromSprite(kind->staySprites[i]);
    food->stayAnim->lastFrame();
    if (kind->appearSound)
        kind->appearSound->play(false, -1.0f, -2.0f);
    return food;
}

bool cFood::appearing() const
{
    return appearAnim && !appearAnim->isStopped();
}

bool cFood::isPresent() const
{
    return !appearing() && amountLeft > 0.0f && lifeLeft > 0.0f;
}

void cFood::consume(float amount)
{
    amountLeft = std::max(0.0f, amountLeft - amount);
}

void cFood::update(float dt)
{
    if (appearing()) {
        appearAnim->update(dt);
    } else if (stayAnim && stayAnim->getFrameCount() > 0 && count > 0.0f) {
        const uint32_t frame =
            static_cast<uint32_t>(static_cast<float>(stayAnim->getFrameCount()) * amountLeft / count);
        if (frame < stayAnim->getFrameCount())
            stayAnim->setFrame(static_cast<uint16_t>(frame), 0);
    }
    if ((amountLeft <= 0.0f || lifeLeft <= 0.0f) && fadeOut > 0.0f)
        fadeOut = std::max(0.0f, fadeOut - dt);
    if (fadeIn < 1.0f)
        fadeIn = std::min(1.0f, fadeIn + dt);
    if (eaters != 0)
        lifeLeft = lifeTime;
    else
        lifeLeft -= dt;
}

void cFood::draw()
{
    aAnim* anim = appearing() ? appearAnim.get() : stayAnim.get();
    if (!anim)
        return;
    const uint32_t alpha = static_cast<uint32_t>(fadeOut * 0.5f * fadeIn * 255.0f);
    const float scales[2] = {mirrored ? -scale : scale, scale};
    anim->drawFrame(mirrored ? static_cast<float>(left + width) : static_cast<float>(left), static_cast<float>(top),
                    alpha << 24 | 0xFFFFFF, scales);
}

void cFood::release()
{
    appearAnim.reset();
    stayAnim.reset();
    active = false;
    g_pool.push_back(this);
}
