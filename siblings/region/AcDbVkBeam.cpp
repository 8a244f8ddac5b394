#include "siblings/region/AcDbVkBeam.h"

ACRX_DEFINE_MEMBERS(AcDbVkBeam, AcDbCurve);
