// What the commands say when the library or a drawing fails them, and the one limit of a room
// name: the bytes the room list holds, checked where the name is typed.
#include <sys/stat.h>

#include "host/win/FileFaults.h"
#include "host/win/Windows.h"
#include "host/win/WinPath.h"
#include "module/frame/CManageStdRoom.h"
#include "siblings/region/AcDbVkRoom.h"
#include "tests/support/ModuleOnFloorTest.h"
#include "tests/support/TestDrawing.h"

namespace {
namespace fs = std::filesystem;

class LibraryMessagesTest : public vktest::ModuleOnFloorTest {
protected:
    void SetUp() override
    {
        ModuleOnFloorTest::SetUp();
        startOn(u"", {{"1F", "1F.dwg"}});
    }
    void TearDown() override
    {
        vkwin::faults::Disarm();
        ModuleOnFloorTest::TearDown();
    }
    static CString Repeat(const char16_t* c, int n)
    {
        CString s;
        for (int i = 0; i < n; ++i) s += c;
        return s;
    }
};

TEST_F(LibraryMessagesTest, ANameIsLimitedInTheListsBytesWhereItIsTypedAndAStoredNameIsListedAgain)
{
    auto* boundary = new AcDbVkRoom;
    const double xy[4][2] = {{0, 0}, {0, 4000}, {6000, 4000}, {6000, 0}};
    for (unsigned int i = 0; i < 4; ++i) boundary->addVertexAt(i, AcGePoint2d(xy[i][0], xy[i][1]));
    boundary->setClosed(true);
    const AcDbObjectId id = vktest::appendToModelSpace(*acdbCurDwg(), boundary);
    // 64 characters fit the name box; in code page 936 they are 128 bytes, one too many.
    const CString tooLong = Repeat(u"房", 64), longest = Repeat(u"房", 63);
    run({u"bjcj", u"!click 206", u"!ok", CString(u"#") + id.handle().text(), u"<enter>", u"0,0",
         u"!text 200 \"" + tooLong + u"\"", u"!ok", u"!text 200 \"" + longest + u"\"", u"!ok"});
    EXPECT_EQ(count("[Vektasoft|warning] 标准房间名称过长：在当前代码页中占128个字节，最多127个字节!"), 1u) << out.utf8();
    EXPECT_EQ(count("房间提取成功"), 1u) << out.utf8();

    // Read back from the list file by a new instance.
    CManageStdRoom::DelIntance();
    CManageStdRoom* lib = CManageStdRoom::CreateOnlyInstance();
    EXPECT_EQ(lib->GetStdRoomSet(), std::vector<CString>{longest});
}

TEST_F(LibraryMessagesTest, ALibraryThatCannotBeReadIsSaidToBeOpenOnlyWhenItIs)
{
    struct Case {
        const char* what;
        std::function<void()> make;
        const char* said;
    };
    SharedFile holder;
    const Case cases[] = {
        {"held", [&] { ASSERT_TRUE(holder.Open(hostPath("StardardRoom.dwg"), SharedFile::kWrite, _SH_DENYWR, true)); },
         "标准房间文件已经打开，请先关闭"},
        {"damaged", [&] { std::ofstream(dir / "StardardRoom.dwg") << "no drawing"; },
         "无法读取：eBadDwgHeader (the file is not a drawing)"},
        {"a named pipe", [&] { ASSERT_EQ(::mkfifo((dir / "StardardRoom.dwg").c_str(), 0600), 0); },
         "无法读取：eFileAccessErr (no permission to read or write the file, or it is not a regular file)"},
    };
    for (const Case& c : cases) {
        fs::remove(dir / "StardardRoom.dwg");
        c.make();
        for (const char16_t* command : {u"bjcj", u"bjbj", u"bjbz"}) {
            out.clear();
            run({command, u"<esc>"});
            const std::string what = std::string(c.what) + " " + CString(command).ToUtf8();
            EXPECT_EQ(count(c.said), 1u) << what << "\n" << out.utf8();
            EXPECT_EQ(count("已经打开") + count("无法读取"), 1u) << what << "\n" << out.utf8();
        }
        holder.Close();
    }
}

TEST_F(LibraryMessagesTest, TheSaveAtTheEditsOkSaysWhenItFails)
{
    vkwin::faults::Arm(vkwin::faults::DiskFullFrom(vkwin::faults::Op::Write, 1).Only("1F.dwg"));
    run({u"bjbj", u"!ok"});
    EXPECT_EQ(count("1F.dwg未能保存：eFileSystemErr (the file system failed while writing (the disk may be full))"), 1u)
        << out.utf8();
}

}  // namespace
