#include "host/ge/AcGeVectors.h"

#include <cmath>
#include <numbers>

#include "host/ge/AcGeMatrix3d.h"
#include "host/ge/AcGePlane.h"

const AcGeVector3d AcGeVector3d::kIdentity(0, 0, 0);
const AcGeVector3d AcGeVector3d::kXAxis(1, 0, 0);
const AcGeVector3d AcGeVector3d::kYAxis(0, 1, 0);
const AcGeVector3d AcGeVector3d::kZAxis(0, 0, 1);
const AcGePoint3d AcGePoint3d::kOrigin(0, 0, 0);
const AcGeVector2d AcGeVector2d::kXAxis(1, 0);
const AcGeVector2d AcGeVector2d::kYAxis(0, 1);
const AcGePoint2d AcGePoint2d::kOrigin(0, 0);

namespace {
constexpr double kTwoPi = 2 * std::numbers::pi;
}

// ---- AcGeVector3d ----

double AcGeVector3d::length() const { return std::sqrt(lengthSqrd()); }

AcGeVector3d AcGeVector3d::normal(const AcGeTol& tol) const {
    AcGeVector3d v = *this;
    return v.normalize(tol);
}

AcGeVector3d& AcGeVector3d::normalize(const AcGeTol& tol) {
    const double len = length();
    if (len <= tol.equalVector()) return *this;  // too short to have a direction
    x /= len;
    y /= len;
    z /= len;
    return *this;
}

AcGeVector3d AcGeVector3d::crossProduct(const AcGeVector3d& v) const {
    return {y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x};
}

double AcGeVector3d::angleTo(const AcGeVector3d& v) const {
    // atan2 of |cross| and dot keeps full precision near 0 and pi, unlike acos.
    return std::atan2(crossProduct(v).length(), dotProduct(v));
}

double AcGeVector3d::angleTo(const AcGeVector3d& v, const AcGeVector3d& ref) const {
    double a = angleTo(v);
    if (crossProduct(v).dotProduct(ref) < 0) a = kTwoPi - a;
    return a >= kTwoPi ? 0.0 : a;
}

bool AcGeVector3d::isZeroLength(const AcGeTol& tol) const { return length() <= tol.equalVector(); }

bool AcGeVector3d::isParallelTo(const AcGeVector3d& v, const AcGeTol& tol) const {
    if (isZeroLength(tol) || v.isZeroLength(tol)) return false;
    return normal().crossProduct(v.normal()).length() <= tol.equalVector();
}

bool AcGeVector3d::isPerpendicularTo(const AcGeVector3d& v, const AcGeTol& tol) const {
    if (isZeroLength(tol) || v.isZeroLength(tol)) return false;
    return std::fabs(normal().dotProduct(v.normal())) <= tol.equalVector();
}

bool AcGeVector3d::isEqualTo(const AcGeVector3d& v, const AcGeTol& tol) const {
    return (*this - v).length() <= tol.equalVector();
}

AcGeVector3d& AcGeVector3d::transformBy(const AcGeMatrix3d& m) {
    *this = m * *this;
    return *this;
}

AcGeVector3d AcGeVector3d::perpVector() const {
    // Cross with the world axis least aligned with this vector: never degenerate.
    const double ax = std::fabs(x), ay = std::fabs(y), az = std::fabs(z);
    const AcGeVector3d axis = (ax <= ay && ax <= az) ? kXAxis : (ay <= az ? kYAxis : kZAxis);
    return crossProduct(axis);
}

AcGeVector2d AcGeVector3d::convert2d() const { return {x, y}; }

// ---- AcGePoint3d ----

AcGePoint3d::AcGePoint3d(const AcGePlane& plane, const AcGePoint2d& pt) {
    *this = plane.pointOnPlane() + plane.uAxis() * pt.x + plane.vAxis() * pt.y;
}

double AcGePoint3d::distanceTo(const AcGePoint3d& p) const { return (*this - p).length(); }

bool AcGePoint3d::isEqualTo(const AcGePoint3d& p, const AcGeTol& tol) const {
    return distanceTo(p) <= tol.equalPoint();
}

