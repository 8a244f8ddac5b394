#include <cmath>
#include <numbers>

#include "tests/host/ge/GeTestUtil.h"

namespace {
constexpr double kPi = std::numbers::pi;
const AcGeTol kTol1(1.0, 1e-12);
const AcGeTol kRayTol(1.0, kPi / 180);
const AcGeVector3d kMinusX(-1, 0, 0);

// Upper half circle of radius 10 about the origin, counter-clockwise from (10,0) to (-10,0).
AcGeCircArc3d upperHalf() { return AcGeCircArc3d::fromBulge(AcGePoint3d(10, 0, 0), AcGePoint3d(-10, 0, 0), 1.0); }
}  // namespace

TEST(ArcRayIntersection, CrossingRaysReportPointsInOrderAlongTheRay) {
    const AcGeCircArc3d arc = upperHalf();
    int n = -1;
    AcGePoint3d p1, p2;
    ASSERT_TRUE(arc.intersectWith(AcGeRay3d(AcGePoint3d(20, 5, 0), kMinusX), n, p1, p2, kRayTol));
    ASSERT_EQ(n, 2);
    const double x = std::sqrt(75.0);
    expectNear(p1, AcGePoint3d(x, 5, 0));
    expectNear(p2, AcGePoint3d(-x, 5, 0));

    // Starting inside the circle, the ray meets the arc once.
    ASSERT_TRUE(arc.intersectWith(AcGeRay3d(AcGePoint3d(0, 5, 0), kMinusX), n, p1, p2, kRayTol));
    EXPECT_EQ(n, 1);
    expectNear(p1, AcGePoint3d(-x, 5, 0));

    // Below the half circle the full circle is met but the arc is not.
    EXPECT_FALSE(arc.intersectWith(AcGeRay3d(AcGePoint3d(20, -5, 0), kMinusX), n, p1, p2, kRayTol));
    EXPECT_EQ(n, 0);
}

TEST(ArcRayIntersection, TangentTouchWithinToleranceIsOnePointPerpendicularToTheRay) {
    const AcGeCircArc3d arc = upperHalf();
    int n = -1;
    AcGePoint3d p1, p2;
    for (double y : {10.0, 10.6, 9.4}) {
        ASSERT_TRUE(arc.intersectWith(AcGeRay3d(AcGePoint3d(20, y, 0), kMinusX), n, p1, p2, kRayTol)) << y;
        EXPECT_EQ(n, 1) << y;
        const AcGeVector3d radial = (p1 - arc.center()).normal();
        EXPECT_NEAR(radial.angleTo(kMinusX), kPi / 2, 0.001) << y;
    }
    EXPECT_FALSE(arc.intersectWith(AcGeRay3d(AcGePoint3d(20, 11.2, 0), kMinusX), n, p1, p2, kRayTol));
    EXPECT_EQ(n, 0);
    // A ray pointing away from the arc meets nothing.
    EXPECT_FALSE(arc.intersectWith(AcGeRay3d(AcGePoint3d(20, 5, 0), AcGeVector3d(1, 0, 0)), n, p1, p2, kRayTol));
}

TEST(ArcRayIntersection, NearTangentRayStillCrossesAnArcThatEndsBeforeTheTouchPoint) {
    // Radius 10, from 0 to 80 degrees: the ray at y = 9.2 is within 1.0 of tangent, but the
    // arc stops short of the touch point (0, 9.2) and really crosses the ray once.
    const AcGeCircArc3d arc(AcGePoint3d(0, 0, 0), AcGeVector3d::kZAxis, AcGeVector3d::kXAxis, 10, 0, 80 * kPi / 180);
    int n = -1;
    AcGePoint3d p1, p2;
    ASSERT_TRUE(arc.intersectWith(AcGeRay3d(AcGePoint3d(20, 9.2, 0), kMinusX), n, p1, p2, kRayTol));
    EXPECT_EQ(n, 1);
    expectNear(p1, AcGePoint3d(std::sqrt(100 - 9.2 * 9.2), 9.2, 0));
    EXPECT_GT(std::fabs((p1 - arc.center()).normal().angleTo(kMinusX) - kPi / 2), 0.001);
}

TEST(ArcSegmentIntersection, TouchesAtEndsWithinToleranceCount) {
    const AcGeCircArc3d arc = upperHalf();
    int n = -1;
    AcGePoint3d p1, p2;
    // The segment stops 0.5 short of the circle.
    ASSERT_TRUE(arc.intersectWith(AcGeLineSeg3d(AcGePoint3d(0, 20, 0), AcGePoint3d(0, 10.5, 0)), n, p1, p2, kTol1));
    EXPECT_EQ(n, 1);
    expectNear(p1, AcGePoint3d(0, 10, 0));
    EXPECT_FALSE(arc.intersectWith(AcGeLineSeg3d(AcGePoint3d(0, 20, 0), AcGePoint3d(0, 11.5, 0)), n, p1, p2, kTol1));
    EXPECT_EQ(n, 0);

    // A vertical line at x = 10.5 misses the arc's start (10, 0) by 0.5 and touches the circle.
    ASSERT_TRUE(arc.intersectWith(AcGeLineSeg3d(AcGePoint3d(10.5, -5, 0), AcGePoint3d(10.5, 5, 0)), n, p1, p2, kTol1));
    EXPECT_EQ(n, 1);
    // A horizontal line just below the arc's ends meets the circle near both ends.
    ASSERT_TRUE(arc.intersectWith(AcGeLineSeg3d(AcGePoint3d(-20, -0.5, 0), AcGePoint3d(20, -0.5, 0)), n, p1, p2, kTol1));
    EXPECT_EQ(n, 2);
    EXPECT_LT(p1.x, p2.x);  // along the segment from its start
    EXPECT_FALSE(arc.intersectWith(AcGeLineSeg3d(AcGePoint3d(-20, -3, 0), AcGePoint3d(20, -3, 0)), n, p1, p2, kTol1));

    // With the host's tight tolerance the same near-touch is a miss.
    EXPECT_FALSE(arc.intersectWith(AcGeLineSeg3d(AcGePoint3d(0, 20, 0), AcGePoint3d(0, 10.5, 0)), n, p1, p2));
}

