#include "module/library/NotCarriedMark.h"

#include <set>

#include "module/interfaces/LibraryInterfaces.h"

namespace vkroom {
namespace {
std::set<AcDbObjectId>& NotedMarks()
{
    static std::set<AcDbObjectId> noted;
    return noted;
}
}  // namespace

void ClearNotCarriedMark(AcDbEntity* ent)
{
    VkQsPipeValve* valve = VkQsPipeValve::cast(ent);
    if (!valve || !(valve->GetStyle() & kNotCarriedMark)) return;
    if (valve->upgradeOpen() != Acad::eOk) return;
    valve->SetStyle(valve->GetStyle() & ~kNotCarriedMark);
    valve->downgradeOpen();
}

void ClearNotCarriedMark(const AcDbObjectId& id)
{
    if (AcDbObjectPointer<AcDbEntity> ent(id, AcDb::kForRead); ent) ClearNotCarriedMark(ent.object());
}

void NoteNotCarriedMark(const AcDbObjectId& id)
{
    NotedMarks().insert(id);
}

void ClearNotedMarks()
{
    std::set<AcDbObjectId> noted;
    noted.swap(NotedMarks());
    for (const AcDbObjectId& id : noted) ClearNotCarriedMark(id);
}

}  // namespace vkroom
