#include "host/ge/AcGePlane.h"

#include <cmath>

const AcGePlane AcGePlane::kXYPlane;
const AcGePlane AcGePlane::kYZPlane(AcGePoint3d(0, 0, 0), AcGeVector3d(0, 1, 0), AcGeVector3d(0, 0, 1));
const AcGePlane AcGePlane::kZXPlane(AcGePoint3d(0, 0, 0), AcGeVector3d(0, 0, 1), AcGeVector3d(1, 0, 0));

AcGePlane::AcGePlane() = default;

AcGePlane::AcGePlane(const AcGePoint3d& origin, const AcGeVector3d& normal)
    : m_origin(origin), m_normal(normal.normal()) {
    // The arbitrary-axis rule: the u axis stays stable for normals near the Z axis.
    const double small = 1.0 / 64;
    const AcGeVector3d& n = m_normal;
    const AcGeVector3d ref = (std::fabs(n.x) < small && std::fabs(n.y) < small)
                                 ? AcGeVector3d(0, 1, 0) : AcGeVector3d(0, 0, 1);
    m_u = ref.crossProduct(n).normal();
    m_v = n.crossProduct(m_u).normal();
}

AcGePlane::AcGePlane(const AcGePoint3d& origin, const AcGeVector3d& uAxis, const AcGeVector3d& vAxis)
    : m_origin(origin), m_normal(uAxis.crossProduct(vAxis).normal()), m_u(uAxis), m_v(vAxis) {}

double AcGePlane::signedDistanceTo(const AcGePoint3d& p) const {
    return (p - m_origin).dotProduct(m_normal);
}

double AcGePlane::distanceTo(const AcGePoint3d& p) const { return std::fabs(signedDistanceTo(p)); }

AcGePoint3d AcGePlane::closestPointTo(const AcGePoint3d& p) const {
    return p - m_normal * signedDistanceTo(p);
}

bool AcGePlane::isOn(const AcGePoint3d& p, const AcGeTol& tol) const {
    return distanceTo(p) <= tol.equalPoint();
}
