// Storing, erasing and finding rooms through CManageStdRoom: the block in the library drawing,
// the valves that do not go with a room, the list file, the in-use check across floors, and
// what bad names and bad library drawings do: a clear refusal, nothing lost.
#include <algorithm>

#include "host/win/Windows.h"
#include "module/library/LibraryFile.h"
#include "module/library/RoomInUse.h"
#include "siblings/object/AcDbQsStandRoom.h"
#include "siblings/object/VkQsPipeValve.h"
#include "siblings/region/AcDbVkRoom.h"
#include "tests/module/library/LibraryTestProject.h"

namespace {
const AcGePoint3d kBase(1000, 2000, 0);
using Names = std::vector<CString>;

// A boundary 1000..5000 x 2000..5000, a pipe across it with two valves.
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
        AcDbObjectPointer<VkQsPipe> pipe(pipeId, AcDb::kForWrite);
        pipe->addValve(id);
        return id;
    }
    static int styleOf(AcDbObjectId id)
    {
        AcDbObjectPointer<VkQsEntity> ent(id, AcDb::kForRead);
        return ent ? ent->GetStyle() : -1;
    }
    // Stores the pipe (its valves travel with it) and the boundary under the name.
    int store(const CString& name)
    {
        AcDbObjectIdArray ids(0, 8);
        ids.append(pipeId);
        library()->SetRoomId(roomId);
        return library()->AppendStdRoom(name, ids, kBase);
    }
    // The class of every object the library file holds, erased ones included (counted).
    Names libraryFileClasses(int& erased)
    {
        Names out;
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
    static int count(const Names& v, const char16_t* s) { return int(std::count(v.begin(), v.end(), CString(s))); }

    AcDbObjectId roomId, pipeId, carried, riding;
};

TEST_F(RoomStorageTest, AStoredRoomIsABlockAtItsBasePointWithoutTheValvesThatRideAlong)
{
    const int pipeStyle = styleOf(pipeId);
    for (AcDbObjectId notAValve : {pipeId, roomId}) CManageStdRoom::ValueIsRelate(notAValve);
    EXPECT_EQ(styleOf(pipeId), pipeStyle) << "only valves get the mark";
    CManageStdRoom::ValueIsRelate(riding);
    ASSERT_EQ(styleOf(riding) & 0x20, 0x20);
    // Only the pipe is chosen: both valves come along with it, and the marked one is stripped.
    AcDbObjectIdArray ids(0, 8);
    ids.append(pipeId);
    library()->SetRoomId(roomId);
    ASSERT_EQ(library()->AppendStdRoom(u"卫生间1", ids, kBase), 1);
    ASSERT_EQ(ids.length(), 2);
    EXPECT_EQ(ids[1], roomId) << "the room boundary is appended to the caller's ids";

    AcDbDatabase lib(false, true);
    ASSERT_EQ(lib.readDwgFile(hostPath("StardardRoom.dwg")), Acad::eOk);
    const std::vector<AcDbObjectId> stored = vktest::BlockEntityIds(&lib, u"卫生间1");
    const Names classes = vktest::ClassNames(stored);
    EXPECT_EQ(count(classes, u"VkQsPipeValve"), 1) << "only the carried valve is stored";
    EXPECT_EQ(count(classes, u"AcDbVkRoom"), 1);
    const std::vector<AcDbObjectId> pipes = vktest::IdsOf<VkQsPipe>(stored);
    ASSERT_EQ(pipes.size(), 1u);
    {
        AcDbObjectPointer<VkQsPipe> pipe(pipes[0], AcDb::kForRead);
        EXPECT_EQ(pipe->GetRefValves().length(), 1) << "the stored pipe no longer lists the stripped valve";
        EXPECT_EQ(pipe->startPoint(), AcGePoint3d(500, 1000, 0)) << "the base point is the block's origin";
    }
    int erased = -1;
    EXPECT_EQ(count(libraryFileClasses(erased), u"VkQsPipeValve"), 1) << "the stripped valve leaves no trace";
    EXPECT_EQ(erased, 0);
    EXPECT_EQ(libraryBlocks(), Names{u"卫生间1"}) << "a missing library is created with the room alone";
    EXPECT_EQ(bytes("Roomlist.txt"), "1\r\n" + WideToAnsi(u"卫生间1") + "\r\n");
    // The current drawing keeps its valve, marked and on its pipe.
    EXPECT_EQ(styleOf(riding) & 0x20, 0x20);
    AcDbObjectPointer<VkQsPipe> pipe(pipeId, AcDb::kForRead);
    EXPECT_EQ(pipe->GetRefValves().length(), 2);
}

