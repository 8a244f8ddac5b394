#include "module/selection/PtInPolylineByRay.h"

#include <algorithm>
#include <cmath>

#include "host/ge/Bulge.h"
#include "module/interfaces/SelectionInterfaces.h"

// The full test of a segment goes through the host's 3-D segments, arcs and rays with their
// tolerances. The quick decisions below stand in for it only where the answer is certain with
// room to spare: every distance is compared with a margin far above the rounding of either
// computation (relative 1e-9 of the largest magnitude involved, where the rounding stays below
// 1e-12), and whatever falls within a margin goes to the full test. So both answer alike.

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

// The ray from the point towards -X, with the tolerances of the full test.
struct Probe {
    AcGePoint3d pt;
    AcGeRay3d ray;
    AcGeTol tol;
    double near;
    Probe(const AcGePoint3d& p, double t)
        : pt(p), ray(p, -AcGeVector3d::kXAxis), tol(t, kRayAngleTol), near(std::fabs(t)) {}
    bool passesNear(const AcGePoint3d& p) const { return ray.distanceTo(p) < near; }
    bool passesNear(const AcGeLineSeg3d& seg) const { return ray.distanceTo(seg) < near; }
};

// Crossings of a straight edge; -1 when the point lies on it. An edge met at a vertex
// counts only at its upper end, so a vertex passed through counts once.
int lineCrossings(const Probe& r, const AcGeLineSeg3d& seg)
{
    if (seg.isOn(r.pt, r.tol)) return -1;
    if (seg.direction().isParallelTo(AcGeVector3d::kXAxis, r.tol)) return 0;
    const AcGePoint3d s = seg.startPoint(), e = seg.endPoint();
    if (r.passesNear(s)) return e.y < s.y ? 1 : 0;
    if (r.passesNear(e)) return s.y < e.y ? 1 : 0;
    return r.passesNear(seg) ? 1 : 0;
}

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

// The full test of one segment as read.
int segmentExactly(const CRayBoundary::Seg& s, double elevation, const Probe& probe)
{
    const AcGePoint3d a(s.x0, s.y0, elevation), b(s.x1, s.y1, elevation);
    if (s.arc) return arcCrossings(probe, AcGeCircArc3d::fromBulge(a, b, s.bulge));
    return lineCrossings(probe, AcGeLineSeg3d(a, b));
}

// The host's parallel test of a straight segment against X, with the ray test's angle.
bool parallelToX(double dx, double dy)
{
    const double slope2 = dy * dy / (dx * dx + dy * dy);
    if (slope2 < kParallelBelow) return true;
    if (slope2 > kParallelAbove) return false;
    const AcGeVector3d d = AcGeVector3d(dx, dy, 0).normal();
    return d.isParallelTo(AcGeVector3d::kXAxis, AcGeTol(1.0, kRayAngleTol));
}

// What a point sees of one segment, given everything the quick decisions need.
struct Query {
    const AcGePoint3d& pt;
    double tol;   // as given
    double t;     // its absolute value
    double zGap;  // distance from the boundary's plane
    double m;     // rounding margin
};

// Whether a distance measured here (to within far less than the margin) is below t: 1, 0,
// or undecided when it lies within the margin of t. Taken by its square d2.
int below(double d2, double t, double m)
{
    const double lo = t - m, hi = t + m;
    if (lo > 0 && d2 < lo * lo) return 1;
    if (hi < 0 || d2 > hi * hi) return 0;
    return kUndecided;
}

