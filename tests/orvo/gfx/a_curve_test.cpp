#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

#include "orvo/gfx/a_curve.h"

namespace {

// Control points with handles placed freely, as a path editor would store them.
struct EditableCurve : aCurve {
    void setPoints(std::initializer_list<ControlPoint> points)
    {
        m_points.assign(points);
        rebuild();
    }
};

aCurve polyline(std::initializer_list<std::pair<float, float>> points, bool closed = false)
{
    aCurve c;
    c.kind = aTrajectory::POLYLINE;
    c.closed = closed;
    for (auto [x, y] : points)
        c.addPoint(x, y);
    return c;
}

aCurve::Sample bezierAt(const aTrajectory::ControlPoint* p, float t)
{
    const float s = 1 - t;
    const float a = s * s * s, b = 3 * s * s * t, c = 3 * s * t * t, d = t * t * t;
    return {a * p[0].x + b * p[1].x + c * p[2].x + d * p[3].x, a * p[0].y + b * p[1].y + c * p[2].y + d * p[3].y};
}

// Distance from q to the polyline through the samples.
float distanceToSamples(const std::vector<aCurve::Sample>& s, aCurve::Sample q)
{
    float best = 1e30f;
    for (size_t i = 0; i + 1 < s.size(); ++i) {
        const float dx = s[i + 1].x - s[i].x, dy = s[i + 1].y - s[i].y;
        const float len2 = dx * dx + dy * dy;
        float t = len2 > 0 ? ((q.x - s[i].x) * dx + (q.y - s[i].y) * dy) / len2 : 0;
        t = std::clamp(t, 0.0f, 1.0f);
        best = std::min(best, std::hypot(s[i].x + t * dx - q.x, s[i].y + t * dy - q.y));
    }
    return best;
}

} // namespace

TEST(Trajectory, BezierPointsGetTwoHandlesOnTheFollowingAnchor)
{
    aTrajectory t;
    t.kind = aTrajectory::BEZIER;
    t.addPoint(1, 2);
    t.addPoint(5, 6);
    const auto& p = t.getPoints();
    ASSERT_EQ(p.size(), 4u);
    EXPECT_EQ(p[0].role, aTrajectory::ANCHOR);
    EXPECT_EQ(p[1].role, aTrajectory::HANDLE);
    EXPECT_EQ(p[2].role, aTrajectory::HANDLE);
    EXPECT_EQ(p[3].role, aTrajectory::ANCHOR);
    EXPECT_EQ(p[1].x, 5.0f);
    EXPECT_EQ(p[3].y, 6.0f);
    for (const auto& q : p)
        EXPECT_EQ(q.reserved, 0u);
}

TEST(Curve, TwoPolylinePointsArriveExactlyOnTheLastPoint)
{
    aCurve c = polyline({{3, 4}, {13, 4}});
    ASSERT_EQ(c.getSamples().size(), 2u);
    c.start();
    float x = 0, y = 0, h = 1;
    c.getPosition(x, y, &h);
    EXPECT_EQ(x, 3.0f);
    EXPECT_EQ(h, 0.0f);
    EXPECT_EQ(c.update(4), aCurve::MOVING);
    c.getPosition(x, y, nullptr);
    EXPECT_FLOAT_EQ(x, 7.0f);
    EXPECT_FLOAT_EQ(y, 4.0f);
    EXPECT_EQ(c.update(100), aCurve::ARRIVED);
    c.getPosition(x, y, nullptr);
    EXPECT_EQ(x, 13.0f);
    EXPECT_EQ(y, 4.0f);
    EXPECT_EQ(c.update(1), aCurve::NOT_MOVING);
    c.start();
    EXPECT_EQ(c.update(0), aCurve::MOVING) << "a restart moves again";

    aCurve loop = polyline({{0, 0}, {10, 0}, {10, 10}}, true);
    ASSERT_EQ(loop.getSamples().size(), 4u);
    EXPECT_EQ(loop.getSamples()[3].x, 0.0f) << "closed: back to the first point";
}

