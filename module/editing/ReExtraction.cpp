// Re-extraction of a stored room from one of its placed copies: pick the copy's marker, gather
// the components inside its boundary under the discipline filter, and let the user add and
// remove components.
#include <set>

#include "host/ed/AcEd.h"
#include "module/definition/CStdRoomTool.h"
#include "module/frame/CManageStdRoom.h"
#include "module/frame/MessageBoxes.h"
#include "module/frame/MessageEndings.h"
#include "module/interfaces/EditingInterfaces.h"
#include "module/library/NotCarriedMark.h"
#include "module/selection/ComponentSelection.h"
#include "module/selection/PruneComponents.h"

namespace {
// Ids picked for removal during one selection pass; filled by the keyword callback and
// emptied by AddRemoveEnts.
std::set<AcDbObjectId> g_removeIds;
// The copy whose components are being chosen, for the component loop, which is given only
// the chosen ids.
vkroom::GatheredRoom g_gathered;

using vkroom::SetHighlight;

int SelectComponents(AcDbObjectIdArray& ids, bool withKeyword);

// Typed Q during the component selection: removal passes until one ends with nothing picked.
struct resbuf* RemoveKwordCallback(const char16_t*)
{
    for (;;) {
        AcDbObjectIdArray picked(0, 8);
        const int rc = SelectComponents(picked, false);
        if (rc == RTERROR) break;
        for (const AcDbObjectId& id : picked) {
            SetHighlight(id, false);
            g_removeIds.insert(id);
        }
    }
    return nullptr;
}

int SelectComponents(AcDbObjectIdArray& ids, bool withKeyword)
{
    return vkroom::SelectComponentPass(ids, withKeyword, &RemoveKwordCallback);
}

}  // namespace

bool CStdRoomTool::PickSameNameRoom(const CString& roomName, AcDbObjectId& markerId, AcDbObjectId& roomId,
                                    AcDbObjectIdArray& entIds)
{
    if (PickStandRoom(markerId) != 0) return false;
    {
        AcDbObjectPointer<AcDbQsStandRoom> marker(markerId, AcDb::kForRead);
        if (!marker) return false;
        if (marker->GetRoomName().Compare(roomName) != 0) {
            marker.close();
            vkroom::ShowWarning(CString(u"请提取同名标准房间") + kEndQuestion);
            return false;
        }
        roomId = marker->GetAssositRoom();
        if (!AcDbObjectPointer<AcDbVkRoom>(roomId, AcDb::kForRead)) {
            roomId = AcDbObjectId::kNull;
            return false;
        }
    }
    return SelectRoomEnts(roomId, entIds, markerId);
}

int CStdRoomTool::PickStandRoom(AcDbObjectId& markerId)
{
    for (;;) {
        ads_name name;
        ads_point pt;
        const int rc = acedEntSel(u"\n请选择房间\n", name, pt);
        if (rc == RTCAN) return 31;
        if (rc != RTNORM) continue;
        AcDbObjectId id;
        if (acdbGetObjectId(id, name) != Acad::eOk) continue;
        bool isMarker = false;
        {
            AcDbObjectPointer<AcDbEntity> ent(id, AcDb::kForRead);
            if (!ent) continue;
            isMarker = CString(ent->isA()->name()).Compare(u"AcDbQsStandRoom") == 0;
            if (isMarker) ent->highlight();
        }
        if (isMarker) {
            markerId = id;
            return 0;
        }
    }
}

bool CStdRoomTool::SelectRoomEnts(AcDbObjectId& roomId, AcDbObjectIdArray& entIds, AcDbObjectId& markerId)
{
    CManageStdRoom* library = CManageStdRoom::CreateOnlyInstance();
    if (!library) return false;
    library->SetRoomId(roomId);
    AcDbExtents extents;
    {
        AcDbObjectPointer<AcDbVkRoom> room(roomId, AcDb::kForRead);
        if (!room) return false;
        room->getGeomExtents(extents);
    }

    AcArray<AcDbObjectId> candidates(0, 8);
    CManageStdRoom::SelectEntity(extents, candidates);
    candidates.remove(markerId);
    CManageStdRoom::FilterEntity(candidates, entIds, roomId, library->GetFilterOption(), false);
    g_gathered = {markerId, roomId};
    vkroom::DropOtherRoomsObjects(entIds, g_gathered);
    for (const AcDbObjectId& id : entIds) SetHighlight(id, true);
    return AddRemoveEnts(entIds);
}

bool CStdRoomTool::AddRemoveEnts(AcDbObjectIdArray& entIds)
{
    AcDbObjectIdArray seen(0, 8);
    AcDbObjectIdArray valves(0, 8);
    for (;;) {
        g_removeIds.clear();
        AcDbObjectIdArray picked(0, 8);
        const int rc = SelectComponents(picked, true);
        vkroom::DropRemovedComponents(g_removeIds, entIds);

        if (rc == RTNONE || rc == RTERROR) break;
        if (rc == RTCAN) return false;
        if (rc == RTNORM) vkroom::TakePickedComponents(picked, g_gathered, entIds, seen, valves);
    }
    for (const AcDbObjectId& id : valves) vkroom::ClearNotCarriedMark(id);
    return true;
}
