#include "module/library/RoomInUse.h"

#include <memory>

#include "host/db/AcDb.h"
#include "host/ed/AcApDocManager.h"
#include "host/win/Windows.h"
#include "module/interfaces/LibraryInterfaces.h"

namespace vkroom {

bool FindRoomMarker(AcDbDatabase* db, const CString& name)
{
    if (!db) return false;
    AcDbBlockTable* table = nullptr;
    if (db->getBlockTable(table, AcDb::kForRead) != Acad::eOk) return false;
    AcDbBlockTableRecord* space = nullptr;
    const Acad::ErrorStatus es = table->getAt(ACDB_MODEL_SPACE, space, AcDb::kForRead, true);
    table->close();
    if (es != Acad::eOk) return false;
    // An erased copy still counts as a use until its drawing is closed.
    bool found = false;
    for (const AcDbObjectId& id : space->entityIds(true)) {
        AcDbEntity* ent = nullptr;
        if (acdbOpenAcDbEntity(ent, id, AcDb::kForRead, true) != Acad::eOk) continue;
        if (AcDbQsStandRoom* marker = AcDbQsStandRoom::cast(ent))
            found = marker->GetRoomName().Compare(name) == 0;
        ent->close();
        if (found) break;
    }
    space->close();
    return found;
}

bool IsRoomInUse(const CString& name)
{
    if (FindRoomMarker(acdbHostApplicationServices()->workingDatabase(), name)) return true;
    VkQsDataMng::CProj project;
    const CString currentFloor = project.GetCurFloorName();
    const CString projectDir = project.GetPrjDir();
    CArray<VkQsDataMng::FloorRecord> floors;
    project.GetAllFloorData(floors);
    for (const VkQsDataMng::FloorRecord& floor : floors) {
        if (floor.strFloorName.Compare(currentFloor) == 0) continue;
        const CString path = projectDir + u"\\" + floor.strDwgName;
        // A floor open in this session counts as it is in the editor, unsaved copies included.
        if (AcApDocument* open = vked::FindDocument(path)) {
            if (FindRoomMarker(open->database(), name)) return true;
            continue;
        }
        // Only read: a floor another program holds for writing is read as last saved.
        auto db = std::make_unique<AcDbDatabase>(false, true);
        if (db->readDwgFile(path, _SH_DENYNO, false, nullptr) != Acad::eOk) continue;
        if (FindRoomMarker(db.get(), name)) return true;
    }
    return false;
}
}  // namespace vkroom
