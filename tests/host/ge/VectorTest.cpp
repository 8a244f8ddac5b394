#include <cmath>
#include <numbers>

#include "tests/host/ge/GeTestUtil.h"

namespace {
constexpr double kPi = std::numbers::pi;
}

TEST(VectorAngles, AngleToWithReferenceIsCounterClockwiseSeenFromItsTip) {
    const AcGeVector3d x(1, 0, 0), y(0, 1, 0);
    EXPECT_NEAR(x.angleTo(y, AcGeVector3d::kZAxis), kPi / 2, 1e-12);
    EXPECT_NEAR(x.angleTo(y, -AcGeVector3d::kZAxis), 3 * kPi / 2, 1e-12);
    EXPECT_NEAR(x.angleTo(AcGeVector3d(-1, -1, 0), AcGeVector3d::kZAxis), 5 * kPi / 4, 1e-12);
    EXPECT_NEAR(x.angleTo(AcGeVector3d(-1, 0, 0), AcGeVector3d::kZAxis), kPi, 1e-12);
    const double same = x.angleTo(x, AcGeVector3d::kZAxis);
    EXPECT_GE(same, 0.0);
    EXPECT_LT(same, 2 * kPi);
    EXPECT_NEAR(same, 0.0, 1e-12);
    // The unsigned angle stays within [0, pi].
    EXPECT_NEAR(x.angleTo(AcGeVector3d(1, -1, 0)), kPi / 4, 1e-12);
    EXPECT_NEAR(AcGeVector2d(0, -1).angle(), 3 * kPi / 2, 1e-12);
}

