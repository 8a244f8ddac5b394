#pragma once
// Which placed copies the rebuild of an edit leaves whole, and why. The rebuild decides by it,
// and so does whatever forecasts an edit without making it (the report plug-in): it opens for
// read only and changes nothing, so a forecast and the edit cannot disagree.
#include "host/db/AcDb.h"
#include "module/interfaces/EditingInterfaces.h"

enum class CopyKept {
    kNo,              // rebuilt
    kMarkerLocked,    // the marker cannot be changed
    kChangedByHand,   // change type 1
    kMemberLocked,    // a member cannot be erased, so the new content would double it
};

namespace vkroom {

// The entity's layer is locked: a write open of it is refused.
inline bool OnLockedLayer(const AcDbEntity* ent)
{
    AcDbDatabase* db = ent->database();
    AcDbLayerTable* layers = nullptr;
    if (!db || db->getLayerTable(layers, AcDb::kForRead) != Acad::eOk) return false;
    AcDbLayerTableRecord* layer = nullptr;
    const Acad::ErrorStatus es = layers->getAt(ent->layer().GetString(), layer, AcDb::kForRead);
    layers->close();
    if (es != Acad::eOk) return false;
    const bool locked = layer->isLocked();
    layer->close();
    return locked;
}

// Why the rebuild leaves the copy of this marker (open for read or write) whole, in the order the
// rebuild meets the reasons. The copy's members are its components and boundary in model space;
// objects of block definitions that came along with its insertion are not the copy's.
inline CopyKept WhyCopyKept(const AcDbQsStandRoom* marker)
{
    if (OnLockedLayer(marker)) return CopyKept::kMarkerLocked;
    if (marker->GetChgType() == 1) return CopyKept::kChangedByHand;
    AcDbObjectIdArray members = marker->GetAssositEnts();
    members.append(marker->GetAssositRoom());
    const AcDbObjectId modelSpace = marker->ownerId();
    for (const AcDbObjectId& id : members) {
        AcDbEntity* ent = nullptr;
        if (acdbOpenAcDbEntity(ent, id, AcDb::kForRead) != Acad::eOk) continue;
        const bool locked = ent->ownerId() == modelSpace && OnLockedLayer(ent);
        ent->close();
        if (locked) return CopyKept::kMemberLocked;
    }
    return CopyKept::kNo;
}

}  // namespace vkroom
