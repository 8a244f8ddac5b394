#pragma once
// A command for the editor's tests: it keeps a point prompt running under a modeless dialog.
// "提取" hides the dialog and asks for an entity and an angle, "选项" opens a modal dialog with a
// check box, "结束" sends the cancel character, which ends the point loop. Everything it learns
// goes to the transcript ("picked #H", "angle A", "options RC check C", "N points, loop ended
// by cancel"), so unit tests, scripts and the console check it alike.
//
// Include it in one source file of a program: it defines the dialogs' message maps.
#include "host/db/AcDb.h"
#include "host/ed/AcApDocManager.h"
#include "host/ed/AcEd.h"
#include "host/ed/InputQueue.h"
#include "host/ui/AfxWin.h"

namespace vktest {

// The modeless dialog is `frameId`, the modal one `frameId + 1`.
inline void RegisterFrameDialogTemplates(HINSTANCE h, UINT frameId)
{
    vkui::DialogTemplate frame;
    frame.id = frameId;
    frame.caption = u"测试对话框";
    frame.controls = {{10, vkui::ControlKind::kButton, u"提取"},
                      {11, vkui::ControlKind::kButton, u"选项"},
                      {12, vkui::ControlKind::kButton, u"结束"}};
    vkui::RegisterDialogTemplate(h, frame);
    vkui::DialogTemplate modal;
    modal.id = frameId + 1;
    modal.caption = u"选项";
    modal.controls = {{5, vkui::ControlKind::kCheckBox, u"土建构件"},
                      {IDOK, vkui::ControlKind::kDefButton, u"确定"},
                      {IDCANCEL, vkui::ControlKind::kButton, u"取消"}};
    vkui::RegisterDialogTemplate(h, modal);
}

class COptionDlg : public CDialog {
public:
    explicit COptionDlg(UINT id) : CDialog(id) {}
    int m_check = 1;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Check(pDX, 5, m_check); }
};

class CFrameDlg : public CDialog {
public:
    explicit CFrameDlg(UINT optionsId) : m_optionsId(optionsId) {}

protected:
    void OnPick()
    {
        ShowWindow(SW_HIDE);
        ads_name n;
        ads_point p;
        if (acedEntSel(u"\n请选择房间: ", n, p) == RTNORM) {
            AcDbObjectId id;
            acdbGetObjectId(id, n);
            acutPrintf(u"\npicked #%s", static_cast<const char16_t*>(id.handle().text()));
            double angle = 0;
            if (acedGetReal(u"\n请输入旋转角度值:<0> ", &angle) == RTNORM) acutPrintf(u"\nangle %g", angle);
        } else {
            acutPrintf(u"\nnothing picked");
        }
        ShowWindow(SW_SHOW);
    }
    void OnOptions()
    {
        COptionDlg dlg(m_optionsId);
        INT_PTR rc = dlg.DoModal();
        acutPrintf(u"\noptions %d check %d", int(rc), dlg.m_check);
    }
    void OnEnd() { vked::SendToCommandLine(CString(u"\x03")); }
    DECLARE_MESSAGE_MAP()

private:
    UINT m_optionsId;
};

BEGIN_MESSAGE_MAP(CFrameDlg, CDialog)
    ON_BN_CLICKED(10, &CFrameDlg::OnPick)
    ON_BN_CLICKED(11, &CFrameDlg::OnOptions)
    ON_BN_CLICKED(12, &CFrameDlg::OnEnd)
END_MESSAGE_MAP()

// The command's body, on templates registered under `resources`.
inline void RunFrameDialogCommand(HINSTANCE resources, UINT frameId)
{
    acDocManager->pushResourceHandle(resources);
    CFrameDlg dlg(frameId + 1);
    dlg.Create(frameId, nullptr);
    acDocManager->popResourceHandle();
    dlg.ShowWindow(SW_SHOW);
    ads_point p;
    int points = 0, rc;
    while ((rc = acedGetPoint(nullptr, u"\n指定点: ", p)) == RTNORM) ++points;
    acutPrintf(u"\n%d points, loop ended %s", points, rc == RTCAN ? u"by cancel" : u"otherwise");
    dlg.DestroyWindow();
}

}  // namespace vktest
