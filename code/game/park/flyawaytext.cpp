// cFlyAwayText: the live list, the pool, stepping and drawing.
#include "game/park/flyawaytext.h"

#include <algorithm>
#include <memory>

#include "orvo/gfx/a_font.h"

namespace {

std::vector<cFlyAwayText*>& liveList()
{
    static std::vector<cFlyAwayText*> list = [] {
        std::vector<cFlyAwayText*> v;
        v.reserve(32);
        return v;
    }();
    return list;
}

std::vector<cFlyAwayText*>& pool()
{
    static std::vector<cFlyAwayText*> list = [] {
        std::vector<cFlyAwayText*> v;
        v.reserve(32);
        return v;
    }();
    return list;
}

constexpr uint32_t kShadowFlags = 0x15;

} // namespace

cFlyAwayText::cFlyAwayText()
{
    perspective = false;
}

const std::vector<cFlyAwayText*>& cFlyAwayText::live()
{
    return liveList();
}

cFlyAwayText* cFlyAwayText::add(aFont* font, const std::wstring& text, float scale, const aVector2& at, float speed,
                                float fadeSpeed)
{
    cFlyAwayText* t = nullptr;
    if (!pool().empty()) {
        t = pool().back();
        pool().pop_back();
    } else {
        t = new cFlyAwayText();
    }
    t->init(font, text, speed, fadeSpeed, at);
    t->textScale = scale;
    for (const cFlyAwayText* other : liveList())
        if ((other->anchor - t->anchor).lengthSq() < kCrowdedDistanceSq)
            t->delay += kCrowdedDelay;
    liveList().push_back(t);
    return t;
}

void cFlyAwayText::init(aFont* f, const std::wstring& t, float s, float fade, const aVector2& at)
{
    direction = UP;
    alpha = 1.0f;
    delay = 0.0f;
    colour = 0xFFFFFF00;
    text = t;
    font = f;
    speed = s;
    fadeSpeed = fade;
    setPosition(at);
}

bool cFlyAwayText::step(float dt)
{
    if (delay > 0.0f) {
        delay -= dt;
        return true;
    }
    const float d = dt * speed;
    aVector2 p = anchor;
    switch (direction) {
    case DOWN:
        p.y += d;
        break;
    case LEFT:
        p.x -= d;
        break;
    case RIGHT:
        p.x += d;
        break;
    default:
        p.y -= d;
        break;
    }
    alpha -= fadeSpeed * dt;
    if (alpha <= 0.0f)
        return false;
    const uint32_t a = static_cast<uint32_t>(alpha * 255.0f) << 24;
    colour = a | (colour & 0x00FFFFFFu);
    if (font) {
        font->setSize(textScale);
        font->color = a;
        font->drawText(p.x + 2.0f, p.y + 2.0f, text, kShadowFlags);
        font->color = colour;
        font->drawText(p.x, p.y, text, kShadowFlags);
    }
    setPosition(p);
    return true;
}

void cFlyAwayText::release()
{
    pool().push_back(this);
}

void cFlyAwayText::updateAll(float dt)
{
    auto& list = liveList();
    for (size_t i = 0; i < list.size();) {
        cFlyAwayText* t = list[i];
        if (t->step(dt)) {
            ++i;
            continue;
        }
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
        t->release();
    }
}

void cFlyAwayText::clearAll()
{
    for (auto* list : {&liveList(), &pool()}) {
        for (cFlyAwayText* t : *list)
            delete t;
        list->clear();
    }
}
