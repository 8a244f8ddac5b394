#include "siblings/region/AcDbVkConstrucSegment.h"

ACRX_DEFINE_MEMBERS(AcDbVkConstrucSegment, AcDbVkBanBase);

void AcDbVkConstrucSegment::AdjustTextPosition(AcGePoint3d& pt)
{
    pt.y += 1.5 * GetTextHeight();
}

AcDbVkBanBase* AcDbVkConstrucSegment::CreateNew()
{
    return new AcDbVkConstrucSegment();
}
