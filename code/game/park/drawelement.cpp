#include "game/park/drawelement.h"

std::vector<cDrawElement*> g_drawList;

void cDrawElement::setPerspective(float startDist, float startScale, float endDist)
{
    s_startDist = startDist;
    s_startScale = startScale;
    s_endDist = endDist;
}

float cDrawElement::depthScale(float y)
{
    if (s_startDist > y)
        return s_startScale;
    if (s_endDist < y)
        return 1.0f;
    // NOTE: equal start and end lines leave no range to interpolate over; the
    // tests above already answered every y but that one.
    if (s_endDist == s_startDist)
        return 1.0f;
    const float t = (s_endDist - y) / (s_endDist - s_startDist);
    return s_startScale + (1.0f - s_startScale) * (1.0f - t);
}

void cDrawElement::resetDrawElement()
{
    active = true;
    left = top = 0;
    width = height = 0;
    perspective = true;
    screenRect = aRect();
    position = offset = anchor = centre = aVector2();
    scale = baseScale = 1.0f;
}

void cDrawElement::placeRect()
{
    const int16_t w = static_cast<int16_t>(static_cast<int32_t>(width * scale));
    left = static_cast<int16_t>(static_cast<int32_t>(position.x) - w / 2);
    top = static_cast<int16_t>(static_cast<int32_t>(position.y) - static_cast<int32_t>(height * scale));
}

void cDrawElement::setPosition(const aVector2& p)
{
    position = p + offset * scale;
    anchor = p;
    updateScale();
    centre = aVector2(position.x, position.y - height * scale * 0.5f);
}

void cDrawElement::updateScale()
{
    scale = (perspective ? depthScale(position.y) : 1.0f) * baseScale;
    placeRect();
}

void cDrawElement::setSize(uint16_t w, uint16_t h)
{
    width = w;
    height = h;
    placeRect();
}

void cDrawElement::setRect(int16_t l, int16_t t, uint16_t w, uint16_t h)
{
    left = l;
    top = t;
    width = w;
    height = h;
    setPosition(aVector2(l + w * scale * 0.5f, t + h * scale));
}

const aRect& cDrawElement::getScreenRect()
{
    screenRect = aRect(left, top, static_cast<uint16_t>(static_cast<int32_t>(width * scale)),
                       static_cast<uint16_t>(static_cast<int32_t>(height * scale)));
    return screenRect;
}

bool compareDepth(const cDrawElement* a, const cDrawElement* b)
{
    if (a->anchor.y != b->anchor.y)
        return a->anchor.y < b->anchor.y;
    return a->anchor.x > b->anchor.x;
}
