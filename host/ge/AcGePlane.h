#pragma once
#include "host/ge/AcGeVectors.h"

// An unbounded plane through a point with a normal; its u and v axes span it.
class AcGePlane {
public:
    AcGePlane();  // the XY plane
    AcGePlane(const AcGePoint3d& origin, const AcGeVector3d& normal);
    AcGePlane(const AcGePoint3d& origin, const AcGeVector3d& uAxis, const AcGeVector3d& vAxis);
    static const AcGePlane kXYPlane, kYZPlane, kZXPlane;

    AcGeVector3d normal() const { return m_normal; }
    AcGePoint3d pointOnPlane() const { return m_origin; }
    AcGeVector3d uAxis() const { return m_u; }
    AcGeVector3d vAxis() const { return m_v; }
    double signedDistanceTo(const AcGePoint3d& p) const;
    double distanceTo(const AcGePoint3d& p) const;
    AcGePoint3d closestPointTo(const AcGePoint3d& p) const;
    bool isOn(const AcGePoint3d& p, const AcGeTol& tol = AcGeContext::gTol) const;

private:
    AcGePoint3d m_origin;
    AcGeVector3d m_normal{0, 0, 1};
    AcGeVector3d m_u{1, 0, 0};
    AcGeVector3d m_v{0, 1, 0};
};
