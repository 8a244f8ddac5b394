#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "host/ge/AcGePlane.h"
#include "siblings/object/AcDbQsStandRoom.h"
#include "siblings/object/VkQsDlpEnt.h"
#include "siblings/object/VkQsDuctFitting.h"
#include "siblings/object/VkQsElementComponent.h"
#include "siblings/object/VkQsMainLine.h"
#include "siblings/object/VkQsNode.h"
#include "siblings/object/VkQsNodeEntPrototype.h"
#include "siblings/object/VkQsPipeValve.h"
#include "tests/siblings/region/RegionTestDb.h"

namespace {

// Reflection in the plane x = 0.
AcGeMatrix3d mirrorX()
{
    return AcGeMatrix3d::mirroring(AcGePlane(AcGePoint3d::kOrigin, AcGeVector3d::kXAxis));
}

bool near(const AcGePoint3d& a, const AcGePoint3d& b)
{
    return a.distanceTo(b) < 1e-9;
}

}  // namespace

TEST(ObjectTransform, StraightComponentsMirrorBothEnds)
{
    VkQsMainPipe pipe(AcGePoint3d(100, 10, 0), AcGePoint3d(400, 20, 5));
    ASSERT_EQ(pipe.transformBy(mirrorX()), Acad::eOk);
    EXPECT_TRUE(near(pipe.startPoint(), AcGePoint3d(-100, 10, 0)));
    EXPECT_TRUE(near(pipe.endPoint(), AcGePoint3d(-400, 20, 5)));

    VkQsDlpEnt dlp(AcGePoint3d(100, 0, 0), AcGePoint3d(100, 800, 0), 320);
    dlp.transformBy(mirrorX());
    dlp.transformBy(AcGeMatrix3d::scaling(2));
    EXPECT_TRUE(near(dlp.startPoint(), AcGePoint3d(-200, 0, 0)));
    EXPECT_TRUE(near(dlp.endPoint(), AcGePoint3d(-200, 1600, 0)));
    EXPECT_DOUBLE_EQ(dlp.width(), 640);
}

TEST(ObjectTransform, PointLikeComponentsMirrorTheirPointsAndDirections)
{
    VkQsPipeValve valve(AcGePoint3d(50, 5, 0), 0);
    valve.transformBy(mirrorX());
    EXPECT_TRUE(near(valve.position(), AcGePoint3d(-50, 5, 0)));
    EXPECT_NEAR(std::cos(valve.angle()), -1, 1e-12);

    VkQsNode node(AcGePoint3d(7, 8, 9));
    node.transformBy(mirrorX());
    EXPECT_TRUE(near(node.GetInsertPoint(), AcGePoint3d(-7, 8, 9)));

    VkQsDuctFitting duct(AcGePoint3d(30, 40, 0));
    duct.transformBy(mirrorX());
    EXPECT_TRUE(near(duct.position(), AcGePoint3d(-30, 40, 0)));

    VkQsSprinkler spr(VkQsCommon::Placement3D(AcGePoint3d(10, 0, 0), AcGeVector3d(1, 1, 0).normal()));
    spr.transformBy(mirrorX());
    EXPECT_TRUE(near(spr.GetPlacement().GetLocation(), AcGePoint3d(-10, 0, 0)));
    EXPECT_TRUE(spr.GetPlacement().GetRefDirection().isEqualTo(AcGeVector3d(-1, 1, 0).normal()));

    VkQsCore::Product p;
    p.location = AcGePoint3d(1000, 0, 0);
    p.angle = std::numbers::pi / 2;
    VkQsElementComponent equip(p);
    equip.transformBy(AcGeMatrix3d::rotation(std::numbers::pi / 2, AcGeVector3d::kZAxis));
    EXPECT_TRUE(near(VkQsCore::GetProductLocation(equip.GetProduct()), AcGePoint3d(0, 1000, 0)));
    EXPECT_NEAR(std::cos(equip.GetProduct()->angle), -1, 1e-12);
    // The footprint follows: 600 wide along -X now.
    AcDbExtents ext;
    ASSERT_EQ(equip.getGeomExtents(ext), Acad::eOk);
    EXPECT_NEAR(ext.maxPoint().x - ext.minPoint().x, 600, 1e-9);
}

TEST(ObjectTransform, MarkerCarriesItsPointsAndMatrixAlong)
{
    AcDbQsStandRoom marker;
    marker.addVertexAt(0, AcGePoint2d(40, 40));
    marker.addVertexAt(1, AcGePoint2d(40, 3960));
    marker.SetBasePt(AcGePoint3d(10, 0, 0));
    marker.SetInsertPt(AcGePoint3d(10, 0, 0));
    marker.SetMatrix(AcGeMatrix3d::kIdentity);
    const AcGeMatrix3d place = AcGeMatrix3d::translation(AcGeVector3d(500, 0, 0)) * mirrorX();
    ASSERT_EQ(marker.transformBy(place), Acad::eOk);
    EXPECT_TRUE(near(marker.GetInsertPt(), AcGePoint3d(490, 0, 0)));
    EXPECT_TRUE(near(marker.GetBasePt(), AcGePoint3d(490, 0, 0)));
    EXPECT_TRUE(marker.GetMatrix().isEqualTo(place));
    AcGePoint3d v;
    marker.getPointAt(1, v);
    EXPECT_TRUE(near(v, AcGePoint3d(460, 3960, 0)));

    // Its name, flipped or not, is written in its lower left corner, inside (the room's own
    // label keeps the middle).
    marker.addVertexAt(2, AcGePoint2d(-2000, 3960));
    marker.addVertexAt(3, AcGePoint2d(-2000, 40));
    ASSERT_EQ(marker.SetRoomName(u"客房卫生间"), Acad::eOk);
    regiontest::RecordingDraw draw;
    marker.worldDraw(&draw);
    ASSERT_EQ(draw.texts.size(), 1u);
    const AcGePoint3d at = draw.texts[0].at;
    EXPECT_GT(at.x, -2000);
    EXPECT_LT(at.x, -2000 + 400);
    EXPECT_GT(at.y, 40);
    EXPECT_LT(at.y, 40 + 400);
}