// A straight segment: the same questions as the full test, each answered from distances
// measured here, in the plan and across the gap between the point's and the boundary's planes.
int lineQuickly(const CRayBoundary::Seg& s, const Query& q)
{
    const double m = q.m;
    const double dx = s.x1 - s.x0, dy = s.y1 - s.y0;
    const double px = q.pt.x - s.x0, py = q.pt.y - s.y0;
    const double u = std::clamp((px * dx + py * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    const double ex = px - u * dx, ey = py - u * dy;
    const double z2 = q.zGap * q.zGap;
    const double toSeg2 = ex * ex + ey * ey;  // squared, in the plan
    const int on = below(toSeg2 + z2, q.tol, m);
    if (on != 0) return on == 1 ? -1 : kUndecided;
    if (parallelToX(dx, dy)) return 0;
    // From the ray to a point of the plan: across when it lies behind the ray's start, else
    // from the start.
    const auto fromRay2 = [&](double x, double y) {
        const double h = x > q.pt.x ? x - q.pt.x : 0.0, v = y - q.pt.y;
        return h * h + v * v;
    };
    const double toStart2 = fromRay2(s.x0, s.y0), toEnd2 = fromRay2(s.x1, s.y1);
    int n = below(toStart2 + z2, q.t, m);
    if (n != 0) return n == 1 ? (s.y1 < s.y0 ? 1 : 0) : kUndecided;
    n = below(toEnd2 + z2, q.t, m);
    if (n != 0) return n == 1 ? (s.y0 < s.y1 ? 1 : 0) : kUndecided;
    // In the plan the ray and the segment cross, or are nearest at an end of one of them.
    const double a = s.y0 - q.pt.y, b = s.y1 - q.pt.y;
    const bool crosses = ((a <= 0 && b >= 0) || (a >= 0 && b <= 0)) && s.x0 - a * (dx / dy) <= q.pt.x;
    const double plan2 = crosses ? 0.0 : std::min({toSeg2, toStart2, toEnd2});
    return below(plan2 + z2, q.t, m);
}

// An arc whose ends both lie clearly above or below the ray's height: the ray's line meets the
// circle twice or not at all, and each meeting point the arc holds is a crossing when it lies
// on the ray. A lone crossing is never tangential here (it is checked for a flat arc).
int arcQuickly(const CRayBoundary::Seg& s, const Query& q)
{
    const double dx = s.x1 - s.x0, dy = s.y1 - s.y0;
    const double m = q.m + s.margin;
    // The arc holds the circle's points on its side of the chord: the right of start to end
    // for a positive bulge. 1 held, 0 not, undecided too near the chord to tell.
    const double side = s.bulge > 0 ? -1.0 : 1.0;
    const double clear = 4 * m * (std::fabs(dx) + std::fabs(dy));
    const auto held = [&](double x, double y) {
        const double beyond = side * (dx * (y - s.y0) - dy * (x - s.x0));
        return beyond > clear ? 1 : beyond < -clear ? 0 : kUndecided;
    };
    // On the arc: nearest to the point is the circle's point in its direction when the arc
    // holds that, else the nearer end.
    const double dxc = q.pt.x - s.cx, dyc = q.pt.y - s.cy, z2 = q.zGap * q.zGap;
    const double fromCentre = std::sqrt(dxc * dxc + dyc * dyc);
    if (!(fromCentre > m)) return kUndecided;
    const double f = s.radius / fromCentre;
    const int facing = held(s.cx + dxc * f, s.cy + dyc * f);
    if (facing == kUndecided) return kUndecided;
    double toArc2 = 0;  // squared
    if (facing == 1) {
        toArc2 = (fromCentre - s.radius) * (fromCentre - s.radius) + z2;
    } else {
        const auto to2 = [&](double x, double y) {
            return (q.pt.x - x) * (q.pt.x - x) + (q.pt.y - y) * (q.pt.y - y) + z2;
        };
        toArc2 = std::min(to2(s.x0, s.y0), to2(s.x1, s.y1));
    }
    const int on = below(toArc2, q.tol, m);
    if (on != 0) return on == 1 ? -1 : kUndecided;

    if (!(q.tol > 4 * q.m) || s.radius > 1e5 * q.t) return kUndecided;
    const double band = q.t + m;
    if (!(std::fabs(s.y0 - q.pt.y) > band && std::fabs(s.y1 - q.pt.y) > band)) return kUndecided;
    if (std::fabs(dyc) - s.radius > band) return 0;  // the line passes the circle by
    if (!(s.radius - std::fabs(dyc) > band)) return kUndecided;  // it grazes the circle
    const double half = std::sqrt(s.radius * s.radius - dyc * dyc);
    int ahead = 0;
    for (const double x : {s.cx - half, s.cx + half}) {
        const int h = held(x, q.pt.y);
        if (h == kUndecided) return kUndecided;
        if (h == 0) continue;
        if (x < q.pt.x - band)
            ++ahead;
        else if (!(x > q.pt.x + band))
            return kUndecided;
    }
    if (ahead == 0) return 0;
    if (q.zGap > q.tol) return 0;  // the host finds no point off the arc's plane by more
    return q.zGap < q.t - m ? ahead : kUndecided;
}

// Reads segment i (from vertex a to vertex b) as the host's segment types see it; false when
// its ends coincide. The box holds every point the segment's tests can meet.
bool readSegment(const AcDbPolyline* pline, unsigned i, const AcGePoint2d& a, const AcGePoint2d& to, double bulge,
                 CRayBoundary::Seg& s)
{
    const double dx = to.x - a.x, dy = to.y - a.y;
    if (!(std::max(std::fabs(dx), std::fabs(dy)) > AcGeContext::gTol.equalPoint()) &&
        pline->segType(i) == AcDbPolyline::kCoincident)
        return false;
    s.x0 = a.x;
    s.y0 = a.y;
    s.x1 = to.x;
    s.y1 = to.y;
    s.bulge = bulge;
    s.scale = std::max({std::fabs(a.x), std::fabs(a.y), std::fabs(to.x), std::fabs(to.y)});
    s.xlo = std::min(a.x, to.x);
    s.xhi = std::max(a.x, to.x);
    s.ylo = std::min(a.y, to.y);
    s.yhi = std::max(a.y, to.y);
    s.arc = std::fabs(bulge) > kStraightBulge;
    if (!s.arc) {
        s.margin = s.cx = s.cy = s.radius = 0;
        s.quick = moderate(s.scale);
        return true;
    }
    // The circle as the host builds it from the bulge.
    const vkge::BulgeCentre c = vkge::ArcCentreFromBulge(a.x, a.y, to.x, to.y, bulge);
    s.cx = c.x;
    s.cy = c.y;
    s.radius = std::sqrt((a.x - s.cx) * (a.x - s.cx) + (a.y - s.cy) * (a.y - s.cy));
    const double b = std::fabs(bulge), spread = std::fabs(dx) + std::fabs(dy);  // spread: at least the chord
    s.margin = kRelMargin * spread * (1 / b + b);  // four times a bound on the radius
    // The box of the ends and of the circle's extremes that lie on the arc's side of the chord
    // (or too near it to tell).
    const double side = bulge > 0 ? -1.0 : 1.0, doubt = 1e-6 * spread * (spread + s.radius + s.scale);
    const auto held = [&](double x, double y) { return side * (dx * (y - a.y) - dy * (x - a.x)) > -doubt; };
    if (held(s.cx - s.radius, s.cy)) s.xlo = s.cx - s.radius;
    if (held(s.cx + s.radius, s.cy)) s.xhi = s.cx + s.radius;
    if (held(s.cx, s.cy - s.radius)) s.ylo = s.cy - s.radius;
    if (held(s.cx, s.cy + s.radius)) s.yhi = s.cy + s.radius;
    s.xlo -= s.margin;
    s.xhi += s.margin;
    s.ylo -= s.margin;
    s.yhi += s.margin;
    s.quick = moderate(s.scale) && moderate(s.margin) && moderate(s.cx) && moderate(s.cy) && moderate(s.radius);
    return true;
}

// Straight segments farther than t from the ray are never met, arcs farther than 2t: a point
// found near both the arc and the ray lies within 2t of each.
inline bool outOfReach(const CRayBoundary::Seg& s, const Query& q)
{
    const double away = (s.arc ? 2 * q.t : q.t) + q.m;
    return q.zGap > away || s.ylo - q.pt.y > away || q.pt.y - s.yhi > away || s.xlo - q.pt.x > away;
}

// The point's relation to a segment within reach: -1 on it, else the crossings it adds.
int judge(const CRayBoundary::Seg& s, const Query& q, double elevation, const Probe& probe)
{
    if (s.quick) {
        const int c = s.arc ? arcQuickly(s, q) : lineQuickly(s, q);
        if (c != kUndecided) return c;
    }
    return segmentExactly(s, elevation, probe);
}

// The point's own magnitudes; false when the quick decisions cannot be used for it at all.
bool pointScale(const AcGePoint3d& pt, double t, double elevation, double& scale)
{
    scale = std::max({std::fabs(pt.x), std::fabs(pt.y), std::fabs(pt.z), t, std::fabs(elevation)});
    return moderate(pt.x) && moderate(pt.y) && moderate(pt.z) && moderate(t) && moderate(elevation) &&
           defaultGlobalTol();
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
    m_scale = 0;
    m_xlo = m_ylo = HUGE_VAL;
    m_xhi = m_yhi = -HUGE_VAL;
    AcGePoint2d first, from, to;
    pline->getPointAt(0, first);
    from = first;
    for (unsigned i = 0; i < segs; ++i) {
        if (i + 1 < n)
            pline->getPointAt(i + 1, to);
        else
            to = first;
        double bulge = 0;
        pline->getBulgeAt(i, bulge);
        Seg& s = out[m_count];
        const bool read = readSegment(pline, i, from, to, bulge, s);
        from = to;
        if (!read) continue;
        ++m_count;
        m_quick = m_quick && s.quick;
        m_scale = std::max(m_scale, s.scale);
        m_xlo = std::min(m_xlo, s.xlo);
        m_xhi = std::max(m_xhi, s.xhi);
        m_ylo = std::min(m_ylo, s.ylo);
        m_yhi = std::max(m_yhi, s.yhi);
    }
}

int CRayBoundary::Classify(const AcGePoint3d& pt, double tol) const
{
    if (m_null || m_count == 0) return -1;
    const double t = std::fabs(tol);
    const Probe probe(pt, tol);
    double scale = 0;
    int count = 0;
    if (!m_quick || !pointScale(pt, t, m_elevation, scale)) {
        for (unsigned i = 0; i < m_count; ++i) {
            const int c = segmentExactly(m_segs[i], m_elevation, probe);
            if (c < 0) return 0;
            count += c;
        }
        return count % 2 == 1 ? 1 : -1;
    }
    // One margin for every segment, set by the largest magnitudes of all.
    const Query q{pt, tol, t, std::fabs(pt.z - m_elevation), kRelMargin * std::max(scale, m_scale) + kTinyMargin};
    const double reach = 2 * t + q.m;
    if (q.zGap > reach || pt.y < m_ylo - reach || pt.y > m_yhi + reach || pt.x < m_xlo - reach) return -1;
    for (unsigned i = 0; i < m_count; ++i) {
        const Seg& s = m_segs[i];
        if (outOfReach(s, q)) continue;
        const int c = judge(s, q, m_elevation, probe);
        if (c < 0) return 0;
        count += c;
    }
    return count % 2 == 1 ? 1 : -1;
}

int IsPtInPolylineByRay(AcDbPolyline* pline, AcGePoint3d pt, double tol)
{
    if (!pline) return -1;
    // One point: the segments are judged as they are read, none kept.
    const unsigned n = pline->numVerts();
    if (n < 2) return -1;
    const unsigned segs = pline->isClosed() ? n : n - 1;
    const double elevation = pline->elevation(), t = std::fabs(tol);
    const Probe probe(pt, tol);
    Query q{pt, tol, t, std::fabs(pt.z - elevation), 0};
    double scale = 0;
    const bool quick = pointScale(pt, t, elevation, scale);
    AcGePoint2d first, from, to;
    pline->getPointAt(0, first);
    from = first;
    int count = 0;
    CRayBoundary::Seg s;
    for (unsigned i = 0; i < segs; ++i) {
        if (i + 1 < n)
            pline->getPointAt(i + 1, to);
        else
            to = first;
        double bulge = 0;
        pline->getBulgeAt(i, bulge);
        const bool read = readSegment(pline, i, from, to, bulge, s);
        from = to;
        if (!read) continue;
        int c = 0;
        if (quick && s.quick) {
            q.m = kRelMargin * std::max(scale, s.scale) + kTinyMargin;  // this segment's magnitudes
            if (outOfReach(s, q)) continue;
            c = judge(s, q, elevation, probe);
        } else {
            c = segmentExactly(s, elevation, probe);
        }
        if (c < 0) return 0;
        count += c;
    }
    return count % 2 == 1 ? 1 : -1;
}
