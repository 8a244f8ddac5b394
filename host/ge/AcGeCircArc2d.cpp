#include <cmath>

#include "host/ge/AcGeCurves.h"

namespace {
AcGePoint3d lift(const AcGePoint2d& p) { return {p.x, p.y, 0.0}; }
AcGePoint2d drop(const AcGePoint3d& p) { return {p.x, p.y}; }

// The same arc in the XY plane; a clockwise arc turns counter-clockwise about -Z, where
// world angle a is frame angle -a.
AcGeCircArc3d lift(const AcGeCircArc2d& a) {
    const AcGePoint3d c = lift(a.center());
    if (a.isClockWise())
        return AcGeCircArc3d(c, AcGeVector3d(0, 0, -1), AcGeVector3d(1, 0, 0), a.radius(), -a.startAng(), -a.endAng());
    return AcGeCircArc3d(c, AcGeVector3d(0, 0, 1), AcGeVector3d(1, 0, 0), a.radius(), a.startAng(), a.endAng());
}

AcGePoint2d onCircle(const AcGePoint2d& c, double r, double angle) {
    return {c.x + r * std::cos(angle), c.y + r * std::sin(angle)};
}
}  // namespace

AcGeCircArc2d::AcGeCircArc2d(const AcGePoint2d& center, double radius, double startAngle, double endAngle,
                             bool isClockWise)
    : m_center(center), m_radius(radius), m_start(startAngle), m_end(endAngle), m_cw(isClockWise) {}

AcGeCircArc2d AcGeCircArc2d::fromBulge(const AcGePoint2d& start, const AcGePoint2d& end, double bulge) {
    const AcGeCircArc3d arc = AcGeCircArc3d::fromBulge(lift(start), lift(end), bulge);
    const AcGePoint2d c = drop(arc.center());
    return AcGeCircArc2d(c, arc.radius(), (start - c).angle(), (end - c).angle(), bulge < 0);
}

AcGePoint2d AcGeCircArc2d::startPoint() const { return onCircle(m_center, m_radius, m_start); }
AcGePoint2d AcGeCircArc2d::endPoint() const { return onCircle(m_center, m_radius, m_end); }

bool AcGeCircArc2d::isOn(const AcGePoint2d& p, const AcGeTol& tol) const { return lift(*this).isOn(lift(p), tol); }

bool AcGeCircArc2d::intersectWith(const AcGeLineSeg2d& seg, int& numInt, AcGePoint2d& p1, AcGePoint2d& p2,
                                  const AcGeTol& tol) const {
    AcGePoint3d q1, q2;
    const bool found = lift(*this).intersectWith(AcGeLineSeg3d(lift(seg.startPoint()), lift(seg.endPoint())),
                                                 numInt, q1, q2, tol);
    p1 = drop(q1);
    p2 = drop(q2);
    return found;
}

bool AcGeCircArc2d::intersectWith(const AcGeCircArc2d& arc, int& numInt, AcGePoint2d& p1, AcGePoint2d& p2,
                                  const AcGeTol& tol) const {
    AcGePoint3d q1, q2;
    const bool found = lift(*this).intersectWith(lift(arc), numInt, q1, q2, tol);
    p1 = drop(q1);
    p2 = drop(q2);
    return found;
}
