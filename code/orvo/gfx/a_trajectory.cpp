#include "orvo/gfx/a_trajectory.h"

void aTrajectory::addPoint(float x, float y)
{
    if (kind == BEZIER && !m_points.empty()) {
        m_points.push_back({x, y, HANDLE, 0});
        m_points.push_back({x, y, HANDLE, 0});
    }
    m_points.push_back({x, y, ANCHOR, 0});
}
