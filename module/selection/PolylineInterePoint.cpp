// Intersections of the first segments of two polylines.
#include <cmath>

#include "module/frame/CManageStdRoom.h"
#include "module/interfaces/SelectionInterfaces.h"

namespace {

constexpr double kStraightBulge = 0.0001;  // flatter segments are straight

bool firstSegmentIsStraight(const AcDbPolyline* pline)
{
    double bulge = 0;
    pline->getBulgeAt(0, bulge);
    return std::fabs(bulge) < kStraightBulge;
}

void appendCount(AcArray<AcGePoint3d>& points, int num, const AcGePoint3d& p1, const AcGePoint3d& p2)
{
    if (num >= 1) points.append(p1);
    if (num >= 2) points.append(p2);
}

}  // namespace

void CManageStdRoom::GetPolylineInterePoint(AcDbPolyline* first, AcDbPolyline* second,
                                            AcArray<AcGePoint3d>& points)
{
    if (!first || !second) return;
    AcGeTol tol;
    tol.setEqualPoint(1.0);
    const bool firstStraight = firstSegmentIsStraight(first);
    const bool secondStraight = firstSegmentIsStraight(second);
    AcGeLineSeg3d line1, line2;
    AcGeCircArc3d arc1, arc2;
    if (firstStraight ? first->getLineSegAt(0, line1) != Acad::eOk : first->getArcSegAt(0, arc1) != Acad::eOk)
        return;
    if (secondStraight ? second->getLineSegAt(0, line2) != Acad::eOk : second->getArcSegAt(0, arc2) != Acad::eOk)
        return;

    if (firstStraight && secondStraight) {
        AcGePoint3d p;
        if (line1.intersectWith(line2, p, tol) && line1.isOn(p, tol) && line2.isOn(p, tol)) points.append(p);
        return;
    }
    int num = 0;
    AcGePoint3d p1, p2;
    bool ok = false;
    if (firstStraight)
        ok = arc2.intersectWith(line1, num, p1, p2, tol);
    else if (secondStraight)
        ok = arc1.intersectWith(line2, num, p1, p2, tol);
    else
        ok = arc1.intersectWith(arc2, num, p1, p2, tol);
    if (ok) appendCount(points, num, p1, p2);
}