TEST_F(RoomStorageTest, ANameAlreadyListedOrThatTheListCannotGiveBackIsRefusedAndTouchesNothing)
{
    ASSERT_EQ(store(u"A"), 1);
    const std::string list = bytes("Roomlist.txt"), drawing = bytes("StardardRoom.dwg");
    AcDbObjectIdArray ids(0, 8);
    ids.append(pipeId);
    EXPECT_EQ(library()->AppendStdRoom(u"A", ids, kBase), 0);
    EXPECT_EQ(ids.length(), 1) << "no room id appended for a listed name";
    EXPECT_EQ(library()->AppendStdRoom1(u"A", ids, kBase), 0);
    // The list holds at most 127 bytes a name: 64 such characters are 128 bytes in code page 936.
    const CString tooLong(std::u16string(64, u'长').c_str());
    for (const CString& bad : {CString(u"한국어"), CString(u"两 个"), CString(u"tab\there"), CString(u""), tooLong}) {
        out.clear();
        EXPECT_EQ(store(bad), 0) << bad.ToUtf8();
        EXPECT_TRUE(seen("未保存")) << bad.ToUtf8();
    }
    EXPECT_EQ(ids.length(), 1);
    // The list compares case-sensitively, the drawing's block names do not: "a" passes the
    // list and then fails to become a block.
    out.clear();
    EXPECT_EQ(store(u"a"), 0);
    EXPECT_TRUE(seen("复制出错"));
    EXPECT_EQ(bytes("Roomlist.txt"), list);
    EXPECT_EQ(bytes("StardardRoom.dwg"), drawing);
    EXPECT_EQ(storePipeRoom(CString(std::u16string(63, u'长').c_str())), 1) << "63 characters still fit";
}

TEST_F(RoomStorageTest, AFailedCopyOrSaveOrAnUnreadableLibraryIsToldAndLosesNothing)
{
    ASSERT_EQ(store(u"A"), 1);
    const std::string list = bytes("Roomlist.txt"), good = bytes("StardardRoom.dwg");
    AcDbObjectIdArray bogus(0, 8);
    bogus.append(AcDbObjectId());
    EXPECT_EQ(library()->AppendStdRoom1(u"C", bogus, kBase), 0);
    EXPECT_TRUE(seen("复制出错")) << out.utf8();
    {
        // Another program holds the library drawing: it can be read but not replaced.
        SharedFile holder;
        ASSERT_TRUE(holder.Open(hostPath("StardardRoom.dwg"), SharedFile::kRead, _SH_DENYWR));
        EXPECT_EQ(store(u"D"), 0);
        EXPECT_TRUE(seen("保存出错")) << out.utf8();
    }
    EXPECT_EQ(library()->m_RoomNames, Names{u"A"});
    EXPECT_EQ(bytes("Roomlist.txt"), list);
    EXPECT_EQ(libraryBlocks(), Names{u"A"});

    for (const std::string& broken : {good.substr(0, good.size() / 2), std::string("not a drawing\n")}) {
        std::ofstream(dir / "StardardRoom.dwg", std::ios::binary | std::ios::trunc) << broken;
        CManageStdRoom::DelIntance();
        EXPECT_EQ(library()->m_RoomNames, Names{u"A"}) << "validation needs a readable library";
        EXPECT_EQ(storePipeRoom(u"C"), 0);
        CString a(u"A");
        library()->EraseStdRoom(a);
        EXPECT_EQ(library()->m_RoomNames, Names{u"A"});
        EXPECT_EQ(bytes("StardardRoom.dwg"), broken);
        EXPECT_EQ(bytes("Roomlist.txt"), list);
    }
    std::filesystem::remove(dir / "StardardRoom.dwg");
    std::filesystem::create_directories(dir / "StardardRoom.dwg");
    EXPECT_EQ(storePipeRoom(u"E"), 0) << "a folder is no library";
    EXPECT_TRUE(std::filesystem::is_directory(dir / "StardardRoom.dwg"));
}

TEST_F(RoomStorageTest, ErasingARoomRemovesItsBlockAndEveryEntryOfItsNameAndAnUnlistedNameNothing)
{
    ASSERT_EQ(store(u"A"), 1);
    ASSERT_EQ(store(u"B"), 1);
    ASSERT_EQ(store(u"C"), 1);
    std::ofstream(dir / "Roomlist.txt", std::ios::binary | std::ios::trunc) << "3\r\nA\r\nC\r\nA\r\n";
    CManageStdRoom::DelIntance();  // a hand-edited list: A twice, B not listed
    ASSERT_EQ(library()->m_RoomNames, (Names{u"A", u"C", u"A"}));
    const std::string drawing = bytes("StardardRoom.dwg"), list = bytes("Roomlist.txt");
    CString b(u"B");
    library()->EraseStdRoom(b);
    EXPECT_EQ(bytes("StardardRoom.dwg"), drawing);
    EXPECT_EQ(bytes("Roomlist.txt"), list);
    CString a(u"A");
    library()->EraseStdRoom(a);
    EXPECT_EQ(library()->m_RoomNames, Names{u"C"});
    EXPECT_EQ(libraryBlocks(), (Names{u"B", u"C"}));
    EXPECT_EQ(bytes("Roomlist.txt"), "1\r\nC\r\n");
    int erased = -1;
    EXPECT_EQ(count(libraryFileClasses(erased), u"AcDbVkRoom"), 2) << "A's block and what it held leave no trace";
    EXPECT_EQ(erased, 0);
}

