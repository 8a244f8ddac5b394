#include <gtest/gtest.h>

#include "host/ed/AcEd.h"
#include "host/ui/AfxWin.h"

namespace {

class UiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        vked::inputQueue().clear();
        vked::ResetInputEnded();
    }
    vked::TranscriptCapture out;
};

std::string Joined(const std::vector<CString>& v)
{
    std::string s;
    for (const CString& e : v) s += e.ToUtf8() + "|";
    return s;
}

HINSTANCE Handle() { static int token; return reinterpret_cast<HINSTANCE>(&token); }

class CNameDlg : public CDialog {
public:
    CNameDlg() : CDialog(400) {}
    CComboBox m_combo;
    CListBox m_list;
    CString m_name;
    std::vector<CString> events;
    BOOL m_keep = FALSE;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, 200, m_combo);
        DDX_Control(pDX, 204, m_list);
        DDX_CBString(pDX, 200, m_name);
    }
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        m_combo.SendMessage(CB_LIMITTEXT, 4);
        m_combo.AddString(u"标准房间");
        m_combo.AddString(u"A");
        m_list.AddString(u"R1");
        m_list.AddString(u"R2");
        m_name = u"标准房间2";
        UpdateData(FALSE);
        return TRUE;
    }
    LRESULT OnKeepFocus(WPARAM, LPARAM) { events.push_back(u"keep?"); return m_keep; }
    void OnComboFocus() { events.push_back(u"combo setfocus"); m_keep = TRUE; }
    void OnComboKill() { events.push_back(u"combo killfocus"); }
    void OnComboSel() { events.push_back(u"combo selchange"); }
    void OnComboEdit()
    {
        CString typed;
        m_combo.GetWindowText(typed);
        events.push_back(u"combo editchange " + typed);
    }
    void OnListSel() { events.push_back(u"list selchange"); }
    void OnListDbl() { events.push_back(u"list dblclk"); }
    afx_msg void OnKillFocus(CWnd*) { events.push_back(u"dialog killfocus"); m_keep = FALSE; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CNameDlg, CDialog)
    ON_MESSAGE(WM_ACAD_KEEPFOCUS, &CNameDlg::OnKeepFocus)
    ON_CBN_SETFOCUS(200, &CNameDlg::OnComboFocus)
    ON_CBN_KILLFOCUS(200, &CNameDlg::OnComboKill)
    ON_CBN_SELCHANGE(200, &CNameDlg::OnComboSel)
    ON_CBN_EDITCHANGE(200, &CNameDlg::OnComboEdit)
    ON_LBN_SELCHANGE(204, &CNameDlg::OnListSel)
    ON_LBN_DBLCLK(204, &CNameDlg::OnListDbl)
    ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

TEST_F(UiTest, ActionsSendTheNotificationsOfRealControlsAndDataExchangeFollows)
{
    vkui::DialogTemplate t;
    t.id = 400;
    t.caption = u"创建标准房间";
    t.controls = {{200, vkui::ControlKind::kComboDropDown, u""}, {204, vkui::ControlKind::kListBox, u""},
                  {IDOK, vkui::ControlKind::kDefButton, u"确定"}};
    vkui::RegisterDialogTemplate(Handle(), t);
    CNameDlg dlg;
    ASSERT_TRUE(dlg.Create(400));
    dlg.ShowWindow(SW_SHOW);
    CString text;
    dlg.m_combo.GetWindowText(text);
    EXPECT_EQ(text, u"标准房间2");  // no row starts with the proposal: the drop-down shows it
    int l = 1;
    for (const char16_t* line : {u"!text 200 \"长名称很长的名字\"", u"!select 204 \"R2\"", u"!dblclick 204 1",
                                 u"!select 200 0", u"9,9", u"8,8"})
        vked::inputQueue().push(line, u"t.scr", l++);
    ads_point p;
    EXPECT_EQ(acedGetPoint(nullptr, u"", p), RTNORM);
    // The combo's focus set the keep-focus answer, so the point leaves the focus alone.
    std::vector<CString> expected{u"combo setfocus", u"combo editchange 长名称很", u"combo killfocus", u"list selchange",
                                  u"list dblclk", u"combo setfocus", u"combo selchange", u"keep?"};
    EXPECT_EQ(Joined(dlg.events), Joined(expected));
    dlg.m_keep = FALSE;
    EXPECT_EQ(acedGetPoint(nullptr, u"", p), RTNORM);
    for (const char16_t* e : {u"keep?", u"combo killfocus", u"dialog killfocus"}) expected.push_back(e);
    EXPECT_EQ(Joined(dlg.events), Joined(expected));
    EXPECT_EQ(dlg.m_list.GetCurSel(), 1);
    ASSERT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.m_name, u"标准房间");  // the row chosen last
    EXPECT_EQ(vkui::TopDialog(), &dlg);
    dlg.DestroyWindow();
    EXPECT_EQ(dlg.m_combo.GetCount(), 0);  // the control went with its dialog
    vkui::UnregisterDialogTemplates(Handle());
}

}  // namespace
