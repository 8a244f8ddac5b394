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
        AcDbEntity* ent = nullptr;
        if (acdbOpenAcDbEntity(ent, id, AcDb::kForRead) != Acad::eOk) continue;
        const bool gone = drop(ent);
        ent->close();
        if (!gone) continue;
        ids.removeAt(i);
        SetHighlight(id, false);
    }
}

}  // namespace

void SetHighlight(const AcDbObjectId& id, bool on)
{
    AcDbEntity* ent = nullptr;
    if (acdbOpenAcDbEntity(ent, id, AcDb::kForRead) != Acad::eOk) return;
    if (on) ent->highlight();
    else ent->unhighlight();
    ent->close();
}

void PruneDlpEnts(AcDbObjectIdArray& ids)
{
    std::set<AcDbObjectId> held;
    for (int i = ids.length() - 1; i >= 0; --i) {
        VkQsDuctFitting* fitting = nullptr;
        if (acdbOpenObject(fitting, ids[i], AcDb::kForRead) != Acad::eOk) continue;
        if (fitting->GetRefPipes().length() == 2)
            for (const AcDbObjectId& dlp : fitting->GetRefDlps()) held.insert(dlp);
        fitting->close();
    }
    RemoveFromBack(ids, [&](AcDbEntity* ent) { return VkQsDlpEnt::cast(ent) && !held.count(ent->objectId()); });
}

void PruneFittings(AcDbObjectIdArray& ids)
{
    std::set<AcDbObjectId> pipes;
    for (const AcDbObjectId& id : ids) {
        VkQsPolyForValve* pipe = nullptr;
        if (acdbOpenObject(pipe, id, AcDb::kForRead) != Acad::eOk) continue;
        pipes.insert(id);
        pipe->close();
    }
    RemoveFromBack(ids, [&](AcDbEntity* ent) {
        const VkQsFittingBase* fitting = VkQsFittingBase::cast(ent);
        if (!fitting) return false;
        const AcDbObjectIdArray joined = fitting->GetRefPipes();
        return joined.length() == 1 && !pipes.count(joined[0]);
    });
}

}  // namespace vkroom
