#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <sstream>
#include <string>
#include <utility>

#include "orvo/gfx/a_curve.h"

namespace {

using Point = aTrajectory::ControlPoint;

// A curve of `kind` through `points` (added one by one), or with handles placed freely as a path editor stores them.
struct Curve : aCurve {
    Curve(int k, std::initializer_list<std::pair<float, float>> points, bool loop = false)
    {
        kind = k;
        closed = loop;
        for (auto [x, y] : points)
            addPoint(x, y);
    }
    Curve(int k, bool loop, std::initializer_list<Point> points)
    {
        kind = k;
        closed = loop;
        m_points.assign(points);
        rebuild();
    }
    std::string at() const
    {
        float x = 0, y = 0;
        getPosition(x, y, nullptr);
        std::ostringstream out;
        out << x << "," << y;
        return out.str();
    }
};

constexpr int kPoly = aTrajectory::POLYLINE, kBezier = aTrajectory::BEZIER, kCatmull = aTrajectory::CATMULL_ROM;

// The samples as "x,y x,y ...".
std::string samples(const aCurve& c)
{
    std::ostringstream out;
    for (const auto& s : c.getSamples())
        out << (out.tellp() ? " " : "") << s.x << "," << s.y;
    return out.str();
}

} // namespace

TEST(Curve, APolylineMoverArrivesExactlySkipsEmptySegmentsAndNeedsTwoSamples)
{
    Curve c(kPoly, {{3, 4}, {13, 4}});
    c.start();
    EXPECT_EQ(c.at(), "3,4");
    EXPECT_EQ(c.update(4), aCurve::MOVING);
    EXPECT_EQ(c.at(), "7,4");
    EXPECT_EQ(c.update(std::nanf("")), aCurve::MOVING) << "a distance that is no number does not freeze the mover";
    EXPECT_EQ(c.update(100), aCurve::ARRIVED);
    EXPECT_EQ(c.at(), "13,4");
    EXPECT_EQ(c.update(1), aCurve::NOT_MOVING);

    Curve repeated(kPoly, {{0, 0}, {10, 0}, {10, 0}, {10, 0}, {10, 10}});
    float x = 0, y = 0, h = 1;
    repeated.start();
    // Landing exactly on the repeated point passes over the empty segments.
    EXPECT_EQ(repeated.update(10), aCurve::MOVING);
    repeated.getPosition(x, y, &h);
    EXPECT_FALSE(std::isnan(x) || std::isnan(y) || std::isnan(h));
    EXPECT_EQ(repeated.getSegmentIndex(), 3);
    Curve still(kPoly, {{2, 2}, {2, 2}, {2, 2}});
    still.start();
    EXPECT_EQ(still.update(0), aCurve::ARRIVED) << "a path of one repeated point arrives at once";

    aCurve none;
    none.start();
    for (int kind : {kCatmull, kBezier, kPoly}) {
        Curve one(kind, {{4, 5}}, kind != kPoly);
        one.start();
        EXPECT_EQ(one.update(5), aCurve::NOT_MOVING) << kind;
    }
    EXPECT_EQ(none.update(5), aCurve::NOT_MOVING);
}

TEST(Trajectory, BezierPointsGetTwoHandlesOnTheFollowingAnchor)
{
    aTrajectory t;
    t.kind = aTrajectory::BEZIER;
    t.addPoint(1, 2);
    t.addPoint(5, 6);
    std::string roles;
    for (const auto& q : t.getPoints())
        roles += q.role == aTrajectory::ANCHOR ? "A" : q.role == aTrajectory::HANDLE ? "H" : "?";
    EXPECT_EQ(roles, "AHHA");
    EXPECT_EQ(std::make_pair(t.getPoints()[1].x, t.getPoints()[3].y), std::make_pair(5.0f, 6.0f));
}

TEST(Curve, StopPointIsReportedOnceEvenWhenJumpedOver)
{
    Curve c(kPoly, {{0, 0}, {10, 0}, {20, 0}, {30, 0}, {40, 0}, {50, 0}, {60, 0}, {70, 0}});
    c.start();
    EXPECT_EQ(c.update(25), aCurve::MOVING);
    EXPECT_EQ(c.getSegmentIndex(), 2);
    c.setStopPoint(3, 5);
    EXPECT_EQ(c.update(30), aCurve::STOP_REACHED) << "from segment 2 to 5 in one update";
    EXPECT_EQ(c.update(1), aCurve::MOVING);
    // On the stop segment it fires at the stop distance, not before.
    c.start();
    c.setStopPoint(1, 5);
    EXPECT_EQ(c.update(14), aCurve::MOVING);
    EXPECT_EQ(c.update(1), aCurve::STOP_REACHED);
    EXPECT_EQ(c.update(1), aCurve::MOVING);
}

TEST(Curve, CatmullRomAndBezierSubdivideOnlyBends)
{
    // Straight: the first point, then per segment its midpoint and its end point.
    EXPECT_EQ(samples(Curve(kCatmull, {{0, 0}, {10, 0}, {20, 0}})), "0,0 4.375,0 10,0 15.625,0 20,0");

    EXPECT_GT(Curve(kCatmull, {{0, 0}, {100, 0}, {100, 100}}).getSamples().size(), 9u);
    // Closed paths end where they start.
    EXPECT_EQ(samples(Curve(kPoly, {{0, 0}, {10, 0}, {10, 10}}, true)), "0,0 10,0 10,10 0,0");
    const Curve loop(kCatmull, {{0, 0}, {50, 0}, {25, 40}}, true);
    EXPECT_EQ(loop.getSamples().front().x, 0.0f);
    EXPECT_FLOAT_EQ(loop.getSamples().back().x, 0.0f);
    EXPECT_FLOAT_EQ(loop.getSamples().back().y, 0.0f);
    // The quarter pieces of a shallow arch are each within half a pixel: the first point and the
    // four quarter ends only, on the curve; a high arch is cut finer.
    const Curve shallow(kBezier, false, {{0, 0}, {0, 0.4f, 3}, {40, 0.4f, 3}, {40, 0}});
    EXPECT_EQ(samples(shallow), "0,0 6.25,0.225 20,0.3 33.75,0.225 40,0");
    EXPECT_GT(Curve(kBezier, false, {{0, 0}, {0, 60, 3}, {40, 60, 3}, {40, 0}}).getSamples().size(), 12u);
}

TEST(Curve, AClosedBezierNeverReadsPastItsPoints)
{
    // Built point by point: the closing segment has only the first anchor after it.
    Curve c(kBezier, {{0, 0}, {10, 0}, {10, 10}}, true);
    const auto& s = c.getSamples();
    ASSERT_EQ(s.size(), 13u);
    for (size_t i = 9; i < 13; ++i)
        EXPECT_FLOAT_EQ(s[i].x, s[i].y) << "the closing segment runs straight, sample " << i;
    // One handle after the last anchor: it stays a handle, the first point ends the path.
    Curve e(kBezier, true, {{0, 0}, {0, 5, 3}, {10, 5, 3}, {10, 0}, {20, 20, 3}});
    ASSERT_FALSE(e.getSamples().empty());
    EXPECT_EQ(e.getSamples().back().x, 0.0f);
    EXPECT_EQ(e.getSamples().back().y, 0.0f);
}
