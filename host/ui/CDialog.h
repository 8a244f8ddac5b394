#pragma once
// Dialogs: created from a registered template, modeless (Create + ShowWindow) or modal
// (DoModal, a nested loop on the input queue until EndDialog).
//
// Built-in behaviour:
//   WM_INITDIALOG       OnInitDialog (the base runs UpdateData(FALSE))
//   IDOK command        a message-map entry for IDOK, else OnOK: UpdateData(TRUE), EndDialog(IDOK)
//   IDCANCEL command    a message-map entry for IDCANCEL, else OnCancel: EndDialog(IDCANCEL)
//   WM_CLOSE            OnClose in the map, whose default processing sends IDCANCEL
//   EndDialog           modal: the loop ends and DoModal returns the result;
//                       modeless: the dialog is hidden (it lives until DestroyWindow)
//   WM_ACAD_KEEPFOCUS   unhandled: FALSE
// Transcript lines (host/ed/Transcript.h): <dialog ID "CAPTION" shown>, <... shown modal>,
// <... hidden>, <... ended N> (a modal dialog's end), <... closed> (destroyed while shown).
#include "host/ui/Controls.h"
#include "host/ui/DialogTemplate.h"

class CDataExchange {
public:
    CDataExchange(CWnd* dlg, BOOL saveAndValidate) : m_pDlgWnd(dlg), m_bSaveAndValidate(saveAndValidate) {}
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;          // TRUE: controls -> members
    void Fail();                      // ends the exchange; UpdateData answers FALSE
    HWND PrepareCtrl(int id);         // the control's window; Fail() when missing
};

void DDX_Control(CDataExchange* pDX, int id, CWnd& control);   // takes over the control once
void DDX_Text(CDataExchange* pDX, int id, CString& value);
void DDX_Text(CDataExchange* pDX, int id, int& value);         // not a number: Fail()
void DDX_Text(CDataExchange* pDX, int id, double& value);
void DDX_CBString(CDataExchange* pDX, int id, CString& value); // the combo's text; loading selects
                                                               // the first row starting with it
void DDX_CBIndex(CDataExchange* pDX, int id, int& index);
void DDX_LBString(CDataExchange* pDX, int id, CString& value);
void DDX_LBIndex(CDataExchange* pDX, int id, int& index);
void DDX_Check(CDataExchange* pDX, int id, int& value);
void DDV_MaxChars(CDataExchange* pDX, const CString& value, int maxChars);

class CDialog : public CWnd {
public:
    static CRuntimeClass classCDialog;
    CRuntimeClass* GetRuntimeClass() const override { return &classCDialog; }

    CDialog() = default;
    explicit CDialog(UINT templateId, CWnd* parent = nullptr) : m_nIDHelp(templateId), m_pParentWnd(parent) {}
    ~CDialog() override;  // destroys the window when still there

    // Modeless: builds the window (hidden unless the template has WS_VISIBLE) and runs
    // OnInitDialog. FALSE when no template of that id is registered (a line goes to the
    // transcript) or OnInitDialog... (its result is only a focus hint, as on the original).
    virtual BOOL Create(UINT templateId, CWnd* parent = nullptr);
    // Modal: builds, initialises, shows, then reads the input queue until EndDialog; -1 when
    // the template is missing.
    virtual INT_PTR DoModal();
    void EndDialog(int result);
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    BOOL DestroyWindow() override;
    UINT m_nIDHelp = 0;               // the template id

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

protected:
    virtual void DoDataExchange(CDataExchange* pDX) {}
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    CWnd* m_pParentWnd = nullptr;

private:
    friend struct DialogAccess;
    bool m_modal = false;
    bool m_ended = false;
    int m_result = 0;
};

// The host's dialog class; behaves as CDialog here.
class CAcUiDialog : public CDialog {
public:
    static CRuntimeClass classCAcUiDialog;
    CRuntimeClass* GetRuntimeClass() const override { return &classCAcUiDialog; }
    CAcUiDialog() = default;
    explicit CAcUiDialog(UINT templateId, CWnd* parent = nullptr, HINSTANCE hInst = nullptr)
        : CDialog(templateId, parent) {}
};

// The wait cursor: no visible effect here; the depth is kept for tests.
class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    void Restore() {}
};

namespace vkui {
int WaitCursorDepth();
// The dialog that dialog actions go to: the innermost running modal dialog, else the
// modeless dialog most recently shown that is still visible; null when none.
CDialog* TopDialog();
// What !show prints, one line per control after the header:
//   <dialog ID "CAPTION" visible|hidden modal|modeless>
//     ID KIND "TEXT" [rows=N ["a", "b"]] [sel=K] [check=0|1] [disabled] [hidden] [focus]
CString DescribeDialog(CDialog* dlg);
// Carries out one dialog action line (see host/ui/DialogActions.cpp). Installed as the
// editor's dialog action hook when this library loads.
bool RunDialogAction(const CString& action, CString& why);
}  // namespace vkui
