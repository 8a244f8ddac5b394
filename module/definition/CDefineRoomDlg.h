#pragma once
// The create command's dialog: a name for the new room, the stored rooms with a preview, the
// pick of a room boundary with its components and base point, and the store on OK.
#include "host/ed/AcApDocManager.h"
#include "host/ge/AcGeMatrix3d.h"
#include "host/ui/AfxWin.h"
#include "module/interfaces/FrameInterfaces.h"
#include "module/resources/resource.h"

struct resbuf;

class CDefineRoomDlg : public CDialog {
public:
    DECLARE_DYNAMIC(CDefineRoomDlg)
    explicit CDefineRoomDlg(CWnd* parent = nullptr);
    ~CDefineRoomDlg() override;
    BOOL CreateModeless();  // template 200 under the module's resource handle
    BOOL ShowRoomPreview(int row, const CString& space);
    // The same on the model space, with the library held for read meanwhile.
    void PreviewOverLibrary(int row);
    void ShowPickedPreview(AcDbObjectIdArray& ids);
    // One selection pass appending to ids; with the keyword, Q starts removal passes.
    static int SelectComponents(AcDbObjectIdArray& ids, bool withKeyword);
    int AddRemoveEnts();  // 1 finished, 0 cancelled
    static struct resbuf* RemoveKwordCallback(const char16_t* keyword);
    void ResetSelection();  // forgets the pick and ends the command's prompt
    static bool IsValidRoomName(CString name);
    void PruneDlpEnts();
    void PruneFittings();

    CComboBox m_NameCombo;
    CString m_strRoomName;
    VkQsGsPreviewCtrl m_Preview;
    BOOL m_bKeepFocus = FALSE;
    AcDbObjectIdArray m_EntIds{0, 8};
    BOOL m_bPicked = FALSE;
    AcDbObjectId m_PickedRoomId;
    AcGePoint3d m_BasePt;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    afx_msg LRESULT OnAcadKeepFocus(WPARAM, LPARAM);
    afx_msg void OnCbnKillfocusName();
    afx_msg void OnCbnSetfocusName();
    afx_msg void OnBnClickedPickRoom();
    afx_msg void OnSetFocus(CWnd* oldWnd);
    afx_msg void OnKillFocus(CWnd* newWnd);
    afx_msg void OnCbnSelchangeName();
    afx_msg void OnClose();
    DECLARE_MESSAGE_MAP()

private:
    bool PickRoom();        // the boundary pick; false when the user cancelled
    void GatherComponents();
    bool PickBasePoint();   // false when the user cancelled (the pick is reset)
};
