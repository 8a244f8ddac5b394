#include "host/ge/AcDbExtents.h"

#include <algorithm>

#include "host/ge/AcGeMatrix3d.h"

namespace {
// Finite on purpose: an empty box stays empty through arithmetic instead of turning into NaN.
constexpr double kHuge = 1e20;
}

AcDbExtents::AcDbExtents() : m_min(kHuge, kHuge, kHuge), m_max(-kHuge, -kHuge, -kHuge) {}

void AcDbExtents::addPoint(const AcGePoint3d& p) {
    for (int i = 0; i < 3; ++i) {
        m_min[i] = std::min(m_min[i], p[i]);
        m_max[i] = std::max(m_max[i], p[i]);
    }
}

void AcDbExtents::addExt(const AcDbExtents& e) {
    if (!e.isValid()) return;
    addPoint(e.m_min);
    addPoint(e.m_max);
}

void AcDbExtents::transformBy(const AcGeMatrix3d& m) {
    if (!isValid()) return;
    const AcGePoint3d lo = m_min, hi = m_max;
    *this = AcDbExtents();
    for (int corner = 0; corner < 8; ++corner) {
        AcGePoint3d p((corner & 1) ? hi.x : lo.x, (corner & 2) ? hi.y : lo.y, (corner & 4) ? hi.z : lo.z);
        addPoint(m * p);
    }
}

bool AcDbExtents::intersects(const AcDbExtents& e, double tol) const {
    if (!isValid() || !e.isValid()) return false;
    for (int i = 0; i < 3; ++i)
        if (m_min[i] > e.m_max[i] + tol || e.m_min[i] > m_max[i] + tol) return false;
    return true;
}

bool AcDbExtents::contains(const AcGePoint3d& p, double tol) const {
    if (!isValid()) return false;
    for (int i = 0; i < 3; ++i)
        if (p[i] < m_min[i] - tol || p[i] > m_max[i] + tol) return false;
    return true;
}
