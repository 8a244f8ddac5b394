// Storing, erasing and finding rooms through CManageStdRoom: the block in the library drawing,
// the valves that do not go with a room, the list file, and the in-use check across floors.
#include <gtest/gtest.h>

#include <algorithm>

#include "host/ed/Transcript.h"
#include "host/win/Windows.h"
#include "siblings/object/AcDbQsStandRoom.h"
#include "siblings/object/VkQsPipe.h"
#include "siblings/object/VkQsPipeValve.h"
#include "siblings/region/AcDbVkBeam.h"
#include "siblings/region/AcDbVkRoom.h"
#include "tests/module/library/LibraryTestProject.h"

// The in-use check is the module's own routine, not exported: the test builds it in.
#include "module/library/RoomInUse.cpp"

namespace {
const AcGePoint3d kBase(1000, 2000, 0);

class RoomStorageTest : public LibraryProjectTest {
protected:
    void SetUp() override
    {
        LibraryProjectTest::SetUp();
        auto* boundary = new AcDbVkRoom;
        for (unsigned i = 0; i < 4; ++i)
            boundary->addVertexAt(i, AcGePoint2d(1000 + (i == 1 || i == 2) * 4000, 2000 + (i >= 2) * 3000), 0);
        boundary->setClosed(true);
        roomId = append(boundary);
        pipeId = append(new VkQsPipe(AcGePoint3d(1500, 3000, 0), AcGePoint3d(4500, 3000, 0)));
        carried = addValve(2000);
        riding = addValve(4000);
    }
    AcDbObjectId addValve(double x)
    {
        auto* valve = new VkQsPipeValve(AcGePoint3d(x, 3000, 0), 0);
        valve->SetPipeId(pipeId);
        const AcDbObjectId id = append(valve);
        VkQsPipe* pipe = nullptr;
        EXPECT_EQ(acdbOpenObject(pipe, pipeId, AcDb::kForWrite), Acad::eOk);
        pipe->addValve(id);
        pipe->close();
        return id;
    }
    static int styleOf(AcDbObjectId id)
    {
        AcDbObjectPointer<VkQsEntity> ent(id, AcDb::kForRead);
        return ent ? ent->GetStyle() : -1;
    }
    // Stores the pipe (its valves travel with it) and the boundary under the name.
    int store(const char16_t* name, CManageStdRoom* lib)
    {
        AcDbObjectIdArray ids(0, 8);
        ids.append(pipeId);
        lib->SetRoomId(roomId);
        return lib->AppendStdRoom(name, ids, kBase);
    }
    // Class names of the stored block's entities and the valve count of its pipe.
    void readStored(const char16_t* name, std::vector<CString>& classes, int& pipeValves, AcGePoint3d& pipeStart)
    {
        AcDbDatabase lib(false, true);
        ASSERT_EQ(lib.readDwgFile(hostPath("StardardRoom.dwg")), Acad::eOk);
        const std::vector<AcDbObjectId> ids = vktest::BlockEntityIds(&lib, name);
        ASSERT_FALSE(ids.empty()) << "no block " << CString(name).ToUtf8();
        classes = vktest::ClassNames(ids);
        for (const AcDbObjectId& id : vktest::IdsOf<VkQsPipe>(ids)) {
            AcDbObjectPointer<VkQsPipe> pipe(id, AcDb::kForRead);
            pipeValves = pipe->GetRefValves().length();
            pipeStart = pipe->startPoint();
        }
    }
    int count(const std::vector<CString>& v, const char16_t* s) { return int(std::count(v.begin(), v.end(), CString(s))); }
    // The class of every object the library file holds, erased ones included; erased counts
    // those that are erased.
    std::vector<CString> libraryFileClasses(int& erased)
    {
        std::vector<CString> out;
        erased = 0;
        AcDbDatabase lib(false, true);
        EXPECT_EQ(lib.readDwgFile(hostPath("StardardRoom.dwg"), _SH_DENYNO), Acad::eOk);
        for (AcDbObjectId id : lib.allObjectIds(true)) {
            AcDbObject* obj = nullptr;
            if (acdbOpenAcDbObject(obj, id, AcDb::kForRead, true) != Acad::eOk) continue;
            out.push_back(obj->isA()->name());
            erased += obj->isErased() ? 1 : 0;
            obj->close();
        }
        return out;
    }

