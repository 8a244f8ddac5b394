// Intersections of the first segments of two polylines.
#include <algorithm>
#include <cmath>

#include "module/frame/CManageStdRoom.h"
#include "module/interfaces/SelectionInterfaces.h"
#include "module/selection/CurveInPolyline.h"

namespace {

constexpr double kStraightBulge = 0.0001;  // flatter segments are straight
constexpr double kEqualPoint = 1.0;        // points this close are one

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

// The first segment of `pline`: a line or an arc as its bulge says; false when it cannot be read.
bool readFirstSegment(const AcDbPolyline* pline, bool& straight, AcGeLineSeg3d& line, AcGeCircArc3d& arc)
{
    straight = firstSegmentIsStraight(pline);
    return (straight ? pline->getLineSegAt(0, line) : pline->getArcSegAt(0, arc)) == Acad::eOk;
}

// True when the two segments' boxes lie farther apart on some axis than twice the point
// tolerance (with a margin far above rounding): no point then lies within it of both, so the
// segments have no intersection to report.
bool apart(const AcGeLineSeg3d& a, const AcGeLineSeg3d& b)
{
    const AcGePoint3d a0 = a.startPoint(), a1 = a.endPoint(), b0 = b.startPoint(), b1 = b.endPoint();
    double scale = 1;
    for (const AcGePoint3d* p : {&a0, &a1, &b0, &b1})
        scale = std::max({scale, std::fabs(p->x), std::fabs(p->y), std::fabs(p->z)});
    if (!(scale <= 1e100)) return false;
    const double reach = 2 * kEqualPoint + 1e-9 * scale;
    const auto gap = [](double a0, double a1, double b0, double b1) {
        return std::max(std::min(b0, b1) - std::max(a0, a1), std::min(a0, a1) - std::max(b0, b1));
    };
    return gap(a0.x, a1.x, b0.x, b1.x) > reach || gap(a0.y, a1.y, b0.y, b1.y) > reach ||
           gap(a0.z, a1.z, b0.z, b1.z) > reach;
}

void appendIntersections(bool firstStraight, const AcGeLineSeg3d& line1, const AcGeCircArc3d& arc1, bool secondStraight,
                         const AcGeLineSeg3d& line2, const AcGeCircArc3d& arc2, AcArray<AcGePoint3d>& points)
{
    AcGeTol tol;
    tol.setEqualPoint(kEqualPoint);
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

}  // namespace

void CManageStdRoom::GetPolylineInterePoint(AcDbPolyline* first, AcDbPolyline* second,
                                            AcArray<AcGePoint3d>& points)
{
    if (!first || !second) return;
    bool firstStraight = true, secondStraight = true;
    AcGeLineSeg3d line1, line2;
    AcGeCircArc3d arc1, arc2;
    if (!readFirstSegment(first, firstStraight, line1, arc1)) return;
    if (!readFirstSegment(second, secondStraight, line2, arc2)) return;
    appendIntersections(firstStraight, line1, arc1, secondStraight, line2, arc2, points);
}

void AppendChordInterePoint(AcDbPolyline* first, const AcGePoint2d& s, const AcGePoint2d& e,
                            AcArray<AcGePoint3d>& points)
{
    if (!first) return;
    // Such a polyline takes only finite vertices, and its segment is a line unless its ends
    // coincide (then it has none).
    if (!std::isfinite(s.x) || !std::isfinite(s.y) || !std::isfinite(e.x) || !std::isfinite(e.y)) return;
    if (s.isEqualTo(e)) return;
    bool firstStraight = true;
    AcGeLineSeg3d line1, line2;
    AcGeCircArc3d arc1, arc2;
    if (!readFirstSegment(first, firstStraight, line1, arc1)) return;
    line2.set(AcGePoint3d(s.x, s.y, 0), AcGePoint3d(e.x, e.y, 0));
    if (firstStraight && apart(line1, line2)) return;
    appendIntersections(firstStraight, line1, arc1, true, line2, arc2, points);
}
