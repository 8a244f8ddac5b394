#include "module/editing/PlacedCopies.h"

#include <memory>

#include "host/ed/AcEd.h"
#include "module/definition/CStdRoomTool.h"
#include "module/editing/CopyRebuildRule.h"
#include "module/frame/CManageStdRoom.h"
#include "module/interfaces/EditingInterfaces.h"
#include "module/library/NotCarriedMark.h"

namespace {
AcDbBlockTableRecord* OpenModelSpace(AcDbDatabase* db)
{
    if (!db) return nullptr;
    AcDbBlockTable* table = nullptr;
    if (db->getBlockTable(table, AcDb::kForRead) != Acad::eOk &&
        db->getBlockTable(table, AcDb::kForNotify) != Acad::eOk)
        return nullptr;
    AcDbBlockTableRecord* space = nullptr;
    const Acad::ErrorStatus es = table->getAt(ACDB_MODEL_SPACE, space, AcDb::kForRead);
    table->close();
    return es == Acad::eOk ? space : nullptr;
}

// The objects of block definitions that came along with an insertion, from a block begin up to
// and including the next block end, taken out of the list: they are not the copy's to erase.
void DropBlockDefinitionRuns(AcDbObjectIdArray& ids)
{
    AcDbObjectIdArray noted(0, 8);
    bool inBlock = false;
    for (const AcDbObjectId& id : ids) {
        AcDbEntity* ent = nullptr;
        if (acdbOpenAcDbEntity(ent, id, AcDb::kForWrite) != Acad::eOk) continue;
        const CString cls = ent->isA()->name();
        ent->close();
        if (cls.Compare(u"AcDbBlockBegin") == 0) inBlock = true;
        if (inBlock) noted.append(id);
        if (cls.Compare(u"AcDbBlockEnd") == 0) inBlock = false;
    }
    for (const AcDbObjectId& id : noted) ids.remove(id);
}

// A valve on a live pipe is left to its pipe: it goes when the pipe goes, and stays with a
// pipe that is not the copy's. A valve whose pipe is gone rides on nothing and goes now.
void EraseCopyMembers(const AcDbObjectIdArray& ids)
{
    for (const AcDbObjectId& id : ids) {
        AcDbEntity* ent = nullptr;
        if (acdbOpenAcDbEntity(ent, id, AcDb::kForWrite) != Acad::eOk) continue;
        const VkQsPipeValve* valve = VkQsPipeValve::cast(ent);
        if (!valve || !vkroom::IsLive(valve->GetPipeId())) ent->erase();
        ent->close();
    }
}

void TellLocked(const CString& name, const AcGePoint3d& at)
{
    acutPrintf(u"\n标准房间%s位于(%g,%g)的副本在锁定的图层上，未更新", name.GetString(), at.x, at.y);
}

// The ids hold a standard-room marker: an insertion that brought none made no copy.
bool HoldsMarker(const AcDbObjectIdArray& ids)
{
    for (const AcDbObjectId& id : ids) {
        AcDbQsStandRoom* marker = nullptr;
        if (acdbOpenObject(marker, id, AcDb::kForRead) != Acad::eOk) continue;
        marker->close();
        return true;
    }
    return false;
}

void EraseAll(const AcDbObjectIdArray& ids)
{
    for (const AcDbObjectId& id : ids) {
        AcDbEntity* ent = nullptr;
        if (acdbOpenAcDbEntity(ent, id, AcDb::kForWrite) != Acad::eOk) continue;
        ent->erase();
        ent->close();
    }
}

// Inserts the room's library entry at P under T and links the new copy; false, with nothing
// left of it, when the insertion made no copy.
bool InsertNewCopy(const CString& name, const AcGePoint3d& insertPt, AcGeMatrix3d& xform)
{
    AcDbObjectIdArray appended(0, 8);
    VkQsReactorHelper::GetAllAppendId(appended);  // what came before is none of the new copy's
    COsVarVal ortho(u"ORTHOMODE", short(0));
    TmpSetSRoomInsert inserting(true);
    CManageStdRoom::InsertRoom(name, insertPt, xform);
    VkQsReactorHelper::GetAllAppendId(appended);
    if (!HoldsMarker(appended)) {
        EraseAll(appended);
        return false;
    }
    CStdRoomTool().LinkInsertedRoom(&insertPt, &xform, &appended);
    return true;
}

enum class Rebuilt { kYes, kKept, kNotInserted };

// The old copy is erased only once the new one exists: a copy whose insertion fails stays whole.
Rebuilt RebuildCopy(const CString& name, const SRoomEditInfo& edit, const AcDbObjectId& markerId)
{
    AcDbQsStandRoom* marker = nullptr;
    if (const Acad::ErrorStatus es = acdbOpenObject(marker, markerId, AcDb::kForWrite); es != Acad::eOk) {
        if (es == Acad::eOnLockedLayer && acdbOpenObject(marker, markerId, AcDb::kForRead) == Acad::eOk) {
            TellLocked(name, marker->GetInsertPt());
            marker->close();
        }
        return Rebuilt::kKept;
    }
    switch (vkroom::WhyCopyKept(marker)) {
    case CopyKept::kNo: break;
    case CopyKept::kMemberLocked: TellLocked(name, marker->GetInsertPt()); [[fallthrough]];
    default: marker->close(); return Rebuilt::kKept;
    }
    const AcGePoint3d insertPt = marker->GetInsertPt();
    AcGeMatrix3d xform = CorrectedPlacement(edit.matrix, marker->GetMatrix());
    AcDbObjectIdArray members(0, 8);
    marker->GetAssositEnts(members);
    members.append(marker->GetAssositRoom());
    marker->close();

    if (!InsertNewCopy(name, insertPt, xform)) return Rebuilt::kNotInserted;

    DropBlockDefinitionRuns(members);
    EraseCopyMembers(members);
    if (acdbOpenObject(marker, markerId, AcDb::kForWrite) == Acad::eOk) {
        marker->erase();
        marker->close();
    }
    VkQsReactorHelper::FlushGraphic(u"");
    VkQsAutoHelper::Linkage(u"");
    VkQsAutoHelper::Batch(u"");
    return Rebuilt::kYes;
}
}  // namespace

