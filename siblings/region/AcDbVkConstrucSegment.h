#pragma once
// A construction segment: a region that groups rooms for building in stages.
#include "siblings/region/AcDbVkBanBase.h"

class AcDbVkConstrucSegment : public AcDbVkBanBase {
public:
    ACRX_DECLARE_MEMBERS(AcDbVkConstrucSegment);
    AcDbVkConstrucSegment() = default;
    AcDbVkConstrucSegment(const AcDbVkConstrucSegment& other) : AcDbVkBanBase(other) {}
    AcDbVkConstrucSegment& operator=(const AcDbVkConstrucSegment& other)
    {
        if (this != &other) AcDbVkBanBase::operator=(other);
        return *this;
    }

    // The segment's name sits above its centroid, clear of the names of the rooms it holds.
    void AdjustTextPosition(AcGePoint3d& pt) override;
    AcDbVkBanBase* CreateNew() override;
};
