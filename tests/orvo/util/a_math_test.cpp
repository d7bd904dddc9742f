// The game's small math helpers: directions, rounding halves up, rectangle union.
#include <gtest/gtest.h>

#include "orvo/util/a_geometry.h"
#include "orvo/util/a_math.h"
#include "orvo/util/a_vector2.h"

TEST(Math, AngleDegIsClockwiseFromUp)
{
    const struct {
        aVector2 v;
        float degrees;
    } cases[] = {
        {{1, 0}, 90.0f}, {{0, -1}, 0.0f}, {{-1, 0}, -90.0f}, {{0, 0}, 90.0f}, {{0, 1}, 180.0f}, {{1, -1}, 45.0f},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(c.v.angleDeg(), c.degrees, 1e-4f) << c.v.x << "," << c.v.y;
}

TEST(Math, RoundTakesHalvesUp)
{
    const struct {
        float f;
        int rounded;
    } cases[] = {{2.5f, 3}, {-2.5f, -2}, {0.49f, 0}, {-0.5f, 0}, {-0.51f, -1}, {7.0f, 7}, {1.9999f, 2}};
    for (const auto& c : cases)
        EXPECT_EQ(aMath::round(c.f), c.rounded) << c.f;
    EXPECT_FLOAT_EQ(aMath::sin(0.0f), 0.0f);
}

TEST(Math, UniteReachesBothFarEdges)
{
    EXPECT_EQ(aRect(10, 10, 5, 5).unite(aRect(-3, 2, 4, 4)), aRect(-3, 2, 18, 13));
    EXPECT_EQ(aRect(-3, 2, 4, 4).unite(aRect(10, 10, 5, 5)), aRect(-3, 2, 18, 13));
    EXPECT_EQ(aRect(0, 0, 10, 10).unite(aRect(2, 2, 3, 3)), aRect(0, 0, 10, 10));
}
