#pragma once
// An axis-aligned box. A default-constructed box is empty: adding a point makes it that point.
#include "host/ge/AcGeVectors.h"

class AcDbExtents {
public:
    AcDbExtents();
    AcDbExtents(const AcGePoint3d& min, const AcGePoint3d& max) : m_min(min), m_max(max) {}
    AcGePoint3d minPoint() const { return m_min; }
    AcGePoint3d maxPoint() const { return m_max; }
    bool isValid() const { return m_min.x <= m_max.x && m_min.y <= m_max.y && m_min.z <= m_max.z; }
    void set(const AcGePoint3d& min, const AcGePoint3d& max) { m_min = min; m_max = max; }
    void addPoint(const AcGePoint3d& p);
    void addExt(const AcDbExtents& e);  // an empty box adds nothing
    void transformBy(const AcGeMatrix3d& m);  // the box of the transformed corners
    // Boxes that touch or overlap within tol.
    bool intersects(const AcDbExtents& e, double tol = 0.0) const;
    bool contains(const AcGePoint3d& p, double tol = 0.0) const;

private:
    AcGePoint3d m_min, m_max;
};
