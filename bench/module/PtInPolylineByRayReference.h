#pragma once
// The ray test as it was before the boundary was prepared once for many points: every segment
// read from the polyline and judged through the host's 3-D segments, arcs and rays, for every
// point. Kept unchanged as the reference the prepared test is measured against; the answers of
// tests/module/selection/BoundaryCases.txt are its answers.
#include <cmath>

#include "host/db/AcDb.h"
#include "host/ge/AcGe.h"
#include "siblings/services/CalMethod.h"

namespace vkref {

namespace ray_detail {

constexpr double kRayAngleTol = 0.017453292519943295;  // one degree
constexpr double kHalfPi = 1.5707963267948966;
constexpr double kTangentTol = 0.001;                   // radians around a right angle

struct RayProbe {
    AcGeRay3d ray;
    AcGeTol tol;
    double near;
    bool passesNear(const AcGePoint3d& p) const { return ray.distanceTo(p) < near; }
    bool passesNear(const AcGeLineSeg3d& seg) const { return ray.distanceTo(seg) < near; }
};

inline int lineCrossings(const RayProbe& r, const AcGePoint3d& pt, const AcGeLineSeg3d& seg)
{
    if (seg.isOn(pt, r.tol)) return -1;
    if (seg.direction().isParallelTo(AcGeVector3d::kXAxis, r.tol)) return 0;
    const AcGePoint3d s = seg.startPoint(), e = seg.endPoint();
    if (r.passesNear(s)) return e.y < s.y ? 1 : 0;
    if (r.passesNear(e)) return s.y < e.y ? 1 : 0;
    return r.passesNear(seg) ? 1 : 0;
}

inline int arcCrossings(const RayProbe& r, const AcGePoint3d& pt, const AcGeCircArc3d& arc)
{
    if (arc.isOn(pt, r.tol)) return -1;
    const AcGePoint3d s = arc.startPoint(), e = arc.endPoint();
    const bool nearStart = r.passesNear(s), nearEnd = r.passesNear(e);
    if (nearStart && nearEnd) return 0;
    const AcGePoint3d m = CalMethod::GetMidPoint(arc);
    if (nearStart) return m.y < s.y ? 1 : 0;
    if (nearEnd) return m.y < e.y ? 1 : 0;
    int num = 0;
    AcGePoint3d p1, p2;
    if (!arc.intersectWith(r.ray, num, p1, p2, r.tol)) num = 0;
    if (num != 1) return num;
    const AcGeVector3d radial = (p1 - arc.center()).normal();
    const double angle = CalMethod::GetInterAngle(radial, r.ray.direction());
    return std::fabs(angle - kHalfPi) <= kTangentTol ? 0 : 1;
}

}  // namespace ray_detail

// 1 inside, 0 on the outline (within tol), -1 outside or for a null polyline.
inline int IsPtInPolylineByRay(AcDbPolyline* pline, AcGePoint3d pt, double tol)
{
    using namespace ray_detail;
    if (!pline) return -1;
    const RayProbe r{AcGeRay3d(pt, -AcGeVector3d::kXAxis), AcGeTol(tol, kRayAngleTol), std::fabs(tol)};
    int count = 0;
    const unsigned int n = pline->numVerts();
    for (unsigned int i = 0; i < n; ++i) {
        int c = 0;
        switch (pline->segType(i)) {
        case AcDbPolyline::kLine: {
            AcGeLineSeg3d seg;
            if (pline->getLineSegAt(i, seg) != Acad::eOk) continue;
            c = lineCrossings(r, pt, seg);
            break;
        }
        case AcDbPolyline::kArc: {
            AcGeCircArc3d arc;
            if (pline->getArcSegAt(i, arc) != Acad::eOk) continue;
            c = arcCrossings(r, pt, arc);
            break;
        }
        default:
            continue;
        }
        if (c < 0) return 0;
        count += c;
    }
    return count % 2 == 1 ? 1 : -1;
}

}  // namespace vkref
