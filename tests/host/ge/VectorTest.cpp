#include <cmath>
#include <numbers>

#include "tests/host/ge/GeTestUtil.h"

namespace {
constexpr double kPi = std::numbers::pi;
}

TEST(VectorAngles, AngleToWithReferenceIsCounterClockwiseSeenFromItsTip) {
    const AcGeVector3d x(1, 0, 0), y(0, 1, 0);
    EXPECT_NEAR(x.angleTo(y, AcGeVector3d::kZAxis), kPi / 2, 1e-12);
    EXPECT_NEAR(x.angleTo(y, -AcGeVector3d::kZAxis), 3 * kPi / 2, 1e-12);
    EXPECT_NEAR(x.angleTo(AcGeVector3d(-1, -1, 0), AcGeVector3d::kZAxis), 5 * kPi / 4, 1e-12);
    EXPECT_NEAR(x.angleTo(AcGeVector3d(-1, 0, 0), AcGeVector3d::kZAxis), kPi, 1e-12);
    const double same = x.angleTo(x, AcGeVector3d::kZAxis);
    EXPECT_GE(same, 0.0);
    EXPECT_LT(same, 2 * kPi);
    EXPECT_NEAR(same, 0.0, 1e-12);
    // The unsigned angle stays within [0, pi].
    EXPECT_NEAR(x.angleTo(AcGeVector3d(1, -1, 0)), kPi / 4, 1e-12);
    EXPECT_NEAR(AcGeVector2d(0, -1).angle(), 3 * kPi / 2, 1e-12);
}

TEST(VectorTolerances, ParallelAndEqualFollowTheGivenTolerance) {
    const AcGeTol oneDegree(1.0, kPi / 180);
    const AcGeVector3d slight(1, std::tan(0.5 * kPi / 180), 0);
    EXPECT_TRUE(slight.isParallelTo(AcGeVector3d::kXAxis, oneDegree));
    EXPECT_TRUE((-slight).isParallelTo(AcGeVector3d::kXAxis, oneDegree));
    EXPECT_FALSE(slight.isParallelTo(AcGeVector3d::kXAxis));
    EXPECT_TRUE(AcGeVector3d(0, 0, 3).isPerpendicularTo(AcGeVector3d(2, 1, 0)));
    EXPECT_TRUE(AcGeVector3d(0, 0, 0).normal().isZeroLength());
    expectNear(AcGeVector3d(3, 4, 0).normal(), AcGeVector3d(0.6, 0.8, 0), 1e-15);
    EXPECT_NEAR(AcGeContext::gTol.equalPoint(), 1e-10, 0);
    EXPECT_NEAR(AcGeContext::gTol.equalVector(), 1e-12, 0);
    const AcGeVector3d v(0.3, -2, 5);
    EXPECT_NEAR(v.perpVector().dotProduct(v), 0.0, 1e-12);
    EXPECT_FALSE(v.perpVector().isZeroLength());
}

TEST(PlaneCoordinates, PointsConvertToAndFromPlaneCoordinates) {
    const AcGePlane tilted(AcGePoint3d(1, 2, 3), AcGeVector3d(1, 1, 1));
    const AcGePoint3d p(tilted, AcGePoint2d(4, -5));
    EXPECT_TRUE(tilted.isOn(p, AcGeTol(1e-9, 1e-12)));
    const AcGePoint2d back = p.convert2d(tilted);
    EXPECT_NEAR(back.x, 4, 1e-12);
    EXPECT_NEAR(back.y, -5, 1e-12);
    const AcGePoint2d flat = AcGePoint3d(7, 8, 9).convert2d(AcGePlane::kXYPlane);
    EXPECT_DOUBLE_EQ(flat.x, 7);
    EXPECT_DOUBLE_EQ(flat.y, 8);
    EXPECT_NEAR(tilted.signedDistanceTo(AcGePoint3d(1, 2, 3) + AcGeVector3d(1, 1, 1)), std::sqrt(3.0), 1e-12);
    expectNear(AcGePlane::kZXPlane.normal(), AcGeVector3d(0, 1, 0));
}
