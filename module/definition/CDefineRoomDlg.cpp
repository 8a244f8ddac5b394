#include "module/definition/CDefineRoomDlg.h"

#include <set>
#include <utility>
#include <vector>

#include "host/ed/AcEd.h"
#include "module/definition/CStdRoomTool.h"
#include "module/frame/CManageStdRoom.h"
#include "module/frame/MessageBoxes.h"
#include "module/frame/MessageEndings.h"
#include "module/frame/ModuleInstance.h"
#include "module/frame/PointInReach.h"
#include "module/interfaces/DefinitionInterfaces.h"
#include "module/library/LibraryFile.h"
#include "module/library/NotCarriedMark.h"
#include "module/library/RoomListFormat.h"
#include "module/selection/CEntityOptionDlg.h"
#include "module/selection/ComponentSelection.h"
#include "module/selection/PruneComponents.h"

IMPLEMENT_DYNAMIC(CDefineRoomDlg, CDialog)

BEGIN_MESSAGE_MAP(CDefineRoomDlg, CDialog)
    ON_MESSAGE(WM_ACAD_KEEPFOCUS, &CDefineRoomDlg::OnAcadKeepFocus)
    ON_CBN_KILLFOCUS(IDC_ROOM_NAME, &CDefineRoomDlg::OnCbnKillfocusName)
    ON_CBN_SETFOCUS(IDC_ROOM_NAME, &CDefineRoomDlg::OnCbnSetfocusName)
    ON_BN_CLICKED(IDC_PICK_ROOM, &CDefineRoomDlg::OnBnClickedPickRoom)
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_CBN_SELCHANGE(IDC_ROOM_NAME, &CDefineRoomDlg::OnCbnSelchangeName)
    ON_WM_CLOSE()
END_MESSAGE_MAP()

namespace {
constexpr int kMaxRoomName = 64;
constexpr const char16_t* kRoomClassName = u"AcDbVkRoom";
constexpr const char16_t* kPickRoomPrompt = u"\n请选择房间\n";
constexpr const char16_t* kBasePointPrompt = u"\n指定房间基点\n";

// One character each; none of them may appear in a room name.
constexpr const char16_t* kForbiddenChars[] = {
    u"~", u"`", u"!", u"@", u"#", u"$", u"%", u"^", u"&", u"*", u"_", u"=", u"|", u"\\", u"{",
    u"}", u"[", u"]", u":", u";", u"\"", u"'", u"<", u">", u",", u".", u"?", u"/", u" ",
};
// What the refusal of a name shows: the characters as the user reads them, then "空格".
constexpr const char16_t* kForbiddenNameText =
    u"标准房间名称中包含以下不能使用的字符：\n<>/\\\" : ;?*|,=`[]#@.~'!$%^&_{}空格";

// What one pass of component selection removed, and the boundary it must not unhighlight;
// read by the keyword callback, which has no dialog to ask.
std::set<AcDbObjectId> g_removed;
AcDbObjectId g_pickedRoomId;

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

// Why a name is no name the room list can hold.
CString NameUnfitText(const CString& name)
{
    CString text;
    const size_t bytes = vkroom::RoomNameBytes(name);
    if (bytes > vkroom::kRoomNameMaxBytes)
        text.Format(u"标准房间名称过长：在当前代码页中占%d个字节，最多%d个字节", static_cast<int>(bytes),
                    static_cast<int>(vkroom::kRoomNameMaxBytes));
    else
        text = u"标准房间名称中含有空白或当前代码页不能表示的字符";
    return text;
}


// Erases the marker of a store that was refused.
void EraseMarker(const AcDbObjectId& markerId)
{
    if (AcDbObjectPointer<AcDbQsStandRoom> marker(markerId, AcDb::kForWrite); marker) marker->erase();
}

// The links that making a marker sets, as they were before: each component's standard room and
// whether the boundary belongs to one. A store that is refused puts them back.
class LinksBefore {
public:
    LinksBefore(const AcDbObjectIdArray& components, const AcDbObjectId& boundaryId) : m_boundaryId(boundaryId)
    {
        for (const AcDbObjectId& id : components) {
            AcDbObjectPointer<VkQsEntity> component(id, AcDb::kForRead);
            if (component) m_rooms.emplace_back(id, component->GetAssositSRoom());
        }
        if (AcDbObjectPointer<AcDbVkRoom> boundary(boundaryId, AcDb::kForRead); boundary)
            m_belonged = boundary->GetIfBelongSR();
    }

    void Restore() const
    {
        for (const auto& [id, room] : m_rooms) {
            AcDbObjectPointer<VkQsEntity> component(id, AcDb::kForWrite);
            if (component) component->SetAssositSRoom(room);
        }
        if (AcDbObjectPointer<AcDbVkRoom> boundary(m_boundaryId, AcDb::kForWrite); boundary)
            boundary->SetIfBelongSR(m_belonged);
    }

private:
    std::vector<std::pair<AcDbObjectId, AcDbObjectId>> m_rooms;  // component, its standard room
    AcDbObjectId m_boundaryId;
    bool m_belonged = false;
};
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
    PreviewOverLibrary(-1);
    m_NameCombo.SendMessage(CB_LIMITTEXT, kMaxRoomName);
    std::vector<CString> stored;
    if (CManageStdRoom* library = CManageStdRoom::CreateOnlyInstance()) stored = library->GetStdRoomSet();
    for (const CString& name : stored) m_NameCombo.AddString(name);
    m_strRoomName = ProposeRoomName(stored);
    UpdateData(FALSE);
    return TRUE;
}