AcGeMatrix3d CorrectedPlacement(const AcGeMatrix3d& r, const AcGeMatrix3d& m)
{
    AcGeMatrix3d undo = r;
    undo.invert();
    AcGeMatrix3d t = m;
    t.postMultBy(undo);  // t = m * r^-1: r^-1 acts first on column vectors
    return t;
}

void VisitMarkers(AcDbDatabase* db, const std::function<bool(AcDbQsStandRoom*)>& visit)
{
    AcDbBlockTableRecord* space = OpenModelSpace(db);
    if (!space) return;
    AcDbBlockTableRecordIterator* it = nullptr;
    const Acad::ErrorStatus es = space->newIterator(it, true, true);
    space->close();
    if (es != Acad::eOk) return;
    bool more = true;
    for (; more && !it->done(); it->step()) {
        // Only markers are opened: the floor's other entities are not read for the walk.
        AcDbObjectId id;
        const AcRxClass* cls = it->getEntityId(id) == Acad::eOk ? id.objectClass() : nullptr;
        if (!cls || !cls->isDerivedFrom(AcDbQsStandRoom::desc())) continue;
        AcDbEntity* ent = nullptr;
        if (it->getEntity(ent, AcDb::kForRead) != Acad::eOk) continue;
        if (AcDbQsStandRoom* marker = AcDbQsStandRoom::cast(ent)) more = visit(marker);
        ent->close();
    }
    delete it;
}

void CollectPlacedRooms(PlacedRoomMap& placed)
{
    placed.clear();
    VisitMarkers(acdbHostApplicationServices()->workingDatabase(), [&](AcDbQsStandRoom* marker) {
        auto [entry, fresh] = placed.try_emplace(marker->GetRoomName(), 0, 8);
        entry->second.append(marker->objectId());
        return true;
    });
}

int RebuildPlacedRooms(const SRoomEditMap& edits, PlacedRoomMap& placed)
{
    int notInserted = 0;
    for (const auto& [name, edit] : edits) {
        auto found = placed.find(name);
        if (found == placed.end()) continue;
        for (const AcDbObjectId& markerId : found->second)
            if (RebuildCopy(name, edit, markerId) == Rebuilt::kNotInserted) ++notInserted;
    }
    return notInserted;
}
