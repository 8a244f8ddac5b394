#include "module/editing/CModifySRoom.h"

#include "module/frame/CManageStdRoom.h"
#include "module/frame/ModuleInstance.h"

IMPLEMENT_DYNAMIC(CModifySRoom, CAcUiDialog)

BEGIN_MESSAGE_MAP(CModifySRoom, CAcUiDialog)
    ON_MESSAGE(WM_ACAD_KEEPFOCUS, &CModifySRoom::OnAcadKeepFocus)
    ON_LBN_SELCHANGE(IDC_ROOM_LIST, &CModifySRoom::OnSelchangeRoomList)
    ON_BN_CLICKED(IDOK, &CModifySRoom::OnBnClickedOk)
    ON_WM_CLOSE()
END_MESSAGE_MAP()

CModifySRoom::CModifySRoom(CWnd* parent)
    : CAcUiDialog(IDD_MODIFY_ROOM, parent), m_Preview(CManageStdRoom::GetStdRoomTempPath())
{
}

CModifySRoom::~CModifySRoom() = default;

void CModifySRoom::DoDataExchange(CDataExchange* pDX)
{
    CAcUiDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ROOM_LIST, m_RoomList);
}

BOOL CModifySRoom::OnInitDialog()
{
    CAcUiDialog::OnInitDialog();
    if (!m_Preview.SubclassDlgItem(IDC_MODIFY_PREVIEW, this)) return FALSE;
    if (CManageStdRoom* lib = CManageStdRoom::CreateOnlyInstance()) {
        for (const CString& name : lib->GetStdRoomSet()) m_RoomList.AddString(name);
    }
    if (m_RoomList.GetCount() > 0) m_RoomList.SetCurSel(0);
    ShowRoomPreview(0);
    return TRUE;
}

BOOL CModifySRoom::ShowRoomPreview(int row)
{
    CString name;
    if (row >= 0 && row < m_RoomList.GetCount()) m_RoomList.GetText(row, name);
    return m_Preview.InitDrawingControl(vkroom::ModuleInstance(), name, u"*Model_Space");
}

LRESULT CModifySRoom::OnAcadKeepFocus(WPARAM, LPARAM)
{
    return TRUE;
}

void CModifySRoom::OnSelchangeRoomList()
{
    CWaitCursor wait;
    ShowRoomPreview(m_RoomList.GetCurSel());
}

void CModifySRoom::OnBnClickedOk()
{
    m_bOK = true;
    if (AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase()) db->save();
    CAcUiDialog::OnOK();
    CancelCurrentCommand();
}

void CModifySRoom::OnCancel()
{
    m_bOK = false;
    CAcUiDialog::OnCancel();
    CancelCurrentCommand();
}

void CModifySRoom::OnClose()
{
    CAcUiDialog::OnClose();
    CancelCurrentCommand();
}

void CModifySRoom::ProcessModify()
{
    // Nothing to carry unless OK was pressed with at least one room re-extracted. Pending
    // edits come only from re-extraction, which this dialog does not offer yet, so the run
    // across floors is not written yet either.
    if (!m_bOK || m_mapEdit.empty()) return;
}
