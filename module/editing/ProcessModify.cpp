// The run after OK: the library entries of the edited rooms are rewritten, then every floor
// that holds a copy of one of them is visited, the user's own floor last, and the copies there
// are rebuilt. Drawings changed by the run stay open and unsaved.
#include <memory>

#include "host/ed/AcEd.h"
#include "host/ed/SystemVariables.h"
#include "host/win/DeferredWrites.h"
#include "host/win/WinPath.h"
#include "host/win/Windows.h"
#include "module/editing/CModifySRoom.h"
#include "module/editing/FloorVisit.h"
#include "module/editing/PlacedCopies.h"
#include "module/frame/CManageStdRoom.h"
#include "module/interfaces/EditingInterfaces.h"
#include "module/library/LibraryFile.h"
#include "module/library/LibraryReadCache.h"
#include "module/library/NotCarriedMark.h"

namespace {
CString CurrentFloorName()
{
    return VkQsDataMng::CProj().GetCurFloorName();
}

CString WorkingFileName()
{
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    const char16_t* name = nullptr;
    if (!db || db->getFilename(name) != Acad::eOk || !name) return CString();
    return name;
}

bool HoldsMarkerOf(AcDbDatabase* db, const SRoomEditMap& edits)
{
    bool found = false;
    VisitMarkers(db, [&](AcDbQsStandRoom* marker) {
        found = edits.count(marker->GetRoomName()) > 0;
        return !found;
    });
    return found;
}

// The library drawing as it is now, to put back when a room's new entry cannot be made.
std::unique_ptr<AcDbDatabase> SnapshotLibrary()
{
    auto db = std::make_unique<AcDbDatabase>(false, true);
    const Acad::ErrorStatus es = db->readDwgFile(CManageStdRoom::GetStdRoomPath(), _SH_DENYNO, false, nullptr);
    if (es == Acad::eOk) return db;
    vkroom::TellLibraryReadFailure(CManageStdRoom::GetStdRoomPath(), es);
    return nullptr;
}

void TellNotRewritten(const CString& name)
{
    acutPrintf(u"\n标准房间%s的新内容未能写入库，库中保留原内容，其副本未更新", name.GetString());
}

// A drawing outside the project has no floor name: its title stands for it.
CString FloorLabel(const CString& floor)
{
    if (floor.IsEmpty() && acDocManager->curDocument()) return acDocManager->curDocument()->docTitle();
    return floor;
}

void ShowStep(VkProInterface& progress, const CString& floor, int n, int total)
{
    CString step;
    step.Format(u"%s %d/%d", FloorLabel(floor).GetString(), n, total);
    progress.SetStep(step);
}

void CollectAndRebuild(const SRoomEditMap& edits, const CString& floor)
{
    PlacedRoomMap placed;
    CollectPlacedRooms(placed);
    if (const int kept = RebuildPlacedRooms(edits, placed); kept > 0)
        acutPrintf(u"\n楼层%s中%d个标准房间副本无法插入新内容，保持原样", FloorLabel(floor).GetString(), kept);
}
}  // namespace

bool OpenFloorDatabase(const CString& floorName, AcDbDatabase*& db, CString& path,
                       std::unique_ptr<AcDbDatabase>& side)
{
    path = VkQsDataMng::IFloorMng::GetDwgFullNameByFloorName(floorName);
    db = nullptr;
    side.reset();
    if (floorName.Compare(CurrentFloorName()) == 0) {
        db = acdbHostApplicationServices()->workingDatabase();
        return db != nullptr;
    }
    if (path.IsEmpty()) return false;
    if (AcApDocument* open = vked::FindDocument(path)) {
        db = open->database();
        return db != nullptr;
    }
    // Read denying writers: a drawing another program holds for writing cannot be changed here.
    auto read = std::make_unique<AcDbDatabase>(false, true);
    const Acad::ErrorStatus es = read->readDwgFile(path, _SH_DENYWR, false, nullptr);
    if (es == Acad::eFileSharingViolation) {
        acutPrintf(u"\n楼层%s的图纸%s已在其他程序中打开，未检查其中的标准房间", floorName.GetString(), path.GetString());
        return false;
    }
    if (es != Acad::eOk) {
        if (es != Acad::eFileNotFound)
            acutPrintf(u"\n楼层%s的图纸%s无法读取，未检查其中的标准房间", floorName.GetString(), path.GetString());
        return false;
    }
    side = std::move(read);
    db = side.get();
    return true;
}

