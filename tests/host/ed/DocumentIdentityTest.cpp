// A drawing path names one file however it is spelled: the file layer's identity, and the
// document manager that finds an open drawing by it instead of opening it a second time.
#include <unistd.h>

#include <filesystem>

#include "host/win/WinPath.h"
#include "host/win/Windows.h"
#include "tests/host/ed/EdTestSupport.h"

namespace fs = std::filesystem;

namespace {

class DocumentIdentityTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        dir = fs::temp_directory_path() / ("vk_ed_ident_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir / "sub");
        fs::create_directory_symlink(dir / "sub", dir / "alias");
        savedDrives = vkwin::GetDriveMap();
        vkwin::SetDriveMap({{'C', dir.string()}});
        AcDbDatabase d(true);
        ASSERT_EQ(d.saveAs(host("sub/a.dwg").GetString()), Acad::eOk);
        fs::create_symlink(dir / "sub" / "a.dwg", dir / "link.dwg");
    }
    void TearDown() override
    {
        acDocManager->closeAll();
        acdbHostApplicationServices()->setWorkingDatabase(db.get());
        vkwin::SetDriveMap(savedDrives);
        fs::remove_all(dir);
        EditorTest::TearDown();
    }
    CString host(const std::string& rel) const { return CString::FromUtf8((dir / rel).string()); }
    fs::path dir;
    std::map<char, std::string> savedDrives;
};

TEST_F(DocumentIdentityTest, EverySpellingOfAPathNamesTheSameFileAndOnlyThat)
{
    const CString a = host("sub/a.dwg");
    const std::string d = dir.string();
    const CString spellings[] = {
        u"C:\\sub\\a.dwg", u"c:/sub//a.dwg", CString::FromUtf8(d + "//sub/./a.dwg"),
        CString::FromUtf8(d + "/alias/../sub/a.dwg"), CString::FromUtf8(fs::relative(dir / "sub/a.dwg").string()),
        vkwin::FromHostPath(d + "/sub/a.dwg"), host("link.dwg"), host("alias/a.dwg")};
    for (const CString& s : spellings) EXPECT_TRUE(vkwin::IsSameFile(a, s)) << s.ToUtf8();
    EXPECT_FALSE(vkwin::IsSameFile(a, host("sub/b.dwg")));
    EXPECT_FALSE(vkwin::IsSameFile(a, u""));
    // A drawing not saved yet: its folder resolved, so two spellings through a link agree.
    EXPECT_TRUE(vkwin::IsSameFile(host("alias/new.dwg"), u"C:\\sub\\new.dwg"));
    EXPECT_FALSE(vkwin::IsSameFile(host("alias/new.dwg"), host("new.dwg")));
}

TEST_F(DocumentIdentityTest, OpeningAnOpenDrawingByAnotherSpellingMakesItCurrentAndSavesKeepTheHold)
{
    ASSERT_EQ(acDocManager->appContextOpenDocument(host("sub/a.dwg").GetString()), Acad::eOk);
    AcApDocument* first = acDocManager->curDocument();
    ASSERT_EQ(acDocManager->appContextNewDocument(), Acad::eOk);
    for (const char16_t* other : {u"C:\\alias\\a.dwg", u"c:/link.dwg"}) {
        ASSERT_EQ(acDocManager->appContextOpenDocument(other), Acad::eOk);
        EXPECT_EQ(acDocManager->curDocument(), first) << CString(other).ToUtf8();
        EXPECT_EQ(acDocManager->documentCount(), 2);
    }
    EXPECT_FALSE(first->isReadOnly());
    EXPECT_EQ(out.utf8().find("read-only"), std::string::npos) << out.utf8();
    // Saving under another spelling of its own name is a save over its own file: the document
    // keeps its name and its hold on the new file.
    EXPECT_EQ(vked::SaveDocument(first, u"C:\\link.dwg"), Acad::eOk);
    EXPECT_EQ(CString(first->fileName()), host("sub/a.dwg"));
    EXPECT_TRUE(fs::is_symlink(dir / "link.dwg"));
    EXPECT_FALSE(first->isReadOnly());
    AcDbDatabase side(false);
    EXPECT_EQ(side.readDwgFile(u"C:\\sub\\a.dwg", _SH_DENYWR), Acad::eFileSharingViolation);
}

}  // namespace
