#include "siblings/services/CalMethod.h"

#include <cmath>

AcGePoint3d CalMethod::GetMidPoint(const AcGeCurve3d& curve)
{
    if (auto* seg = dynamic_cast<const AcGeLineSeg3d*>(&curve)) return seg->midPoint();
    if (auto* arc = dynamic_cast<const AcGeCircArc3d*>(&curve)) return arc->midPoint();
    if (auto* ray = dynamic_cast<const AcGeRay3d*>(&curve)) return ray->basePoint();  // unbounded
    return AcGePoint3d();
}

double CalMethod::GetInterAngle(const AcGeVector3d& a, const AcGeVector3d& b)
{
    double cross = a.crossProduct(b).length();
    double dot = a.dotProduct(b);
    if (cross == 0 && dot == 0) return 0;  // a zero vector
    return std::atan2(cross, dot);
}
