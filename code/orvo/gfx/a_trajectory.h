// The control points of a 2D path and the way they are joined: Catmull-Rom
// spline, cubic Bezier or straight polyline, open or closed. aCurve turns
// them into samples; game objects own one each. Main thread (or the loading
// thread while a level is built).
#pragma once

#include <cstdint>
#include <vector>

class aTrajectory {
public:
    enum Kind : int32_t { CATMULL_ROM = 0, BEZIER = 1, POLYLINE = 2 };
    enum Role : uint32_t { ANCHOR = 0, HANDLE = 3 };

    struct ControlPoint {
        float x = 0.0f;
        float y = 0.0f;
        uint32_t role = ANCHOR;
        uint32_t reserved = 0;
    };

    aTrajectory() = default;
    virtual ~aTrajectory() = default;

    // On a Bezier path with points, (x, y) goes in twice as a handle and once
    // as an anchor, so segments built this way are straight.
    void addPoint(float x, float y);
    void clear() { m_points.clear(); }

    const std::vector<ControlPoint>& getPoints() const { return m_points; }

    // Set by the owner before points are added.
    int32_t kind = CATMULL_ROM;
    bool closed = false;

protected:
    std::vector<ControlPoint> m_points;
};
