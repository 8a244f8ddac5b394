#pragma once
// An architectural beam: a straight curve from start to end with a width, drawn as its
// outline. Recognised elsewhere by its exact class name "AcDbVkBeam".
#include "host/db/AcDbEntities.h"
#include "siblings/region/StraightBand.h"

class AcDbVkBeam : public StraightBandCurve<AcDbCurve> {
public:
    ACRX_DECLARE_MEMBERS(AcDbVkBeam);
    using StraightBandCurve::StraightBandCurve;
};
