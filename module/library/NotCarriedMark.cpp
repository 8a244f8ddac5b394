#include "module/library/NotCarriedMark.h"

#include "module/interfaces/LibraryInterfaces.h"

namespace vkroom {

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
    AcDbEntity* ent = nullptr;
    if (acdbOpenAcDbEntity(ent, id, AcDb::kForRead) != Acad::eOk) return;
    ClearNotCarriedMark(ent);
    ent->close();
}

}  // namespace vkroom
