#include "host/ge/AcGeCurves.h"

namespace {
AcGePoint3d lift(const AcGePoint2d& p) { return {p.x, p.y, 0.0}; }
AcGeLineSeg3d lift(const AcGeLineSeg2d& s) { return {lift(s.startPoint()), lift(s.endPoint())}; }
}  // namespace

AcGeVector2d AcGeLineSeg2d::direction() const { return (m_end - m_start).normal(); }

double AcGeLineSeg2d::length() const { return m_start.distanceTo(m_end); }

bool AcGeLineSeg2d::isOn(const AcGePoint2d& p, const AcGeTol& tol) const {
    return lift(*this).isOn(lift(p), tol);
}

double AcGeLineSeg2d::distanceTo(const AcGePoint2d& p) const { return lift(*this).distanceTo(lift(p)); }

bool AcGeLineSeg2d::intersectWith(const AcGeLineSeg2d& other, AcGePoint2d& p, const AcGeTol& tol) const {
    AcGePoint3d q;
    if (!lift(*this).intersectWith(lift(other), q, tol)) return false;
    p.set(q.x, q.y);
    return true;
}
