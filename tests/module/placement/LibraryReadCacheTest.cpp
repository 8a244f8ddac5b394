// Placing many copies from one library read: the drawing comes out as with a fresh read per
// copy, a changed library is read again, and the file is locked only while a copy is made.
#include <gtest/gtest.h>

#include <sstream>

#include "host/db/AcDbJson.h"
#include "host/win/Windows.h"
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
        std::ostringstream out;
        EXPECT_EQ(acdbDumpJson(&drawing, out), Acad::eOk);
        EXPECT_EQ(drawing.numOpenObjects(), 0);
        acdbHostApplicationServices()->setWorkingDatabase(db.get());
        return out.str();
    }
    int countOf(const AcDbObjectIdArray& ids, const char* cls)
    {
        int n = 0;
        for (const AcDbObjectId& id : ids) {
            AcDbEntity* ent = nullptr;
            if (acdbOpenAcDbEntity(ent, id, AcDb::kForRead) != Acad::eOk) continue;
            n += CString(ent->isA()->name()).Compare(CString::FromUtf8(cls)) == 0;
            ent->close();
        }
        return n;
    }
};

TEST_F(LibraryReadCacheTest, CopiesFromAKeptReadAreTheCopiesOfFreshReads)
{
    const std::string fresh = placeThree(false);
    const std::string kept = placeThree(true);
    EXPECT_EQ(kept, fresh);
    EXPECT_FALSE(vkroom::LibraryReadSession::Active());
    EXPECT_NE(fresh.find("AcDbVkBeam"), std::string::npos);
}

TEST_F(LibraryReadCacheTest, AKeptReadHoldsNoLockBetweenCopiesAndFollowsAChangedLibrary)
{
    vkroom::LibraryReadSession session;
    AcGeMatrix3d xform;
    CManageStdRoom::InsertRoom(u"R", AcGePoint3d(0, 0, 0), xform);
    AcDbObjectIdArray first = appended();
    EXPECT_EQ(countOf(first, "AcDbVkBeam"), 1);

    {
        // Between copies another program may write the library; while it writes, a copy is
        // refused as with a fresh read.
        SharedFile writer;
        ASSERT_TRUE(writer.Open(hostPath("StardardRoom.dwg"), SharedFile::kWrite, _SH_DENYNO));
        CManageStdRoom::InsertRoom(u"R", AcGePoint3d(0, 0, 0), xform);
        EXPECT_EQ(appended().length(), 0);
    }

    // The library is replaced by one whose room R has a wider boundary and no beam.
    {
        AcDbDatabase lib(true);
        const AcDbObjectId blockId = vktest::addBlockDefinition(lib, u"R");
        ASSERT_FALSE(blockId.isNull());
        vktest::appendTo(blockId, boundary(7000, 2000));
        ASSERT_EQ(lib.saveAs(hostPath("StardardRoom.dwg"), true, AcDb::kDHL_1027), Acad::eOk);
    }
    CManageStdRoom::InsertRoom(u"R", AcGePoint3d(0, 0, 0), xform);
    AcDbObjectIdArray second = appended();
    EXPECT_EQ(countOf(second, "AcDbVkBeam"), 0);
    ASSERT_EQ(second.length(), 1);
    AcDbVkRoom* room = nullptr;
    ASSERT_EQ(acdbOpenObject(room, second[0], AcDb::kForRead), Acad::eOk);
    AcGePoint3d corner;
    room->getPointAt(1, corner);
    room->close();
    EXPECT_EQ(corner, AcGePoint3d(7000, 0, 0));

    // A library that disappears gives nothing, and nothing is created.
    std::filesystem::remove(dir / "StardardRoom.dwg");
    CManageStdRoom::InsertRoom(u"R", AcGePoint3d(0, 0, 0), xform);
    EXPECT_EQ(appended().length(), 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "StardardRoom.dwg"));
}

TEST_F(LibraryReadCacheTest, SessionsNestAndTheOutermostEndsTheKeptRead)
{
    EXPECT_FALSE(vkroom::LibraryReadSession::Active());
    {
        vkroom::LibraryReadSession outer;
        {
            vkroom::LibraryReadSession inner;
            EXPECT_TRUE(vkroom::LibraryReadSession::Active());
        }
        EXPECT_TRUE(vkroom::LibraryReadSession::Active());
        AcGeMatrix3d xform;
        CManageStdRoom::InsertRoom(u"R", AcGePoint3d(0, 0, 0), xform);
        CManageStdRoom::InsertRoom(u"R", AcGePoint3d(0, 0, 0), xform);
        EXPECT_EQ(countOf(appended(), "AcDbVkBeam"), 2);

        // The kept read is the same database each time, and its model space is as read:
        // the beam copies the insertions made there are gone again.
        vkroom::LibraryRead read(hostPath("StardardRoom.dwg"));
        EXPECT_TRUE(read.IsKept());
        ASSERT_NE(read.Database(), nullptr);
        EXPECT_EQ(vkroom::LibraryRead(hostPath("StardardRoom.dwg")).Database(), read.Database());
        AcDbBlockTableRecord* ms = nullptr;
        ASSERT_EQ(acdbOpenObject(ms, read.Database()->modelSpaceId(), AcDb::kForRead), Acad::eOk);
        EXPECT_TRUE(ms->entityIds().empty());
        ms->close();
    }
    EXPECT_FALSE(vkroom::LibraryReadSession::Active());
    vkroom::LibraryRead read(hostPath("StardardRoom.dwg"));
    EXPECT_FALSE(read.IsKept());
    EXPECT_NE(read.Database(), nullptr);
}

}  // namespace
