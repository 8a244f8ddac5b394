#include "module/editing/PlacedCopies.h"

#include <algorithm>
#include <memory>

#include "host/ed/AcEd.h"
#include "module/definition/CStdRoomTool.h"
#include "module/editing/CopyRebuildRule.h"
#include "module/frame/CManageStdRoom.h"
#include "module/interfaces/EditingInterfaces.h"
#include "module/library/NotCarriedMark.h"

namespace {
// The id of the drawing's model space; null when its block table cannot be opened.
AcDbObjectId ModelSpaceId(AcDbDatabase* db)
{
    if (!db) return AcDbObjectId::kNull;
    AcDbObjectPointer<AcDbBlockTable> table(db->blockTableId(), AcDb::kForRead);
    if (!table) table.open(db->blockTableId(), AcDb::kForNotify);
    AcDbObjectId space;
    if (table) table->getAt(ACDB_MODEL_SPACE, space);
    return space;
}

// The objects of block definitions that came along with an insertion, from a block begin up to
// and including the next block end, taken out of the list: they are not the copy's to erase.
void DropBlockDefinitionRuns(AcDbObjectIdArray& ids)
{
    AcDbObjectIdArray noted(0, 8);
    bool inBlock = false;
    for (const AcDbObjectId& id : ids) {
        CString cls;
        if (AcDbObjectPointer<AcDbEntity> ent(id, AcDb::kForWrite); ent) cls = ent->isA()->name();
        else continue;
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
        AcDbObjectPointer<AcDbEntity> ent(id, AcDb::kForWrite);
        if (!ent) continue;
        const VkQsPipeValve* valve = VkQsPipeValve::cast(ent.object());
        if (!valve || !vkroom::IsLive(valve->GetPipeId())) ent->erase();
    }
}

void TellLocked(const CString& name, const AcGePoint3d& at)
{
    acutPrintf(u"\n标准房间%s位于(%g,%g)的副本在锁定的图层上，未更新", name.GetString(), at.x, at.y);
}

// The ids hold a standard-room marker: an insertion that brought none made no copy.
bool HoldsMarker(const AcDbObjectIdArray& ids)
{
    return std::any_of(ids.begin(), ids.end(),
                       [](const AcDbObjectId& id) { return bool(AcDbObjectPointer<AcDbQsStandRoom>(id, AcDb::kForRead)); });
}

void EraseAll(const AcDbObjectIdArray& ids)
{
    for (const AcDbObjectId& id : ids)
        if (AcDbObjectPointer<AcDbEntity> ent(id, AcDb::kForWrite); ent) ent->erase();
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
    AcGePoint3d insertPt;
    AcGeMatrix3d xform;
    AcDbObjectIdArray members(0, 8);
    {
        AcDbObjectPointer<AcDbQsStandRoom> marker(markerId, AcDb::kForWrite);
        if (!marker) {
            if (marker.openStatus() == Acad::eOnLockedLayer && marker.open(markerId, AcDb::kForRead) == Acad::eOk)
                TellLocked(name, marker->GetInsertPt());
            return Rebuilt::kKept;
        }
        switch (vkroom::WhyCopyKept(marker.object())) {
        case CopyKept::kNo: break;
        case CopyKept::kMemberLocked: TellLocked(name, marker->GetInsertPt()); [[fallthrough]];
        default: return Rebuilt::kKept;
        }
        insertPt = marker->GetInsertPt();
        xform = CorrectedPlacement(edit.matrix, marker->GetMatrix());
        marker->GetAssositEnts(members);
        members.append(marker->GetAssositRoom());
    }

    if (!InsertNewCopy(name, insertPt, xform)) return Rebuilt::kNotInserted;

    DropBlockDefinitionRuns(members);
    EraseCopyMembers(members);
    if (AcDbObjectPointer<AcDbQsStandRoom> marker(markerId, AcDb::kForWrite); marker) marker->erase();
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
    std::unique_ptr<AcDbBlockTableRecordIterator> it;
    {
        AcDbObjectPointer<AcDbBlockTableRecord> space(ModelSpaceId(db), AcDb::kForRead);
        AcDbBlockTableRecordIterator* raw = nullptr;
        if (!space || space->newIterator(raw, true, true) != Acad::eOk) return;
        it.reset(raw);
    }
    bool more = true;
    for (; more && !it->done(); it->step()) {
        // Only markers are opened: the floor's other entities are not read for the walk.
        AcDbObjectId id;
        const AcRxClass* cls = it->getEntityId(id) == Acad::eOk ? id.objectClass() : nullptr;
        if (!cls || !cls->isDerivedFrom(AcDbQsStandRoom::desc())) continue;
        AcDbObjectPointer<AcDbQsStandRoom> marker(id, AcDb::kForRead);
        if (marker) more = visit(marker.object());
    }
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
