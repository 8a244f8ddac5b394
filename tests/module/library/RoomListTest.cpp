// The room list as other modules see it through CManageStdRoom: its file, its validation
// against the library drawing, its order, and what bad files do.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "host/db/AcDb.h"
#include "host/win/Windows.h"
#include "host/win/WinPath.h"
#include "module/frame/CManageStdRoom.h"
#include "siblings/project/VkQsProject.h"
#include "tests/support/ProjectFiles.h"
#include "tests/support/TestDrawing.h"

namespace fs = std::filesystem;

namespace {
class RoomListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = vktest::FreshTestDir("vkroom-list");
        useProject(dir);
    }
    void TearDown() override
    {
        CManageStdRoom::DelIntance();
        VkQsProject::SetCurrentProjectFile("");
        fs::remove_all(dir);
    }
    static void useProject(const fs::path& folder)
    {
        std::ofstream(folder / "p.prj") << "[Project]\n[Floors]\n1F=1F.dwg\n";
        CString err;
        ASSERT_TRUE(VkQsProject::SetCurrentProjectFile((folder / "p.prj").string(), &err)) << err.ToUtf8();
    }
    // A library drawing holding one empty block per name.
    void writeLibrary(std::initializer_list<const char16_t*> blocks)
    {
        AcDbDatabase db(true, true);
        for (const char16_t* name : blocks) ASSERT_FALSE(vktest::addBlockDefinition(db, name).isNull());
        ASSERT_EQ(db.saveAs(vkwin::FromHostPath((dir / "StardardRoom.dwg").string())), Acad::eOk);
    }
    void writeList(const std::string& bytes) { std::ofstream(dir / "Roomlist.txt", std::ios::binary) << bytes; }
    std::string listBytes() const { return vktest::FileBytes(dir / "Roomlist.txt"); }
    static std::vector<CString> names(std::initializer_list<const char16_t*> l) { return {l.begin(), l.end()}; }

    fs::path dir;
};
}  // namespace

TEST_F(RoomListTest, ValidationKeepsListedNamesThatHaveABlockInTheirOrder)
{
    writeLibrary({u"A", u"C"});
    writeList("3\r\nA\r\nB\r\nC\r\n");
    CManageStdRoom* lib = CManageStdRoom::CreateOnlyInstance();
    ASSERT_NE(lib, nullptr);
    EXPECT_EQ(lib->m_RoomNames, names({u"A", u"C"}));
    EXPECT_EQ(listBytes(), "3\r\nA\r\nB\r\nC\r\n") << "reading never rewrites the file";
}

TEST_F(RoomListTest, TheFileIsWrittenInTheCodePageWithTheCountFirstAndCrlf)
{
    writeLibrary({u"标准房间", u"B"});
    CManageStdRoom* lib = CManageStdRoom::CreateOnlyInstance();
    lib->m_RoomNames = names({u"标准房间", u"B", u"gone"});
    lib->WriteToFile();
    EXPECT_EQ(listBytes(), "2\r\n\xB1\xEA\xD7\xBC\xB7\xBF\xBC\xE4\r\nB\r\n");
    CManageStdRoom::DelIntance();
    EXPECT_EQ(CManageStdRoom::CreateOnlyInstance()->m_RoomNames, names({u"标准房间", u"B"}));
}

TEST_F(RoomListTest, NamesSortNaturallyOnCodePageBytes)
{
    writeLibrary({u"房间10", u"房间2", u"房间1"});
    writeList("3\r\n\xB7\xBF\xBC\xE4" "10\r\n\xB7\xBF\xBC\xE4" "2\r\n\xB7\xBF\xBC\xE4" "1\r\n");
    CManageStdRoom* lib = CManageStdRoom::CreateOnlyInstance();
    EXPECT_EQ(lib->GetStdRoomSet(), names({u"房间1", u"房间2", u"房间10"}));
    EXPECT_EQ(lib->m_RoomNames, names({u"房间1", u"房间2", u"房间10"}));
    lib->m_RoomNames = names({u"A_1", u"B-1", u"A.1", u"A1", u"B", u"A-1", u"房间7", u"房间007"});
    EXPECT_EQ(lib->GetStdRoomSet(), names({u"A1", u"A-1", u"A.1", u"A_1", u"B", u"B-1", u"房间7", u"房间007"}))
        << "separators after digits, '-' < '.' < '_', a prefix first, leading zeros ignored and the sort stable";
}