AcGePoint3d& AcGePoint3d::transformBy(const AcGeMatrix3d& m) {
    *this = m * *this;
    return *this;
}

AcGePoint3d& AcGePoint3d::setToProduct(const AcGeMatrix3d& m, const AcGePoint3d& p) {
    *this = m * p;
    return *this;
}

AcGePoint2d AcGePoint3d::convert2d(const AcGePlane& plane) const {
    // Solve d = a*u + b*v in the least-squares sense, so skewed axes work too.
    const AcGeVector3d d = *this - plane.pointOnPlane();
    const AcGeVector3d u = plane.uAxis(), v = plane.vAxis();
    const double uu = u.dotProduct(u), uv = u.dotProduct(v), vv = v.dotProduct(v);
    const double du = d.dotProduct(u), dv = d.dotProduct(v);
    const double den = uu * vv - uv * uv;
    if (den == 0) return {0, 0};
    return {(du * vv - dv * uv) / den, (dv * uu - du * uv) / den};
}

AcGePoint3d operator*(const AcGeMatrix3d& m, const AcGePoint3d& p) {
    const auto& e = m.entry;
    AcGePoint3d r(e[0][0] * p.x + e[0][1] * p.y + e[0][2] * p.z + e[0][3],
                  e[1][0] * p.x + e[1][1] * p.y + e[1][2] * p.z + e[1][3],
                  e[2][0] * p.x + e[2][1] * p.y + e[2][2] * p.z + e[2][3]);
    const double w = e[3][0] * p.x + e[3][1] * p.y + e[3][2] * p.z + e[3][3];
    if (w != 1.0 && w != 0.0) {
        r.x /= w;
        r.y /= w;
        r.z /= w;
    }
    return r;
}

AcGeVector3d operator*(const AcGeMatrix3d& m, const AcGeVector3d& v) {
    const auto& e = m.entry;
    return {e[0][0] * v.x + e[0][1] * v.y + e[0][2] * v.z,
            e[1][0] * v.x + e[1][1] * v.y + e[1][2] * v.z,
            e[2][0] * v.x + e[2][1] * v.y + e[2][2] * v.z};
}

// ---- AcGeVector2d / AcGePoint2d ----

double AcGeVector2d::length() const { return std::hypot(x, y); }

AcGeVector2d AcGeVector2d::normal(const AcGeTol& tol) const {
    AcGeVector2d v = *this;
    return v.normalize(tol);
}

AcGeVector2d& AcGeVector2d::normalize(const AcGeTol& tol) {
    const double len = length();
    if (len <= tol.equalVector()) return *this;
    x /= len;
    y /= len;
    return *this;
}

double AcGeVector2d::angle() const {
    const double a = std::atan2(y, x);
    if (a < 0) {
        const double b = a + kTwoPi;
        return b >= kTwoPi ? 0.0 : b;
    }
    return a;
}

double AcGeVector2d::angleTo(const AcGeVector2d& v) const {
    return std::atan2(std::fabs(x * v.y - y * v.x), dotProduct(v));
}

bool AcGeVector2d::isZeroLength(const AcGeTol& tol) const { return length() <= tol.equalVector(); }

bool AcGeVector2d::isParallelTo(const AcGeVector2d& v, const AcGeTol& tol) const {
    if (isZeroLength(tol) || v.isZeroLength(tol)) return false;
    const AcGeVector2d a = normal(), b = v.normal();
    return std::fabs(a.x * b.y - a.y * b.x) <= tol.equalVector();
}

bool AcGeVector2d::isEqualTo(const AcGeVector2d& v, const AcGeTol& tol) const {
    return (*this - v).length() <= tol.equalVector();
}

double AcGePoint2d::distanceTo(const AcGePoint2d& p) const { return (*this - p).length(); }

bool AcGePoint2d::isEqualTo(const AcGePoint2d& p, const AcGeTol& tol) const {
    return distanceTo(p) <= tol.equalPoint();
}
