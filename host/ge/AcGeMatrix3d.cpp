#include "host/ge/AcGeMatrix3d.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "host/ge/AcGePlane.h"

const AcGeMatrix3d AcGeMatrix3d::kIdentity;

AcGeMatrix3d::AcGeMatrix3d() { setToIdentity(); }

AcGeMatrix3d& AcGeMatrix3d::setToIdentity() {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) entry[r][c] = r == c ? 1.0 : 0.0;
    return *this;
}

bool AcGeMatrix3d::isEqualTo(const AcGeMatrix3d& m, const AcGeTol& tol) const {
    // The linear part is compared as directions, the translation column as a point.
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            const double t = (c == 3 && r < 3) ? tol.equalPoint() : tol.equalVector();
            if (std::fabs(entry[r][c] - m.entry[r][c]) > t) return false;
        }
    return true;
}

AcGeMatrix3d AcGeMatrix3d::translation(const AcGeVector3d& v) {
    AcGeMatrix3d m;
    return m.setToTranslation(v);
}

AcGeMatrix3d AcGeMatrix3d::rotation(double angle, const AcGeVector3d& axis, const AcGePoint3d& center) {
    AcGeMatrix3d m;
    return m.setToRotation(angle, axis, center);
}

AcGeMatrix3d AcGeMatrix3d::mirroring(const AcGePlane& plane) {
    AcGeMatrix3d m;
    return m.setToMirroring(plane);
}

AcGeMatrix3d AcGeMatrix3d::mirroring(const AcGePoint3d& pt) {
    AcGeMatrix3d m;
    for (int i = 0; i < 3; ++i) {
        m.entry[i][i] = -1.0;
        m.entry[i][3] = 2.0 * pt[i];
    }
    return m;
}

AcGeMatrix3d AcGeMatrix3d::scaling(double s, const AcGePoint3d& center) {
    AcGeMatrix3d m;
    for (int i = 0; i < 3; ++i) {
        m.entry[i][i] = s;
        m.entry[i][3] = (1.0 - s) * center[i];
    }
    return m;
}

AcGeMatrix3d& AcGeMatrix3d::setToTranslation(const AcGeVector3d& v) {
    setToIdentity();
    return setTranslation(v);
}

AcGeMatrix3d& AcGeMatrix3d::setToRotation(double angle, const AcGeVector3d& axis, const AcGePoint3d& center) {
    setToIdentity();
    const AcGeVector3d u = axis.normal();
    if (u.isZeroLength()) return *this;
    // Rodrigues: R = cos*I + sin*[u]x + (1-cos)*u*u^T.
    const double c = std::cos(angle), s = std::sin(angle), t = 1.0 - c;
    entry[0][0] = c + t * u.x * u.x;
    entry[0][1] = t * u.x * u.y - s * u.z;
    entry[0][2] = t * u.x * u.z + s * u.y;
    entry[1][0] = t * u.x * u.y + s * u.z;
    entry[1][1] = c + t * u.y * u.y;
    entry[1][2] = t * u.y * u.z - s * u.x;
    entry[2][0] = t * u.x * u.z - s * u.y;
    entry[2][1] = t * u.y * u.z + s * u.x;
    entry[2][2] = c + t * u.z * u.z;
    // Keep the center fixed: T(c) * R * T(-c).
    const AcGeVector3d cv = center.asVector();
    return setTranslation(cv - (*this) * cv);
}

AcGeMatrix3d& AcGeMatrix3d::setToMirroring(const AcGePlane& plane) {
    setToIdentity();
    const AcGeVector3d n = plane.normal().normal();
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) entry[r][c] -= 2.0 * n[r] * n[c];
    const double d = plane.pointOnPlane().asVector().dotProduct(n);
    return setTranslation(n * (2.0 * d));
}

AcGeMatrix3d& AcGeMatrix3d::preMultBy(const AcGeMatrix3d& left) { return setToProduct(left, *this); }

AcGeMatrix3d& AcGeMatrix3d::postMultBy(const AcGeMatrix3d& right) { return setToProduct(*this, right); }

AcGeMatrix3d& AcGeMatrix3d::setToProduct(const AcGeMatrix3d& a, const AcGeMatrix3d& b) {
    double out[4][4];  // a or b may be this matrix
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) sum += a.entry[r][k] * b.entry[k][c];
            out[r][c] = sum;
        }
    std::copy(&out[0][0], &out[0][0] + 16, &entry[0][0]);
    return *this;
}

AcGeMatrix3d AcGeMatrix3d::operator*(const AcGeMatrix3d& m) const {
    AcGeMatrix3d r;
    return r.setToProduct(*this, m);
}

