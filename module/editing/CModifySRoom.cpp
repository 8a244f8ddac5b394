#include "module/editing/CModifySRoom.h"

#include <set>

#include "host/ed/AcEd.h"
#include "host/win/Windows.h"
#include "module/definition/CStdRoomTool.h"
#include "module/frame/CManageStdRoom.h"
#include "module/frame/ModuleInstance.h"
#include "module/interfaces/EditingInterfaces.h"
#include "module/selection/CEntityOptionDlg.h"

IMPLEMENT_DYNAMIC(CModifySRoom, CAcUiDialog)

BEGIN_MESSAGE_MAP(CModifySRoom, CAcUiDialog)
    ON_MESSAGE(WM_ACAD_KEEPFOCUS, &CModifySRoom::OnAcadKeepFocus)
    ON_BN_CLICKED(IDC_RE_EXTRACT, &CModifySRoom::OnBnClickedReExtract)
    ON_LBN_SELCHANGE(IDC_ROOM_LIST, &CModifySRoom::OnSelchangeRoomList)
    ON_BN_CLICKED(IDOK, &CModifySRoom::OnBnClickedOk)
    ON_WM_CLOSE()
END_MESSAGE_MAP()

namespace {
bool Contains(const AcDbObjectIdArray& ids, const AcDbObjectId& id)
{
    return ids.find(id) >= 0;
}

void RemoveFirst(AcDbObjectIdArray& ids, const AcDbObjectId& id)
{
    const int at = ids.find(id);
    if (at >= 0) ids.removeAt(at);
}

// Opens id for read as T (or derived) and runs f on it; false when it is not one.
template <class T, class F>
bool WithOpen(const AcDbObjectId& id, F&& f)
{
    AcDbEntity* ent = nullptr;
    if (acdbOpenAcDbEntity(ent, id, AcDb::kForRead) != Acad::eOk) return false;
    T* typed = T::cast(ent);
    if (typed) f(*typed);
    ent->close();
    return typed != nullptr;
}
}  // namespace

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
    if (!Contains(chosen, markerId)) chosen.append(markerId);
    AcDbObjectIdArray content = chosen;
    if (!roomId.isNull()) content.append(roomId);
    HighlightEnts(content, false);

    AcDbQsStandRoom* marker = nullptr;
    if (acdbOpenObject(marker, markerId, AcDb::kForWrite) != Acad::eOk) {
        ShowWindow(SW_SHOW);
        return;
    }
    SRoomEditInfo info;
    marker->GetAssositEnts(info.oldEnts);
    AcDbObjectIdArray components = chosen;
    RemoveFirst(components, markerId);
    PruneDlpEnts(components);
    PruneFittings(components);
    marker->SetAssositEnts(components);
    info.insertPt = marker->GetInsertPt();
    info.matrix = marker->GetMatrix();
    marker->close();

    m_Preview.UpdatePreviewDwg(vkroom::ModuleInstance(), name, content);

    info.standRoomId = markerId;
    info.roomId = roomId;
    info.newEnts = content;
    m_mapEdit[name] = info;
    ShowWindow(SW_SHOW);
}

void CModifySRoom::HighlightEnts(const AcDbObjectIdArray& ids, bool on)
{
    for (const AcDbObjectId& id : ids) {
        AcDbEntity* ent = nullptr;
        if (acdbOpenAcDbEntity(ent, id, AcDb::kForRead) != Acad::eOk) continue;
        if (on) ent->highlight();
        else ent->unhighlight();
        ent->close();
    }
}

// A duct piece stays only when a two-way duct fitting of the list names it.
void CModifySRoom::PruneDlpEnts(AcDbObjectIdArray& ids)
{
    std::set<AcDbObjectId> kept;
    for (int i = ids.length() - 1; i >= 0; --i) {
        WithOpen<VkQsDuctFitting>(ids[i], [&](VkQsDuctFitting& fitting) {
            if (fitting.GetRefPipes().length() != 2) return;
            for (const AcDbObjectId& dlp : fitting.GetRefDlps()) kept.insert(dlp);
        });
    }
    AcDbObjectIdArray dropped(0, 8);
    for (int i = ids.length() - 1; i >= 0; --i) {
        const AcDbObjectId id = ids[i];
        if (WithOpen<VkQsDlpEnt>(id, [](VkQsDlpEnt&) {}) && !kept.count(id)) {
            ids.removeAt(i);
            dropped.append(id);
        }
    }
    HighlightEnts(dropped, false);
}

// A fitting on one pipe stays only when that pipe is in the list.
void CModifySRoom::PruneFittings(AcDbObjectIdArray& ids)
{
    std::set<AcDbObjectId> pipes;
    for (const AcDbObjectId& id : ids)
        if (WithOpen<VkQsPolyForValve>(id, [](VkQsPolyForValve&) {})) pipes.insert(id);
    AcDbObjectIdArray dropped(0, 8);
    for (int i = ids.length() - 1; i >= 0; --i) {
        const AcDbObjectId id = ids[i];
        bool drop = false;
        WithOpen<VkQsFittingBase>(id, [&](VkQsFittingBase& fitting) {
            const AcDbObjectIdArray refs = fitting.GetRefPipes();
            drop = refs.length() == 1 && !pipes.count(refs[0]);
        });
        if (drop) {
            ids.removeAt(i);
            dropped.append(id);
        }
    }
    HighlightEnts(dropped, false);
}