TEST(Curve, ZeroLengthSegmentsAreSkipped)
{
    aCurve c = polyline({{0, 0}, {10, 0}, {10, 0}, {10, 0}, {10, 10}});
    c.start();
    EXPECT_EQ(c.update(15), aCurve::MOVING);
    float x = 0, y = 0, h = 0;
    c.getPosition(x, y, &h);
    EXPECT_FLOAT_EQ(x, 10.0f);
    EXPECT_FLOAT_EQ(y, 5.0f);
    EXPECT_FLOAT_EQ(h, static_cast<float>(M_PI / 2));
    EXPECT_EQ(c.getSegmentIndex(), 3);

    // Landing exactly on the repeated point also passes over the empty segments.
    c.start();
    EXPECT_EQ(c.update(10), aCurve::MOVING);
    c.getPosition(x, y, &h);
    EXPECT_FALSE(std::isnan(x) || std::isnan(y) || std::isnan(h));
    EXPECT_EQ(c.getSegmentIndex(), 3);

    // A path of one repeated point arrives at once.
    aCurve still = polyline({{2, 2}, {2, 2}, {2, 2}});
    still.start();
    EXPECT_EQ(still.update(0), aCurve::ARRIVED);
    still.getPosition(x, y, nullptr);
    EXPECT_EQ(x, 2.0f);
}

TEST(Curve, StopPointIsReportedOnceEvenWhenJumpedOver)
{
    aCurve c = polyline({{0, 0}, {10, 0}, {20, 0}, {30, 0}, {40, 0}, {50, 0}, {60, 0}, {70, 0}});
    c.start();
    EXPECT_EQ(c.update(25), aCurve::MOVING);
    EXPECT_EQ(c.getSegmentIndex(), 2);
    c.setStopPoint(3, 5);
    EXPECT_EQ(c.update(30), aCurve::STOP_REACHED) << "from segment 2 to 5 in one update";
    EXPECT_EQ(c.getSegmentIndex(), 5);
    EXPECT_EQ(c.update(1), aCurve::MOVING);

    // On the stop segment it fires at the stop distance, not before.
    c.start();
    c.setStopPoint(1, 5);
    EXPECT_EQ(c.update(14), aCurve::MOVING);
    EXPECT_EQ(c.update(1), aCurve::STOP_REACHED);
    EXPECT_EQ(c.update(1), aCurve::MOVING);

    // start() forgets a stop point.
    c.setStopPoint(0, 1);
    c.start();
    EXPECT_EQ(c.update(3), aCurve::MOVING);
}

TEST(Curve, FewerThanTwoSamplesNeverMove)
{
    aCurve none;
    none.start();
    EXPECT_EQ(none.update(5), aCurve::NOT_MOVING);
    aCurve one = polyline({{4, 5}});
    EXPECT_TRUE(one.getSamples().empty());
    one.start();
    EXPECT_FALSE(one.isMoving());
    EXPECT_EQ(one.update(5), aCurve::NOT_MOVING);
    aCurve moving = polyline({{0, 0}, {10, 0}});
    moving.start();
    moving.addPoint(20, 0);
    EXPECT_EQ(moving.update(1), aCurve::NOT_MOVING) << "adding a point stops the mover";
    moving.start();
    moving.clearPoints();
    EXPECT_EQ(moving.update(1), aCurve::NOT_MOVING);
    for (int kind : {0, 1}) {
        aCurve c;
        c.kind = kind;
        c.closed = true;
        c.addPoint(1, 1);
        EXPECT_TRUE(c.getSamples().empty());
        c.start();
        EXPECT_EQ(c.update(1), aCurve::NOT_MOVING);
    }
}

TEST(Curve, StraightCatmullRomSegmentsAreNotSubdivided)
{
    aCurve c;
    c.addPoint(0, 0);
    c.addPoint(10, 0);
    c.addPoint(20, 0);
    // The first point, then per segment its midpoint and its end point.
    const auto& s = c.getSamples();
    ASSERT_EQ(s.size(), 5u);
    EXPECT_EQ(s[0].x, 0.0f);
    EXPECT_EQ(s[2].x, 10.0f);
    EXPECT_EQ(s[4].x, 20.0f);
    for (const auto& p : s)
        EXPECT_EQ(p.y, 0.0f);
}