TEST_F(RoomListTest, BadListsGiveWhatCanBeReadAndNeverMore)
{
    writeLibrary({u"A", u"B"});
    for (const char* bytes : {"3\r\nA\r\nB\r\n", "2147483647\nA B", "-5\nA\nB\n", "many\nA\nB\n",
                              "\x01\xff\x00garbage\xfe", ""}) {
        writeList(std::string(bytes, bytes + std::char_traits<char>::length(bytes)));
        CManageStdRoom::DelIntance();
        CManageStdRoom* lib = CManageStdRoom::CreateOnlyInstance();
        ASSERT_NE(lib, nullptr);
        for (const CString& n : lib->m_RoomNames) EXPECT_TRUE(n == u"A" || n == u"B") << n.ToUtf8();
        if (std::string(bytes).rfind("3\r", 0) == 0 || std::string(bytes).rfind("2147", 0) == 0) {
            EXPECT_EQ(lib->m_RoomNames, names({u"A", u"B"})) << bytes;
        }
    }
    writeList("1\r\n" + std::string(130, 'X') + "\r\n");
    CManageStdRoom::DelIntance();
    EXPECT_TRUE(CManageStdRoom::CreateOnlyInstance()->m_RoomNames.empty());
}

TEST_F(RoomListTest, ALockedLibraryLeavesTheListAsItIs)
{
    writeLibrary({u"A"});
    writeList("2\r\nA\r\nB\r\n");
    SharedFile holder;
    ASSERT_TRUE(holder.Open(vkwin::FromHostPath((dir / "StardardRoom.dwg").string()), SharedFile::kReadWrite, _SH_DENYWR));
    EXPECT_EQ(CManageStdRoom::CreateOnlyInstance()->m_RoomNames, names({u"A", u"B"}));
}

TEST_F(RoomListTest, TheInstanceFollowsTheProject)
{
    writeLibrary({u"A"});
    writeList("1\r\nA\r\n");
    CManageStdRoom* first = CManageStdRoom::CreateOnlyInstance();
    first->GetFilterOption().set();
    EXPECT_EQ(CManageStdRoom::CreateOnlyInstance(), first);
    const fs::path other = dir / "other";
    fs::create_directories(other);
    useProject(other);
    CManageStdRoom* second = CManageStdRoom::CreateOnlyInstance();
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->m_RoomNames.empty());
    EXPECT_TRUE(second->GetFilterOption().none());
}

TEST_F(RoomListTest, TheTemporaryCopyIsRefreshedEachTime)
{
    const CString copy = CManageStdRoom::GetStdRoomTempPath();
    EXPECT_FALSE(fs::exists(dir / "StandardRoomTmp.dwg")) << "no library, no copy";
    EXPECT_EQ(vkwin::ToHostPath(copy), (dir / "StandardRoomTmp.dwg").string());
    writeLibrary({u"A"});
    CManageStdRoom::GetStdRoomTempPath();
    EXPECT_EQ(fs::file_size(dir / "StandardRoomTmp.dwg"), fs::file_size(dir / "StardardRoom.dwg"));
    writeLibrary({u"A", u"B"});
    CManageStdRoom::GetStdRoomTempPath();
    EXPECT_EQ(fs::file_size(dir / "StandardRoomTmp.dwg"), fs::file_size(dir / "StardardRoom.dwg"));
}
