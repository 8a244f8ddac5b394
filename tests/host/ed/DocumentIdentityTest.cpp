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
    // A drawing not saved yet: its folder resolved, so two spellings through a link agree.
    EXPECT_TRUE(vkwin::IsSameFile(host("alias/new.dwg"), u"C:\\sub\\new.dwg"));
    EXPECT_FALSE(vkwin::IsSameFile(host("alias/new.dwg"), host("new.dwg")));
}

TEST_F(DocumentIdentityTest, OpeningAnOpenDrawingByAnotherSpellingMakesItCurrentAndSavesGoThroughLinks)
{
    ASSERT_EQ(acDocManager->appContextOpenDocument(u"C:\\link.dwg"), Acad::eOk);
    AcApDocument* first = acDocManager->curDocument();
    ASSERT_EQ(acDocManager->appContextNewDocument(), Acad::eOk);
    ASSERT_EQ(acDocManager->appContextOpenDocument(u"c:/alias/a.dwg"), Acad::eOk);
    EXPECT_EQ(acDocManager->curDocument(), first);
    EXPECT_EQ(acDocManager->documentCount(), 2);
    // A save through the link replaces the file it names, with the back-up beside that file;
    // under another spelling of its own name it is a save over its own file: the document keeps
    // its name and its hold.
    EXPECT_EQ(vked::SaveDocument(first), Acad::eOk);
    EXPECT_EQ(vked::SaveDocument(first, host("sub/a.dwg")), Acad::eOk);
    EXPECT_TRUE(fs::is_symlink(dir / "link.dwg"));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir / "sub" / "a.bak")));
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "link.bak")));
    EXPECT_EQ(CString(first->fileName()), u"C:\\link.dwg");
    AcDbDatabase side(false);
    EXPECT_EQ(side.readDwgFile(u"C:\\sub\\a.dwg", _SH_DENYWR), Acad::eFileSharingViolation);
}

}  // namespace
