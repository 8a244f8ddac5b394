#include <algorithm>
#include <cmath>
#include <numbers>

#include "host/ge/AcGeCurves.h"
#include "host/ge/AcGeMatrix3d.h"
#include "host/ge/Bulge.h"
#include "host/ge/GeLinearPiece.h"

using ge_detail::LinearPiece;

namespace {
constexpr double kTwoPi = 2 * std::numbers::pi;
// Slack on angle comparisons so that an arc's own end points count as within its angles.
constexpr double kAngleSlack = 1e-12;

double normalizeAngle(double a) {
    a = std::fmod(a, kTwoPi);
    if (a < 0) a += kTwoPi;
    return a >= kTwoPi ? 0.0 : a;
}

// Where an unbounded curve meets the arc's full circle within tol. A touch within tol of
// the radius is one point; when the curves also truly cross there, the crossings stand by
// in case the bounded arc ends before the touch point but still reaches a crossing.
struct Candidates {
    AcGePoint3d pts[2];
    int count = 0;
    bool touch = false;
    AcGePoint3d crossings[2];
    int crossingCount = 0;
};

// The circle and the line base + t*dir, points in increasing t.
Candidates circleLineCandidates(const AcGeCircArc3d& arc, const AcGePoint3d& base, const AcGeVector3d& dir,
                                const AcGeTol& tol) {
    Candidates out;
    const double tolP = tol.equalPoint();
    const AcGeVector3d n = arc.normal();
    const AcGePoint3d c = arc.center();
    const double r = arc.radius();
    const double dn = dir.normal().dotProduct(n);
    if (std::fabs(dn) > tol.equalVector()) {
        // The line pierces the arc's plane in one point.
        const double t = (c - base).dotProduct(n) / dir.dotProduct(n);
        out.pts[0] = base + dir * t;
        out.count = 1;
        return out;
    }
    const double h = (base - c).dotProduct(n);
    if (std::fabs(h) > tolP) return out;  // runs beside the plane
    const double tf = (c - base).dotProduct(dir) / dir.dotProduct(dir);
    const AcGePoint3d foot = base + dir * tf;
    AcGeVector3d radial = foot - c;
    radial -= n * radial.dotProduct(n);
    const double dist = radial.length();
    if (dist > r + tolP) return out;
    AcGePoint3d crossing[2];
    if (dist < r) {
        const double half = std::sqrt(r * r - dist * dist) / dir.length();
        crossing[0] = base + dir * (tf - half);
        crossing[1] = base + dir * (tf + half);
    }
    if (std::fabs(dist - r) <= tolP) {
        out.pts[0] = foot;
        out.count = 1;
        out.touch = true;
        out.crossingCount = dist < r ? 2 : 0;
        std::copy(crossing, crossing + 2, out.crossings);
        return out;
    }
    std::copy(crossing, crossing + 2, out.pts);
    out.count = 2;
    return out;
}

AcGePoint3d mid(const AcGePoint3d& a, const AcGePoint3d& b) { return a + (b - a) * 0.5; }
}  // namespace

AcGeCircArc3d::AcGeCircArc3d(const AcGePoint3d& center, const AcGeVector3d& normal, double radius)
    : AcGeCircArc3d(center, normal, normal.perpVector(), radius, 0.0, kTwoPi) {}

AcGeCircArc3d::AcGeCircArc3d(const AcGePoint3d& center, const AcGeVector3d& normal,
                             const AcGeVector3d& refVec, double radius, double startAngle, double endAngle)
    : m_center(center), m_radius(radius), m_start(startAngle), m_end(endAngle) {
    m_normal = normal.normal();
    if (m_normal.isZeroLength()) m_normal = AcGeVector3d(0, 0, 1);
    // The reference vector must lie in the arc's plane.
    m_ref = (refVec - m_normal * refVec.dotProduct(m_normal)).normal();
    if (m_ref.isZeroLength()) m_ref = m_normal.perpVector().normal();
    if (m_end < m_start) m_end += kTwoPi * std::ceil((m_start - m_end) / kTwoPi);
}

AcGeCircArc3d::AcGeCircArc3d(const AcGePoint3d& start, const AcGePoint3d& mid, const AcGePoint3d& end) {
    const AcGeVector3d ab = mid - start, ac = end - start;
    const AcGeVector3d n = ab.crossProduct(ac);
    const double n2 = n.lengthSqrd();
    if (n2 == 0.0) {  // collinear points make no circle: a degenerate arc at the start
        m_center = start;
        return;
    }
    // Circumcentre; the normal makes start -> mid -> end counter-clockwise.
    m_center = start + (n.crossProduct(ab) * ac.lengthSqrd() + ac.crossProduct(n) * ab.lengthSqrd()) / (2 * n2);
    m_normal = n.normal();
    m_radius = start.distanceTo(m_center);
    m_ref = (start - m_center).normal();
    m_start = 0.0;
    m_end = m_ref.angleTo(end - m_center, m_normal);
    if (m_end == 0.0) m_end = kTwoPi;
}

