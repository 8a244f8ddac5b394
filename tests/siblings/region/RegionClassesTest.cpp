#include <gtest/gtest.h>

#include <memory>
#include <numbers>

#include "host/ge/AcGePlane.h"
#include "siblings/region/AcDbVkBeam.h"
#include "siblings/region/AcDbVkConstrucSegment.h"
#include "siblings/region/AcDbVkRoom.h"
#include "tests/siblings/region/RegionTestDb.h"

using regiontest::setOutline;

// The derivation the module relies on (rooms and segments are boundaries, a beam is not), and
// every concrete kind made by name; casts follow it.
TEST(RegionClasses, DeriveAsTheModuleExpects)
{
    EXPECT_EQ(AcDbVkRoom::desc()->myParent(), AcDbVkBanBase::desc());
    EXPECT_EQ(AcDbVkConstrucSegment::desc()->myParent(), AcDbVkBanBase::desc());
    EXPECT_TRUE(AcDbVkBanBase::desc()->isAbstract());
    EXPECT_TRUE(AcDbVkBanBase::desc()->isDerivedFrom(AcDbPolyline::desc()));
    for (const char16_t* name : {u"AcDbVkRoom", u"AcDbVkConstrucSegment", u"AcDbVkBeam"}) {
        AcRxClass* c = acrxFindClass(name);
        ASSERT_NE(c, nullptr) << CString(name).ToUtf8();
        std::unique_ptr<AcRxObject> made(c->create());
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(made->isA(), c);
        EXPECT_EQ(AcDbVkBanBase::cast(made.get()) != nullptr, CString(name) != CString(u"AcDbVkBeam"));
    }
    AcDbVkRoom room;
    AcDbVkConstrucSegment seg;
    EXPECT_EQ(AcDbVkRoom::cast(&seg), nullptr);
    EXPECT_EQ(AcDbVkConstrucSegment::cast(&room), nullptr);
    EXPECT_EQ(AcDbVkBanBase::cast(nullptr), nullptr);
}

TEST(RegionClasses, CopiesTakeOutlineAndEveryField)
{
    AcDbVkRoom room;
    setOutline(room, {{0, 0}, {0, 4000}, {6000, 4000}, {6000, 0}});
    room.setBulgeAt(1, 0.5);
    room.setElevation(300);
    room.setLayer(u"VK_建筑_SYS_房间");
    room.setColorIndex(3);
    room.setVisibility(AcDb::kInvisible);
    room.setWidthsAt(0, 20, 40);
    room.SetAttname(u"卫生间");
    room.SetAttIndex(u"R-12");
    room.SetIfBelongSR(true);

    AcDbVkRoom copy(room);
    EXPECT_EQ(copy.numVerts(), 4u);
    AcGePoint2d p;
    copy.getPointAt(2, p);
    EXPECT_TRUE(p.isEqualTo(AcGePoint2d(6000, 4000)));
    double bulge = 0;
    copy.getBulgeAt(1, bulge);
    EXPECT_DOUBLE_EQ(bulge, 0.5);
    EXPECT_TRUE(copy.isClosed());
    EXPECT_DOUBLE_EQ(copy.elevation(), 300);
    EXPECT_EQ(copy.layer().Compare(u"VK_建筑_SYS_房间"), 0);
    EXPECT_EQ(copy.colorIndex(), 3);
    EXPECT_EQ(copy.visibility(), AcDb::kInvisible);
    double sw = 0, ew = 0;
    copy.getWidthsAt(0, sw, ew);
    EXPECT_DOUBLE_EQ(sw, 20);
    EXPECT_DOUBLE_EQ(ew, 40);
    EXPECT_EQ(copy.GetAttname().Compare(u"卫生间"), 0);
    EXPECT_EQ(copy.GetAttIndex().Compare(u"R-12"), 0);
    EXPECT_TRUE(copy.GetIfBelongSR());

    // Assignment replaces what the target had, vertices included.
    AcDbVkRoom other;
    setOutline(other, {{1, 1}, {2, 2}, {3, 1}, {5, 5}, {9, 9}});
    other.SetAttIndex(u"old");
    other = room;
    EXPECT_EQ(other.numVerts(), 4u);
    EXPECT_EQ(other.GetAttIndex().Compare(u"R-12"), 0);
    EXPECT_TRUE(other.GetIfBelongSR());
    EXPECT_EQ(other.visibility(), AcDb::kInvisible);
    EXPECT_EQ(other.colorIndex(), 3);

    AcDbVkConstrucSegment seg;
    setOutline(seg, {{0, 0}, {10, 0}, {10, 10}});
    seg.SetAttname(u"一段");
    seg.setVisibility(AcDb::kInvisible);
    AcDbVkConstrucSegment segCopy;
    segCopy = seg;
    EXPECT_EQ(segCopy.visibility(), AcDb::kInvisible);
    EXPECT_EQ(AcDbVkConstrucSegment(seg).visibility(), AcDb::kInvisible);
    EXPECT_EQ(segCopy.numVerts(), 3u);
    EXPECT_EQ(segCopy.GetAttname().Compare(u"一段"), 0);
}

