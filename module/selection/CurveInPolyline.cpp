// Relation of a curve, taken by its chord, to a boundary polyline.
#include <memory>

#include "module/frame/CManageStdRoom.h"
#include "module/interfaces/SelectionInterfaces.h"
#include "module/selection/CurveInPolyline.h"
#include "module/selection/PtInPolylineByRay.h"

namespace {

int codeFromEnds(int a, int b)
{
    if (a == 1 && b == 1) return 1;
    if (a == 0 && b == 0) return 0;
    if ((a == 0 && b == 1) || (a == 1 && b == 0)) return 4;
    if ((a == 0 && b == -1) || (a == -1 && b == 0)) return 3;
    return -1;
}

// 4 when the toolkit puts the end inside or on the outline, 3 when outside.
int codeFromTouchedEnd(AcDbPolyline* boundary, const AcGePoint3d& end, double tol)
{
    return VKToolKit::IsPtInPolyline(boundary, end, tol) >= 0 ? 4 : 3;
}

// True when the offset curve meets the boundary nowhere (or cannot be intersected).
bool offsetMisses(AcDbPolyline* boundary, const AcDbCurve* offset)
{
    if (!offset) return false;
    AcGePoint3dArray pts;
    return boundary->intersectWith(offset, AcDb::kOnBothOperands, pts) != Acad::eOk || pts.isEmpty();
}

// A crossing is confirmed (2) unless the curve, moved by tol to either side, misses the
// boundary: then it only runs along or grazes it (5).
int offsetTest(AcDbPolyline* boundary, const AcDbCurve* curve, double tol)
{
    AcDbCurve* plus = nullptr;
    AcDbCurve* minus = nullptr;
    VKToolKit::GetOffsetCurve(curve, tol, plus);
    VKToolKit::GetOffsetCurve(curve, -tol, minus);
    std::unique_ptr<AcDbCurve> plusOwner(plus), minusOwner(minus);
    bool miss = offsetMisses(boundary, plus);
    if (!miss) miss = offsetMisses(boundary, minus);
    return miss ? 5 : 2;
}

}  // namespace

int CManageStdRoom::IsCurveInPolyline(AcDbPolyline* boundary, const AcDbCurve* curve, double tol)
{
    if (!boundary || !curve) return -1;
    AcGePoint3d s, e;
    curve->getStartPoint(s);
    curve->getEndPoint(e);
    return CurveInPolylineCode(boundary, s, e, tol, curve);
}

int CurveInPolylineCode(AcDbPolyline* boundary, const AcGePoint3d& s, const AcGePoint3d& e, double tol,
                        const AcDbCurve* curve)
{
    // The chord is the curve's ends on the XY plane; only its single straight segment matters.
    AcArray<AcGePoint3d> points;
    AppendChordInterePoint(boundary, s.convert2d(AcGePlane::kXYPlane), e.convert2d(AcGePlane::kXYPlane), points);

    if (points.isEmpty()) {
        const CRayBoundary ray(boundary);  // read once for both ends
        return codeFromEnds(ray.Classify(s, tol), ray.Classify(e, tol));
    }
    if (points.length() == 1) {
        const AcGePoint3d& p = points[0];
        if (p.distanceTo(s) < tol) return codeFromTouchedEnd(boundary, s, tol);
        if (p.distanceTo(e) < tol) return codeFromTouchedEnd(boundary, e, tol);
    } else {
        const CRayBoundary ray(boundary);
        if (ray.Classify(points[0], tol) >= 0 && ray.Classify(points[1], tol) >= 0) return 5;
    }
    if (curve) return offsetTest(boundary, curve, tol);
    const AcDbLine line(s, e);  // temporary, never added to a database
    return offsetTest(boundary, &line, tol);
}
