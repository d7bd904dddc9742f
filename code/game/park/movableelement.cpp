#include "game/park/movableelement.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Working lists of the search, shared by every walker (main thread only).
struct PathSearch {
    std::vector<const aVector2*> candidates;
    std::vector<aVector2> chain;
    std::vector<const cObstacle*> crossed;
    aVector2 target;
    int nodes = 0;

    bool blockedBetween(const aVector2& a, const aVector2& b) const
    {
        for (const cObstacle* o : crossed)
            if (o->crossedBy(a, b))
                return true;
        return false;
    }
    bool onChain(const aVector2& p) const { return std::find(chain.begin(), chain.end(), p) != chain.end(); }
};

PathSearch g_search;

} // namespace

void cMovableElement::reset(bool resetBase)
{
    if (resetBase)
        resetDrawElement();
    refinePath = true;
    blocked = false;
    obstacles = nullptr;
    path.clear();
}

bool cMovableElement::findPath(const aVector2& from)
{
    PathSearch& s = g_search;
    if (++s.nodes > kMaxSearchNodes)
        return false;
    if (!s.blockedBetween(from, s.target)) {
        s.chain.push_back(from);
        return true;
    }
    const aVector2* visible[kMaxCornersPerNode];
    int count = 0;
    for (const aVector2* corner : s.candidates) {
        if (count == kMaxCornersPerNode)
            break;
        if (*corner == from || s.onChain(*corner))
            continue;
        if (!s.blockedBetween(*corner, from))
            visible[count++] = corner;
    }
    if (count == 0)
        return false;
    // Exchange sort, nearest to the target first; equal distances keep their order.
    for (int i = 0; i < count; ++i)
        for (int j = i + 1; j < count; ++j)
            if ((*visible[j] - s.target).lengthSq() < (*visible[i] - s.target).lengthSq())
                std::swap(visible[i], visible[j]);
    s.chain.push_back(from);
    for (int i = 0; i < count && s.nodes <= kMaxSearchNodes; ++i)
        if (findPath(*visible[i]))
            return true;
    s.chain.pop_back();
    return false;
}

void cMovableElement::moveTo(const aVector2& target)
{
    path.clear();
    if (obstacles) {
        PathSearch& s = g_search;
        s.candidates.clear();
        s.chain.clear();
        s.crossed.clear();
        s.target = target;
        s.nodes = 0;
        for (const cObstacle& o : *obstacles) {
            if (!o.crossedBy(anchor, target))
                continue;
            for (uint16_t i = 0; i < std::min<uint16_t>(o.cornerCount, 4); ++i)
                if (canStandAt(o.corners[i]))
                    s.candidates.push_back(&o.corners[i]);
            s.crossed.push_back(&o);
        }
        if (!findPath(anchor)) {
            blocked = true;
        } else {
            for (const aVector2& p : s.chain)
                if (!(p == anchor))
                    path.push_back(p);
        }
    }
    if (!(target == anchor))
        path.push_back(target);
    if (path.empty())
        return;
    if (refinePath)
        refine();
    setDirection((path.front() - anchor).normalised());
}

void cMovableElement::refine()
{
    aVector2 from = anchor;
    for (size_t i = 0; i < path.size(); ++i) {
        const aVector2 waypoint = path[i];
        const aVector2 v = waypoint - from;
        const int angle = static_cast<int>(v.angleDeg());
        const int offAxis = std::abs(angle) % 45;
        if (offAxis >= 3 && offAxis <= 42 && v.lengthSq() >= 2500.0f) {
            int cx = static_cast<int>(from.x / 50.0f), cy = static_cast<int>(from.y / 50.0f);
            const int dx = static_cast<int>(waypoint.x / 50.0f) - cx;
            const int dy = static_cast<int>(waypoint.y / 50.0f) - cy;
            const int sx = (dx > 0) - (dx < 0), sy = (dy > 0) - (dy < 0);
            const int ax = std::abs(dx), ay = std::abs(dy);
            const int n = std::max(ax, ay);
            int ex = 0, ey = 0;
            std::vector<aVector2> steps;
            steps.reserve(n);
            for (int k = 0; k < n; ++k) {
                ex += ax;
                if (ex > n) {
                    ex -= n;
                    cx += sx;
                }
                ey += ay;
                if (ey > n) {
                    ey -= n;
                    cy += sy;
                }
                // A step off the walker's ground is left out: it walks straight past that cell.
                const aVector2 step(cx * 50.0f + 25.0f, cy * 50.0f + 25.0f);
                if (canStandAt(step))
                    steps.push_back(step);
            }
            path.insert(path.begin() + static_cast<std::ptrdiff_t>(i), steps.begin(), steps.end());
            i += steps.size();
        }
        from = waypoint;
    }
}

bool cMovableElement::step(float distance)
{
    if (path.empty())
        return false;
    const aVector2 n = (path.front() - anchor).normalised();
    const aVector2 p = anchor + n * distance;
    const aVector2 m = (path.front() - p).normalised();
    if (n.dot(m) >= 0.001f) {
        setPosition(p);
    } else {
        setPosition(path.front());
        path.erase(path.begin());
        if (path.empty())
            return false;
        setDirection((path.front() - anchor).normalised());
    }
    if (blocked) {
        const aVector2 target = path.back();
        moveTo(target);
        blocked = false;
    }
    return true;
}