TEST_F(RoomStorageTest, ARoomIsInUseWhileAFloorOrTheCurrentDrawingHoldsItsMarkerErasedOrNot)
{
    auto marker = [](const char16_t* name) {
        auto* m = new AcDbQsStandRoom;
        m->SetRoomName(name);
        return m;
    };
    std::ofstream(dir / "1F.dwg") << "not a drawing";  // an unreadable floor holds no copy
    {
        AcDbDatabase floor(true, true);
        vktest::appendToModelSpace(floor, marker(u"A"));
        ASSERT_EQ(floor.saveAs(hostPath("2F.dwg")), Acad::eOk);
    }
    EXPECT_TRUE(vkroom::IsRoomInUse(u"A"));
    EXPECT_FALSE(vkroom::IsRoomInUse(u"a"));
    EXPECT_FALSE(vkroom::IsRoomInUse(u"B"));
    EXPECT_FALSE(vkroom::FindRoomMarker(db.get(), u"A"));
    EXPECT_FALSE(vkroom::FindRoomMarker(nullptr, u"A"));
    const AcDbObjectId b = append(marker(u"B"));
    {
        AcDbObjectPointer<AcDbEntity> ent(b, AcDb::kForWrite);
        ASSERT_EQ(ent->erase(), Acad::eOk);
    }
    EXPECT_TRUE(vkroom::IsRoomInUse(u"B")) << "an erased copy counts until its drawing is closed";
}

// The list's path passes through a buffer of 128 characters: a project deeper than that stores
// no room (the library would hold a block its list cannot name) and says why.
TEST_F(RoomStorageTest, AProjectWhoseListPathIsTooLongForTheBufferStoresNothingAndSaysWhy)
{
    vkwin::SetDriveMap({{'Q', dir.string()}});
    std::string rel;
    for (int i = 0; i < 6; ++i) rel += (rel.empty() ? "" : "/") + std::string(20, char('a' + i));
    std::filesystem::create_directories(dir / rel);
    auto project = [&](const std::string& folder) {
        std::ofstream(dir / folder / "p.prj") << "[Project]\n[Floors]\n1F=1F.dwg\n";
        EXPECT_TRUE(VkQsProject::SetCurrentProjectFile((dir / folder / "p.prj").string()));
        return CManageStdRoom::GetRoomlist().GetLength();
    };
    // Q:\ and six folders of 20 characters: the list's path is 3 + 6 * 21 + 12 = 141 characters.
    ASSERT_GT(project(rel), 127);
    out.clear();
    EXPECT_TRUE(library()->m_RoomNames.empty());
    EXPECT_TRUE(seen("的路径过长（须少于128个字符）")) << out.utf8();
    EXPECT_EQ(storePipeRoom(u"A"), 0);
    EXPECT_NE(vkroom::TakeLibraryFailure().Find(u"的路径过长（须少于128个字符）"), -1) << "the dialog's reason";
    EXPECT_FALSE(std::filesystem::exists(dir / rel / "StardardRoom.dwg"));
    EXPECT_FALSE(std::filesystem::exists(dir / rel / "Roomlist.txt"));
    // Five folders deep the path fits (120 characters) and the room is stored.
    ASSERT_LE(project(rel.substr(0, rel.rfind('/'))), 127);
    EXPECT_EQ(storePipeRoom(u"A"), 1);
}

TEST_F(RoomStorageTest, AProjectAtADriveRootOrTheFileSystemRootKeepsItsFilesBesideTheProjectFile)
{
    vkwin::SetDriveMap({{'Q', dir.string()}});
    ASSERT_TRUE(VkQsProject::SetCurrentProjectFile((dir / "p.prj").string()));
    EXPECT_EQ(CManageStdRoom::GetRoomlist(), CString(u"Q:\\Roomlist.txt"));
    EXPECT_EQ(CManageStdRoom::GetStdRoomPath(u"x.txt"), CString(u"Q:\\x.txt"));
    ASSERT_EQ(storePipeRoom(u"A"), 1);
    EXPECT_EQ(bytes("Roomlist.txt"), "1\r\nA\r\n");

    // At the root the project file's Windows path is "\NAME.prj": no folder comes before its
    // one backslash, so the whole path stands for the folder.
    const std::string name = "vkroom-root-" + std::to_string(::getpid()) + ".prj";
    const std::filesystem::path rootFile = std::filesystem::path("/") / name;
    {
        std::ofstream prj(rootFile);
        if (!(prj << "[Project]\n[Floors]\n1F=1F.dwg\n")) GTEST_SKIP() << "the root folder is not writable here";
    }
    EXPECT_TRUE(VkQsProject::SetCurrentProjectFile(rootFile.string()));
    const CString project = CString(u"\\") + CString::FromUtf8(name);
    EXPECT_EQ(CManageStdRoom::GetRoomlist(), project + u"\\Roomlist.txt");
    EXPECT_EQ(CManageStdRoom::GetStdRoomPath(u"x.txt"), project + u"\\x.txt");
    std::filesystem::remove(rootFile);
}
}  // namespace
