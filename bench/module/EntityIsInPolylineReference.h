#pragma once
// The per-entity decision as it was before the chord and the toolkit's point test were
// reworked: the chord built as a polyline, both first segments read and intersected through the
// host's geometry, the ends through the reference ray test, point-like components through the
// toolkit's winding number summed from the angles of every segment. Kept unchanged as the
// reference the module is measured against; the answers of
// tests/module/selection/BoundaryCases.txt are its answers.
#include <bitset>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "host/db/AcDb.h"
#include "module/interfaces/SelectionInterfaces.h"
#include "bench/module/PtInPolylineByRayReference.h"

namespace vkref {

namespace toolkit_detail {

inline constexpr double kTwoPi = 2 * std::numbers::pi;

// One segment of the outline, flattened onto XY.
struct Seg {
    AcGePoint3d a, b;
    double bulge = 0;
};

inline std::vector<Seg> Outline(const AcDbPolyline* pl)
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

inline bool IsArc(const Seg& s) { return std::abs(s.bulge) > 1e-12 && s.a.distanceTo(s.b) > 1e-12; }

inline double DistanceTo(const Seg& s, const AcGePoint3d& p)
{
    if (IsArc(s)) return AcGeCircArc3d::fromBulge(s.a, s.b, s.bulge).distanceTo(p);
    if (s.a.distanceTo(s.b) <= 1e-12) return p.distanceTo(s.a);
    return AcGeLineSeg3d(s.a, s.b).distanceTo(p);
}

// Signed angle from u to v about +Z, in (-pi, pi].
inline double Turn(const AcGeVector3d& u, const AcGeVector3d& v)
{
    return std::atan2(u.x * v.y - u.y * v.x, u.x * v.x + u.y * v.y);
}

inline double Cross(const AcGePoint3d& a, const AcGePoint3d& b, const AcGePoint3d& p)
{
    return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
}

// Angle the segment sweeps as seen from p (p not on it). An arc sweeps its chord's angle,
// plus a full turn when p lies in the region between chord and arc: that region is bounded
// by the arc and the chord run backwards, a loop that winds once around p.
inline double Sweep(const Seg& s, const AcGePoint3d& p)
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

}  // namespace toolkit_detail

// The toolkit's point test: negative outside, 0 within |tol| of the outline, positive inside.
inline int ToolkitPtInPolyline(const AcDbPolyline* pline, const AcGePoint3d& pt, double tol)
{
    using namespace toolkit_detail;
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

namespace entity_detail {

inline constexpr double kStraightBulge = 0.0001;  // flatter segments are straight

inline bool firstSegmentIsStraight(const AcDbPolyline* pline)
{
    double bulge = 0;
    pline->getBulgeAt(0, bulge);
    return std::fabs(bulge) < kStraightBulge;
}

inline void appendCount(AcArray<AcGePoint3d>& points, int num, const AcGePoint3d& p1, const AcGePoint3d& p2)
{
    if (num >= 1) points.append(p1);
    if (num >= 2) points.append(p2);
}


inline void GetPolylineInterePoint(AcDbPolyline* first, AcDbPolyline* second,
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

inline int codeFromEnds(int a, int b)
{
    if (a == 1 && b == 1) return 1;
    if (a == 0 && b == 0) return 0;
    if ((a == 0 && b == 1) || (a == 1 && b == 0)) return 4;
    if ((a == 0 && b == -1) || (a == -1 && b == 0)) return 3;
    return -1;
}

// 4 when the toolkit puts the end inside or on the outline, 3 when outside.
inline int codeFromTouchedEnd(AcDbPolyline* boundary, const AcGePoint3d& end, double tol)
{
    return ToolkitPtInPolyline(boundary, end, tol) >= 0 ? 4 : 3;
}

// True when the offset curve meets the boundary nowhere (or cannot be intersected).
inline bool offsetMisses(AcDbPolyline* boundary, const AcDbCurve* offset)
{
    if (!offset) return false;
    AcGePoint3dArray pts;
    return boundary->intersectWith(offset, AcDb::kOnBothOperands, pts) != Acad::eOk || pts.isEmpty();
}

// A crossing is confirmed (2) unless the curve, moved by tol to either side, misses the
// boundary: then it only runs along or grazes it (5).
inline int offsetTest(AcDbPolyline* boundary, const AcDbCurve* curve, double tol)
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

}  // namespace entity_detail

// Relation code of a curve, taken by its chord, to a boundary polyline.
inline int IsCurveInPolyline(AcDbPolyline* boundary, const AcDbCurve* curve, double tol)
{
    if (!boundary || !curve) return -1;
    AcGePoint3d s, e;
    curve->getStartPoint(s);
    curve->getEndPoint(e);

    AcDbPolyline chord;
    chord.addVertexAt(0, s.convert2d(AcGePlane::kXYPlane), 0.0, -1.0, -1.0);
    chord.addVertexAt(1, e.convert2d(AcGePlane::kXYPlane), 0.0, -1.0, -1.0);

    AcArray<AcGePoint3d> points;
    entity_detail::GetPolylineInterePoint(boundary, &chord, points);

    if (points.isEmpty()) {
        return entity_detail::codeFromEnds(IsPtInPolylineByRay(boundary, s, tol), IsPtInPolylineByRay(boundary, e, tol));
    }
    if (points.length() == 1) {
        const AcGePoint3d& p = points[0];
        if (p.distanceTo(s) < tol) return entity_detail::codeFromTouchedEnd(boundary, s, tol);
        if (p.distanceTo(e) < tol) return entity_detail::codeFromTouchedEnd(boundary, e, tol);
    } else {
        if (IsPtInPolylineByRay(boundary, points[0], tol) >= 0 && IsPtInPolylineByRay(boundary, points[1], tol) >= 0)
            return 5;
    }
    return entity_detail::offsetTest(boundary, curve, tol);
}

// Intersections of the first segments of two polylines, appended to `points`.
inline void GetPolylineInterePoint(AcDbPolyline* first, AcDbPolyline* second, AcArray<AcGePoint3d>& points)
{
    entity_detail::GetPolylineInterePoint(first, second, points);
}

namespace entity_detail {

constexpr double kTol = 1.0;
constexpr double kShortestChord = 0.0001;
inline constexpr const char16_t* kArchitecturalLayerPrefix = u"VK_建筑_SYS";
// Discipline words in filter bit order, from bit 1.
constexpr const char16_t* kDisciplines[] = {u"给排水", u"电气", u"暖通", u"消防", u"弱电"};

inline bool startsWith(const CString& text, const char16_t* word)
{
    return text.Find(word) == 0;
}

inline bool codeCountsInside(int code)
{
    return code == 0 || code == 1 || code == 4 || code == 5;
}

inline bool pointInside(AcDbPolyline* boundary, const AcGePoint3d& p)
{
    return ToolkitPtInPolyline(boundary, p, kTol) >= 0;
}

inline bool chordInside(AcDbPolyline* boundary, const AcGePoint3d& s, const AcGePoint3d& e)
{
    AcDbLine line(s, e);  // temporary, never added to a database
    return codeCountsInside(IsCurveInPolyline(boundary, &line, kTol));
}

inline void extentsCorners(const AcDbEntity* ent, AcGePoint3d& s, AcGePoint3d& e)
{
    AcDbExtents ext;
    ent->getGeomExtents(ext);
    s = ext.minPoint();
    e = ext.maxPoint();
}

inline void curveEnds(const AcDbCurve* curve, AcGePoint3d& s, AcGePoint3d& e)
{
    curve->getStartPoint(s);
    curve->getEndPoint(e);
}

inline AcGePoint3d flattened(AcGePoint3d p)
{
    p.z = 0;
    return p;
}

inline bool architecturalInside(AcDbPolyline* boundary, const AcDbEntity* ent)
{
    if (const AcDbBlockReference* ref = AcDbBlockReference::cast(ent)) return pointInside(boundary, ref->position());
    AcGePoint3d s, e;
    if (const AcDbCurve* curve = AcDbCurve::cast(ent))
        curveEnds(curve, s, e);
    else
        extentsCorners(ent, s, e);
    s.z = e.z;
    return chordInside(boundary, s, e);
}

inline bool passesDisciplineFilter(const VkQsEntity* comp, const std::bitset<6>& filter)
{
    const CString path = comp->GetSmallTypeNamePath();
    for (size_t i = 0; i < std::size(kDisciplines); ++i)
        if (startsWith(path, kDisciplines[i]) && !filter.test(i + 1)) return false;
    return true;
}

// The reference point of a point-like component; false for other kinds.
inline bool referencePoint(const VkQsEntity* comp, AcGePoint3d& p)
{
    if (const VkQsNode* node = VkQsNode::cast(comp))
        p = node->GetInsertPoint();
    else if (const VkQsFittingBase* fitting = VkQsFittingBase::cast(comp))
        p = fitting->position();
    else if (const VkQsElementComponent* element = VkQsElementComponent::cast(comp))
        p = VkQsCore::GetProductLocation(element->GetProduct());
    else if (const VkQsNodeEntPrototype* proto = VkQsNodeEntPrototype::cast(comp))
        p = proto->GetPlacement().GetLocation();
    else
        return false;
    return true;
}

inline bool componentInside(AcDbPolyline* boundary, const AcDbEntity* ent, const std::bitset<6>& filter)
{
    const VkQsEntity* comp = VkQsEntity::cast(ent);
    if (!comp) return false;
    if (!passesDisciplineFilter(comp, filter)) return false;
    if (isKPYX(comp)) return false;
    if (VkQsMainLine::vk_cast(comp) && !VkQsMainLeadCon::cast(comp)) return false;

    AcGePoint3d ref;
    if (referencePoint(comp, ref)) return pointInside(boundary, flattened(ref));

    AcGePoint3d s, e;
    if (VkQsDlpEnt::cast(comp))
        extentsCorners(comp, s, e);
    else
        curveEnds(comp, s, e);
    s = flattened(s);
    e = flattened(e);
    if (s.distanceTo(e) < kShortestChord) e = s + AcGeVector3d(kShortestChord, 0, 0);
    return chordInside(boundary, s, e);
}

inline bool isBoundary(const AcDbObject* obj)
{
    return AcDbVkRoom::cast(obj) || AcDbVkConstrucSegment::cast(obj);
}

}  // namespace entity_detail

// The per-entity decision.
inline bool EntityIsInPolyline(AcDbObjectId& boundaryId, AcDbObjectId& entityId,
                                        std::bitset<6>& filter, bool /*flag*/)
{
    AcDbObject* boundaryObj = nullptr;
    if (acdbOpenAcDbObject(boundaryObj, boundaryId, AcDb::kForRead) != Acad::eOk) return false;
    if (!entity_detail::isBoundary(boundaryObj)) {
        boundaryObj->close();
        return false;
    }
    AcDbEntity* ent = nullptr;
    if (acdbOpenAcDbEntity(ent, entityId, AcDb::kForRead) != Acad::eOk) {
        boundaryObj->close();
        return false;
    }
    AcDbPolyline* boundary = AcDbPolyline::cast(boundaryObj);
    const bool architectural = entity_detail::startsWith(ent->layer(), entity_detail::kArchitecturalLayerPrefix) && filter.test(0);
    const bool inside = architectural ? entity_detail::architecturalInside(boundary, ent) : entity_detail::componentInside(boundary, ent, filter);
    ent->close();
    boundaryObj->close();
    return inside;
}

}  // namespace vkref
