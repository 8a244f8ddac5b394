#include "siblings/services/VKToolKit.h"

#include <cmath>
#include <numbers>

#include "host/db/AcDb.h"

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

// One segment of the outline, flattened onto XY.
struct Seg {
    AcGePoint3d a, b;
    double bulge = 0;
};

std::vector<Seg> Outline(const AcDbPolyline* pl)
{
    std::vector<Seg> segs;
    unsigned n = pl->numVerts();
    for (unsigned i = 0; i < n; ++i) {
        AcGePoint2d a2, b2;
        double bulge = 0;
        pl->getPointAt(i, a2);
        pl->getPointAt((i + 1) % n, b2);
        // An open polyline is taken as closed by a straight last segment.
        if (i + 1 < n || pl->isClosed()) pl->getBulgeAt(i, bulge);
        segs.push_back({AcGePoint3d(a2.x, a2.y, 0), AcGePoint3d(b2.x, b2.y, 0), bulge});
    }
    return segs;
}

bool IsArc(const Seg& s) { return std::abs(s.bulge) > 1e-12 && s.a.distanceTo(s.b) > 1e-12; }

double DistanceTo(const Seg& s, const AcGePoint3d& p)
{
    if (IsArc(s)) return AcGeCircArc3d::fromBulge(s.a, s.b, s.bulge).distanceTo(p);
    if (s.a.distanceTo(s.b) <= 1e-12) return p.distanceTo(s.a);
    return AcGeLineSeg3d(s.a, s.b).distanceTo(p);
}

// Signed angle from u to v about +Z, in (-pi, pi].
double Turn(const AcGeVector3d& u, const AcGeVector3d& v)
{
    return std::atan2(u.x * v.y - u.y * v.x, u.x * v.x + u.y * v.y);
}

double Cross(const AcGePoint3d& a, const AcGePoint3d& b, const AcGePoint3d& p)
{
    return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
}

// Angle the segment sweeps as seen from p (p not on it). An arc sweeps its chord's angle,
// plus a full turn when p lies in the region between chord and arc: that region is bounded
// by the arc and the chord run backwards, a loop that winds once around p.
double Sweep(const Seg& s, const AcGePoint3d& p)
{
    double chord = Turn(s.a - p, s.b - p);
    if (!IsArc(s)) return chord;
    AcGeCircArc3d arc = AcGeCircArc3d::fromBulge(s.a, s.b, s.bulge);
    AcGePoint3d c = arc.center();
    bool inDisc = std::hypot(p.x - c.x, p.y - c.y) < arc.radius();
    bool arcSide = (Cross(s.a, s.b, p) > 0) == (Cross(s.a, s.b, arc.midPoint()) > 0);
    if (inDisc && arcSide) chord += s.bulge > 0 ? kTwoPi : -kTwoPi;
    return chord;
}

}  // namespace

int VKToolKit::IsPtInPolyline(const AcDbPolyline* pline, const AcGePoint3d& pt, double tol)
{
    if (!pline || pline->numVerts() < 2) return -1;
    AcGePoint3d p(pt.x, pt.y, 0);
    std::vector<Seg> segs = Outline(pline);
    for (const Seg& s : segs)
        if (DistanceTo(s, p) <= std::abs(tol)) return 0;
    // Winding number: robust where a ray would graze vertices or touch arcs.
    double total = 0;
    for (const Seg& s : segs) total += Sweep(s, p);
    long winding = std::lround(total / kTwoPi);
    return winding != 0 ? 1 : -1;
}

bool VKToolKit::ExtentsInter(const AcDbExtents& a, const AcDbExtents& b)
{
    return a.isValid() && b.isValid() && a.intersects(b);
}

Acad::ErrorStatus VKToolKit::GetOffsetCurve(const AcDbCurve* curve, double dist, AcDbCurve*& out)
{
    out = nullptr;
    if (!curve) return Acad::eNullObjectPointer;
    std::vector<AcDbCurve*> curves;
    Acad::ErrorStatus es = curve->getOffsetCurves(dist, curves);
    if (es == Acad::eOk && !curves.empty()) {
        out = curves.front();
        curves.erase(curves.begin());
    } else if (es == Acad::eOk) {
        es = Acad::eNotApplicable;
    }
    for (AcDbCurve* extra : curves) delete extra;
    return es;
}

AcDbObjectIdArray VKToolKit::SelectEntity(const CString& layer, const CString&, int)
{
    AcDbObjectIdArray ids;
    AcDbDatabase* db = acdbCurDwg();
    if (!db) return ids;
    AcDbBlockTableRecord* ms = nullptr;
    if (acdbOpenObject(ms, db->modelSpaceId(), AcDb::kForRead) != Acad::eOk) return ids;
    std::vector<AcDbObjectId> all = ms->entityIds();
    ms->close();
    for (AcDbObjectId id : all) {
        AcDbEntity* ent = nullptr;
        if (acdbOpenAcDbEntity(ent, id, AcDb::kForRead) != Acad::eOk) continue;
        if (ent->layer().CompareNoCase(layer) == 0) ids.append(id);
        ent->close();
    }
    return ids;
}
