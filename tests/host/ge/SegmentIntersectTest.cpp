#include <cmath>
#include <numbers>

#include "tests/host/ge/GeTestUtil.h"

namespace {
const AcGeTol kTol1(1.0, 1e-12);
}

TEST(SegmentIntersection, CrossingSegmentsMeetInOnePoint) {
    const AcGeLineSeg3d a(AcGePoint3d(0, 0, 0), AcGePoint3d(10, 10, 0));
    const AcGeLineSeg3d b(AcGePoint3d(0, 10, 0), AcGePoint3d(10, 0, 0));
    AcGePoint3d p;
    ASSERT_TRUE(a.intersectWith(b, p));
    expectNear(p, AcGePoint3d(5, 5, 0));
    AcGePoint3d q;
    ASSERT_TRUE(b.intersectWith(a, q));
    expectNear(q, p);
    // Sharing an end point is a meeting too.
    ASSERT_TRUE(a.intersectWith(AcGeLineSeg3d(AcGePoint3d(10, 10, 0), AcGePoint3d(20, 0, 0)), p));
    expectNear(p, AcGePoint3d(10, 10, 0));
}

TEST(RayIntersection, RayMeetsSegmentsAheadOfItsBaseOnly) {
    const AcGeRay3d ray(AcGePoint3d(0, 0, 0), AcGeVector3d(-2, 0, 0));
    expectNear(ray.direction(), AcGeVector3d(-1, 0, 0));
    AcGePoint3d p;
    ASSERT_TRUE(ray.intersectWith(AcGeLineSeg3d(AcGePoint3d(-5, -1, 0), AcGePoint3d(-5, 1, 0)), p, kTol1));
    expectNear(p, AcGePoint3d(-5, 0, 0));
    AcGePoint3d q;
    ASSERT_TRUE(AcGeLineSeg3d(AcGePoint3d(-5, -1, 0), AcGePoint3d(-5, 1, 0)).intersectWith(ray, q, kTol1));
    expectNear(q, p);
    EXPECT_FALSE(ray.intersectWith(AcGeLineSeg3d(AcGePoint3d(5, -1, 0), AcGePoint3d(5, 1, 0)), p, kTol1));
    // Behind the base but within tolerance of it.
    EXPECT_TRUE(ray.intersectWith(AcGeLineSeg3d(AcGePoint3d(0.5, -1, 0), AcGePoint3d(0.5, 1, 0)), p, kTol1));

    // Distances from a ray to points and segments are three-dimensional.
    EXPECT_NEAR(ray.distanceTo(AcGePoint3d(-3, 0, 2)), 2, 1e-12);
    EXPECT_NEAR(ray.distanceTo(AcGePoint3d(3, 4, 0)), 5, 1e-12);
    EXPECT_NEAR(ray.distanceTo(AcGeLineSeg3d(AcGePoint3d(-5, 1, 0), AcGePoint3d(-5, 5, 0))), 1, 1e-12);
    EXPECT_NEAR(ray.distanceTo(AcGeLineSeg3d(AcGePoint3d(-5, -3, 1), AcGePoint3d(-5, 3, 1))), 1, 1e-12);
    EXPECT_TRUE(ray.isOn(AcGePoint3d(-100, 0.5, 0), kTol1));
    EXPECT_FALSE(ray.isOn(AcGePoint3d(2, 0, 0), kTol1));
}