AcGeMatrix3d& AcGeMatrix3d::invert() {
    if (isSingular()) return *this;
    // Gauss-Jordan with partial pivoting on [A | I].
    double a[4][4], inv[4][4];
    std::copy(&entry[0][0], &entry[0][0] + 16, &a[0][0]);
    AcGeMatrix3d id;
    std::copy(&id.entry[0][0], &id.entry[0][0] + 16, &inv[0][0]);
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
        if (a[pivot][col] == 0.0) return *this;
        std::swap(a[pivot], a[col]);
        std::swap(inv[pivot], inv[col]);
        const double p = a[col][col];
        for (int c = 0; c < 4; ++c) {
            a[col][c] /= p;
            inv[col][c] /= p;
        }
        for (int r = 0; r < 4; ++r) {
            if (r == col || a[r][col] == 0.0) continue;
            const double f = a[r][col];
            for (int c = 0; c < 4; ++c) {
                a[r][c] -= f * a[col][c];
                inv[r][c] -= f * inv[col][c];
            }
        }
    }
    std::copy(&inv[0][0], &inv[0][0] + 16, &entry[0][0]);
    return *this;
}

AcGeMatrix3d AcGeMatrix3d::inverse() const {
    AcGeMatrix3d m = *this;
    return m.invert();
}

bool AcGeMatrix3d::isSingular(const AcGeTol& tol) const {
    // Scale-free test: |det| against the product of the column lengths (Hadamard's bound),
    // so a tiny but regular scaling is not taken for a collapse.
    double bound = 1.0;
    for (int c = 0; c < 4; ++c) {
        double len2 = 0;
        for (int r = 0; r < 4; ++r) len2 += entry[r][c] * entry[r][c];
        bound *= std::sqrt(len2);
    }
    if (bound == 0.0) return true;
    return std::fabs(det()) <= tol.equalVector() * bound;
}

double AcGeMatrix3d::det() const {
    const auto& m = entry;
    // Laplace expansion by 2x2 minors of the top and bottom row pairs.
    const double s0 = m[0][0] * m[1][1] - m[1][0] * m[0][1];
    const double s1 = m[0][0] * m[1][2] - m[1][0] * m[0][2];
    const double s2 = m[0][0] * m[1][3] - m[1][0] * m[0][3];
    const double s3 = m[0][1] * m[1][2] - m[1][1] * m[0][2];
    const double s4 = m[0][1] * m[1][3] - m[1][1] * m[0][3];
    const double s5 = m[0][2] * m[1][3] - m[1][2] * m[0][3];
    const double c5 = m[2][2] * m[3][3] - m[3][2] * m[2][3];
    const double c4 = m[2][1] * m[3][3] - m[3][1] * m[2][3];
    const double c3 = m[2][1] * m[3][2] - m[3][1] * m[2][2];
    const double c2 = m[2][0] * m[3][3] - m[3][0] * m[2][3];
    const double c1 = m[2][0] * m[3][2] - m[3][0] * m[2][2];
    const double c0 = m[2][0] * m[3][1] - m[3][0] * m[2][1];
    return s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;
}

AcGeMatrix3d AcGeMatrix3d::transpose() const {
    AcGeMatrix3d t;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) t.entry[r][c] = entry[c][r];
    return t;
}

AcGeVector3d AcGeMatrix3d::translation() const { return {entry[0][3], entry[1][3], entry[2][3]}; }

AcGeMatrix3d& AcGeMatrix3d::setTranslation(const AcGeVector3d& v) {
    entry[0][3] = v.x;
    entry[1][3] = v.y;
    entry[2][3] = v.z;
    return *this;
}

AcGeMatrix3d& AcGeMatrix3d::setCoordSystem(const AcGePoint3d& origin, const AcGeVector3d& xAxis,
                                           const AcGeVector3d& yAxis, const AcGeVector3d& zAxis) {
    const AcGeVector3d cols[4] = {xAxis, yAxis, zAxis, origin.asVector()};
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 3; ++r) entry[r][c] = cols[c][r];
        entry[3][c] = c == 3 ? 1.0 : 0.0;
    }
    return *this;
}

void AcGeMatrix3d::getCoordSystem(AcGePoint3d& origin, AcGeVector3d& xAxis, AcGeVector3d& yAxis,
                                  AcGeVector3d& zAxis) const {
    xAxis = {entry[0][0], entry[1][0], entry[2][0]};
    yAxis = {entry[0][1], entry[1][1], entry[2][1]};
    zAxis = {entry[0][2], entry[1][2], entry[2][2]};
    origin = {entry[0][3], entry[1][3], entry[2][3]};
}
