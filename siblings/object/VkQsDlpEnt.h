#pragma once
// A duct piece: a straight stretch of duct from start to end with a width, drawn as its
// outline; it files "start", "end", "width" after the component's fields.
#include "siblings/object/VkQsEntity.h"
#include "siblings/region/StraightBand.h"

class VkQsDlpEnt : public StraightBandCurve<VkQsEntity> {
public:
    ACRX_DECLARE_MEMBERS(VkQsDlpEnt);
    using StraightBandCurve::StraightBandCurve;

    AcGePoint3d referencePoint() const override { return startPoint() + (endPoint() - startPoint()) / 2; }
};