void CDefineRoomDlg::PreviewOverLibrary(int row)
{
    // The library is read (and made when missing) and held for read while the preview reads it.
    AcDbDatabase library(false, true);
    vkroom::ReadLibrary(library);
    ShowRoomPreview(row, u"*Model_Space");
}

BOOL CDefineRoomDlg::ShowRoomPreview(int row, const CString& space)
{
    CString name;
    if (row >= 0 && row < m_NameCombo.GetCount()) m_NameCombo.GetLBText(row, name);
    return m_Preview.InitDrawingControl(vkroom::ModuleInstance(), name, space);
}

void CDefineRoomDlg::ShowPickedPreview(AcDbObjectIdArray& ids)
{
    m_Preview.AddEntsToView(acdbHostApplicationServices()->workingDatabase(), ids);
}

// ---- the pick ----------------------------------------------------------------------------

void CDefineRoomDlg::OnBnClickedPickRoom()
{
    vkroom::ModuleResourceScope resources;
    {
        CEntityOptionDlg filter;
        if (filter.DoModal() != IDOK) return;
    }
    ShowWindow(SW_HIDE);
    if (!PickRoom()) return;
    if (!AcDbObjectPointer<AcDbVkRoom>(m_PickedRoomId, AcDb::kForRead)) return;
    GatherComponents();

    g_removed.clear();
    g_pickedRoomId = m_PickedRoomId;
    if (!AddRemoveEnts()) return;
    g_removed.clear();
    PickBasePoint();
}

bool CDefineRoomDlg::PickRoom()
{
    for (;;) {
        ads_name name;
        ads_point at;
        const int rc = acedEntSel(kPickRoomPrompt, name, at);
        if (rc == RTCAN) return false;
        if (rc != RTNORM) continue;
        if (acdbGetObjectId(m_PickedRoomId, name) != Acad::eOk) continue;
        AcDbObjectPointer<AcDbEntity> ent(m_PickedRoomId, AcDb::kForRead);
        // Only a room boundary itself, not a class built on it.
        if (!ent || CString(ent->isA()->name()).Compare(kRoomClassName) != 0) continue;
        ent->highlight();
        break;
    }
    if (CManageStdRoom* library = CManageStdRoom::CreateOnlyInstance()) library->SetRoomId(m_PickedRoomId);
    return true;
}

// The components inside the boundary under the discipline filter, highlighted. A new pick
// starts a new list; what an earlier pick highlighted stays highlighted.
void CDefineRoomDlg::GatherComponents()
{
    AcDbExtents window;
    {
        AcDbObjectPointer<AcDbEntity> room(m_PickedRoomId, AcDb::kForRead);
        if (!room) return;
        room->getGeomExtents(window);
    }

    AcDbObjectIdArray candidates(0, 8);
    CManageStdRoom::SelectEntity(window, candidates);
    m_EntIds.removeAll();
    if (CManageStdRoom* library = CManageStdRoom::CreateOnlyInstance())
        CManageStdRoom::FilterEntity(candidates, m_EntIds, m_PickedRoomId, library->GetFilterOption(), true);
    vkroom::DropOtherRoomsObjects(m_EntIds, {AcDbObjectId::kNull, m_PickedRoomId});
    for (const AcDbObjectId& id : m_EntIds) vkroom::SetHighlight(id, true);
}

bool CDefineRoomDlg::PickBasePoint()
{
    for (;;) {
        ads_point pt;
        const int rc = acedGetPoint(nullptr, kBasePointPrompt, pt);
        if (rc == RTCAN) {
            ResetSelection();
            return false;
        }
        if (rc != RTNORM || !vkroom::PointInReach(AcGePoint3d(pt[0], pt[1], pt[2]))) continue;
        m_BasePt = AcGePoint3d(pt[0], pt[1], pt[2]);
        acutPrintf(u"\n");
        AcDbObjectIdArray shown = m_EntIds;
        shown.append(m_PickedRoomId);
        ShowPickedPreview(shown);
        ShowWindow(SW_SHOW);
        m_bPicked = TRUE;
        return true;
    }
}

int CDefineRoomDlg::SelectComponents(AcDbObjectIdArray& ids, bool withKeyword)
{
    return vkroom::SelectComponentPass(ids, withKeyword, &CDefineRoomDlg::RemoveKwordCallback);
}

