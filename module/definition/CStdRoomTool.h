#pragma once
// Markers of standard rooms: creating one for a newly defined room, linking the copies that an
// insertion brought in, and picking a placed copy again for re-extraction. The class has no
// state; callers make one on the stack for each use.
#include "host/db/AcDb.h"
#include "host/ge/AcGeMatrix3d.h"
#include "host/win/CString.h"

class CStdRoomTool {
public:
    // ---- a newly defined room (definition/) ----
    // Puts a marker round the boundary, on the marker layer, and links it; false when the
    // boundary cannot be read or has no vertex.
    bool CreateStdRoomMarker(AcDbObjectId& markerId, const CString& roomName, AcDbObjectId& roomId,
                             AcDbObjectIdArray& entIds, AcGePoint3d& basePt);
    void LinkStdRoomMarker(AcDbObjectId& markerId, AcDbObjectId& roomId, AcDbObjectIdArray& entIds);

    // ---- an inserted copy (placement/) ----
    // Links the marker, boundary and components among the ids an insertion appended.
    void LinkInsertedRoom(const AcGePoint3d* insertPt, const AcGeMatrix3d* xform, AcDbObjectIdArray* ids);

    // ---- re-extraction from a placed copy (editing/) ----
    bool PickSameNameRoom(const CString& roomName, AcDbObjectId& markerId, AcDbObjectId& roomId,
                          AcDbObjectIdArray& entIds);
    int PickStandRoom(AcDbObjectId& markerId);  // 0 picked, 31 cancelled
    bool SelectRoomEnts(AcDbObjectId& roomId, AcDbObjectIdArray& entIds, AcDbObjectId& markerId);
    bool AddRemoveEnts(AcDbObjectIdArray& entIds);
};