TEST(Curve, TightBendIsSubdividedToHalfAPixel)
{
    aCurve c;
    c.addPoint(0, 0);
    c.addPoint(100, 0);
    c.addPoint(100, 100);
    const auto& s = c.getSamples();
    EXPECT_GT(s.size(), 9u);
    EXPECT_EQ(s.front().x, 0.0f);
    EXPECT_EQ(s.back().y, 100.0f);

    // Every point of the true curve lies near the flattened one (the test
    // only looks at chord midpoints, so allow a little beyond half a pixel).
    const aTrajectory::ControlPoint w[5] = {{0, 0}, {0, 0}, {100, 0}, {100, 100}, {100, 100}};
    for (int seg = 0; seg < 2; ++seg)
        for (int k = 0; k <= 200; ++k) {
            const float t = k / 200.0f;
            auto axis = [t](float a, float b, float cc, float d) {
                return 0.5f * (2 * b + (cc - a) * t + (2 * a - 5 * b + 4 * cc - d) * t * t +
                               (-a + 3 * b - 3 * cc + d) * t * t * t);
            };
            const aTrajectory::ControlPoint* p = w + seg;
            const aCurve::Sample q{axis(p[0].x, p[1].x, p[2].x, p[3].x), axis(p[0].y, p[1].y, p[2].y, p[3].y)};
            EXPECT_LT(distanceToSamples(s, q), 0.6f) << "segment " << seg << " t " << t;
        }
}

TEST(Curve, BezierSubdividesOnlyWhereTheMidpointIsHalfAPixelOff)
{
    // The quarter pieces of a shallow arch are each within half a pixel:
    // the first point and the four quarter ends only.
    const aTrajectory::ControlPoint shallow[4] = {{0, 0}, {0, 0.4f, 3}, {40, 0.4f, 3}, {40, 0}};
    EditableCurve flat;
    flat.kind = aTrajectory::BEZIER;
    flat.setPoints({shallow[0], shallow[1], shallow[2], shallow[3]});
    EXPECT_EQ(flat.getSamples().size(), 5u);

    const aTrajectory::ControlPoint arch[4] = {{0, 0}, {0, 60, 3}, {40, 60, 3}, {40, 0}};
    EditableCurve high;
    high.kind = aTrajectory::BEZIER;
    high.setPoints({arch[0], arch[1], arch[2], arch[3]});
    const auto& s = high.getSamples();
    EXPECT_GT(s.size(), 12u);
    EXPECT_EQ(s.back().x, 40.0f);
    for (int k = 0; k <= 400; ++k)
        EXPECT_LT(distanceToSamples(s, bezierAt(arch, k / 400.0f)), 0.6f);
}

TEST(Curve, ClosedBezierNeverReadsPastItsPoints)
{
    // Built point by point: the closing segment has only the first anchor after it.
    aCurve c;
    c.kind = aTrajectory::BEZIER;
    c.closed = true;
    c.addPoint(0, 0);
    c.addPoint(10, 0);
    c.addPoint(10, 10);
    const auto& s = c.getSamples();
    ASSERT_EQ(s.size(), 13u);
    EXPECT_EQ(s.back().x, 0.0f);
    EXPECT_EQ(s.back().y, 0.0f);
    for (size_t i = 9; i < 13; ++i)
        EXPECT_FLOAT_EQ(s[i].x, s[i].y) << "the closing segment runs straight, sample " << i;

    // One handle after the last anchor: it stays a handle, the first point ends the path.
    EditableCurve e;
    e.kind = aTrajectory::BEZIER;
    e.closed = true;
    e.setPoints({{0, 0}, {0, 5, 3}, {10, 5, 3}, {10, 0}, {20, 20, 3}});
    ASSERT_FALSE(e.getSamples().empty());
    EXPECT_EQ(e.getSamples().back().x, 0.0f);
    EXPECT_EQ(e.getSamples().back().y, 0.0f);
}

TEST(Curve, ClosedCatmullRomEndsWhereItStarts)
{
    aCurve c;
    c.closed = true;
    c.addPoint(0, 0);
    c.addPoint(50, 0);
    c.addPoint(25, 40);
    const auto& s = c.getSamples();
    EXPECT_EQ(s.front().x, 0.0f);
    EXPECT_FLOAT_EQ(s.back().x, 0.0f);
    EXPECT_FLOAT_EQ(s.back().y, 0.0f);
}

TEST(Curve, NanDistanceDoesNotFreezeTheMover)
{
    aCurve c = polyline({{0, 0}, {10, 0}});
    c.start();
    EXPECT_EQ(c.update(std::nanf("")), aCurve::MOVING);
    EXPECT_EQ(c.update(20), aCurve::ARRIVED);
}
