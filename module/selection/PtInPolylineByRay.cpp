#include "module/selection/PtInPolylineByRay.h"

#include <algorithm>
#include <cmath>

#include "module/interfaces/SelectionInterfaces.h"

// The full test of a segment goes through the host's 3-D segments, arcs and rays with their
// tolerances. The quick decisions below stand in for it only where the answer is certain with
// room to spare: every bound keeps a margin far above the rounding of the full test (relative
// 1e-9 of the largest coordinate, where the full test's own rounding stays below 1e-12), and
// whatever falls inside a margin goes to the full test. So both give the same answer always.

namespace {

constexpr double kRayAngleTol = 0.017453292519943295;  // one degree
constexpr double kHalfPi = 1.5707963267948966;
constexpr double kTangentTol = 0.001;                   // radians around a right angle
constexpr double kStraightBulge = 1e-12;                // the host's: flatter segments are straight
constexpr double kLargest = 1e100;                      // larger values go to the full test only
constexpr double kRelMargin = 1e-9;
constexpr double kTinyMargin = 1e-80;
// Squared sine of the ray test's angle, a little either side: a straight segment whose squared
// slope sine falls between them is judged parallel or not by the host's own test.
constexpr double kParallelBelow = 0.0174524 * 0.0174524;
constexpr double kParallelAbove = 0.0174545 * 0.0174545;
constexpr int kUndecided = 2;

bool defaultGlobalTol()
{
    return AcGeContext::gTol.equalPoint() == 1e-10 && AcGeContext::gTol.equalVector() == 1e-12;
}

bool moderate(double v) { return std::fabs(v) <= kLargest; }  // false for NaN too

}  // namespace

struct CRayBoundary::Probe {
    AcGePoint3d pt;
    AcGeRay3d ray;
    AcGeTol tol;
    double near;
    Probe(const AcGePoint3d& p, double t)
        : pt(p), ray(p, -AcGeVector3d::kXAxis), tol(t, kRayAngleTol), near(std::fabs(t)) {}
    bool passesNear(const AcGePoint3d& p) const { return ray.distanceTo(p) < near; }
    bool passesNear(const AcGeLineSeg3d& seg) const { return ray.distanceTo(seg) < near; }
};

