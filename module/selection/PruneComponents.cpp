#include "module/selection/PruneComponents.h"

#include <set>

#include "module/interfaces/DefinitionInterfaces.h"

namespace vkroom {
namespace {

// Removes, from the last entry to the first, every entry for which drop(entity) is true.
template <class Drop>
void RemoveFromBack(AcDbObjectIdArray& ids, Drop drop)
{
    for (int i = ids.length() - 1; i >= 0; --i) {
        const AcDbObjectId id = ids[i];
        bool gone = false;
        if (AcDbObjectPointer<AcDbEntity> ent(id, AcDb::kForRead); ent) gone = drop(ent.object());
        if (!gone) continue;
        ids.removeAt(i);
        SetHighlight(id, false);
    }
}

}  // namespace

void SetHighlight(const AcDbObjectId& id, bool on)
{
    AcDbObjectPointer<AcDbEntity> ent(id, AcDb::kForRead);
    if (!ent) return;
    if (on) ent->highlight();
    else ent->unhighlight();
}

void PruneDlpEnts(AcDbObjectIdArray& ids)
{
    std::set<AcDbObjectId> held;
    for (int i = ids.length() - 1; i >= 0; --i) {
        AcDbObjectPointer<VkQsDuctFitting> fitting(ids[i], AcDb::kForRead);
        if (fitting && fitting->GetRefPipes().length() == 2)
            for (const AcDbObjectId& dlp : fitting->GetRefDlps()) held.insert(dlp);
    }
    RemoveFromBack(ids, [&](AcDbEntity* ent) { return VkQsDlpEnt::cast(ent) && !held.count(ent->objectId()); });
}

void PruneFittings(AcDbObjectIdArray& ids)
{
    std::set<AcDbObjectId> pipes;
    for (const AcDbObjectId& id : ids)
        if (AcDbObjectPointer<VkQsPolyForValve>(id, AcDb::kForRead)) pipes.insert(id);
    RemoveFromBack(ids, [&](AcDbEntity* ent) {
        const VkQsFittingBase* fitting = VkQsFittingBase::cast(ent);
        if (!fitting) return false;
        const AcDbObjectIdArray joined = fitting->GetRefPipes();
        return joined.length() == 1 && !pipes.count(joined[0]);
    });
}

}  // namespace vkroom