int CDefineRoomDlg::AddRemoveEnts()
{
    AcDbObjectIdArray seen(0, 8);
    AcDbObjectIdArray valves(0, 8);
    for (;;) {
        AcDbObjectIdArray picked(0, 8);
        const int rc = SelectComponents(picked, true);
        vkroom::DropRemovedComponents(g_removed, m_EntIds);

        if (rc == RTNORM) {
            vkroom::TakePickedComponents(picked, {AcDbObjectId::kNull, m_PickedRoomId}, m_EntIds, seen, valves);
            continue;
        }
        if (rc == RTNONE || rc == RTERROR) {
            for (const AcDbObjectId& valve : valves) vkroom::ClearNotCarriedMark(valve);
            return 1;
        }
        if (rc == RTCAN) {
            ResetSelection();
            return 0;
        }
    }
}

struct resbuf* CDefineRoomDlg::RemoveKwordCallback(const char16_t*)
{
    for (;;) {
        AcDbObjectIdArray picked(0, 8);
        const int rc = SelectComponents(picked, false);
        for (const AcDbObjectId& id : picked) {
            AcDbObjectPointer<AcDbEntity> ent(id, AcDb::kForWrite);
            if (!ent) continue;
            if (id != g_pickedRoomId) ent->unhighlight();  // the boundary stays marked as picked
            g_removed.insert(id);
        }
        if (rc == RTERROR) return nullptr;
    }
}

void CDefineRoomDlg::ResetSelection()
{
    for (const AcDbObjectId& id : m_EntIds) {
        AcDbObjectPointer<AcDbEntity> ent(id, AcDb::kForRead);
        if (!ent) continue;
        ent->unhighlight();
        vkroom::ClearNotCarriedMark(ent.object());
    }
    vkroom::SetHighlight(m_PickedRoomId, false);
    vkroom::ClearNotedMarks();
    m_EntIds.removeAll();
    m_PickedRoomId = AcDbObjectId::kNull;
    m_BasePt = AcGePoint3d::kOrigin;
    CancelCurrentCommand();
}

// ---- storing -----------------------------------------------------------------------------

bool CDefineRoomDlg::IsValidRoomName(CString name)
{
    if (name.IsEmpty()) return false;
    name.MakeUpper();
    for (const char16_t* c : kForbiddenChars)
        if (name.Find(c) >= 0) return false;
    return true;
}

void CDefineRoomDlg::PruneDlpEnts()
{
    vkroom::PruneDlpEnts(m_EntIds);
}

void CDefineRoomDlg::PruneFittings()
{
    vkroom::PruneFittings(m_EntIds);
}

void CDefineRoomDlg::OnOK()
{
    if (!m_bPicked) {
        vkroom::ShowWarning(CString(u"你没有选择房间，请选择房间") + kEndExclaim);
        return;
    }
    UpdateData(TRUE);
    if (!IsValidRoomName(m_strRoomName)) {
        vkroom::ShowWarning(CString(kForbiddenNameText) + kEndExclaim);
        return;
    }
    if (!vkroom::FitsRoomList(m_strRoomName)) {
        vkroom::ShowWarning(NameUnfitText(m_strRoomName) + kEndExclaim);
        return;
    }
    PruneDlpEnts();
    PruneFittings();

    const LinksBefore links(m_EntIds, m_PickedRoomId);
    AcDbObjectId markerId;
    if (!CStdRoomTool().CreateStdRoomMarker(markerId, m_strRoomName, m_PickedRoomId, m_EntIds, m_BasePt)) {
        vkroom::ShowWarning(CString(u"创建标准房间失败") + kEndExclaim);
        return;
    }
    // A refused store leaves the list as it was, so that a retry links and stores only the
    // marker it makes itself.
    const int kept = m_EntIds.length();
    m_EntIds.append(markerId);
    int stored = 0;
    CString why;
    bool duplicate = false;
    {
        TmpSetDeepCone deepClone(false);
        TmpSetNotifySRoom notify(false);
        CManageStdRoom* library = CManageStdRoom::CreateOnlyInstance();
        vkroom::TakeLibraryFailure();
        if (library) stored = library->AppendStdRoom(m_strRoomName, m_EntIds, m_BasePt);
        why = vkroom::TakeLibraryFailure();
        duplicate = library && library->IsListed(m_strRoomName);
    }
    if (!stored) {
        // The name is said to be taken only when it is; any other refusal names its cause.
        vkroom::ShowWarning((duplicate || why.IsEmpty() ? CString(u"房间名重复请重新输入房间名称") : why + u"，房间未保存") +
                            kEndExclaim);
        EraseMarker(markerId);
        links.Restore();
        m_EntIds.setLogicalLength(kept);
        return;
    }
    m_bPicked = FALSE;
    vkroom::ShowInformation(CString(u"房间提取成功") + kEndStop);
    CDialog::OnOK();
    ResetSelection();
}

void CDefineRoomDlg::OnCancel()
{
    CDialog::OnCancel();
    ResetSelection();
}

// ---- focus and the name box --------------------------------------------------------------

LRESULT CDefineRoomDlg::OnAcadKeepFocus(WPARAM, LPARAM)
{
    return m_bKeepFocus;
}

void CDefineRoomDlg::OnCbnKillfocusName() {}

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
    PreviewOverLibrary(m_NameCombo.GetCurSel());
}

void CDefineRoomDlg::OnClose()
{
    CDialog::OnClose();
    ResetSelection();
}
