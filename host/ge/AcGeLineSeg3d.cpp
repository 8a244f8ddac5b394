#include "host/ge/AcGeCurves.h"
#include "host/ge/AcGeMatrix3d.h"
#include "host/ge/GeLinearPiece.h"

using ge_detail::LinearPiece;

AcGeLineSeg3d& AcGeLineSeg3d::set(const AcGePoint3d& start, const AcGePoint3d& end) {
    m_start = start;
    m_end = end;
    return *this;
}

AcGePoint3d AcGeLineSeg3d::midPoint() const { return m_start + (m_end - m_start) * 0.5; }

AcGeVector3d AcGeLineSeg3d::direction() const { return (m_end - m_start).normal(); }

double AcGeLineSeg3d::length() const { return m_start.distanceTo(m_end); }

bool AcGeLineSeg3d::isOn(const AcGePoint3d& p, const AcGeTol& tol) const {
    return distanceTo(p, tol) <= tol.equalPoint();
}

double AcGeLineSeg3d::distanceTo(const AcGePoint3d& p, const AcGeTol&) const {
    return LinearPiece::segment(m_start, m_end).distanceTo(p);
}

double AcGeLineSeg3d::distanceTo(const AcGeLineSeg3d& seg, const AcGeTol&) const {
    return LinearPiece::segment(m_start, m_end).distanceTo(LinearPiece::segment(seg.m_start, seg.m_end));
}

AcGePoint3d AcGeLineSeg3d::closestPointTo(const AcGePoint3d& p, const AcGeTol&) const {
    return LinearPiece::segment(m_start, m_end).closestPoint(p);
}

AcGeLineSeg3d& AcGeLineSeg3d::transformBy(const AcGeMatrix3d& m) {
    m_start.transformBy(m);
    m_end.transformBy(m);
    return *this;
}

bool AcGeLineSeg3d::intersectWith(const AcGeLineSeg3d& other, AcGePoint3d& p, const AcGeTol& tol) const {
    return ge_detail::intersect(LinearPiece::segment(m_start, m_end),
                                LinearPiece::segment(other.m_start, other.m_end), tol, p);
}

bool AcGeLineSeg3d::intersectWith(const AcGeRay3d& ray, AcGePoint3d& p, const AcGeTol& tol) const {
    return ray.intersectWith(*this, p, tol);
}
