#include "siblings/services/VKToolKit.h"

#include <algorithm>
#include <cstdint>
#include <cmath>
#include <memory>
#include <numbers>

#include "host/db/AcDb.h"
#include "host/ge/Bulge.h"

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

// The chord's length as AcGePoint3d::distanceTo gives it, computed here without a call.
double ChordLength(double ax, double ay, double bx, double by)
{
    const double dx = ax - bx, dy = ay - by;
    return std::sqrt(dx * dx + dy * dy);
}

bool IsArc(double ax, double ay, double bx, double by, double bulge)
{
    return std::abs(bulge) > 1e-12 && ChordLength(ax, ay, bx, by) > 1e-12;
}

bool IsArc(const Seg& s) { return IsArc(s.a.x, s.a.y, s.b.x, s.b.y, s.bulge); }

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

// The winding-number test as written first: every segment's distance through the host's
// geometry, then the angles the segments sweep as seen from the point. It decides whatever
// the quick test below cannot settle.
int PointBySweep(const AcDbPolyline* pline, const AcGePoint3d& pt, double tol)
{
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

// The same answer from plain arithmetic on the outline as read: a segment whose box (grown by
// the tolerance) misses the point cannot be within the tolerance of it, and the winding number
// is counted from the crossings of a ray towards +X (an arc adds its chord, plus a turn when the
// point lies between chord and arc). Each sign is taken with a margin of 1e-9 of the squared
// size of the figures, far above the rounding of either computation; a question whose answer
// falls within the margin, values too large or too small to bound, or a long outline send the
// point to PointBySweep.
constexpr unsigned kQuickSegs = 32;
constexpr double kLargest = 1e9;
constexpr double kMargin = 1e-9;

struct QuickSeg {
    double ax, ay, bx, by, bulge;
    bool arc;
    double xlo, xhi, ylo, yhi;  // holds the segment
    double cx, cy, r;           // arcs: the circle
    double bow;                 // arcs: the chord's cross product with the arc's middle, unsigned

    Seg seg() const { return {AcGePoint3d(ax, ay, 0), AcGePoint3d(bx, by, 0), bulge}; }
    double cross(const AcGePoint3d& p) const { return (bx - ax) * (p.y - ay) - (by - ay) * (p.x - ax); }
};

enum { kUnsure = 2 };

// Winding contribution of one segment, or kUnsure.
int Crossings(const QuickSeg& q, const AcGePoint3d& p, double m2)
{
    const double cross = q.cross(p);
    int w = 0;
    const bool up = q.ay <= p.y && p.y < q.by, down = q.by <= p.y && p.y < q.ay;
    if (up || down || q.arc) {
        if (std::fabs(cross) <= m2) return kUnsure;
        if (up && cross > 0) w = 1;
        if (down && cross < 0) w = -1;
    }
    if (!q.arc) return w;
    const double dx = p.x - q.cx, dy = p.y - q.cy, d2 = dx * dx + dy * dy, r2 = q.r * q.r;
    if (std::fabs(d2 - r2) <= m2) return kUnsure;
    // The arc lies on the right of its chord when it turns counter-clockwise.
    const bool arcSide = (cross > 0) == (q.bulge < 0);
    if (d2 < r2 && arcSide) w += q.bulge > 0 ? 1 : -1;
    return w;
}

bool ReadQuick(const AcDbPolyline* pl, QuickSeg* out, unsigned n, double& scale)
{
    const bool closed = pl->isClosed();
    AcGePoint2d pts[kQuickSegs];
    double bulges[kQuickSegs];
    if (pl->getPointsAndBulges(pts, bulges, n) != n) return false;
    AcGePoint2d a2 = pts[0];
    for (unsigned i = 0; i < n; ++i) {
        const AcGePoint2d b2 = i + 1 < n ? pts[i + 1] : pts[0];
        // An open polyline is taken as closed by a straight last segment.
        const double bulge = i + 1 < n || closed ? bulges[i] : 0.0;
        QuickSeg& q = out[i];
        if (!(std::fabs(a2.x) <= kLargest && std::fabs(a2.y) <= kLargest && std::fabs(bulge) <= kLargest))
            return false;
        q.ax = a2.x, q.ay = a2.y, q.bx = b2.x, q.by = b2.y, q.bulge = bulge;
        scale = std::max({scale, std::fabs(a2.x), std::fabs(a2.y)});
        q.arc = IsArc(a2.x, a2.y, b2.x, b2.y, bulge);
        q.xlo = std::min(a2.x, b2.x), q.xhi = std::max(a2.x, b2.x);
        q.ylo = std::min(a2.y, b2.y), q.yhi = std::max(a2.y, b2.y);
        a2 = b2;
        q.cx = q.cy = q.r = q.bow = 0;
        if (!q.arc) continue;
        if (std::fabs(bulge) < 1e-6 || std::fabs(bulge) > 1e6) return false;
        const double dx = q.bx - q.ax, dy = q.by - q.ay;
        const vkge::BulgeCentre c = vkge::ArcCentreFromBulge(q.ax, q.ay, q.bx, q.by, bulge);
        q.cx = c.x;
        q.cy = c.y;
        q.r = std::sqrt((q.ax - q.cx) * (q.ax - q.cx) + (q.ay - q.cy) * (q.ay - q.cy));  // no overflow below kLargest
        q.bow = 0.5 * std::fabs(bulge) * (dx * dx + dy * dy);
        if (!(q.r <= kLargest)) return false;
        scale = std::max({scale, std::fabs(q.cx) + q.r, std::fabs(q.cy) + q.r});
        if (std::fabs(bulge) <= 1) {
            // Up to a half circle the arc stays within its rise of the chord.
            const double rise = 0.5 * std::fabs(bulge) * std::sqrt(dx * dx + dy * dy) * (1 + 1e-9);
            q.xlo -= rise, q.xhi += rise, q.ylo -= rise, q.yhi += rise;
        } else {
            q.xlo = q.cx - q.r, q.xhi = q.cx + q.r, q.ylo = q.cy - q.r, q.yhi = q.cy + q.r;
        }
    }
    return true;
}

// Whether p lies within t of the segment: 1 yes, 0 no, kUnsure too close to call. Squared
// distances are compared with the squared bounds t + m and t - m (t is far above m).
int WithinQuickly(const QuickSeg& q, const AcGePoint3d& p, double t, double m)
{
    const double out = (t + m) * (t + m);
    if (q.arc) {
        // No farther from the circle than from the arc: outside the ring of the circle +- (t + m)
        // the arc is out of reach.
        const double dx = p.x - q.cx, dy = p.y - q.cy, d2 = dx * dx + dy * dy;
        const double outer = q.r + t + m, inner = q.r - t - m;
        return d2 > outer * outer || (inner > 0 && d2 < inner * inner) ? 0 : kUnsure;
    }
    const double dx = q.bx - q.ax, dy = q.by - q.ay, len2 = dx * dx + dy * dy;
    double u = len2 > 0 ? ((p.x - q.ax) * dx + (p.y - q.ay) * dy) / len2 : 0;
    u = std::clamp(u, 0.0, 1.0);
    const double ex = p.x - (q.ax + u * dx), ey = p.y - (q.ay + u * dy), d2 = ex * ex + ey * ey;
    if (d2 > out) return 0;
    if (d2 < (t - m) * (t - m)) return 1;
    return kUnsure;
}

// An outline as the quick test reads it, kept for the next points: a selection asks about
// many points against one boundary, and reading the outline costs more than a point's test.
struct QuickOutline {
    std::uint64_t stamp = 0;  // the polyline's outline stamp when read; 0 for nothing read yet
    bool quick = false;       // within the quick test's limits
    unsigned n = 0;
    double scale = 0;         // the largest magnitude among the figures
    double xlo = 0, xhi = 0, ylo = 0, yhi = 0;  // the segments' boxes together
    QuickSeg segs[kQuickSegs];
};

const QuickOutline& ReadQuickOutline(const AcDbPolyline* pline)
{
    thread_local const std::unique_ptr<QuickOutline> held = std::make_unique<QuickOutline>();
    QuickOutline& outline = *held;
    if (outline.stamp == pline->outlineStamp()) return outline;
    outline.stamp = pline->outlineStamp();
    outline.n = pline->numVerts();
    outline.scale = 0;
    outline.quick = outline.n <= kQuickSegs && ReadQuick(pline, outline.segs, outline.n, outline.scale);
    if (!outline.quick) return outline;
    outline.xlo = outline.ylo = HUGE_VAL;
    outline.xhi = outline.yhi = -HUGE_VAL;
    for (unsigned i = 0; i < outline.n; ++i) {
        const QuickSeg& q = outline.segs[i];
        outline.xlo = std::min(outline.xlo, q.xlo), outline.xhi = std::max(outline.xhi, q.xhi);
        outline.ylo = std::min(outline.ylo, q.ylo), outline.yhi = std::max(outline.yhi, q.yhi);
    }
    return outline;
}

// 1, 0 or -1 as PointBySweep, or kUnsure.
int PointQuickly(const AcDbPolyline* pline, const AcGePoint3d& pt, double tol)
{
    const QuickOutline& outline = ReadQuickOutline(pline);
    if (!outline.quick) return kUnsure;
    const unsigned n = outline.n;
    const QuickSeg* segs = outline.segs;
    const double t = std::fabs(tol);
    if (!(std::fabs(pt.x) <= kLargest && std::fabs(pt.y) <= kLargest && t <= kLargest)) return kUnsure;
    const double scale = std::max({1.0, std::fabs(pt.x), std::fabs(pt.y), t, outline.scale});
    const double m = kMargin * scale, m2 = kMargin * scale * scale;
    if (t < 1e3 * m) return kUnsure;  // a tolerance lost in the rounding of the figures
    const AcGePoint3d p(pt.x, pt.y, 0);
    const double reach = t + m;
    // Beyond the reach of every side the point is outside: no side comes within the tolerance,
    // and the outline winds around nothing there.
    if (p.x < outline.xlo - reach || p.x > outline.xhi + reach || p.y < outline.ylo - reach || p.y > outline.yhi + reach)
        return -1;
    for (unsigned i = 0; i < n; ++i) {
        const QuickSeg& q = segs[i];
        if (q.arc && q.bow <= 1e3 * m2) return kUnsure;  // too flat to tell its side
        // Bitwise, not short-circuit: the outcome varies from point to point, a branch would not.
        if ((p.x < q.xlo - reach) | (p.x > q.xhi + reach) | (p.y < q.ylo - reach) | (p.y > q.yhi + reach)) continue;
        int within = WithinQuickly(q, p, t, m);
        if (within == kUnsure) within = DistanceTo(q.seg(), p) <= t;
        if (within) return 0;
    }
    int winding = 0;
    for (unsigned i = 0; i < n; ++i) {
        const int w = Crossings(segs[i], p, m2);
        if (w == kUnsure) return kUnsure;
        winding += w;
    }
    return winding != 0 ? 1 : -1;
}

}  // namespace

int VKToolKit::IsPtInPolyline(const AcDbPolyline* pline, const AcGePoint3d& pt, double tol)
{
    if (!pline || pline->numVerts() < 2) return -1;
    const int quick = PointQuickly(pline, pt, tol);
    return quick != kUnsure ? quick : PointBySweep(pline, pt, tol);
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
