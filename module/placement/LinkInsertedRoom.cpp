// Linking the objects one insertion of a stored room brought in: the marker learns its
// boundary, components, insertion point and matrix; the boundary and the building-services
// components learn that they belong to it.
#include "host/db/AcDb.h"
#include "module/definition/CStdRoomTool.h"
#include "module/interfaces/PlacementInterfaces.h"

namespace {
enum class Role { kComponent, kBoundary, kMarker };

// A building-services object is a component before anything else; any other entity that is
// neither a boundary nor a marker is listed as a component too.
Role Classify(const AcDbEntity* ent)
{
    if (VkQsEntity::cast(ent)) return Role::kComponent;
    if (ent->isKindOf(AcDbVkRoom::desc())) return Role::kBoundary;
    if (AcDbQsStandRoom::cast(ent)) return Role::kMarker;
    return Role::kComponent;
}
}  // namespace

void CStdRoomTool::LinkInsertedRoom(const AcGePoint3d* insertPt, const AcGeMatrix3d* xform, AcDbObjectIdArray* ids)
{
    AcDbObjectIdArray components(0, 8);
    AcDbObjectId markerId;
    AcDbObjectId roomId;
    if (ids) {
        for (const AcDbObjectId& id : *ids) {
            AcDbObjectPointer<AcDbEntity> ent(id, AcDb::kForRead);
            if (!ent) continue;
            switch (Classify(ent.object())) {
            case Role::kComponent: components.append(id); break;
            case Role::kBoundary: roomId = id; break;  // the last one wins
            case Role::kMarker: markerId = id; break;
            }
        }
    }

    {
        AcDbObjectPointer<AcDbQsStandRoom> marker(markerId, AcDb::kForWrite);
        if (!marker) return;
        marker->SetAssositEnts(components);
        marker->SetAssositRoom(roomId);
        if (insertPt) marker->SetInsertPt(*insertPt);
        if (xform) marker->SetMatrix(*xform);
    }
    if (AcDbObjectPointer<AcDbVkRoom> room(roomId, AcDb::kForWrite); room) room->SetIfBelongSR(true);
    for (const AcDbObjectId& id : components) {
        AcDbObjectPointer<VkQsEntity> component(id, AcDb::kForWrite);
        if (component) component->SetAssositSRoom(markerId);
    }
}
