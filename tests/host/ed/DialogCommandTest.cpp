// A command that keeps a point prompt running under a modeless dialog whose handlers open
// nested prompts and a modal dialog, and which ends the command with the cancel character.
#include "tests/host/ed/EdTestSupport.h"
#include "tests/support/FrameDialogCommand.h"

#include <string>
#include <vector>

namespace {

HINSTANCE TestHandle() { static int token; return reinterpret_cast<HINSTANCE>(&token); }
constexpr UINT kFrameDialog = 300;

void FrameCommand() { vktest::RunFrameDialogCommand(TestHandle(), kFrameDialog); }

class DialogCommandTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        vktest::RegisterFrameDialogTemplates(TestHandle(), kFrameDialog);
        acedRegCmds()->addCommand(u"T_DLG", u"_tdlg", u"tdlg", ACRX_CMD_MODAL, &FrameCommand);
    }
    void TearDown() override
    {
        acedRegCmds()->removeGroup(u"T_DLG");
        vkui::UnregisterDialogTemplates(TestHandle());
        EditorTest::TearDown();
    }
};

TEST_F(DialogCommandTest, HandlersNestPromptsAndAModalDialogUnderThePointLoop)
{
    AcDbObjectId room = addLine({0, 0, 0}, {10, 0, 0});
    script({u"tdlg", u"1,1", u"!click 10", u"5,0", u"90", u"!click 11", u"!show", u"!check 5 0", u"!ok",
            u"2,2", u"!click 12", u"3,3"});
    vked::RunUntilEndOfInput();
    EXPECT_EQ(vkui::TopDialog(), nullptr);
    std::string t = out.utf8();
    const std::vector<std::string> expected = {
        "Command: tdlg\n", "<dialog 300 \"测试对话框\" shown>\n", "<dialog 300 \"测试对话框\" hidden>\n",
        "\n请选择房间: 5,0\n", "picked " + hashOf(room).ToUtf8() + "\n", "\n请输入旋转角度值:<0> 90\n\nangle 90\n",
        "<dialog 301 \"选项\" shown modal>\n", "  5 check-box \"土建构件\" check=1\n", "<dialog 301 \"选项\" ended 1>\n",
        "options 1 check 0", "*Cancel*\n", "2 points, loop ended by cancel\n", "<dialog 300 \"测试对话框\" closed>\n",
        "** line 12 (t.scr): no command is waiting for input: \"3,3\" **"};
    for (const std::string& e : expected)
        EXPECT_NE(t.find(e), std::string::npos) << e << "\n--- transcript:\n" << t;
}

TEST_F(DialogCommandTest, InputRunningOutInsideAHandlerUnwindsTheWholeCommand)
{
    script({u"tdlg", u"!click 11"});
    vked::RunUntilEndOfInput();
    EXPECT_EQ(vkui::TopDialog(), nullptr);
    const std::string t = out.utf8();
    EXPECT_NE(t.find("** input ended:"), std::string::npos);
    EXPECT_NE(t.find("options 2 check 1"), std::string::npos) << t;  // the modal dialog got IDCANCEL
    EXPECT_NE(t.find("0 points, loop ended by cancel"), std::string::npos) << t;
}

TEST_F(DialogCommandTest, AClickWhileTheDialogIsHiddenIsABadLineAndThePickGoesOn)
{
    // The pick prompt is the one waiting: a dialog action cannot reach the hidden dialog.
    AcDbObjectId room = addLine({0, 0, 0}, {10, 0, 0});
    script({u"tdlg", u"!click 10", u"!click 11", hashOf(room), u"<esc>", u"!click 12"});
    vked::RunUntilEndOfInput();
    const std::string t = out.utf8();
    size_t at = 0;
    for (const std::string& e : {std::string("<dialog 300 \"测试对话框\" hidden>"), std::string("** line 3 (t.scr): "),
                                 "picked " + hashOf(room).ToUtf8(), std::string("*Cancel*"),
                                 std::string("<dialog 300 \"测试对话框\" shown>"), std::string("0 points, loop ended by cancel")}) {
        at = t.find(e, at);
        ASSERT_NE(at, std::string::npos) << "missing, or out of order: " << e << "\n--- transcript:\n" << t;
    }
}

TEST_F(DialogCommandTest, AnActionWithNoDialogShownIsAnError)
{
    script({u"!click 10"});
    vked::RunUntilEndOfInput();
    EXPECT_NE(out.utf8().find("** line 1 (t.scr): no dialog is shown: \"!click 10\" **"), std::string::npos);
}

}  // namespace