TEST(RegionClasses, KindHooks)
{
    AcDbVkBanBase base;
    regiontest::RecordingDraw draw;
    AcGePoint3d pt(5, 5, 0);
    base.AdjustTextPosition(pt);
    EXPECT_TRUE(pt.isEqualTo(AcGePoint3d(5, 5, 0)));
    EXPECT_FALSE(base.DrawSympol(&draw, pt));
    EXPECT_EQ(draw.texts.size() + draw.polylines + draw.circles + draw.arcs, 0u);
    EXPECT_EQ(base.CreateNew(), nullptr);

    AcDbVkRoom room;
    AcDbVkBanBase* fresh = room.CreateNew();
    ASSERT_NE(AcDbVkRoom::cast(fresh), nullptr);
    EXPECT_EQ(fresh->numVerts(), 0u);
    delete fresh;
    AcDbVkConstrucSegment seg;
    fresh = seg.CreateNew();
    EXPECT_NE(AcDbVkConstrucSegment::cast(fresh), nullptr);
    delete fresh;
}

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

TEST(RegionClasses, UnnamedRegionDrawsOnlyItsOutline)
{
    AcDbVkConstrucSegment seg;
    setOutline(seg, {{0, 0}, {0, 4}, {4, 4}, {4, 0}});
    regiontest::RecordingDraw draw;
    seg.worldDraw(&draw);
    EXPECT_TRUE(draw.texts.empty());
    EXPECT_GT(draw.polylines + draw.arcs, 0);
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

TEST(RegionClasses, SettersOfAResidentRegionNeedAWriteOpen)
{
    AcDbDatabase db;
    auto* room = new AcDbVkRoom;
    setOutline(*room, {{0, 0}, {0, 4}, {4, 4}});
    const AcDbObjectId id = regiontest::appendToModelSpace(db, room);
    ASSERT_FALSE(id.isNull());

    AcDbVkRoom* r = nullptr;
    ASSERT_EQ(acdbOpenObject(r, id, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(r->SetAttname(u"x"), Acad::eNotOpenForWrite);
    EXPECT_EQ(r->SetIfBelongSR(true), Acad::eNotOpenForWrite);
    r->SetAttIndex(u"ignored");
    EXPECT_TRUE(r->GetAttIndex().IsEmpty());
    EXPECT_TRUE(r->GetAttname().IsEmpty());
    ASSERT_EQ(r->upgradeOpen(), Acad::eOk);
    EXPECT_EQ(r->SetAttname(u"x"), Acad::eOk);
    r->SetAttIndex(u"7");
    EXPECT_EQ(r->GetAttIndex().Compare(u"7"), 0);
    r->close();
    EXPECT_EQ(db.numOpenObjects(), 0);
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
