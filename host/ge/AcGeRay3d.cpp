#include "host/ge/AcGeCurves.h"
#include "host/ge/AcGeMatrix3d.h"
#include "host/ge/GeLinearPiece.h"

using ge_detail::LinearPiece;

AcGeRay3d& AcGeRay3d::set(const AcGePoint3d& base, const AcGeVector3d& dir) {
    m_base = base;
    m_dir = dir;
    return *this;
}

AcGeVector3d AcGeRay3d::direction() const { return m_dir.normal(); }

bool AcGeRay3d::isOn(const AcGePoint3d& p, const AcGeTol& tol) const {
    return distanceTo(p, tol) <= tol.equalPoint();
}

double AcGeRay3d::distanceTo(const AcGePoint3d& p, const AcGeTol&) const {
    return LinearPiece::ray(m_base, direction()).distanceTo(p);
}

double AcGeRay3d::distanceTo(const AcGeLineSeg3d& seg, const AcGeTol&) const {
    return LinearPiece::ray(m_base, direction())
        .distanceTo(LinearPiece::segment(seg.startPoint(), seg.endPoint()));
}

AcGePoint3d AcGeRay3d::closestPointTo(const AcGePoint3d& p, const AcGeTol&) const {
    return LinearPiece::ray(m_base, direction()).closestPoint(p);
}

AcGeRay3d& AcGeRay3d::transformBy(const AcGeMatrix3d& m) {
    m_base.transformBy(m);
    m_dir.transformBy(m);
    return *this;
}

bool AcGeRay3d::intersectWith(const AcGeLineSeg3d& seg, AcGePoint3d& p, const AcGeTol& tol) const {
    return ge_detail::intersect(LinearPiece::ray(m_base, direction()),
                                LinearPiece::segment(seg.startPoint(), seg.endPoint()), tol, p);
}
