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

// Why the rebuild leaves the copy of this marker (open for read or write) whole, in the order the
// rebuild meets the reasons. The copy's members are its components and boundary in model space;
// objects of block definitions that came along with its insertion are not the copy's.
inline CopyKept WhyCopyKept(const AcDbQsStandRoom* marker)
{
    if (acdbIsOnLockedLayer(marker)) return CopyKept::kMarkerLocked;
    if (marker->GetChgType() == 1) return CopyKept::kChangedByHand;
    AcDbObjectIdArray members = marker->GetAssositEnts();
    members.append(marker->GetAssositRoom());
    const AcDbObjectId modelSpace = marker->ownerId();
    for (const AcDbObjectId& id : members) {
        AcDbObjectPointer<AcDbEntity> ent(id, AcDb::kForRead);
        if (ent && ent->ownerId() == modelSpace && acdbIsOnLockedLayer(ent.object())) return CopyKept::kMemberLocked;
    }
    return CopyKept::kNo;
}

}  // namespace vkroom
