// Bringing a stored room into the drawing and linking the copy: where its entities land, what
// the library drawing goes through, and which links the marker, boundary and components get.
#include "module/definition/CStdRoomTool.h"
#include "tests/module/placement/PlacementTestProject.h"

namespace {

class InsertAndLinkTest : public PlacementProjectTest {
protected:
    // What the jig does for one picked point: insert, collect, link with the matrix as it
    // was before the insertion.
    AcDbObjectIdArray place(const char16_t* name, AcGePoint3d pt, AcGeMatrix3d xform)
    {
        const AcGeMatrix3d before = xform;
        CManageStdRoom::InsertRoom(name, pt, xform);
        AcDbObjectIdArray ids = appended();
        CStdRoomTool().LinkInsertedRoom(&pt, &before, &ids);
        return ids;
    }
    static AcDbObjectId sroomOf(AcDbObjectId id)
    {
        AcDbObjectPointer<VkQsEntity> ent(id, AcDb::kForRead);
        return ent ? ent->GetAssositSRoom() : AcDbObjectId();
    }
    static bool belongs(AcDbObjectId roomId)
    {
        AcDbObjectPointer<AcDbVkRoom> room(roomId, AcDb::kForRead);
        return room && room->GetIfBelongSR();
    }
    static AcGePoint3d startOf(AcDbObjectId id)
    {
        AcDbObjectPointer<AcDbCurve> curve(id, AcDb::kForRead);
        AcGePoint3d p;
        if (curve) curve->getStartPoint(p);
        return p;
    }
};

TEST_F(InsertAndLinkTest, ACopyLandsAtTheFlatPointTurnedByTheMatrixAndIsLinkedWhileTheLibraryStays)
{
    const std::string library = bytes("StardardRoom.dwg");
    const auto stamp = std::filesystem::last_write_time(dir / "StardardRoom.dwg");
    const AcGeMatrix3d quarter = AcGeMatrix3d::rotation(90 * 0.017453, AcGeVector3d::kZAxis);
    AcGeMatrix3d xform = quarter;
    const AcGePoint3d pt(10000, 5000, 5);
    CManageStdRoom::InsertRoom(u"R", pt, xform);
    EXPECT_TRUE(xform.translation().isEqualTo(AcGeVector3d(10000, 5000, 0))) << "the caller's matrix takes (x, y, 0)";
    AcDbObjectIdArray ids = appended();
    CStdRoomTool().LinkInsertedRoom(&pt, &quarter, &ids);

    const AcDbObjectId roomId = firstOf(ids, u"AcDbVkRoom"), markerId = firstOf(ids, u"AcDbQsStandRoom");
    const AcDbObjectId pipeId = firstOf(ids, u"VkQsPipe"), valveId = firstOf(ids, u"VkQsPipeValve");
    ASSERT_FALSE(roomId.isNull() || markerId.isNull() || pipeId.isNull() || valveId.isNull());
    // The block's origin arrives at (x, y, 0), the room's (3000, 0) corner turned a quarter.
    {
        AcDbObjectPointer<AcDbVkRoom> room(roomId, AcDb::kForRead);
        AcGePoint3d p0, p1;
        room->getPointAt(0, p0);
        room->getPointAt(1, p1);
        EXPECT_TRUE(room->isClosed());
        EXPECT_TRUE(p0.isEqualTo(AcGePoint3d(10000, 5000, 0))) << p0.x << "," << p0.y << "," << p0.z;
        EXPECT_TRUE(p1.isEqualTo(AcGePoint3d(3000, 0, 0).transformBy(quarter) + AcGeVector3d(10000, 5000, 0)));
    }
    {
        AcDbObjectPointer<AcDbQsStandRoom> marker(markerId, AcDb::kForRead);
        EXPECT_EQ(marker->GetAssositRoom(), roomId);
        EXPECT_EQ(marker->GetInsertPt(), pt) << "the marker keeps the point's z";
        EXPECT_TRUE(marker->GetMatrix().isEqualTo(quarter));
        EXPECT_EQ(marker->GetRoomName(), CString(u"R"));
        // Every inserted entity but the boundary and the marker, other kinds included.
        std::vector<AcDbObjectId> want;
        for (const AcDbObjectId& id : ids)
            if (id != roomId && id != markerId) want.push_back(id);
        const AcDbObjectIdArray linked = marker->GetAssositEnts();
        EXPECT_EQ(std::vector<AcDbObjectId>(linked.begin(), linked.end()), want);
        EXPECT_EQ(want.size(), 4u);
    }
    EXPECT_TRUE(belongs(roomId));
    EXPECT_EQ(sroomOf(pipeId), markerId);
    EXPECT_EQ(sroomOf(valveId), markerId);
    {
        AcDbObjectPointer<VkQsPipe> pipe(pipeId, AcDb::kForRead);
        ASSERT_EQ(pipe->GetRefValves().length(), 1);
        EXPECT_EQ(pipe->GetRefValves()[0], valveId) << "the pipe keeps its valve";
    }
    // A mirrored copy's beam comes along mirrored about the base point.
    const AcDbObjectIdArray mirrored = place(u"R", AcGePoint3d(100, 200, 0), AcGeMatrix3d::mirroring(AcGePlane::kYZPlane));
    const AcDbObjectId beamId = firstOf(mirrored, u"AcDbVkBeam");
    ASSERT_FALSE(beamId.isNull());
    AcDbObjectPointer<AcDbVkBeam> beam(beamId, AcDb::kForRead);
    AcGePoint3d s, e;
    beam->getStartPoint(s);
    beam->getEndPoint(e);
    EXPECT_TRUE(s.isEqualTo(AcGePoint3d(100, 700, 0)));
    EXPECT_TRUE(e.isEqualTo(AcGePoint3d(-2900, 700, 0)));
    EXPECT_EQ(bytes("StardardRoom.dwg"), library);
    EXPECT_EQ(std::filesystem::last_write_time(dir / "StardardRoom.dwg"), stamp);
}

TEST_F(InsertAndLinkTest, NothingIsInsertedForANameWithoutABlockOrAnUnreadableLibrary)
{
    const int before = modelSpaceCount();
    AcGeMatrix3d xform = AcGeMatrix3d::rotation(1, AcGeVector3d::kZAxis);
    const AcGeMatrix3d original = xform;
    CManageStdRoom::InsertRoom(u"Q", AcGePoint3d(5, 5, 0), xform);
    EXPECT_EQ(appended().length(), 0);
    EXPECT_TRUE(xform.isEqualTo(original)) << "nothing inserted, the matrix is left alone";
    {
        SharedFile writer;  // another program is writing the library
        ASSERT_TRUE(writer.Open(hostPath("StardardRoom.dwg"), SharedFile::kWrite, _SH_DENYNO));
        CManageStdRoom::InsertRoom(u"R", AcGePoint3d(5, 5, 0), xform);
        EXPECT_EQ(appended().length(), 0);
    }
    std::filesystem::remove(dir / "StardardRoom.dwg");
    CManageStdRoom::InsertRoom(u"R", AcGePoint3d(5, 5, 0), xform);
    EXPECT_EQ(appended().length(), 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "StardardRoom.dwg")) << "insertion never creates the library";
    EXPECT_EQ(modelSpaceCount(), before);
}

