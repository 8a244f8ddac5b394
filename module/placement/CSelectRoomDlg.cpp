#include "module/placement/CSelectRoomDlg.h"

#include "host/ui/WinUser.h"
#include "module/frame/CManageStdRoom.h"
#include "module/frame/MessageBoxes.h"
#include "module/frame/MessageEndings.h"
#include "module/frame/ModuleInstance.h"
#include "module/interfaces/PlacementInterfaces.h"
#include "module/library/RoomInUse.h"
#include "module/placement/CRoomJig.h"

namespace {
constexpr const char16_t* kModelSpace = u"*Model_Space";
}  // namespace

IMPLEMENT_DYNAMIC(CSelectRoomDlg, CDialog)

BEGIN_MESSAGE_MAP(CSelectRoomDlg, CDialog)
    ON_MESSAGE(WM_ACAD_KEEPFOCUS, &CSelectRoomDlg::OnAcadKeepFocus)
    ON_BN_CLICKED(IDC_DELETE_ROOM, &CSelectRoomDlg::OnBnClickedDelete)
    ON_LBN_SELCHANGE(IDC_ROOM_LIST, &CSelectRoomDlg::OnSelchangeRoomList)
    ON_LBN_KILLFOCUS(IDC_ROOM_LIST, &CSelectRoomDlg::OnKillfocusRoomList)
    ON_LBN_SETFOCUS(IDC_ROOM_LIST, &CSelectRoomDlg::OnSetfocusRoomList)
    ON_BN_CLICKED(IDC_PLACE_ROOM, &CSelectRoomDlg::OnPlaceRoom)
    ON_LBN_DBLCLK(IDC_ROOM_LIST, &CSelectRoomDlg::OnPlaceRoom)
    ON_WM_RBUTTONDOWN()
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

CString CSelectRoomDlg::SelectedName() const
{
    CString name;
    const int row = m_RoomList.GetCurSel();
    if (row >= 0) m_RoomList.GetText(row, name);
    return name;
}

LRESULT CSelectRoomDlg::OnAcadKeepFocus(WPARAM, LPARAM)
{
    return m_bKeepFocus;
}

void CSelectRoomDlg::OnSelchangeRoomList()
{
    CWaitCursor wait;
    UpdateData(TRUE);
    if (m_pJig) {
        m_strRoomName = SelectedName();
        m_pJig->m_strRoomName = m_strRoomName;
        if (m_strRoomName.Compare(m_strPrevName) != 0) {
            m_pJig->m_dAngle = 0;
            m_pJig->m_dAngleRad = 0;
            // The flips and the turn of the room being dragged do not carry over to another.
            if (m_pJig->m_bDragging && m_pJig->GetLoadedName().Compare(m_strRoomName) != 0)
                m_pJig->m_Xform = AcGeMatrix3d::rotation(0, AcGeVector3d::kZAxis, AcGePoint3d::kOrigin);
        }
        m_strPrevName = m_strRoomName;
        ShowRoomPreview(m_RoomList.GetCurSel(), kModelSpace);
    } else {
        ShowRoomPreview(m_RoomList.GetCurSel(), kModelSpace);
        m_strRoomName = SelectedName();
        m_strPrevName = m_strRoomName;
    }
}

void CSelectRoomDlg::OnKillfocusRoomList() {}

void CSelectRoomDlg::OnSetfocusRoomList()
{
    m_bKeepFocus = TRUE;
}

void CSelectRoomDlg::OnPlaceRoom()
{
    if (m_bPlacing || m_RoomList.GetCount() == 0) return;
    m_bPlacing = TRUE;
    COsVarVal orthoOff(u"ORTHOMODE", short(0));  // placing always starts with ortho off
    m_pJig = std::make_unique<CRoomJig>(m_strRoomName);
    const AcEdJig::DragStatus status = m_pJig->Run();
    m_pJig.reset();
    m_bPlacing = FALSE;
    if (status == AcEdJig::kCancel) CancelCurrentCommand();
}

void CSelectRoomDlg::OnBnClickedDelete()
{
    if (m_RoomList.GetCount() == 0) return;
    const int row = m_RoomList.GetCurSel();
    CString name = SelectedName();
    if (vkroom::IsRoomInUse(name)) {
        vkroom::ShowWarning(CString(u"当前构件已使用，不能删除") + kEndExclaim);
        return;
    }
    if (vkroom::AskYesNo(CString(u"你确实要删除选择房间吗") + kEndQuestion) != IDYES) return;

    if (row >= 0) m_RoomList.DeleteString(row);
    if (CManageStdRoom* lib = CManageStdRoom::CreateOnlyInstance()) lib->EraseStdRoom(name);
    const int left = m_RoomList.GetCount();
    if (left > 0) {
        const int next = row < left ? (row < 0 ? 0 : row) : left - 1;
        m_RoomList.SetCurSel(next);
        ShowRoomPreview(next, kModelSpace);
    } else {
        ShowRoomPreview(0, kModelSpace);
    }
    UpdateData(TRUE);
    m_strRoomName = SelectedName();
    if (m_pJig) m_pJig->m_strRoomName = m_strRoomName;
}

void CSelectRoomDlg::OnClose()
{
    CDialog::OnClose();
    CancelCurrentCommand();
}
