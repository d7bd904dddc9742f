#include "game/park/obstacle.h"

bool segmentsIntersect(const aVector2& a, const aVector2& b, const aVector2& p, const aVector2& q)
{
    const float d = (b.x - a.x) * (q.y - p.y) - (b.y - a.y) * (q.x - p.x);
    if (d == 0.0f)
        return false;
    // t along p-q, u along a-b.
    const float u = ((p.x - a.x) * (q.y - p.y) - (p.y - a.y) * (q.x - p.x)) / d;
    const float t = ((p.x - a.x) * (b.y - a.y) - (p.y - a.y) * (b.x - a.x)) / d;
    return t >= 0.0f && t <= 1.0f && u >= 0.0f && u <= 1.0f;
}

bool cObstacle::crossedBy(const aVector2& a, const aVector2& b) const
{
    const float x0 = rect.x, y0 = rect.y;
    const float x1 = x0 + rect.width, y1 = y0 + rect.height;
    const aVector2 p0(x0, y0), p1(x1, y0), p2(x1, y1), p3(x0, y1);
    return segmentsIntersect(a, b, p0, p1) || segmentsIntersect(a, b, p1, p2) || segmentsIntersect(a, b, p2, p3) ||
           segmentsIntersect(a, b, p3, p0);
}
