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
    AcDbBlockTableRecord* block = nullptr;
    if (acdbOpenObject(block, blockId, AcDb::kForRead) == Acad::eOk) {
        for (const AcDbObjectId& id : block->entityIds()) {
            AcDbEntity* ent = nullptr;
            if (acdbOpenAcDbEntity(ent, id, AcDb::kForRead) != Acad::eOk) continue;
            if (CString(ent->isA()->name()).Compare(u"AcDbVkBeam") == 0) {
                auto* copy = static_cast<AcDbEntity*>(ent->clone());
                AcDbObjectId copyId;
                if (copy && addToModelSpace(copyId, copy) == Acad::eOk) {
                    ids.append(copyId);
                    beamCopies.append(copyId);
                } else {
                    delete copy;
                }
            } else {
                ids.append(id);
            }
            ent->close();
        }
        block->close();
    }
    VkQsReactorHelper::FlushGraphic(u"");
    return ids;
}

// A kept library read must look as freshly read to the next insertion: the beam copies
// made for this one leave its model space again.
void EraseBeamCopies(const AcDbObjectIdArray& copies)
{
    for (const AcDbObjectId& id : copies) {
        AcDbEntity* ent = nullptr;
        if (acdbOpenAcDbEntity(ent, id, AcDb::kForWrite) != Acad::eOk) continue;
        ent->erase();
        ent->close();
    }
}
}  // namespace

void CManageStdRoom::InsertRoom(CString name, AcGePoint3d insertPt, AcGeMatrix3d& xform)
{
    TmpSetNotifySRoom notify(false);
    TmpSetDeepCone deepClone(false);

    vkroom::LibraryRead read(GetStdRoomPath());
    AcDbDatabase* library = read.Database();
    if (!library) return;
    AcDbBlockTable* table = nullptr;
    if (library->getBlockTable(table, AcDb::kForRead) != Acad::eOk) return;
    AcDbObjectId blockId;
    const Acad::ErrorStatus found = table->getAt(name, blockId);
    table->close();
    if (found != Acad::eOk) return;

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