bool SwitchToFloor(const CString& floorName)
{
    if (floorName.Compare(CurrentFloorName()) == 0) return true;
    // The drawing however its path is spelled: opened by another name it is still current.
    const CString path = VkQsDataMng::IFloorMng::GetDwgFullNameByFloorName(floorName);
    if (vkwin::IsSameFile(path, WorkingFileName())) return true;
    if (!OpenFloorFile(floorName, false)) return false;
    // Only that floor's drawing may be rebuilt: anything else current is a failed switch.
    return vkwin::IsSameFile(path, WorkingFileName()) ||
           vkwin::IsSameFile(path, acDocManager->curDocument() ? acDocManager->curDocument()->fileName() : u"");
}

void CModifySRoom::ProcessModify()
{
    // A cancelled edit leaves the re-extraction as it was: the source copy's new component list
    // and its valves' not-carried marks. An accepted one clears the marks once it is stored.
    if (!m_bOK) return;
    vkroom::NotedMarksScope marks;
    VkProInterface progress;
    progress.ShowProgressDialog(u"处理中，请稍后...", nullptr);
    TmpSetDeepCone deepClone(false);
    TmpSetNotifySRoom notify(false);
    if (m_mapEdit.empty()) return;

    SaveModifiedRooms(m_mapEdit);
    RestoreSourceEnts();
    // Only rooms whose new entry is in the library are rebuilt; without any, no floor is visited.
    SRoomEditMap rebuild = RoomsToRebuild();
    if (rebuild.empty()) return;

    // Every copy is inserted from the library as it now is: read once for the whole run
    // (again only if another program rewrites it meanwhile).
    vkroom::LibraryReadSession libraryRead;
    CDealReactor reactor;
    reactor.ClearPipeTrans();
    FloorNameSet floors;
    CollectFloors(rebuild, floors);

    // Each floor switched to shows its name on the status line; the user's comes back after.
    COsVarVal statusLine(u"MODEMACRO");
    const CString current = CurrentFloorName();

    const int total = static_cast<int>(floors.size());
    int step = 0;
    for (const CString& floor : floors) {
        if (floor.Compare(current) == 0) continue;
        ShowStep(progress, floor, ++step, total);
        if (!SwitchToFloor(floor)) {
            acutPrintf(u"\n无法切换到楼层%s，其中的标准房间未更新", floor.GetString());
            continue;
        }
        CollectAndRebuild(rebuild, floor);
    }
    ShowStep(progress, current, ++step, total);
    if (SwitchToFloor(current)) CollectAndRebuild(rebuild, current);
    else acutPrintf(u"\n无法切换到楼层%s，其中的标准房间未更新", current.GetString());

}

void CModifySRoom::SaveModifiedRooms(SRoomEditMap& edits)
{
    if (edits.empty()) return;
    TmpSetDeepCone deepClone(false);
    TmpSetNotifySRoom notify(false);
    // Each room's entry is removed and stored again as the calls below go, but the files are
    // replaced once, after the last room: the list first (a kill after it leaves the list
    // naming what it named), then the library, whose back-up is the library before the edit.
    vkwin::DeferredWrites scope{CManageStdRoom::GetRoomlist(), CManageStdRoom::GetStdRoomPath()};
    CManageStdRoom* library = CManageStdRoom::CreateOnlyInstance();
    const std::vector<CString> namesBefore = library ? library->m_RoomNames : std::vector<CString>();
    std::vector<CString> rewritten;
    for (auto& [name, edit] : edits) {
        if (AcDbObjectPointer<AcDbQsStandRoom> marker(edit.standRoomId, AcDb::kForWrite); marker) {
            marker->SetUnModifyState();
        } else {
            acutPrintf(u"\n标准房间%s的源房间无法打开，库中内容未更新", name.GetString());
            m_notRewritten.insert(name);
            continue;
        }

        library = CManageStdRoom::CreateOnlyInstance();
        std::unique_ptr<AcDbDatabase> before = SnapshotLibrary();
        if (!library || !before) {
            acutPrintf(u"\n标准房间库无法读取，标准房间%s未更新", name.GetString());
            m_notRewritten.insert(name);
            continue;
        }
        CString erased = name;
        library->EraseStdRoom(erased);
        if (library->AppendStdRoom1(name, edit.newEnts, edit.insertPt)) {
            rewritten.push_back(name);
            continue;
        }

        m_notRewritten.insert(name);
        library = CManageStdRoom::CreateOnlyInstance();
        if (library && !library->IsListed(name)) {
            // The old entry is gone and the new one was not made: put the old one back.
            if (before->saveAs(CManageStdRoom::GetStdRoomPath(), true, AcDb::kDHL_1027, nullptr) == Acad::eOk) {
                library->m_RoomNames.push_back(name);
                library->WriteToFile();
            }
        }
        TellNotRewritten(name);
    }
    if (!rewritten.empty() && scope.Commit()) return;
    // Nothing reached the files: every room keeps its old entry.
    if (!rewritten.empty()) vkroom::TellLibraryWriteFailure(scope.FailedPath(), acdbFileErrorStatus(scope.Error()));
    for (const CString& name : rewritten) {
        m_notRewritten.insert(name);
        TellNotRewritten(name);
    }
    if ((library = CManageStdRoom::CreateOnlyInstance())) library->m_RoomNames = namesBefore;
}

