// What bad names and bad library drawings do to storing and erasing: a clear refusal, and
// neither the list file nor the library drawing loses anything.
#include <gtest/gtest.h>

#include "host/ed/Transcript.h"
#include "siblings/object/VkQsPipe.h"
#include "tests/module/library/LibraryTestProject.h"

namespace {
class LibraryBadInputTest : public LibraryProjectTest {
protected:
    int store(const CString& name) { return storePipeRoom(name); }
};
}  // namespace

TEST_F(LibraryBadInputTest, NamesTheListFileCannotGiveBackAreRefused)
{
    ASSERT_EQ(store(u"A"), 1);
    const std::string list = bytes("Roomlist.txt"), drawing = bytes("StardardRoom.dwg");
    // The list holds at most 127 bytes a name: 64 such characters are 128 bytes in code page 936.
    const CString tooLong(std::u16string(64, u'长').c_str());
    for (const CString& bad : {CString(u"한국어"), CString(u"两 个"), CString(u"tab\there"), CString(u""), tooLong}) {
        vked::TranscriptCapture out;
        EXPECT_EQ(store(bad), 0) << bad.ToUtf8();
        EXPECT_NE(out.utf8().find("未保存"), std::string::npos) << bad.ToUtf8();
    }
    EXPECT_EQ(bytes("Roomlist.txt"), list);
    EXPECT_EQ(bytes("StardardRoom.dwg"), drawing);
    EXPECT_EQ(store(CString(std::u16string(63, u'长').c_str())), 1) << "63 characters still fit";
}

TEST_F(LibraryBadInputTest, ARefusedNewNameStillTakesTheRoomIdAtTheEndOfTheIds)
{
    CManageStdRoom* lib = CManageStdRoom::CreateOnlyInstance();
    const AcDbObjectId pipe = append(new VkQsPipe(AcGePoint3d(0, 0, 0), AcGePoint3d(100, 0, 0)));
    AcDbObjectId room = append(new VkQsPipe(AcGePoint3d(0, 10, 0), AcGePoint3d(100, 10, 0)));
    lib->SetRoomId(room);
    AcDbObjectIdArray ids(0, 8);
    ids.append(pipe);
    vked::TranscriptCapture out;
    EXPECT_EQ(lib->AppendStdRoom(u"两 个", ids, AcGePoint3d::kOrigin), 0);
    EXPECT_NE(out.utf8().find("未保存"), std::string::npos) << out.utf8();
    ASSERT_EQ(ids.length(), 2);
    EXPECT_EQ(ids[1], room);
    EXPECT_FALSE(std::filesystem::exists(dir / "Roomlist.txt"));
}

TEST_F(LibraryBadInputTest, AnUnreadableLibraryIsNeitherOverwrittenNorEmptiesTheList)
{
    ASSERT_EQ(store(u"A"), 1);
    ASSERT_EQ(store(u"B"), 1);
    const std::string good = bytes("StardardRoom.dwg"), list = bytes("Roomlist.txt");
    for (const std::string& broken : {good.substr(0, good.size() / 2), std::string("not a drawing\n"),
                                      std::string(4096, '\0')}) {
        std::ofstream(dir / "StardardRoom.dwg", std::ios::binary | std::ios::trunc) << broken;
        CManageStdRoom::DelIntance();
        CManageStdRoom* lib = CManageStdRoom::CreateOnlyInstance();
        EXPECT_EQ(lib->m_RoomNames, (std::vector<CString>{u"A", u"B"})) << "validation needs a readable library";
        vked::TranscriptCapture out;
        EXPECT_EQ(store(u"C"), 0);
        EXPECT_NE(out.utf8().find("无法读取"), std::string::npos) << out.utf8();
        CString a(u"A");
        lib->EraseStdRoom(a);
        EXPECT_EQ(lib->m_RoomNames, (std::vector<CString>{u"A", u"B"}));
        EXPECT_EQ(bytes("StardardRoom.dwg"), broken);
        EXPECT_EQ(bytes("Roomlist.txt"), list);
    }
}

TEST_F(LibraryBadInputTest, ALibraryPathThatIsAFolderIsNotALibrary)
{
    std::filesystem::create_directories(dir / "StardardRoom.dwg");
    EXPECT_EQ(store(u"A"), 0);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "StardardRoom.dwg"));
    EXPECT_FALSE(std::filesystem::exists(dir / "Roomlist.txt"));
}

TEST_F(LibraryBadInputTest, AProjectAtADriveRootKeepsItsFilesBesideTheProjectFile)
{
    vkwin::SetDriveMap({{'Q', dir.string()}});
    CString err;
    ASSERT_TRUE(VkQsProject::SetCurrentProjectFile((dir / "p.prj").string(), &err)) << err.ToUtf8();
    EXPECT_EQ(CManageStdRoom::GetRoomlist(), CString(u"Q:\\Roomlist.txt"));
    EXPECT_EQ(CManageStdRoom::GetStdRoomPath(u"x.txt"), CString(u"Q:\\x.txt"));
    ASSERT_EQ(store(u"A"), 1);
    EXPECT_EQ(bytes("Roomlist.txt"), "1\r\nA\r\n");
    vkwin::SetDriveMap({});
}

TEST_F(LibraryBadInputTest, AProjectFileWhoseOnlyBackslashLeadsIsItsOwnFolder)
{
    // A project file at the file system's root has the Windows path "\NAME.prj": no folder
    // comes before its one backslash, so the whole path stands for the folder.
    const std::string name = "vkroom-root-" + std::to_string(::getpid()) + ".prj";
    const std::filesystem::path rootFile = std::filesystem::path("/") / name;
    {
        std::ofstream out(rootFile);
        if (!(out << "[Project]\n[Floors]\n1F=1F.dwg\n")) GTEST_SKIP() << "the root folder is not writable here";
    }
    CString err;
    EXPECT_TRUE(VkQsProject::SetCurrentProjectFile(rootFile.string(), &err)) << err.ToUtf8();
    const CString project = CString(u"\\") + CString::FromUtf8(name);
    EXPECT_EQ(CManageStdRoom::GetRoomlist(), project + u"\\Roomlist.txt");
    EXPECT_EQ(CManageStdRoom::GetStdRoomPath(u"x.txt"), project + u"\\x.txt");
    std::filesystem::remove(rootFile);
}
