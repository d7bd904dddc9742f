#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <sstream>

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

// The largest distance from points of the true curve, `f(t)` for t in [0, 1], to the flattened one.
template <typename F> float worstDistance(const aCurve& c, F f)
{
    const auto& s = c.getSamples();
    float worst = 0;
    for (int k = 0; k <= 400; ++k) {
        const aCurve::Sample q = f(k / 400.0f);
        float best = 1e30f;
        for (size_t i = 0; i + 1 < s.size(); ++i) {
            const float dx = s[i + 1].x - s[i].x, dy = s[i + 1].y - s[i].y, len2 = dx * dx + dy * dy;
            const float t = len2 > 0 ? std::clamp(((q.x - s[i].x) * dx + (q.y - s[i].y) * dy) / len2, 0.0f, 1.0f) : 0;
            best = std::min(best, std::hypot(s[i].x + t * dx - q.x, s[i].y + t * dy - q.y));
        }
        worst = std::max(worst, best);
    }
    return worst;
}

} // namespace

TEST(Curve, APolylineMoverArrivesExactlySkipsEmptySegmentsAndNeedsTwoSamples)
{
    Curve c(kPoly, {{3, 4}, {13, 4}});
    EXPECT_EQ(samples(c), "3,4 13,4");
    c.start();
    float x = 0, y = 0, h = 1;
    c.getPosition(x, y, &h);
    EXPECT_EQ(x, 3.0f);
    EXPECT_EQ(h, 0.0f);
    EXPECT_EQ(c.update(4), aCurve::MOVING);
    EXPECT_EQ(c.at(), "7,4");
    EXPECT_EQ(c.update(std::nanf("")), aCurve::MOVING) << "a distance that is no number does not freeze the mover";
    EXPECT_EQ(c.update(100), aCurve::ARRIVED);
    EXPECT_EQ(c.at(), "13,4");
    EXPECT_EQ(c.update(1), aCurve::NOT_MOVING);
    c.start();
    EXPECT_EQ(c.update(0), aCurve::MOVING) << "a restart moves again";
    c.addPoint(20, 0);
    EXPECT_EQ(c.update(1), aCurve::NOT_MOVING) << "adding a point stops the mover";
    EXPECT_EQ(samples(Curve(kPoly, {{0, 0}, {10, 0}, {10, 10}}, true)), "0,0 10,0 10,10 0,0") << "closed";

    Curve repeated(kPoly, {{0, 0}, {10, 0}, {10, 0}, {10, 0}, {10, 10}});
    repeated.start();
    EXPECT_EQ(repeated.update(15), aCurve::MOVING);
    repeated.getPosition(x, y, &h);
    EXPECT_EQ(repeated.at(), "10,5");
    EXPECT_FLOAT_EQ(h, static_cast<float>(M_PI / 2));
    EXPECT_EQ(repeated.getSegmentIndex(), 3);
    // Landing exactly on the repeated point also passes over the empty segments.
    repeated.start();
    EXPECT_EQ(repeated.update(10), aCurve::MOVING);
    repeated.getPosition(x, y, &h);
    EXPECT_FALSE(std::isnan(x) || std::isnan(y) || std::isnan(h));
    EXPECT_EQ(repeated.getSegmentIndex(), 3);
    Curve still(kPoly, {{2, 2}, {2, 2}, {2, 2}});
    still.start();
    EXPECT_EQ(still.update(0), aCurve::ARRIVED) << "a path of one repeated point arrives at once";

    aCurve none;
    none.start();
    EXPECT_EQ(none.update(5), aCurve::NOT_MOVING);
    for (int kind : {kCatmull, kBezier, kPoly}) {
        Curve one(kind, {{4, 5}}, kind != kPoly);
        EXPECT_TRUE(one.getSamples().empty());
        one.start();
        EXPECT_EQ(one.update(5), aCurve::NOT_MOVING) << kind;
    }
    c.start();
    c.clearPoints();
    EXPECT_EQ(c.update(1), aCurve::NOT_MOVING);
}

