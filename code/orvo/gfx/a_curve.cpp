#include "orvo/gfx/a_curve.h"

#include <algorithm>
#include <cmath>

namespace {

// Subdivision stops here even when the half-pixel test still fails, so that
// absurd coordinates cannot make the table explode (2^16 samples a piece).
constexpr int kMaxDepth = 16;

aCurve::Sample pointOf(const aTrajectory::ControlPoint& p)
{
    return {p.x, p.y};
}

} // namespace

void aCurve::addPoint(float x, float y)
{
    aTrajectory::addPoint(x, y);
    rebuild();
}

void aCurve::clearPoints()
{
    clear();
    rebuild();
}

template <class Fn> void aCurve::flatten(const Fn& curve, float t0, float t1, Sample p, Sample q, int depth)
{
    const float tm = (t0 + t1) * 0.5f;
    const Sample m = curve(tm);
    const float qx = q.x - p.x;
    const float qy = q.y - p.y;
    if (qx == 0.0f && qy == 0.0f) {
        m_samples.push_back(q);
        return;
    }
    const float cross = (m.x - p.x) * qy - (m.y - p.y) * qx;
    const float deviation = cross * cross / (qx * qx + qy * qy);
    if (deviation >= 0.25f && depth < kMaxDepth) {
        flatten(curve, t0, tm, p, m, depth + 1);
        flatten(curve, tm, t1, m, q, depth + 1);
    } else {
        m_samples.push_back(q);
    }
}

template <class Fn> void aCurve::flattenPieces(const Fn& curve, int pieces, Sample start)
{
    Sample from = start;
    for (int i = 0; i < pieces; ++i) {
        const float t0 = static_cast<float>(i) / static_cast<float>(pieces);
        const float t1 = static_cast<float>(i + 1) / static_cast<float>(pieces);
        const Sample to = curve(t1);
        flatten(curve, t0, t1, from, to, 0);
        from = to;
    }
}

void aCurve::rebuild()
{
    m_moving = false;
    m_samples.clear();
    if (m_points.size() < 2)
        return;
    switch (kind) {
    case POLYLINE:
        buildPolyline();
        break;
    case BEZIER:
        buildBezier();
        break;
    default:
        buildCatmullRom();
        break;
    }
}

void aCurve::buildPolyline()
{
    for (const ControlPoint& p : m_points)
        m_samples.push_back(pointOf(p));
    if (closed)
        m_samples.push_back(pointOf(m_points.front()));
}

void aCurve::buildBezier()
{
    std::vector<Sample> work;
    work.reserve(m_points.size() + 1);
    for (const ControlPoint& p : m_points)
        work.push_back(pointOf(p));
    if (closed)
        work.push_back(work.front());
    m_samples.push_back(work.front());

    // A segment normally takes the three points after its anchor. When fewer
    // follow (a closed path gets only its first anchor appended), the last
    // one is the end anchor and stands in for the missing handles.
    size_t anchor = 0;
    while (anchor + 1 < work.size()) {
        const size_t following = std::min<size_t>(3, work.size() - anchor - 1);
        const Sample p0 = work[anchor];
        const Sample p3 = work[anchor + following];
        const Sample h1 = following >= 2 ? work[anchor + 1] : p3;
        const Sample h2 = following == 3 ? work[anchor + 2] : p3;
        auto curve = [&](float t) {
            const float s = 1.0f - t;
            const float a = s * s * s, b = 3.0f * s * s * t, c = 3.0f * s * t * t, d = t * t * t;
            return Sample{a * p0.x + b * h1.x + c * h2.x + d * p3.x, a * p0.y + b * h1.y + c * h2.y + d * p3.y};
        };
        flattenPieces(curve, 4, p0);
        anchor += following;
    }
}

void aCurve::buildCatmullRom()
{
    std::vector<Sample> work;
    work.reserve(m_points.size() + 3);
    if (closed)
        work.push_back(pointOf(m_points.back()));
    else
        work.push_back(pointOf(m_points.front()));
    for (const ControlPoint& p : m_points)
        work.push_back(pointOf(p));
    if (closed) {
        work.push_back(pointOf(m_points[0]));
        work.push_back(pointOf(m_points[1]));
    } else {
        work.push_back(pointOf(m_points.back()));
    }
    m_samples.push_back(work[1]);

    for (size_t i = 0; i + 3 < work.size(); ++i) {
        const Sample p0 = work[i], p1 = work[i + 1], p2 = work[i + 2], p3 = work[i + 3];
        auto axis = [](float a, float b, float c, float d, float t) {
            return 0.5f * (2.0f * b + (c - a) * t + (2.0f * a - 5.0f * b + 4.0f * c - d) * t * t +
                           (-a + 3.0f * b - 3.0f * c + d) * t * t * t);
        };
        auto curve = [&](float t) { return Sample{axis(p0.x, p1.x, p2.x, p3.x, t), axis(p0.y, p1.y, p2.y, p3.y, t)}; };
        flattenPieces(curve, 2, p1);
    }
}

void aCurve::start()
{
    m_distance = 0.0;
    m_segment = -1;
    m_segmentLength = 0.0;
    m_stopSegment = -1;
    if (m_samples.size() < 2) {
        m_moving = false;
        if (!m_samples.empty()) {
            m_x = m_samples[0].x;
            m_y = m_samples[0].y;
        }
        return;
    }
    m_moving = true;
    m_x = m_samples[0].x;
    m_y = m_samples[0].y;
    m_heading = std::atan2(static_cast<double>(m_samples[1].y - m_samples[0].y),
                           static_cast<double>(m_samples[1].x - m_samples[0].x));
}

int32_t aCurve::update(float d)
{
    if (!m_moving)
        return NOT_MOVING;
    // A NaN would stick in the distance and freeze the mover for good.
    if (!std::isnan(d))
        m_distance += d;
    const int32_t last = static_cast<int32_t>(m_samples.size()) - 1;
    // A segment of length 0 passes this test at once, so it is skipped
    // without its (meaningless) heading ever being used.
    while (m_distance >= m_segmentLength) {
        ++m_segment;
        m_distance -= m_segmentLength;
        if (m_segment >= last) {
            m_x = m_samples[last].x;
            m_y = m_samples[last].y;
            m_moving = false;
            return ARRIVED;
        }
        const double dx = static_cast<double>(m_samples[m_segment + 1].x) - m_samples[m_segment].x;
        const double dy = static_cast<double>(m_samples[m_segment + 1].y) - m_samples[m_segment].y;
        m_heading = std::atan2(dy, dx);
        m_segmentLength = std::sqrt(dx * dx + dy * dy);
    }
    m_x = static_cast<float>(m_samples[m_segment].x + std::cos(m_heading) * m_distance);
    m_y = static_cast<float>(m_samples[m_segment].y + std::sin(m_heading) * m_distance);

    if (m_stopSegment < 0 || m_segment < m_stopSegment)
        return MOVING;
    if (m_segment > m_stopSegment || m_stopDistance <= m_distance) {
        m_stopSegment = -1;
        return STOP_REACHED;
    }
    return MOVING;
}

void aCurve::getPosition(float& x, float& y, float* heading) const
{
    x = m_x;
    y = m_y;
    if (heading)
        *heading = static_cast<float>(m_heading);
}

void aCurve::setStopPoint(int32_t segment, float distance)
{
    m_stopSegment = segment;
    m_stopDistance = distance;
}
