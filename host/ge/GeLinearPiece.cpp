#include "host/ge/GeLinearPiece.h"

#include <algorithm>
#include <cmath>

namespace ge_detail {

double LinearPiece::clampedParam(const AcGePoint3d& p) const {
    const double len2 = dir.lengthSqrd();
    if (len2 == 0.0) return tmin;
    return std::clamp((p - base).dotProduct(dir) / len2, tmin, tmax);
}

namespace {
// Parameters of the closest points of the two unbounded lines; false when they are parallel.
bool closestParams(const LinearPiece& a, const LinearPiece& b, double& s, double& t) {
    const AcGeVector3d r = a.base - b.base;
    const double A = a.dir.dotProduct(a.dir), B = a.dir.dotProduct(b.dir), C = b.dir.dotProduct(b.dir);
    const double D = a.dir.dotProduct(r), E = b.dir.dotProduct(r);
    const double den = A * C - B * B;
    if (!(den > 0.0)) return false;
    s = (B * E - C * D) / den;
    t = (A * E - B * D) / den;
    return true;
}
}  // namespace

double LinearPiece::distanceTo(const LinearPiece& o) const {
    double s = 0, t = 0;
    if (closestParams(*this, o, s, t) && s >= tmin && s <= tmax && t >= o.tmin && t <= o.tmax)
        return at(s).distanceTo(o.at(t));
    // Otherwise the minimum lies where one of the pieces ends.
    double best = std::min(o.distanceTo(at(tmin)), distanceTo(o.at(o.tmin)));
    if (std::isfinite(tmax)) best = std::min(best, o.distanceTo(at(tmax)));
    if (std::isfinite(o.tmax)) best = std::min(best, distanceTo(o.at(o.tmax)));
    return best;
}

bool intersect(const LinearPiece& a, const LinearPiece& b, const AcGeTol& tol, AcGePoint3d& out) {
    const double tolP = tol.equalPoint();
    // A collapsed piece is a point: it meets the other where it lies on it.
    if (a.dir.lengthSqrd() == 0.0 || b.dir.lengthSqrd() == 0.0) {
        const LinearPiece& pt = a.dir.lengthSqrd() == 0.0 ? a : b;
        const LinearPiece& other = &pt == &a ? b : a;
        if (other.distanceTo(pt.base) > tolP) return false;
        out = pt.base;
        return true;
    }
    if (a.dir.isParallelTo(b.dir, tol)) return false;
    double s = 0, t = 0;
    if (!closestParams(a, b, s, t)) return false;
    const AcGePoint3d pa = a.at(s), pb = b.at(t);
    if (pa.distanceTo(pb) > tolP) return false;  // skew lines
    const AcGePoint3d q = pa + (pb - pa) * 0.5;
    if (a.distanceTo(q) > tolP || b.distanceTo(q) > tolP) return false;
    out = q;
    return true;
}

}  // namespace ge_detail