namespace {

// Crossings of a straight edge; -1 when the point lies on it. An edge met at a vertex
// counts only at its upper end, so a vertex passed through counts once.
template <class Probe>
int lineCrossings(const Probe& r, const AcGeLineSeg3d& seg)
{
    if (seg.isOn(r.pt, r.tol)) return -1;
    if (seg.direction().isParallelTo(AcGeVector3d::kXAxis, r.tol)) return 0;
    const AcGePoint3d s = seg.startPoint(), e = seg.endPoint();
    if (r.passesNear(s)) return e.y < s.y ? 1 : 0;
    if (r.passesNear(e)) return s.y < e.y ? 1 : 0;
    return r.passesNear(seg) ? 1 : 0;
}

template <class Probe>
int arcCrossings(const Probe& r, const AcGeCircArc3d& arc)
{
    if (arc.isOn(r.pt, r.tol)) return -1;
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
    return std::fabs(angle - kHalfPi) <= kTangentTol ? 0 : 1;  // a tangential touch is no crossing
}

// What a point sees of one segment, given everything the quick decisions need.
struct Query {
    const AcGePoint3d& pt;
    double tol;   // as given
    double t;     // its absolute value
    double m;     // rounding margin
    double zGap;  // distance from the boundary's plane
};

// A straight segment whose ends lie clearly above and below the ray's height: the ray meets it
// once, where the segment's line crosses that height, or misses it.
int lineQuickly(const CRayBoundary::Seg& s, const Query& q)
{
    const double band = q.t + q.m;
    if (s.parallel) return kUndecided;
    const double a = s.y0 - q.pt.y, b = s.y1 - q.pt.y;
    if (!((a > band && b < -band) || (a < -band && b > band))) return kUndecided;
    const double dx = s.x1 - s.x0, dy = s.y1 - s.y0;
    const double xc = s.x0 - a * (dx / dy);                   // where the line reaches the ray's height
    const double slope = std::fabs(dy) / (std::fabs(dx) + std::fabs(dy));  // at most the sine against X
    const double ahead = (q.pt.x - xc) * slope;              // at most the distance to the line
    if (ahead > band) return q.zGap < q.t - q.m ? 1 : kUndecided;  // crossed on the ray's side
    if (-ahead > band) return 0;                                    // crossed behind the point
    return kUndecided;
}

// An arc whose ends lie clearly above and below the ray's height meets that height once.
int arcQuickly(const CRayBoundary::Seg& s, const Query& q)
{
    if (!(q.tol > 4 * q.m) || s.radius > 1e5 * q.t) return kUndecided;
    const double band = q.t + q.m + s.margin;
    const double a = s.y0 - q.pt.y, b = s.y1 - q.pt.y;
    if (!((a > band && b < -band) || (a < -band && b > band))) return kUndecided;
    // The circle as the host builds it from the bulge.
    const double dx = s.x1 - s.x0, dy = s.y1 - s.y0;
    const double k = (1.0 - s.bulge * s.bulge) / (4.0 * s.bulge);
    const double cx = s.x0 + dx * 0.5 - dy * k, cy = s.y0 + dy * 0.5 + dx * k;
    const double r = std::hypot(s.x0 - cx, s.y0 - cy);
    if (!(std::fabs(std::hypot(q.pt.x - cx, q.pt.y - cy) - r) > band)) return kUndecided;  // may be on it
    const double dyc = q.pt.y - cy;
    const double half = std::sqrt(r * r - dyc * dyc);
    // Of the circle's two points at the ray's height, the arc holds the one on its side of
    // the chord: the right of start to end for a positive bulge.
    const double side = s.bulge > 0 ? -1.0 : 1.0;
    const double clear = 4 * (q.m + s.margin) * (std::fabs(dx) + std::fabs(dy));
    const auto beyondChord = [&](double x) { return side * (dx * (q.pt.y - s.y0) - dy * (x - s.x0)); };
    const double left = cx - half, right = cx + half;
    const double onLeft = beyondChord(left), onRight = beyondChord(right);
    double x = 0;
    if (onLeft > clear && onRight < -clear)
        x = left;
    else if (onRight > clear && onLeft < -clear)
        x = right;
    else
        return kUndecided;
    if (x < q.pt.x - band) {
        if (q.zGap > q.tol) return 0;  // the host finds no point off the arc's plane by more
        return q.zGap < q.t - q.m ? 1 : kUndecided;
    }
    if (x > q.pt.x + band) return 0;
    return kUndecided;
}

}  // namespace

CRayBoundary::CRayBoundary(const AcDbPolyline* pline)
{
    if (!pline) return;
    m_null = false;
    const unsigned n = pline->numVerts();
    if (n < 2) return;  // nothing, or a single point: no segment to cross
    const unsigned segs = pline->isClosed() ? n : n - 1;
    Seg* out = m_inline;
    if (segs > kInline) {
        m_more = std::make_unique<Seg[]>(segs);
        out = m_more.get();
    }
    m_segs = out;
    m_elevation = pline->elevation();
    const double equalPoint = AcGeContext::gTol.equalPoint();
    bool quick = moderate(m_elevation);
    double scale = std::fabs(m_elevation);
    AcGePoint2d first, from, to;
    pline->getPointAt(0, first);
    from = first;
    m_xlo = m_ylo = HUGE_VAL;
    m_xhi = m_yhi = -HUGE_VAL;
    for (unsigned i = 0; i < segs; ++i) {
        if (i + 1 < n)
            pline->getPointAt(i + 1, to);
        else
            to = first;
        double bulge = 0;
        pline->getBulgeAt(i, bulge);
        const AcGePoint2d a = from;
        from = to;
        const double dx = to.x - a.x, dy = to.y - a.y;
        // Ends closer than the host's point tolerance make no segment.
        if (!(std::max(std::fabs(dx), std::fabs(dy)) > equalPoint) &&
            pline->segType(i) == AcDbPolyline::kCoincident)
            continue;
        Seg& s = out[m_count++];
        s = Seg{a.x, a.y, to.x, to.y, bulge, 0, 0, 0, 0, 0, 0, false, false};
        scale = std::max({scale, std::fabs(a.x), std::fabs(a.y)});
        quick = quick && moderate(a.x) && moderate(a.y);
        const double spread = std::fabs(dx) + std::fabs(dy);  // at least the chord
        if (std::fabs(bulge) > kStraightBulge) {
            // The arc lies within half its chord times (1 + |bulge|) of the chord's middle.
            s.arc = true;
            const double b = std::fabs(bulge);
            s.radius = 0.25 * spread * (1 / b + b);
            s.margin = 4 * kRelMargin * s.radius;
            const double reach = 0.5 * spread * (1 + b) + s.margin;
            const double mx = a.x + dx * 0.5, my = a.y + dy * 0.5;
            s.xlo = mx - reach;
            s.xhi = mx + reach;
            s.ylo = my - reach;
            s.yhi = my + reach;
            quick = quick && moderate(s.radius) && moderate(reach);
        } else {
            s.xlo = std::min(a.x, to.x);
            s.xhi = std::max(a.x, to.x);
            s.ylo = std::min(a.y, to.y);
            s.yhi = std::max(a.y, to.y);
            const double slope2 = dy * dy / (dx * dx + dy * dy);
            if (slope2 < kParallelBelow)
                s.parallel = true;
            else if (!(slope2 > kParallelAbove)) {
                const AcGeLineSeg3d seg(AcGePoint3d(a.x, a.y, m_elevation), AcGePoint3d(to.x, to.y, m_elevation));
                s.parallel = seg.direction().isParallelTo(AcGeVector3d::kXAxis, AcGeTol(1.0, kRayAngleTol));
            }
        }
        m_xlo = std::min(m_xlo, s.xlo);
        m_xhi = std::max(m_xhi, s.xhi);
        m_ylo = std::min(m_ylo, s.ylo);
        m_yhi = std::max(m_yhi, s.yhi);
    }
    m_scale = scale;
    m_quick = quick;
}

