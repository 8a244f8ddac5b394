#pragma once
// Small geometric calculations.
#include "host/ge/AcGeCurves.h"
#include "host/ge/AcGeVectors.h"

class CalMethod {
public:
    static AcGePoint3d GetMidPoint(const AcGeCurve3d& curve);  // halfway along its length
    // Unsigned angle between the vectors in radians, 0..pi; 0 when either is zero.
    static double GetInterAngle(const AcGeVector3d& a, const AcGeVector3d& b);
};
