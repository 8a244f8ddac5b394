#pragma once
// Points and vectors in 2 and 3 dimensions.
#include "host/ge/AcGeTol.h"

class AcGeMatrix3d;
class AcGePlane;
class AcGeVector2d;
class AcGePoint2d;

class AcGeVector3d {
public:
    double x = 0, y = 0, z = 0;
    AcGeVector3d() = default;
    AcGeVector3d(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}
    static const AcGeVector3d kIdentity;  // zero vector
    static const AcGeVector3d kXAxis, kYAxis, kZAxis;

    double length() const;
    double lengthSqrd() const { return x * x + y * y + z * z; }
    AcGeVector3d normal(const AcGeTol& tol = AcGeContext::gTol) const;  // zero stays zero
    AcGeVector3d& normalize(const AcGeTol& tol = AcGeContext::gTol);
    double dotProduct(const AcGeVector3d& v) const { return x * v.x + y * v.y + z * v.z; }
    AcGeVector3d crossProduct(const AcGeVector3d& v) const;
    // Unsigned angle in [0, pi].
    double angleTo(const AcGeVector3d& v) const;
    // Angle in [0, 2pi) from this vector to v, counter-clockwise seen from the tip of ref.
    double angleTo(const AcGeVector3d& v, const AcGeVector3d& ref) const;
    bool isZeroLength(const AcGeTol& tol = AcGeContext::gTol) const;
    // Unit directions whose cross product is within tol.equalVector() (either sense);
    // a zero-length vector is parallel or perpendicular to nothing.
    bool isParallelTo(const AcGeVector3d& v, const AcGeTol& tol = AcGeContext::gTol) const;
    bool isPerpendicularTo(const AcGeVector3d& v, const AcGeTol& tol = AcGeContext::gTol) const;
    bool isEqualTo(const AcGeVector3d& v, const AcGeTol& tol = AcGeContext::gTol) const;
    AcGeVector3d& transformBy(const AcGeMatrix3d& m);  // the translation part is ignored
    AcGeVector3d perpVector() const;                   // some vector perpendicular to this one
    AcGeVector2d convert2d() const;                    // drops z

    AcGeVector3d operator-() const { return {-x, -y, -z}; }
    AcGeVector3d operator+(const AcGeVector3d& v) const { return {x + v.x, y + v.y, z + v.z}; }
    AcGeVector3d operator-(const AcGeVector3d& v) const { return {x - v.x, y - v.y, z - v.z}; }
    AcGeVector3d operator*(double s) const { return {x * s, y * s, z * s}; }
    AcGeVector3d operator/(double s) const { return {x / s, y / s, z / s}; }
    AcGeVector3d& operator+=(const AcGeVector3d& v) { x += v.x; y += v.y; z += v.z; return *this; }
    AcGeVector3d& operator-=(const AcGeVector3d& v) { x -= v.x; y -= v.y; z -= v.z; return *this; }
    AcGeVector3d& operator*=(double s) { x *= s; y *= s; z *= s; return *this; }
    bool operator==(const AcGeVector3d& v) const { return isEqualTo(v); }
    double operator[](int i) const { return i == 0 ? x : i == 1 ? y : z; }
    double& operator[](int i) { return i == 0 ? x : i == 1 ? y : z; }
};
inline AcGeVector3d operator*(double s, const AcGeVector3d& v) { return v * s; }

class AcGePoint3d {
public:
    double x = 0, y = 0, z = 0;
    AcGePoint3d() = default;
    AcGePoint3d(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}
    // The point of the plane with those plane coordinates.
    AcGePoint3d(const AcGePlane& plane, const AcGePoint2d& pt);
    static const AcGePoint3d kOrigin;

