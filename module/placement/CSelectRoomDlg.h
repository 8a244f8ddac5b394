#pragma once
// The place command's dialog: the stored rooms with a preview.
#include <memory>

#include "host/ed/AcApDocManager.h"
#include "host/ge/AcGeMatrix3d.h"
#include "host/ui/AfxWin.h"
#include "module/interfaces/FrameInterfaces.h"
#include "module/resources/resource.h"

class CRoomJig;

class CSelectRoomDlg : public CDialog {
public:
    DECLARE_DYNAMIC(CSelectRoomDlg)
    explicit CSelectRoomDlg(CWnd* parent = nullptr);
    ~CSelectRoomDlg() override;
    // Builds the window from template 201 under the module's resource handle.
    BOOL CreateModeless();
    // Previews the room of that list row; an out-of-range row previews nothing.
    BOOL ShowRoomPreview(int row, const CString& space);

    CListBox m_RoomList;
    VkQsGsPreviewCtrl m_Preview;
    BOOL m_bKeepFocus = FALSE;
    BOOL m_bPlacing = FALSE;
    CString m_strPrevName;
    std::unique_ptr<CRoomJig> m_pJig;  // while placing
    CString m_strRoomName;

protected:
    // The text of the selected row; empty when none is selected.
    CString SelectedName() const;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    afx_msg LRESULT OnAcadKeepFocus(WPARAM, LPARAM);
    afx_msg void OnBnClickedDelete();
    afx_msg void OnSelchangeRoomList();
    afx_msg void OnKillfocusRoomList();
    afx_msg void OnSetfocusRoomList();
    // Runs the placement jig for the selected room until it is cancelled, which ends the
    // command; ignored while placing or with an empty list.
    afx_msg void OnPlaceRoom();
    afx_msg void OnClose();
    DECLARE_MESSAGE_MAP()
};