AcGeCircArc3d AcGeCircArc3d::fromBulge(const AcGePoint3d& start, const AcGePoint3d& end, double bulge) {
    if (bulge == 0.0) return AcGeCircArc3d(start, start, start);  // no arc: degenerate
    const vkge::BulgeCentre c = vkge::ArcCentreFromBulge(start.x, start.y, end.x, end.y, bulge);
    const AcGePoint3d center(c.x, c.y, start.z);
    const double radius = std::hypot(start.x - center.x, start.y - center.y);
    const double included = 4.0 * std::atan(std::fabs(bulge));
    const AcGeVector3d normal(0, 0, bulge > 0 ? 1.0 : -1.0);
    AcGeCircArc3d arc(center, normal, AcGeVector3d(1, 0, 0), radius, 0.0, included);
    const double startAng = arc.m_ref.angleTo(start - center, normal);
    arc.m_start = startAng;
    arc.m_end = startAng + included;
    return arc;
}

AcGePoint3d AcGeCircArc3d::evalPoint(double angle) const {
    const AcGeVector3d yAxis = m_normal.crossProduct(m_ref);
    return m_center + (m_ref * std::cos(angle) + yAxis * std::sin(angle)) * m_radius;
}

AcGePoint3d AcGeCircArc3d::startPoint() const { return evalPoint(m_start); }
AcGePoint3d AcGeCircArc3d::endPoint() const { return evalPoint(m_end); }
AcGePoint3d AcGeCircArc3d::midPoint() const { return evalPoint((m_start + m_end) * 0.5); }
double AcGeCircArc3d::length() const { return m_radius * (m_end - m_start); }

AcGePlane AcGeCircArc3d::getPlane() const {
    return AcGePlane(m_center, m_ref, m_normal.crossProduct(m_ref));
}

AcGePoint3d AcGeCircArc3d::closestPointTo(const AcGePoint3d& p, const AcGeTol&) const {
    AcGeVector3d v = p - m_center;
    v -= m_normal * v.dotProduct(m_normal);
    const double len = v.length();
    if (len == 0.0) return startPoint();  // every point of the circle is as near
    const double sweep = m_end - m_start;
    const AcGeVector3d yAxis = m_normal.crossProduct(m_ref);
    const double rel = normalizeAngle(std::atan2(v.dotProduct(yAxis), v.dotProduct(m_ref)) - m_start);
    if (sweep >= kTwoPi || rel <= sweep + kAngleSlack) return m_center + v * (m_radius / len);
    const AcGePoint3d s = startPoint(), e = endPoint();
    return p.distanceTo(s) <= p.distanceTo(e) ? s : e;
}

double AcGeCircArc3d::distanceTo(const AcGePoint3d& p, const AcGeTol& tol) const {
    return p.distanceTo(closestPointTo(p, tol));
}

bool AcGeCircArc3d::isOn(const AcGePoint3d& p, const AcGeTol& tol) const {
    return distanceTo(p, tol) <= tol.equalPoint();
}

AcGeCircArc3d& AcGeCircArc3d::transformBy(const AcGeMatrix3d& m) {
    // Carry the arc's frame; a mirror flips the normal so the points keep their order.
    const AcGeVector3d x = m * m_ref;
    const AcGeVector3d y = m * m_normal.crossProduct(m_ref);
    m_center.transformBy(m);
    m_radius *= x.length();
    m_ref = x.normal();
    m_normal = x.crossProduct(y).normal();
    return *this;
}

namespace {
// Keeps the candidates that lie on both curves within tol.
template <class OnOther>
bool keepCommon(const AcGeCircArc3d& arc, const Candidates& cand, const AcGeTol& tol, OnOther onOther,
                int& numInt, AcGePoint3d& p1, AcGePoint3d& p2) {
    const auto common = [&](const AcGePoint3d& q) { return arc.distanceTo(q) <= tol.equalPoint() && onOther(q); };
    AcGePoint3d* outs[2] = {&p1, &p2};
    numInt = 0;
    for (int i = 0; i < cand.count; ++i)
        if (common(cand.pts[i])) *outs[numInt++] = cand.pts[i];
    if (cand.touch && numInt == 0) {
        for (int i = 0; i < cand.crossingCount && numInt == 0; ++i)
            if (common(cand.crossings[i])) *outs[numInt++] = cand.crossings[i];
    }
    return numInt > 0;
}

Candidates pointCandidate(const AcGePoint3d& p) {
    Candidates c;
    c.pts[0] = p;
    c.count = 1;
    return c;
}
}  // namespace

