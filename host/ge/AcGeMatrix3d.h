#pragma once
// 4x4 affine transformation, acting on column vectors: p' = M * p.
#include "host/ge/AcGeVectors.h"

class AcGePlane;

class AcGeMatrix3d {
public:
    double entry[4][4];  // entry[row][column]
    AcGeMatrix3d();      // identity
    static const AcGeMatrix3d kIdentity;

    AcGeMatrix3d& setToIdentity();
    bool isEqualTo(const AcGeMatrix3d& m, const AcGeTol& tol = AcGeContext::gTol) const;
    bool operator==(const AcGeMatrix3d& m) const { return isEqualTo(m); }

    static AcGeMatrix3d translation(const AcGeVector3d& v);
    // Rotation by angle (radians, counter-clockwise seen from the tip of axis) about the
    // axis through center.
    static AcGeMatrix3d rotation(double angle, const AcGeVector3d& axis,
                                 const AcGePoint3d& center = AcGePoint3d::kOrigin);
    static AcGeMatrix3d mirroring(const AcGePlane& plane);  // reflection in the plane
    static AcGeMatrix3d mirroring(const AcGePoint3d& pt);   // point reflection
    static AcGeMatrix3d scaling(double s, const AcGePoint3d& center = AcGePoint3d::kOrigin);
    AcGeMatrix3d& setToTranslation(const AcGeVector3d& v);
    AcGeMatrix3d& setToRotation(double angle, const AcGeVector3d& axis,
                                const AcGePoint3d& center = AcGePoint3d::kOrigin);
    AcGeMatrix3d& setToMirroring(const AcGePlane& plane);

    AcGeMatrix3d& preMultBy(const AcGeMatrix3d& left);    // this = left * this
    AcGeMatrix3d& postMultBy(const AcGeMatrix3d& right);  // this = this * right
    AcGeMatrix3d& setToProduct(const AcGeMatrix3d& a, const AcGeMatrix3d& b);  // a * b
    AcGeMatrix3d operator*(const AcGeMatrix3d& m) const;
    AcGeMatrix3d& operator*=(const AcGeMatrix3d& m) { return postMultBy(m); }

    AcGeMatrix3d& invert();              // a singular matrix is left as it is
    AcGeMatrix3d inverse() const;
    // |det| within tol.equalVector() of the product of the column lengths: independent of scale.
    bool isSingular(const AcGeTol& tol = AcGeContext::gTol) const;
    double det() const;
    AcGeMatrix3d transpose() const;

    AcGeVector3d translation() const;    // the translation column
    AcGeMatrix3d& setTranslation(const AcGeVector3d& v);  // replaces the translation column
    // The matrix that maps the world axes onto the given ones: columns x, y, z, origin.
    AcGeMatrix3d& setCoordSystem(const AcGePoint3d& origin, const AcGeVector3d& xAxis,
                                 const AcGeVector3d& yAxis, const AcGeVector3d& zAxis);
    void getCoordSystem(AcGePoint3d& origin, AcGeVector3d& xAxis, AcGeVector3d& yAxis,
                        AcGeVector3d& zAxis) const;
    double operator()(int row, int col) const { return entry[row][col]; }
    double& operator()(int row, int col) { return entry[row][col]; }
};
