#include <numbers>

#include "tests/host/ge/GeTestUtil.h"

TEST(Extents, IntersectsAndContainsWithTolerance) {
    const AcDbExtents a(AcGePoint3d(0, 0, 0), AcGePoint3d(10, 10, 0));
    const AcDbExtents touching(AcGePoint3d(10, 0, 0), AcGePoint3d(20, 10, 0));
    const AcDbExtents gap(AcGePoint3d(10.5, 0, 0), AcGePoint3d(20, 10, 0));
    EXPECT_TRUE(a.intersects(touching));
    EXPECT_FALSE(a.intersects(gap));
    EXPECT_TRUE(a.intersects(gap, 1.0));
    EXPECT_TRUE(gap.intersects(a, 1.0));
    EXPECT_FALSE(a.intersects(AcDbExtents(AcGePoint3d(2, 2, 5), AcGePoint3d(3, 3, 6))));
    EXPECT_FALSE(a.intersects(AcDbExtents()));
    EXPECT_TRUE(a.contains(AcGePoint3d(5, 5, 0)));
    EXPECT_FALSE(a.contains(AcGePoint3d(10.5, 5, 0)));
    EXPECT_TRUE(a.contains(AcGePoint3d(10.5, 5, 0), 1.0));
}
