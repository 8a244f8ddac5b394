#include "module/placement/CSelectRoomDlg.h"

#include "module/frame/CManageStdRoom.h"
#include "module/frame/ModuleInstance.h"

IMPLEMENT_DYNAMIC(CSelectRoomDlg, CDialog)

BEGIN_MESSAGE_MAP(CSelectRoomDlg, CDialog)
    ON_MESSAGE(WM_ACAD_KEEPFOCUS, &CSelectRoomDlg::OnAcadKeepFocus)
    ON_LBN_SETFOCUS(IDC_ROOM_LIST, &CSelectRoomDlg::OnSetfocusRoomList)
    ON_WM_CLOSE()
END_MESSAGE_MAP()

CSelectRoomDlg::CSelectRoomDlg(CWnd* parent)
    : CDialog(IDD_SELECT_ROOM, parent), m_Preview(CManageStdRoom::GetStdRoomTempPath())
{
}

CSelectRoomDlg::~CSelectRoomDlg() = default;

BOOL CSelectRoomDlg::CreateModeless()
{
    vkroom::ModuleResourceScope resources;
    return CDialog::Create(IDD_SELECT_ROOM, nullptr);
}

void CSelectRoomDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ROOM_LIST, m_RoomList);
}

BOOL CSelectRoomDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (!m_Preview.SubclassDlgItem(IDC_SELECT_PREVIEW, this)) return FALSE;
    CManageStdRoom* lib = CManageStdRoom::CreateOnlyInstance();
    if (lib) {
        for (const CString& name : lib->GetStdRoomSet()) m_RoomList.AddString(name);
    }
    if (m_RoomList.GetCount() > 0) {
        m_RoomList.SetCurSel(0);
        m_RoomList.GetText(0, m_strRoomName);
        m_strPrevName = m_strRoomName;
    }
    return TRUE;
}

BOOL CSelectRoomDlg::ShowRoomPreview(int row, const CString& space)
{
    CString name;
    if (row >= 0 && row < m_RoomList.GetCount()) m_RoomList.GetText(row, name);
    return m_Preview.InitDrawingControl(vkroom::ModuleInstance(), name, space);
}

LRESULT CSelectRoomDlg::OnAcadKeepFocus(WPARAM, LPARAM)
{
    return m_bKeepFocus;
}

void CSelectRoomDlg::OnSetfocusRoomList()
{
    m_bKeepFocus = TRUE;
}

void CSelectRoomDlg::OnClose()
{
    CDialog::OnClose();
    CancelCurrentCommand();
}
