#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "host/db/AcDb.h"
#include "host/ed/AcEd.h"
#include "host/win/WinPath.h"
#include "siblings/project/CProj.h"
#include "siblings/project/IFloorMng.h"
#include "siblings/project/OpenFloorFile.h"
#include "siblings/project/ProjectFile.h"
#include "siblings/project/VkQsProject.h"
#include "tests/support/ModuleSession.h"
#include "tests/support/ProjectFiles.h"
#include "tests/support/TestDrawing.h"

namespace fs = std::filesystem;
using VkQsDataMng::CProj;
using VkQsDataMng::FloorRecord;

namespace {

class ProjectTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        vked::inputQueue().clear();
        vked::ResetInputEnded();
        root = vktest::FreshTestDir("vk_prj");
        fs::create_directories(root / "cfg");
        fs::create_directories(root / "work" / "dwg");
    }
    void TearDown() override
    {
        acDocManager->closeAll();
        VkQsProject::SetCurrentProjectFile("");
        fs::remove_all(root);
    }
    std::string write(const std::string& rel, const std::string& text)
    {
        std::ofstream(root / rel, std::ios::binary) << text;
        return (root / rel).string();
    }
    std::string saveDrawing(const std::string& rel)
    {
        AcDbDatabase d(true);
        EXPECT_EQ(d.saveAs(vkwin::FromHostPath((root / rel).string()), false), Acad::eOk);
        return (root / rel).string();
    }
    // A project in cfg/ whose directory is ../work, with floors 1F, 2F, 屋顶.
    std::string standardProject()
    {
        return write("cfg/p.ini", "\xEF\xBB\xBF; sample\n[Project]\nDir=../work\n[Floors]\n1F=dwg\\1F.dwg\n"
                                  "2F = dwg/2F.dwg\n屋顶=roof.dwg\n");
    }
    CString win(const fs::path& p) { return vkwin::FromHostPath(p.lexically_normal().string()); }

    fs::path root;
    vked::TranscriptCapture out;
};

TEST_F(ProjectTest, PathsComeInWindowsFormWithTheDirectoryResolvedAgainstTheProjectFile)
{
    ASSERT_TRUE(VkQsProject::SetCurrentProjectFile(standardProject()));
    CProj prj;
    EXPECT_TRUE(prj.IsValid());
    CString dir = prj.GetPrjDir();
    EXPECT_EQ(dir, win(root / "work"));
    EXPECT_EQ(dir.Find(u'/'), -1);
    EXPECT_NE(dir[dir.GetLength() - 1], u'\\');
    EXPECT_EQ(prj.GetPrjPath(), win(root / "cfg" / "p.ini"));
    // The module's own arithmetic on these paths lands on the files.
    EXPECT_EQ(vkwin::ToHostPath(dir + u"\\Roomlist.txt"), (root / "work" / "Roomlist.txt").string());

    CArray<FloorRecord> floors;
    floors.Add(FloorRecord{});  // filled afresh
    ASSERT_TRUE(prj.GetAllFloorData(floors));
    ASSERT_EQ(floors.GetSize(), 3);
    EXPECT_EQ(floors[0].strFloorName, u"1F");
    EXPECT_EQ(floors[0].strDwgName, u"dwg\\1F.dwg");
    EXPECT_EQ(floors[1].strFloorName, u"2F");
    EXPECT_EQ(floors[2].strFloorName, u"屋顶");
    EXPECT_EQ(floors[1].strDwgFullName, win(root / "work" / "dwg" / "2F.dwg"));
    EXPECT_EQ(VkQsDataMng::IFloorMng::GetDwgFullNameByFloorName(u"屋顶"), win(root / "work" / "roof.dwg"));
    EXPECT_EQ(VkQsDataMng::IFloorMng::GetDwgFullNameByFloorName(u"9F"), u"");
}

TEST_F(ProjectTest, WithoutAProjectQueriesAnswerEmptyAndFloorsDoNotOpen)
{
    CProj prj;
    EXPECT_FALSE(prj.IsValid());
    EXPECT_EQ(prj.GetPrjDir(), u"");
    CArray<FloorRecord> floors;
    EXPECT_FALSE(prj.GetAllFloorData(floors));
    EXPECT_FALSE(OpenFloorFile(u"1F", false));
    EXPECT_NE(out.utf8().find("no project is open"), std::string::npos);
    CString why;
    EXPECT_FALSE(VkQsProject::OpenProjectFloor(u"", &why));
}

