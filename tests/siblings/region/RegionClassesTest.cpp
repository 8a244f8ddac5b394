#include <gtest/gtest.h>

#include <memory>
#include <numbers>

#include "host/ge/AcGePlane.h"
#include "siblings/region/AcDbVkBeam.h"
#include "siblings/region/AcDbVkConstrucSegment.h"
#include "siblings/region/AcDbVkRoom.h"
#include "tests/siblings/region/RegionTestDb.h"

using regiontest::setOutline;

TEST(RegionClasses, RoomNameIsDrawnInsideEvenAnLShapedRoom)
{
    // An L whose area centroid (about 2.9, 2.9 for these legs) falls in the notch.
    AcDbVkRoom room;
    setOutline(room, {{0, 0}, {10, 0}, {10, 1}, {1, 1}, {1, 10}, {0, 10}});
    room.SetAttname(u"走廊");
    regiontest::RecordingDraw draw;
    EXPECT_TRUE(room.worldDraw(&draw));
    ASSERT_EQ(draw.texts.size(), 1u);
    EXPECT_EQ(draw.texts[0].text.Compare(u"走廊"), 0);
    const AcGePoint3d at = draw.texts[0].at;
    const bool inVerticalLeg = at.x >= 0 && at.x <= 1 && at.y >= 0 && at.y <= 10;
    const bool inHorizontalLeg = at.x >= 0 && at.x <= 10 && at.y >= 0 && at.y <= 1;
    EXPECT_TRUE(inVerticalLeg || inHorizontalLeg) << at.x << ", " << at.y;

    // A convex room keeps its name at the centroid.
    AcDbVkRoom square;
    setOutline(square, {{0, 0}, {0, 4}, {4, 4}, {4, 0}});
    square.SetAttname(u"A");
    regiontest::RecordingDraw d2;
    square.worldDraw(&d2);
    ASSERT_EQ(d2.texts.size(), 1u);
    EXPECT_TRUE(d2.texts[0].at.isEqualTo(AcGePoint3d(2, 2, 0)));
}

TEST(RegionClasses, BeamMirrorsWithItsOutline)
{
    AcDbVkBeam beam(AcGePoint3d(100, 0, 0), AcGePoint3d(500, 0, 0), 200);
    ASSERT_EQ(beam.transformBy(AcGeMatrix3d::mirroring(AcGePlane(AcGePoint3d::kOrigin, AcGeVector3d::kXAxis))),
              Acad::eOk);
    AcGePoint3d s, e;
    beam.getStartPoint(s);
    beam.getEndPoint(e);
    EXPECT_TRUE(s.isEqualTo(AcGePoint3d(-100, 0, 0)));
    EXPECT_TRUE(e.isEqualTo(AcGePoint3d(-500, 0, 0)));
    EXPECT_DOUBLE_EQ(beam.width(), 200);
    AcDbExtents ext;
    ASSERT_EQ(beam.getGeomExtents(ext), Acad::eOk);
    EXPECT_TRUE(ext.minPoint().isEqualTo(AcGePoint3d(-500, -100, 0)));
    EXPECT_TRUE(ext.maxPoint().isEqualTo(AcGePoint3d(-100, 100, 0)));
    EXPECT_EQ(beam.setWidth(-1), Acad::eInvalidInput);
}

TEST(RegionClasses, RoomOutlineFollowsAMirror)
{
    AcDbVkRoom room;
    setOutline(room, {{0, 0}, {0, 4}, {6, 4}, {6, 0}});
    room.SetIfBelongSR(true);
    ASSERT_EQ(room.transformBy(AcGeMatrix3d::mirroring(AcGePlane(AcGePoint3d::kOrigin, AcGeVector3d::kYAxis))),
              Acad::eOk);
    AcGePoint3d p;
    room.getPointAt(2, p);
    EXPECT_TRUE(p.isEqualTo(AcGePoint3d(6, -4, 0)));
    EXPECT_TRUE(room.GetIfBelongSR());
}

// A band's extents are those of the outline it draws, slanted, without width or without length.
TEST(RegionClasses, BandExtentsHoldItsOutline)
{
    const struct {
        AcGePoint3d s, e;
        double width;
    } bands[] = {{{0, 0, 0}, {300, 400, 0}, 50}, {{10, 20, 5}, {-40, 70, 5}, 0}, {{7, 7, 0}, {7, 7, 0}, 30}};
    for (const auto& b : bands) {
        AcDbVkBeam beam(b.s, b.e, b.width);
        std::vector<AcDbEntity::GeomPiece> pieces;
        beam.getGeomPieces(pieces);
        AcDbExtents drawn;
        for (const auto& p : pieces) {
            drawn.addPoint(p.a);
            drawn.addPoint(p.b);
        }
        AcDbExtents ext;
        ASSERT_EQ(beam.getGeomExtents(ext), Acad::eOk);
        EXPECT_TRUE(ext.minPoint().isEqualTo(drawn.minPoint())) << b.width;
        EXPECT_TRUE(ext.maxPoint().isEqualTo(drawn.maxPoint())) << b.width;
        EXPECT_TRUE(ext.contains(b.s) && ext.contains(b.e)) << b.width;
    }
    AcDbVkBeam slanted(AcGePoint3d(0, 0, 0), AcGePoint3d(300, 400, 0), 50);
    AcDbExtents ext;
    slanted.getGeomExtents(ext);
    EXPECT_NEAR(ext.minPoint().x, -20, 1e-9);  // the start's corner out by half the width across
    EXPECT_NEAR(ext.maxPoint().y, 415, 1e-9);
}
