#include "module/selection/ComponentSelection.h"

#include "host/ed/AcEd.h"
#include "module/frame/CManageStdRoom.h"
#include "module/interfaces/SelectionInterfaces.h"
#include "module/selection/PruneComponents.h"
#include "siblings/object/VkQsEntity.h"
#include "siblings/object/VkQsMainLine.h"
#include "siblings/object/VkQsPipe.h"
#include "siblings/object/VkQsPipeValve.h"

namespace vkroom {

namespace {
constexpr const char16_t* kAddPrompt = u"请选择随房间复制的构件[Q移除]\n";
constexpr const char16_t* kRemovePrompt = u"请选择移除的构件\n";
constexpr const char16_t* kOtherRoomsLeftOut = u"\n%d个对象属于其他标准房间（标记、房间边界或其构件），未选入\n";

bool IsLiveMarker(const AcDbObjectId& id)
{
    if (id.isNull() || !id.isValid() || id.isErased()) return false;
    return bool(AcDbObjectPointer<AcDbQsStandRoom>(id, AcDb::kForRead));
}

enum class Belonging { kFree, kOwn, kOther };

Belonging WhoseObject(const AcDbObjectId& id, const GatheredRoom& room)
{
    if (id == room.marker || id == room.boundary) return Belonging::kOwn;
    AcDbObjectPointer<AcDbEntity> ent(id, AcDb::kForRead);
    if (!ent) return Belonging::kFree;
    if (AcDbQsStandRoom::cast(ent.object())) return Belonging::kOther;
    if (const AcDbVkRoom* boundary = AcDbVkRoom::cast(ent.object()))
        return boundary->GetIfBelongSR() ? Belonging::kOther : Belonging::kFree;
    if (const VkQsEntity* component = VkQsEntity::cast(ent.object())) {
        const AcDbObjectId marker = component->GetAssositSRoom();
        if (marker != room.marker && IsLiveMarker(marker)) return Belonging::kOther;
    }
    return Belonging::kFree;
}
}  // namespace

int DropOtherRoomsObjects(AcDbObjectIdArray& ids, const GatheredRoom& room)
{
    AcDbObjectIdArray kept(0, 8);
    int others = 0;
    for (const AcDbObjectId& id : ids) {
        switch (WhoseObject(id, room)) {
        case Belonging::kFree: kept.append(id); break;
        case Belonging::kOther: ++others; break;
        case Belonging::kOwn: break;
        }
    }
    ids = kept;
    if (others > 0) acutPrintf(kOtherRoomsLeftOut, others);
    return others;
}

int SelectComponentPass(AcDbObjectIdArray& ids, bool withKeyword, AcEdSSKwordCallback removeCallback)
{
    ads_name ss;
    int rc;
    if (withKeyword) {
        const char16_t* prompts[2] = {kAddPrompt, u""};
        acedSSSetKwordCallbackPtr(removeCallback);
        rc = acedSSGet(u":S:$:K", prompts, u"Q", nullptr, ss);
    } else {
        const char16_t* prompts[2] = {kRemovePrompt, u""};
        rc = acedSSGet(u":S:$", prompts, nullptr, nullptr, ss);
    }
    if (rc != RTNORM) return rc;
    Adesk::Int32 n = 0;
    acedSSLength(ss, &n);
    for (Adesk::Int32 i = 0; i < n; ++i) {
        ads_name ent;
        AcDbObjectId id;
        if (acedSSName(ss, i, ent) == RTNORM && acdbGetObjectId(id, ent) == Acad::eOk) ids.append(id);
    }
    acedSSFree(ss);
    return RTNORM;
}

void DropRemovedComponents(std::set<AcDbObjectId>& removed, AcDbObjectIdArray& chosen)
{
    for (AcDbObjectId id : removed)
        if (chosen.remove(id)) CManageStdRoom::ValueIsRelate(id);
    removed.clear();
}

void TakePickedComponents(const AcDbObjectIdArray& picked, const GatheredRoom& room, AcDbObjectIdArray& chosen,
                          AcDbObjectIdArray& seen, AcDbObjectIdArray& valves)
{
    for (const AcDbObjectId& id : picked) seen.append(id);
    AcDbObjectIdArray taken = picked;
    DropOtherRoomsObjects(taken, room);
    for (const AcDbObjectId& id : taken) {
        bool skip = false, isValve = false;
        AcDbObjectIdArray pipeValves(0, 8);
        {
            AcDbObjectPointer<AcDbEntity> ent(id, AcDb::kForRead);
            if (!ent) continue;
            const VkQsEntity* qs = VkQsEntity::cast(ent.object());
            skip = qs && (VkQsMainLine::vk_cast(qs) != nullptr || isKPYX(qs));
            if (const VkQsPipe* pipe = VkQsPipe::cast(ent.object())) pipe->GetRefValves(pipeValves);
            isValve = VkQsPipeValve::cast(ent.object()) != nullptr;
        }
        if (skip) continue;
        for (AcDbObjectId valve : pipeValves)
            if (!seen.contains(valve)) CManageStdRoom::ValueIsRelate(valve);
        if (isValve) valves.append(id);
        SetHighlight(id, true);
        chosen.append(id);
    }
}

}  // namespace vkroom