TEST_F(ProjectTest, TheCurrentFloorIsTheOneWhoseDrawingIsTheCurrentDocument)
{
    ASSERT_TRUE(VkQsProject::SetCurrentProjectFile(standardProject()));
    saveDrawing("work/dwg/1F.dwg");
    EXPECT_EQ(CProj().GetCurFloorName(), u"");  // nothing open
    ASSERT_TRUE(VkQsProject::OpenProjectFloor(u""));  // the first floor
    EXPECT_EQ(CProj().GetCurFloorName(), u"1F");
    EXPECT_EQ(CString(acDocManager->curDocument()->docTitle()), u"1F.dwg");
    // A drawing outside the project is no floor.
    ASSERT_EQ(acDocManager->appContextOpenDocument(vkwin::FromHostPath(saveDrawing("other.dwg"))), Acad::eOk);
    EXPECT_EQ(CProj().GetCurFloorName(), u"");
    // Back to an open floor: the same document, switched to.
    AcApDocument* first = nullptr;
    ASSERT_TRUE(OpenFloorFile(u"1F", false));
    first = acDocManager->curDocument();
    EXPECT_EQ(acDocManager->documentCount(), 2);
    EXPECT_EQ(CProj().GetCurFloorName(), u"1F");
    EXPECT_EQ(acdbCurDwg(), first->database());
    EXPECT_FALSE(OpenFloorFile(u"9F", false));
    EXPECT_NE(out.utf8().find("no floor named \"9F\""), std::string::npos);
    EXPECT_EQ(acDocManager->curDocument(), first);
}

std::vector<CString> g_seen;

TEST_F(ProjectTest, AFloorSwitchInsideACommandChangesTheWorkingDrawingForTheRestOfIt)
{
    ASSERT_TRUE(VkQsProject::SetCurrentProjectFile(standardProject()));
    saveDrawing("work/dwg/1F.dwg");
    ASSERT_TRUE(VkQsProject::OpenProjectFloor(u"1F"));
    AcDbDatabase* firstDb = acdbCurDwg();
    g_seen.clear();
    acedRegCmds()->addCommand(u"T_PRJ", u"_tfloor", u"tfloor", ACRX_CMD_MODAL, [] {
        ads_point p;
        acedGetPoint(nullptr, u"\nPoint: ", p);
        // 2F's drawing does not exist yet: it starts as a new drawing of that name.
        g_seen.push_back(OpenFloorFile(u"2F", false) ? u"opened" : u"failed");
        g_seen.push_back(VkQsDataMng::CProj().GetCurFloorName());
        acedGetPoint(nullptr, u"\nPoint: ", p);
        vktest::appendToModelSpace(*acdbCurDwg(), new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(p[0], p[1], 0)));
    });
    vktest::RunLines({u"tfloor", u"1,1", u"5,5"});
    acedRegCmds()->removeGroup(u"T_PRJ");
    ASSERT_EQ(g_seen.size(), 2u);
    EXPECT_EQ(g_seen[0], u"opened");
    EXPECT_EQ(g_seen[1], u"2F");
    EXPECT_EQ(CProj().GetCurFloorName(), u"2F");
    EXPECT_EQ(CString(acDocManager->curDocument()->docTitle()), u"2F.dwg");
    // Said of the floor not drawn yet, not of the one that was.
    EXPECT_NE(out.utf8().find("2F.dwg does not exist: a new drawing"), std::string::npos) << out.utf8();
    EXPECT_EQ(out.utf8().find("does not exist"), out.utf8().rfind("does not exist"));
    AcDbDatabase* second = acdbCurDwg();
    ASSERT_NE(second, firstDb);
    EXPECT_EQ(vktest::EntityIds(second).size(), 1u);  // the line went to the floor switched to
    EXPECT_TRUE(vktest::EntityIds(firstDb).empty());
}

}  // namespace

