// Keeping the candidates that lie inside a boundary under the discipline filter.
#include "module/frame/CManageStdRoom.h"
#include "module/interfaces/SelectionInterfaces.h"

void CManageStdRoom::FilterEntity(AcArray<AcDbObjectId>& candidates, AcArray<AcDbObjectId>& accepted,
                                  AcDbObjectId boundaryId, std::bitset<6>& filter, bool flag)
{
    for (int i = 0; i < candidates.length(); ++i) {
        AcDbObjectId id = candidates[i];
        if (EntityIsInPolyline(boundaryId, id, filter, flag)) accepted.append(id);
    }
}