TEST(Curve, StopPointIsReportedOnceEvenWhenJumpedOver)
{
    Curve c(kPoly, {{0, 0}, {10, 0}, {20, 0}, {30, 0}, {40, 0}, {50, 0}, {60, 0}, {70, 0}});
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

TEST(Curve, CatmullRomAndBezierSubdivideOnlyBendsToHalfAPixel)
{
    // Straight: the first point, then per segment its midpoint and its end point.
    EXPECT_EQ(samples(Curve(kCatmull, {{0, 0}, {10, 0}, {20, 0}})), "0,0 4.375,0 10,0 15.625,0 20,0");

    Curve bend(kCatmull, {{0, 0}, {100, 0}, {100, 100}});
    EXPECT_GT(bend.getSamples().size(), 9u);
    EXPECT_EQ(bend.getSamples().front().x, 0.0f);
    EXPECT_EQ(bend.getSamples().back().y, 100.0f);
    // Every point of the true curve lies near the flattened one (only chord midpoints
    // are tested, so allow a little beyond half a pixel).
    const Point w[5] = {{0, 0}, {0, 0}, {100, 0}, {100, 100}, {100, 100}};
    for (const Point* p : {w, w + 1}) {
        auto axis = [](float t, float a, float b, float c, float d) {
            return 0.5f *
                   (2 * b + (c - a) * t + (2 * a - 5 * b + 4 * c - d) * t * t + (-a + 3 * b - 3 * c + d) * t * t * t);
        };
        EXPECT_LT(worstDistance(bend,
                                [&](float t) {
                                    return aCurve::Sample{axis(t, p[0].x, p[1].x, p[2].x, p[3].x),
                                                          axis(t, p[0].y, p[1].y, p[2].y, p[3].y)};
                                }),
                  0.6f);
    }

    Curve loop(kCatmull, {{0, 0}, {50, 0}, {25, 40}}, true);
    EXPECT_EQ(loop.getSamples().front().x, 0.0f);
    EXPECT_FLOAT_EQ(loop.getSamples().back().x, 0.0f);
    EXPECT_FLOAT_EQ(loop.getSamples().back().y, 0.0f);

    // The quarter pieces of a shallow arch are each within half a pixel:
    // the first point and the four quarter ends only.
    EXPECT_EQ(Curve(kBezier, false, {{0, 0}, {0, 0.4f, 3}, {40, 0.4f, 3}, {40, 0}}).getSamples().size(), 5u);
    const Point arch[4] = {{0, 0}, {0, 60, 3}, {40, 60, 3}, {40, 0}};
    Curve high(kBezier, false, {arch[0], arch[1], arch[2], arch[3]});
    EXPECT_GT(high.getSamples().size(), 12u);
    EXPECT_EQ(high.getSamples().back().x, 40.0f);
    EXPECT_LT(worstDistance(high,
                            [&arch](float t) {
                                const float s = 1 - t, a = s * s * s, b = 3 * s * s * t, c = 3 * s * t * t,
                                            d = t * t * t;
                                return aCurve::Sample{a * arch[0].x + b * arch[1].x + c * arch[2].x + d * arch[3].x,
                                                      a * arch[0].y + b * arch[1].y + c * arch[2].y + d * arch[3].y};
                            }),
              0.6f);
}

TEST(Curve, BezierPointsGetHandlesAndAClosedBezierNeverReadsPastItsPoints)
{
    aTrajectory t;
    t.kind = aTrajectory::BEZIER;
    t.addPoint(1, 2);
    t.addPoint(5, 6);
    std::string roles;
    for (const auto& q : t.getPoints())
        roles += q.role == aTrajectory::ANCHOR ? "A" : q.role == aTrajectory::HANDLE ? "H" : "?";
    EXPECT_EQ(roles, "AHHA") << "two handles on the following anchor";
    EXPECT_EQ(t.getPoints()[1].x, 5.0f);

    // Built point by point: the closing segment has only the first anchor after it.
    Curve c(kBezier, {{0, 0}, {10, 0}, {10, 10}}, true);
    const auto& s = c.getSamples();
    ASSERT_EQ(s.size(), 13u);
    EXPECT_EQ(c.getSamples().back().x, 0.0f);
    EXPECT_EQ(c.getSamples().back().y, 0.0f);
    for (size_t i = 9; i < 13; ++i)
        EXPECT_FLOAT_EQ(s[i].x, s[i].y) << "the closing segment runs straight, sample " << i;
    // One handle after the last anchor: it stays a handle, the first point ends the path.
    Curve e(kBezier, true, {{0, 0}, {0, 5, 3}, {10, 5, 3}, {10, 0}, {20, 20, 3}});
    ASSERT_FALSE(e.getSamples().empty());
    EXPECT_EQ(e.getSamples().back().x, 0.0f);
    EXPECT_EQ(e.getSamples().back().y, 0.0f);
}
