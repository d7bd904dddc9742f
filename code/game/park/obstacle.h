// cObstacle: a rectangle that walkers go round, with the corner points where
// they may pass it. The level makes one per blocking entity; walkers hold a
// pointer to the level's list while they search paths.
#pragma once

#include <cstdint>
#include <list>

#include "orvo/util/a_geometry.h"
#include "orvo/util/a_vector2.h"

struct cObstacle {
    uint16_t cornerCount = 0;
    aVector2 corners[4];
    aRect rect;

    // Whether the segment a-b meets one of the rectangle's edges (a segment
    // wholly inside does not).
    bool crossedBy(const aVector2& a, const aVector2& b) const;
};

using cObstacleList = std::list<cObstacle>;

// Segments a-b and p-q meet (ends included); parallel ones never do.
bool segmentsIntersect(const aVector2& a, const aVector2& b, const aVector2& p, const aVector2& q);