void CModifySRoom::RestoreSourceEnts()
{
    for (auto& [name, edit] : m_mapEdit) {
        AcDbObjectPointer<AcDbQsStandRoom> marker(edit.standRoomId, AcDb::kForWrite);
        if (!marker) continue;
        AcDbObjectIdArray ents = edit.oldEnts;
        // What the re-extraction newly took into this copy goes into the library too; the
        // rebuild erases it here with the old components, so the copy holds it once.
        if (!m_notRewritten.count(name)) {
            for (const AcDbObjectId& id : edit.newEnts)
                if (id != edit.standRoomId && id != edit.roomId && !ents.contains(id)) ents.append(id);
        }
        marker->SetAssositEnts(ents);
    }
}

SRoomEditMap CModifySRoom::RoomsToRebuild() const
{
    SRoomEditMap rebuild;
    auto library = std::make_unique<AcDbDatabase>(false, true);
    const bool read = library->readDwgFile(CManageStdRoom::GetStdRoomPath(), _SH_DENYNO, false, nullptr) == Acad::eOk;
    AcDbObjectPointer<AcDbBlockTable> table;
    if (read) table.open(library->blockTableId(), AcDb::kForRead);
    for (const auto& [name, edit] : m_mapEdit) {
        if (m_notRewritten.count(name)) continue;
        AcDbObjectId blockId;
        if (table && table->getAt(name, blockId) == Acad::eOk) {
            rebuild.emplace(name, edit);
        } else {
            acutPrintf(u"\n标准房间库中没有%s，其副本未更新", name.GetString());
        }
    }
    return rebuild;
}

void CModifySRoom::CollectFloors(SRoomEditMap& edits, FloorNameSet& floors)
{
    const CString current = CurrentFloorName();
    floors.insert(current);
    std::vector<vkwin::FileIdentity> drawings{vkwin::IdentityOf(VkQsDataMng::IFloorMng::GetDwgFullNameByFloorName(current))};
    CArray<VkQsDataMng::FloorRecord> records;
    VkQsDataMng::CProj().GetAllFloorData(records);
    for (const VkQsDataMng::FloorRecord& record : records) {
        const CString& floor = record.strFloorName;
        if (floor.Compare(current) == 0) continue;
        AcDbDatabase* db = nullptr;
        CString path;
        std::unique_ptr<AcDbDatabase> side;
        if (!OpenFloorDatabase(floor, db, path, side)) continue;
        // Two floors on one drawing: its copies are rebuilt once, with the first floor.
        const vkwin::FileIdentity drawing = vkwin::IdentityOf(path);
        if (std::find(drawings.begin(), drawings.end(), drawing) != drawings.end()) {
            acutPrintf(u"\n楼层%s与其他楼层使用同一图纸%s，不再重复处理", floor.GetString(), path.GetString());
            continue;
        }
        drawings.push_back(drawing);
        if (HoldsMarkerOf(db, edits)) floors.insert(floor);
    }
}
