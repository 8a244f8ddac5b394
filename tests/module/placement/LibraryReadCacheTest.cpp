// Placing many copies from one library read: the drawing comes out as with a fresh read per
// copy, a changed library is read again, and the file is locked only while a copy is made.
#include "host/db/AcDbJson.h"
#include "module/library/LibraryReadCache.h"
#include "tests/module/placement/PlacementTestProject.h"

namespace {

class LibraryReadCacheTest : public PlacementProjectTest {
protected:
    // Places three copies, turned and mirrored, into a new drawing and returns its dump.
    std::string placeThree(bool inSession)
    {
        AcDbDatabase drawing(true);
        acdbHostApplicationServices()->setWorkingDatabase(&drawing);
        {
            std::unique_ptr<vkroom::LibraryReadSession> session;
            if (inSession) session = std::make_unique<vkroom::LibraryReadSession>();
            AcGeMatrix3d xform = AcGeMatrix3d::rotation(0.5, AcGeVector3d::kZAxis);
            for (int i = 0; i < 3; ++i) {
                CManageStdRoom::InsertRoom(u"R", AcGePoint3d(5000.0 * i, 100, 0), xform);
                xform.preMultBy(AcGeMatrix3d::mirroring(AcGePlane::kYZPlane));
            }
        }
        const std::string dump = vktest::DumpJson(drawing);
        EXPECT_EQ(drawing.numOpenObjects(), 0);
        acdbHostApplicationServices()->setWorkingDatabase(db.get());
        return dump;
    }
};

TEST_F(LibraryReadCacheTest, CopiesFromAKeptReadAreTheCopiesOfFreshReadsAndSessionsNest)
{
    const std::string fresh = placeThree(false);
    EXPECT_EQ(placeThree(true), fresh);
    EXPECT_NE(fresh.find("AcDbVkBeam"), std::string::npos);
    EXPECT_FALSE(vkroom::LibraryReadSession::Active());
    {
        vkroom::LibraryReadSession outer;
        {
            vkroom::LibraryReadSession inner;
        }
        EXPECT_TRUE(vkroom::LibraryReadSession::Active());
        AcGeMatrix3d xform;
        CManageStdRoom::InsertRoom(u"R", AcGePoint3d(0, 0, 0), xform);
        CManageStdRoom::InsertRoom(u"R", AcGePoint3d(0, 0, 0), xform);
        EXPECT_EQ(countOf(appended(), u"AcDbVkBeam"), 2);
        // The kept read is one database, its model space as read: the insertions' beam copies
        // made there are gone again.
        vkroom::LibraryRead read(hostPath("StardardRoom.dwg"));
        EXPECT_TRUE(read.IsKept());
        ASSERT_NE(read.Database(), nullptr);
        EXPECT_EQ(vkroom::LibraryRead(hostPath("StardardRoom.dwg")).Database(), read.Database());
        EXPECT_TRUE(vktest::EntityIds(read.Database()).empty());
    }
    EXPECT_FALSE(vkroom::LibraryReadSession::Active());
    EXPECT_FALSE(vkroom::LibraryRead(hostPath("StardardRoom.dwg")).IsKept());
}

TEST_F(LibraryReadCacheTest, AKeptReadHoldsNoLockBetweenCopiesAndFollowsAChangedLibrary)
{
    vkroom::LibraryReadSession session;
    AcGeMatrix3d xform;
    CManageStdRoom::InsertRoom(u"R", AcGePoint3d(0, 0, 0), xform);
    EXPECT_EQ(countOf(appended(), u"AcDbVkBeam"), 1);
    {
        // Between copies another program may write the library; while it writes, a copy is
        // refused as with a fresh read.
        SharedFile writer;
        ASSERT_TRUE(writer.Open(hostPath("StardardRoom.dwg"), SharedFile::kWrite, _SH_DENYNO));
        CManageStdRoom::InsertRoom(u"R", AcGePoint3d(0, 0, 0), xform);
        EXPECT_EQ(appended().length(), 0);
    }
    {
        // Replaced by a library whose room R has a wider boundary and no beam.
        AcDbDatabase lib(true);
        vktest::appendTo(vktest::addBlockDefinition(lib, u"R"), boundary(7000, 2000));
        ASSERT_EQ(lib.saveAs(hostPath("StardardRoom.dwg"), true, AcDb::kDHL_1027), Acad::eOk);
    }
    CManageStdRoom::InsertRoom(u"R", AcGePoint3d(0, 0, 0), xform);
    const AcDbObjectIdArray second = appended();
    ASSERT_EQ(second.length(), 1);
    AcDbObjectPointer<AcDbVkRoom> room(second[0], AcDb::kForRead);
    AcGePoint3d corner;
    room->getPointAt(1, corner);
    EXPECT_EQ(corner, AcGePoint3d(7000, 0, 0));
}

}  // namespace
