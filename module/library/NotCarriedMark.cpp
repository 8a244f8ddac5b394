// The not-carried mark: bit 0x20 of a valve's style.
#include "module/frame/CManageStdRoom.h"
#include "module/interfaces/LibraryInterfaces.h"

namespace {
constexpr int kNotCarried = 0x20;
}

void CManageStdRoom::ValueIsRelate(AcDbObjectId& id)
{
    AcDbEntity* ent = nullptr;
    if (acdbOpenAcDbEntity(ent, id, AcDb::kForRead) != Acad::eOk) return;
    if (VkQsPipeValve* valve = VkQsPipeValve::cast(ent); valve && valve->upgradeOpen() == Acad::eOk)
        valve->SetStyle(valve->GetStyle() | kNotCarried);
    ent->close();
}