bool AcGeCircArc3d::intersectWith(const AcGeLineSeg3d& seg, int& numInt, AcGePoint3d& p1, AcGePoint3d& p2,
                                  const AcGeTol& tol) const {
    const LinearPiece piece = LinearPiece::segment(seg.startPoint(), seg.endPoint());
    const Candidates cand = piece.dir.lengthSqrd() == 0.0
                                ? pointCandidate(piece.base)
                                : circleLineCandidates(*this, piece.base, piece.dir, tol);
    return keepCommon(*this, cand, tol,
                      [&](const AcGePoint3d& q) { return piece.distanceTo(q) <= tol.equalPoint(); },
                      numInt, p1, p2);
}

bool AcGeCircArc3d::intersectWith(const AcGeRay3d& ray, int& numInt, AcGePoint3d& p1, AcGePoint3d& p2,
                                  const AcGeTol& tol) const {
    const LinearPiece piece = LinearPiece::ray(ray.basePoint(), ray.direction());
    const Candidates cand = piece.dir.lengthSqrd() == 0.0
                                ? pointCandidate(piece.base)
                                : circleLineCandidates(*this, piece.base, piece.dir, tol);
    return keepCommon(*this, cand, tol,
                      [&](const AcGePoint3d& q) { return piece.distanceTo(q) <= tol.equalPoint(); },
                      numInt, p1, p2);
}

bool AcGeCircArc3d::intersectWith(const AcGeCircArc3d& arc, int& numInt, AcGePoint3d& p1, AcGePoint3d& p2,
                                  const AcGeTol& tol) const {
    numInt = 0;
    const double tolP = tol.equalPoint();
    const auto onOther = [&](const AcGePoint3d& q) { return arc.distanceTo(q) <= tolP; };
    Candidates cand;
    if (!m_normal.isParallelTo(arc.m_normal, tol)) {
        // Tilted planes meet in a line; the common points lie on it.
        const AcGeVector3d& n1 = m_normal;
        const AcGeVector3d& n2 = arc.m_normal;
        const double k = n1.dotProduct(n2);
        const double d1 = n1.dotProduct(m_center.asVector()), d2 = n2.dotProduct(arc.m_center.asVector());
        const AcGeVector3d onBoth = (n1 * (d1 - d2 * k) + n2 * (d2 - d1 * k)) / (1.0 - k * k);
        cand = circleLineCandidates(*this, AcGePoint3d::kOrigin + onBoth, n1.crossProduct(n2).normal(), tol);
    } else {
        const double h = (arc.m_center - m_center).dotProduct(m_normal);
        if (std::fabs(h) > tolP) return false;
        const AcGePoint3d c2 = arc.m_center - m_normal * h;
        const double r1 = m_radius, r2 = arc.m_radius;
        const double d = c2.distanceTo(m_center);
        if (d <= tolP) return false;  // concentric: overlapping or apart, never isolated points
        const AcGeVector3d u = (c2 - m_center) / d;
        const AcGeVector3d v = m_normal.crossProduct(u);
        const bool crossing = d <= r1 + r2 && d >= std::fabs(r1 - r2);
        AcGePoint3d crossings[2];
        if (crossing) {
            const double a = (d * d + r1 * r1 - r2 * r2) / (2 * d);
            const double hh = std::sqrt(std::max(0.0, r1 * r1 - a * a));
            crossings[0] = m_center + u * a - v * hh;
            crossings[1] = m_center + u * a + v * hh;
        }
        if (std::fabs(d - (r1 + r2)) <= tolP || std::fabs(d - std::fabs(r1 - r2)) <= tolP) {
            // Tangent within tol: the middle of the nearest pair of points on the centre line.
            double best = -1;
            for (double s1 : {1.0, -1.0})
                for (double s2 : {1.0, -1.0}) {
                    const AcGePoint3d a = m_center + u * (s1 * r1), b = c2 + u * (s2 * r2);
                    if (best < 0 || a.distanceTo(b) < best) {
                        best = a.distanceTo(b);
                        cand.pts[0] = mid(a, b);
                    }
                }
            cand.count = 1;
            cand.touch = true;
            cand.crossingCount = crossing ? 2 : 0;
            std::copy(crossings, crossings + 2, cand.crossings);
        } else if (!crossing) {
            return false;
        } else {
            std::copy(crossings, crossings + 2, cand.pts);
            cand.count = 2;
        }
    }
    if (!keepCommon(*this, cand, tol, onOther, numInt, p1, p2)) return false;
    // Report in the order met along this arc from its start.
    if (numInt == 2) {
        const AcGeVector3d yAxis = m_normal.crossProduct(m_ref);
        const auto along = [&](const AcGePoint3d& q) {
            const AcGeVector3d v = q - m_center;
            // Measured from opposite the arc's middle, so points a little before the start sort first.
            const double middle = (m_start + m_end) * 0.5;
            return normalizeAngle(std::atan2(v.dotProduct(yAxis), v.dotProduct(m_ref)) - middle + std::numbers::pi);
        };
        if (along(p2) < along(p1)) std::swap(p1, p2);
    }
    return true;
}