int CRayBoundary::SegmentExactly(const Seg& s, const Probe& probe) const
{
    const AcGePoint3d a(s.x0, s.y0, m_elevation), b(s.x1, s.y1, m_elevation);
    if (s.arc) return arcCrossings(probe, AcGeCircArc3d::fromBulge(a, b, s.bulge));
    return lineCrossings(probe, AcGeLineSeg3d(a, b));
}

int CRayBoundary::ClassifyExactly(const AcGePoint3d& pt, double tol) const
{
    const Probe probe(pt, tol);
    int count = 0;
    for (unsigned i = 0; i < m_count; ++i) {
        const int c = SegmentExactly(m_segs[i], probe);
        if (c < 0) return 0;
        count += c;
    }
    return count % 2 == 1 ? 1 : -1;
}

int CRayBoundary::Classify(const AcGePoint3d& pt, double tol) const
{
    if (m_null || m_count == 0) return -1;
    const double t = std::fabs(tol);
    if (!m_quick || !(moderate(pt.x) && moderate(pt.y) && moderate(pt.z) && moderate(t)) || !defaultGlobalTol())
        return ClassifyExactly(pt, tol);
    const double scale = std::max({m_scale, std::fabs(pt.x), std::fabs(pt.y), std::fabs(pt.z), t});
    const Query q{pt, tol, t, kRelMargin * scale + kTinyMargin, std::fabs(pt.z - m_elevation)};
    // Straight segments farther than t from the ray are never met, arcs farther than 2t: a
    // point found near both the arc and the ray lies within 2t of each.
    const double band = t + q.m, reach = 2 * t + q.m;
    if (q.zGap > reach || pt.y < m_ylo - reach || pt.y > m_yhi + reach || pt.x < m_xlo - reach) return -1;

    const Probe probe(pt, tol);
    int count = 0;
    for (unsigned i = 0; i < m_count; ++i) {
        const Seg& s = m_segs[i];
        const double away = s.arc ? reach : band;
        if (q.zGap > away || s.ylo - pt.y > away || pt.y - s.yhi > away || s.xlo - pt.x > away) continue;
        int c = s.arc ? arcQuickly(s, q) : lineQuickly(s, q);
        if (c == kUndecided) c = SegmentExactly(s, probe);
        if (c < 0) return 0;
        count += c;
    }
    return count % 2 == 1 ? 1 : -1;
}

int IsPtInPolylineByRay(AcDbPolyline* pline, AcGePoint3d pt, double tol)
{
    if (!pline) return -1;
    return CRayBoundary(pline).Classify(pt, tol);
}
