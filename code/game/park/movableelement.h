// cMovableElement: a draw element that walks to a target along a path of
// waypoints. With an obstacle list it first searches a way round the
// obstacles its straight line crosses (depth first over their corners,
// nearest-to-target first); long oblique legs may be broken into 50-pixel
// staircase steps so that walkers move along their eight drawn directions.
// Main thread only: the search's working lists are shared by all walkers.
#pragma once

#include <vector>

#include "game/park/drawelement.h"
#include "game/park/obstacle.h"

class cMovableElement : public cDrawElement {
public:
    // Search nodes one moveTo may expand; running out counts as "no path".
    static constexpr int kMaxSearchNodes = 2048;
    // At most this many corners are expanded from one node.
    static constexpr int kMaxCornersPerNode = 16;

    cMovableElement() = default;

    // Turns the sprite towards a normalised direction.
    virtual void setDirection(const aVector2& dir) = 0;
    // Whether the element may stand at a point (animals ask the level).
    virtual bool canStandAt(const aVector2& /*p*/) { return true; }

    // Empties the path and puts the walking fields back; with resetBase the
    // draw element's fields too (pooled objects being re-initialised).
    void reset(bool resetBase);
    // Plans a new path from the anchor and turns towards its first waypoint.
    void moveTo(const aVector2& target);
    // Walks `distance` pixels along the path; false when no path is left.
    bool step(float distance);

    bool refinePath = true;
    bool blocked = false;
    const cObstacleList* obstacles = nullptr; // not owned
    std::vector<aVector2> path;

private:
    bool findPath(const aVector2& from);
    void refine();
};
