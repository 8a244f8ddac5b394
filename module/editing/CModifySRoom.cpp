#include "module/editing/CModifySRoom.h"

#include "host/ed/AcEd.h"
#include "host/win/Windows.h"
#include "module/definition/CStdRoomTool.h"
#include "module/frame/CManageStdRoom.h"
#include "module/frame/ModuleInstance.h"
#include "module/interfaces/EditingInterfaces.h"
#include "module/selection/CEntityOptionDlg.h"
#include "module/selection/PruneComponents.h"

IMPLEMENT_DYNAMIC(CModifySRoom, CAcUiDialog)

BEGIN_MESSAGE_MAP(CModifySRoom, CAcUiDialog)
    ON_MESSAGE(WM_ACAD_KEEPFOCUS, &CModifySRoom::OnAcadKeepFocus)
    ON_BN_CLICKED(IDC_RE_EXTRACT, &CModifySRoom::OnBnClickedReExtract)
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
    SaveCurrentDrawing();
    CAcUiDialog::OnOK();
    CancelCurrentCommand();
}

// The edit goes on whether or not the drawing could be saved; the designer is told when not.
void CModifySRoom::SaveCurrentDrawing()
{
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    if (!db) return;
    Acad::ErrorStatus es = db->save();
    AcApDocument* doc = acDocManager->document(db);
    // A drawing not yet on disk has no file of its own: it goes to its document's.
    if (es == Acad::eNotApplicable && doc) es = db->saveAs(doc->fileName(), true, AcDb::kDHL_1027, nullptr);
    if (es == Acad::eOk) return;
    const CString name = doc ? CString(doc->fileName()) : CString();
    acutPrintf(u"\n当前图纸%s未能保存：%s", name.GetString(), acadErrorStatusDescription(es).GetString());
}

void CModifySRoom::OnCancel()
{
    m_bOK = false;
    CDialog::OnCancel();
    CancelCurrentCommand();
}

void CModifySRoom::OnClose()
{
    CAcUiDialog::OnClose();
    CancelCurrentCommand();
}

void CModifySRoom::OnBnClickedReExtract()
{
    CString name;
    const int row = m_RoomList.GetCurSel();
    if (row >= 0 && row < m_RoomList.GetCount()) m_RoomList.GetText(row, name);

    INT_PTR filterResult = IDCANCEL;
    {
        vkroom::ModuleResourceScope resources;
        CEntityOptionDlg filter(nullptr);
        filterResult = filter.DoModal();
    }
    if (filterResult != IDOK) {
        ShowWindow(SW_SHOW);
        return;
    }
    ShowWindow(SW_HIDE);

    AcDbObjectIdArray chosen(0, 8);
    AcDbObjectId markerId;
    AcDbObjectId roomId;
    CStdRoomTool tool;
    if (!tool.PickSameNameRoom(name, markerId, roomId, chosen)) {
        chosen.append(markerId);
        chosen.append(roomId);
        HighlightEnts(chosen, false);
        ShowWindow(SW_SHOW);
        return;
    }
    if (!chosen.contains(markerId)) chosen.append(markerId);
    AcDbObjectIdArray content = chosen;
    if (!roomId.isNull()) content.append(roomId);
    HighlightEnts(content, false);

    SRoomEditInfo info;
    {
        AcDbObjectPointer<AcDbQsStandRoom> marker(markerId, AcDb::kForWrite);
        if (!marker) {
            if (marker.openStatus() == Acad::eOnLockedLayer) acutPrintf(u"\n所选房间的标记在锁定的图层上，未重新提取");
            ShowWindow(SW_SHOW);
            return;
        }
        marker->GetAssositEnts(info.oldEnts);
        AcDbObjectIdArray components = chosen;
        components.remove(markerId);
        vkroom::PruneDlpEnts(components);
        vkroom::PruneFittings(components);
        marker->SetAssositEnts(components);
        info.insertPt = marker->GetInsertPt();
        info.matrix = marker->GetMatrix();
    }

    m_Preview.UpdatePreviewDwg(vkroom::ModuleInstance(), name, content);

    info.standRoomId = markerId;
    info.roomId = roomId;
    info.newEnts = content;
    m_mapEdit[name] = info;
    ShowWindow(SW_SHOW);
}

void CModifySRoom::HighlightEnts(const AcDbObjectIdArray& ids, bool on)
{
    for (const AcDbObjectId& id : ids) vkroom::SetHighlight(id, on);
}
