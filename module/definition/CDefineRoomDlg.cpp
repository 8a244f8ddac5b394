#include "module/definition/CDefineRoomDlg.h"

#include "module/frame/CManageStdRoom.h"
#include "module/frame/ModuleInstance.h"

IMPLEMENT_DYNAMIC(CDefineRoomDlg, CDialog)

BEGIN_MESSAGE_MAP(CDefineRoomDlg, CDialog)
    ON_MESSAGE(WM_ACAD_KEEPFOCUS, &CDefineRoomDlg::OnAcadKeepFocus)
    ON_CBN_SETFOCUS(IDC_ROOM_NAME, &CDefineRoomDlg::OnCbnSetfocusName)
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_CBN_SELCHANGE(IDC_ROOM_NAME, &CDefineRoomDlg::OnCbnSelchangeName)
    ON_WM_CLOSE()
END_MESSAGE_MAP()

namespace {
constexpr int kMaxRoomName = 64;

// "标准房间" when nothing is stored, else the first free "标准房间N", trying N = count first.
CString ProposeRoomName(const std::vector<CString>& stored)
{
    if (stored.empty()) return u"标准房间";
    auto taken = [&](const CString& c) {
        for (const CString& s : stored)
            if (s.Compare(c) == 0) return true;
        return false;
    };
    CString candidate;
    candidate.Format(u"标准房间%d", static_cast<int>(stored.size()));
    for (int n = 1; taken(candidate); ++n) candidate.Format(u"标准房间%d", n);
    return candidate;
}
}  // namespace

CDefineRoomDlg::CDefineRoomDlg(CWnd* parent)
    : CDialog(IDD_DEFINE_ROOM, parent), m_Preview(CManageStdRoom::GetStdRoomTempPath())
{
}

CDefineRoomDlg::~CDefineRoomDlg()
{
    ResetSelection();
}

BOOL CDefineRoomDlg::CreateModeless()
{
    vkroom::ModuleResourceScope resources;
    return CDialog::Create(IDD_DEFINE_ROOM, nullptr);
}

void CDefineRoomDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ROOM_NAME, m_NameCombo);
    DDX_CBString(pDX, IDC_ROOM_NAME, m_strRoomName);
}

BOOL CDefineRoomDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (!m_Preview.SubclassDlgItem(IDC_DEFINE_PREVIEW, this)) return FALSE;
    AcDbDatabase* lib = nullptr;
    CManageStdRoom::GetDb(lib);
    ShowRoomPreview(-1, u"*Model_Space");
    delete lib;
    m_NameCombo.SendMessage(CB_LIMITTEXT, kMaxRoomName);
    std::vector<CString> stored;
    if (CManageStdRoom* library = CManageStdRoom::CreateOnlyInstance()) stored = library->GetStdRoomSet();
    for (const CString& name : stored) m_NameCombo.AddString(name);
    m_strRoomName = ProposeRoomName(stored);
    UpdateData(FALSE);
    return TRUE;
}

BOOL CDefineRoomDlg::ShowRoomPreview(int row, const CString& space)
{
    CString name;
    if (row >= 0 && row < m_NameCombo.GetCount()) m_NameCombo.GetLBText(row, name);
    return m_Preview.InitDrawingControl(vkroom::ModuleInstance(), name, space);
}

void CDefineRoomDlg::ResetSelection()
{
    for (const AcDbObjectId& id : m_EntIds) {
        AcDbEntity* ent = nullptr;
        if (acdbOpenAcDbEntity(ent, id, AcDb::kForRead) == Acad::eOk) {
            ent->unhighlight();
            ent->close();
        }
    }
    m_EntIds.removeAll();
    m_bPicked = FALSE;
    m_PickedRoomId = AcDbObjectId::kNull;
    CancelCurrentCommand();
}

void CDefineRoomDlg::OnCancel()
{
    CDialog::OnCancel();
    ResetSelection();
}

LRESULT CDefineRoomDlg::OnAcadKeepFocus(WPARAM, LPARAM)
{
    return m_bKeepFocus;
}

void CDefineRoomDlg::OnCbnSetfocusName()
{
    m_bKeepFocus = TRUE;
}

void CDefineRoomDlg::OnSetFocus(CWnd*)
{
    m_bKeepFocus = TRUE;
}

void CDefineRoomDlg::OnKillFocus(CWnd*)
{
    m_bKeepFocus = FALSE;
}

void CDefineRoomDlg::OnCbnSelchangeName()
{
    const int row = m_NameCombo.GetCurSel();
    AcDbDatabase* lib = nullptr;
    CManageStdRoom::GetDb(lib);
    ShowRoomPreview(row, u"*Model_Space");
    delete lib;
}

void CDefineRoomDlg::OnClose()
{
    CDialog::OnClose();
    ResetSelection();
}
