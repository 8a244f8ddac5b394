// Bringing a stored room out of the library drawing into the current drawing, transformed
// by the placement matrix about the room's base point.
#include <memory>

#include "host/db/AcDb.h"
#include "host/win/Windows.h"
#include "module/frame/CManageStdRoom.h"
#include "module/interfaces/InsertionInterfaces.h"
#include "module/library/LibraryReadCache.h"

namespace {
// Makes the library the working database while its entities are collected, so that copies
// of beams land in the library's model space and not in the user's drawing.
class WorkingDatabaseScope {
public:
    explicit WorkingDatabaseScope(AcDbDatabase* db)
        : m_previous(acdbHostApplicationServices()->workingDatabase())
    {
        acdbHostApplicationServices()->setWorkingDatabase(db);
    }
    ~WorkingDatabaseScope()
    {
        if (m_previous) acdbHostApplicationServices()->setWorkingDatabase(m_previous);
    }
    WorkingDatabaseScope(const WorkingDatabaseScope&) = delete;
    WorkingDatabaseScope& operator=(const WorkingDatabaseScope&) = delete;

private:
    AcDbDatabase* m_previous;
};

// The ids to copy out of a stored room's block. A beam is copied into the library's model
// space first: it travels as a copy of its own, not as a member of the block. The copies'
// ids are added to beamCopies too.
AcDbObjectIdArray CollectRoomEntities(AcDbDatabase* library, AcDbObjectId blockId, AcDbObjectIdArray& beamCopies)
{
    AcDbObjectIdArray ids(0, 8);
    WorkingDatabaseScope working(library);
    if (AcDbObjectPointer<AcDbBlockTableRecord> block(blockId, AcDb::kForRead); block) {
        for (const AcDbObjectId& id : block->entityIds()) {
            AcDbObjectPointer<AcDbEntity> ent(id, AcDb::kForRead);
            if (!ent) continue;
            if (CString(ent->isA()->name()).Compare(u"AcDbVkBeam") != 0) {
                ids.append(id);
                continue;
            }
            std::unique_ptr<AcDbEntity> copy(static_cast<AcDbEntity*>(ent->clone()));
            AcDbObjectId copyId;
            if (copy && addToModelSpace(copyId, copy.get()) == Acad::eOk) {
                copy.release();  // the library's model space owns it now
                ids.append(copyId);
                beamCopies.append(copyId);
            }
        }
    }
    VkQsReactorHelper::FlushGraphic(u"");
    return ids;
}

// A kept library read must look as freshly read to the next insertion: the beam copies
// made for this one leave its model space again.
void EraseBeamCopies(const AcDbObjectIdArray& copies)
{
    for (const AcDbObjectId& id : copies)
        if (AcDbObjectPointer<AcDbEntity> ent(id, AcDb::kForWrite); ent) ent->erase();
}
}  // namespace

void CManageStdRoom::InsertRoom(CString name, AcGePoint3d insertPt, AcGeMatrix3d& xform)
{
    TmpSetNotifySRoom notify(false);
    TmpSetDeepCone deepClone(false);

    vkroom::LibraryRead read(GetStdRoomPath());
    AcDbDatabase* library = read.Database();
    if (!library) return;
    AcDbObjectId blockId;
    {
        AcDbObjectPointer<AcDbBlockTable> table(library->blockTableId(), AcDb::kForRead);
        if (!table || table->getAt(name, blockId) != Acad::eOk) return;
    }

    AcDbObjectIdArray beamCopies;
    const AcDbObjectIdArray ids = CollectRoomEntities(library, blockId, beamCopies);
    AcDbDatabase* rawCopy = nullptr;
    const Acad::ErrorStatus copied = library->wblock(rawCopy, ids, AcGePoint3d::kOrigin);
    std::unique_ptr<AcDbDatabase> copy(rawCopy);
    if (read.IsKept()) EraseBeamCopies(beamCopies);
    if (copied != Acad::eOk) return;
    xform.setTranslation(AcGeVector3d(insertPt.x, insertPt.y, 0));
    if (copy) {
        if (AcDbDatabase* current = acdbHostApplicationServices()->workingDatabase())
            current->insert(xform, copy.get(), true);
    }
}