    double distanceTo(const AcGePoint3d& p) const;
    bool isEqualTo(const AcGePoint3d& p, const AcGeTol& tol = AcGeContext::gTol) const;
    AcGePoint3d& transformBy(const AcGeMatrix3d& m);
    AcGePoint3d& setToProduct(const AcGeMatrix3d& m, const AcGePoint3d& p);
    // Plane coordinates of the projection onto the plane; for the XY plane, (x, y).
    AcGePoint2d convert2d(const AcGePlane& plane) const;
    AcGeVector3d asVector() const { return {x, y, z}; }
    AcGePoint3d& set(double x_, double y_, double z_) { x = x_; y = y_; z = z_; return *this; }

    AcGePoint3d operator+(const AcGeVector3d& v) const { return {x + v.x, y + v.y, z + v.z}; }
    AcGePoint3d operator-(const AcGeVector3d& v) const { return {x - v.x, y - v.y, z - v.z}; }
    AcGeVector3d operator-(const AcGePoint3d& p) const { return {x - p.x, y - p.y, z - p.z}; }
    AcGePoint3d& operator+=(const AcGeVector3d& v) { x += v.x; y += v.y; z += v.z; return *this; }
    AcGePoint3d& operator-=(const AcGeVector3d& v) { x -= v.x; y -= v.y; z -= v.z; return *this; }
    bool operator==(const AcGePoint3d& p) const { return isEqualTo(p); }
    double operator[](int i) const { return i == 0 ? x : i == 1 ? y : z; }
    double& operator[](int i) { return i == 0 ? x : i == 1 ? y : z; }
};
AcGePoint3d operator*(const AcGeMatrix3d& m, const AcGePoint3d& p);
AcGeVector3d operator*(const AcGeMatrix3d& m, const AcGeVector3d& v);

class AcGeVector2d {
public:
    double x = 0, y = 0;
    AcGeVector2d() = default;
    AcGeVector2d(double x_, double y_) : x(x_), y(y_) {}
    static const AcGeVector2d kXAxis, kYAxis;
    double length() const;
    AcGeVector2d normal(const AcGeTol& tol = AcGeContext::gTol) const;
    AcGeVector2d& normalize(const AcGeTol& tol = AcGeContext::gTol);
    double dotProduct(const AcGeVector2d& v) const { return x * v.x + y * v.y; }
    double angle() const;                           // from +X, counter-clockwise, in [0, 2pi)
    double angleTo(const AcGeVector2d& v) const;    // unsigned, in [0, pi]
    bool isZeroLength(const AcGeTol& tol = AcGeContext::gTol) const;
    bool isParallelTo(const AcGeVector2d& v, const AcGeTol& tol = AcGeContext::gTol) const;
    bool isEqualTo(const AcGeVector2d& v, const AcGeTol& tol = AcGeContext::gTol) const;
    AcGeVector2d operator-() const { return {-x, -y}; }
    AcGeVector2d operator+(const AcGeVector2d& v) const { return {x + v.x, y + v.y}; }
    AcGeVector2d operator-(const AcGeVector2d& v) const { return {x - v.x, y - v.y}; }
    AcGeVector2d operator*(double s) const { return {x * s, y * s}; }
    bool operator==(const AcGeVector2d& v) const { return isEqualTo(v); }
};

class AcGePoint2d {
public:
    double x = 0, y = 0;
    AcGePoint2d() = default;
    AcGePoint2d(double x_, double y_) : x(x_), y(y_) {}
    static const AcGePoint2d kOrigin;
    double distanceTo(const AcGePoint2d& p) const;
    bool isEqualTo(const AcGePoint2d& p, const AcGeTol& tol = AcGeContext::gTol) const;
    AcGePoint2d& set(double x_, double y_) { x = x_; y = y_; return *this; }
    AcGePoint2d operator+(const AcGeVector2d& v) const { return {x + v.x, y + v.y}; }
    AcGePoint2d operator-(const AcGeVector2d& v) const { return {x - v.x, y - v.y}; }
    AcGeVector2d operator-(const AcGePoint2d& p) const { return {x - p.x, y - p.y}; }
    bool operator==(const AcGePoint2d& p) const { return isEqualTo(p); }
};