    AcDbObjectId roomId, pipeId, carried, riding;
};
}  // namespace

TEST_F(RoomStorageTest, AStoredRoomIsABlockAtItsBasePointWithoutTheValvesThatRideAlong)
{
    CManageStdRoom::ValueIsRelate(riding);
    ASSERT_EQ(styleOf(riding) & 0x20, 0x20);
    CManageStdRoom* lib = CManageStdRoom::CreateOnlyInstance();
    // Only the pipe is chosen: both valves come along with it, and the marked one is stripped.
    AcDbObjectIdArray ids(0, 8);
    ids.append(pipeId);
    lib->SetRoomId(roomId);
    ASSERT_EQ(lib->AppendStdRoom(u"卫生间1", ids, kBase), 1);
    ASSERT_EQ(ids.length(), 2);
    EXPECT_EQ(ids[1], roomId) << "the room boundary is appended to the caller's ids";

    std::vector<CString> classes;
    int pipeValves = -1;
    AcGePoint3d start;
    readStored(u"卫生间1", classes, pipeValves, start);
    EXPECT_EQ(count(classes, u"VkQsPipeValve"), 1) << "only the carried valve is stored";
    EXPECT_EQ(count(classes, u"AcDbVkRoom"), 1);
    EXPECT_EQ(pipeValves, 1) << "the stored pipe no longer lists the stripped valve";
    int erased = -1;
    EXPECT_EQ(count(libraryFileClasses(erased), u"VkQsPipeValve"), 1) << "the stripped valve leaves no trace";
    EXPECT_EQ(erased, 0);
    EXPECT_EQ(start, AcGePoint3d(500, 1000, 0)) << "the base point is the block's origin";

    EXPECT_EQ(libraryBlocks(), std::vector<CString>{u"卫生间1"}) << "a missing library is created with the room alone";
    EXPECT_EQ(bytes("Roomlist.txt"), std::string("1\r\n") + WideToAnsi(u"卫生间1") + "\r\n");

    // The current drawing keeps its valve, marked and on its pipe.
    EXPECT_EQ(styleOf(riding) & 0x20, 0x20);
    VkQsPipe* pipe = nullptr;
    ASSERT_EQ(acdbOpenObject(pipe, pipeId, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(pipe->GetRefValves().length(), 2);
    pipe->close();
}

TEST_F(RoomStorageTest, OnlyValvesGetTheNotCarriedMark)
{
    const int pipeStyle = styleOf(pipeId);
    CManageStdRoom::ValueIsRelate(pipeId);
    CManageStdRoom::ValueIsRelate(roomId);
    EXPECT_EQ(styleOf(pipeId), pipeStyle);
    CManageStdRoom::ValueIsRelate(carried);
    EXPECT_EQ(styleOf(carried), 0x20);
}

TEST_F(RoomStorageTest, ANameAlreadyListedIsRefusedAndTouchesNothing)
{
    CManageStdRoom* lib = CManageStdRoom::CreateOnlyInstance();
    ASSERT_EQ(store(u"A", lib), 1);
    const std::string list = bytes("Roomlist.txt"), drawing = bytes("StardardRoom.dwg");
    AcDbObjectIdArray ids(0, 8);
    ids.append(pipeId);
    EXPECT_EQ(lib->AppendStdRoom(u"A", ids, kBase), 0);
    EXPECT_EQ(ids.length(), 1) << "no room id appended for a refused name";
    EXPECT_EQ(lib->AppendStdRoom1(u"A", ids, kBase), 0);
    EXPECT_EQ(bytes("Roomlist.txt"), list);
    EXPECT_EQ(bytes("StardardRoom.dwg"), drawing);

    // The list compares case-sensitively, the drawing's block names do not: "a" passes the
    // list, takes the room id, and then fails to become a block.
    vked::TranscriptCapture out;
    EXPECT_EQ(lib->AppendStdRoom(u"a", ids, kBase), 0);
    EXPECT_EQ(ids.length(), 2);
    EXPECT_NE(out.utf8().find("复制出错"), std::string::npos);
    EXPECT_EQ(bytes("Roomlist.txt"), list);
}

TEST_F(RoomStorageTest, AppendStdRoom1StoresWithoutTheRoomIdAndLeavesTheIdsAlone)
{
    CManageStdRoom* lib = CManageStdRoom::CreateOnlyInstance();
    lib->SetRoomId(roomId);
    AcDbObjectIdArray ids(0, 8);
    ids.append(pipeId);
    ASSERT_EQ(lib->AppendStdRoom1(u"B", ids, kBase), 1);
    EXPECT_EQ(ids.length(), 1);
    std::vector<CString> classes;
    int valves = 0;
    AcGePoint3d start;
    readStored(u"B", classes, valves, start);
    EXPECT_EQ(count(classes, u"AcDbVkRoom"), 0);
    EXPECT_EQ(lib->m_RoomNames, std::vector<CString>{u"B"});
}

TEST_F(RoomStorageTest, FailedCopyAndFailedSaveAreReportedAndLeaveTheListAlone)
{
    CManageStdRoom* lib = CManageStdRoom::CreateOnlyInstance();
    ASSERT_EQ(store(u"A", lib), 1);
    const std::string list = bytes("Roomlist.txt");
    {
        vked::TranscriptCapture out;
        AcDbObjectIdArray bogus(0, 8);
        bogus.append(AcDbObjectId());
        EXPECT_EQ(lib->AppendStdRoom1(u"C", bogus, kBase), 0);
        EXPECT_NE(out.utf8().find("复制出错"), std::string::npos) << out.utf8();
    }
    {
        // Another program holds the library drawing: it can be read but not replaced.
        SharedFile holder;
        ASSERT_TRUE(holder.Open(hostPath("StardardRoom.dwg"), SharedFile::kRead, _SH_DENYWR));
        vked::TranscriptCapture out;
        EXPECT_EQ(store(u"D", lib), 0);
        EXPECT_NE(out.utf8().find("保存出错"), std::string::npos) << out.utf8();
    }
    EXPECT_EQ(lib->m_RoomNames, std::vector<CString>{u"A"});
    EXPECT_EQ(bytes("Roomlist.txt"), list);
    EXPECT_EQ(libraryBlocks(), std::vector<CString>{u"A"});
}

TEST_F(RoomStorageTest, ErasingARoomRemovesItsBlockAndEveryEntryOfItsName)
{
    CManageStdRoom* lib = CManageStdRoom::CreateOnlyInstance();
    ASSERT_EQ(store(u"A", lib), 1);
    ASSERT_EQ(store(u"B", lib), 1);
    lib->m_RoomNames.push_back(u"A");  // a hand-edited list may name a room twice
    CString name(u"A");
    lib->EraseStdRoom(name);
    EXPECT_EQ(lib->m_RoomNames, std::vector<CString>{u"B"});
    EXPECT_EQ(libraryBlocks(), std::vector<CString>{u"B"});
    EXPECT_EQ(bytes("Roomlist.txt"), "1\r\nB\r\n");
    int erased = -1;
    EXPECT_EQ(count(libraryFileClasses(erased), u"AcDbVkRoom"), 1) << "A's block and what it held leave no trace";
    EXPECT_EQ(erased, 0);
}

TEST_F(RoomStorageTest, ErasingAnUnlistedNameTouchesNeitherFile)
{
    CManageStdRoom* lib = CManageStdRoom::CreateOnlyInstance();
    ASSERT_EQ(store(u"A", lib), 1);
    ASSERT_EQ(store(u"B", lib), 1);
    lib->m_RoomNames = {u"A"};  // B has a block but is not listed
    const std::string list = bytes("Roomlist.txt"), drawing = bytes("StardardRoom.dwg");
    CString name(u"B");
    lib->EraseStdRoom(name);
    EXPECT_EQ(bytes("Roomlist.txt"), list);
    EXPECT_EQ(bytes("StardardRoom.dwg"), drawing);
    EXPECT_EQ(lib->m_RoomNames, std::vector<CString>{u"A"});
}

class RoomInUseTest : public LibraryProjectTest {
protected:
    AcDbObjectId marker(const char16_t* name, AcDbDatabase* into = nullptr)
    {
        auto* m = new AcDbQsStandRoom;
        m->SetRoomName(name);
        return append(m, into);
    }
    void floorDrawing(const char* file, const char16_t* room)
    {
        AcDbDatabase floor(true, true);
        marker(room, &floor);
        ASSERT_EQ(floor.saveAs(hostPath(file)), Acad::eOk);
    }
};

TEST_F(RoomInUseTest, ARoomPlacedOnAnotherFloorIsInUse)
{
    floorDrawing("2F.dwg", u"A");
    EXPECT_TRUE(vkroom::IsRoomInUse(u"A"));
    EXPECT_FALSE(vkroom::IsRoomInUse(u"a"));
    EXPECT_FALSE(vkroom::FindRoomMarker(db.get(), u"A"));
    EXPECT_FALSE(vkroom::FindRoomMarker(nullptr, u"A"));
}

TEST_F(RoomInUseTest, AnErasedCopyInTheCurrentDrawingStillCounts)
{
    const AcDbObjectId id = marker(u"A");
    AcDbEntity* ent = nullptr;
    ASSERT_EQ(acdbOpenAcDbEntity(ent, id, AcDb::kForWrite), Acad::eOk);
    ASSERT_EQ(ent->erase(), Acad::eOk);
    ent->close();
    EXPECT_TRUE(vkroom::FindRoomMarker(db.get(), u"A"));
    EXPECT_TRUE(vkroom::IsRoomInUse(u"A"));
}

TEST_F(RoomInUseTest, UnreadableFloorDrawingsHoldNoCopy)
{
    std::ofstream(dir / "1F.dwg") << "not a drawing";
    floorDrawing("2F.dwg", u"B");
    EXPECT_FALSE(vkroom::IsRoomInUse(u"A"));
    EXPECT_TRUE(vkroom::IsRoomInUse(u"B"));
}

namespace {
// The drawing's model-space entities of one class, in order.
template <class T>
std::vector<AcDbObjectId> entitiesOf(AcDbDatabase* db)
{
    return vktest::IdsOf<T>(vktest::EntityIds(db));
}
}  // namespace

// A room stored by the module comes back in whole: its beam arrives where it was, and inserting
// leaves the library file as it was. (Where an insertion puts a copy, and what it does for an
// unknown room, is the placement tests' concern.)
TEST_F(RoomStorageTest, ABeamOfAStoredRoomArrivesWithItAndTheLibraryStaysAsItWas)
{
    const AcDbObjectId beam = append(new AcDbVkBeam(AcGePoint3d(1000, 4000, 0), AcGePoint3d(5000, 4000, 0), 200));
    CManageStdRoom* lib = CManageStdRoom::CreateOnlyInstance();
    AcDbObjectIdArray ids(0, 8);
    ids.append(beam);
    ids.append(pipeId);
    ASSERT_EQ(lib->AppendStdRoom1(u"R", ids, kBase), 1);
    const std::string library = bytes("StardardRoom.dwg");
    const auto stamp = std::filesystem::last_write_time(dir / "StardardRoom.dwg");

    AcGeMatrix3d xform;
    CManageStdRoom::InsertRoom(u"R", AcGePoint3d(0, 10000, 0), xform);
    const std::vector<AcDbObjectId> beams = entitiesOf<AcDbVkBeam>(db.get());
    ASSERT_EQ(beams.size(), 2u);
    AcDbVkBeam* copy = nullptr;
    ASSERT_EQ(acdbOpenObject(copy, beams.back(), AcDb::kForRead), Acad::eOk);
    AcGePoint3d start;
    copy->getStartPoint(start);
    EXPECT_TRUE(start.isEqualTo(AcGePoint3d(0, 12000, 0))) << start.x << "," << start.y;
    copy->close();
    EXPECT_EQ(bytes("StardardRoom.dwg"), library);
    EXPECT_EQ(std::filesystem::last_write_time(dir / "StardardRoom.dwg"), stamp);
}

TEST_F(RoomInUseTest, AStoredRoomIsInUseOnceAnotherFloorHoldsItsMarker)
{
    ASSERT_EQ(storePipeRoom(u"卫生间"), 1);
    EXPECT_EQ(bytes("Roomlist.txt"), "1\r\n" + WideToAnsi(u"卫生间") + "\r\n");
    EXPECT_EQ(libraryBlocks(), std::vector<CString>{u"卫生间"});
    EXPECT_FALSE(vkroom::IsRoomInUse(u"卫生间"));
    floorDrawing("2F.dwg", u"卫生间");
    EXPECT_TRUE(vkroom::IsRoomInUse(u"卫生间"));
}
