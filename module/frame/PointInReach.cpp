#include "module/frame/PointInReach.h"

#include "host/ed/AcEd.h"
#include "host/ge/DrawingReach.h"

namespace vkroom {

bool PointInReach(const AcGePoint3d& pt)
{
    if (vkge::DrawingCanHold(pt)) return true;
    acutPrintf(u"\n该点超出图纸所能容纳的范围，请重新指定");
    return false;
}

}  // namespace vkroom
