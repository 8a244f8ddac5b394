#include <cmath>
#include <numbers>

#include "tests/host/ge/GeTestUtil.h"

namespace {
constexpr double kPi = std::numbers::pi;
}

TEST(BulgeArc, PositiveBulgeTurnsCounterClockwiseFromStartToEnd) {
    // Quarter circle of radius 10 about the origin: bulge tan(pi/8).
    const AcGePoint3d s(10, 0, 5), e(0, 10, 5);
    const AcGeCircArc3d arc = AcGeCircArc3d::fromBulge(s, e, std::tan(kPi / 8));
    expectNear(arc.center(), AcGePoint3d(0, 0, 5));
    EXPECT_NEAR(arc.radius(), 10, 1e-12);
    expectNear(arc.startPoint(), s);
    expectNear(arc.endPoint(), e);
    expectNear(arc.midPoint(), AcGePoint3d(10 * std::cos(kPi / 4), 10 * std::sin(kPi / 4), 5));
    EXPECT_NEAR(arc.length(), 10 * kPi / 2, 1e-9);
}

TEST(BulgeArc, HalfAndMajorArcsBulgeToTheCorrectSide) {
    const AcGePoint3d s(0, 0, 0), e(10, 0, 0);
    const AcGeCircArc3d ccwHalf = AcGeCircArc3d::fromBulge(s, e, 1.0);
    expectNear(ccwHalf.center(), AcGePoint3d(5, 0, 0));
    // Counter-clockwise from (0,0) round (5,0) passes below the chord.
    expectNear(ccwHalf.midPoint(), AcGePoint3d(5, -5, 0));
    const AcGeCircArc3d cwHalf = AcGeCircArc3d::fromBulge(s, e, -1.0);
    expectNear(cwHalf.midPoint(), AcGePoint3d(5, 5, 0));
    expectNear(cwHalf.endPoint(), e);

    // Three quarters of a circle: bulge tan(3pi/8) > 1 puts the centre on the far side.
    const AcGeCircArc3d major = AcGeCircArc3d::fromBulge(AcGePoint3d(10, 0, 0), AcGePoint3d(0, -10, 0),
                                                         std::tan(3 * kPi / 8));
    expectNear(major.center(), AcGePoint3d(0, 0, 0));
    expectNear(major.midPoint(), AcGePoint3d(-10 * std::cos(kPi / 4), 10 * std::sin(kPi / 4), 0));
    expectNear(major.endPoint(), AcGePoint3d(0, -10, 0));

    const AcGeCircArc2d flat = AcGeCircArc2d::fromBulge(AcGePoint2d(0, 0), AcGePoint2d(10, 0), -1.0);
    EXPECT_TRUE(flat.isClockWise());
    EXPECT_NEAR(flat.startPoint().distanceTo(AcGePoint2d(0, 0)), 0, 1e-9);
    EXPECT_NEAR(flat.endPoint().distanceTo(AcGePoint2d(10, 0)), 0, 1e-9);
    EXPECT_TRUE(flat.isOn(AcGePoint2d(5, 5), AcGeTol(1e-9, 1e-12)));
    EXPECT_FALSE(flat.isOn(AcGePoint2d(5, -5), AcGeTol(1e-9, 1e-12)));
}

TEST(ArcGeometry, DistanceAndIsOnHonourTheArcsBoundsAndTolerance) {
    const AcGeCircArc3d arc(AcGePoint3d(0, 0, 0), AcGeVector3d::kZAxis, AcGeVector3d::kXAxis, 10, 0, kPi / 2);
    const AcGeTol tol1(1.0, 1e-12);
    EXPECT_TRUE(arc.isOn(AcGePoint3d(0, 10.9, 0), tol1));
    EXPECT_FALSE(arc.isOn(AcGePoint3d(0, 11.1, 0), tol1));
    // Outside the angles the nearest end counts, not the circle.
    EXPECT_NEAR(arc.distanceTo(AcGePoint3d(-10, 0, 0)), std::hypot(10, 10), 1e-9);
    EXPECT_NEAR(arc.distanceTo(AcGePoint3d(10, -0.5, 0)), 0.5, 1e-9);
    // Distances are three-dimensional.
    EXPECT_NEAR(arc.distanceTo(AcGePoint3d(0, 10, 3)), 3, 1e-12);
    EXPECT_FALSE(arc.isOn(AcGePoint3d(0, 10, 1.5), tol1));
    expectNear(arc.closestPointTo(AcGePoint3d(20, 20, 0)), AcGePoint3d(10 / std::sqrt(2), 10 / std::sqrt(2), 0));
}
