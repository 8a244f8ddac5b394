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
    AcDbObjectId spaceId;
    {
        AcDbObjectPointer<AcDbBlockTable> table(db->blockTableId(), AcDb::kForRead);
        if (!table || table->getAt(ACDB_MODEL_SPACE, spaceId, true) != Acad::eOk) return false;
    }
    AcDbObjectPointer<AcDbBlockTableRecord> space(spaceId, AcDb::kForRead, true);
    if (!space) return false;
    // An erased copy still counts as a use until its drawing is closed.
    for (const AcDbObjectId& id : space->entityIds(true)) {
        AcDbObjectPointer<AcDbQsStandRoom> marker(id, AcDb::kForRead, true);
        if (marker && marker->GetRoomName().Compare(name) == 0) return true;
    }
    return false;
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
