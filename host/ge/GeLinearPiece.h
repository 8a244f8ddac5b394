#pragma once
// Internal to the geometry layer: a segment or a ray as base + t * dir with t in [tmin, tmax],
// so segments and rays share one set of distance and intersection routines.
#include <limits>

#include "host/ge/AcGeVectors.h"

namespace ge_detail {

struct LinearPiece {
    AcGePoint3d base;
    AcGeVector3d dir;  // end - start for a segment (t in [0, 1]); unit for a ray (t >= 0)
    double tmin = 0;
    double tmax = 1;

    static LinearPiece segment(const AcGePoint3d& s, const AcGePoint3d& e) { return {s, e - s, 0, 1}; }
    static LinearPiece ray(const AcGePoint3d& b, const AcGeVector3d& unitDir) {
        return {b, unitDir, 0, std::numeric_limits<double>::infinity()};
    }

    AcGePoint3d at(double t) const { return base + dir * t; }
    double clampedParam(const AcGePoint3d& p) const;
    AcGePoint3d closestPoint(const AcGePoint3d& p) const { return at(clampedParam(p)); }
    double distanceTo(const AcGePoint3d& p) const { return p.distanceTo(closestPoint(p)); }
    double distanceTo(const LinearPiece& other) const;
};

// One point common to both pieces within tol.equalPoint(); false when they are parallel
// (within tol.equalVector()) or miss each other.
bool intersect(const LinearPiece& a, const LinearPiece& b, const AcGeTol& tol, AcGePoint3d& out);

}  // namespace ge_detail