TEST_F(InsertAndLinkTest, TheLastBoundaryIsTheRoomAndWithoutAMarkerNothingIsLinked)
{
    const AcDbObjectIdArray first = place(u"R", AcGePoint3d(0, 0, 0), AcGeMatrix3d());
    AcGeMatrix3d identity;
    CManageStdRoom::InsertRoom(u"R", AcGePoint3d(9000, 0, 0), identity);
    const AcDbObjectIdArray second = appended();
    const AcDbObjectId room1 = firstOf(first, u"AcDbVkRoom"), marker2 = firstOf(second, u"AcDbQsStandRoom");
    AcDbObjectIdArray ids;
    for (AcDbObjectId id : {firstOf(second, u"AcDbVkRoom"), marker2, firstOf(second, u"VkQsPipe"), room1}) ids.append(id);
    const AcGePoint3d pt(1, 2, 3);
    const AcGeMatrix3d m;
    CStdRoomTool().LinkInsertedRoom(&pt, &m, &ids);
    {
        AcDbObjectPointer<AcDbQsStandRoom> marker(marker2, AcDb::kForRead);
        EXPECT_EQ(marker->GetAssositRoom(), room1);
        EXPECT_EQ(marker->GetAssositEnts().length(), 1);
    }
    identity.setToIdentity();
    CManageStdRoom::InsertRoom(u"R", AcGePoint3d(20000, 0, 0), identity);
    const AcDbObjectIdArray third = appended();
    const AcDbObjectId room3 = firstOf(third, u"AcDbVkRoom"), pipe3 = firstOf(third, u"VkQsPipe");
    ASSERT_FALSE(belongs(room3)) << "a stored boundary arrives unflagged when the library's is";
    AcDbObjectIdArray noMarker;
    for (const AcDbObjectId& id : third)
        if (id != firstOf(third, u"AcDbQsStandRoom")) noMarker.append(id);
    CStdRoomTool().LinkInsertedRoom(&pt, &m, &noMarker);
    EXPECT_FALSE(belongs(room3));
    EXPECT_TRUE(sroomOf(pipe3).isNull());
    AcDbObjectIdArray withNull = third;  // ids that cannot be opened are skipped
    withNull.append(AcDbObjectId());
    CStdRoomTool().LinkInsertedRoom(&pt, &m, &withNull);
    EXPECT_TRUE(belongs(room3));
    EXPECT_FALSE(sroomOf(pipe3).isNull());
}

}  // namespace
