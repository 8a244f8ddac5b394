// Circles, arcs, points and texts: geometry under transforms, extents, filing.
#include <gtest/gtest.h>

#include <numbers>
#include <sstream>

#include "host/db/AcDb.h"
#include "host/db/AcDbJson.h"
#include "tests/host/db/core_TestDb.h"
#include "tests/support/ProjectFiles.h"

namespace {

constexpr double kPi = std::numbers::pi;

AcGeMatrix3d mirrorAboutYAxis()
{
    return AcGeMatrix3d::mirroring(AcGePlane(AcGePoint3d::kOrigin, AcGeVector3d::kXAxis));
}

}  // namespace

TEST(DraftingEntities, AnArcKeepsItsEndPointsThroughTurnsAndMirrors)
{
    // A quarter arc from (10,0) to (0,10) about the origin.
    AcDbArc arc(AcGePoint3d(0, 0, 0), 10, 0, kPi / 2);
    AcDbExtents ext;
    ASSERT_EQ(arc.getGeomExtents(ext), Acad::eOk);
    EXPECT_NEAR(ext.minPoint().x, 0, 1e-9);
    EXPECT_NEAR(ext.maxPoint().y, 10, 1e-9);

    ASSERT_EQ(arc.transformBy(AcGeMatrix3d::rotation(kPi / 2, AcGeVector3d::kZAxis)), Acad::eOk);
    AcGePoint3d s, e;
    arc.getStartPoint(s);
    arc.getEndPoint(e);
    EXPECT_TRUE(s.isEqualTo(AcGePoint3d(0, 10, 0))) << s.x << "," << s.y;
    EXPECT_TRUE(e.isEqualTo(AcGePoint3d(-10, 0, 0))) << e.x << "," << e.y;

    // Mirrored left-right the arc runs counter-clockwise from (10,0) to (0,10) again.
    ASSERT_EQ(arc.transformBy(mirrorAboutYAxis()), Acad::eOk);
    arc.getStartPoint(s);
    arc.getEndPoint(e);
    EXPECT_TRUE(s.isEqualTo(AcGePoint3d(10, 0, 0))) << s.x << "," << s.y;
    EXPECT_TRUE(e.isEqualTo(AcGePoint3d(0, 10, 0))) << e.x << "," << e.y;

    AcDbCircle circle(AcGePoint3d(5, 5, 0), 2);
    ASSERT_EQ(circle.transformBy(AcGeMatrix3d::scaling(3)), Acad::eOk);
    EXPECT_NEAR(circle.radius(), 6, 1e-12);
    EXPECT_TRUE(circle.center().isEqualTo(AcGePoint3d(15, 15, 0)));
    EXPECT_EQ(circle.setRadius(0), Acad::eInvalidInput);
}

TEST(DraftingEntities, TextsAreOutlinedByTheirAlignmentAndStayReadableWhenMirrored)
{
    // Centred on its point: the box reaches as far left as right; Chinese characters fill the
    // font's square, 1.36 times as wide as its capitals are tall, so three of them at height 2
    // make a box 8.16 wide.
    AcDbText text(AcGePoint3d(100, 50, 0), u"卫生间", 2.0);
    ASSERT_EQ(text.setHorizontalMode(AcDb::kTextCenter), Acad::eOk);
    AcDbExtents ext;
    ASSERT_EQ(text.getGeomExtents(ext), Acad::eOk);
    EXPECT_NEAR(ext.minPoint().x, 95.92, 1e-9);
    EXPECT_NEAR(ext.maxPoint().x, 104.08, 1e-9);
    EXPECT_NEAR(ext.minPoint().y, 50, 1e-9);
    EXPECT_NEAR(ext.maxPoint().y, 52, 1e-9);

    AcDbText left(AcGePoint3d(10, 0, 0), u"WC", 1.0);
    ASSERT_EQ(left.transformBy(mirrorAboutYAxis()), Acad::eOk);
    EXPECT_NEAR(left.rotation(), 0, 1e-12);  // still reads left to right
    EXPECT_EQ(left.horizontalMode(), AcDb::kTextRight);
    EXPECT_TRUE(left.position().isEqualTo(AcGePoint3d(-10, 0, 0)));

    AcDbText turned(AcGePoint3d(0, 0, 0), u"A", 1.0);
    ASSERT_EQ(turned.transformBy(AcGeMatrix3d::rotation(kPi / 2, AcGeVector3d::kZAxis) * AcGeMatrix3d::scaling(2)),
              Acad::eOk);
    EXPECT_NEAR(turned.rotation(), kPi / 2, 1e-12);
    EXPECT_NEAR(turned.height(), 2, 1e-12);
    EXPECT_EQ(turned.setHeight(-1), Acad::eInvalidInput);
}

