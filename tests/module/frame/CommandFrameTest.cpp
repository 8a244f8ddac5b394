// The three commands as a user meets them: load, the library probe, the modeless dialog over
// the point loop, and the ways a command ends.
#include "host/ui/AfxWin.h"
#include "siblings/object/QsGlobalVariable.h"
#include "tests/support/ModuleOnFloorTest.h"

namespace fs = std::filesystem;

namespace {
class CommandFrameTest : public vktest::ModuleOnFloorTest {
protected:
    void SetUp() override
    {
        ModuleOnFloorTest::SetUp();
        startOn(u"", {{"1F", "1F.dwg"}});
    }
    fs::path library() const { return dir / "StardardRoom.dwg"; }
};
}  // namespace

TEST_F(CommandFrameTest, LoadingRegistersTheThreeCommandsAndUnloadingRemovesThemWithTheInstance)
{
    for (const char16_t* name : {u"bjbz", u"_bjbz", u"BJCJ", u"_bjbj"})
        EXPECT_NE(acedRegCmds()->lookupCmd(name), nullptr) << CString(name).ToUtf8();
    CManageStdRoom* instance = CManageStdRoom::CreateOnlyInstance();
    instance->GetFilterOption().set(3);
    module.reset();
    EXPECT_FALSE(acedRegCmds()->hasGroup(u"VKQSROOM"));
    EXPECT_EQ(acedRegCmds()->lookupCmd(u"bjbz"), nullptr);
    EXPECT_FALSE(CManageStdRoom::CreateOnlyInstance()->GetFilterOption().test(3)) << "the instance went with the module";
}

TEST_F(CommandFrameTest, ALibraryHeldForWritingStopsEveryCommandAndEachSaysSo)
{
    run({u"bjbj", u"!cancel"});  // creates the library
    ASSERT_TRUE(fs::exists(library()));
    out.clear();
    SharedFile holder;
    ASSERT_TRUE(holder.Open(hostPath("StardardRoom.dwg"), SharedFile::kReadWrite, _SH_DENYWR));
    run({u"bjbz"});
    EXPECT_TRUE(seen("\n标准房间文件已经打开，请先关闭")) << out.utf8();
    out.clear();
    run({u"bjcj", u"bjbj"});
    EXPECT_EQ(vktest::Occurrences(out.utf8(), "标准房间文件已经打开"), 2u) << "every command says why it stops";
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
    EXPECT_EQ(count("未打开工程，请先打开工程"), 3u) << text;
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
