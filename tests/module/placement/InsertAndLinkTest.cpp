// Bringing a stored room into the drawing and linking the copy: where its entities land, what
// the library drawing goes through, and which links the marker, boundary and components get.
#include <gtest/gtest.h>

#include <algorithm>

#include "host/win/Windows.h"
#include "module/definition/CStdRoomTool.h"

#include "tests/module/placement/PlacementTestProject.h"

namespace {

class InsertAndLinkTest : public PlacementProjectTest {
protected:
    // What the jig does for one picked point: insert, collect, link with the matrix as it
    // was before the insertion.
    AcDbObjectIdArray place(const char16_t* name, AcGePoint3d pt, AcGeMatrix3d xform)
    {
        const AcGePoint3d ptCopy = pt;
        const AcGeMatrix3d xformCopy = xform;
        CManageStdRoom::InsertRoom(name, pt, xform);
        AcDbObjectIdArray ids = appended();
        CStdRoomTool().LinkInsertedRoom(&ptCopy, &xformCopy, &ids);
        return ids;
    }
    template <class T>
    T* openRead(AcDbObjectId id)
    {
        T* obj = nullptr;
        EXPECT_EQ(acdbOpenObject(obj, id, AcDb::kForRead), Acad::eOk);
        return obj;
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
};

TEST_F(InsertAndLinkTest, ACopyLandsAtTheFlatInsertionPointTurnedByTheMatrixAndIsLinked)
{
    const AcGeMatrix3d quarter = AcGeMatrix3d::rotation(90 * 0.017453, AcGeVector3d::kZAxis);
    AcGeMatrix3d xform = quarter;
    const AcGePoint3d pt(10000, 5000, 5);
    CManageStdRoom::InsertRoom(u"R", pt, xform);
    EXPECT_TRUE(xform.translation().isEqualTo(AcGeVector3d(10000, 5000, 0))) << "the caller's matrix takes (x, y, 0)";
    AcDbObjectIdArray ids = appended();
    const AcGeMatrix3d before = quarter;
    CStdRoomTool().LinkInsertedRoom(&pt, &before, &ids);

    const AcDbObjectId roomId = firstOf(ids, "AcDbVkRoom"), markerId = firstOf(ids, "AcDbQsStandRoom");
    const AcDbObjectId pipeId = firstOf(ids, "VkQsPipe"), valveId = firstOf(ids, "VkQsPipeValve");
    const AcDbObjectId lineId = firstOf(ids, "AcDbLine"), beamId = firstOf(ids, "AcDbVkBeam");
    ASSERT_FALSE(roomId.isNull() || markerId.isNull() || pipeId.isNull() || valveId.isNull() || lineId.isNull() ||
                 beamId.isNull());

    // The block's origin arrives at (x, y, 0); the room's (3000, 0) corner turned a quarter.
    AcDbVkRoom* room = openRead<AcDbVkRoom>(roomId);
    ASSERT_NE(room, nullptr);
    AcGePoint3d p0, p1;
    room->getPointAt(0, p0);
    room->getPointAt(1, p1);
    EXPECT_TRUE(room->isClosed());
    room->close();
    EXPECT_TRUE(p0.isEqualTo(AcGePoint3d(10000, 5000, 0))) << p0.x << "," << p0.y << "," << p0.z;
    const AcGePoint3d corner = AcGePoint3d(3000, 0, 0).transformBy(quarter) + AcGeVector3d(10000, 5000, 0);
    EXPECT_TRUE(p1.isEqualTo(corner)) << p1.x << "," << p1.y;
    EXPECT_NEAR(p1.y, 8000, 0.01);

    AcDbQsStandRoom* marker = openRead<AcDbQsStandRoom>(markerId);
    ASSERT_NE(marker, nullptr);
    AcDbObjectIdArray assoc = marker->GetAssositEnts();
    EXPECT_EQ(marker->GetAssositRoom(), roomId);
    EXPECT_EQ(marker->GetInsertPt(), pt) << "the marker keeps the point's z";
    EXPECT_TRUE(marker->GetMatrix().isEqualTo(quarter));
    EXPECT_EQ(marker->GetRoomName(), CString(u"R"));
    marker->close();

    // Every inserted entity but the boundary and the marker, other kinds included.
    std::vector<AcDbObjectId> want;
    for (const AcDbObjectId& id : ids)
        if (id != roomId && id != markerId) want.push_back(id);
    std::vector<AcDbObjectId> got(assoc.begin(), assoc.end());
    EXPECT_EQ(got, want);
    EXPECT_EQ(got.size(), 4u);

    EXPECT_TRUE(belongs(roomId));
    EXPECT_EQ(sroomOf(pipeId), markerId);
    EXPECT_EQ(sroomOf(valveId), markerId);
    VkQsPipe* pipe = openRead<VkQsPipe>(pipeId);
    ASSERT_NE(pipe, nullptr);
    EXPECT_EQ(pipe->GetRefValves().length(), 1) << "the pipe keeps its valve";
    if (pipe->GetRefValves().length() == 1) {
        EXPECT_EQ(pipe->GetRefValves()[0], valveId);
    }
    pipe->close();
}

TEST_F(InsertAndLinkTest, ABeamIsInsertedWhileTheLibraryFileStaysAsItWas)
{
    const std::string bytesBefore = bytes("StardardRoom.dwg");
    const auto timeBefore = libraryTime();
    const AcDbObjectIdArray ids = place(u"R", AcGePoint3d(100, 200, 0), AcGeMatrix3d::mirroring(AcGePlane::kYZPlane));
    const AcDbObjectId beamId = firstOf(ids, "AcDbVkBeam");
    ASSERT_FALSE(beamId.isNull());
    AcDbVkBeam* beam = openRead<AcDbVkBeam>(beamId);
    ASSERT_NE(beam, nullptr);
    AcGePoint3d s, e;
    beam->getStartPoint(s);
    beam->getEndPoint(e);
    beam->close();
    EXPECT_TRUE(s.isEqualTo(AcGePoint3d(100, 700, 0)));
    EXPECT_TRUE(e.isEqualTo(AcGePoint3d(-2900, 700, 0))) << "mirrored left-right about the base point";
    EXPECT_EQ(bytes("StardardRoom.dwg"), bytesBefore);
    EXPECT_EQ(libraryTime(), timeBefore);
    EXPECT_EQ(libraryBlocks(), (std::vector<CString>{u"R", u"S"}));
}

TEST_F(InsertAndLinkTest, NothingIsInsertedForANameWithoutABlockOrAnUnreadableLibrary)
{
    const int before = modelSpaceCount();
    AcGeMatrix3d xform = AcGeMatrix3d::rotation(1, AcGeVector3d::kZAxis);
    const AcGeMatrix3d original = xform;
    CManageStdRoom::InsertRoom(u"Q", AcGePoint3d(5, 5, 0), xform);
    EXPECT_EQ(appended().length(), 0);
    EXPECT_EQ(modelSpaceCount(), before);
    EXPECT_TRUE(xform.isEqualTo(original)) << "nothing inserted, the matrix is left alone";

    {
        // Another program is writing the library.
        SharedFile writer;
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

TEST_F(InsertAndLinkTest, TheLastOfTwoBoundariesIsTheRoomAndNoMarkerMeansNoLinks)
{
    AcDbObjectIdArray first = place(u"R", AcGePoint3d(0, 0, 0), AcGeMatrix3d());
    AcGeMatrix3d identity;
    CManageStdRoom::InsertRoom(u"R", AcGePoint3d(9000, 0, 0), identity);
    AcDbObjectIdArray second = appended();

    // Both copies' boundaries, the second copy's marker and pipe: the later boundary wins.
    const AcDbObjectId room1 = firstOf(first, "AcDbVkRoom"), room2 = firstOf(second, "AcDbVkRoom");
    const AcDbObjectId marker2 = firstOf(second, "AcDbQsStandRoom"), pipe2 = firstOf(second, "VkQsPipe");
    AcDbObjectIdArray ids;
    ids.append(room2);
    ids.append(marker2);
    ids.append(pipe2);
    ids.append(room1);
    const AcGePoint3d pt(1, 2, 3);
    const AcGeMatrix3d m;
    CStdRoomTool().LinkInsertedRoom(&pt, &m, &ids);
    AcDbQsStandRoom* marker = openRead<AcDbQsStandRoom>(marker2);
    ASSERT_NE(marker, nullptr);
    EXPECT_EQ(marker->GetAssositRoom(), room1);
    EXPECT_EQ(marker->GetAssositEnts().length(), 1);
    marker->close();

    // Without a marker among the ids nothing is linked, not even the boundary's flag.
    identity.setToIdentity();
    CManageStdRoom::InsertRoom(u"R", AcGePoint3d(20000, 0, 0), identity);
    AcDbObjectIdArray third = appended();
    const AcDbObjectId room3 = firstOf(third, "AcDbVkRoom"), pipe3 = firstOf(third, "VkQsPipe");
    ASSERT_FALSE(belongs(room3)) << "a stored boundary arrives unflagged when the library's is";
    AcDbObjectIdArray noMarker;
    for (const AcDbObjectId& id : third)
        if (id != firstOf(third, "AcDbQsStandRoom")) noMarker.append(id);
    CStdRoomTool().LinkInsertedRoom(&pt, &m, &noMarker);
    EXPECT_FALSE(belongs(room3));
    EXPECT_TRUE(sroomOf(pipe3).isNull());

    // Ids that cannot be opened are skipped.
    AcDbObjectIdArray withNull = third;
    withNull.append(AcDbObjectId());
    CStdRoomTool().LinkInsertedRoom(&pt, &m, &withNull);
    EXPECT_TRUE(belongs(room3));
    EXPECT_FALSE(sroomOf(pipe3).isNull());
}

}  // namespace
