#include <cmath>
#include <numbers>

#include "tests/host/ge/GeTestUtil.h"

namespace {
constexpr double kPi = std::numbers::pi;
const AcGePlane kYZ(AcGePoint3d(0, 0, 0), AcGeVector3d(0, 1, 0), AcGeVector3d(0, 0, 1));
const AcGePlane kXZ(AcGePoint3d(0, 0, 0), AcGeVector3d(1, 0, 0), AcGeVector3d(0, 0, 1));
}  // namespace

TEST(MatrixTransforms, RotationIsCounterClockwiseSeenFromAxisTipAboutItsCenter) {
    const AcGeMatrix3d quarter = AcGeMatrix3d::rotation(kPi / 2, AcGeVector3d::kZAxis);
    expectNear(quarter * AcGePoint3d(1, 0, 0), AcGePoint3d(0, 1, 0));
    // Seen from -Z the same turn is clockwise.
    expectNear(AcGeMatrix3d::rotation(kPi / 2, -AcGeVector3d::kZAxis) * AcGePoint3d(1, 0, 0), AcGePoint3d(0, -1, 0));
    const AcGeMatrix3d aboutPoint = AcGeMatrix3d::rotation(kPi, AcGeVector3d::kZAxis, AcGePoint3d(10, 5, 0));
    expectNear(aboutPoint * AcGePoint3d(10, 5, 0), AcGePoint3d(10, 5, 0));
    expectNear(aboutPoint * AcGePoint3d(12, 5, 3), AcGePoint3d(8, 5, 3));
    // Vectors ignore the translation that keeps the centre fixed.
    expectNear(aboutPoint * AcGeVector3d(1, 0, 0), AcGeVector3d(-1, 0, 0));
}

TEST(MatrixTransforms, MirroringReflectsInPlaneOrThroughPoint) {
    expectNear(AcGeMatrix3d::mirroring(kYZ) * AcGePoint3d(3, 4, 5), AcGePoint3d(-3, 4, 5));
    expectNear(AcGeMatrix3d::mirroring(kXZ) * AcGePoint3d(3, 4, 5), AcGePoint3d(3, -4, 5));
    const AcGePlane offset(AcGePoint3d(10, 0, 0), AcGeVector3d(1, 0, 0));
    expectNear(AcGeMatrix3d::mirroring(offset) * AcGePoint3d(12, 1, 0), AcGePoint3d(8, 1, 0));
    expectNear(AcGeMatrix3d::mirroring(AcGePoint3d(1, 1, 1)) * AcGePoint3d(2, 3, 4), AcGePoint3d(0, -1, -2));
    EXPECT_NEAR(AcGeMatrix3d::mirroring(kYZ).det(), -1.0, 1e-12);
}

