// The three commands as a user meets them: load, the library probe, the modeless dialog over
// the point loop, and the ways a command ends.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "host/db/AcDb.h"
#include "host/ed/AcEd.h"
#include "host/rx/AcRxDynamicLinker.h"
#include "host/ui/AfxWin.h"
#include "host/win/Windows.h"
#include "host/win/WinPath.h"
#include "module/frame/CManageStdRoom.h"
#include "siblings/object/QsGlobalVariable.h"
#include "siblings/project/VkQsProject.h"
#include "tests/support/ModuleSession.h"
#include "tests/support/NothingOpen.h"
#include "tests/support/ProjectFiles.h"
#include "tests/support/TestDrawing.h"

namespace fs = std::filesystem;

namespace {
class CommandFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = vktest::FreshTestDir("vkroom-frame");
        fs::create_directories(dir / "c");
        vkwin::SetDriveMap({{'C', (dir / "c").string()}});
        std::ofstream(dir / "demo.prj") << "[Project]\n[Floors]\n1F=1F.dwg\n";
        CString err;
        ASSERT_TRUE(VkQsProject::SetCurrentProjectFile((dir / "demo.prj").string(), &err)) << err.ToUtf8();
        ASSERT_TRUE(VkQsProject::OpenProjectFloor(u"", &err)) << err.ToUtf8();
        ASSERT_TRUE(acrxDynamicLinker()->loadModule(vktest::ModulePath())) << acrxDynamicLinker()->lastError();
        vked::inputQueue().clear();
        vked::ResetInputEnded();
        acdbTakeOpenObjectReports();  // what earlier tests left is theirs
    }
    void TearDown() override
    {
        // The commands leave nothing open, in the floor drawing or in the library they used.
        EXPECT_TRUE(vktest::NothingLeftOpen(acdbCurDwg()));
        acrxDynamicLinker()->unloadModule(vktest::ModulePath());
        acDocManager->closeAll();
        VkQsProject::SetCurrentProjectFile("");
        fs::remove_all(dir);
    }
    static void run(const std::vector<CString>& lines) { vktest::RunLines(lines); }
    bool seen(const char* text) const { return out.utf8().find(text) != std::string::npos; }
    fs::path library() const { return dir / "StardardRoom.dwg"; }

    fs::path dir;
    vked::TranscriptCapture out;
};
}  // namespace

TEST_F(CommandFrameTest, LoadingRegistersTheThreeCommandsAndUnloadingRemovesThemWithTheInstance)
{
    for (const char16_t* name : {u"bjbz", u"_bjbz", u"BJCJ", u"_bjbj"})
        EXPECT_NE(acedRegCmds()->lookupCmd(name), nullptr) << CString(name).ToUtf8();
    ASSERT_NE(CManageStdRoom::CreateOnlyInstance(), nullptr);
    ASSERT_TRUE(acrxDynamicLinker()->unloadModule(vktest::ModulePath()));
    EXPECT_FALSE(acedRegCmds()->hasGroup(u"VKQSROOM"));
    EXPECT_EQ(acedRegCmds()->lookupCmd(u"bjbz"), nullptr);
}

TEST_F(CommandFrameTest, ALibraryHeldForWritingStopsEveryCommandAndOnlyPlaceSaysSo)
{
    run({u"bjbj", u"!cancel"});  // creates the library
    ASSERT_TRUE(fs::exists(library()));
    out.clear();
    SharedFile holder;
    ASSERT_TRUE(holder.Open(vkwin::FromHostPath(library().string()), SharedFile::kReadWrite, _SH_DENYWR));
    run({u"bjbz"});
    EXPECT_TRUE(seen("\n标准房间文件已经打开，请先关闭")) << out.utf8();
    out.clear();
    run({u"bjcj", u"bjbj"});
    EXPECT_FALSE(seen("标准房间文件已经打开"));
    EXPECT_FALSE(seen("<dialog"));
    EXPECT_FALSE(m_bLeadContainer);
}

TEST_F(CommandFrameTest, PointsPickedWhileTheDialogIsOpenDoNothing)
{
    run({u"bjcj", u"1,1", u"2,2,0", u"!cancel"});
    EXPECT_TRUE(seen("<dialog 200"));
    EXPECT_EQ(vkui::TopDialog(), nullptr);
    AcDbDatabase* working = acdbHostApplicationServices()->workingDatabase();
    ASSERT_NE(working, nullptr);
    EXPECT_TRUE(vktest::EntityIds(working).empty());
}

TEST_F(CommandFrameTest, WithoutAProjectEveryCommandAsksForOneAndWritesNothing)
{
    VkQsProject::SetCurrentProjectFile("");
    const fs::path rootLibrary = "/StardardRoom.dwg";
    const bool wasThere = fs::exists(rootLibrary);
    run({u"bjbz", u"!cancel", u"bjcj", u"!cancel", u"bjbj", u"!cancel"});
    const std::string text = out.utf8();
    EXPECT_EQ(vktest::Occurrences(text, "未打开工程，请先打开工程"), 3u) << text;
    EXPECT_FALSE(seen("<dialog 20")) << text;
    EXPECT_FALSE(seen("<dialog 21")) << text;
    EXPECT_FALSE(fs::exists(library()));
    if (!wasThere) {
        EXPECT_FALSE(fs::exists(rootLibrary)) << "written into the file system's root";
        fs::remove(rootLibrary);
        fs::remove("/StandardRoomTmp.dwg");
    }
    EXPECT_FALSE(m_bLeadContainer);
}
