// A command that keeps a point prompt running under a modeless dialog whose handlers open
// nested prompts and a modal dialog, and which ends the command with the cancel character.
#include "host/ui/AfxWin.h"
#include "tests/host/ed/EdTestSupport.h"

namespace {

HINSTANCE TestHandle() { static int token; return reinterpret_cast<HINSTANCE>(&token); }

void RegisterTemplates()
{
    vkui::DialogTemplate frame;
    frame.id = 300;
    frame.caption = u"测试对话框";
    frame.controls = {{10, vkui::ControlKind::kButton, u"提取"},
                      {11, vkui::ControlKind::kButton, u"选项"},
                      {12, vkui::ControlKind::kButton, u"结束"}};
    vkui::RegisterDialogTemplate(TestHandle(), frame);
    vkui::DialogTemplate modal;
    modal.id = 301;
    modal.caption = u"选项";
    modal.controls = {{5, vkui::ControlKind::kCheckBox, u"土建构件"},
                      {IDOK, vkui::ControlKind::kDefButton, u"确定"},
                      {IDCANCEL, vkui::ControlKind::kButton, u"取消"}};
    vkui::RegisterDialogTemplate(TestHandle(), modal);
}

struct Seen {
    int points = 0, loopResult = 0, pickResult = 0, realResult = 0, modalResult = 0, check = -1;
    AcDbObjectId picked;
    double real = 0;
} g_seen;

class COptionDlg : public CDialog {
public:
    COptionDlg() : CDialog(301) {}
    int m_check = 1;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Check(pDX, 5, m_check); }
};

class CFrameDlg : public CDialog {
protected:
    void OnPick()
    {
        ShowWindow(SW_HIDE);
        ads_name n;
        ads_point p;
        g_seen.pickResult = acedEntSel(u"\n请选择房间\n", n, p);
        acdbGetObjectId(g_seen.picked, n);
        g_seen.realResult = acedGetReal(u"\n请输入旋转角度值:<0>", &g_seen.real);
        ShowWindow(SW_SHOW);
    }
    void OnOptions()
    {
        COptionDlg dlg;
        g_seen.modalResult = int(dlg.DoModal());
        g_seen.check = dlg.m_check;
    }
    void OnEnd() { vked::SendToCommandLine(CString(u"\x03")); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CFrameDlg, CDialog)
    ON_BN_CLICKED(10, &CFrameDlg::OnPick)
    ON_BN_CLICKED(11, &CFrameDlg::OnOptions)
    ON_BN_CLICKED(12, &CFrameDlg::OnEnd)
END_MESSAGE_MAP()

void FrameCommand()
{
    acDocManager->pushResourceHandle(TestHandle());
    CFrameDlg dlg;
    dlg.Create(300, nullptr);
    acDocManager->popResourceHandle();
    dlg.ShowWindow(SW_SHOW);
    ads_point p;
    int rc;
    while ((rc = acedGetPoint(nullptr, u"", p)) == RTNORM) ++g_seen.points;
    g_seen.loopResult = rc;
    dlg.DestroyWindow();
}

class DialogCommandTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        RegisterTemplates();
        g_seen = Seen();
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
    EXPECT_EQ(g_seen.points, 2);
    EXPECT_EQ(g_seen.loopResult, RTCAN);
    EXPECT_EQ(g_seen.pickResult, RTNORM);
    EXPECT_EQ(g_seen.picked, room);
    EXPECT_EQ(g_seen.realResult, RTNORM);
    EXPECT_DOUBLE_EQ(g_seen.real, 90);
    EXPECT_EQ(g_seen.modalResult, IDOK);
    EXPECT_EQ(g_seen.check, 0);
    EXPECT_EQ(vkui::TopDialog(), nullptr);
    std::string t = out.utf8();
    for (const char* expected :
         {"Command: tdlg\n", "<dialog 300 \"测试对话框\" shown>\n", "<dialog 300 \"测试对话框\" hidden>\n",
          "\n请选择房间\n5,0\n", "<dialog 301 \"选项\" shown modal>\n", "  5 check-box \"土建构件\" check=1\n",
          "<dialog 301 \"选项\" ended 1>\n", "*Cancel*\n", "<dialog 300 \"测试对话框\" closed>\n",
          "** line 12 (t.scr): no command is waiting for input: \"3,3\" **"})
        EXPECT_NE(t.find(expected), std::string::npos) << expected << "\n--- transcript:\n" << t;
}

TEST_F(DialogCommandTest, InputRunningOutInsideAHandlerUnwindsTheWholeCommand)
{
    script({u"tdlg", u"!click 11"});
    vked::RunUntilEndOfInput();
    EXPECT_EQ(g_seen.modalResult, IDCANCEL);
    EXPECT_EQ(g_seen.loopResult, RTCAN);
    EXPECT_EQ(vkui::TopDialog(), nullptr);
    EXPECT_NE(out.utf8().find("** input ended:"), std::string::npos);
}

TEST_F(DialogCommandTest, AnActionWithNoDialogShownIsAnError)
{
    script({u"!click 10"});
    vked::RunUntilEndOfInput();
    EXPECT_NE(out.utf8().find("** line 1 (t.scr): no dialog is shown: \"!click 10\" **"), std::string::npos);
}

}  // namespace
